// QuorallionICore.exe: the out-of-process server of ICore.
#include <windows.h>

#include "ICore_h.h"
#include "com/local_server.h"
#include "server/icore_object.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static const quorallion::com::LocalServerInfo info{
        CLSID_ICore,
        LIBID_QuorallionICore,
        L"ICore",
        L"QuorallionICore.ICore",
        L"Quorallion ICore",
        [](REFIID iid, void** out) { return quorallion::icore::CreateIcoreObject(iid, out); },
    };
    return quorallion::com::RunLocalServer(info, commandLine);
}
