#include "pixels/pixel_mirror.h"

#include <algorithm>

namespace quorallion::imaging {

bool MirrorPixelRect(PixelView source, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                     bool horizontal, bool vertical, PixelCopy& out) {
    out.Free();
    if (source.empty()) return false;
    int64_t left = std::max<int64_t>(srcX, 0), top = std::max<int64_t>(srcY, 0);
    int64_t right = std::min<int64_t>(int64_t{srcX} + srcWidth, source.width);
    int64_t bottom = std::min<int64_t>(int64_t{srcY} + srcHeight, source.height);
    if (right <= left || bottom <= top) return false;
    const int32_t w = static_cast<int32_t>(right - left), h = static_cast<int32_t>(bottom - top);
    if (!out.Allocate(w, h)) return false;
    PixelView target = out.view();
    for (int32_t k = 0; k < h; ++k) {  // k: target row from the top
        const int32_t sourceTop = static_cast<int32_t>(top) + (vertical ? h - 1 - k : k);
        const uint8_t* s = source.at(static_cast<int32_t>(left), source.height - 1 - sourceTop);
        uint8_t* d = target.row(h - 1 - k);
        if (!horizontal) {
            std::copy(s, s + size_t(w) * 4, d);
            continue;
        }
        for (int32_t i = 0; i < w; ++i) std::copy(s + size_t(w - 1 - i) * 4, s + size_t(w - i) * 4, d + size_t(i) * 4);
    }
    return true;
}

}  // namespace quorallion::imaging
