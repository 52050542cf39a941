#include "pixels/pixel_blend.h"

#include <algorithm>
#include <cmath>

#include "bas32bppDIBParsers.h"

namespace quorallion::imaging {
namespace {

// A result that does not fit a byte (source not properly premultiplied) leaves the channel.
inline void Store(uint8_t& channel, uint32_t value) {
    if (value <= 255) channel = static_cast<uint8_t>(value);
}

// round(B*wB + G*wG + R*wR) with halves to even, taken as a byte.
inline uint32_t GreyOf(const uint8_t* s, const bas32bppDIBParsers::GreyWeights& w) {
    long double sum = static_cast<long double>(static_cast<float>(s[0]) * w.blue) +
                      static_cast<long double>(static_cast<float>(s[1]) * w.green) +
                      static_cast<long double>(static_cast<float>(s[2]) * w.red);
    int64_t rounded = static_cast<int64_t>(std::nearbyint(sum));
    return static_cast<uint32_t>(std::clamp<int64_t>(rounded, 0, 255));
}

}  // namespace

int32_t BlendPixelRect(PixelView source, BlendTarget target, BlendRequest r) {
    if (source.empty() || target.bits == nullptr || target.width < 1 || target.height < 1) return 0;
    if (target.bytesPerPixel != 3 && target.bytesPerPixel != 4) return 0;
    if (r.opacity <= 0) return 0;
    r.opacity = std::min(r.opacity, 255);

    // Clip against the source (64-bit so that extreme offsets cannot wrap).
    int64_t sx = r.srcX, sy = r.srcY, dx = r.destX, dy = r.destY, w = r.width, h = r.height;
    auto cutLeft = [&](int64_t& a, int64_t& b, int64_t amount) {
        if (amount > 0) { a += amount; b += amount; w -= amount; }
    };
    auto cutTop = [&](int64_t& a, int64_t& b, int64_t amount) {
        if (amount > 0) { a += amount; b += amount; h -= amount; }
    };
    cutLeft(sx, dx, -sx);
    cutLeft(dx, sx, -dx);
    cutTop(sy, dy, -sy);
    cutTop(dy, sy, -dy);
    w = std::min({w, int64_t{source.width} - sx, int64_t{target.width} - dx});
    h = std::min({h, int64_t{source.height} - sy, int64_t{target.height} - dy});
    if (w < 1 || h < 1) return 0;

    const bool grey = r.grayScale != -1;
    const auto weights = bas32bppDIBParsers::GetGrayScaleWeights(r.grayScale);
    const uint32_t opacity = static_cast<uint32_t>(r.opacity);
    const int bpp = target.bytesPerPixel;
    const bool host = bpp == 4;

    for (int64_t row = 0; row < h; ++row) {
        const uint8_t* s = source.at(static_cast<int32_t>(sx),
                                     static_cast<int32_t>(source.height - 1 - (sy + row)));
        uint8_t* d = target.bits + target.stride * static_cast<size_t>(target.height - 1 - (dy + row)) +
                     static_cast<size_t>(dx) * bpp;
        for (int64_t x = 0; x < w; ++x, s += 4, d += bpp) {
            const uint32_t a = s[3];
            if (a == 0) continue;
            if (!grey) {
                if (opacity == 255 && a == 255) {
                    std::copy(s, s + bpp, d);
                } else if (opacity == 255) {
                    for (int c = 0; c < bpp; ++c) Store(d[c], d[c] * (255 - a) / 255 + s[c]);
                } else {
                    const uint32_t k = 255 - (a * opacity / 255);
                    for (int c = 0; c < bpp; ++c) Store(d[c], (d[c] * k + s[c] * opacity) / 255);
                }
                continue;
            }
            const uint32_t g = GreyOf(s, weights);
            if (opacity == 255 && a == 255) {
                d[0] = d[1] = d[2] = static_cast<uint8_t>(g);
                if (host) d[3] = 255;
            } else if (opacity == 255) {
                for (int c = 0; c < 3; ++c) Store(d[c], d[c] * (255 - a) / 255 + g);
                if (host) Store(d[3], d[3] * (255 - a) / 255 + a);
            } else {
                const uint32_t k = 255 - (a * opacity / 255);
                for (int c = 0; c < 3; ++c) Store(d[c], (d[c] * k + g * opacity) / 255);
                if (host) Store(d[3], (d[3] * k + a * opacity) / 255);
            }
        }
    }
    return static_cast<int32_t>(h);
}

}  // namespace quorallion::imaging
