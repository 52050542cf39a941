#pragma once
// The spreadsheet worker of the core's workbook jobs: Excel (or the WPS spreadsheet program)
// driven by late binding lists a workbook's sheets, publishes them as HTML fragments and exports
// PDF files and page images; spreadsheet HTML (published or pasted) is reduced to one style block
// and one container.
#include <string>

#include "services.h"

namespace quorallion {

namespace office {
class AutoObject;
}

class clsOfficeExcel : public ExcelWorker {
public:
    explicit clsOfficeExcel(JobContext context = {}) : context_(std::move(context)) {}

    // Visible sheets as "name CR index", joined by LF. Option "api". Errflags "wpscompat",
    // "xlscreate", "xlsopen".
    bool GetExcelWorkSheetName(const std::wstring& workbookPath, const std::wstring& options,
                               std::wstring& sheetnames, std::wstring& errflag) override;
    // One sheet's fragment, or every visible sheet's joined by the sheet break. Options "api",
    // "sheetindex". Errflags "ext", "wpscompat", "cancel", "xlscreate", "office2007plus",
    // "xlsopen", "xlssheetindex", "xlssheethide", "xlssave", "xlsread".
    bool Excel2HTML(const std::wstring& workbookPath, const std::wstring& options, std::wstring& html,
                    std::wstring& errflag, bool paste) override;
    // A published page (published true) or clipboard HTML as one sheet fragment.
    std::wstring OptimizeHTML(const std::wstring& text, bool published) override;

    // The PDF's file name in the job folder. Options "api", "sheetindex", "docprop", "title".
    bool Excel2Pdf(const std::wstring& workbookPath, const std::wstring& options, std::wstring& name,
                   std::wstring& errflag) override;
    // The PDF's pages as img tags. Options "api", "sheetindex", "bl", "imgtype".
    bool Excel2ImageByPdf(const std::wstring& workbookPath, const std::wstring& options, std::wstring& html,
                          std::wstring& errflag) override;
    // Each visible sheet's range copied to the clipboard and saved as a picture. Options "api",
    // "sheetindex", "imgtype".
    bool Excel2ImageByClipboard(const std::wstring& workbookPath, const std::wstring& options, std::wstring& html,
                                std::wstring& errflag);

private:
    // kind: "xls" or "et".
    bool Sheet2HTML(const std::wstring& kind, const office::AutoObject& application, const office::AutoObject& workbook,
                    long sheetIndex, std::wstring& errflag, std::wstring& html);

    JobContext context_;
};

}  // namespace quorallion
