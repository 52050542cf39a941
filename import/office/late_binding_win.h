#pragma once
// Late-bound automation for the Office workers (Word, Excel, PowerPoint and their WPS twins).
//
// The workers run every automation call with errors trapped: a failing call is skipped, its error
// is kept in the worker's ErrorState, and the worker looks at that state only at the steps where
// a failure has a meaning of its own ("wordopen", "wordcreate", ...). So a call never throws and
// never stops the worker; it records and returns an empty value.
//
//   office::ErrorState err;
//   office::AutoObject app = office::CreateObject(L"Word.Application", err);
//   app.Put(L"ActiveWindow.ActivePane.view.Type", 3);
//   office::AutoObject doc = app.Object(L"Documents.Open", {path, office::Arg::Missing(), true});
//   if (err.Pending()) ...
//
// A dotted path reads every name but the last as a property without arguments; the last name
// gets the arguments. Arguments are given first to last; Arg::Missing() leaves one out and
// Arg::Ref() passes a caller's variable by reference.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "com/com_ptr.h"

namespace quorallion::office {

// The error state of one worker: the last trapped error, as the classic runtime numbers it
// (an automation error of the control facility, 0x800Axxxx, by its low word; any other failure
// by its HRESULT).
class ErrorState {
public:
    // Error numbers of the runtime itself.
    static constexpr long kObjectNotSet = 91;         // call on an empty object
    static constexpr long kNoSuchMember = 438;        // the object has no member of that name
    static constexpr long kTypeMismatch = 13;         // a result that is not an object

    void Clear();
    bool Pending() const { return number_ != 0; }
    long Number() const { return number_; }
    const std::wstring& Description() const { return description_; }

    // Records a failure (a later one replaces it). A success code records nothing.
    void Raise(long number, std::wstring description);
    void RaiseHResult(HRESULT hr, const EXCEPINFO* exception);

private:
    long number_ = 0;
    std::wstring description_;
};

// One argument of a late-bound call: a value, an omitted argument or a reference to a variable
// of the caller (ByRefValue). Copies are deep for values and shallow for references.
class Arg {
public:
    Arg() { ::VariantInit(&v_); }  // empty variant
    Arg(const wchar_t* text);
    Arg(const std::wstring& text);
    Arg(int value);
    Arg(long value) : Arg(static_cast<int>(value)) {}
    Arg(bool value);
    Arg(double value);
    Arg(IDispatch* object);
    Arg(const VARIANT& value);
    Arg(const Arg& other);
    Arg& operator=(const Arg& other);
    ~Arg() { ::VariantClear(&v_); }

    // The argument left out (DISP_E_PARAMNOTFOUND), as the runtime passes an omitted optional one.
    static Arg Missing();

    const VARIANT& get() const { return v_; }

private:
    friend class ByRefValue;
    VARIANT v_;
};

// A caller's variable handed by reference: text, whole number (32-bit) or Boolean. The callee
// sees VT_BYREF of that type and may change it; Value() reads it back.
class ByRefValue {
public:
    explicit ByRefValue(const std::wstring& text);
    explicit ByRefValue(int value);
    explicit ByRefValue(bool value);
    ByRefValue(const ByRefValue&) = delete;
    ByRefValue& operator=(const ByRefValue&) = delete;
    ~ByRefValue() { ::VariantClear(&value_); }

    Arg Ref();  // valid while this object lives
    const VARIANT& Value() const { return value_; }

private:
    VARIANT value_;
};

// A result value. Movable owner of a VARIANT with lenient readers that give a default when the
// value cannot be converted (without touching the error state).
class Value {
public:
    Value() { ::VariantInit(&v_); }
    Value(Value&& other) noexcept;
    Value& operator=(Value&& other) noexcept;
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    ~Value() { ::VariantClear(&v_); }

    VARIANT* put() {
        ::VariantClear(&v_);
        return &v_;
    }
    const VARIANT& get() const { return v_; }
    bool IsEmpty() const { return v_.vt == VT_EMPTY; }

    std::wstring Text(const std::wstring& fallback = L"") const;
    long Long(long fallback = 0) const;
    double Double(double fallback = 0) const;
    bool Bool(bool fallback = false) const;
    // A byte array (VT_ARRAY of VT_UI1, or of variants holding bytes): its bytes.
    std::vector<uint8_t> Bytes() const;

private:
    VARIANT v_;
};

// A late-bound object reference tied to a worker's error state. An empty reference records
// "object not set" at every call, as the runtime does.
class AutoObject {
public:
    AutoObject() = default;
    AutoObject(IDispatch* object, ErrorState& errors) : object_(object), errors_(&errors) {}

    explicit operator bool() const { return static_cast<bool>(object_); }
    IDispatch* get() const { return object_.get(); }
    void Reset() { object_.reset(); }

    // Property read or method call with a result.
    Value Get(const std::wstring& path, std::initializer_list<Arg> args = {}) const;
    // The same, the result taken as an object (a result that is none records a type mismatch).
    AutoObject Object(const std::wstring& path, std::initializer_list<Arg> args = {}) const;
    // Method call whose result is dropped.
    void Call(const std::wstring& path, std::initializer_list<Arg> args = {}) const;
    // Property assignment (the last name of the path gets the value).
    void Put(const std::wstring& path, const Arg& value) const;

    // The same with an argument list built at run time.
    Value Invoke(const std::wstring& path, WORD flags, const std::vector<Arg>& args) const;

private:
    // Walks every name but the last; returns the object that owns the last one and its name.
    bool Resolve(const std::wstring& path, com::ComPtr<IDispatch>& owner, std::wstring& last) const;

    com::ComPtr<IDispatch> object_;
    ErrorState* errors_ = nullptr;
};

// A new application object by ProgID (a local server or an in-process one). Empty on failure,
// with the error recorded.
AutoObject CreateObject(const std::wstring& progId, ErrorState& errors);
// The running instance registered for the ProgID's class (the running object table). Empty on
// failure, with the error recorded.
AutoObject GetActiveObject(const std::wstring& progId, ErrorState& errors);

}  // namespace quorallion::office
