#pragma once
// Bytes to text by a charset name (after byte-order-mark and UTF-8 recognition) and text to
// UTF-8 or to a charset's code page. Charsets: "GB2312"/"GBK" 936, "BIG5" 950, "UTF-8" 65001,
// "ISO-8859-1" 28591, anything else 0 (the system's ANSI code page).
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion::basUTF8ToUnicode {

// Upper-cased and compared exactly, without trimming.
int32_t CharsetToCodePage(const std::wstring& charset);

// Windows only. None of them raises: a failure gives an empty text or an empty array.
std::wstring ByteArrayToString(const std::vector<uint8_t>& bytes, const std::wstring& charset);
std::vector<uint8_t> StringToUTF8Bytes(const std::wstring& text);
std::vector<uint8_t> StringToCharsetBytes(const std::wstring& text, const std::wstring& charset);

}  // namespace quorallion::basUTF8ToUnicode
