// The spreadsheet HTML clean-up (excel/excel_cleanup.h) on the server: pending window messages
// run before each step and each pass of the until-stable steps, so that other clients' calls
// keep being answered; an id made up for a fragment without a container gets random digits.
#include "excel/clsOfficeExcel.h"
#include "public/basPublic_win.h"
#include "win/message_pump.h"

namespace quorallion {

std::wstring clsOfficeExcel::OptimizeHTML(const std::wstring& text, bool published) {
    return OptimizeHTML(text, published, excel::StepObserver());
}

std::wstring clsOfficeExcel::OptimizeHTML(const std::wstring& text, bool published,
                                          const excel::StepObserver& observer) {
    // `text` is the caller's own (the core's job holds it): a request served while messages
    // run cannot change it, so the clean-up reads it without a copy of its own.
    return excel::OptimizeExcelHtml(
        text, published, [] { return basPublic::RandomDigits(5); }, win::DoEvents, observer);
}

}  // namespace quorallion
