#include "office/late_binding_win.h"

#include <utility>

namespace quorallion::office {

namespace {

std::wstring SystemMessage(HRESULT hr) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = length && text ? std::wstring(text, length) : std::wstring();
    if (text) ::LocalFree(text);
    while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
    if (out.empty()) {
        wchar_t buffer[32];
        swprintf(buffer, 32, L"Automation error 0x%08lX", static_cast<unsigned long>(hr));
        out = buffer;
    }
    return out;
}

// The runtime's number for a failed call: errors of the control facility by their low word.
long RuntimeNumber(HRESULT hr) {
    const unsigned long code = static_cast<unsigned long>(hr);
    if ((code & 0xFFFF0000UL) == 0x800A0000UL) return static_cast<long>(code & 0xFFFF);
    return static_cast<long>(hr);
}

}  // namespace

void ErrorState::Clear() {
    number_ = 0;
    description_.clear();
}

void ErrorState::Raise(long number, std::wstring description) {
    if (number == 0) return;
    number_ = number;
    description_ = std::move(description);
}

void ErrorState::RaiseHResult(HRESULT hr, const EXCEPINFO* exception) {
    if (SUCCEEDED(hr)) return;
    if (hr == DISP_E_EXCEPTION && exception) {
        HRESULT inner = exception->scode;
        if (!inner && exception->wCode) inner = static_cast<HRESULT>(0x800A0000UL | exception->wCode);
        if (!inner) inner = hr;
        std::wstring text = com::Bstr::ToString(exception->bstrDescription);
        Raise(RuntimeNumber(inner), text.empty() ? SystemMessage(inner) : text);
        return;
    }
    Raise(RuntimeNumber(hr), SystemMessage(hr));
}

// --- Arg ----------------------------------------------------------------------------------

Arg::Arg(const wchar_t* text) : Arg(std::wstring(text ? text : L"")) {}

Arg::Arg(const std::wstring& text) : Arg() {
    v_.vt = VT_BSTR;
    v_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

Arg::Arg(int value) : Arg() {
    v_.vt = VT_I4;
    v_.lVal = value;
}

Arg::Arg(bool value) : Arg() {
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Arg::Arg(double value) : Arg() {
    v_.vt = VT_R8;
    v_.dblVal = value;
}

Arg::Arg(IDispatch* object) : Arg() {
    v_.vt = VT_DISPATCH;
    v_.pdispVal = object;
    if (object) object->AddRef();
}

Arg::Arg(const VARIANT& value) : Arg() { ::VariantCopy(&v_, const_cast<VARIANT*>(&value)); }

Arg::Arg(const Arg& other) : Arg() { ::VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)); }

Arg& Arg::operator=(const Arg& other) {
    if (this != &other) ::VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
    return *this;
}

Arg Arg::Missing() {
    Arg out;
    out.v_.vt = VT_ERROR;
    out.v_.scode = DISP_E_PARAMNOTFOUND;
    return out;
}

// --- ByRefValue ---------------------------------------------------------------------------

ByRefValue::ByRefValue(const std::wstring& text) {
    ::VariantInit(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

ByRefValue::ByRefValue(int value) {
    ::VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = value;
}

ByRefValue::ByRefValue(bool value) {
    ::VariantInit(&value_);
    value_.vt = VT_BOOL;
    value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Arg ByRefValue::Ref() {
    Arg out;
    out.v_.vt = static_cast<VARTYPE>(VT_BYREF | value_.vt);
    switch (value_.vt) {
    case VT_BSTR: out.v_.pbstrVal = &value_.bstrVal; break;
    case VT_I4: out.v_.plVal = &value_.lVal; break;
    default: out.v_.pboolVal = &value_.boolVal; break;
    }
    return out;
}

// --- Value --------------------------------------------------------------------------------

Value::Value(Value&& other) noexcept : Value() {
    v_ = other.v_;
    ::VariantInit(&other.v_);
}

Value& Value::operator=(Value&& other) noexcept {
    if (this != &other) {
        ::VariantClear(&v_);
        v_ = other.v_;
        ::VariantInit(&other.v_);
    }
    return *this;
}

namespace {
bool Converted(const VARIANT& from, VARTYPE type, VARIANT& to) {
    ::VariantInit(&to);
    return SUCCEEDED(::VariantChangeType(&to, const_cast<VARIANT*>(&from), 0, type));
}
}  // namespace

std::wstring Value::Text(const std::wstring& fallback) const {
    VARIANT to;
    if (!Converted(v_, VT_BSTR, to)) return fallback;
    std::wstring out = com::Bstr::ToString(to.bstrVal);
    ::VariantClear(&to);
    return out;
}

long Value::Long(long fallback) const {
    VARIANT to;
    if (!Converted(v_, VT_I4, to)) return fallback;
    return to.lVal;
}

double Value::Double(double fallback) const {
    VARIANT to;
    if (!Converted(v_, VT_R8, to)) return fallback;
    return to.dblVal;
}

bool Value::Bool(bool fallback) const {
    VARIANT to;
    if (!Converted(v_, VT_BOOL, to)) return fallback;
    return to.boolVal != VARIANT_FALSE;
}

std::vector<uint8_t> Value::Bytes() const {
    std::vector<uint8_t> out;
    if (!(v_.vt & VT_ARRAY)) return out;
    SAFEARRAY* array = (v_.vt & VT_BYREF) ? (v_.pparray ? *v_.pparray : nullptr) : v_.parray;
    if (!array || ::SafeArrayGetDim(array) != 1) return out;
    LONG low = 0, high = -1;
    ::SafeArrayGetLBound(array, 1, &low);
    ::SafeArrayGetUBound(array, 1, &high);
    if (high < low) return out;
    const VARTYPE element = static_cast<VARTYPE>(v_.vt & VT_TYPEMASK);
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) return out;
    const size_t count = static_cast<size_t>(high - low) + 1;
    if (element == VT_UI1 || element == VT_I1) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        out.assign(bytes, bytes + count);
    } else if (element == VT_VARIANT) {
        const VARIANT* items = static_cast<const VARIANT*>(data);
        out.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            VARIANT to;
            out.push_back(Converted(items[i], VT_UI1, to) ? to.bVal : 0);
        }
    }
    ::SafeArrayUnaccessData(array);
    return out;
}

