#pragma once
// The bridge's one connection to the dispatcher: COM started on the host's thread and the
// _ICore object of QuorallionICore, made at the first call and kept until Release.
#include <windows.h>

#include <string>

#include "ICore_h.h"
#include "com/com_ptr.h"

namespace quorallion::bridge {

class IcoreConnection {
public:
    // Starts COM and creates the dispatcher when not done yet.
    HRESULT EnsureConnected();
    HRESULT GetInfo(const std::wstring (&texts)[6], com::Bstr& reply);
    // Lets go of the dispatcher and of COM; the next call connects again.
    void Release();

private:
    HRESULT CreateDispatcher();

    bool initialised_ = false;
    com::ComPtr<_ICore> icore_;
};

}  // namespace quorallion::bridge
