#pragma once
#include <cstdint>
#include <vector>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

struct BmpHeader {
    uint32_t pixelOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative: top row first
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

// "BM" file header and information header. NotThisFormat without the signature; Corrupt for a
// header cut short, a width below 1 or a height of 0.
CodecResult ReadBmpHeader(ByteSpan bytes, BmpHeader& header);

struct BmpImage {
    PixelBuffer pixels;
    int imageType = 1;  // 1 opaque bitmap; 6 or 7 from the alpha scan of a 32-bit bitmap
    int alpha = 0;
};

// Decodes an uncompressed or bit-field bitmap of 1, 4, 8, 16, 24 or 32 bits. An uncompressed
// 32-bit bitmap keeps its alpha (premultiplied by the alpha scan); everything else is opaque.
// NotThisFormat for what only the platform decodes (run-length at 4 or 8 bits, embedded JPEG or
// PNG, with the pixel data starting inside the range): the caller hands those to the picture
// loader. Corrupt when the rows do not fit in the bytes, or for any other compression value.
CodecResult DecodeBmp(ByteSpan bytes, BmpImage& image);

// A 54-byte-header BMP: 32-bit premultiplied rows as stored, or 24-bit rows given by the caller.
std::vector<uint8_t> EncodeBmp(int width, int height, int bitCount, const uint8_t* rows, size_t rowBytes);

}  // namespace quorallion::codecs
