#pragma once
// The drop shadow: the alpha channel box-blurred into a larger grid and coloured.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

constexpr int32_t kMaxShadowDepth = 10;

// depth is clamped to 0..10; pad = 2 x depth. The shadow is (width + pad) x (height + pad): its
// pixel at column p of storage row y has alpha S div (pad + 1)^2, S the sum of the source alphas
// over columns p - pad..p and storage rows y - pad..y (clipped to the source), so the edges fade.
// Colour 0x00BBGGRR, premultiplied by that alpha. Running sums: the cost per pixel does not grow
// with the depth. False when the source is empty or the shadow too large.
bool MakeDropShadow(PixelView source, int32_t depth, uint32_t color, PixelCopy& out);

}  // namespace quorallion::imaging
