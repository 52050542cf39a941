// Stand-in for Word's and WPS writer's automation servers (tests only, never shipped). One
// program; its copies Winword.exe and wps.exe serve "Word.Application" and "KWPS.Application".
// Only the members the Word worker uses are here, as plain IDispatch objects on the stand-in
// frame (tests/standins/office). LibreOffice headless does the real conversions; the package's
// XML tells protection. Not modelled: equations, fields and shapes (their collections are empty)
// and the selection's clipboard copies.
//
// Settings (see office/standin_settings.h) beyond the frame's: "savedelay" (ms that SaveAs and
// ExportAsFixedFormat wait, serving messages), "password" (the editing password Unprotect
// accepts), "nosave" (1: SaveAs and the export write nothing), "fastpdf" (1: the export writes a
// blank one-page PDF itself instead of asking LibreOffice, for tests about the arguments only).
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/dispatch_object.h"
#include "office/journal.h"
#include "office/libreoffice.h"
#include "office/standin_server.h"
#include "office/standin_settings.h"
#include "support/unix_shell.h"

namespace {

using quorallion::standin::DispatchCall;
using quorallion::standin::DispatchObject;
using quorallion::standin::Settings;
namespace testing = quorallion::testing;

// Word.Application's class, and our class for KWPS.Application.
constexpr CLSID kWordClass = {0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr CLSID kWpsClass = {0x5A9C6E1E, 0x3F0B, 0x4E5C, {0x9A, 0x55, 0x7B, 0x2E, 0x0F, 0x6C, 0x1D, 0x01}};

constexpr long kErrorCorrupt = 5792;   // "The file appears to be corrupted."
constexpr long kErrorPassword = 5408;  // "The password is incorrect."
constexpr long kErrorProtected = 5485;

std::wstring WorkFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp) + L"quorallion-word-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring Extension(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    std::wstring ext = dot == std::wstring::npos ? L"" : path.substr(dot + 1);
    for (wchar_t& c : ext) c = static_cast<wchar_t>(::towlower(c));
    return ext;
}

// Waits, serving messages, as a busy application keeps its message loop.
void BusyFor(long milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::wstring FromUtf8(const std::string& bytes) {
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), units);
    return out;
}

struct Document {
    std::wstring source;      // the opened file, "" for a new document
    std::wstring workCopy;    // the source copied under an ASCII name in the work folder
    std::wstring pastedHtml;  // the body of what was pasted into a new document
    long protection = -1;     // wdNoProtection, or the kind read from the package
    std::map<std::wstring, std::wstring> properties;
};

std::optional<long> ProtectionOf(const std::wstring& settingsXml) {
    const size_t at = settingsXml.find(L"<w:documentProtection");
    if (at == std::wstring::npos) return std::nullopt;
    const size_t end = settingsXml.find(L'>', at);
    const std::wstring tag = settingsXml.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
    if (tag.find(L"w:enforcement=\"1\"") == std::wstring::npos && tag.find(L"w:enforcement=\"true\"") == std::wstring::npos)
        return std::nullopt;
    if (tag.find(L"\"readOnly\"") != std::wstring::npos) return 3;
    if (tag.find(L"\"comments\"") != std::wstring::npos) return 1;
    if (tag.find(L"\"forms\"") != std::wstring::npos) return 2;
    return 0;
}

