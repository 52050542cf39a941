// Excel or the WPS spreadsheet program exports a workbook, or one sheet of it, as a PDF into the
// job folder; page images are rendered from that PDF by the PDF worker. A second image road copies
// each sheet's values to the clipboard and saves the picture the application put there.
#include <string>

#include "clipboard/clipboard_picture_holder_win.h"
#include "clsSaveBitmapAs.h"
#include "excel/clsOfficeExcel.h"
#include "excel/excel_range_win.h"
#include "excel/sheet_index.h"
#include "excel/workbook_session_win.h"
#include "file/basFile.h"
#include "office/display_alerts_win.h"
#include "office/export_title_win.h"
#include "office/late_binding_win.h"
#include "office/office_choice.h"
#include "office/office_family.h"
#include "office/office_pdf_pages_win.h"
#include "office/office_registration.h"
#include "public/basPublic.h"
#include "public/basPublic_win.h"
#include "win/message_pump.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;

constexpr wchar_t kWorkbookExtensions[] = L"xls|xlsx|et";
constexpr long kVisible = -1;

// Steps shared by both roads: extension test, application choice, creation, alerts off, version
// test and opening read-only. On failure errflag is set and nothing is left running.
bool StartAndOpen(const std::wstring& workbookPath, const std::wstring& api, office::ErrorState& err,
                  AutoObject& app, AutoObject& workbook, std::wstring& errflag) {
    if (!basFile::FileExistsWithExt(workbookPath, kWorkbookExtensions)) {
        errflag = L"ext";
        return false;
    }
    const std::wstring kind = office::ChooseDocumentApplication(api, L"xls", L"et");
    if (kind.empty()) {
        errflag = L"wpscompat";
        return false;
    }
    err.Clear();
    app = office::CreateObject(basPublic::GetOfficeProgID(kind), err);
    if (!app) {
        errflag = L"xlscreate";
        return false;
    }
    win::DoEvents();
    office::SwitchAlertsOff(app, false);
    err.Clear();
    const double version = office::VersionNumber(app.Get(L"Version").Text());
    if (kind == L"xls" && version < 12.0) {
        app.Call(L"Quit");
        app.Reset();
        errflag = L"office2007plus";
        return false;
    }
    err.Clear();
    workbook = excel::OpenReadOnly(app, workbookPath);
    if (err.Pending() || !workbook) {
        errflag = L"xlsopen";
        excel::CloseAndQuit(workbook, app);
        return false;
    }
    return true;
}

}  // namespace

bool clsOfficeExcel::Excel2Pdf(const std::wstring& workbookPath, const std::wstring& options, std::wstring& name,
                               std::wstring& errflag) {
    // 1, 2
    win::DoEvents();
    name.clear();
    const std::wstring api = basPublic::GetParamValue(options, L"api");
    const bool docprop = basPublic::GetParamValue(options, L"docprop") == L"1";
    const std::wstring title = basPublic::GetParamValue(options, L"title");
    long sheetIndex = excel::ParseSheetIndex(basPublic::GetParamValue(options, L"sheetindex"));

    // 3 to 8
    office::ErrorState err;
    AutoObject app, workbook;
    if (!StartAndOpen(workbookPath, api, err, app, workbook, errflag)) return false;

    // 9
    win::DoEvents();
    err.Clear();
    if (sheetIndex < 0 || sheetIndex > workbook.Get(L"Sheets.Count").Long()) sheetIndex = 0;

    // 10
    const std::wstring fileName = basPublic::GetTimeStamp() + L".pdf";
    const std::wstring outputPath = context_.jobFolder + fileName;

    // 11
    office::PutExportTitle(workbook, title, docprop);
    const bool includeProperties = !title.empty() || docprop;

    // 12: Type, Filename, Quality, IncludeDocProperties, IgnorePrintAreas, From, To, OpenAfterPublish.
    err.Clear();
    const AutoObject source = sheetIndex != 0 ? workbook.Object(L"Worksheets", {sheetIndex}) : workbook;
    source.Call(L"ExportAsFixedFormat", {0, outputPath, 0, includeProperties, true, Arg::Missing(), Arg::Missing(), false});

    // 13
    win::DoEvents();
    err.Clear();

    // 14
    excel::CloseAndQuit(workbook, app);

    // 15
    if (!basFile::FileExists(outputPath)) {
        errflag = L"saveaspdf";
        return false;
    }
    name = fileName;
    return true;
}

