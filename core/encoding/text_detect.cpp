
#include "encoding/basTextUTF.h"
#include "encoding/basUTF8ToUnicode.h"

namespace quorallion {

int32_t basTextUTF::CheckBOM(uint32_t first4, int32_t& encoding) {
    // Order matters: FF FE 00 00 is UTF-32LE, never UTF-16LE starting with NUL.
    if (first4 == 0x0000FEFFu) return encoding = kUtf32LE, 4;
    if (first4 == 0xFFFE0000u) return encoding = kUtf32BE, 4;
    if ((first4 & 0xFFFF) == 0xFEFF) return encoding = kUtf16LE, 2;
    if ((first4 & 0xFFFF) == 0xFFFE) return encoding = kUtf16BE, 2;
    if ((first4 & 0xFFFFFF) == 0xBFBBEF) return encoding = kUtf8Bom, 3;
    encoding = kNone;
    return 0;
}

uint8_t basTextUTF::ShiftByteLeft(uint8_t b) { return static_cast<uint8_t>((b & 0x7F) * 2); }

void basTextUTF::IsUTF8(const uint8_t* data, size_t size, int32_t& encoding) {
    int pending = 0;
    bool allAscii = true;
    for (size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        if (b == 0) break;
        if (b >= 0x80) allAscii = false;
        if (pending == 0) {
            if (b < 0x80) continue;
            int ones = 0;
            for (uint8_t shifted = b; shifted & 0x80; shifted = ShiftByteLeft(shifted)) ++ones;
            if (ones == 1) {  // a continuation byte where a lead byte belongs
                encoding = kNone;
                return;
            }
            pending = ones - 1;
        } else {
            if ((b & 0xC0) != 0x80) {
                encoding = kNone;
                return;
            }
            --pending;
        }
    }
    encoding = (pending == 0 && !allAscii) ? kUtf8 : kNone;
}

void basTextUTF::IsUTF8(const std::vector<uint8_t>& bytes, int32_t& encoding) {
    IsUTF8(bytes.data(), bytes.size(), encoding);
}

int32_t basTextUTF::DetectEncoding(const uint8_t* data, size_t size, int32_t& bomLength) {
    uint32_t first4 = 0;
    for (size_t i = 0; i < 4 && i < size; ++i) first4 |= uint32_t(data[i]) << (8 * i);
    int32_t encoding = kNone;
    bomLength = CheckBOM(first4, encoding);
    if (encoding == kNone) IsUTF8(data, size, encoding);
    return encoding;
}

int32_t basTextUTF::DetectEncoding(const std::vector<uint8_t>& bytes, int32_t& bomLength) {
    return DetectEncoding(bytes.data(), bytes.size(), bomLength);
}

int32_t basUTF8ToUnicode::CharsetToCodePage(const std::wstring& charset) {
    std::wstring upper;
    for (wchar_t c : charset) upper += (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
    if (upper == L"GB2312" || upper == L"GBK") return 936;
    if (upper == L"BIG5") return 950;
    if (upper == L"UTF-8") return 65001;
    if (upper == L"ISO-8859-1") return 28591;
    return 0;
}

}  // namespace quorallion
