#pragma once
// The running program's name without folder and extension: the start of a library error's
// source ("QuorallionCore2.cRegistry", "QuorallionCore2.CommonDialog").
#include <string>

namespace quorallion {
std::wstring ProgramName();
}  // namespace quorallion
