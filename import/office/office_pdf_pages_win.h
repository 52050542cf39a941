#pragma once
// The image conversions of the Word, Excel and presentation workers: the worker's own PDF export
// into the job folder, then the PDF worker's page images of that file.
#include <functional>
#include <string>

#include "services.h"

namespace quorallion::office {

// Exports the document as a PDF for images; api is the option "api" already normalised. On
// failure it sets errflag and returns false; on success pdfName is the file's name in the folder.
using PdfExportForImages = std::function<bool(const std::wstring& api, std::wstring& pdfName, std::wstring& errflag)>;

// Runs the message loop, empties html and reads "api" (normalised), "bl" and "imgtype" from
// options; exports; runs the message loop again and, when the job was cancelled meanwhile, fails
// with "cancel" (the PDF stays in the folder); otherwise the PDF worker's result is the result,
// with "bl" and "imgtype" passed on escaped. Every errflag comes from the export or the PDF worker.
bool PdfThenPageImages(const JobContext& context, const std::wstring& options, std::wstring& html,
                       std::wstring& errflag, const PdfExportForImages& exportPdf);

}  // namespace quorallion::office
