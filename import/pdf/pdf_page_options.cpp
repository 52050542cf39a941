#include "pdf/pdf_page_options.h"

#include <cmath>

namespace quorallion::pdf {

namespace {

constexpr int32_t kDefaultScale = 100;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value) {
    const double down = std::floor(value), fraction = value - down;
    if (fraction > 0.5) return down + 1;
    if (fraction < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

}  // namespace

int32_t ParseScalePercent(const std::wstring& bl) {
    std::wstring text;
    for (wchar_t c : bl)
        if (c != L'%') text += c;
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    double value = 0, unit = 1;
    bool digits = false, point = false;
    for (; i < end; ++i) {
        if (IsDigit(text[i])) {
            digits = true;
            if (point) {
                unit /= 10;
                value += (text[i] - L'0') * unit;
            } else if (value < 1e9) {  // past this it is out of range anyway: stop growing
                value = value * 10 + (text[i] - L'0');
            }
        } else if (text[i] == L'.' && !point) {
            point = true;
        } else {
            return kDefaultScale;
        }
    }
    if (!digits) return kDefaultScale;
    const double rounded = RoundHalfEven(negative ? -value : value);
    return rounded >= 10 && rounded <= 300 ? static_cast<int32_t>(rounded) : kDefaultScale;
}

PageOptions ReadPageOptions(const std::wstring& imgtype, const std::wstring& bl) {
    PageOptions options;
    options.jpg = imgtype == L"jpg";
    options.scale = ParseScalePercent(bl);
    options.factor = options.scale < 200 ? 2 : 1;
    options.resolution = static_cast<int32_t>(RoundHalfEven(options.factor * 96.0 * options.scale / 100.0));
    return options;
}

std::wstring PagePattern(const std::wstring& jobFolder) {
    std::wstring pattern;
    for (wchar_t c : jobFolder) {
        pattern += c;
        if (c == L'%') pattern += L'%';
    }
    return pattern + L"%d.png";
}

std::wstring RenderedPageName(int32_t page) { return std::to_wstring(page) + L".png"; }

std::wstring ShrunkPageName(int32_t page, bool jpg) {
    return std::to_wstring(page) + (jpg ? L"s.jpg" : L"s.png");
}

}  // namespace quorallion::pdf
