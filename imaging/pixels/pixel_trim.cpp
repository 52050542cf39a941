#include "pixels/pixel_trim.h"

namespace quorallion::imaging {
namespace {

// Leftmost column below `limit` in the storage row whose alpha is not 0, or -1.
int32_t LeftmostBelow(PixelView pixels, int32_t row, int32_t limit) {
    const uint8_t* p = pixels.row(row);
    for (int32_t x = 0; x < limit; ++x)
        if (p[size_t(x) * 4 + 3] != 0) return x;
    return -1;
}

// Rightmost column from `low` up in the storage row whose alpha is not 0, or -1.
int32_t RightmostFrom(PixelView pixels, int32_t row, int32_t low) {
    const uint8_t* p = pixels.row(row);
    for (int32_t x = pixels.width - 1; x >= low; --x)
        if (p[size_t(x) * 4 + 3] != 0) return x;
    return -1;
}

}  // namespace

bool FindTrimRect(PixelView pixels, int32_t method, TrimRect& out) {
    out = TrimRect{};
    if (pixels.empty() || method < 0) return false;
    if (method == 0) method = kTrimLeft | kTrimTop | kTrimRight | kTrimBottom;
    const int32_t lastColumn = pixels.width - 1;

    // The left edge's estimate starts at the last column and only goes down.
    int32_t left = lastColumn;
    int32_t top = pixels.height - 1;
    if (method & kTrimTop) {
        for (; top >= 0; --top) {
            const int32_t found = LeftmostBelow(pixels, top, pixels.width);
            if (found >= 0) {
                left = found;
                break;
            }
        }
        if (top < 0) return false;
    }
    int32_t bottom = 0;
    if (method & kTrimBottom) {
        for (; bottom <= top; ++bottom) {
            const int32_t found = LeftmostBelow(pixels, bottom, pixels.width);
            if (found >= 0) {
                if (found < left) left = found;
                break;
            }
        }
        if (bottom > top) return false;
    }
    if (method & kTrimLeft) {
        for (int32_t row = bottom; row <= top && left > 0; ++row) {
            const int32_t found = LeftmostBelow(pixels, row, left);
            if (found >= 0) left = found;
        }
    } else {
        left = 0;
    }
    int32_t right = lastColumn;
    if (method & kTrimRight) {
        right = -1;
        for (int32_t row = bottom; row <= top && right < lastColumn; ++row) {
            const int32_t found = RightmostFrom(pixels, row, right < left ? left : right + 1);
            if (found > right) right = found;
        }
        if (right < 0) return false;
    }
    out.x = left;
    out.width = right - left + 1;
    out.y = pixels.height - 1 - top;
    out.height = top - bottom + 1;
    out.bottomRow = bottom;
    out.topRow = top;
    return true;
}

}  // namespace quorallion::imaging
