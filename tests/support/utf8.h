#pragma once
// UTF-16 <-> UTF-8 for test programs, stand-ins and benchmarks (the product has its own converters).
#include <windows.h>

#include <string>

namespace quorallion::testing {

inline std::string Utf8(const std::wstring& text) {
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                          nullptr, nullptr);
    return out;
}

inline std::wstring Wide(const std::string& text) {
    int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), units);
    return out;
}

}  // namespace quorallion::testing
