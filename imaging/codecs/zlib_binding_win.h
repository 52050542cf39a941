#pragma once
// zlib for the PNG codecs on Windows: "zlib1.dll" or "zlib.dll", found by name at run time and
// called through cCDECL, handed to the pure codecs as plain functions.
#include <string>
#include <vector>

#include "png_zlib.h"

namespace quorallion::codecs {

// The library names tried, in this order. Tests replace them to run the roads without zlib
// (Wine's own user32.dll imports a zlib1.dll, so one is always loadable there).
const std::vector<std::wstring>& ZlibLibraryNames();
void SetZlibLibraryNamesForTest(std::vector<std::wstring> names);

// For the reader: "uncompress" of the first library that exports it; empty functions when none.
ZlibFunctions LoadZlibForReading();
// For the writer: "compress2" of either library, else "compress" of either; empty when none.
ZlibFunctions LoadZlibForWriting();

}  // namespace quorallion::codecs
