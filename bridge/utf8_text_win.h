#pragma once
// UTF-8 <-> UTF-16 for the bridge's two sides. Malformed input gets the replacement character.
#include <string>

namespace quorallion::bridge {

// A NUL-terminated UTF-8 text as a BSTR-ready UTF-16 text; nullptr is the empty text.
std::wstring Utf8ToWide(const char* text);

// A new NUL-terminated UTF-8 buffer from the process heap, or nullptr when out of memory.
char* WideToNewUtf8(const wchar_t* text, size_t length);

}  // namespace quorallion::bridge
