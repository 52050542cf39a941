// QuorallionEchoCore.exe: the stand-in core of version 99001 ("QuorallionCore2.Core99001").
// GetInfo answers {"config":..,"action":..,"param1":..,"param2":..,"param3":..,"pid":..};
// the action "fail" makes the call fail.
#include <windows.h>

#include <new>
#include <string>

#include "EchoCore_h.h"
#include "clsJson.h"
#include "com/com_ptr.h"
#include "com/typelib_object.h"

namespace {

using namespace quorallion;

class EchoCore final : public com::TypeLibObject<_EchoCore, &IID__EchoCore> {
public:
    using TypeLibObject::TypeLibObject;

    HRESULT STDMETHODCALLTYPE GetInfo(BSTR config, BSTR action, BSTR param1, BSTR param2,
                                      BSTR param3, BSTR* reply) override {
        *reply = nullptr;
        if (com::Bstr::ToString(action) == L"fail") return E_FAIL;
        icore::clsJson json;
        json.SetItem(L"config", com::Bstr::ToString(config));
        json.SetItem(L"action", com::Bstr::ToString(action));
        json.SetItem(L"param1", com::Bstr::ToString(param1));
        json.SetItem(L"param2", com::Bstr::ToString(param2));
        json.SetItem(L"param3", com::Bstr::ToString(param3));
        json.SetItem(L"pid", std::to_wstring(::GetCurrentProcessId()));
        std::wstring text = json.GetJsonObjectString();
        *reply = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return S_OK;
    }

};

HRESULT CreateEchoCore(REFIID iid, void** out) { return EchoCore::Create<EchoCore>(iid, out); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static const com::LocalServerInfo info{
        CLSID_EchoCore99001, LIBID_QuorallionEchoCore, L"EchoCore99001",
        L"QuorallionCore2.Core99001", L"Quorallion Core V99001", CreateEchoCore,
    };
    return com::RunLocalServer(info, commandLine);
}
