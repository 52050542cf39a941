#pragma once
#include <cstdint>
#include <vector>

namespace quorallion::codecs {

// Colours are packed red + green * 256 + blue * 65536; -1 marks a transparent pixel.
using ColorGrid = std::vector<int32_t>;

// Exact colours sorted ascending; false when there are more than `maxColors`.
bool CountExactColors(const ColorGrid& grid, int maxColors, std::vector<int32_t>& palette);

// Octree quantizer of depth 6 with at most `maxLeaves` leaves; false when it cannot reduce enough.
bool BuildOctreePalette(const ColorGrid& grid, int maxLeaves, std::vector<int32_t>& palette);

// 216 web colours and 31 greys.
std::vector<int32_t> BuildWebPalette();

// Index of the entry nearest to `color` by squared RGB distance among the first `count` entries.
int NearestPaletteIndex(const std::vector<int32_t>& palette, int count, int32_t color);

}  // namespace quorallion::codecs
