#include "encoding/utf_units.h"

namespace quorallion::utf {
namespace {

constexpr bool kWide16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

void AppendCodePoint(std::wstring& out, char32_t codePoint) {
    if (kWide16 && codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        out += static_cast<wchar_t>(codePoint);
    }
}

std::wstring DecodeUtf16(const uint8_t* data, size_t size, bool bigEndian, OddByte odd) {
    std::u16string units;
    units.reserve(size / 2 + 1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint8_t first = data[i], second = data[i + 1];
        units += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    if (size % 2 == 1) {
        if (odd == OddByte::kAsUnit && !bigEndian) units += static_cast<char16_t>(data[size - 1]);
        if (odd == OddByte::kReplaced) units += static_cast<char16_t>(kReplacement);
    }
    if (kWide16) return std::wstring(units.begin(), units.end());
    std::wstring out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out += static_cast<wchar_t>(u);
    }
    return out;
}

std::wstring DecodeUtf32(const uint8_t* data, size_t size, bool bigEndian) {
    std::wstring out;
    out.reserve(size / 4 + 1);
    for (size_t i = 0; i + 3 < size; i += 4) {
        char32_t c = bigEndian
                         ? (char32_t(data[i]) << 24 | char32_t(data[i + 1]) << 16 |
                            char32_t(data[i + 2]) << 8 | data[i + 3])
                         : (char32_t(data[i + 3]) << 24 | char32_t(data[i + 2]) << 16 |
                            char32_t(data[i + 1]) << 8 | data[i]);
        if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) c = kReplacement;
        AppendCodePoint(out, c);
    }
    if (size % 4 != 0) AppendCodePoint(out, kReplacement);
    return out;
}

std::u32string CodePoints(const std::wstring& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t u = static_cast<char32_t>(text[i]);
        if (kWide16) {
            u &= 0xFFFF;
            if (IsHighSurrogate(u) && i + 1 < text.size()) {
                char32_t next = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (IsLowSurrogate(next)) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
                    ++i;
                }
            }
        }
        out += u;
    }
    return out;
}

}  // namespace quorallion::utf