// --- AutoObject ---------------------------------------------------------------------------

bool AutoObject::Resolve(const std::wstring& path, com::ComPtr<IDispatch>& owner,
                         std::wstring& last) const {
    if (!object_) {
        if (errors_) errors_->Raise(ErrorState::kObjectNotSet, L"Object variable or With block variable not set");
        return false;
    }
    owner = object_;
    size_t start = 0;
    for (;;) {
        const size_t dot = path.find(L'.', start);
        if (dot == std::wstring::npos) {
            last = path.substr(start);
            return true;
        }
        const std::wstring name = path.substr(start, dot - start);
        Value step;
        EXCEPINFO exception{};
        HRESULT hr = com::Invoke(owner.get(), name.c_str(), DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                 nullptr, 0, step.put(), &exception);
        if (FAILED(hr)) {
            if (errors_) {
                if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
                    errors_->Raise(ErrorState::kNoSuchMember, L"Object doesn't support this property or method");
                else
                    errors_->RaiseHResult(hr, &exception);
            }
        }
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
        if (FAILED(hr)) return false;
        const VARIANT& v = step.get();
        IDispatch* next = v.vt == VT_DISPATCH ? v.pdispVal
                          : v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal ? *v.ppdispVal
                                                                           : nullptr;
        if (!next) {
            if (errors_)
                errors_->Raise(v.vt == VT_DISPATCH || v.vt == VT_EMPTY ? ErrorState::kObjectNotSet
                                                                        : ErrorState::kTypeMismatch,
                               L"Object required: " + name);
            return false;
        }
        owner = com::ComPtr<IDispatch>(next);
        start = dot + 1;
    }
}

Value AutoObject::Invoke(const std::wstring& path, WORD flags, const std::vector<Arg>& args) const {
    Value result;
    com::ComPtr<IDispatch> owner;
    std::wstring last;
    if (!Resolve(path, owner, last)) return result;
    std::vector<VARIANT> raw;
    raw.reserve(args.size());
    for (const Arg& a : args) raw.push_back(a.get());  // shallow: the Args keep ownership
    EXCEPINFO exception{};
    HRESULT hr = com::Invoke(owner.get(), last.c_str(), flags, raw.empty() ? nullptr : raw.data(),
                             static_cast<UINT>(raw.size()),
                             (flags & DISPATCH_PROPERTYPUT) ? nullptr : result.put(), &exception);
    if (FAILED(hr) && errors_) {
        if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
            errors_->Raise(ErrorState::kNoSuchMember, L"Object doesn't support this property or method");
        else
            errors_->RaiseHResult(hr, &exception);
    }
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) result.put();
    return result;
}

Value AutoObject::Get(const std::wstring& path, std::initializer_list<Arg> args) const {
    return Invoke(path, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::vector<Arg>(args));
}

AutoObject AutoObject::Object(const std::wstring& path, std::initializer_list<Arg> args) const {
    Value v = Get(path, args);
    const VARIANT& raw = v.get();
    IDispatch* object = raw.vt == VT_DISPATCH ? raw.pdispVal
                        : raw.vt == (VT_DISPATCH | VT_BYREF) && raw.ppdispVal ? *raw.ppdispVal
                                                                               : nullptr;
    if (!object) {
        // A failed call has recorded its own error already.
        if (errors_ && !v.IsEmpty())
            errors_->Raise(ErrorState::kTypeMismatch, L"Object required: " + path);
        AutoObject none;
        none.errors_ = errors_;
        return none;
    }
    AutoObject out;
    out.object_ = com::ComPtr<IDispatch>(object);
    out.errors_ = errors_;
    return out;
}

void AutoObject::Call(const std::wstring& path, std::initializer_list<Arg> args) const {
    Invoke(path, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::vector<Arg>(args));
}

void AutoObject::Put(const std::wstring& path, const Arg& value) const {
    Invoke(path, DISPATCH_PROPERTYPUT, std::vector<Arg>{value});
}

// --- creation -----------------------------------------------------------------------------

AutoObject CreateObject(const std::wstring& progId, ErrorState& errors) {
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) {
        errors.Raise(429, L"ActiveX component can't create object");
        return AutoObject(nullptr, errors);
    }
    com::ComPtr<IDispatch> object;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                            object.put_void());
    if (FAILED(hr)) {
        errors.Raise(429, L"ActiveX component can't create object: " + SystemMessage(hr));
        return AutoObject(nullptr, errors);
    }
    return AutoObject(object.get(), errors);
}

AutoObject GetActiveObject(const std::wstring& progId, ErrorState& errors) {
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
    com::ComPtr<IUnknown> running;
    if (SUCCEEDED(hr)) hr = ::GetActiveObject(clsid, nullptr, running.put());
    com::ComPtr<IDispatch> object;
    if (SUCCEEDED(hr)) hr = running->QueryInterface(IID_IDispatch, object.put_void());
    if (FAILED(hr)) {
        errors.Raise(429, L"ActiveX component can't create object");
        return AutoObject(nullptr, errors);
    }
    return AutoObject(object.get(), errors);
}

}  // namespace quorallion::office
