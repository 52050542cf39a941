#pragma once
// Turning the raw bytes of a clipboard block into text without reading past the block.
// A clipboard block is whatever another program put there: its size may be odd, larger than the
// data, or lack the terminating NUL.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorallion::clipboard {

// UTF-16LE units from the start of the block up to the first NUL unit (or the last whole unit
// when there is none); an odd trailing byte is dropped. Where wchar_t is 32-bit, surrogate pairs
// are joined and a lone surrogate is kept as it stands.
std::wstring Utf16LeBytesToText(const uint8_t* data, size_t size);

// UTF-16 units of a text, little-endian, without a terminator.
std::string TextToUtf16LeBytes(const std::wstring& text);

}  // namespace quorallion::clipboard
