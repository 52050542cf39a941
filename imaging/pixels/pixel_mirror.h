#pragma once
// The mirroring worker: a copy of a source rectangle flipped left-right, top-bottom or both.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// The rectangle (top-down, clipped to the source) mirrored into a new copy of its size. The
// rectangle itself is mirrored in every case, so a sub-rectangle gives the same picture whichever
// way it is turned. False when the rectangle is empty after clipping.
bool MirrorPixelRect(PixelView source, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                     bool horizontal, bool vertical, PixelCopy& out);

}  // namespace quorallion::imaging
