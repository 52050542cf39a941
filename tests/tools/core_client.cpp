// core_client <action> [param1] [param2] [config]: one GetInfo call on Core15200, reply on stdout
// in UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>

#include "com/com_ptr.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: core_client <action> [param1] [param2] [config]\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    int exitCode = 1;
    {
        CLSID clsid;
        quorallion::com::ComPtr<IDispatch> core;
        HRESULT hr = ::CLSIDFromProgID(L"QuorallionCore2.Core15200", &clsid);
        if (SUCCEEDED(hr))
            hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, core.put_void());
        if (FAILED(hr)) {
            std::fprintf(stderr, "cannot create QuorallionCore2.Core15200: 0x%08lx\n", hr);
        } else {
            std::wstring args[5] = {argc > 4 ? argv[4] : L"{}", argv[1], argc > 2 ? argv[2] : L"",
                                    argc > 3 ? argv[3] : L"", L""};
            VARIANT variants[5];
            for (int i = 0; i < 5; ++i) {
                ::VariantInit(&variants[i]);
                variants[i].vt = VT_BSTR;
                variants[i].bstrVal = ::SysAllocString(args[i].c_str());
            }
            quorallion::com::Variant result;
            hr = quorallion::com::Invoke(core.get(), L"GetInfo", DISPATCH_METHOD, variants, 5,
                                         result.put());
            std::wstring reply = result.str();
            // A job answers "wait"; its reply is fetched from the same object.
            for (int i = 0; SUCCEEDED(hr) && reply == L"{\"state\":\"wait\"}" && i < 6000; ++i) {
                ::Sleep(50);
                ::VariantClear(&variants[1]);
                variants[1].vt = VT_BSTR;
                variants[1].bstrVal = ::SysAllocString(L"asyncresult");
                hr = quorallion::com::Invoke(core.get(), L"GetInfo", DISPATCH_METHOD, variants, 5,
                                             result.put());
                reply = result.str();
            }
            for (VARIANT& v : variants) ::VariantClear(&v);
            if (SUCCEEDED(hr)) {
                int bytes = ::WideCharToMultiByte(CP_UTF8, 0, reply.data(), static_cast<int>(reply.size()),
                                                  nullptr, 0, nullptr, nullptr);
                std::string utf8(static_cast<size_t>(bytes), '\0');
                ::WideCharToMultiByte(CP_UTF8, 0, reply.data(), static_cast<int>(reply.size()),
                                      utf8.data(), bytes, nullptr, nullptr);
                std::printf("%s\n", utf8.c_str());
                exitCode = 0;
            } else {
                std::fprintf(stderr, "GetInfo failed: 0x%08lx\n", hr);
            }
        }
    }
    ::CoUninitialize();
    return exitCode;
}
