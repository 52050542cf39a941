#include "pixels/alpha_runs.h"

#include <algorithm>

namespace quorallion::imaging {

std::vector<RegionRect> AlphaRegionRects(PixelView pixels, int32_t style) {
    std::vector<RegionRect> rects;
    if (pixels.empty() || style < 0 || style > 2) return rects;
    RegionRect bounds{pixels.width, pixels.height, -1, -1};
    for (int32_t y = 0; y < pixels.height; ++y) {
        const uint8_t* row = pixels.row(pixels.height - 1 - y);
        auto visible = [row](int32_t x) { return row[size_t(x) * 4 + 3] != 0; };
        if (style == 2) {
            for (int32_t x = 0; x < pixels.width;) {
                if (!visible(x)) { ++x; continue; }
                int32_t start = x;
                while (x < pixels.width && visible(x)) ++x;
                rects.push_back({start, y, x, y + 1});
            }
            continue;
        }
        int32_t first = 0;
        while (first < pixels.width && !visible(first)) ++first;
        if (first == pixels.width) continue;
        int32_t last = pixels.width - 1;
        while (!visible(last)) --last;
        if (style == 1) {
            rects.push_back({first, y, last + 1, y + 1});
        } else {
            bounds = {std::min(bounds.left, first), std::min(bounds.top, y), std::max(bounds.right, last + 1),
                      y + 1};
        }
    }
    if (style == 0 && bounds.right > bounds.left) rects.push_back(bounds);
    return rects;
}

}  // namespace quorallion::imaging
