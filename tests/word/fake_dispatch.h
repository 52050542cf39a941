#pragma once
// Plain IDispatch objects for in-process tests of the Word worker's document procedures: an
// object is a table of named members (matched without regard to case, as Office's are), each a
// function of the call. Tests build a small fake document from them.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "com/com_ptr.h"

namespace quorallion::testing::fake {

// One call as a member sees it: arguments first to last (a put's value is the last one).
class Call {
public:
    Call(WORD flags, DISPPARAMS* params, VARIANT* result) : flags_(flags), result_(result) {
        if (params)
            for (UINT i = params->cArgs; i-- > 0;) args_.push_back(&params->rgvarg[i]);
    }

    bool IsPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    size_t Count() const { return args_.size(); }
    const VARIANT& Arg(size_t i) const { return *args_.at(i); }
    const VARIANT& PutValue() const { return *args_.back(); }

    long Long(size_t i, long fallback = 0) const { return Convert(i, VT_I4) ? converted_.lVal : fallback; }
    double Double(size_t i, double fallback = 0) const { return Convert(i, VT_R8) ? converted_.dblVal : fallback; }

    HRESULT Return(long value) {
        if (result_) {
            ::VariantClear(result_);
            result_->vt = VT_I4;
            result_->lVal = value;
        }
        return S_OK;
    }
    HRESULT Return(double value) {
        if (result_) {
            ::VariantClear(result_);
            result_->vt = VT_R8;
            result_->dblVal = value;
        }
        return S_OK;
    }
    HRESULT Return(const std::wstring& text) {
        if (result_) {
            ::VariantClear(result_);
            result_->vt = VT_BSTR;
            result_->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
        return S_OK;
    }
    // An object (a new reference), or Nothing for a null pointer.
    HRESULT Return(const com::ComPtr<IDispatch>& object) {
        if (result_) {
            ::VariantClear(result_);
            result_->vt = VT_DISPATCH;
            result_->pdispVal = object.get();
            if (object) object->AddRef();
        }
        return S_OK;
    }

private:
    bool Convert(size_t i, VARTYPE type) const {
        if (i >= args_.size()) return false;
        ::VariantClear(&converted_);
        return SUCCEEDED(::VariantChangeType(&converted_, args_[i], 0, type));
    }

    WORD flags_;
    VARIANT* result_;
    std::vector<VARIANT*> args_;
    mutable VARIANT converted_{};
};

using Member = std::function<HRESULT(Call&)>;
using Members = std::vector<std::pair<std::wstring, Member>>;

// A member that fails the way an automation server's does (an exception of the server).
inline HRESULT Raise() { return DISP_E_EXCEPTION; }

class Object final : public IDispatch {
public:
    static com::ComPtr<IDispatch> Make(Members members) {
        return com::ComPtr<IDispatch>::Attach(new Object(std::move(members)));
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = ::InterlockedDecrement(&refs_);
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        if (count == 0) return S_OK;
        for (size_t m = 0; m < members_.size(); ++m)
            if (::lstrcmpiW(members_[m].first.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(m + 1);
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        if (result) ::VariantInit(result);
        Call call(flags, params, result);
        const HRESULT hr = members_[static_cast<size_t>(id) - 1].second(call);
        if (hr == DISP_E_EXCEPTION && exception) {
            *exception = EXCEPINFO{};
            exception->scode = static_cast<SCODE>(0x800A1000 | 4605);  // "This method or property is not available"
            exception->bstrDescription = ::SysAllocString(L"fake member failed");
        }
        return hr;
    }

private:
    explicit Object(Members members) : members_(std::move(members)) {}
    ~Object() = default;

    Members members_;
    LONG refs_ = 1;
};

}  // namespace quorallion::testing::fake
