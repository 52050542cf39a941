#pragma once
// The rotation worker: a source rectangle scaled to the destination size and turned by whole
// degrees into a square that holds every angle (side: the destination's diagonal).
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

struct RotateRequest {
    int32_t srcX = 0;  // top-down, clipped to the source
    int32_t srcY = 0;
    int32_t srcWidth = 0;
    int32_t srcHeight = 0;
    int32_t destWidth = 0;  // the size the rectangle is drawn at before turning
    int32_t destHeight = 0;
    double angle = 0;  // degrees; rounded to a whole degree, halves to even; positive turns clockwise
    bool bilinear = false;
};

// The side of the square for a destination size: round(sqrt(w^2 + h^2)).
int32_t RotatedSide(int32_t destWidth, int32_t destHeight);

// Fills out with the turned square (pixels outside the picture 0). False when the rectangle is
// empty or the square is too large.
bool RotatePixelRect(PixelView source, RotateRequest request, PixelCopy& out);

}  // namespace quorallion::imaging
