// The COM face of ICore: the dual interface _ICore over the type library embedded in
// QuorallionICore.exe. The table rules live in the ICore class.
#include "server/icore_object.h"

#include <new>

#include "ICore.h"
#include "ICore_h.h"
#include "com/com_ptr.h"
#include "com/local_server.h"
#include "server/core_dispatch_win.h"

namespace quorallion::icore {
namespace {

class IcoreObject final : public _ICore {
public:
    explicit IcoreObject(ITypeInfo* typeInfo) : typeInfo_(typeInfo) { com::ServerAddRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID__ICore) return E_NOINTERFACE;
        *out = static_cast<_ICore*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --refs_;
        if (refs == 0) {
            delete this;
            com::ServerRelease();
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
        return ::DispInvoke(static_cast<_ICore*>(this), typeInfo_.get(), id, flags, params, result,
                            exception, argError);
    }

    HRESULT STDMETHODCALLTYPE GetInfo(BSTR s_Version, BSTR s_Config, BSTR s_Action, BSTR s_Param1,
                                      BSTR s_Param2, BSTR s_Param3, BSTR* reply) override {
        if (!reply) return E_POINTER;
        *reply = nullptr;
        // The forwarded call lets COM dispatch other calls, a client's last Release among them.
        com::ComPtr<_ICore> keepAlive(this);
        std::wstring text;
        try {
            text = dispatcher_.GetInfo(
                com::Bstr::ToString(s_Version),
                CoreCall{com::Bstr::ToString(s_Config), com::Bstr::ToString(s_Action),
                         com::Bstr::ToString(s_Param1), com::Bstr::ToString(s_Param2),
                         com::Bstr::ToString(s_Param3)});
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        *reply = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *reply ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~IcoreObject() = default;

    ULONG refs_ = 1;  // the apartment's one thread is the only caller
    com::ComPtr<ITypeInfo> typeInfo_;
    DispatchCoreCreator creator_;
    ICore dispatcher_{creator_};
};

}  // namespace

HRESULT CreateIcoreObject(REFIID iid, void** out) {
    *out = nullptr;
    com::ComPtr<ITypeInfo> typeInfo;
    HRESULT hr = com::LoadOwnTypeInfo(IID__ICore, typeInfo.put());
    if (FAILED(hr)) return hr;
    auto* object = new (std::nothrow) IcoreObject(typeInfo.get());
    if (!object) return E_OUTOFMEMORY;
    hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace quorallion::icore
