// Word or WPS writer exports a document as a PDF into the job folder; page images are rendered
// from that PDF by the PDF worker.
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
#include "word/clsOfficeWord.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;
using office::ByRefValue;

}  // namespace

bool clsOfficeWord::Word2Pdf(const std::wstring& documentPath, const std::wstring& options, std::wstring& name,
                             std::wstring& errflag) {
    // 1
    win::DoEvents();
    name.clear();
    const std::wstring api = basPublic::GetParamValue(options, L"api");
    const bool docprop = basPublic::GetParamValue(options, L"docprop") == L"1";
    const bool markup = basPublic::GetParamValue(options, L"markup") == L"1";
    std::wstring bookmark = basPublic::GetParamValue(options, L"bookmark");
    if (bookmark != L"1" && bookmark != L"2") bookmark = L"0";
    const std::wstring title = basPublic::GetParamValue(options, L"title");

    // 2, 3
    if (!IsDocumentFile(documentPath)) {
        errflag = L"ext";
        return false;
    }
    const std::wstring typeWord = office::ChooseWordApplication(api);
    if (typeWord.empty()) {
        errflag = L"wpscompat";
        return false;
    }

    // 4
    office::ErrorState err;
    AutoObject app = office::CreateObject(basPublic::GetOfficeProgID(typeWord), err);
    if (!app) {
        errflag = L"wordcreate";
        return false;
    }

    // 5
    win::DoEvents();
    const double version = office::VersionNumber(app.Get(L"Version").Text());
    err.Clear();
    if (typeWord == L"doc" && version < 12.0) {
        app.Call(L"Quit", {0});
        errflag = L"office2007plus";
        return false;
    }

    // 6
    office::SwitchAlertsOff(app, 0);
    AutoObject doc = OpenReadOnly(app, documentPath);
    if (err.Pending() || !doc) {
        errflag = L"wordopen";
        doc.Call(L"Close", {0});
        app.Call(L"Quit", {0});
        return false;
    }

    // 7
    win::DoEvents();
    if (app.Get(L"ActiveWindow.view.SplitSpecial").Long(-1) == 0)
        app.Put(L"ActiveWindow.ActivePane.view.Type", 3);
    else
        app.Put(L"ActiveWindow.view.Type", 3);
    err.Clear();

    // 8
    const std::wstring fileName = basPublic::GetTimeStamp() + L".pdf";
    const std::wstring outputPath = context_.jobFolder + fileName;

    // 9
    office::PutExportTitle(doc, title, docprop);

    // 10: all fourteen by reference, typed as the export expects them.
    ByRefValue outputFile(outputPath);
    ByRefValue exportFormat(17), openAfter(false), optimizeFor(0), range(0), from(1), to(1);
    ByRefValue item(markup ? 7 : 0);
    ByRefValue includeProperties(!title.empty() || docprop);
    ByRefValue keepIrm(true);
    ByRefValue createBookmarks(static_cast<int>(bookmark[0] - L'0'));
    ByRefValue structureTags(true), bitmapFonts(true), pdfA(false);
    doc.Call(L"ExportAsFixedFormat",
             {outputFile.Ref(), exportFormat.Ref(), openAfter.Ref(), optimizeFor.Ref(), range.Ref(), from.Ref(),
              to.Ref(), item.Ref(), includeProperties.Ref(), keepIrm.Ref(), createBookmarks.Ref(),
              structureTags.Ref(), bitmapFonts.Ref(), pdfA.Ref()});
    win::DoEvents();
    err.Clear();

    // 11
    doc.Call(L"Close", {0});
    app.Call(L"Quit", {0});
    doc.Reset();
    app.Reset();

    // 12
    if (!basFile::FileExists(outputPath)) {
        errflag = L"saveaspdf";
        return false;
    }
    name = fileName;
    return true;
}

bool clsOfficeWord::Word2Image(const std::wstring& documentPath, const std::wstring& options, std::wstring& html,
                               std::wstring& errflag) {
    return office::PdfThenPageImages(context_, options, html, errflag,
                                     [&](const std::wstring& api, std::wstring& pdfName, std::wstring& exportErr) {
                                         return Word2Pdf(documentPath, L"api:" + api + L";docprop:0;markup:0;bookmark:0",
                                                         pdfName, exportErr);
                                     });
}

}  // namespace quorallion
