#pragma once
// Pattern fills of a pixel grid: copies of a tile laid out by doubling block copies, and the
// two-colour checkerboard.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// Copies a rectangle (top-down) of source to (x, y) of target, clipped to both grids. Source and
// target may be the same grid when the two rectangles do not overlap.
void CopyPixelRect(PixelView source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                   PixelView target, int32_t x, int32_t y);

struct TileLayout {
    int32_t tileWidth = 1;  // the tile's size, at least 1
    int32_t tileHeight = 1;
    int32_t columnGap = 0;  // space between cells, not negative
    int32_t rowGap = 0;
    bool staggerRows = false;  // every second row of cells shifted by half a tile
};

// The canvas holds the first tile at its top-left corner. secondTile (may be empty) is the tile
// of the second cell of each row when secondInRow, and the source of the staggered row's first
// part. Fills the canvas with cells by doubling: across the first cell row, then down.
void FillTiles(PixelView canvas, PixelView secondTile, bool secondInRow, const TileLayout& layout);

// Squares of size x size pixels from the top-left corner, alternating along each row and from row
// to row, firstColor at the top-left; every pixel opaque. Colours are 0x00BBGGRR. False for a
// size below 1 or an empty grid.
bool DrawCheckerBoard(PixelView pixels, int32_t size, uint32_t firstColor, uint32_t secondColor);

}  // namespace quorallion::imaging
