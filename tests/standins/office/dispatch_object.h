#pragma once
// Plain IDispatch objects for the Office stand-ins and for in-process tests' fake documents (tests
// only): an object is a table of named members, each a function of the call. Names are matched
// without regard to case, as Office's are. Every call goes to the journal (journal.h) before the
// member runs, with its arguments as they arrived (type and value), so tests can read back exactly
// what a worker passed; a process that opened no journal writes none.
#include <windows.h>
#include <oaidl.h>

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "journal.h"

namespace quorallion::standin {

// One call as a member sees it. Arguments are first to last, by-reference ones dereferenced.
class DispatchCall {
public:
    DispatchCall(WORD flags, DISPPARAMS* params, VARIANT* result) : flags_(flags), result_(result) {
        if (!params) return;
        // The named DISPID_PROPERTYPUT argument of a put is rgvarg[0]; the rest are positional.
        for (UINT i = params->cArgs; i-- > 0;) args_.push_back(&params->rgvarg[i]);
    }

    bool IsPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    size_t Count() const { return args_.size(); }
    bool Omitted(size_t i) const {
        if (i >= args_.size()) return true;
        const VARIANT& v = Raw(i);
        return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
    }
    // The argument with one level of VT_BYREF taken off.
    const VARIANT& Raw(size_t i) const {
        static VARIANT empty{};
        if (i >= args_.size()) return empty;
        const VARIANT* v = args_[i];
        if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) return *v->pvarVal;
        if (v->vt & VT_BYREF) {
            static thread_local VARIANT plain;
            ::VariantInit(&plain);
            plain.vt = static_cast<VARTYPE>(v->vt & ~VT_BYREF);
            switch (plain.vt) {
            case VT_BSTR: plain.bstrVal = v->pbstrVal ? *v->pbstrVal : nullptr; break;
            case VT_I4: plain.lVal = v->plVal ? *v->plVal : 0; break;
            case VT_I2: plain.iVal = v->piVal ? *v->piVal : 0; break;
            case VT_BOOL: plain.boolVal = v->pboolVal ? *v->pboolVal : VARIANT_FALSE; break;
            case VT_R8: plain.dblVal = v->pdblVal ? *v->pdblVal : 0; break;
            case VT_DISPATCH: plain.pdispVal = v->ppdispVal ? *v->ppdispVal : nullptr; break;
            default: plain.vt = VT_EMPTY; break;
            }
            return plain;
        }
        return *v;
    }
    const VARIANT& Original(size_t i) const { return *args_.at(i); }

    // An argument converted to text, a number or a bool; the fallback when omitted or not convertible.
    std::wstring Text(size_t i, const std::wstring& fallback = L"") const {
        VARIANT to;
        if (!Converted(i, VT_BSTR, to)) return fallback;
        std::wstring out = to.bstrVal ? std::wstring(to.bstrVal, ::SysStringLen(to.bstrVal)) : L"";
        ::VariantClear(&to);
        return out;
    }
    long Long(size_t i, long fallback = 0) const {
        VARIANT to;
        return Converted(i, VT_I4, to) ? to.lVal : fallback;
    }
    double Double(size_t i, double fallback = 0) const {
        VARIANT to;
        return Converted(i, VT_R8, to) ? to.dblVal : fallback;
    }
    bool Bool(size_t i, bool fallback = false) const {
        VARIANT to;
        return Converted(i, VT_BOOL, to) ? to.boolVal != VARIANT_FALSE : fallback;
    }
    VARIANT* ResultSlot() { return result_; }
    // The value of a put (the last argument).
    const VARIANT& PutValue() const { return Raw(args_.size() - 1); }

