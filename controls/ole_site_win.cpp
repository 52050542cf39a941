#include "ole_site_win.h"

#include <ocidl.h>
#include <oleidl.h>
#include <olectl.h>

#include <new>

namespace quorallion::controls {

namespace {

constexpr wchar_t kMessageClass[] = L"QuorallionOleSiteMessages";
constexpr UINT kTeardownMessage = WM_APP + 1;

template <typename T>
void ReleaseAndClear(T*& p) {
    if (p) {
        T* old = p;
        p = nullptr;
        old->Release();
    }
}

class EventSink;

}  // namespace

// The site object: reference counted, because the control holds it and because a posted
// teardown may outlive the OleControlSite that asked for it.
class OleSiteObject final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleInPlaceFrame,
                            public IDispatch {
public:
    OleSiteObject() = default;

    HRESULT Create(HWND parent, const std::wstring& progId, const RECT& rect,
                   OleControlSite::EventHandler onEvent);
    void SetRect(const RECT& rect);
    HWND ControlWindow() const;
    IDispatch* Object() const { return dispatch_; }
    bool IsCreated() const { return object_ != nullptr; }
    void Destroy();
    void DeliverEvent(const std::wstring& name, DISPPARAMS* params);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDispatch)
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) delete this;
        return refs;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = parent_;
        return parent_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        inPlaceActive_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !doc || !pos || !clip) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        *pos = rect_;
        *clip = rect_;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = parent_;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        inPlaceActive_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override {
        if (rect) SetRect(*rect);
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or borders of ours.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the ambient properties.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        ::VariantInit(result);
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_UIDEAD:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    static LRESULT CALLBACK MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    ~OleSiteObject() = default;
    void Teardown();
    HRESULT AdviseDefaultSource();
    HWND MessageWindow();

    ULONG refs_ = 1;
    HWND parent_ = nullptr;
    HWND messages_ = nullptr;
    RECT rect_{};
    bool inPlaceActive_ = false;
    IOleObject* object_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    EventSink* sink_ = nullptr;
    OleControlSite::EventHandler onEvent_;
    int eventDepth_ = 0;
    bool teardownPosted_ = false;
};

namespace {

// The sink of the control's default source interface: answers that interface's IID and maps
// each DISPID to its name through the interface's type information.
class EventSink final : public IDispatch {
public:
    EventSink(OleSiteObject* site, ITypeInfo* info, REFIID iid) : site_(site), info_(info), iid_(iid) {
        info_->AddRef();
    }
    void Detach() { site_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) {
            info_->Release();
            delete this;
        }
        return refs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        if (index != 0) return DISP_E_BADINDEX;
        *info = info_;
        info_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return info_->GetIDsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (result) ::VariantInit(result);
        if (!site_) return S_OK;
        BSTR name = nullptr;
        UINT count = 0;
        if (FAILED(info_->GetNames(id, &name, 1, &count)) || count == 0) return S_OK;
        const std::wstring text(name, ::SysStringLen(name));
        ::SysFreeString(name);
        OleSiteObject* site = site_;
        site->AddRef();
        site->DeliverEvent(text, params);
        site->Release();
        return S_OK;
    }

private:
    ULONG refs_ = 1;
    OleSiteObject* site_;  // weak: the site detaches the sink when it tears down
    ITypeInfo* info_;
    IID iid_;
};

}  // namespace

HRESULT OleSiteObject::Create(HWND parent, const std::wstring& progId, const RECT& rect,
                              OleControlSite::EventHandler onEvent) {
    if (object_) return E_UNEXPECTED;
    parent_ = parent;
    rect_ = rect;
    onEvent_ = std::move(onEvent);
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) return hr;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
                            reinterpret_cast<void**>(&object_));
    if (FAILED(hr)) {
        object_ = nullptr;
        return hr;
    }
    hr = object_->SetClientSite(static_cast<IOleClientSite*>(this));
    if (SUCCEEDED(hr)) {
        IPersistStreamInit* persist = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
            persist->InitNew();
            persist->Release();
        }
        hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                             parent_, &rect_);
    }
    if (SUCCEEDED(hr))
        hr = object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
    if (FAILED(hr)) {
        Teardown();
        return hr;
    }
    // A control without events is still hosted; it just raises nothing.
    AdviseDefaultSource();
    return S_OK;
}

