#include "pdf/resize_target.h"

#include <cmath>
#include <limits>

namespace quorallion::pdf {

namespace {

// a × b / c to the nearest whole number, halves to even; nothing when c is 0.
std::optional<int64_t> ScaledHalfEven(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return std::nullopt;
    const long double exact = static_cast<long double>(a) * b / c;
    const long double down = std::floor(exact), fraction = exact - down;
    long double rounded = down;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(down, 2.0L) != 0)) rounded = down + 1;
    if (std::fabs(rounded) > static_cast<long double>(std::numeric_limits<int64_t>::max() / 2)) return std::nullopt;
    return static_cast<int64_t>(rounded);
}

bool FitsSide(int64_t side) { return side >= 1 && side <= std::numeric_limits<int32_t>::max(); }

}  // namespace

std::optional<TargetSize> ResizeTarget(int32_t imageWidth, int32_t imageHeight, int32_t width,
                                       int32_t height, double factor) {
    int64_t newWidth, newHeight;
    if (factor == -1) {
        newWidth = width;
        newHeight = height;
        if (width == -1) {
            std::optional<int64_t> w = ScaledHalfEven(imageWidth, height, imageHeight);
            if (!w) return std::nullopt;
            newWidth = *w;
        }
        if (height == -1) {
            std::optional<int64_t> h = ScaledHalfEven(imageHeight, newWidth, imageWidth);
            if (!h) return std::nullopt;
            newHeight = *h;
        }
    } else {
        const double w = std::trunc(imageWidth * factor), h = std::trunc(imageHeight * factor);
        if (!(w >= 1 && h >= 1 && w <= std::numeric_limits<int32_t>::max() &&
              h <= std::numeric_limits<int32_t>::max())) {
            return std::nullopt;
        }
        newWidth = static_cast<int64_t>(w);
        newHeight = static_cast<int64_t>(h);
    }
    if (!FitsSide(newWidth) || !FitsSide(newHeight)) return std::nullopt;
    return TargetSize{static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight)};
}

SaveKind SaveKindForTarget(const std::wstring& targetPath) {
    const size_t dot = targetPath.rfind(L'.');
    std::wstring extension = dot == std::wstring::npos ? L"" : targetPath.substr(dot + 1);
    for (wchar_t& c : extension)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (extension == L"gif") return SaveKind::Gif;
    if (extension == L"jpg" || extension == L"jpeg") return SaveKind::Jpg;
    if (extension == L"bmp") return SaveKind::Bmp;
    if (extension == L"tga") return SaveKind::Tga;
    return SaveKind::Png;
}

}  // namespace quorallion::pdf
