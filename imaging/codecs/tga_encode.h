#pragma once
// Truevision TGA 2.0 writing: 8-bit grey or colour-mapped when the picture has at most 256 opaque
// colours and a palette is allowed, else 24-bit, 32-bit straight or 32-bit premultiplied (marked by
// an extension area); optional run-length packets; always the 2.0 footer.
#include <cstdint>
#include <vector>

#include "codec_result.h"
#include "pixels/pixel_copy.h"

namespace quorallion::codecs {

struct TgaWriteOptions {
    bool savePremultiplied = false;
    bool useRLE = false;
    bool allowPalette = false;
};

// Local date and time stamped into the extension area.
struct TgaTimeStamp {
    uint16_t month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
};

// Packets per row (never across rows): two or more equal neighbours make a run, the rest raw
// packets, at most 128 pixels each. pixelBytes 1, 3 or 4.
std::vector<uint8_t> EncodeTgaRLE(const std::vector<uint8_t>& pixels, int pixelBytes, int32_t width, int32_t height);

// The whole file image of premultiplied bottom-up BGRA pixels. TooLarge for a side above 65535;
// Corrupt for a pixel whose colour exceeds its alpha when the straight form must divide it out.
CodecResult EncodeTga(const imaging::PixelView& pixels, const TgaWriteOptions& options, const TgaTimeStamp& now,
                      std::vector<uint8_t>& out);

}  // namespace quorallion::codecs
