#pragma once
// A small pixel grid for the workers' tests: addressed top-down, stored bottom-up like the image
// object's pixels.
#include <algorithm>
#include <array>
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging::grids {

using Bgra = std::array<uint8_t, 4>;

class Grid {
public:
    Grid(int32_t width, int32_t height, Bgra fill = {0, 0, 0, 0}) {
        copy_.Allocate(width, height);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) Set(x, y, fill);
    }
    void Set(int32_t x, int32_t y, Bgra p) {
        std::copy(p.begin(), p.end(), view().at(x, copy_.height() - 1 - y));
    }
    Bgra Get(int32_t x, int32_t y) {
        uint8_t* p = view().at(x, copy_.height() - 1 - y);
        return {p[0], p[1], p[2], p[3]};
    }
    PixelView view() { return copy_.view(); }
    int32_t width() const { return copy_.width(); }
    int32_t height() const { return copy_.height(); }

private:
    PixelCopy copy_;
};

}  // namespace quorallion::imaging::grids
