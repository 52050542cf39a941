#pragma once
#include "services.h"

namespace quorallion {

// The neighbours that this build of QuorallionCore2 has.
const CoreServices& ProductServices();

}  // namespace quorallion