// Opens the file as Word would judge it: a package must be a zip with a main document part
// (an encrypted package is a compound file instead); a binary document is tried by LibreOffice.
HRESULT Load(Document& doc, DispatchCall& call) {
    const std::wstring path = call.Text(0);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return call.Fail(5174, L"This file could not be found.");
    const std::wstring folder = WorkFolder();
    doc.source = path;
    doc.workCopy = folder + L"source." + Extension(path);
    if (!::CopyFileW(path.c_str(), doc.workCopy.c_str(), FALSE)) return call.Fail(kErrorCorrupt, L"Cannot read");
    const std::string head = testing::ReadBytes(doc.workCopy).value_or("").substr(0, 8);
    if (Extension(path) == L"docx") {
        if (head.rfind("\xD0\xCF\x11\xE0", 0) == 0) return call.Fail(kErrorPassword, L"The password is incorrect.");
        if (head.rfind("PK\x03\x04", 0) != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
        const std::optional<std::string> unixCopy = testing::UnixPath(doc.workCopy);
        const std::optional<std::string> unixSettings = testing::UnixPath(folder + L"settings.xml");
        if (!unixCopy || !unixSettings) return call.Fail(kErrorCorrupt, L"No path");
        const std::optional<int> status = testing::RunUnixScript(
            "python3 -c 'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nnames = z.namelist()\n"
            "sys.exit(3) if \"word/document.xml\" not in names else None\n"
            "open(sys.argv[2], \"wb\").write(z.read(\"word/settings.xml\") if \"word/settings.xml\" in names else b\"\")' " +
                testing::ShellQuote(*unixCopy) + " " + testing::ShellQuote(*unixSettings),
            60000);
        if (!status || *status != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
        doc.protection = ProtectionOf(FromUtf8(testing::ReadBytes(folder + L"settings.xml").value_or(""))).value_or(-1);
        return S_OK;
    }
    // .doc, .wps: LibreOffice reads it or it is not a document (an encrypted one included: the
    // worker's password is none the file has).
    if (head.rfind("\xD0\xCF\x11\xE0", 0) != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
    if (!quorallion::standin::LibreOfficeConvert(doc.workCopy, L"txt:Text", folder, folder + L"source.txt", 60000))
        return call.Fail(kErrorPassword, L"The password is incorrect.");
    return S_OK;
}

// The filtered HTML of the document at path, its pictures in "<name>_files\".
bool SaveHtml(const Document& doc, const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = path.substr(0, slash + 1);
    std::wstring name = path.substr(slash + 1);
    name = name.substr(0, name.find_last_of(L'.'));
    std::string html;
    std::vector<std::pair<std::wstring, std::wstring>> pictures;  // work file, name in the folder
    if (!doc.workCopy.empty()) {
        const std::wstring work = WorkFolder();
        const std::wstring out = work + L"source.html";
        if (!quorallion::standin::LibreOfficeConvert(doc.workCopy, L"html:HTML (StarWriter)", work, out)) return false;
        html = testing::ReadBytes(out).value_or("");
        // LibreOffice names its pictures "source_html_<hash>.<ext>" beside the page.
        size_t at = 0;
        int n = 0;
        while ((at = html.find("src=\"source_html_", at)) != std::string::npos) {
            const size_t start = at + 5, end = html.find('"', start);
            if (end == std::string::npos) break;
            const std::string file = html.substr(start, end - start);
            const std::string ext = file.substr(file.find_last_of('.'));
            const std::string target = "image" + std::to_string(++n) + ext;
            pictures.push_back({work + FromUtf8(file), FromUtf8(target)});
            const std::string address = quorallion::standin::Utf8Of(name) + "_files/" + target;
            html.replace(start, end - start, address);
            at = start + address.size();
        }
    } else {
        html = "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>" +
               quorallion::standin::Utf8Of(doc.pastedHtml) + "</body></html>";
    }
    if (!pictures.empty()) {
        const std::wstring pictureFolder = folder + name + L"_files\\";
        ::CreateDirectoryW(pictureFolder.c_str(), nullptr);
        for (const auto& [from, to] : pictures) ::CopyFileW(from.c_str(), (pictureFolder + to).c_str(), FALSE);
    }
    return testing::WriteBytes(path, html);
}

// The clipboard's "HTML Format" fragment, as Word's paste would take it in.
std::wstring ClipboardFragment() {
    const UINT format = ::RegisterClipboardFormatW(L"HTML Format");
    std::string bytes;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(format)) {
            if (const char* text = static_cast<const char*>(::GlobalLock(data))) {
                bytes.assign(text, strnlen(text, ::GlobalSize(data)));
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
    }
    const size_t start = bytes.find("<!--StartFragment-->"), end = bytes.find("<!--EndFragment-->");
    if (start == std::string::npos || end == std::string::npos || end < start) return L"";
    return FromUtf8(bytes.substr(start + 20, end - start - 20));
}

// A valid one-page PDF with nothing on the page.
std::string BlankPdf() {
    const char* objects[] = {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                             "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (int i = 0; i < 3; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        snprintf(line, sizeof(line), "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

class WordStandin {
public:
    IDispatch* CreateApplication() {
        DispatchObject* app = new DispatchObject(L"Application");
        auto alerts = std::make_shared<VARIANT>();
        alerts->vt = VT_I4;
        alerts->lVal = -1;
        app->AddValue(L"DisplayAlerts", alerts);
        auto visible = std::make_shared<VARIANT>();
        visible->vt = VT_BOOL;
        app->AddValue(L"Visible", visible);
        app->Add(L"Version", [](DispatchCall& call) {
            if (Settings::Load().Fails(L"Version")) return call.Fail(1, L"No version");
            call.Return(Settings::Load().Text(L"version", L"16.0"));
            return S_OK;
        });
        app->Add(L"Quit", [](DispatchCall&) {
            quorallion::standin::RequestQuit();
            return S_OK;
        });
        DispatchObject* documents = Documents();
        app->Add(L"Documents", [documents](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(documents));
            return S_OK;
        });
        DispatchObject* options = Holder(L"Options", {L"PasteFormatBetweenStyledDocuments", L"PasteFormatBetweenDocuments",
                                                      L"PasteFormatWithinDocument", L"PasteFormatFromExternalSource"});
        app->Add(L"Options", [options](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(options));
            return S_OK;
        });
        DispatchObject* view = Holder(L"View", {L"Type", L"SplitSpecial"});
        DispatchObject* pane = new DispatchObject(L"Pane");
        pane->Add(L"View", [view](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(view));
            return S_OK;
        });
        DispatchObject* window = new DispatchObject(L"Window");
        window->Add(L"View", [view](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(view));
            return S_OK;
        });
        window->Add(L"ActivePane", [pane](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(pane));
            return S_OK;
        });
        app->Add(L"ActiveWindow", [window](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(window));
            return S_OK;
        });
        app->onLastRelease = [documents, options, view, pane, window] {
            documents->Release();
            options->Release();
            view->Release();
            pane->Release();
            window->Release();
            quorallion::standin::RequestQuit();
        };
        app_ = app;
        return app;
    }

