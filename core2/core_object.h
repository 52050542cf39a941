#pragma once
#include <windows.h>

namespace quorallion {

struct CoreServices;

// Makes the COM object that a client of "QuorallionCore2.Core15200" receives.
HRESULT CreateCoreObject(const CoreServices& services, REFIID iid, void** out);

}  // namespace quorallion
