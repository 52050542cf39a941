#pragma once
// A client of an automation object the way a page's script host is one: created by ProgID and
// called by name through IDispatch.
#include <windows.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"

namespace quorallion::testing {

class DispatchClient {
public:
    // CoCreateInstance of the ProgID; hr tells why when it fails.
    HRESULT Create(const std::wstring& progId) {
        CLSID clsid;
        HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
        if (FAILED(hr)) return hr;
        return ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                  IID_IDispatch, object_.put_void());
    }
    void Attach(IDispatch* object) { object_ = com::ComPtr<IDispatch>(object); }
    void Reset() { object_.reset(); }
    IDispatch* get() const { return object_.get(); }

    // Calls GetInfo with string arguments; hr receives the call's result.
    std::wstring GetInfo(const std::vector<std::wstring>& args, HRESULT* hr = nullptr) {
        std::vector<VARIANT> variants(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            ::VariantInit(&variants[i]);
            variants[i].vt = VT_BSTR;
            variants[i].bstrVal =
                ::SysAllocStringLen(args[i].data(), static_cast<UINT>(args[i].size()));
        }
        com::Variant result;
        HRESULT callResult = com::Invoke(object_.get(), L"GetInfo", DISPATCH_METHOD,
                                         variants.data(), static_cast<UINT>(variants.size()),
                                         result.put());
        for (VARIANT& v : variants) ::VariantClear(&v);
        if (hr) *hr = callResult;
        return SUCCEEDED(callResult) ? result.str() : std::wstring(L"<call failed>");
    }

    // The core's five arguments: configuration, action and three parameters.
    std::wstring Core(const std::wstring& action, const std::wstring& p1 = L"",
                      const std::wstring& p2 = L"", const std::wstring& config = L"{}",
                      HRESULT* hr = nullptr) {
        return GetInfo({config, action, p1, p2, L""}, hr);
    }

private:
    com::ComPtr<IDispatch> object_;
};

// CoInitialize for the test's thread, undone only when it worked.
class ComApartment {
public:
    ComApartment() : hr_(::CoInitialize(nullptr)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }

private:
    HRESULT hr_;
};

// Lets this thread's messages run for a while (COM replies and timers of in-process objects).
inline void PumpFor(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

}  // namespace quorallion::testing
