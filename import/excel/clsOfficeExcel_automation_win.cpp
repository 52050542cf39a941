// Excel or the WPS spreadsheet program lists a workbook's sheets and publishes them, one page per
// sheet, into the job folder; each page is read back and reduced to a sheet fragment. Every
// automation call runs with errors trapped (office::ErrorState); the error state is read only at
// the steps where a failure has a word of its own.
#include <string>

#include "excel/clsOfficeExcel.h"
#include "excel/excel_range_win.h"
#include "excel/sheet_index.h"
#include "excel/workbook_session_win.h"
#include "file/basFile.h"
#include "import_services.h"
#include "office/display_alerts_win.h"
#include "office/late_binding_win.h"
#include "office/office_choice.h"
#include "office/office_family.h"
#include "office/office_registration.h"
#include "public/basPublic.h"
#include "regex/basRegExp.h"
#include "win/message_pump.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;

constexpr wchar_t kWorkbookExtensions[] = L"xls|xlsx|et";
constexpr wchar_t kSheetBreak[] = L"<!-- quorallionsheetbreak -->";
constexpr long kVisible = -1;  // xlSheetVisible

}  // namespace

bool clsOfficeExcel::GetExcelWorkSheetName(const std::wstring& workbookPath, const std::wstring& options,
                                           std::wstring& sheetnames, std::wstring& errflag) {
    // 1
    win::DoEvents();
    sheetnames.clear();
    office::ErrorState err;

    // 2
    const std::wstring kind = office::ChooseSheetNameApplication(basPublic::GetParamValue(options, L"api"));
    if (kind.empty()) {
        errflag = L"wpscompat";
        return false;
    }

    // 3
    AutoObject app = office::CreateObject(basPublic::GetOfficeProgID(kind), err);
    if (!app) {
        errflag = L"xlscreate";
        return false;
    }

    // 4
    err.Clear();
    office::SwitchAlertsOff(app, false);
    AutoObject workbook = excel::OpenReadOnly(app, workbookPath);
    if (err.Pending() || !workbook) {
        errflag = L"xlsopen";
        excel::CloseAndQuit(workbook, app);
        return false;
    }

    // 5: a number without a worksheet (a chart sheet) is left out of the list.
    app.Put(L"Visible", false);
    std::wstring list;
    const long count = workbook.Get(L"Sheets.Count").Long();
    for (long i = 1; i <= count; ++i) {
        err.Clear();
        const AutoObject sheet = workbook.Object(L"Worksheets", {i});
        if (err.Pending() || !sheet) continue;
        if (sheet.Get(L"Visible").Long() != kVisible) continue;
        const std::wstring name = sheet.Get(L"Name").Text();
        if (err.Pending()) continue;
        if (!list.empty()) list += L'\n';
        list += name + L'\r' + std::to_wstring(i);
    }

    // 6
    excel::CloseAndQuit(workbook, app);
    sheetnames = list;
    return true;
}

bool clsOfficeExcel::Excel2HTML(const std::wstring& workbookPath, const std::wstring& options, std::wstring& html,
                                std::wstring& errflag, bool /*paste*/) {
    // 1
    office::ErrorState err;
    win::DoEvents();
    html.clear();

    // 2
    const std::wstring api = basPublic::GetParamValue(options, L"api");
    const long sheetIndex = excel::ParseSheetIndex(basPublic::GetParamValue(options, L"sheetindex"));

    // 3
    if (!basFile::FileExistsWithExt(workbookPath, kWorkbookExtensions)) {
        errflag = L"ext";
        return false;
    }

    // 4
    const std::wstring kind = office::ChooseDocumentApplication(api, L"xls", L"et");
    if (kind.empty()) {
        errflag = L"wpscompat";
        return false;
    }

    // 5
    win::DoEvents();
    if (context_.Cancelled()) {
        errflag = L"cancel";
        return false;
    }

    // 6
    err.Clear();
    AutoObject app = office::CreateObject(basPublic::GetOfficeProgID(kind), err);
    win::DoEvents();
    if (!app) {
        errflag = L"xlscreate";
        return false;
    }

    // 7: the application this worker created is quit, not left running.
    win::DoEvents();
    if (context_.Cancelled()) {
        app.Call(L"Quit");
        errflag = L"cancel";
        return false;
    }

    // 8
    const double version = office::VersionNumber(app.Get(L"Version").Text());
    if (kind == L"xls" && version < 12.0) {
        app.Call(L"Quit");
        errflag = L"office2007plus";
        return false;
    }

    // 9
    office::SwitchAlertsOff(app, false);
    err.Clear();
    AutoObject workbook = excel::OpenReadOnly(app, workbookPath);
    win::DoEvents();
    auto failureExit = [&] {  // 14
        excel::CloseAndQuit(workbook, app);
        html.clear();
        return false;
    };
    if (err.Pending() || !workbook) {
        errflag = L"xlsopen";
        return failureExit();
    }

    // 10
    const AutoObject web = workbook.Object(L"WebOptions");
    web.Put(L"AllowPNG", true);
    web.Put(L"RelyOnCSS", true);
    web.Put(L"RelyOnVML", false);
    web.Put(L"UseLongFileNames", true);
    web.Put(L"OrganizeInFolder", true);
    if (web.Get(L"encoding").Long() != 936) web.Put(L"encoding", 65001);
    err.Clear();
    win::DoEvents();

    // 11
    if (context_.Cancelled()) {
        errflag = L"cancel";
        return failureExit();
    }

    if (sheetIndex != 0) {  // 12
        if (!Sheet2HTML(kind, app, workbook, sheetIndex, errflag, html)) return failureExit();
    } else {  // 13
        const long count = workbook.Get(L"Sheets.Count").Long();
        for (long i = 1; i <= count; ++i) {
            std::wstring fragment, sheetError;
            if (Sheet2HTML(kind, app, workbook, i, sheetError, fragment)) {
                if (fragment.empty()) continue;
                if (!html.empty()) html += kSheetBreak;
                html += fragment;
            } else if (sheetError == L"xlssheetindex" || sheetError == L"xlssheethide") {
                errflag = sheetError;
            } else {
                errflag = sheetError;
                return failureExit();
            }
        }
    }

    // 15
    excel::CloseAndQuit(workbook, app);
    win::DoEvents();
    if (context_.Cancelled()) {
        errflag = L"cancel";
        html.clear();
        return false;
    }
    // Picture addresses of the pages' supporting folders point into the job folder.
    try {
        html = basRegExp::RegExpReplace(
            html, L"(<img\\b[^>]*?\\ssrc=['\"]?)(?:\\./)?(Quorallion_Temp_Sheet[0-9]+[._\\-]files/)",
            L"$1file:///" + context_.actKey + L"/$2");
    } catch (const RegExpError&) {
        errflag = L"xlsread";
        html.clear();
        return false;
    }
    return true;
}

