#include "excel/workbook_session_win.h"

namespace quorallion::excel {

using office::Arg;
using office::AutoObject;

AutoObject OpenReadOnly(const AutoObject& app, const std::wstring& path) {
    return app.Object(L"Workbooks.Open", {path, Arg::Missing(), true});
}

void CloseAndQuit(AutoObject& workbook, AutoObject& app) {
    workbook.Call(L"Close", {false});
    workbook.Reset();
    app.Call(L"Quit");
    app.Reset();
}

}  // namespace quorallion::excel
