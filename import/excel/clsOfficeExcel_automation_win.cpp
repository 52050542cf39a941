// The spreadsheet automation is not in this build yet: each conversion answers false with the
// errflag of an application that could not be created, so the page is told why it failed.
#include <memory>

#include "excel/clsOfficeExcel.h"
#include "import_services.h"

namespace quorallion {

namespace {

bool NotCreated(std::wstring& result, std::wstring& errflag) {
    result.clear();
    errflag = L"xlscreate";
    return false;
}

}  // namespace

bool clsOfficeExcel::GetExcelWorkSheetName(const std::wstring&, const std::wstring&,
                                           std::wstring& sheetnames, std::wstring& errflag) {
    return NotCreated(sheetnames, errflag);
}

bool clsOfficeExcel::Excel2HTML(const std::wstring&, const std::wstring&, std::wstring& html,
                                std::wstring& errflag, bool) {
    return NotCreated(html, errflag);
}

bool clsOfficeExcel::Excel2Pdf(const std::wstring&, const std::wstring&, std::wstring& name,
                               std::wstring& errflag) {
    return NotCreated(name, errflag);
}

bool clsOfficeExcel::Excel2ImageByPdf(const std::wstring&, const std::wstring&, std::wstring& html,
                                      std::wstring& errflag) {
    return NotCreated(html, errflag);
}

bool clsOfficeExcel::Excel2ImageByClipboard(const std::wstring&, const std::wstring&,
                                            std::wstring& html, std::wstring& errflag) {
    return NotCreated(html, errflag);
}

std::unique_ptr<ExcelWorker> MakeExcelWorker(const JobContext& context) {
    return std::make_unique<clsOfficeExcel>(context);
}

}  // namespace quorallion