bool clsOfficeExcel::Sheet2HTML(const std::wstring& kind, const AutoObject& app, const AutoObject& workbook,
                                 long sheetIndex, std::wstring& errflag, std::wstring& html) {
    office::ErrorState err;
    // The workbook's calls record into the worker's state; this step's own checks use a fresh
    // object of the same workbook tied to a local state.
    const AutoObject book(workbook.get(), err);
    const AutoObject application(app.get(), err);

    // 1
    errflag.clear();
    html.clear();
    const AutoObject sheet = book.Object(L"Worksheets", {sheetIndex});
    if (err.Pending() || !sheet) {
        errflag = L"xlssheetindex";
        return false;
    }

    // 2: hidden and very hidden alike.
    if (sheet.Get(L"Visible").Long() != kVisible) {
        errflag = L"xlssheethide";
        return false;
    }

    // 3
    err.Clear();
    const AutoObject used = sheet.Object(L"UsedRange");
    const double values = application.Get(L"WorkSheetFunction.CountA", {used.get()}).Double();
    if (err.Pending()) {
        errflag = L"xlssave";
        return false;
    }
    if (values <= 0) return true;

    // 4
    const std::wstring page = context_.jobFolder + L"Quorallion_Temp_Sheet" + std::to_wstring(sheetIndex) + L".html";
    const std::wstring containerId = L"Quorallion_Sheet" + std::to_wstring(sheetIndex);
    basFile::DeleteFileIfExists(page);

    // 5
    const AutoObject range = excel::ValueRange(sheet);
    const std::wstring address = range.Get(L"Address").Text();

    if (kind == L"xls") {  // 6
        const AutoObject published = book.Object(
            L"PublishObjects.Add", {4, page, sheet.Get(L"Name").Text(), address, 0, containerId, L""});
        published.Call(L"Publish", {true});
    } else {  // 7: copied into a new sheet of its own, published whole, then deleted (never saved).
        const AutoObject copy = book.Object(L"Worksheets.Add");
        const AutoObject target = copy.Object(L"Range", {L"A1"});
        range.Call(L"Copy", {target.get()});
        const long columns = range.Get(L"Columns.Count").Long();
        for (long c = 1; c <= columns; ++c)
            copy.Object(L"Columns", {c}).Put(L"columnWidth", Arg(range.Object(L"Columns", {c}).Get(L"columnWidth").get()));
        const long rows = range.Get(L"Rows.Count").Long();
        for (long r = 1; r <= rows; ++r)
            copy.Object(L"Rows", {r}).Put(L"RowHeight", Arg(range.Object(L"Rows", {r}).Get(L"RowHeight").get()));
        const AutoObject published =
            book.Object(L"PublishObjects.Add", {1, page, copy.Get(L"Name").Text(), L"", 0, containerId, L""});
        published.Call(L"Publish", {true});
        // Deleted whatever happened above, so the workbook keeps no sheet of ours.
        office::ErrorState deleteErrors;
        AutoObject(copy.get(), deleteErrors).Call(L"Delete");
    }

    // 8: a page that is missing after the publishing counts as a failed publishing.
    if (err.Pending() || !basFile::FileExists(page)) {
        errflag = L"xlssave";
        return false;
    }

    // 9
    std::wstring text;
    try {
        text = basFile::ReadTextFileAuto(page);
    } catch (const std::exception&) {
        errflag = L"xlsread";
        return false;
    }

    // 10
    html = OptimizeHTML(text, true);
    return true;
}

}  // namespace quorallion

namespace quorallion {

std::unique_ptr<ExcelWorker> MakeExcelWorker(const JobContext& context) {
    return std::make_unique<clsOfficeExcel>(context);
}

}  // namespace quorallion
