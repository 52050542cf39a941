#pragma once
// Rectangles of the visible (alpha not 0) pixels, for shaped regions.
#include <cstdint>
#include <vector>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

struct RegionRect {
    int32_t left, top, right, bottom;  // top-down, right and bottom exclusive
    bool operator==(const RegionRect&) const = default;
};

// Style 0: one bounding rectangle; 1: one span from the first to the last visible pixel a row;
// 2: one rectangle a run of visible pixels. Rows from the top. Empty when no pixel is visible.
std::vector<RegionRect> AlphaRegionRects(PixelView pixels, int32_t style);

}  // namespace quorallion::imaging
