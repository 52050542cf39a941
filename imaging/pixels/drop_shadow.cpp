#include "pixels/drop_shadow.h"

#include <algorithm>
#include <vector>

namespace quorallion::imaging {

bool MakeDropShadow(PixelView source, int32_t depth, uint32_t color, PixelCopy& out) {
    out.Free();
    if (source.empty()) return false;
    depth = std::clamp(depth, 0, kMaxShadowDepth);
    const int32_t pad = 2 * depth, window = pad + 1;
    if (!out.Allocate(source.width + pad, source.height + pad)) return false;
    const PixelView shadow = out.view();
    const uint32_t divisor = uint32_t(window) * uint32_t(window);
    const uint32_t channel[3] = {(color >> 16) & 255, (color >> 8) & 255, color & 255};  // blue, green, red

    // columnSums[x]: the alphas of source column x over the storage rows of the current window.
    std::vector<uint32_t> columnSums(size_t(source.width), 0);
    for (int32_t y = 0; y < shadow.height; ++y) {
        if (y < source.height) {
            const uint8_t* entering = source.row(y);
            for (int32_t x = 0; x < source.width; ++x) columnSums[x] += entering[size_t(x) * 4 + 3];
        }
        if (y - window >= 0 && y - window < source.height) {
            const uint8_t* leaving = source.row(y - window);
            for (int32_t x = 0; x < source.width; ++x) columnSums[x] -= leaving[size_t(x) * 4 + 3];
        }
        uint8_t* d = shadow.row(y);
        uint32_t sum = 0;
        for (int32_t p = 0; p < shadow.width; ++p, d += 4) {
            if (p < source.width) sum += columnSums[p];
            if (p - window >= 0 && p - window < source.width) sum -= columnSums[p - window];
            const uint32_t alpha = sum / divisor;
            if (alpha == 0) continue;
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(channel[c] * alpha / 255);
            d[3] = static_cast<uint8_t>(alpha);
        }
    }
    return true;
}

}  // namespace quorallion::imaging
