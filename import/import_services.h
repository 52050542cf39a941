#pragma once
// The document-import neighbours that the core's seams are wired to.
#include <memory>

#include "services.h"

namespace quorallion {

std::unique_ptr<ClipboardService> MakeClipboardService();
std::unique_ptr<WordWorker> MakeWordWorker(const JobContext& context);
std::unique_ptr<PdfWorker> MakePdfWorker(const JobContext& context);  // pdf/clsPdf_win.cpp
std::unique_ptr<ExcelWorker> MakeExcelWorker(const JobContext& context);  // excel/clsOfficeExcel_automation_win.cpp
std::unique_ptr<PptWorker> MakePptWorker(const JobContext& context);  // ppt/clsOfficePPT_win.cpp

// Unloads the password prompt of a protected Word document when it is shown, as its close button
// does: the conversion that waits on it goes on read-only. word/frmUnProtect_win.cpp
void UnloadUnprotectForm();

}  // namespace quorallion
