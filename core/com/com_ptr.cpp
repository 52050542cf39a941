#include "com/com_ptr.h"

#include <vector>

namespace quorallion::com {

std::wstring Variant::str() const {
    if (v_.vt == VT_BSTR) return Bstr::ToString(v_.bstrVal);
    VARIANT copy;
    ::VariantInit(&copy);
    std::wstring out;
    if (SUCCEEDED(::VariantChangeType(&copy, const_cast<VARIANT*>(&v_), 0, VT_BSTR)))
        out = Bstr::ToString(copy.bstrVal);
    ::VariantClear(&copy);
    return out;
}

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
               VARIANT* result, EXCEPINFO* exception) {
    if (!object) return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // IDispatch takes its arguments last to first.
    std::vector<VARIANT> reversed(args, args + argCount);
    for (UINT i = 0; i < argCount; ++i) reversed[i] = args[argCount - 1 - i];
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = argCount;
    DISPID namedPut = DISPID_PROPERTYPUT;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }
    EXCEPINFO localException{};
    UINT argError = 0;
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                        exception ? exception : &localException, &argError);
    if (!exception) {
        ::SysFreeString(localException.bstrSource);
        ::SysFreeString(localException.bstrDescription);
        ::SysFreeString(localException.bstrHelpFile);
    }
    return hr;
}

}  // namespace quorallion::com
