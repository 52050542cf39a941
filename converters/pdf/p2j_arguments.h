#pragma once
// The fixed argument vector that QuorallionPdf hands Ghostscript, built from UTF-8 texts (the
// library asks Ghostscript to read its arguments as UTF-8, so every path survives whatever the
// system's code pages are).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorallion::pdf {

// Ghostscript's argument encodings.
constexpr int kArgEncodingLocal = 0;
constexpr int kArgEncodingUtf8 = 1;

// A drive-letter path ("C:\", "C:/") or a UNC path ("\\server\share", "\\?\C:\"). Anything else
// could read as a switch ("-dNOSAFER") or an argument file ("@list") to Ghostscript.
bool IsAbsoluteWindowsPath(std::string_view path);

// The 17 entries, in order; nothing when the PDF path is not absolute.
std::optional<std::vector<std::string>> BuildP2JArguments(std::string_view device, int32_t resolution,
                                                          std::string_view pdfPath,
                                                          std::string_view outputPattern);

}  // namespace quorallion::pdf
