#include "pixels/pixel_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorallion::imaging {
namespace {

inline int32_t ClampIndex(double value, int32_t low, int32_t high) {
    if (!(value >= low)) return low;  // also catches NaN
    if (value >= high) return high;
    return static_cast<int32_t>(value);
}

}  // namespace

bool ScalePixelRect(PixelView source, PixelView output, ScaleRequest r) {
    if (source.empty() || output.empty()) return false;
    // Clip the rectangle to the source.
    int64_t left = std::max<int64_t>(r.srcX, 0), top = std::max<int64_t>(r.srcY, 0);
    int64_t right = std::min<int64_t>(int64_t{r.srcX} + r.srcWidth, source.width);
    int64_t bottom = std::min<int64_t>(int64_t{r.srcY} + r.srcHeight, source.height);
    if (right <= left || bottom <= top) return false;

    // Storage rows: bottom row of the rectangle and its top row.
    const int32_t rowLow = static_cast<int32_t>(source.height - bottom);
    const int32_t rowHigh = static_cast<int32_t>(source.height - 1 - top);
    const int32_t colLow = static_cast<int32_t>(left), colHigh = static_cast<int32_t>(right - 1);
    // Sample positions are measured from the rectangle as the caller gave it.
    const double originX = r.srcX;
    const double originRow = static_cast<double>(source.height) - r.srcY - r.srcHeight;

    if (!r.bilinear) {
        std::vector<int32_t> columns(static_cast<size_t>(output.width));
        for (int32_t i = 0; i < output.width; ++i) {
            columns[i] = ClampIndex(std::floor((double(i) + r.skipX) * r.xFactor + originX), colLow, colHigh);
        }
        for (int32_t row = 0; row < output.height; ++row) {
            const int32_t srcRow =
                ClampIndex(std::floor((double(row) + r.skipY) * r.yFactor + originRow), rowLow, rowHigh);
            const uint8_t* s = source.row(srcRow);
            uint32_t* d = reinterpret_cast<uint32_t*>(output.row(row));
            for (int32_t i = 0; i < output.width; ++i) {
                std::copy(s + size_t(columns[i]) * 4, s + size_t(columns[i]) * 4 + 4,
                          reinterpret_cast<uint8_t*>(d + i));
            }
        }
        return true;
    }

    // Bilinear: rows y0 and y0 + 1, columns x0 and x0 + 1, each clamped to the rectangle.
    for (int32_t row = 0; row < output.height; ++row) {
        double ys = (double(row) + r.skipY) * r.yFactor + originRow;
        int32_t y0 = ClampIndex(std::floor(ys), rowLow, rowHigh);
        int32_t y1 = std::min(y0 + 1, rowHigh);
        double fy = std::clamp(ys - y0, 0.0, 1.0);
        const uint8_t* s0 = source.row(y0);
        const uint8_t* s1 = source.row(y1);
        uint8_t* d = output.row(row);
        for (int32_t i = 0; i < output.width; ++i, d += 4) {
            double xs = (double(i) + r.skipX) * r.xFactor + originX;
            int32_t x0 = ClampIndex(std::floor(xs), colLow, colHigh);
            int32_t x1 = std::min(x0 + 1, colHigh);
            double fx = std::clamp(xs - x0, 0.0, 1.0);
            const double w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
            for (int c = 0; c < 4; ++c) {
                double v = w00 * s0[x0 * 4 + c] + w10 * s0[x1 * 4 + c] + w01 * s1[x0 * 4 + c] +
                           w11 * s1[x1 * 4 + c];
                d[c] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
            }
        }
    }
    return true;
}

}  // namespace quorallion::imaging
