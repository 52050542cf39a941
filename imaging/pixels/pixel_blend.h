#pragma once
// The own blender's pixel loop: premultiplied BGRA source over a 24-bit (captured device) or
// 32-bit (host image) destination, with a constant opacity and optional grey conversion.
#include <cstddef>
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// Destination pixels: rows bottom-up, bytesPerPixel 3 (blue, green, red) or 4 (with alpha).
struct BlendTarget {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0;
    int bytesPerPixel = 4;
};

struct BlendRequest {
    int32_t srcX = 0;  // source rectangle's left column
    int32_t srcY = 0;  // source rectangle's top row, counted from the top
    int32_t destX = 0;  // destination's left column
    int32_t destY = 0;  // destination's top row, counted from the top
    int32_t width = 0;
    int32_t height = 0;
    int32_t opacity = 255;  // 0..255
    int32_t grayScale = -1;  // -1 none, else a grey formula
};

// Blends; the rectangle is clipped to both the source and the destination, so no byte outside
// either is touched. Returns the number of rows drawn (0: nothing inside both).
int32_t BlendPixelRect(PixelView source, BlendTarget target, BlendRequest request);

}  // namespace quorallion::imaging