private:
    // An object of plain read-write values, each starting empty.
    static DispatchObject* Holder(const wchar_t* name, std::initializer_list<const wchar_t*> members) {
        DispatchObject* object = new DispatchObject(name);
        for (const wchar_t* member : members) {
            auto store = std::make_shared<VARIANT>();
            store->vt = VT_I4;
            store->lVal = 0;
            object->AddValue(member, store);
        }
        return object;
    }

    DispatchObject* Documents() {
        DispatchObject* documents = new DispatchObject(L"Documents");
        documents->Add(L"Open", [this](DispatchCall& call) {
            if (Settings::Load().Fails(L"Open")) return call.Fail(kErrorCorrupt, L"Open fails (settings)");
            auto doc = std::make_shared<Document>();
            if (HRESULT hr = Load(*doc, call); FAILED(hr)) return hr;
            IDispatch* object = MakeDocument(doc);
            call.Return(object);
            object->Release();
            return S_OK;
        });
        documents->Add(L"Add", [this](DispatchCall& call) {
            if (Settings::Load().Fails(L"Add")) return call.Fail(4198, L"Add fails (settings)");
            IDispatch* object = MakeDocument(std::make_shared<Document>());
            call.Return(object);
            object->Release();
            return S_OK;
        });
        documents->Add(L"Count", [](DispatchCall& call) {
            call.Return(0L);
            return S_OK;
        });
        return documents;
    }

    IDispatch* MakeDocument(const std::shared_ptr<Document>& doc) {
        DispatchObject* object = new DispatchObject(L"Document");
        DispatchObject* web = Holder(L"WebOptions", {L"AllowPNG", L"RelyOnCSS", L"RelyOnVML", L"UseLongFileNames",
                                                     L"OrganizeInFolder", L"encoding"});
        object->Add(L"WebOptions", [web](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(web));
            return S_OK;
        });
        DispatchObject* content = new DispatchObject(L"Range");
        content->Add(L"PasteAndFormat", [doc](DispatchCall& call) {
            if (Settings::Load().Fails(L"PasteAndFormat")) return call.Fail(6102, L"Paste fails (settings)");
            doc->pastedHtml = ClipboardFragment();
            return S_OK;
        });
        object->Add(L"Content", [content](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(content));
            return S_OK;
        });
        object->Add(L"ProtectionType", [doc](DispatchCall& call) {
            call.Return(doc->protection);
            return S_OK;
        });
        object->Add(L"Unprotect", [doc](DispatchCall& call) {
            if (doc->protection == -1) return S_OK;
            if (call.Text(0) != Settings::Load().Text(L"password")) return call.Fail(kErrorPassword, L"The password is incorrect.");
            doc->protection = -1;
            return S_OK;
        });
        object->Add(L"SaveAs", [doc](DispatchCall& call) {
            BusyFor(Settings::Load().Number(L"savedelay"));
            if (Settings::Load().Number(L"nosave") == 1) return S_OK;
            if (call.Long(1, 0) != 10) return call.Fail(4198, L"Only filtered HTML here");
            if (!SaveHtml(*doc, call.Text(0))) return call.Fail(4198, L"Command failed");
            return S_OK;
        });
        object->Add(L"ExportAsFixedFormat", [doc](DispatchCall& call) {
            BusyFor(Settings::Load().Number(L"savedelay"));
            if (Settings::Load().Number(L"nosave") == 1 || doc->workCopy.empty()) return S_OK;
            if (Settings::Load().Number(L"fastpdf") == 1)
                return testing::WriteBytes(call.Text(0), BlankPdf()) ? S_OK : call.Fail(4198, L"Command failed");
            const std::wstring work = WorkFolder();
            if (!quorallion::standin::LibreOfficeConvert(doc->workCopy, L"pdf:writer_pdf_Export", work, work + L"source.pdf"))
                return call.Fail(4198, L"Command failed");
            ::MoveFileExW((work + L"source.pdf").c_str(), call.Text(0).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
            return S_OK;
        });
        object->Add(L"BuiltInDocumentProperties", [doc](DispatchCall& call) {
            const std::wstring name = call.Text(0);
            DispatchObject* property = new DispatchObject(L"DocumentProperty(" + name + L")");
            property->Add(L"Value", [doc, name](DispatchCall& inner) {
                if (inner.IsPut()) doc->properties[name] = inner.Text(inner.Count() - 1);
                else inner.Return(doc->properties[name]);
                return S_OK;
            });
            call.Return(static_cast<IDispatch*>(property));
            property->Release();
            return S_OK;
        });
        object->Add(L"Close", [](DispatchCall&) { return S_OK; });
        // Not modelled: empty collections.
        auto empties = std::make_shared<std::vector<DispatchObject*>>();
        for (const wchar_t* collection : {L"OMaths", L"Fields", L"Shapes", L"InlineShapes", L"Paragraphs"}) {
            DispatchObject* empty = new DispatchObject(collection);
            empties->push_back(empty);
            empty->Add(L"Count", [](DispatchCall& call) {
                call.Return(0L);
                return S_OK;
            });
            object->Add(collection, [empty](DispatchCall& call) {
                call.Return(static_cast<IDispatch*>(empty));
                return S_OK;
            });
        }
        object->onLastRelease = [web, content, empties] {
            web->Release();
            content->Release();
            for (DispatchObject* empty : *empties) empty->Release();
        };
        return object;
    }

    DispatchObject* app_ = nullptr;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring program = module;
    program = program.substr(program.find_last_of(L'\\') + 1);
    for (wchar_t& c : program) c = static_cast<wchar_t>(::towlower(c));
    const bool wps = program == L"wps.exe";
    static WordStandin standin;
    quorallion::standin::StandinInfo info{wps ? kWpsClass : kWordClass, wps ? L"KWPS.Application" : L"Word.Application",
                                          [] { return standin.CreateApplication(); },
                                          wps ? nullptr : L"Winword.exe"};
    return quorallion::standin::RunStandin(info, commandLine);
}
