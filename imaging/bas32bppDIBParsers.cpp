// The portable helpers of bas32bppDIBParsers.
#include "bas32bppDIBParsers.h"

#include <algorithm>
#include <limits>

namespace quorallion::bas32bppDIBParsers {

int32_t ScanLineBytes(int32_t bitsPerPixel, int32_t width) {
    int64_t bits = int64_t{bitsPerPixel} * width + 31;
    if (bitsPerPixel < 0 || width < 0 || bits > std::numeric_limits<int32_t>::max()) {
        throw std::overflow_error("row size overflow");
    }
    return static_cast<int32_t>((bits & ~int64_t{31}) / 8);
}

int32_t ReverseLong(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    return static_cast<int32_t>(v);
}

void ValidateAlphaChannel(imaging::PixelView pixels, bool premultiply, int32_t& alphaUse,
                          int32_t& alphaForm) {
    enum class State { Clean, TransparentColour, Straight };
    alphaUse = kAlphaNone;
    const size_t count = pixels.empty() ? 0 : static_cast<size_t>(pixels.width) * pixels.height;
    uint8_t* const bytes = pixels.bits;

    bool noAlpha = alphaForm == kFormSkipScan || count == 0;
    State state = State::Clean;
    if (!noAlpha) {
        size_t transparent = 0, opaque = 0;
        for (size_t i = 0; i < count && state != State::Straight; ++i) {
            const uint8_t* p = bytes + i * 4;
            const uint8_t a = p[3];
            if (a == 0) {
                if (state == State::Clean && (p[0] | p[1] | p[2]) != 0) state = State::TransparentColour;
                ++transparent;
            } else if (a == 255) {
                if (state == State::TransparentColour) state = State::Straight;
                else ++opaque;
            } else if (state == State::TransparentColour || p[0] > a || p[1] > a || p[2] > a) {
                state = State::Straight;
            } else {
                alphaUse = kAlphaPartial;
            }
        }
        // Counted only while the scan ran to the end; a straight scan stopped early has alpha.
        if (state != State::Straight && (transparent == count || opaque == count)) noAlpha = true;
    }

    if (noAlpha) {
        alphaUse = kAlphaNone;
        alphaForm = kFormNoAlpha;
        if (premultiply) {
            for (size_t i = 0; i < count; ++i) bytes[i * 4 + 3] = 255;
        }
        return;
    }
    if (state == State::Clean) {
        alphaForm = kFormPremultiplied;
        if (alphaUse == kAlphaNone) alphaUse = kAlphaSimple;
        return;
    }
    // Straight data: the scan may have stopped early, so the kind comes from every pixel.
    alphaForm = kFormStraight;
    alphaUse = kAlphaSimple;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = bytes + i * 4;
        const uint32_t a = p[3];
        if (a != 0 && a != 255) alphaUse = kAlphaPartial;
        if (!premultiply) continue;
        if (a == 0) {
            p[0] = p[1] = p[2] = 0;
        } else if (a != 255) {
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] * a / 255);
        }
    }
}

GreyWeights GetGrayScaleWeights(int32_t formula) {
    switch (formula) {
        case -1: return {1.0f, 1.0f, 1.0f};
        case 1: return {0.213f, 0.715f, 0.072f};
        case 2: return {0.333f, 0.334f, 0.333f};
        case 3: return {0.8f, 0.1f, 0.1f};
        case 4: return {0.1f, 0.8f, 0.1f};
        case 5: return {0.1f, 0.1f, 0.8f};
        case 6: return {0.45f, 0.45f, 0.1f};
        case 7: return {0.1f, 0.45f, 0.45f};
        default: return {0.299f, 0.587f, 0.114f};
    }
}

void FlattenToColor(imaging::PixelView pixels, uint32_t backgroundColor, std::vector<uint8_t>& out,
                    bool bmpLayout) {
    out.clear();
    if (pixels.empty()) return;
    const uint8_t background[3] = {static_cast<uint8_t>(backgroundColor >> 16),
                                   static_cast<uint8_t>(backgroundColor >> 8),
                                   static_cast<uint8_t>(backgroundColor)};
    const size_t outPixelBytes = bmpLayout ? 3 : 4;
    const size_t outRowBytes = bmpLayout ? static_cast<size_t>(ScanLineBytes(24, pixels.width))
                                         : pixels.stride();
    out.assign(outRowBytes * static_cast<size_t>(pixels.height), 0);
    for (int32_t row = 0; row < pixels.height; ++row) {
        const uint8_t* src = pixels.row(row);
        uint8_t* dst = out.data() + outRowBytes * static_cast<size_t>(row);
        for (int32_t x = 0; x < pixels.width; ++x, src += 4, dst += outPixelBytes) {
            const uint32_t a = src[3];
            if (a == 255) {
                std::copy(src, src + outPixelBytes, dst);
            } else if (a == 0) {
                std::copy(background, background + 3, dst);
                if (!bmpLayout) dst[3] = 255;  // every pixel comes out opaque
            } else {
                for (int c = 0; c < 3; ++c) {
                    uint32_t value = src[c] + background[c] * (255 - a) / 255;
                    dst[c] = static_cast<uint8_t>(std::min<uint32_t>(value, 255));
                }
                if (!bmpLayout) dst[3] = 255;
            }
        }
    }
}

int32_t BinarySearchLong(const std::vector<int32_t>& values, int32_t value, int32_t count,
                         bool& notFound) {
    notFound = true;
    count = std::clamp<int32_t>(count, 0, static_cast<int32_t>(std::max<size_t>(values.size(), 1) - 1));
    if (count == 0) return 1;
    int32_t low = 1, high = count, middle = 1;
    while (low <= high) {
        middle = low + (high - low) / 2;
        if (values[middle] == value) {
            notFound = false;
            return middle;
        }
        if (values[middle] > value) high = middle - 1;
        else low = middle + 1;
    }
    return values[middle] < value ? middle + 1 : middle;
}

}  // namespace quorallion::bas32bppDIBParsers
