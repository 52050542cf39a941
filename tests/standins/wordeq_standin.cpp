// QuorallionWordEqStandin.dll: the outside equation control for the tests, an in-process
// apartment control registered with regsvr32 under "Quorallion.WordEq102" and
// "Quorallion.WordEqV102". It draws its equation code and type, writes that drawing as PNG in
// GetEQ, fires OnMyAction("backstage_ok" / "backstage_cancel") when its two marked areas are
// clicked, and logs every call, one UTF-8 line each, to the file named by the value "LogFile" of
// HKCU\Software\Quorallion\WordEqStandin. DWORD values of that key change its answers (the
// process that hosts it does not inherit the test's environment):
//   WebNewFalse  WebNew returns False
//   GetEQError   GetEQ returns the error text "standin error" and writes nothing
//   NoFile       GetEQ returns no error but writes no file
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "WordEqStandin_h.h"

namespace {

HINSTANCE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

constexpr wchar_t kKey[] = L"Software\\Quorallion\\WordEqStandin";
constexpr wchar_t kWindowClass[] = L"QuorallionWordEqStandin";

// Areas of the control's window that fire the event when clicked.
constexpr RECT kOkArea{10, 10, 110, 40};
constexpr RECT kCancelArea{120, 10, 220, 40};

DWORD Switch(const wchar_t* name) {
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return 0;
    return value;
}

std::wstring LogPath() {
    wchar_t buffer[MAX_PATH * 2];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, L"LogFile", RRF_RT_REG_SZ, nullptr, buffer, &size) ==
            ERROR_SUCCESS &&
        buffer[0])
        return buffer;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"quorallion_wordeq_standin.log";
}

void Log(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes,
                          nullptr, nullptr);
    HANDLE file = ::CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::wstring BstrText(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : L""; }

HRESULT LoadInfo(REFGUID guid, ITypeInfo** info) {
    *info = nullptr;
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(g_module, path, MAX_PATH);
    ITypeLib* library = nullptr;
    HRESULT hr = ::LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(guid, info);
    library->Release();
    return hr;
}

// Reads argument `index` (in call order) of a dispatch call as text; by-reference strings too.
bool ArgText(DISPPARAMS* params, UINT index, std::wstring& out, BSTR** byRef = nullptr) {
    if (!params || index >= params->cArgs) return false;
    VARIANT* arg = &params->rgvarg[params->cArgs - 1 - index];
    if (arg->vt == (VT_BYREF | VT_BSTR)) {
        if (byRef) *byRef = arg->pbstrVal;
        out = BstrText(*arg->pbstrVal);
        return true;
    }
    if (arg->vt == (VT_BYREF | VT_VARIANT)) arg = arg->pvarVal;
    if (arg->vt == (VT_BYREF | VT_BSTR)) {
        if (byRef) *byRef = arg->pbstrVal;
        out = BstrText(*arg->pbstrVal);
        return true;
    }
    VARIANT text;
    ::VariantInit(&text);
    if (FAILED(::VariantChangeType(&text, arg, 0, VT_BSTR))) return false;
    out = BstrText(text.bstrVal);
    ::VariantClear(&text);
    return true;
}

class WordEq;

