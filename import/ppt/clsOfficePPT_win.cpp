// PowerPoint or the WPS presentation program exports a presentation as a PDF into the job folder.
// Both programs run one instance per user: a new application object can be the user's running
// one, with the user's presentations open. So the worker looks in the running object table
// first, and when an instance already ran it closes only its own presentation and never quits.
#include <string>

#include "file/basFile.h"
#include "import_services.h"
#include "office/display_alerts_win.h"
#include "office/export_title_win.h"
#include "office/late_binding_win.h"
#include "office/office_choice.h"
#include "office/office_family.h"
#include "office/office_pdf_pages_win.h"
#include "office/office_registration.h"
#include "ppt/clsOfficePPT.h"
#include "public/basPublic.h"
#include "public/basPublic_win.h"
#include "win/message_pump.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;

constexpr wchar_t kPresentationExtensions[] = L"ppt|pptx|dps";

}  // namespace

bool clsOfficePPT::Ppt2Pdf(const std::wstring& presentationPath, const std::wstring& options, std::wstring& name,
                           std::wstring& errflag) {
    // 1, 2
    win::DoEvents();
    name.clear();
    const std::wstring api = basPublic::GetParamValue(options, L"api");
    const bool docprop = basPublic::GetParamValue(options, L"docprop") == L"1";
    const bool hide = basPublic::GetParamValue(options, L"hide") == L"1";
    const std::wstring title = basPublic::GetParamValue(options, L"title");

    // 3
    if (!basFile::FileExistsWithExt(presentationPath, kPresentationExtensions)) {
        errflag = L"ext";
        return false;
    }

    // 4
    const std::wstring kind = office::ChooseDocumentApplication(api, L"ppt", L"dps");
    if (kind.empty()) {
        errflag = L"wpscompat";
        return false;
    }

    // 5: an instance the user runs is found first; what it holds open is counted before ours.
    office::ErrorState err;
    const std::wstring progId = basPublic::GetOfficeProgID(kind);
    AutoObject app = office::GetActiveObject(progId, err);
    const bool attached = static_cast<bool>(app);
    if (!attached) {
        err.Clear();
        app = office::CreateObject(progId, err);
    }
    if (!app) {
        errflag = L"pptcreate";
        return false;
    }
    err.Clear();
    const long openBefore = app.Get(L"Presentations.Count").Long();
    // Another client's create may have attached to an instance that was not yet in the table.
    const bool shared = attached || openBefore > 0;
    // 6: a PowerPoint that serves the user too gets its own alerts back when the job ends.
    win::DoEvents();
    office::AlertsOff alerts(app, 1);
    err.Clear();
    auto quitOurs = [&](AutoObject& presentation) {
        presentation.Call(L"Close");
        presentation.Reset();
        if (shared) {
            alerts.Restore();
        } else {
            alerts.Quitting();
            app.Call(L"Quit");
        }
        app.Reset();
    };

    // 7
    const double version = office::VersionNumber(app.Get(L"Version").Text());
    AutoObject presentation;
    if (kind == L"ppt" && version < 12.0) {
        quitOurs(presentation);
        errflag = L"office2007plus";
        return false;
    }

    // 8
    err.Clear();
    presentation = app.Object(L"Presentations.Open", {presentationPath, Arg::Missing(), Arg::Missing(), false});
    if (err.Pending() || !presentation) {
        quitOurs(presentation);
        errflag = L"pptopen";
        return false;
    }

    // 9
    win::DoEvents();
    const std::wstring fileName = basPublic::GetTimeStamp() + L".pdf";
    const std::wstring outputPath = context_.jobFolder + fileName;

    // 10
    const int hiddenSlides = hide ? -1 : 0;
    AutoObject printRange = presentation.Object(L"PrintOptions.Ranges.Add", {1, 1});

    // 11
    const bool includeProperties = !title.empty() || docprop;
    office::PutExportTitle(presentation, title, docprop);

    // 12: Path, FixedFormatType, Intent, FrameSlides, HandoutOrder, OutputType, PrintHiddenSlides,
    // PrintRange, RangeType, SlideShowName, IncludeDocProperties, KeepIRMSettings,
    // DocStructureTags, BitmapMissingFonts, UseISO19005_1.
    err.Clear();
    presentation.Call(L"ExportAsFixedFormat",
                      {outputPath, 2, 2, 0, 1, 1, hiddenSlides, printRange.get(), 1, L"", includeProperties, true, true,
                       true, false});

    // 13
    win::DoEvents();
    err.Clear();

    // 14
    printRange.Reset();
    quitOurs(presentation);

    // 15
    if (!basFile::FileExists(outputPath)) {
        errflag = L"saveaspdf";
        return false;
    }
    name = fileName;
    return true;
}

bool clsOfficePPT::Ppt2Image(const std::wstring& presentationPath, const std::wstring& options, std::wstring& html,
                             std::wstring& errflag) {
    // Hidden slides, title and properties stay out of the images whatever the options say.
    return office::PdfThenPageImages(context_, options, html, errflag,
                                     [&](const std::wstring& api, std::wstring& pdfName, std::wstring& exportErr) {
                                         return Ppt2Pdf(presentationPath, L"api:" + api + L";docprop:0;hide:0", pdfName,
                                                        exportErr);
                                     });
}

std::unique_ptr<PptWorker> MakePptWorker(const JobContext& context) {
    return std::make_unique<clsOfficePPT>(context);
}

}  // namespace quorallion
