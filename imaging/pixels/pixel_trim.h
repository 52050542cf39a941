#pragma once
// Finding the fully transparent margins of an image: the rectangle a trim keeps.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// Sides to trim, as bits of the method; 0 stands for all four.
enum TrimSide : int32_t { kTrimLeft = 1, kTrimTop = 2, kTrimRight = 4, kTrimBottom = 8 };

// What a trim keeps: x, y top-down, and the storage rows it spans (0 = bottom row).
struct TrimRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bottomRow = 0;
    int32_t topRow = 0;
};

// Scans only the sides named by method (a pixel with alpha 0 is empty; colours are not looked at).
// A side left out keeps the image's edge. False, with every value 0, when a scanned side finds no
// pixel that is not empty. method must not be negative.
bool FindTrimRect(PixelView pixels, int32_t method, TrimRect& out);

}  // namespace quorallion::imaging