class ConnectionPoint final : public IConnectionPoint {
public:
    explicit ConnectionPoint(IConnectionPointContainer* owner) : owner_(owner) {}
    std::vector<std::pair<DWORD, IDispatch*>> sinks;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
            *out = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = DIID___WordEqEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        *out = owner_;
        owner_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* dispatch = nullptr;
        if (!sink || FAILED(sink->QueryInterface(DIID___WordEqEvents, reinterpret_cast<void**>(&dispatch))))
            if (!sink || FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
                return CONNECT_E_CANNOTCONNECT;
        *cookie = ++lastCookie_;
        sinks.emplace_back(*cookie, dispatch);
        Log(L"Advise");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        for (auto it = sinks.begin(); it != sinks.end(); ++it)
            if (it->first == cookie) {
                IDispatch* sink = it->second;
                sinks.erase(it);
                sink->Release();
                Log(L"Unadvise");
                return S_OK;
            }
        return CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    IConnectionPointContainer* owner_;
    DWORD lastCookie_ = 0;
};

class WordEq final : public IDispatch,
                     public IProvideClassInfo,
                     public IOleObject,
                     public IOleInPlaceObject,
                     public IConnectionPointContainer,
                     public IPersistStreamInit {
public:
    WordEq(REFCLSID clsid, const wchar_t* progId) : clsid_(clsid), point_(this) {
        ::InterlockedIncrement(&g_objects);
        Log(std::wstring(L"Create ") + progId);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__WordEq)
            *out = static_cast<IDispatch*>(this);
        else if (iid == IID_IProvideClassInfo)
            *out = static_cast<IProvideClassInfo*>(this);
        else if (iid == IID_IOleObject)
            *out = static_cast<IOleObject*>(this);
        else if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow)
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (iid == IID_IConnectionPointContainer)
            *out = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IPersistStreamInit)
            *out = static_cast<IPersistStreamInit*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) {
            Log(L"Destroyed");
            DestroyWindowOnce();
            if (site_) site_->Release();
            for (auto& sink : point_.sinks) sink.second->Release();
            delete this;
            ::InterlockedDecrement(&g_objects);
        }
        return refs;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (index != 0) return DISP_E_BADINDEX;
        return LoadInfo(DIID__WordEq, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        ITypeInfo* info = nullptr;
        HRESULT hr = LoadInfo(DIID__WordEq, &info);
        if (FAILED(hr)) return hr;
        hr = info->GetIDsOfNames(names, count, ids);
        info->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        AddRef();  // a call may pump messages or release the caller's last reference
        HRESULT hr = Call(id, flags, params, result);
        Release();
        return hr;
    }

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        Log(L"GetClassInfo");
        return LoadInfo(clsid_, info);
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        Log(site ? L"SetClientSite" : L"SetClientSite(null)");
        if (site) site->AddRef();
        if (site_) site_->Release();
        site_ = site;
        if (site) LogUserMode();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
        *site = site_;
        if (site_) site_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        Log(L"Close");
        InPlaceDeactivateQuietly();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT posRect) override {
        Log(L"DoVerb " + std::to_wstring(verb));
        if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE)
            return OLEOBJ_S_INVALIDVERB;
        if (window_) return S_OK;
        IOleClientSite* useSite = site ? site : site_;
        if (!useSite) return E_UNEXPECTED;
        IOleInPlaceSite* inPlace = nullptr;
        if (FAILED(useSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return E_NOINTERFACE;
        HRESULT hr = inPlace->CanInPlaceActivate();
        if (hr != S_OK) {
            inPlace->Release();
            return E_FAIL;
        }
        inPlace->OnInPlaceActivate();
        HWND host = parent;
        inPlace->GetWindow(&host);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* doc = nullptr;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        hr = inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &frameInfo);
        if (frame) {
            Log(L"GetWindowContext frame");
            frame->Release();
        }
        if (doc) doc->Release();
        if (FAILED(hr) && posRect) pos = *posRect;
        window_ = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                                    pos.right - pos.left, pos.bottom - pos.top, host, nullptr, g_module,
                                    this);
        inPlaceSite_ = inPlace;
        Log(L"InPlace " + std::to_wstring(pos.left) + L"," + std::to_wstring(pos.top) + L" " +
            std::to_wstring(pos.right - pos.left) + L"x" + std::to_wstring(pos.bottom - pos.top));
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override {
        *clsid = clsid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* size) override {
        size->cx = size->cy = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                  OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        Log(L"InPlaceDeactivate");
        InPlaceDeactivateQuietly();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override {
        Log(L"SetObjectRects " + std::to_wstring(pos->left) + L"," + std::to_wstring(pos->top) + L" " +
            std::to_wstring(pos->right - pos->left) + L"x" + std::to_wstring(pos->bottom - pos->top));
        if (window_)
            ::MoveWindow(window_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        *point = nullptr;
        if (iid != DIID___WordEqEvents) return CONNECT_E_NOCONNECTION;
        *point = &point_;
        AddRef();
        return S_OK;
    }

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        *clsid = clsid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitNew() override {
        Log(L"InitNew");
        return S_OK;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<WordEq*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client;
            ::GetClientRect(window, &client);
            if (self) self->Draw(dc, client);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONUP:
            if (self) {
                const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                if (::PtInRect(&kOkArea, at)) self->Fire(L"backstage_ok");
                else if (::PtInRect(&kCancelArea, at)) self->Fire(L"backstage_cancel");
            }
            return 0;
        case WM_NCDESTROY:
            if (self) self->window_ = nullptr;
            break;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

private:
    ~WordEq() = default;

    HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
        if (result) ::VariantInit(result);
        switch (id) {
        case 1:  // Lang
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                std::wstring lang;
                if (!ArgText(params, 0, lang)) return DISP_E_TYPEMISMATCH;
                lang_ = lang;
                Log(L"Lang=" + lang);
                return S_OK;
            }
            Log(L"Lang?");
            if (result) {
                result->vt = VT_BSTR;
                result->bstrVal = ::SysAllocString(lang_.c_str());
            }
            return S_OK;
        case 2: {  // SetEQ(code, type)
            std::wstring code, type;
            if (!params || params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
            if (!ArgText(params, 0, code) || !ArgText(params, 1, type)) return DISP_E_TYPEMISMATCH;
            code_ = code;
            type_ = type;
            Log(L"SetEQ code=" + code + L" type=" + type);
            if (window_) ::InvalidateRect(window_, nullptr, TRUE);
            return S_OK;
        }
        case 3: {  // GetEQ([in,out] code, [in,out] type, file)
            if (!params || params->cArgs != 3) return DISP_E_BADPARAMCOUNT;
            std::wstring code, type, file;
            BSTR* codeRef = nullptr;
            BSTR* typeRef = nullptr;
            ArgText(params, 0, code, &codeRef);
            ArgText(params, 1, type, &typeRef);
            if (!ArgText(params, 2, file)) return DISP_E_TYPEMISMATCH;
            Log(std::wstring(L"GetEQ byref=") + (codeRef && typeRef ? L"yes" : L"no") + L" file=" + file);
            std::wstring error;
            if (Switch(L"GetEQError")) {
                error = L"standin error";
            } else {
                if (codeRef) {
                    ::SysFreeString(*codeRef);
                    *codeRef = ::SysAllocStringLen(code_.data(), static_cast<UINT>(code_.size()));
                }
                if (typeRef) {
                    ::SysFreeString(*typeRef);
                    *typeRef = ::SysAllocStringLen(type_.data(), static_cast<UINT>(type_.size()));
                }
                if (!Switch(L"NoFile") && !WritePng(file)) error = L"cannot write " + file;
            }
            if (result) {
                result->vt = VT_BSTR;
                result->bstrVal = ::SysAllocString(error.c_str());
            }
            return S_OK;
        }
        case 4: {  // WebNew()
            const bool ready = Switch(L"WebNewFalse") == 0;
            Log(std::wstring(L"WebNew ") + (ready ? L"True" : L"False"));
            if (result) {
                result->vt = VT_BOOL;
                result->boolVal = ready ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        }
        case 5:  // Quit()
            Log(L"Quit");
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    void Draw(HDC dc, const RECT& area) const {
        ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        HBRUSH ok = ::CreateSolidBrush(RGB(0, 160, 0));
        HBRUSH cancel = ::CreateSolidBrush(RGB(200, 0, 0));
        ::FillRect(dc, &kOkArea, ok);
        ::FillRect(dc, &kCancelArea, cancel);
        ::DeleteObject(ok);
        ::DeleteObject(cancel);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0));
        const std::wstring code = L"code: " + code_;
        const std::wstring type = L"type: " + type_;
        ::TextOutW(dc, 10, 60, code.c_str(), static_cast<int>(code.size()));
        ::TextOutW(dc, 10, 90, type.c_str(), static_cast<int>(type.size()));
    }

    bool WritePng(const std::wstring& file) const {
        RECT area{0, 0, 320, 120};
        if (window_) ::GetClientRect(window_, &area);
        if (area.right <= 0 || area.bottom <= 0) area = RECT{0, 0, 320, 120};
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, area.right, area.bottom);
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        Draw(memory, area);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        bool saved = false;
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
            Gdiplus::GpBitmap* image = nullptr;
            if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
                static const CLSID kPng{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
                saved = Gdiplus::DllExports::GdipSaveImageToFile(image, file.c_str(), &kPng, nullptr) == Gdiplus::Ok;
                Gdiplus::DllExports::GdipDisposeImage(image);
            }
            Gdiplus::GdiplusShutdown(token);
        }
        ::DeleteObject(bitmap);
        return saved;
    }

    void Fire(const wchar_t* command) {
        Log(std::wstring(L"Fire OnMyAction ") + command);
        AddRef();
        const auto sinks = point_.sinks;  // a sink may unadvise during the call
        for (auto& sink : sinks) sink.second->AddRef();
        for (auto& sink : sinks) {
            VARIANT arg;
            arg.vt = VT_BSTR;
            arg.bstrVal = ::SysAllocString(command);
            DISPPARAMS params{&arg, nullptr, 1, 0};
            sink.second->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
            ::SysFreeString(arg.bstrVal);
        }
        for (auto& sink : sinks) sink.second->Release();
        Log(std::wstring(L"Fired OnMyAction ") + command + L" refs=" + std::to_wstring(refs_ - 1));
        Release();
    }

    void LogUserMode() {
        IDispatch* ambient = nullptr;
        if (FAILED(site_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient)))) {
            Log(L"UserMode none");
            return;
        }
        VARIANT value;
        ::VariantInit(&value);
        DISPPARAMS none{};
        HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                     &value, nullptr, nullptr);
        ambient->Release();
        if (SUCCEEDED(hr) && value.vt == VT_BOOL)
            Log(std::wstring(L"UserMode ") + (value.boolVal ? L"True" : L"False"));
        else
            Log(L"UserMode none");
        ::VariantClear(&value);
    }

    void InPlaceDeactivateQuietly() {
        DestroyWindowOnce();
        if (inPlaceSite_) {
            IOleInPlaceSite* site = inPlaceSite_;
            inPlaceSite_ = nullptr;
            site->OnInPlaceDeactivate();
            site->Release();
        }
    }

    void DestroyWindowOnce() {
        if (window_) {
            HWND window = window_;
            window_ = nullptr;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            ::DestroyWindow(window);
        }
    }

    ULONG refs_ = 1;
    CLSID clsid_;
    ConnectionPoint point_;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    HWND window_ = nullptr;
    std::wstring lang_, code_, type_;
};

