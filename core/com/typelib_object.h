#pragma once
// The common body of our automation objects: IUnknown, and IDispatch answered from the type
// information of their dual interface. Each object counts in the server's lock, so that the
// process ends with its last object.
#include <windows.h>
#include <oaidl.h>

#include "com/com_ptr.h"
#include "com/local_server.h"

namespace quorallion::com {

// Interface: the generated dual interface; InterfaceId: its IID.
template <typename Interface, const IID* InterfaceId>
class TypeLibObject : public Interface {
public:
    explicit TypeLibObject(ITypeInfo* typeInfo) : typeInfo_(typeInfo) { ServerAddRef(); }
    TypeLibObject(const TypeLibObject&) = delete;
    TypeLibObject& operator=(const TypeLibObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *InterfaceId)
            *out = static_cast<Interface*>(this);
        else if (!(*out = QueryOther(iid)))
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --refs_;
        if (refs == 0) {
            FinalRelease();
            delete this;
            ServerRelease();
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        typeInfo_->AddRef();
        *info = typeInfo_.get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return ::DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        return ::DispInvoke(static_cast<Interface*>(this), typeInfo_.get(), id, flags, params,
                            result, exception, argError);
    }

    // Makes an object for a client: loads the interface's type information from this program.
    template <typename Object, typename... Args>
    static HRESULT Create(REFIID iid, void** out, Args&&... args) {
        *out = nullptr;
        ComPtr<ITypeInfo> typeInfo;
        HRESULT hr = LoadOwnTypeInfo(*InterfaceId, typeInfo.put());
        if (FAILED(hr)) return hr;
        Object* object = nullptr;
        try {
            object = new Object(typeInfo.get(), std::forward<Args>(args)...);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }

protected:
    virtual ~TypeLibObject() = default;
    // Further interfaces of the object (already cast), or nullptr.
    virtual void* QueryOther(REFIID) { return nullptr; }
    // Runs once when the last client reference goes, before the object is deleted.
    virtual void FinalRelease() {}

private:
    ULONG refs_ = 1;  // the apartment's one thread is the only caller
    ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace quorallion::com
