#pragma once
// Base64 through the platform's CryptBinaryToStringW: lines of 64 characters, each ended by
// CR LF (the last one too). Empty input gives the empty text.
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion::basBase64 {

// The empty text when the input is empty or the platform call fails.
std::wstring EncodeBytes(const std::vector<uint8_t>& bytes);
std::wstring EncodeBytes(const uint8_t* data, size_t size);
// The text's bytes in the system's ANSI code page.
std::wstring EncodeString(const std::wstring& text);
// The whole file; the empty text when it does not exist or is empty. A file that exists but
// cannot be opened or read raises FileError (70 when access is refused or another process holds
// it, 75 for other open failures, 57 for a failed read).
std::wstring EncodeFile(const std::wstring& path);

}  // namespace quorallion::basBase64
