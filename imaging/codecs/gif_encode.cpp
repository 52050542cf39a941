#include "gif_encode.h"

#include <algorithm>

#include "gif_lzw.h"
#include "gif_palette.h"

namespace quorallion::codecs {

namespace {

// Alpha kind as the suite's alpha scan reports it: 0 none (all 0 or all 255), 1 only 0 and 255,
// 2 partial alpha.
int AlphaKind(const PixelBuffer& pixels) {
    bool seenZero = false, seenOpaque = false, seenPartial = false;
    for (size_t i = 3; i < pixels.bgra.size(); i += 4) {
        const uint8_t alpha = pixels.bgra[i];
        if (alpha == 0) seenZero = true;
        else if (alpha == 255) seenOpaque = true;
        else seenPartial = true;
    }
    if (seenPartial) return 2;
    return seenZero && seenOpaque ? 1 : 0;
}

// One entry per pixel, top row first: the straight colour or -1 for a transparent pixel.
ColorGrid PrepareColors(const PixelBuffer& pixels, uint8_t threshold) {
    ColorGrid grid(size_t(pixels.width) * pixels.height);
    size_t at = 0;
    for (int y = pixels.height - 1; y >= 0; --y) {
        const uint8_t* row = pixels.bgra.data() + size_t(y) * pixels.width * 4;
        for (int x = 0; x < pixels.width; ++x, row += 4) {
            const int alpha = row[3];
            int32_t color = -1;
            if (alpha == 255) {
                color = row[2] + row[1] * 256 + row[0] * 65536;
            } else if (alpha != 0 && alpha >= threshold) {
                const int red = std::min(255, row[2] * 255 / alpha);
                const int green = std::min(255, row[1] * 255 / alpha);
                const int blue = std::min(255, row[0] * 255 / alpha);
                color = red + green * 256 + blue * 65536;
            }
            grid[at++] = color;
        }
    }
    return grid;
}

int TableBits(int count) {
    if (count > 128) return 8;
    if (count > 64) return 7;
    if (count > 32) return 6;
    if (count > 16) return 5;
    if (count > 8) return 4;
    if (count > 4) return 3;
    return 2;
}

void PutU16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

CodecResult EncodeGif(const PixelBuffer& pixels, GifEncodeOptions& options, std::vector<uint8_t>& out) {
    out.clear();
    if (pixels.width < 1 || pixels.height < 1 ||
        pixels.bgra.size() != size_t(pixels.width) * pixels.height * 4)
        return CodecResult::Internal;
    if (pixels.width > 65535 || pixels.height > 65535) return CodecResult::TooLarge;

    const ColorGrid grid = PrepareColors(pixels, options.alphaThreshold);
    // A transparent slot is needed whenever some pixel is written transparent, also for an
    // image whose every pixel is transparent (its alpha kind reads 0).
    const bool anyTransparent = std::find(grid.begin(), grid.end(), -1) != grid.end();
    const bool transparentSlot = AlphaKind(pixels) != 0 || anyTransparent;
    const int maxColors = transparentSlot ? 255 : 256;

    std::vector<int32_t> palette;
    bool reduced = false;
    if (!CountExactColors(grid, maxColors, palette)) {
        reduced = true;
        if (!options.reduceColors || !BuildOctreePalette(grid, maxColors, palette)) palette = BuildWebPalette();
    }
    options.reduceColors = reduced;
    const int colorCount = static_cast<int>(palette.size());
    if (transparentSlot) palette.push_back(0x7FFFFFFF);
    const int count = static_cast<int>(palette.size());
    const int transparentIndex = count - 1;

    // Palette index per pixel.
    std::vector<uint8_t> indices(grid.size());
    int32_t lastColor = -2;
    int lastIndex = 0;
    for (size_t i = 0; i < grid.size(); ++i) {
        const int32_t color = grid[i];
        if (color != lastColor) {
            lastColor = color;
            if (color == -1) {
                lastIndex = transparentIndex;
            } else if (reduced) {
                lastIndex = NearestPaletteIndex(palette, colorCount, color);
            } else {
                lastIndex = static_cast<int>(std::lower_bound(palette.begin(), palette.begin() + colorCount, color) -
                                             palette.begin());
            }
        }
        indices[i] = static_cast<uint8_t>(lastIndex);
    }

    const int bits = TableBits(count);
    out.reserve(grid.size() / 2 + 801);
    const char* signature = "GIF89a";
    out.insert(out.end(), signature, signature + 6);
    PutU16(out, pixels.width);
    PutU16(out, pixels.height);
    out.push_back(static_cast<uint8_t>(0x80 | (bits - 1)));
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < (1 << bits); ++i) {
        const int32_t color = i < count ? palette[i] : 0;
        out.push_back(static_cast<uint8_t>(color & 0xFF));
        out.push_back(static_cast<uint8_t>((color >> 8) & 0xFF));
        out.push_back(static_cast<uint8_t>((color >> 16) & 0xFF));
    }
    if (transparentSlot) {
        const uint8_t control[8] = {0x21, 0xF9, 0x04, 0x01, 0, 0, static_cast<uint8_t>(transparentIndex), 0};
        out.insert(out.end(), control, control + 8);
    }
    out.push_back(0x2C);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, pixels.width);
    PutU16(out, pixels.height);
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(bits));
    GifLzwEncode(bits, indices, out);
    out.push_back(0x00);
    out.push_back(0x3B);
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs
