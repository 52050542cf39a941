#include "regex/basRegExp.h"

#include <windows.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "win/message_pump.h"

namespace quorallion {
namespace {

using com::Bstr;
using com::ComPtr;
using com::Variant;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out;
}

[[noreturn]] void Raise(HRESULT hr, const char* step, const EXCEPINFO* exception = nullptr) {
    std::string what = std::string("VBScript.RegExp ") + step + " failed";
    if (exception) {
        if (FAILED(exception->scode)) hr = exception->scode;
        if (exception->bstrDescription)
            what += ": " + Narrow(Bstr::ToString(exception->bstrDescription));
    }
    throw RegExpError(static_cast<long>(hr), what);
}

// Frees what Invoke put into an EXCEPINFO.
struct ExceptionInfo {
    EXCEPINFO info{};
    ~ExceptionInfo() {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
    }
};

void Put(IDispatch* regex, const wchar_t* name, VARIANT* value) {
    ExceptionInfo exception;
    HRESULT hr = com::Invoke(regex, name, DISPATCH_PROPERTYPUT, value, 1, nullptr, &exception.info);
    if (FAILED(hr)) Raise(hr, "property put", &exception.info);
}

// A fresh engine object set to the pattern, ignoring case and matching globally.
ComPtr<IDispatch> CreateRegExp(const std::wstring& pattern) {
    static CLSID clsid{};
    static bool known = false;  // a failed look-up is tried again at the next call
    if (!known) {
        HRESULT lookup = ::CLSIDFromProgID(L"VBScript.RegExp", &clsid);
        if (FAILED(lookup)) Raise(lookup, "lookup");
        known = true;
    }
    ComPtr<IDispatch> regex;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                    regex.put_void());
    if (FAILED(hr)) Raise(hr, "creation");

    Variant patternValue(pattern);
    Put(regex.get(), L"Pattern", patternValue.get());
    VARIANT yes;
    ::VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    Put(regex.get(), L"IgnoreCase", &yes);
    Put(regex.get(), L"Global", &yes);
    return regex;
}

std::wstring ReplaceOnce(const std::wstring& text, const std::wstring& pattern,
                         const std::wstring& replacement) {
    ComPtr<IDispatch> regex = CreateRegExp(pattern);
    VARIANT args[2];
    Variant source(text);
    Variant with(replacement);
    args[0] = *source.get();
    args[1] = *with.get();
    Variant result;
    ExceptionInfo exception;
    HRESULT hr = com::Invoke(regex.get(), L"Replace", DISPATCH_METHOD, args, 2, result.put(),
                             &exception.info);
    if (FAILED(hr)) Raise(hr, "Replace", &exception.info);
    return result.str();
}

}  // namespace

std::wstring basRegExp::RegExpReplace(const std::wstring& text, const std::wstring& pattern,
                                      const std::wstring& replacement) {
    // Our own copies: the caller's strings may belong to an object that a request run by
    // DoEvents changes or releases.
    const std::wstring ownText = text, ownPattern = pattern, ownReplacement = replacement;
    win::DoEvents();
    return ReplaceOnce(ownText, ownPattern, ownReplacement);
}

std::wstring basRegExp::RegExpReplaceAll(const std::wstring& text, const std::wstring& pattern,
                                         const std::wstring& replacement) {
    std::wstring current = text;
    const std::wstring ownPattern = pattern, ownReplacement = replacement;
    for (int pass = 0; pass < basRegExp::kMaxReplacePasses; ++pass) {
        std::wstring next = RegExpReplace(current, ownPattern, ownReplacement);
        if (next == current) break;
        current = std::move(next);
    }
    return current;
}

bool basRegExp::RegExpTest(const std::wstring& pattern, const std::wstring& text) {
    ComPtr<IDispatch> regex = CreateRegExp(pattern);
    Variant source(text);
    Variant result;
    ExceptionInfo exception;
    HRESULT hr = com::Invoke(regex.get(), L"Test", DISPATCH_METHOD, source.get(), 1, result.put(),
                             &exception.info);
    if (FAILED(hr)) Raise(hr, "Test", &exception.info);
    return result.get()->vt == VT_BOOL && result.get()->boolVal != VARIANT_FALSE;
}

}  // namespace quorallion
