#pragma once
// From inflated PNG image data to premultiplied BGRA: unfiltering, the Adam7 passes and the three
// conversions (8-bit true colour, palette and grey up to 8 bits, everything at 16 bits).
#include <cstdint>
#include <vector>

#include "codec_result.h"

namespace quorallion::codecs {

// What the chunk walk learnt about the image.
struct PngImageInfo {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colorType = 0;
    uint8_t interlace = 0;
    bool paletteAccepted = false;
    std::vector<uint8_t> palette;       // red, green, blue per entry
    std::vector<uint8_t> transparency;  // tRNS as stored; palette images: padded to 256 with 255
    // -1: no transparency. Grey up to 8 bits: the key sample; RGB at 8 bits: red << 16 | green << 8
    // | blue; palette: 0. At 16 bits the full samples are in key16.
    int32_t transparentKey = -1;
    uint16_t key16[3] = {};
};

// The byte count the inflated data must have; passes without pixels hold no bytes.
int64_t PngExpectedDataSize(const PngImageInfo& info);

// Without an accepted PLTE: 256 black entries, entry 1 white for 1-bit palette images, the grey
// ramp of the depth for grey images up to 8 bits.
void PngPrepareDefaultPalette(PngImageInfo& info);

// Unfilters `data` (exactly PngExpectedDataSize bytes) in place and converts it into `pixels`
// (bottom-up, premultiplied). Non-interlaced rows with a filter byte above 4 stay as stored;
// in an interlaced image such a row fails the decode, as does a palette index past the palette.
bool PngDecodePixels(const PngImageInfo& info, std::vector<uint8_t>& data, PixelBuffer& pixels);

}  // namespace quorallion::codecs
