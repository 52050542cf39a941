// Stand-in for PowerPoint's and the WPS presentation program's automation servers (tests only,
// never shipped). One program; its copies powerpnt.exe and wpp.exe serve
// "PowerPoint.Application" and "KWPP.Application". Like PowerPoint it runs one instance: started
// by the user or by COM, it enters the running object table and serves every client the same
// application, so a create attaches to a running instance; Quit closes every open presentation
// (each written to the journal) and ends the program. LibreOffice makes the PDF, hidden slides
// included or left out by its filter option ExportHiddenSlides.
//
// Settings (office/standin_settings.h) beyond the frame's: "userpresentations" (how many unsaved
// presentations a start by the user opens), "exportdelay" (ms the export waits, serving messages),
// "exportgate" (a file the export then waits for, see WaitForFile).
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/standin.h"

namespace {

using namespace quorallion::standin;

// PowerPoint.Application's class, and our class for KWPP.Application.
constexpr CLSID kPowerPointClass = {0x91493441, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
constexpr CLSID kWppClass = {0x5A9C6E1E, 0x3F0B, 0x4E5C, {0x9A, 0x55, 0x7B, 0x2E, 0x0F, 0x6C, 0x1D, 0x03}};

constexpr long kErrorOpen = 0x4005;  // PowerPoint could not open the file

std::wstring WorkFolder() { return standin::WorkFolder(L"ppt"); }

struct Presentation {
    std::wstring name;
    std::wstring workCopy;  // "" for an unsaved one
};

// The open presentations, each holding a reference until it is closed.
class OpenList {
public:
    void erase(IDispatch* object) {
        auto it = items_.find(object);
        if (it == items_.end()) return;
        items_.erase(it);
        object->Release();
    }
    void clear() {
        auto items = std::move(items_);
        items_.clear();
        for (auto& [object, presentation] : items) object->Release();
    }
    std::shared_ptr<Presentation>& operator[](IDispatch* object) { return items_[object]; }
    size_t size() const { return items_.size(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::map<IDispatch*, std::shared_ptr<Presentation>> items_;
};

class PowerPointStandin {
public:
    IDispatch* CreateApplication() {
        if (app_) {
            app_->AddRef();
            return app_;
        }
        DispatchObject* app = new DispatchObject(L"Application");
        standin::AddApplicationValue(*app, L"DisplayAlerts", VT_I4, 2);  // ppAlertsAll
        standin::AddVersion(*app);
        app->Add(L"Quit", [this](DispatchCall&) {
            for (const auto& [object, presentation] : open_)
                Journal::Line(L"Application\tQuit closes\t" + presentation->name +
                              (presentation->workCopy.empty() ? L"\tunsaved" : L""));
            open_.clear();
            quorallion::standin::RequestQuit();
            return S_OK;
        });
        DispatchObject* presentations = new DispatchObject(L"Presentations");
        presentations->Add(L"Count", [this](DispatchCall& call) {
            call.Return(static_cast<long>(open_.size()));
            return S_OK;
        });
        presentations->Add(L"Open", [this](DispatchCall& call) { return Open(call); });
        app->Add(L"Presentations", [presentations](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(presentations));
            return S_OK;
        });
        app_ = app;
        presentations_ = presentations;
        // A start by the user comes with the user's own unsaved work.
        for (long i = 1; i <= Settings::Load().Number(L"userpresentations"); ++i) {
            IDispatch* own = MakePresentation(std::make_shared<Presentation>(Presentation{L"Presentation" + std::to_wstring(i), L""}));
            own->Release();  // kept by open_
        }
        return app;
    }

private:
    HRESULT Open(DispatchCall& call) {
        if (Settings::Load().Fails(L"Open")) return call.Fail(kErrorOpen, L"Open fails (settings)");
        const std::wstring path = call.Text(0);
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return call.Fail(kErrorOpen, L"PowerPoint could not open the file.");
        const std::wstring ext = Extension(path);
        auto presentation = std::make_shared<Presentation>();
        presentation->name = path.substr(path.find_last_of(L'\\') + 1);
        presentation->workCopy = WorkFolder() + L"deck" + std::to_wstring(++opened_) + L"." + ext;
        if (!::CopyFileW(path.c_str(), presentation->workCopy.c_str(), FALSE))
            return call.Fail(kErrorOpen, L"PowerPoint could not read the file.");
        const std::string head = testing::ReadBytes(presentation->workCopy).value_or("").substr(0, 8);
        if (ext == L"pptx") {
            const std::optional<std::string> unixCopy = testing::UnixPath(presentation->workCopy);
            const std::optional<int> status =
                unixCopy ? testing::RunUnixScript("python3 -c 'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\n"
                                                  "sys.exit(0 if \"ppt/presentation.xml\" in z.namelist() else 3)' " +
                                                      testing::ShellQuote(*unixCopy) + " >/dev/null 2>&1",
                                                  60000)
                         : std::nullopt;
            if (!status || *status != 0) return call.Fail(kErrorOpen, L"PowerPoint found a problem with content.");
        } else if (head.rfind("\xD0\xCF\x11\xE0", 0) != 0) {
            return call.Fail(kErrorOpen, L"PowerPoint found a problem with content.");
        }
        return Give(call, MakePresentation(presentation));
    }

    IDispatch* MakePresentation(const std::shared_ptr<Presentation>& presentation) {
        DispatchObject* object = new DispatchObject(L"Presentation");
        DispatchObject* printOptions = new DispatchObject(L"PrintOptions");
        DispatchObject* ranges = new DispatchObject(L"PrintRanges");
        ranges->Add(L"Add", [](DispatchCall& call) {
            DispatchObject* range = new DispatchObject(L"PrintRange");
            const long start = call.Long(0), end = call.Long(1);
            range->Add(L"Start", [start](DispatchCall& inner) {
                inner.Return(start);
                return S_OK;
            });
            range->Add(L"End", [end](DispatchCall& inner) {
                inner.Return(end);
                return S_OK;
            });
            return Give(call, range);
        });
        printOptions->Add(L"Ranges", [ranges](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(ranges));
            return S_OK;
        });
        object->Add(L"PrintOptions", [printOptions](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(printOptions));
            return S_OK;
        });
        object->Add(L"Name", [presentation](DispatchCall& call) {
            call.Return(presentation->name);
            return S_OK;
        });
        object->Add(L"BuiltInDocumentProperties", [](DispatchCall& call) {
            DispatchObject* property = new DispatchObject(L"DocumentProperty(" + call.Text(0) + L")");
            property->AddValue(L"Value", std::make_shared<VARIANT>());
            return Give(call, property);
        });
        object->Add(L"ExportAsFixedFormat", [presentation](DispatchCall& call) {
            standin::ServeMessagesFor(Settings::Load().Number(L"exportdelay"));
            standin::WaitForFile(Settings::Load().Text(L"exportgate"));
            if (Settings::Load().Fails(L"ExportAsFixedFormat")) return call.Fail(kErrorOpen, L"Export fails (settings)");
            if (presentation->workCopy.empty()) return call.Fail(kErrorOpen, L"Nothing to export");
            const std::wstring work = WorkFolder();
            const std::wstring source = presentation->workCopy;
            const std::wstring pdf = source.substr(0, source.find_last_of(L'.')) + L".pdf";
            const bool hidden = call.Long(6) != 0;
            const std::wstring filter = std::wstring(L"pdf:impress_pdf_Export:{\"ExportHiddenSlides\":{\"type\":\"boolean\",\"value\":\"") +
                                        (hidden ? L"true" : L"false") + L"\"}}";
            if (!quorallion::standin::LibreOfficeConvert(source, filter, work, pdf)) return call.Fail(kErrorOpen, L"Export failed");
            ::MoveFileExW(pdf.c_str(), call.Text(0).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
            return S_OK;
        });
        object->Add(L"Close", [this, object](DispatchCall&) {
            open_.erase(object);
            return S_OK;
        });
        object->AddRef();
        open_[object] = presentation;
        object->onLastRelease = [printOptions, ranges] {
            printOptions->Release();
            ranges->Release();
        };
        return object;
    }

    DispatchObject* app_ = nullptr;
    DispatchObject* presentations_ = nullptr;
    OpenList open_;
    int opened_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static PowerPointStandin standin;
    return RunStandinCopies({L"wpp.exe", kPowerPointClass, kWppClass, L"PowerPoint.Application", L"KWPP.Application",
                             nullptr, true},
                            [] { return standin.CreateApplication(); }, commandLine);
}
