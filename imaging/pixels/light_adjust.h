#pragma once
// The lightness worker: every visible pixel lightened (positive percent) or darkened (negative).
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// In place over a rectangle (top-down), clipped to the pixels. percent 0 changes nothing.
void AdjustLightness(PixelView pixels, int32_t x, int32_t y, int32_t width, int32_t height, float percent);

// A new copy of the rectangle (clipped) with the lightness applied; False when it is empty.
bool LightenedCopy(PixelView source, int32_t x, int32_t y, int32_t width, int32_t height, float percent,
                   PixelCopy& out);

}  // namespace quorallion::imaging
