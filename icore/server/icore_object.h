#pragma once
#include <windows.h>

namespace quorallion::icore {

// Makes the COM object that a client of ICore receives.
HRESULT CreateIcoreObject(REFIID iid, void** out);

}  // namespace quorallion::icore
