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

// A property or an indexed item of a collection object of the engine.
void Get(IDispatch* object, const wchar_t* name, VARIANT* args, UINT argCount, Variant& result) {
    ExceptionInfo exception;
    HRESULT hr = com::Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, argCount,
                             result.put(), &exception.info);
    if (FAILED(hr)) Raise(hr, "Execute", &exception.info);
}

ComPtr<IDispatch> ObjectOf(Variant& value) {
    ComPtr<IDispatch> object;
    VARIANT* v = value.get();
    if (v->vt == VT_DISPATCH && v->pdispVal) {
        v->pdispVal->AddRef();
        *object.put() = v->pdispVal;
    }
    if (!object) Raise(E_UNEXPECTED, "Execute");
    return object;
}

int32_t CountOf(IDispatch* collection) {
    Variant count;
    Get(collection, L"Count", nullptr, 0, count);
    VARIANT number;
    ::VariantInit(&number);
    if (FAILED(::VariantChangeType(&number, count.get(), 0, VT_I4))) Raise(E_UNEXPECTED, "Execute");
    return number.lVal;
}

ComPtr<IDispatch> ItemOf(IDispatch* collection, int32_t index, Variant& holder) {
    VARIANT at;
    ::VariantInit(&at);
    at.vt = VT_I4;
    at.lVal = index;
    Get(collection, L"Item", &at, 1, holder);
    return ObjectOf(holder);
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

std::vector<RegExpMatch> basRegExp::RegExpExecute(const std::wstring& text, const std::wstring& pattern) {
    const std::wstring ownText = text, ownPattern = pattern;
    win::DoEvents();
    ComPtr<IDispatch> regex = CreateRegExp(ownPattern);
    Variant source(ownText);
    Variant matchesValue;
    ExceptionInfo exception;
    HRESULT hr = com::Invoke(regex.get(), L"Execute", DISPATCH_METHOD, source.get(), 1, matchesValue.put(),
                             &exception.info);
    if (FAILED(hr)) Raise(hr, "Execute", &exception.info);
    ComPtr<IDispatch> matches = ObjectOf(matchesValue);

    std::vector<RegExpMatch> out;
    const int32_t count = CountOf(matches.get());
    out.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int32_t i = 0; i < count; ++i) {
        Variant matchValue;
        ComPtr<IDispatch> match = ItemOf(matches.get(), i, matchValue);
        RegExpMatch found;
        Variant value, first, groupsValue;
        Get(match.get(), L"Value", nullptr, 0, value);
        found.Value = value.str();
        Get(match.get(), L"FirstIndex", nullptr, 0, first);
        VARIANT index;
        ::VariantInit(&index);
        if (SUCCEEDED(::VariantChangeType(&index, first.get(), 0, VT_I4))) found.FirstIndex = index.lVal;
        Get(match.get(), L"SubMatches", nullptr, 0, groupsValue);
        ComPtr<IDispatch> groups = ObjectOf(groupsValue);
        const int32_t groupCount = CountOf(groups.get());
        for (int32_t g = 0; g < groupCount; ++g) {
            Variant group;
            VARIANT at;
            ::VariantInit(&at);
            at.vt = VT_I4;
            at.lVal = g;
            Get(groups.get(), L"Item", &at, 1, group);
            found.SubMatches.push_back(group.get()->vt == VT_EMPTY ? std::wstring() : group.str());
        }
        out.push_back(std::move(found));
    }
    return out;
}

std::wstring basRegExp::RegExpReplaceByMatches(const std::wstring& text, const std::wstring& pattern,
                                               const std::wstring& replacement) {
    const std::wstring ownText = text, ownReplacement = replacement;
    const std::vector<RegExpMatch> matches = RegExpExecute(ownText, pattern);
    if (matches.empty()) return ownText;
    std::wstring out;
    out.reserve(ownText.size());
    size_t at = 0;
    for (const RegExpMatch& match : matches) {
        const size_t start = static_cast<size_t>(match.FirstIndex);
        const size_t end = start + match.Value.size();
        if (start < at || end > ownText.size()) continue;  // the engine's positions are in order
        out.append(ownText, at, start - at);
        const size_t groups = match.SubMatches.size();
        for (size_t i = 0; i < ownReplacement.size(); ++i) {
            const wchar_t c = ownReplacement[i];
            if (c != L'$' || i + 1 >= ownReplacement.size()) {
                out += c;
                continue;
            }
            const wchar_t next = ownReplacement[i + 1];
            if (next == L'$') {
                out += L'$';
                ++i;
            } else if (next == L'&') {
                out += match.Value;
                ++i;
            } else if (next == L'`') {
                out.append(ownText, 0, start);
                ++i;
            } else if (next == L'\'') {
                out.append(ownText, end, std::wstring::npos);
                ++i;
            } else if (next >= L'0' && next <= L'9') {
                // Two digits when they name a group, else one; $0 and groups that do not exist
                // stay as they are written.
                size_t number = static_cast<size_t>(next - L'0');
                size_t used = 1;
                if (i + 2 < ownReplacement.size() && ownReplacement[i + 2] >= L'0' && ownReplacement[i + 2] <= L'9') {
                    const size_t two = number * 10 + static_cast<size_t>(ownReplacement[i + 2] - L'0');
                    if (two >= 1 && two <= groups) {
                        number = two;
                        used = 2;
                    }
                }
                if (number >= 1 && number <= groups) {
                    out += match.SubMatches[number - 1];
                    i += used;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        at = end;
    }
    out.append(ownText, at, std::wstring::npos);
    return out;
}

std::wstring basRegExp::RegExpReplaceAllByMatches(const std::wstring& text, const std::wstring& pattern,
                                                  const std::wstring& replacement) {
    std::wstring current = text;
    const std::wstring ownPattern = pattern, ownReplacement = replacement;
    for (int pass = 0; pass < kMaxReplacePasses; ++pass) {
        std::wstring next = RegExpReplaceByMatches(current, ownPattern, ownReplacement);
        if (next == current) break;
        current = std::move(next);
    }
    return current;
}

}  // namespace quorallion
