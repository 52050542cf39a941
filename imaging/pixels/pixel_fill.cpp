#include "pixels/pixel_fill.h"

#include <algorithm>
#include <cstring>

namespace quorallion::imaging {
namespace {

int32_t Clamp32(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(std::clamp(value, low, high));
}

// Widens columns [0, unitWidth) of rows [top, top + rows) across the grid's width by doubling.
void RepeatAcross(PixelView grid, int64_t unitWidth, int32_t top, int32_t rows) {
    rows = Clamp32(rows, 0, int64_t{grid.height} - top);
    for (int64_t filled = unitWidth; filled < grid.width;) {
        const int64_t count = std::min<int64_t>(filled, grid.width - filled);
        for (int32_t k = 0; k < rows; ++k) {
            uint8_t* row = grid.row(grid.height - 1 - (top + k));
            std::memcpy(row + filled * 4, row, size_t(count) * 4);
        }
        filled += count;
    }
}

// Fills the grid's height by doubling its top unitHeight rows downwards.
void RepeatDown(PixelView grid, int64_t unitHeight) {
    for (int64_t filled = unitHeight; filled < grid.height;) {
        const int64_t count = std::min<int64_t>(filled, grid.height - filled);
        // Top rows [0, count) are the last storage rows; rows [filled, filled + count) lie below.
        std::memcpy(grid.row(static_cast<int32_t>(grid.height - filled - count)),
                    grid.row(static_cast<int32_t>(grid.height - count)), grid.stride() * size_t(count));
        filled += count;
    }
}

}  // namespace

void CopyPixelRect(PixelView source, int32_t srcX, int32_t srcY, int32_t width, int32_t height, PixelView target,
                   int32_t x, int32_t y) {
    if (source.empty() || target.empty()) return;
    int64_t sx = srcX, sy = srcY, dx = x, dy = y, w = width, h = height;
    // Cut what lies left of or above either grid, then what lies past their right or bottom edges.
    const int64_t cutX = std::max<int64_t>({0, -sx, -dx}), cutY = std::max<int64_t>({0, -sy, -dy});
    sx += cutX, dx += cutX, w -= cutX;
    sy += cutY, dy += cutY, h -= cutY;
    w = std::min({w, source.width - sx, target.width - dx});
    h = std::min({h, source.height - sy, target.height - dy});
    if (w < 1 || h < 1) return;
    for (int64_t k = 0; k < h; ++k) {
        const uint8_t* s = source.at(static_cast<int32_t>(sx), static_cast<int32_t>(source.height - 1 - (sy + k)));
        uint8_t* d = target.at(static_cast<int32_t>(dx), static_cast<int32_t>(target.height - 1 - (dy + k)));
        std::memmove(d, s, size_t(w) * 4);
    }
}

void FillTiles(PixelView canvas, PixelView secondTile, bool secondInRow, const TileLayout& layout) {
    if (canvas.empty() || layout.tileWidth < 1 || layout.tileHeight < 1) return;
    const int64_t cellWidth = int64_t{layout.tileWidth} + std::max(layout.columnGap, 0);
    const int64_t cellHeight = int64_t{layout.tileHeight} + std::max(layout.rowGap, 0);
    const int32_t cellRows = Clamp32(cellHeight, 0, canvas.height);

    int64_t unitWidth = cellWidth;
    if (secondInRow && !secondTile.empty() && cellWidth < canvas.width) {
        CopyPixelRect(secondTile, 0, 0, layout.tileWidth, layout.tileHeight, canvas, static_cast<int32_t>(cellWidth), 0);
        unitWidth = 2 * cellWidth;
    }
    RepeatAcross(canvas, unitWidth, 0, cellRows);

    int64_t unitHeight = cellHeight;
    if (layout.staggerRows && cellHeight < canvas.height) {
        const int32_t top = static_cast<int32_t>(cellHeight);
        const int32_t half = layout.tileWidth / 2;
        const int32_t tileRows = Clamp32(std::min<int64_t>(layout.tileHeight, canvas.height - cellHeight), 0, INT32_MAX);
        const PixelView halfSource = secondTile.empty() ? canvas : secondTile;
        CopyPixelRect(halfSource, half, 0, half, tileRows, canvas, 0, top);
        const int64_t shift = int64_t{half} + std::max(layout.columnGap, 0);
        if (shift < canvas.width) {
            const int32_t rows = Clamp32(std::min<int64_t>(cellHeight, canvas.height - cellHeight), 0, INT32_MAX);
            CopyPixelRect(canvas, 0, 0, static_cast<int32_t>(canvas.width - shift), rows, canvas,
                          static_cast<int32_t>(shift), top);
        }
        unitHeight = 2 * cellHeight;
    }
    RepeatDown(canvas, std::min<int64_t>(unitHeight, canvas.height));
}

bool DrawCheckerBoard(PixelView pixels, int32_t size, uint32_t firstColor, uint32_t secondColor) {
    if (pixels.empty() || size < 1) return false;
    const auto opaque = [](uint32_t color) {
        const uint8_t bytes[4] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), 255};
        uint32_t value;
        std::memcpy(&value, bytes, 4);
        return value;
    };
    const uint32_t colors[2] = {opaque(firstColor), opaque(secondColor)};
    for (int32_t y = 0; y < pixels.height; ++y) {
        uint8_t* row = pixels.row(pixels.height - 1 - y);
        const int32_t rowParity = (y / size) & 1;
        for (int32_t x = 0; x < pixels.width; ++x) {
            std::memcpy(row + size_t(x) * 4, &colors[((x / size) & 1) ^ rowParity], 4);
        }
    }
    return true;
}

}  // namespace quorallion::imaging