class Factory final : public IClassFactory {
public:
    Factory(REFCLSID clsid, const wchar_t* progId) : clsid_(clsid), progId_(progId) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        WordEq* object = new (std::nothrow) WordEq(clsid_, progId_);
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) ::InterlockedIncrement(&g_locks);
        else ::InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    CLSID clsid_;
    const wchar_t* progId_;
};

Factory g_factory102(CLSID_WordEq102, L"Quorallion.WordEq102");
Factory g_factoryV102(CLSID_WordEqV102, L"Quorallion.WordEqV102");

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40];
    ::StringFromGUID2(guid, text, 40);
    return text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegisterClass(REFCLSID clsid, const wchar_t* progId, const std::wstring& path) {
    const std::wstring key = L"CLSID\\" + GuidText(clsid);
    return SetValue(key, nullptr, progId) && SetValue(key + L"\\InprocServer32", nullptr, path) &&
           SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetValue(key + L"\\ProgID", nullptr, progId) &&
           SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_QuorallionWordEqStandin)) &&
           SetValue(key + L"\\Version", nullptr, L"1.0") && SetValue(key + L"\\Control", nullptr, L"") &&
           SetValue(progId, nullptr, progId) && SetValue(std::wstring(progId) + L"\\CLSID", nullptr, GuidText(clsid));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WordEq::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kWindowClass;
        ::RegisterClassW(&windowClass);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid == CLSID_WordEq102) return g_factory102.QueryInterface(iid, out);
    if (clsid == CLSID_WordEqV102) return g_factoryV102.QueryInterface(iid, out);
    *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(g_module, path, MAX_PATH);
    if (!RegisterClass(CLSID_WordEq102, L"Quorallion.WordEq102", path) ||
        !RegisterClass(CLSID_WordEqV102, L"Quorallion.WordEqV102", path))
        return SELFREG_E_CLASS;
    ITypeLib* library = nullptr;
    HRESULT hr = ::LoadTypeLibEx(path, REGKIND_REGISTER, &library);
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
    library->Release();
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    for (const auto& [clsid, progId] : {std::pair{CLSID_WordEq102, L"Quorallion.WordEq102"},
                                        std::pair{CLSID_WordEqV102, L"Quorallion.WordEqV102"}}) {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(clsid)).c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, progId);
    }
    ::UnRegisterTypeLib(LIBID_QuorallionWordEqStandin, 1, 0, 0x409, SYS_WIN64);
    return S_OK;
}
