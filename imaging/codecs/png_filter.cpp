#include "png_filter.h"

#include <cstdlib>

namespace quorallion::codecs {
namespace {

int PaethPredictor(int left, int up, int upperLeft) {
    const int p = left + up - upperLeft;
    const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upperLeft);
    if (pa <= pb && pa <= pc) return left;
    return pb <= pc ? up : upperLeft;
}

// The prediction of filter `type` for byte i of `row` (`prev` nullptr on PNG row 0).
inline int Predict(int type, const uint8_t* row, const uint8_t* prev, size_t i, size_t bpp) {
    const int left = i >= bpp ? row[i - bpp] : 0;
    const int up = prev ? prev[i] : 0;
    switch (type) {
    case 1: return left;
    case 2: return up;
    case 3: return (left + up) / 2;
    case 4: return PaethPredictor(left, up, prev && i >= bpp ? prev[i - bpp] : 0);
    default: return 0;
    }
}

void Apply(int type, const uint8_t* row, const uint8_t* prev, size_t count, size_t bpp, uint8_t* out) {
    out[0] = static_cast<uint8_t>(type);
    for (size_t i = 0; i < count; ++i) out[i + 1] = static_cast<uint8_t>(row[i] - Predict(type, row, prev, i, bpp));
}

// The row's sum of |x − prediction| into `sum`; False (dropped) as soon as it passes `bound`.
// Sub's first pixel is summed without the comparison.
bool Score(int type, const uint8_t* row, const uint8_t* prev, size_t count, size_t bpp, uint64_t bound, uint64_t& sum) {
    sum = 0;
    for (size_t i = 0; i < count; ++i) {
        sum += static_cast<uint64_t>(std::abs(row[i] - Predict(type, row, prev, i, bpp)));
        if (type == 1 && i < bpp) continue;
        if (sum > bound) return false;
    }
    return true;
}

}  // namespace

int PngEffectiveFilterMode(int32_t mode, int colorType) {
    if (mode < 0 || mode > 6) mode = 0;
    if (mode == 0) return colorType == 2 || colorType == 6 ? 5 : 1;
    return mode;
}

std::vector<uint8_t> PngFilterRows(const uint8_t* rows, size_t rowBytes, size_t height, size_t bytesPerPixel,
                                   int32_t mode, int colorType) {
    const int effective = PngEffectiveFilterMode(mode, colorType);
    std::vector<uint8_t> out(height * (rowBytes + 1));
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = rows + y * rowBytes;
        const uint8_t* prev = y ? row - rowBytes : nullptr;
        int type = effective - 1;
        if (effective == 6) {
            type = 0;
            uint64_t bound = uint64_t{rowBytes} * 254;
            for (int candidate = 0; candidate <= 4; ++candidate) {
                if (candidate >= 2 && !prev) break;  // no Up, Average or Paeth on row 0
                uint64_t score = 0;
                if (!Score(candidate, row, prev, rowBytes, bytesPerPixel, bound, score)) continue;
                bound = score ? score : 1;  // a later filter with an equal score replaces this one
                type = candidate;
            }
        }
        Apply(type, row, prev, rowBytes, bytesPerPixel, out.data() + y * (rowBytes + 1));
    }
    return out;
}

}  // namespace quorallion::codecs
