#pragma once
// What the platform's "VBScript.RegExp" takes characters for, asked of it once per process: its
// white space, letters and word characters, and the units each ASCII literal matches with case
// ignored. The scans of css_scan.h then give the engine's own results.
#include <string>

#include "css/css_scan.h"

namespace quorallion::css {

// The table with the given ASCII literals known as well; nullptr when the engine cannot be
// asked, answers in a way the scans cannot follow, or a literal is not printable ASCII.
// Needs COM on the calling thread. The table is the process's and filled as literals come up:
// call it from one thread, as the single-threaded server does.
const EngineChars* EngineCharsOfPlatform(const std::wstring& literals);

}  // namespace quorallion::css
