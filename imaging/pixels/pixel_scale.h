#pragma once
// The scaling worker: a source rectangle resampled into an output, nearest or bilinear.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

struct ScaleRequest {
    int32_t srcX = 0;  // source rectangle, top-down
    int32_t srcY = 0;
    int32_t srcWidth = 0;
    int32_t srcHeight = 0;
    double xFactor = 1;  // source pixels per output pixel
    double yFactor = 1;
    int32_t skipX = 0;  // output columns and rows left out before the first one written
    int32_t skipY = 0;
    bool bilinear = false;
};

// Fills every pixel of output. The source rectangle is clipped to the source and every sample is
// clamped inside it. False when the source or the output is empty or the rectangle is outside.
bool ScalePixelRect(PixelView source, PixelView output, ScaleRequest request);

}  // namespace quorallion::imaging
