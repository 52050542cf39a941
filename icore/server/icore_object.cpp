// The COM face of ICore: the dual interface _ICore over the type library embedded in
// QuorallionICore.exe. The table rules live in the ICore class.
#include "server/icore_object.h"

#include <new>

#include "ICore.h"
#include "ICore_h.h"
#include "com/com_ptr.h"
#include "com/typelib_object.h"
#include "server/core_dispatch_win.h"

namespace quorallion::icore {
namespace {

class IcoreObject final : public com::TypeLibObject<_ICore, &IID__ICore> {
public:
    using TypeLibObject::TypeLibObject;

    HRESULT STDMETHODCALLTYPE GetInfo(BSTR s_Version, BSTR s_Config, BSTR s_Action, BSTR s_Param1,
                                      BSTR s_Param2, BSTR s_Param3, BSTR* reply) override {
        if (!reply) return E_POINTER;
        *reply = nullptr;
        // The forwarded call lets COM dispatch other calls, a client's last Release among them.
        com::ComPtr<_ICore> keepAlive(this);
        std::wstring text;
        try {
            text = dispatcher_.GetInfo(
                com::Bstr::ToString(s_Version),
                CoreCall{com::Bstr::ToString(s_Config), com::Bstr::ToString(s_Action),
                         com::Bstr::ToString(s_Param1), com::Bstr::ToString(s_Param2),
                         com::Bstr::ToString(s_Param3)});
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        *reply = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *reply ? S_OK : E_OUTOFMEMORY;
    }

private:
    DispatchCoreCreator creator_;
    ICore dispatcher_{creator_};
};

}  // namespace

HRESULT CreateIcoreObject(REFIID iid, void** out) {
    return IcoreObject::Create<IcoreObject>(iid, out);
}

}  // namespace quorallion::icore
