#pragma once
// The frame of an out-of-process automation server: registration of the class and its type
// library, the class factory, the lock count that ends the process, and the message loop.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

namespace quorallion::com {

struct LocalServerInfo {
    CLSID clsid;
    GUID libid;
    const wchar_t* className;       // "Core15200"
    const wchar_t* progId;          // "QuorallionCore2.Core15200"
    const wchar_t* windowCaption;   // caption of the hidden "ThunderRT6Main" window
    // Makes a new object for a client and returns its IUnknown with one reference.
    std::function<HRESULT(REFIID, void**)> createInstance;
};

// Counts the objects and server locks of the process; at zero the message loop ends.
void ServerAddRef();
void ServerRelease();

// Writes the class under HKCR and registers the type library embedded in this program.
HRESULT RegisterLocalServer(const LocalServerInfo& info);
HRESULT UnregisterLocalServer(const LocalServerInfo& info);

// The type information of one interface of the type library embedded in this module.
HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** typeInfo);

// Handles /RegServer, /UnregServer and -Embedding; otherwise serves until the last object goes.
int RunLocalServer(const LocalServerInfo& info, const wchar_t* commandLine);

}  // namespace quorallion::com