HRESULT OleSiteObject::AdviseDefaultSource() {
    IProvideClassInfo* provide = nullptr;
    HRESULT hr = object_->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provide));
    if (FAILED(hr)) return hr;
    ITypeInfo* coclass = nullptr;
    hr = provide->GetClassInfo(&coclass);
    provide->Release();
    if (FAILED(hr) || !coclass) return FAILED(hr) ? hr : E_FAIL;
    ITypeInfo* source = nullptr;
    TYPEATTR* attr = nullptr;
    if (SUCCEEDED(coclass->GetTypeAttr(&attr))) {
        for (UINT i = 0; i < attr->cImplTypes && !source; ++i) {
            INT implFlags = 0;
            HREFTYPE ref = 0;
            if (FAILED(coclass->GetImplTypeFlags(i, &implFlags))) continue;
            if ((implFlags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
                continue;
            if (SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref))) coclass->GetRefTypeInfo(ref, &source);
        }
        coclass->ReleaseTypeAttr(attr);
    }
    coclass->Release();
    if (!source) return E_NOINTERFACE;
    IID sourceIid{};
    hr = source->GetTypeAttr(&attr);
    if (SUCCEEDED(hr)) {
        sourceIid = attr->guid;
        source->ReleaseTypeAttr(attr);
    }
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(hr))
        hr = object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (SUCCEEDED(hr)) {
        hr = container->FindConnectionPoint(sourceIid, &point_);
        container->Release();
        if (FAILED(hr)) point_ = nullptr;
    }
    if (SUCCEEDED(hr)) {
        sink_ = new (std::nothrow) EventSink(this, source, sourceIid);
        hr = sink_ ? point_->Advise(static_cast<IDispatch*>(sink_), &cookie_) : E_OUTOFMEMORY;
        if (FAILED(hr)) {
            cookie_ = 0;
            if (sink_) sink_->Detach();
            ReleaseAndClear(sink_);
            ReleaseAndClear(point_);
        }
    }
    source->Release();
    return hr;
}

void OleSiteObject::SetRect(const RECT& rect) {
    rect_ = rect;
    if (!object_) return;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect_, &rect_);
        inPlace->Release();
    }
}

HWND OleSiteObject::ControlWindow() const {
    if (!object_) return nullptr;
    HWND window = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        if (FAILED(inPlace->GetWindow(&window))) window = nullptr;
        inPlace->Release();
    }
    return window;
}

void OleSiteObject::DeliverEvent(const std::wstring& name, DISPPARAMS* params) {
    if (!onEvent_ || !object_) return;
    ++eventDepth_;
    auto handler = onEvent_;  // the handler may destroy the site's owner
    handler(name, params);
    --eventDepth_;
}

void OleSiteObject::Destroy() {
    onEvent_ = nullptr;
    if (sink_) sink_->Detach();
    if (eventDepth_ == 0) {
        Teardown();
        return;
    }
    // Inside the control's own call: tear down once that call has returned.
    if (teardownPosted_) return;
    HWND window = MessageWindow();
    if (window && ::PostMessageW(window, kTeardownMessage, 0, 0)) {
        teardownPosted_ = true;
        AddRef();  // released by the posted teardown
    }
}

LRESULT CALLBACK OleSiteObject::MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTeardownMessage) {
        auto* site = reinterpret_cast<OleSiteObject*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (site && site->teardownPosted_) {
            site->teardownPosted_ = false;
            site->Teardown();
            site->Release();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND OleSiteObject::MessageWindow() {
    if (messages_) return messages_;
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OleSiteObject::MessageProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kMessageClass;
        return ::RegisterClassW(&windowClass);
    }();
    if (!atom) return nullptr;
    messages_ = ::CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (messages_) ::SetWindowLongPtrW(messages_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return messages_;
}

void OleSiteObject::Teardown() {
    AddRef();  // the control's last calls into the site must not end it
    if (sink_) sink_->Detach();
    if (point_) {
        if (cookie_) point_->Unadvise(cookie_);
        cookie_ = 0;
        ReleaseAndClear(point_);
    }
    ReleaseAndClear(sink_);
    ReleaseAndClear(dispatch_);
    if (object_) {
        IOleObject* object = object_;
        object_ = nullptr;
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        object->Release();
    }
    if (messages_) {
        HWND window = messages_;
        messages_ = nullptr;
        ::DestroyWindow(window);
    }
    Release();
}

OleControlSite::~OleControlSite() { Destroy(); }

HRESULT OleControlSite::Create(HWND parent, const std::wstring& progId, const RECT& rect,
                               EventHandler onEvent) {
    Destroy();
    site_ = new (std::nothrow) OleSiteObject();
    if (!site_) return E_OUTOFMEMORY;
    HRESULT hr = site_->Create(parent, progId, rect, std::move(onEvent));
    if (FAILED(hr)) ReleaseAndClear(site_);
    return hr;
}

void OleControlSite::SetRect(const RECT& rect) {
    if (site_) site_->SetRect(rect);
}

HWND OleControlSite::ControlWindow() const { return site_ ? site_->ControlWindow() : nullptr; }

bool OleControlSite::IsCreated() const { return site_ && site_->IsCreated(); }

HRESULT OleControlSite::Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT>& args, VARIANT* result) {
    if (result) ::VariantInit(result);
    if (!site_ || !site_->Object()) return E_UNEXPECTED;
    IDispatch* object = site_->Object();
    object->AddRef();  // the call may pump messages and tear the site down
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (SUCCEEDED(hr)) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
    }
    object->Release();
    return hr;
}

HRESULT OleControlSite::PutProperty(const wchar_t* name, const VARIANT& value) {
    std::vector<VARIANT> args{value};
    return Invoke(name, DISPATCH_PROPERTYPUT, args, nullptr);
}

void OleControlSite::Destroy() {
    if (!site_) return;
    OleSiteObject* site = site_;
    site_ = nullptr;
    site->Destroy();
    site->Release();
}

}  // namespace quorallion::controls
