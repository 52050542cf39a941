#include "pixels/light_adjust.h"

#include <algorithm>
#include <cmath>

namespace quorallion::imaging {
namespace {

void AdjustRow(uint8_t* p, int32_t count, float k) {
    for (int32_t i = 0; i < count; ++i, p += 4) {
        const int32_t a = p[3];
        if (a == 0) continue;
        // round(a x k) with halves to even, then div 255 toward zero.
        const int32_t d = static_cast<int32_t>(std::nearbyint(static_cast<float>(a) * k)) / 255;
        for (int c = 0; c < 3; ++c) {
            int32_t value = p[c] + d;
            value = k < 0 ? std::max(value, 0) : std::min(value, a);
            p[c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
        }
    }
}

}  // namespace

void AdjustLightness(PixelView pixels, int32_t x, int32_t y, int32_t width, int32_t height, float percent) {
    if (percent == 0 || pixels.empty()) return;
    const float k = percent / 100.0f * 255.0f;
    int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t{x} + width, pixels.width);
    int64_t bottom = std::min<int64_t>(int64_t{y} + height, pixels.height);
    if (right <= left) return;
    for (int64_t row = top; row < bottom; ++row) {
        AdjustRow(pixels.at(static_cast<int32_t>(left), static_cast<int32_t>(pixels.height - 1 - row)),
                  static_cast<int32_t>(right - left), k);
    }
}

bool LightenedCopy(PixelView source, int32_t x, int32_t y, int32_t width, int32_t height, float percent,
                   PixelCopy& out) {
    out.Free();
    if (source.empty()) return false;
    int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t{x} + width, source.width);
    int64_t bottom = std::min<int64_t>(int64_t{y} + height, source.height);
    if (right <= left || bottom <= top) return false;
    const int32_t w = static_cast<int32_t>(right - left), h = static_cast<int32_t>(bottom - top);
    if (!out.Allocate(w, h)) return false;
    PixelView target = out.view();
    for (int32_t k = 0; k < h; ++k) {
        const uint8_t* s = source.at(static_cast<int32_t>(left), static_cast<int32_t>(source.height - 1 - (top + k)));
        std::copy(s, s + size_t(w) * 4, target.row(h - 1 - k));
    }
    AdjustLightness(target, 0, 0, w, h, percent);
    return true;
}

}  // namespace quorallion::imaging
