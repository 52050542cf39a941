#pragma once
// Decoding of UTF-16 and UTF-32 bytes by our own code: the platform's conversion refuses the
// code pages 1200, 1201, 12000 and 12001. Works for 16-bit (Windows) and 32-bit wchar_t.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorallion::utf {

constexpr char32_t kReplacement = 0xFFFD;

// Appends one code point: as a surrogate pair where wchar_t is 16 bits wide.
void AppendCodePoint(std::wstring& out, char32_t codePoint);

// Each pair of bytes is one UTF-16 unit, kept as it stands (lone surrogates included).
// An odd last byte: kOddByteAsUnit makes it a unit with high byte 0 (little-endian only),
// kOddByteDropped drops it, kOddByteReplaced gives U+FFFD.
enum class OddByte { kAsUnit, kDropped, kReplaced };
std::wstring DecodeUtf16(const uint8_t* data, size_t size, bool bigEndian, OddByte odd);

// Each four bytes are one code point; values that are not scalar values, and a cut last
// group, give U+FFFD.
std::wstring DecodeUtf32(const uint8_t* data, size_t size, bool bigEndian);

// Code points of a text: surrogate pairs combined where wchar_t is 16 bits wide; lone
// surrogates come through as they are.
std::u32string CodePoints(const std::wstring& text);

}  // namespace quorallion::utf
