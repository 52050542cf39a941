#include "pixels/pixel_rotate.h"

#include <algorithm>
#include <cmath>

namespace quorallion::imaging {

int32_t RotatedSide(int32_t destWidth, int32_t destHeight) {
    double side = std::nearbyint(std::sqrt(double(destWidth) * destWidth + double(destHeight) * destHeight));
    return side > 2147483647.0 ? 0 : static_cast<int32_t>(side);
}

bool RotatePixelRect(PixelView source, RotateRequest r, PixelCopy& out) {
    out.Free();
    if (source.empty() || r.destWidth == 0 || r.destHeight == 0) return false;
    const int64_t left = std::max<int64_t>(r.srcX, 0), top = std::max<int64_t>(r.srcY, 0);
    const int64_t right = std::min<int64_t>(int64_t{r.srcX} + r.srcWidth, source.width);
    const int64_t bottom = std::min<int64_t>(int64_t{r.srcY} + r.srcHeight, source.height);
    if (right <= left || bottom <= top) return false;
    const int32_t srcX = static_cast<int32_t>(left), srcW = static_cast<int32_t>(right - left);
    const int32_t srcH = static_cast<int32_t>(bottom - top);
    const int32_t b = static_cast<int32_t>(source.height - bottom);  // bottom storage row

    const int32_t diag = RotatedSide(r.destWidth, r.destHeight);
    if (diag < 1 || !out.Allocate(diag, diag)) return false;

    const double sx = std::abs(double(r.destWidth)) / srcW, sy = std::abs(double(r.destHeight)) / srcH;
    double n = std::fmod(std::nearbyint(r.angle), 360.0);
    const double phi = -4.0 * std::atan(1.0) * n / 180.0;
    const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    const double cx = srcX + srcW / 2, cy = b + srcH / 2;
    const int32_t ox = (diag - srcW) / 2 - srcX, oy = (diag - srcH) / 2 - b;
    PixelView target = out.view();

    for (int32_t outRow = 0; outRow < diag; ++outRow) {
        const double rr = double(outRow) - oy - cy;
        uint8_t* d = target.row(outRow);
        for (int32_t outCol = 0; outCol < diag; ++outCol, d += 4) {
            const double cc = double(outCol) - ox - cx;
            const double xs = (cc * cosPhi + rr * sinPhi) / sx + cx;
            const double ys = (rr * cosPhi - cc * sinPhi) / sy + cy;
            if (!(xs >= srcX && xs < srcX + srcW && ys >= b && ys < b + srcH)) continue;
            const int32_t x0 = static_cast<int32_t>(xs), y0 = static_cast<int32_t>(ys);
            if (!r.bilinear) {
                const uint8_t* s = source.at(x0, y0);
                std::copy(s, s + 4, d);
                continue;
            }
            const int32_t x1 = std::min(x0 + 1, srcX + srcW - 1), y1 = std::min(y0 + 1, b + srcH - 1);
            const double fx = xs - x0, fy = ys - y0;
            const uint8_t* s00 = source.at(x0, y0);
            const uint8_t* s10 = source.at(x1, y0);
            const uint8_t* s01 = source.at(x0, y1);
            const uint8_t* s11 = source.at(x1, y1);
            for (int c = 0; c < 4; ++c) {
                double v = (1 - fx) * (1 - fy) * s00[c] + fx * (1 - fy) * s10[c] + (1 - fx) * fy * s01[c] +
                           fx * fy * s11[c];
                d[c] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
            }
        }
    }
    return true;
}

}  // namespace quorallion::imaging
