#include "emf_pixel_size.h"

#include <algorithm>
#include <limits>

namespace quorallion::emf {

std::optional<int64_t> MulDiv64(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return std::nullopt;
    __int128 product = static_cast<__int128>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const __int128 magnitude = product < 0 ? -product : product;
    const __int128 divisor = c < 0 ? -static_cast<__int128>(c) : c;
    __int128 quotient = (magnitude + divisor / 2) / divisor;
    const __int128 limit = std::numeric_limits<int64_t>::max();
    if (quotient > limit) quotient = limit;
    return static_cast<int64_t>(negative ? -quotient : quotient);
}

std::optional<Resolution> GetEmfReferenceDpi(const EmfHeaderSizes& header) {
    std::optional<int64_t> x = MulDiv64(header.deviceWidth, 254, int64_t{header.millimetersWidth} * 10);
    std::optional<int64_t> y = MulDiv64(header.deviceHeight, 254, int64_t{header.millimetersHeight} * 10);
    if (!x || !y || *x <= 0 || *y <= 0) return std::nullopt;
    return Resolution{*x, *y};
}

bool ScaleToScreenDpi(const Resolution& screen, const Resolution& from, int64_t& x, int64_t& y) {
    if (screen.x <= 0 || screen.y <= 0 || from.x <= 0 || from.y <= 0) return false;
    x = *MulDiv64(x, screen.x, from.x);
    y = *MulDiv64(y, screen.y, from.y);
    return true;
}

SizeResult CalcEmfPixelSize(const EmfHeaderSizes& header, const Resolution& screen) {
    std::optional<Resolution> dpi = GetEmfReferenceDpi(header);
    if (!dpi) return {SizeOutcome::NoHeader, {}};
    int64_t maxW = header.deviceWidth, maxH = header.deviceHeight;
    if (!ScaleToScreenDpi(screen, *dpi, maxW, maxH)) return {SizeOutcome::NoScreen, {}};

    const int64_t frameW = int64_t{header.frameRight} - header.frameLeft + 1;
    const int64_t frameH = int64_t{header.frameBottom} - header.frameTop + 1;
    int64_t w = *MulDiv64(frameW, dpi->x, 2540), h = *MulDiv64(frameH, dpi->y, 2540);
    ScaleToScreenDpi(screen, *dpi, w, h);
    w = std::max<int64_t>(w, 1);
    h = std::max<int64_t>(h, 1);
    if (w <= maxW && h <= maxH) return {SizeOutcome::Ok, {w, h}};

    int64_t boundW, boundH;
    if (maxW >= maxH) {
        boundH = std::min(h, maxH);
        boundW = *MulDiv64(boundH, w, h);
    } else {
        boundW = std::min(w, maxW);
        boundH = *MulDiv64(boundW, h, w);
    }
    // A device so small that its bound rounds to nothing still gets one pixel per side.
    return {SizeOutcome::Ok, {std::max<int64_t>(boundW, 1), std::max<int64_t>(boundH, 1)}};
}

bool FitsInBitmap(const PixelSize& size) {
    constexpr int64_t kMaxBytes = std::numeric_limits<int32_t>::max();
    if (size.width < 1 || size.height < 1 || size.width > kMaxBytes / 4) return false;
    const int64_t row24 = (size.width * 3 + 3) / 4 * 4;
    return size.height <= kMaxBytes / (size.width * 4) && size.height <= kMaxBytes / row24;
}

}  // namespace quorallion::emf
