#pragma once
#include <cstdint>
#include <vector>

#include "codec_result.h"

namespace quorallion::codecs {

struct GifEncodeOptions {
    // In: with more than 256 colours, true uses the octree quantizer, false the web palette.
    // Out: false when the exact colours were kept, true when colours were reduced.
    bool reduceColors = true;
    // Partly transparent pixels at or above this alpha are written opaque, below it transparent.
    uint8_t alphaThreshold = 128;
};

// A single-image GIF89a of premultiplied bottom-up BGRA pixels. TooLarge for a side above 65,535.
CodecResult EncodeGif(const PixelBuffer& pixels, GifEncodeOptions& options, std::vector<uint8_t>& out);

}  // namespace quorallion::codecs
