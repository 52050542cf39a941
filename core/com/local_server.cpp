#include "com/local_server.h"

#include <oleauto.h>

#include <atomic>
#include <cwctype>
#include <string>

#include "win/handles.h"

namespace quorallion::com {
namespace {

std::atomic<long> g_serverRefs{0};
bool g_serving = false;

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64] = {};
    ::StringFromGUID2(guid, text, 64);
    return text;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

LSTATUS SetDefaultValue(HKEY root, const std::wstring& subKey, const std::wstring& value) {
    win::UniqueHKey key;
    LSTATUS status = ::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                       key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring NeutralTypeLibKey(const GUID& libid) {
    return L"TypeLib\\" + GuidText(libid) + L"\\1.0\\0";
}

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const LocalServerInfo& info) : info_(info) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    // The factory lives as long as the server's main; COM's references do not keep it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return info_.createInstance(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ServerAddRef();
        else
            ServerRelease();
        return S_OK;
    }

private:
    const LocalServerInfo& info_;
};

bool HasSwitch(const std::wstring& commandLine, const wchar_t* name) {
    std::wstring lower = commandLine;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    return lower.find(std::wstring(L"/") + name) != std::wstring::npos ||
           lower.find(std::wstring(L"-") + name) != std::wstring::npos;
}

HWND CreateMainWindow(const wchar_t* caption) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ThunderRT6Main";
    ::RegisterClassW(&windowClass);
    // Hidden and top-level: the launcher finds the process by this window's class and caption.
    return ::CreateWindowExW(0, L"ThunderRT6Main", caption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance, nullptr);
}

}  // namespace

void ServerAddRef() { ++g_serverRefs; }

void ServerRelease() {
    if (--g_serverRefs == 0 && g_serving) ::PostQuitMessage(0);
}

HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** typeInfo) {
    *typeInfo = nullptr;
    ITypeLib* library = nullptr;
    HRESULT hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(iid, typeInfo);
    library->Release();
    return hr;
}

HRESULT RegisterLocalServer(const LocalServerInfo& info) {
    const std::wstring path = ModulePath();
    const std::wstring clsidKey = L"CLSID\\" + GuidText(info.clsid);
    LSTATUS status = SetDefaultValue(HKEY_CLASSES_ROOT, clsidKey, info.className);
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, clsidKey + L"\\LocalServer32", L"\"" + path + L"\"");
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", info.progId);
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, clsidKey + L"\\TypeLib", GuidText(info.libid));
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, clsidKey + L"\\Version", L"1.0");
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, info.progId, info.className);
    if (status == ERROR_SUCCESS)
        status = SetDefaultValue(HKEY_CLASSES_ROOT, std::wstring(info.progId) + L"\\CLSID",
                                 GuidText(info.clsid));
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);

    // Registering the library also registers its interfaces with the automation marshaler.
    ITypeLib* library = nullptr;
    HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library);
    if (library) library->Release();
    if (FAILED(hr)) return hr;
    // The marshaler looks the library up under the neutral locale only (Wine does), so a
    // library made for 0x409 is entered there too; otherwise a vtable client's
    // QueryInterface for the dual interface fails across processes.
    status = SetDefaultValue(HKEY_CLASSES_ROOT, NeutralTypeLibKey(info.libid) + L"\\win64", path);
    return HRESULT_FROM_WIN32(status);
}

HRESULT UnregisterLocalServer(const LocalServerInfo& info) {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(info.clsid)).c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(info.clsid)).c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, info.progId);
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, info.progId);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, NeutralTypeLibKey(info.libid).c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, NeutralTypeLibKey(info.libid).c_str());
    HRESULT hr = ::UnRegisterTypeLib(info.libid, 1, 0, 0x409, SYS_WIN64);
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

int RunLocalServer(const LocalServerInfo& info, const wchar_t* commandLineText) {
    const std::wstring commandLine = commandLineText ? commandLineText : L"";
    HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) return 1;

    int exitCode = 0;
    if (HasSwitch(commandLine, L"unregserver")) {
        exitCode = FAILED(UnregisterLocalServer(info)) ? 1 : 0;
    } else if (HasSwitch(commandLine, L"regserver")) {
        exitCode = FAILED(RegisterLocalServer(info)) ? 1 : 0;
    } else {
        win::UniqueWindow mainWindow(CreateMainWindow(info.windowCaption));
        ClassFactory factory(info);
        DWORD cookie = 0;
        hr = ::CoRegisterClassObject(info.clsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie);
        if (FAILED(hr)) {
            exitCode = 1;
        } else {
            g_serving = true;
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            g_serving = false;
            ::CoRevokeClassObject(cookie);
        }
    }
    ::CoUninitialize();
    return exitCode;
}

}  // namespace quorallion::com
