#include <windows.h>

#include <climits>

#include "encoding/basTextUTF.h"
#include "encoding/basUTF8ToUnicode.h"
#include "encoding/utf_units.h"

namespace quorallion {
namespace {

std::wstring FromCodePage(const uint8_t* data, size_t size, UINT codePage) {
    if (size == 0 || size > INT_MAX / 2) return {};
    std::wstring out(size * 2, L'\0');  // two units per byte covers every code page
    int written = ::MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(data),
                                        static_cast<int>(size), out.data(),
                                        static_cast<int>(out.size()));
    out.resize(written > 0 ? written : 0);
    return out;
}

std::vector<uint8_t> ToCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX / 4) return {};
    std::vector<uint8_t> out(text.size() * 3 + 1);
    int written = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                        reinterpret_cast<char*>(out.data()),
                                        static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(written > 0 ? written : 0);
    return out;
}

}  // namespace

std::wstring basUTF8ToUnicode::ByteArrayToString(const std::vector<uint8_t>& bytes,
                                                 const std::wstring& charset) {
    if (bytes.empty()) return {};
    int32_t bomLength = 0;
    const int32_t encoding = basTextUTF::DetectEncoding(bytes, bomLength);
    const uint8_t* payload = bytes.data() + bomLength;
    const size_t size = bytes.size() > size_t(bomLength) ? bytes.size() - bomLength : 0;
    if (size == 0) return {};
    switch (encoding) {
        case basTextUTF::kUtf8Bom:
        case basTextUTF::kUtf8:
            return FromCodePage(payload, size, CP_UTF8);
        // The platform refuses 1200, 1201, 12000 and 12001: decoded here; an incomplete last
        // unit becomes U+FFFD as undecodable bytes do in the platform's conversions.
        case basTextUTF::kUtf16LE:
            return utf::DecodeUtf16(payload, size, false, utf::OddByte::kReplaced);
        case basTextUTF::kUtf16BE:
            return utf::DecodeUtf16(payload, size, true, utf::OddByte::kReplaced);
        case basTextUTF::kUtf32LE:
            return utf::DecodeUtf32(payload, size, false);
        case basTextUTF::kUtf32BE:
            return utf::DecodeUtf32(payload, size, true);
        default:
            return FromCodePage(payload, size, CharsetToCodePage(charset));
    }
}

std::vector<uint8_t> basUTF8ToUnicode::StringToUTF8Bytes(const std::wstring& text) {
    return ToCodePage(text, CP_UTF8);
}

std::vector<uint8_t> basUTF8ToUnicode::StringToCharsetBytes(const std::wstring& text,
                                                            const std::wstring& charset) {
    return ToCodePage(text, CharsetToCodePage(charset));
}

}  // namespace quorallion
