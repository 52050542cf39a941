#include "office/standin_server.h"

#include <tlhelp32.h>

#include <memory>
#include <string>
#include <vector>

#include "office/dispatch_object.h"
#include "office/journal.h"
#include "office/standin_settings.h"

namespace quorallion::standin {

namespace {

const StandinInfo* g_info = nullptr;
LONG g_objects = 0;

std::vector<std::function<void()>>& AtEnd() {
    static std::vector<std::function<void()>> actions;
    return actions;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64] = {};
    ::StringFromGUID2(guid, text, 64);
    return text;
}

bool SetDefault(HKEY root, const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

int Register(const StandinInfo& info) {
    const std::wstring clsid = GuidText(info.clsid);
    const std::wstring program = Settings::Load().ProgramPath();
    const bool ok = SetDefault(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid, info.progId) &&
                    SetDefault(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\LocalServer32", program + L" /Automation") &&
                    SetDefault(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\ProgID", info.progId) &&
                    SetDefault(HKEY_CLASSES_ROOT, std::wstring(info.progId) + L"\\CLSID", clsid);
    const bool named = !info.appPathName ||
                       SetDefault(HKEY_LOCAL_MACHINE,
                                  std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + info.appPathName,
                                  program);
    return ok && named ? 0 : 1;
}

}  // namespace

void ServeMessagesFor(long milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // for the main loop
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void AddApplicationValue(DispatchObject& app, const wchar_t* member, VARTYPE type, long value) {
    auto store = std::make_shared<VARIANT>();
    ::VariantInit(store.get());
    store->vt = type;
    if (type == VT_BOOL)
        store->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        store->lVal = value;
    const std::wstring name = member;
    app.Add(member, [store, name](DispatchCall& call) -> HRESULT {
        if (Settings::Load().Fails(name)) return call.Fail(4248, name + L" refused (settings)");
        if (call.IsPut()) return ::VariantCopy(store.get(), const_cast<VARIANT*>(&call.PutValue()));
        if (VARIANT* out = call.ResultSlot()) return ::VariantCopy(out, store.get());
        return S_OK;
    });
}

void AddVersion(DispatchObject& app) {
    app.Add(L"Version", [](DispatchCall& call) {
        if (Settings::Load().Fails(L"Version")) return call.Fail(1, L"No version");
        call.Return(Settings::Load().Text(L"version", L"16.0"));
        return S_OK;
    });
}

std::wstring ProgramFileName() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring program = module;
    program = program.substr(program.find_last_of(L'\\') + 1);
    for (wchar_t& c : program) c = static_cast<wchar_t>(::towlower(c));
    return program;
}

namespace {

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        // A slow start as the client sees it: the creation call is under way meanwhile.
        if (const long delay = Settings::Load().Number(L"createdelay")) ServeMessagesFor(delay);
        IDispatch* app = g_info->createApplication();
        if (!app) return E_OUTOFMEMORY;
        ::InterlockedIncrement(&g_objects);
        HRESULT hr = app->QueryInterface(iid, out);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The process that started this one: under Wine, the client whose CoCreateInstance started a
// local server. nullptr when it cannot be found or opened.
HANDLE OpenParentProcess() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    ::CloseHandle(snapshot);
    return parent ? ::OpenProcess(SYNCHRONIZE, FALSE, parent) : nullptr;
}

// The message loop. Started by COM, the program also ends when the client that started it has
// gone (Wine has no ping time-out, so nothing else would end a server whose client died), and
// when no application object was asked for within a minute of the start.
void Serve(bool startedByCom) {
    HANDLE parent = startedByCom ? OpenParentProcess() : nullptr;
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (parent) ::CloseHandle(parent);
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        const DWORD waited = ::MsgWaitForMultipleObjects(parent ? 1 : 0, parent ? &parent : nullptr, FALSE, 1000,
                                                         QS_ALLINPUT);
        if (parent && waited == WAIT_OBJECT_0) {
            Journal::Line(L"Process\tclient gone");
            break;
        }
        if (startedByCom && g_objects == 0 && ::GetTickCount() - start > 60000) {
            Journal::Line(L"Process\tnever used");
            break;
        }
    }
    if (parent) ::CloseHandle(parent);
}

}  // namespace

void RequestQuit() { ::PostQuitMessage(0); }

void RunAtEnd(std::function<void()> action) { AtEnd().push_back(std::move(action)); }

void WaitForFile(const std::wstring& path) {
    const DWORD start = ::GetTickCount();
    while (!path.empty() && ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
           ::GetTickCount() - start < 60000)
        ServeMessagesFor(20);
}

int RunStandin(const StandinInfo& info, const wchar_t* commandLine) {
    g_info = &info;
    const std::wstring args = commandLine ? commandLine : L"";
    auto has = [&](const wchar_t* word) {
        const std::wstring w = word;
        for (size_t i = 0; i + w.size() <= args.size(); ++i)
            if (::CompareStringOrdinal(args.c_str() + i, static_cast<int>(w.size()), w.c_str(),
                                       static_cast<int>(w.size()), TRUE) == CSTR_EQUAL)
                return true;
        return false;
    };
    if (has(L"/RegServer") || has(L"-RegServer")) return Register(info);

    Settings& settings = Settings::Load();
    Journal::Open(settings.JournalPath());
    if (FAILED(::OleInitialize(nullptr))) return 1;
    const bool automation = has(L"/Automation") || has(L"-Embedding") || has(L"/Embedding");
    Journal::Line(std::wstring(L"Process\tstart\t") + (automation ? L"automation" : L"user"));
    if (const long delay = settings.Number(L"startdelay")) ::Sleep(static_cast<DWORD>(delay));

    if (info.singleInstance) {
        IDispatch* app = info.createApplication();
        Factory factory;
        DWORD activeCookie = 0, classCookie = 0;
        const bool active = app && SUCCEEDED(::RegisterActiveObject(app, info.clsid, ACTIVEOBJECT_STRONG, &activeCookie));
        const bool served = SUCCEEDED(::CoRegisterClassObject(info.clsid, &factory, CLSCTX_LOCAL_SERVER,
                                                               REGCLS_MULTIPLEUSE, &classCookie));
        if (active && served) Serve(automation);
        if (served) ::CoRevokeClassObject(classCookie);
        if (active) ::RevokeActiveObject(activeCookie, nullptr);
        if (app) app->Release();
    } else if (automation) {
        Factory factory;
        DWORD cookie = 0;
        if (FAILED(::CoRegisterClassObject(info.clsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) {
            ::OleUninitialize();
            return 1;
        }
        Serve(true);
        ::CoRevokeClassObject(cookie);
    } else {
        IDispatch* app = info.createApplication();
        DWORD cookie = 0;
        if (app && SUCCEEDED(::RegisterActiveObject(app, info.clsid, ACTIVEOBJECT_STRONG, &cookie))) {
            Serve(false);
            ::RevokeActiveObject(cookie, nullptr);
        }
        if (app) app->Release();
    }
    for (const auto& action : AtEnd()) action();
    Journal::Line(L"Process\tend");
    // Ends here, as an application that quits does: clients still holding proxies find them
    // disconnected. (Tearing the apartment down first could wait on calls of a client that went.)
    ::ExitProcess(0);
    return 0;
}

int RunStandinCopies(const StandinCopies& copies, std::function<IDispatch*()> createApplication,
                     const wchar_t* commandLine) {
    const bool wps = ProgramFileName() == copies.wpsProgram;
    static StandinInfo info;
    info = StandinInfo{wps ? copies.wpsClass : copies.officeClass, wps ? copies.wpsProgId : copies.officeProgId,
                       std::move(createApplication), wps ? nullptr : copies.officeAppPathName, copies.singleInstance};
    return RunStandin(info, commandLine);
}

}  // namespace quorallion::standin
