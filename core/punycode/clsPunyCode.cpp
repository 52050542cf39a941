#include "punycode/clsPunyCode.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "encoding/utf_units.h"

namespace quorallion {
namespace {

constexpr uint32_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700;
constexpr uint32_t kInitialBias = 72, kInitialN = 128;
constexpr uint32_t kMaxInt = UINT32_MAX;
constexpr size_t kMaxLabelUnits = 63;
constexpr char kBadInputText[] = "Not a valid punycode domain. Bad input.";

bool IsAllowedAscii(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'-';
}

// Lower case for the scripts whose capitals have simple one-to-one small letters.
char32_t ToLower(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool evenIsCapital = (c < 0x139) || (c > 0x148 && c < 0x179);
        if ((c % 2 == 0) == evenIsCapital) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

// Trims blanks at both ends and lower-cases, as code points.
std::u32string Prepare(const std::wstring& domain) {
    std::u32string points = utf::CodePoints(domain);
    size_t first = points.find_first_not_of(U' ');
    if (first == std::u32string::npos) return {};
    size_t last = points.find_last_not_of(U' ');
    std::u32string out = points.substr(first, last - first + 1);
    for (char32_t& c : out) c = ToLower(c);
    return out;
}

// Length as the system counts it: UTF-16 units.
size_t Utf16Length(const std::u32string& points) {
    size_t units = 0;
    for (char32_t c : points) units += c > 0xFFFF ? 2 : 1;
    return units;
}

std::wstring ToWide(const std::u32string& points) {
    std::wstring out;
    for (char32_t c : points) utf::AppendCodePoint(out, c);
    return out;
}

// Splits at "."; a trailing "." ends the list without an empty label.
std::vector<std::u32string> Labels(const std::u32string& domain) {
    std::vector<std::u32string> labels;
    size_t start = 0;
    while (start < domain.size()) {
        size_t dot = domain.find(U'.', start);
        if (dot == std::u32string::npos) dot = domain.size();
        labels.push_back(domain.substr(start, dot - start));
        start = dot + 1;
    }
    return labels;
}

uint32_t Adapt(uint32_t delta, uint32_t points, bool firstTime) {
    delta = firstTime ? delta / kDamp : delta / 2;
    delta += delta / points;
    uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

uint32_t Threshold(uint32_t k, uint32_t bias) {
    if (k <= bias) return kTMin;
    if (k >= bias + kTMax) return kTMax;
    return k - bias;
}

wchar_t DigitChar(uint32_t digit) {
    return static_cast<wchar_t>(digit < 26 ? L'a' + digit : L'0' + (digit - 26));
}

std::optional<uint32_t> DigitValue(wchar_t c) {
    if (c >= L'a' && c <= L'z') return c - L'a';
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'0' && c <= L'9') return c - L'0' + 26;
    return std::nullopt;
}

}  // namespace

bool punycode::EncodeLabel(const std::u32string& input, std::wstring& output) {
    output.clear();
    for (char32_t c : input)
        if (c < 0x80) output += static_cast<wchar_t>(c);
    const uint32_t basicCount = static_cast<uint32_t>(output.size());
    uint32_t handled = basicCount;
    if (basicCount > 0) output += L'-';
    uint32_t n = kInitialN, delta = 0, bias = kInitialBias;
    while (handled < input.size()) {
        uint32_t m = kMaxInt;
        for (char32_t c : input)
            if (c >= n && c < m) m = c;
        if (m - n > (kMaxInt - delta) / (handled + 1)) return false;
        delta += (m - n) * (handled + 1);
        n = m;
        for (char32_t c : input) {
            if (c < n && ++delta == 0) return false;
            if (c != n) continue;
            uint32_t q = delta;
            for (uint32_t k = kBase;; k += kBase) {
                const uint32_t t = Threshold(k, bias);
                if (q < t) break;
                output += DigitChar(t + (q - t) % (kBase - t));
                q = (q - t) / (kBase - t);
            }
            output += DigitChar(q);
            bias = Adapt(delta, handled + 1, handled == basicCount);
            delta = 0;
            ++handled;
        }
        ++delta;
        ++n;
    }
    return true;
}

std::u32string punycode::DecodeLabel(const std::wstring& input) {
    std::u32string output;
    size_t position = 0;
    const size_t delimiter = input.rfind(L'-');
    if (delimiter != std::wstring::npos) {
        for (size_t j = 0; j < delimiter; ++j) {
            if (static_cast<uint32_t>(input[j]) >= 0x80) throw PunyCodeError(kBadInputText);
            output += static_cast<char32_t>(input[j]);
        }
        position = delimiter + 1;
    }
    uint32_t n = kInitialN, i = 0, bias = kInitialBias;
    while (position < input.size()) {
        const uint32_t oldI = i;
        uint32_t w = 1;
        for (uint32_t k = kBase;; k += kBase) {
            if (position >= input.size()) throw PunyCodeError(kBadInputText);
            std::optional<uint32_t> digit = DigitValue(input[position++]);
            if (!digit) throw PunyCodeError(kBadInputText);
            if (*digit > (kMaxInt - i) / w) throw PunyCodeError(kBadInputText);
            i += *digit * w;
            const uint32_t t = Threshold(k, bias);
            if (*digit < t) break;
            if (w > kMaxInt / (kBase - t)) throw PunyCodeError(kBadInputText);
            w *= kBase - t;
        }
        const uint32_t count = static_cast<uint32_t>(output.size()) + 1;
        bias = Adapt(i - oldI, count, oldI == 0);
        if (i / count > kMaxInt - n) throw PunyCodeError(kBadInputText);
        n += i / count;
        i %= count;
        if (n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) throw PunyCodeError(kBadInputText);
        output.insert(output.begin() + i, static_cast<char32_t>(n));
        ++i;
    }
    return output;
}

std::wstring clsPunyCode::DomainPunyEncode(const std::wstring& domain) const {
    std::wstring output;
    for (const std::u32string& label : Labels(Prepare(domain))) {
        if (label.empty() || Utf16Length(label) > kMaxLabelUnits) return domain;
        bool needsEncoding = false;
        for (char32_t c : label) {
            if (c > 127) needsEncoding = true;
            else if (!IsAllowedAscii(c)) return domain;
        }
        std::wstring ascii;
        if (needsEncoding) {
            if (!punycode::EncodeLabel(label, ascii)) return domain;
            ascii = L"xn--" + ascii;
        } else {
            ascii = ToWide(label);
        }
        if (ascii.size() > kMaxLabelUnits) return domain;
        if (!output.empty()) output += L'.';
        output += ascii;
    }
    return output;
}

std::wstring clsPunyCode::DomainPunyDecode(const std::wstring& domain) const {
    // Every label is checked before any is decoded, so an invalid domain never raises.
    std::vector<std::u32string> labels = Labels(Prepare(domain));
    for (const std::u32string& label : labels) {
        if (label.empty() || Utf16Length(label) > kMaxLabelUnits) return domain;
        for (char32_t c : label)
            if (!IsAllowedAscii(c)) return domain;
    }
    std::wstring output;
    for (const std::u32string& label : labels) {
        std::wstring text = ToWide(label);
        std::wstring decoded =
            text.rfind(L"xn--", 0) == 0 ? ToWide(punycode::DecodeLabel(text.substr(4))) : text;
        if (!output.empty()) output += L'.';
        output += decoded;
    }
    return output;
}

}  // namespace quorallion
