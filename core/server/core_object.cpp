// The COM face of Core15200: the dual interface _Core15200 over the type library embedded in
// QuorallionCore2.exe. Everything else lives in the Core15200 class.
#include "server/core_object.h"

#include <new>

#include "Core15200.h"
#include "Core15200_h.h"
#include "com/com_ptr.h"
#include "com/local_server.h"
#include "public/basPublic_win.h"

namespace quorallion {
namespace {

HRESULT SetError(HRESULT hr, const wchar_t* description) {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        create->SetGUID(IID__Core15200);
        create->SetSource(const_cast<LPOLESTR>(L"QuorallionCore2.Core15200"));
        create->SetDescription(const_cast<LPOLESTR>(description));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            ::SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return hr;
}

class CoreObject final : public _Core15200, public ISupportErrorInfo {
public:
    CoreObject(Core15200* core, ITypeInfo* typeInfo) : core_(core), typeInfo_(typeInfo) {
        com::ServerAddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__Core15200)
            *out = static_cast<_Core15200*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *out = static_cast<ISupportErrorInfo*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG refs = --refs_;
        if (refs == 0) {
            // The client let go: the core unloads the process's forms; the C++ object itself
            // lives on while a running worker still holds it.
            core_->Terminate();
            core_->Release();
            delete this;
            com::ServerRelease();
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID__Core15200 ? S_OK : S_FALSE;
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
        return ::DispInvoke(static_cast<_Core15200*>(this), typeInfo_.get(), id, flags, params,
                            result, exception, argError);
    }

    HRESULT STDMETHODCALLTYPE GetInfo(BSTR s_Config, BSTR s_Action, BSTR s_Param1, BSTR s_Param2,
                                      BSTR s_Param3, BSTR* reply) override {
        if (!reply) return E_POINTER;
        *reply = nullptr;
        try {
            std::wstring text = core_->GetInfo(
                com::Bstr::ToString(s_Config), com::Bstr::ToString(s_Action),
                com::Bstr::ToString(s_Param1), com::Bstr::ToString(s_Param2),
                com::Bstr::ToString(s_Param3));
            *reply = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            return *reply ? S_OK : E_OUTOFMEMORY;
        } catch (const basPublic::JobFolderError& error) {
            return SetError(HRESULT_FROM_WIN32(error.Code() ? error.Code() : ERROR_CANNOT_MAKE),
                            L"The job folder could not be created.");
        } catch (const std::bad_alloc&) {
            return SetError(E_OUTOFMEMORY, L"Out of memory.");
        } catch (...) {
            return SetError(E_FAIL, L"Unexpected failure.");
        }
    }

private:
    ~CoreObject() = default;

    ULONG refs_ = 1;  // the apartment's one thread is the only caller
    Core15200* core_;
    com::ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace

HRESULT CreateCoreObject(const CoreServices& services, REFIID iid, void** out) {
    *out = nullptr;
    com::ComPtr<ITypeInfo> typeInfo;
    HRESULT hr = com::LoadOwnTypeInfo(IID__Core15200, typeInfo.put());
    if (FAILED(hr)) return hr;
    Core15200* core = nullptr;
    try {
        core = new Core15200(services);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    auto* object = new (std::nothrow) CoreObject(core, typeInfo.get());
    if (!object) {
        core->Terminate();
        core->Release();
        return E_OUTOFMEMORY;
    }
    hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace quorallion