bool clsOfficeExcel::Excel2ImageByPdf(const std::wstring& workbookPath, const std::wstring& options,
                                      std::wstring& html, std::wstring& errflag) {
    // The sheet index goes on as written; title and properties stay out of the images.
    const std::wstring sheetindex = basPublic::GetParamValue(options, L"sheetindex");
    return office::PdfThenPageImages(
        context_, options, html, errflag,
        [&](const std::wstring& api, std::wstring& pdfName, std::wstring& exportErr) {
            return Excel2Pdf(workbookPath, L"api:" + api + L";sheetindex:" + office::EscapeOptionValue(sheetindex) +
                                               L";docprop:0",
                             pdfName, exportErr);
        });
}

bool clsOfficeExcel::Excel2ImageByClipboard(const std::wstring& workbookPath, const std::wstring& options,
                                            std::wstring& html, std::wstring& errflag) {
    // 1
    win::DoEvents();
    html.clear();
    const std::wstring api = basPublic::GetParamValue(options, L"api");
    std::wstring imgtype = basPublic::GetParamValue(options, L"imgtype");
    if (imgtype != L"gif" && imgtype != L"jpg") imgtype = L"png";
    const long sheetIndex = excel::ParseSheetIndex(basPublic::GetParamValue(options, L"sheetindex"));

    // 2
    office::ErrorState err;
    AutoObject app, workbook;
    if (!StartAndOpen(workbookPath, api, err, app, workbook, errflag)) return false;

    // 3
    win::DoEvents();
    err.Clear();
    ClipboardPictureHolder& holder = ClipboardPictureHolder::Instance();
    const std::wstring stamp = basPublic::GetTimeStamp();
    clsSaveBitmapAs saver;

    // 4
    const long count = workbook.Get(L"Sheets.Count").Long();
    for (long i = 1; i <= count; ++i) {
        win::DoEvents();
        if (sheetIndex != 0 && i != sheetIndex) continue;
        err.Clear();
        const AutoObject sheet = workbook.Object(L"Worksheets", {i});
        if (!sheet) continue;
        const AutoObject used = sheet.Object(L"UsedRange");
        if (app.Get(L"WorkSheetFunction.CountA", {used.get()}).Double() <= 0) continue;
        if (sheet.Get(L"Visible").Long() != kVisible) continue;

        // 4.1: the same extent as the published page.
        sheet.Call(L"Activate");
        excel::ValueRange(sheet).Call(L"Copy");

        // 4.2
        const std::wstring fileName = stamp + basPublic::PadZero(i, 3) + L"." + imgtype;
        const std::wstring path = context_.jobFolder + fileName;

        // 4.3
        UINT format = 0;
        if (::IsClipboardFormatAvailable(CF_BITMAP)) format = CF_BITMAP;
        else if (::IsClipboardFormatAvailable(CF_ENHMETAFILE)) format = CF_ENHMETAFILE;
        else if (::IsClipboardFormatAvailable(CF_METAFILEPICT)) format = CF_METAFILEPICT;
        if (format == 0) continue;

        // 4.4: "<br>" only between pictures that were written.
        if (!holder.SetFromClipboard(format)) continue;
        if (saver.SavePictureFromHDC(holder.Bitmap(), path) && basFile::FileExists(path)) {
            if (!html.empty()) html += L"<br>";
            html += L"<img src=\"file:///" + context_.actKey + L"/" + fileName + L"\">";
        }
    }

    // 5
    holder.Clear();
    excel::CloseAndQuit(workbook, app);
    return true;
}

}  // namespace quorallion
