// Word or WPS writer turns a document file, or the clipboard's Word content, into filtered HTML in
// the job folder; the file is read back, equation markers and picture addresses are rewritten and
// the result is cleaned. Every automation call runs with errors trapped (office::ErrorState); the
// error state is read only at the steps where a failure has a word of its own.
#include <cstdlib>
#include <optional>

#include "clipboard/basClipBoard.h"
#include "file/basFile.h"
#include "office/display_alerts_win.h"
#include "office/late_binding_win.h"
#include "office/office_choice.h"
#include "office/office_family.h"
#include "office/office_registration.h"
#include "process_state.h"
#include "public/basPublic.h"
#include "regex/basRegExp.h"
#include "win/message_pump.h"
#include "word/clsOfficeWord.h"
#include "word/unprotect_prompt.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;

constexpr wchar_t kDocumentExtensions[] = L"doc|docx|wps";
constexpr wchar_t kOutputName[] = L"Quorallion_Temp_Doc.html";
// Opened with this as the open password, a file that has one fails instead of asking on a window
// nobody sees; a file without one ignores it.
constexpr wchar_t kNoPassword[] = L"\x01Quorallion-no-password\x01";

void SetPrintLayout(const AutoObject& app) {
    if (app.Get(L"ActiveWindow.view.SplitSpecial").Long(-1) == 0)
        app.Put(L"ActiveWindow.ActivePane.view.Type", 3);
    else
        app.Put(L"ActiveWindow.view.Type", 3);
}

}  // namespace

bool clsOfficeWord::IsDocumentFile(const std::wstring& path) {
    return basFile::HasExtInList(path, kDocumentExtensions) && basFile::FileExists(path);
}

office::AutoObject clsOfficeWord::OpenReadOnly(const office::AutoObject& app, const std::wstring& path) {
    // Open(FileName, ConfirmConversions, ReadOnly, AddToRecentFiles, PasswordDocument)
    return app.Object(L"Documents.Open", {path, Arg::Missing(), true, Arg::Missing(), kNoPassword});
}

