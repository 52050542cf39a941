#include "icore_connection_win.h"

#include <ole2.h>

namespace quorallion::bridge {

HRESULT IcoreConnection::EnsureConnected() {
    if (initialised_) return S_OK;
    HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) return hr;
    hr = CreateDispatcher();
    if (FAILED(hr)) {
        // A failed attempt starts over with CoInitialize next time; keep the counts balanced.
        ::CoUninitialize();
        return hr;
    }
    initialised_ = true;
    return S_OK;
}

HRESULT IcoreConnection::CreateDispatcher() {
    icore_.reset();
    com::ComPtr<IUnknown> unknown;
    HRESULT hr = ::CoCreateInstance(CLSID_ICore, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.put_void());
    if (FAILED(hr)) return hr;
    hr = ::OleRun(unknown.get());
    if (FAILED(hr)) return hr;
    return unknown->QueryInterface(IID__ICore, icore_.put_void());
}

HRESULT IcoreConnection::GetInfo(const std::wstring (&texts)[6], com::Bstr& reply) {
    if (!icore_) return E_UNEXPECTED;
    // Held across the call: the host may not re-enter, but a message dispatched while COM
    // waits could reach code that calls Release.
    com::ComPtr<_ICore> icore = icore_;
    com::Bstr args[6] = {com::Bstr(texts[0]), com::Bstr(texts[1]), com::Bstr(texts[2]),
                         com::Bstr(texts[3]), com::Bstr(texts[4]), com::Bstr(texts[5])};
    return icore->GetInfo(args[0].get(), args[1].get(), args[2].get(), args[3].get(), args[4].get(),
                          args[5].get(), reply.put());
}

void IcoreConnection::Release() {
    if (!icore_) return;
    icore_.reset();
    ::CoUninitialize();
    initialised_ = false;
}

}  // namespace quorallion::bridge
