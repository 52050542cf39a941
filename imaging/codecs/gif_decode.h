#pragma once
#include <cstdint>
#include <vector>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

// The first image of a GIF stream, as palette indices.
struct GifImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> palette;  // red, green, blue per entry
    int colorCount = 0;
    int transparentIndex = -1;
    std::vector<uint8_t> indices;  // rows top-down, interlacing undone
};

// True when the bytes begin with "GIF87a" or "GIF89a" (any letter case).
bool HasGifSignature(ByteSpan bytes);

// NotThisFormat: no "GIF87a"/"GIF89a" header (any letter case). Corrupt: a block other than an
// extension, a padding 0 or an image before the first image, a block running past the data, no
// colour table, an LZW code that names no entry, or an index past the colour table.
CodecResult DecodeGifFirstImage(ByteSpan bytes, GifImage& image);

// Turns decoded indices into bottom-up premultiplied BGRA: the transparent index becomes
// 0,0,0,0 and everything else opaque.
void GifToPixels(const GifImage& image, PixelBuffer& pixels);

}  // namespace quorallion::codecs
