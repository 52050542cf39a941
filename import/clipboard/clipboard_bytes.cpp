#include "clipboard/clipboard_bytes.h"

namespace quorallion::clipboard {

std::wstring Utf16LeBytesToText(const uint8_t* data, size_t size) {
    std::wstring text;
    if (!data) return text;
    const size_t units = size / 2;
    text.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        char32_t unit = static_cast<char32_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit == 0) break;
        if constexpr (sizeof(wchar_t) >= 4) {
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
                char32_t low = static_cast<char32_t>(data[2 * i + 2] | (data[2 * i + 3] << 8));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

std::string TextToUtf16LeBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    auto put = [&bytes](char32_t unit) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    };
    for (wchar_t c : text) {
        char32_t code = static_cast<char32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code & 0xFFFF);
        }
    }
    return bytes;
}

}  // namespace quorallion::clipboard
