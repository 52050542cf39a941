// QuorallionCore2.exe: the out-of-process server of Core15200.
#include <windows.h>

#include "Core15200_h.h"
#include "com/local_server.h"
#include "core_object.h"
#include "product_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static const quorallion::com::LocalServerInfo info{
        CLSID_Core15200,
        LIBID_QuorallionCore2,
        L"Core15200",
        L"QuorallionCore2.Core15200",
        L"Quorallion Core V15200",
        [](REFIID iid, void** out) {
            return quorallion::CreateCoreObject(quorallion::ProductServices(), iid, out);
        },
    };
    return quorallion::com::RunLocalServer(info, commandLine);
}
