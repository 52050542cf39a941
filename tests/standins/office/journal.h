#pragma once
// The journal of an Office stand-in (tests only): one UTF-8 line per automation call,
//   <object> TAB <member> TAB <kind> { TAB <argument> }
// kind is "get", "put" or "call"; each argument is written as its type and value, "&" before the
// type of a by-reference one: "BSTR:C:\x.doc", "&I4:17", "&BOOL:true", "missing", "EMPTY:".
// Tabs, CR and LF inside texts are written as \t, \r and \n. The file is appended to and closed
// after every line, so a test may read it while the stand-in runs.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "support/utf8.h"

namespace quorallion::standin {

class Journal {
public:
    static void Open(const std::wstring& path) { Path() = path; }
    static const std::wstring& File() { return Path(); }

    static void Line(const std::wstring& text) {
        if (Path().empty()) return;
        HANDLE file = ::CreateFileW(Path().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        const std::string bytes = testing::Utf8(text + L"\n");
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    static void Record(const std::wstring& object, const std::wstring& member, WORD flags, const DISPPARAMS* params) {
        std::wstring line = object + L"\t" + member + L"\t" +
                            ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? L"put"
                             : (flags & DISPATCH_METHOD)                              ? L"call"
                                                                                      : L"get");
        if (params)
            for (UINT i = params->cArgs; i-- > 0;) line += L"\t" + Describe(params->rgvarg[i]);
        Line(line);
    }

    static std::wstring Describe(const VARIANT& v) {
        if (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND) return L"missing";
        std::wstring prefix = (v.vt & VT_BYREF) ? L"&" : L"";
        VARIANT plain;
        ::VariantInit(&plain);
        const VARTYPE type = static_cast<VARTYPE>(v.vt & ~VT_BYREF);
        if (v.vt == (VT_BYREF | VT_VARIANT)) return L"&VARIANT:" + (v.pvarVal ? Describe(*v.pvarVal) : L"");
        std::wstring name;
        switch (type) {
        case VT_EMPTY: return prefix + L"EMPTY:";
        case VT_BSTR: name = L"BSTR"; break;
        case VT_I4: name = L"I4"; break;
        case VT_I2: name = L"I2"; break;
        case VT_BOOL: name = L"BOOL"; break;
        case VT_R8: name = L"R8"; break;
        case VT_DISPATCH: return prefix + L"DISPATCH:";
        default: name = L"VT" + std::to_wstring(type); break;
        }
        if (type == VT_BOOL) {
            const VARIANT_BOOL b = (v.vt & VT_BYREF) ? (v.pboolVal ? *v.pboolVal : 0) : v.boolVal;
            return prefix + name + (b ? L":true" : L":false");
        }
        VARIANT copy;
        ::VariantInit(&copy);
        std::wstring text;
        if (SUCCEEDED(::VariantChangeType(&copy, const_cast<VARIANT*>(&v), 0, VT_BSTR)) && copy.bstrVal)
            text.assign(copy.bstrVal, ::SysStringLen(copy.bstrVal));
        ::VariantClear(&copy);
        return prefix + name + L":" + Escape(text);
    }

    static std::wstring Escape(const std::wstring& text) {
        std::wstring out;
        for (wchar_t c : text) {
            if (c == L'\t') out += L"\\t";
            else if (c == L'\r') out += L"\\r";
            else if (c == L'\n') out += L"\\n";
            else out += c;
        }
        return out;
    }

private:
    static std::wstring& Path() {
        static std::wstring path;
        return path;
    }
};

}  // namespace quorallion::standin
