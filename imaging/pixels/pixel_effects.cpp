#include "pixels/pixel_effects.h"

#include <cmath>
#include <cstring>

namespace quorallion::imaging {
namespace {

// Calls f on every pixel, 4 bytes blue, green, red, alpha.
template <typename F>
void EachPixel(PixelView pixels, F f) {
    if (pixels.empty()) return;
    uint8_t* p = pixels.bits;
    const size_t count = size_t(pixels.width) * size_t(pixels.height);
    for (size_t i = 0; i < count; ++i, p += 4) f(p);
}

uint32_t OpaqueValue(uint32_t color) {
    const uint8_t bytes[4] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), 255};
    uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}

}  // namespace

void MakeGrey(PixelView pixels, float wRed, float wGreen, float wBlue) {
    const double red = wRed, green = wGreen, blue = wBlue;
    EachPixel(pixels, [&](uint8_t* p) {
        if (p[3] == 0) return;
        const double grey = std::nearbyint(p[0] * blue + p[1] * green + p[2] * red);
        if (grey >= 0 && grey <= 255) p[0] = static_cast<uint8_t>(grey);
        p[1] = p[2] = p[0];
    });
}

void InvertColours(PixelView pixels) {
    EachPixel(pixels, [](uint8_t* p) {
        const uint8_t a = p[3];
        if (a == 0) return;
        for (int c = 0; c < 3; ++c)
            if (p[c] <= a) p[c] = static_cast<uint8_t>(a - p[c]);
    });
}

int64_t ClearColour(PixelView pixels, uint32_t color) {
    const uint32_t target = OpaqueValue(color);
    int64_t changed = 0;
    EachPixel(pixels, [&](uint8_t* p) {
        uint32_t value;
        std::memcpy(&value, p, 4);
        if (value == target) {
            std::memset(p, 0, 4);
            ++changed;
        }
    });
    return changed;
}

void RestoreClearedColour(PixelView pixels, uint32_t color) {
    const uint32_t target = OpaqueValue(color);
    EachPixel(pixels, [&](uint8_t* p) {
        uint32_t value;
        std::memcpy(&value, p, 4);
        if (value == 0) std::memcpy(p, &target, 4);
    });
}

void BlendTowardColour(PixelView pixels, uint32_t color, int32_t opacity) {
    if (opacity < 1) return;
    if (opacity > 100) opacity = 100;
    const int64_t keep = int64_t{100 - opacity} * 255;
    int64_t scaled[256];
    for (int v = 0; v < 256; ++v) scaled[v] = v * keep;
    const int64_t toward[3] = {int64_t((color >> 16) & 255) * opacity, int64_t((color >> 8) & 255) * opacity,
                               int64_t(color & 255) * opacity};  // blue, green, red
    EachPixel(pixels, [&](uint8_t* p) {
        const int64_t a = p[3];
        if (a == 0) return;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((scaled[p[c]] + toward[c] * a) / 25500);
    });
}

void CoverageToColour(PixelView pixels, uint32_t color) {
    const uint32_t channel[3] = {(color >> 16) & 255, (color >> 8) & 255, color & 255};  // blue, green, red
    EachPixel(pixels, [&](uint8_t* p) {
        const uint32_t coverage = p[0];
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(channel[c] * coverage / 255);
        p[3] = static_cast<uint8_t>(coverage);
    });
}

}  // namespace quorallion::imaging
