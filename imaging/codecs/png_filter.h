#pragma once
// The writer's row filters: fixed types, the default of each colour type, and the per-row choice
// by the smallest sum of |byte − prediction|.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorallion::codecs {

// Filter mode as the property stores it: 0 the colour type's default (None for grey and palette,
// Paeth for RGB and RGBA), 1 to 5 filter type mode − 1 on every row, 6 a choice per row; any
// other value counts as 0.
int PngEffectiveFilterMode(int32_t mode, int colorType);

// Filters `rows` (height rows of rowBytes bytes, top row first) into height × (rowBytes + 1)
// bytes, each row led by its filter type.
std::vector<uint8_t> PngFilterRows(const uint8_t* rows, size_t rowBytes, size_t height, size_t bytesPerPixel,
                                   int32_t mode, int colorType);

}  // namespace quorallion::codecs
