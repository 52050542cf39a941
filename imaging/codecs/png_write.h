#pragma once
// The suite's own PNG encoder: colour analysis (palette, grey, RGB with a colour key, RGBA), the
// chunks in their order, filtering and one IDAT deflated by zlib.
#include <cstdint>
#include <string>
#include <vector>

#include "codec_result.h"
#include "png_zlib.h"

namespace quorallion::codecs {

// What the property store puts into a PNG. Texts are already single bytes in the ANSI code page.
struct PngWriteOptions {
    int32_t filterMode = 0;
    bool hasBackground = false;
    uint32_t background = 0;  // red in the low byte, then green, then blue
    struct Text {
        std::string keyword, text;
    };
    std::vector<Text> earlyTexts;   // tEXt before PLTE (Title, Author)
    std::vector<Text> lateTexts;    // tEXt after IDAT and tIME
    std::vector<Text> customTexts;  // zTXt above 1024 characters, else tEXt
    bool hasTime = false;
    uint8_t time[7] = {};           // year (big-endian), month, day, hour, minute, second
};

// What the colour analysis chose, for tests and the benchmark.
struct PngWriteReport {
    int colorType = -1;
    int paletteEntries = 0;
};

// An image's pixels in place: bottom-up premultiplied BGRA, width × 4 bytes per row.
struct PngPixelView {
    const uint8_t* bgra = nullptr;
    int width = 0;
    int height = 0;
};

// `image` bottom-up premultiplied BGRA; `alphaKind` 0 none (A is ignored), 1 on/off, 2 partial.
// Internal: zlib has neither compress2 nor compress, or deflate failed. Corrupt: a colour byte
// above its alpha (the image is not premultiplied). Ok: `out` holds the whole PNG.
CodecResult EncodePng(const PixelBuffer& image, int32_t alphaKind, const PngWriteOptions& options,
                      const ZlibFunctions& zlib, std::vector<uint8_t>& out, PngWriteReport* report = nullptr);
CodecResult EncodePng(const PngPixelView& image, int32_t alphaKind, const PngWriteOptions& options,
                      const ZlibFunctions& zlib, std::vector<uint8_t>& out, PngWriteReport* report = nullptr);

}  // namespace quorallion::codecs
