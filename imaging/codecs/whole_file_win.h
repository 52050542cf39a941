#pragma once
// Writing a whole file so that a failed save never costs the old one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion::codecs {

// Writes the bytes to a temporary file beside fileName and, only once every byte is written,
// puts it in the place of fileName (an existing file that is read-only, hidden or system is made
// normal just before). On any failure the temporary file is deleted and an existing fileName stays
// as it was, attributes included.
bool WriteWholeFile(const std::wstring& fileName, const uint8_t* data, size_t size);
bool WriteWholeFile(const std::wstring& fileName, const std::vector<uint8_t>& data);

}  // namespace quorallion::codecs