    // A member's answer, put in place of what the result held; each answers S_OK, so that a member
    // may end with "return call.Return(...)".
    HRESULT Return(const std::wstring& text) {
        return Answer(VT_BSTR, [&](VARIANT& v) {
            v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        });
    }
    HRESULT Return(long value) {
        return Answer(VT_I4, [&](VARIANT& v) { v.lVal = value; });
    }
    // Only a double itself: integers and bools keep answering as I4.
    template <std::same_as<double> Real>
    HRESULT Return(Real value) {
        return Answer(VT_R8, [&](VARIANT& v) { v.dblVal = value; });
    }
    HRESULT ReturnBool(bool value) {
        return Answer(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    HRESULT Return(IDispatch* object) {  // takes a new reference; a null one answers Nothing
        return Answer(VT_DISPATCH, [&](VARIANT& v) {
            v.pdispVal = object;
            if (object) object->AddRef();
        });
    }
    // An object a smart pointer holds (an in-process test's), the same way.
    template <typename Pointer>
        requires requires(const Pointer& p) {
            { p.get() } -> std::convertible_to<IDispatch*>;
        }
    HRESULT Return(const Pointer& object) {
        return Return(static_cast<IDispatch*>(object.get()));
    }
    HRESULT ReturnBytes(const std::vector<unsigned char>& bytes) {
        if (!result_) return S_OK;
        ::VariantClear(result_);
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
        if (!array) return S_OK;
        void* data = nullptr;
        if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
            if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
            ::SafeArrayUnaccessData(array);
        }
        return Answer(static_cast<VARTYPE>(VT_ARRAY | VT_UI1), [&](VARIANT& v) { v.parray = array; });
    }

    // A member fails the way Office does: an exception with Office's error number.
    HRESULT Fail(long number, const std::wstring& description) { return Failure(number, description); }
    HRESULT Failure(long number, const std::wstring& description) {
        failNumber_ = number;
        failText_ = description;
        return DISP_E_EXCEPTION;
    }
    long failNumber_ = 0;
    std::wstring failText_;

private:
    template <typename Fill>
    HRESULT Answer(VARTYPE type, Fill fill) {
        if (!result_) return S_OK;
        ::VariantClear(result_);
        result_->vt = type;
        fill(*result_);
        return S_OK;
    }
    bool Converted(size_t i, VARTYPE type, VARIANT& to) const {
        ::VariantInit(&to);
        return !Omitted(i) && SUCCEEDED(::VariantChangeType(&to, const_cast<VARIANT*>(&Raw(i)), 0, type));
    }

    WORD flags_;
    VARIANT* result_;
    std::vector<VARIANT*> args_;
};

using Member = std::function<HRESULT(DispatchCall&)>;

class DispatchObject : public IDispatch {
public:
    // name: how the object appears in the journal ("Application", "Document", ...).
    explicit DispatchObject(std::wstring name) : name_(std::move(name)) {}
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    const std::wstring& Name() const { return name_; }

    void Add(const std::wstring& member, Member body) {
        members_.push_back({member, std::move(body)});
    }
    // A read-write property held in the object (the journal shows its puts).
    void AddValue(const std::wstring& member, std::shared_ptr<VARIANT> store) {
        Add(member, [store](DispatchCall& call) -> HRESULT {
            if (call.IsPut()) return ::VariantCopy(store.get(), const_cast<VARIANT*>(&call.PutValue()));
            if (VARIANT* out = call.ResultSlot()) return ::VariantCopy(out, store.get());
            return S_OK;
        });
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
        if (refs == 0) {
            if (onLastRelease) onLastRelease();
            delete this;
        }
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
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        if (count == 0) return S_OK;
        for (size_t m = 0; m < members_.size(); ++m)
            if (::lstrcmpiW(members_[m].name.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(m + 1);
                return hr;
            }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (id == DISPID_VALUE) id = ValueMember();
        if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        const Entry& entry = members_[static_cast<size_t>(id) - 1];
        DispatchCall call(flags, params, result);
        Journal::Record(name_, entry.name, flags, params);
        // Keep this object alive while the member runs (it may release the last outside reference).
        AddRef();
        HRESULT hr = entry.body(call);
        if (hr == DISP_E_EXCEPTION && exception) {
            *exception = EXCEPINFO{};
            exception->scode = static_cast<SCODE>(0x800A0000UL | (static_cast<unsigned long>(call.failNumber_) & 0xFFFF));
            exception->bstrSource = ::SysAllocString(L"Stand-in");
            exception->bstrDescription = ::SysAllocString(call.failText_.c_str());
        }
        Release();
        return hr;
    }

    std::function<void()> onLastRelease;

protected:
    virtual ~DispatchObject() = default;

private:
    struct Entry {
        std::wstring name;
        Member body;
    };
    DISPID ValueMember() const {  // the default member is "Item" when there is one
        for (size_t m = 0; m < members_.size(); ++m)
            if (::lstrcmpiW(members_[m].name.c_str(), L"Item") == 0) return static_cast<DISPID>(m + 1);
        return 0;
    }

    std::wstring name_;
    std::vector<Entry> members_;
    LONG refs_ = 1;
};

// Returns a new object to the caller and drops the reference its making gave us.
inline HRESULT Give(DispatchCall& call, IDispatch* object) {
    call.Return(object);
    object->Release();
    return S_OK;
}

}  // namespace quorallion::standin
