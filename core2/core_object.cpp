// The COM face of Core15200: the dual interface _Core15200 over the type library embedded in
// QuorallionCore2.exe. Everything else lives in the Core15200 class.
#include "core_object.h"

#include <new>

#include "Core15200.h"
#include "Core15200_h.h"
#include "com/com_ptr.h"
#include "com/typelib_object.h"
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

class CoreObject final : public com::TypeLibObject<_Core15200, &IID__Core15200>,
                         public ISupportErrorInfo {
public:
    CoreObject(ITypeInfo* typeInfo, const CoreServices& services)
        : TypeLibObject(typeInfo), core_(new Core15200(services)) {}

    // ISupportErrorInfo shares the object's reference count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return TypeLibObject::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TypeLibObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TypeLibObject::Release(); }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID__Core15200 ? S_OK : S_FALSE;
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
    void* QueryOther(REFIID iid) override {
        return iid == IID_ISupportErrorInfo ? static_cast<ISupportErrorInfo*>(this) : nullptr;
    }
    // The client let go: the core unloads the process's forms; the C++ object itself lives on
    // while a running worker still holds it.
    void FinalRelease() override {
        core_->Terminate();
        core_->Release();
    }

    Core15200* core_;
};

}  // namespace

HRESULT CreateCoreObject(const CoreServices& services, REFIID iid, void** out) {
    return CoreObject::Create<CoreObject>(iid, out, services);
}

}  // namespace quorallion
