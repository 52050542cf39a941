#include "utf8_text_win.h"

#include <windows.h>

#include <cstring>

namespace quorallion::bridge {

std::wstring Utf8ToWide(const char* text) {
    if (!text || !*text) return std::wstring();
    int units = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);  // counts the NUL
    if (units <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), units);
    wide.resize(static_cast<size_t>(units) - 1);
    return wide;
}

char* WideToNewUtf8(const wchar_t* text, size_t length) {
    int bytes = 0;
    if (text && length) {
        bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                      nullptr, nullptr);
        if (bytes < 0) bytes = 0;
    }
    // The host never frees this buffer; it is not ours to reuse either.
    auto* buffer = static_cast<char*>(::HeapAlloc(::GetProcessHeap(), 0, static_cast<size_t>(bytes) + 1));
    if (!buffer) return nullptr;
    if (bytes)
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), buffer, bytes, nullptr,
                              nullptr);
    buffer[bytes] = '\0';
    return buffer;
}

}  // namespace quorallion::bridge
