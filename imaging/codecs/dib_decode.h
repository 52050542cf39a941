#pragma once
#include <cstdint>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

// What an uncompressed device-independent bitmap needs to be read.
struct DibLayout {
    int width = 0;
    int height = 0;          // rows to read
    bool topDown = false;    // rows stored top row first
    int bitCount = 0;        // 1, 4, 8, 16, 24 or 32
    bool bitFields = false;  // 16 or 32 bits with explicit masks
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
};

// Decodes the colour bits to opaque BGRA, bottom-up. `palette` holds BGRX quads (empty above
// 8 bits); an index past it is Corrupt. `bits` must hold every row, 4-byte aligned.
CodecResult DecodeDibBits(const DibLayout& layout, ByteSpan palette, ByteSpan bits, PixelBuffer& pixels);

}  // namespace quorallion::codecs