bool clsOfficeWord::Word2HTML(const std::wstring& documentPath, const std::wstring& options,
                              std::wstring& html, std::wstring& errflag, bool paste) {
    // 1
    win::DoEvents();
    html.clear();
    const bool wordeq = basPublic::GetParamValue(options, L"wordeq") == L"1";
    const bool originalImage = basPublic::GetParamValue(options, L"originalimage") == L"1";
    office::ErrorState err;

    // 2
    std::wstring typeWord;
    bool inlineHtml = false;
    if (!paste) {
        if (!IsDocumentFile(documentPath)) {
            errflag = L"ext";
            return false;
        }
        typeWord = office::ChooseWordApplication(basPublic::GetParamValue(options, L"api"));
    } else {
        typeWord = office::ChooseWordPasteApplication(basClipBoard::GetClipboardSourceApp());
        inlineHtml = basClipBoard::IsClipboardHTMLInline();
    }
    if (typeWord.empty()) {
        errflag = L"wpscompat";
        return false;
    }

    // 3, 4
    const std::wstring outputPath = context_.jobFolder + kOutputName;
    win::DoEvents();
    if (context_.Cancelled()) {
        errflag = L"cancel";
        return false;
    }

    // 5, 6
    const std::wstring progId = basPublic::GetOfficeProgID(typeWord);
    err.Clear();
    bool starter = true;
    AutoObject app;
    if (paste) {
        app = office::GetActiveObject(progId, err);
        starter = !app;
        if (!app) {
            err.Clear();
            app = office::CreateObject(progId, err);
        }
    } else {
        app = office::CreateObject(progId, err);
    }
    win::DoEvents();
    if (!app) {
        errflag = L"wordcreate";
        return false;
    }

    // 7: a cancel here quits an application this worker started rather than leaving it running.
    win::DoEvents();
    if (context_.Cancelled()) {
        if (starter) app.Call(L"Quit", {0});
        errflag = L"cancel";
        return false;
    }

    // 8
    double version = office::VersionNumber(app.Get(L"Version").Text());
    err.Clear();
    if (typeWord == L"doc" && version < 12.0) {
        if (starter) app.Call(L"Quit", {0});
        errflag = L"office2007plus";
        return false;
    }

    // Alerts stay off while the job runs; a Word the worker attached to gets its own value back
    // when the job ends, on every road out.
    std::optional<office::AlertsOff> alerts;
    AutoObject doc;
    // Closes the document, and quits the application when the worker started it.
    auto closeDocumentAndApplication = [&] {
        doc.Call(L"Close", {0});
        if (starter) {
            if (alerts) alerts->Quitting();
            app.Call(L"Quit", {0});
        } else if (alerts) {
            alerts->Restore();
        }
        doc.Reset();
        app.Reset();
    };
    auto closeAfterFailure = [&] {  // 20
        closeDocumentAndApplication();
        html.clear();
        return false;
    };

    // 9
    alerts.emplace(app, 0);
    if (!paste) {
        doc = OpenReadOnly(app, documentPath);
    } else {
        err.Clear();
        doc = app.Object(L"Documents.Add", {Arg::Missing(), Arg::Missing(), Arg::Missing(), false});
        if (err.Pending() && !starter) {
            alerts.reset();  // the Word left behind gets its value back
            err.Clear();
            app = office::CreateObject(progId, err);
            if (!app) {
                errflag = L"wordcreate";
                return false;
            }
            starter = true;
            alerts.emplace(app, 0);
            doc = app.Object(L"Documents.Add");
        }
        if (!err.Pending()) {
            for (const wchar_t* option :
                 {L"Options.PasteFormatBetweenStyledDocuments", L"Options.PasteFormatBetweenDocuments",
                  L"Options.PasteFormatWithinDocument", L"Options.PasteFormatFromExternalSource"})
                app.Put(option, 0);
            err.Clear();
        }
        doc.Call(L"Content.PasteAndFormat", {0});
        if (err.Number() == 6102) err.Clear();
    }
    win::DoEvents();
    if (err.Pending() || !doc) {
        errflag = L"wordopen";
        return closeAfterFailure();
    }

    // 10
    SetPrintLayout(app);
    err.Clear();
    const AutoObject web = doc.Object(L"WebOptions");
    web.Put(L"AllowPNG", true);
    web.Put(L"RelyOnCSS", true);
    web.Put(L"RelyOnVML", false);
    web.Put(L"UseLongFileNames", true);
    web.Put(L"OrganizeInFolder", true);
    if (web.Get(L"encoding").Long(0) != 936) web.Put(L"encoding", 65001);
    err.Clear();

    // 11
    bool isProtected = false;
    for (;;) {
        if (doc.Get(L"ProtectionType").Long(-1) == -1) {
            isProtected = false;
            break;
        }
        isProtected = true;
        ShowUnprotectPrompt();
        if (UnprotectTexts().state != L"ok") break;
        err.Clear();
        doc.Call(L"Unprotect", {UnprotectTexts().password});
        if (!err.Pending()) {
            isProtected = false;
            break;
        }
        err.Clear();
        ShowWrongPasswordMessage();
    }
    err.Clear();

    // 12
    win::DoEvents();
    if (context_.Cancelled()) {
        errflag = L"cancel";
        return closeAfterFailure();
    }

    // 13
    if (!isProtected) {
        if (originalImage) ResetPictureScale(doc);
        win::DoEvents();
        if (context_.Cancelled()) {
            errflag = L"cancel";
            return closeAfterFailure();
        }
        // The equations' codes are read through the pattern engine: when it fails, the job fails
        // as it does when the engine fails on the saved page (step 17), and the document and the
        // application are closed rather than left behind.
        try {
            ConvertEquationsToPictures(doc, wordeq);
        } catch (const std::exception&) {
            errflag = L"wordreadfile";
            return closeAfterFailure();
        }
        win::DoEvents();
        if (context_.Cancelled()) {
            errflag = L"cancel";
            return closeAfterFailure();
        }
    }

    // 14
    err.Clear();
    basFile::DeleteFileIfExists(outputPath);
    doc.Call(L"SaveAs", {outputPath, 10});
    win::DoEvents();
    err.Clear();

    // 15
    if (starter) SetPrintLayout(app);
    closeDocumentAndApplication();
    win::DoEvents();
    if (context_.Cancelled()) {
        errflag = L"cancel";
        return false;
    }

    // 16: a save that left no file is a failure too, not an empty success.
    err.Clear();
    if (!basFile::FileExists(outputPath)) {
        errflag = L"wordreadfile";
        return false;
    }
    std::wstring text;
    try {
        text = basFile::ReadTextFileAuto(outputPath);

        // 17
        if (wordeq) {
            text = EquationAttributes(ReplaceEquationPlaceholders(text));
        } else {
            text = basRegExp::RegExpReplace(
                text,
                LR"re(<a\s+?name\s*?=\s*?['"]?quorallionomath[0-9][^>]*?></a>\s*?<span\s[^>]*?>\s*?(<img\b[^>]*?>)\s*?</span>)re",
                L"$1");
        }
        if (paste && !inlineHtml) text = UnwrapSingleBodyElement(text);

        // 18
        text = PictureAddresses(text, context_.actKey);
    } catch (const std::exception&) {
        // An unreadable file or a failing pattern engine: no half-done HTML goes out.
        errflag = L"wordreadfile";
        return false;
    }

    // 19
    html = OptimizeHTML(text);
    return true;
}

std::wstring clsOfficeWord::EquationAttributes(const std::wstring& html) {
    return basRegExp::RegExpReplace(
        html, LR"re((<img\s[^>]*?)(alt\s*?=\s*?"QuorallionWordEQ;)([^;">]*?);([^">]*?)"([^>]*?>))re",
        LR"re($1 _tag="wordeq" _eqtype="$3" _eqcode="$4"$5)re");
}

std::wstring clsOfficeWord::PictureAddresses(const std::wstring& html, const std::wstring& actKey) {
    return basRegExp::RegExpReplace(
        html, LR"re((<img\b[^>]*?\ssrc\s*?=\s*?['"])(?:\./)?(Quorallion_Temp_Doc[\._\-]files/[^>]*?>))re",
        L"$1file:///" + actKey + L"/$2");
}

// Steps 17 of the paste road: the body loses the div, then the p, that wraps all of it, but only
// when that element really is the only one at the body's top (a body of several paragraphs keeps
// its tags balanced).
std::wstring clsOfficeWord::UnwrapSingleBodyElement(const std::wstring& html) {
    std::wstring out = html;
    for (const wchar_t* tag : {L"div", L"p"}) {
        const std::wstring t = tag;
        const std::wstring pattern = L"(<body\\b[^>]*?>)\\s*?<" + t + L"\\b[^>]*?>((?:(?!<" + t + L"\\b)[\\s\\S])*?)</" + t +
                                     L">\\s*?(</body>)";
        out = basRegExp::RegExpReplace(out, pattern, L"$1$2$3");
    }
    return out;
}

}  // namespace quorallion
