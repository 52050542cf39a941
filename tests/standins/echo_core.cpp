// QuorallionEchoCore.exe: the stand-in core of version 99001 ("QuorallionCore2.Core99001").
// GetInfo answers {"config":..,"action":..,"param1":..,"param2":..,"param3":..,"pid":..};
// the action "fail" makes the call fail.
#include <windows.h>

#include <new>
#include <string>

#include "EchoCore_h.h"
#include "clsJson.h"
#include "com/com_ptr.h"
#include "com/local_server.h"

namespace {

using namespace quorallion;

class EchoCore final : public _EchoCore {
public:
    explicit EchoCore(ITypeInfo* typeInfo) : typeInfo_(typeInfo) { com::ServerAddRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID__EchoCore) return E_NOINTERFACE;
        *out = static_cast<_EchoCore*>(this);
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
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
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
        return ::DispInvoke(static_cast<_EchoCore*>(this), typeInfo_.get(), id, flags, params,
                            result, exception, argError);
    }

    HRESULT STDMETHODCALLTYPE GetInfo(BSTR config, BSTR action, BSTR param1, BSTR param2,
                                      BSTR param3, BSTR* reply) override {
        *reply = nullptr;
        if (com::Bstr::ToString(action) == L"fail") return E_FAIL;
        icore::clsJson json;
        json.SetItem(L"config", com::Bstr::ToString(config));
        json.SetItem(L"action", com::Bstr::ToString(action));
        json.SetItem(L"param1", com::Bstr::ToString(param1));
        json.SetItem(L"param2", com::Bstr::ToString(param2));
        json.SetItem(L"param3", com::Bstr::ToString(param3));
        json.SetItem(L"pid", std::to_wstring(::GetCurrentProcessId()));
        std::wstring text = json.GetJsonObjectString();
        *reply = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return S_OK;
    }

private:
    ~EchoCore() = default;
    ULONG refs_ = 1;
    com::ComPtr<ITypeInfo> typeInfo_;
};

HRESULT CreateEchoCore(REFIID iid, void** out) {
    *out = nullptr;
    com::ComPtr<ITypeInfo> typeInfo;
    HRESULT hr = com::LoadOwnTypeInfo(IID__EchoCore, typeInfo.put());
    if (FAILED(hr)) return hr;
    auto* object = new (std::nothrow) EchoCore(typeInfo.get());
    if (!object) return E_OUTOFMEMORY;
    hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static const com::LocalServerInfo info{
        CLSID_EchoCore99001, LIBID_QuorallionEchoCore, L"EchoCore99001",
        L"QuorallionCore2.Core99001", L"Quorallion Core V99001", CreateEchoCore,
    };
    return com::RunLocalServer(info, commandLine);
}
