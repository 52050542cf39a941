// The image object's pixel and block access, alpha mask and region.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"

namespace quorallion {
namespace {

// A rectangle of the image, top-down, clipped to its right and bottom edges.
struct Block {
    int32_t x, y, width, height;
};

// False for a rectangle that starts outside the image or has a negative size.
bool ClipBlock(int32_t imageWidth, int32_t imageHeight, int32_t x, int32_t y, int32_t width, int32_t height,
               Block& out) {
    if (x < 0 || y < 0 || x >= imageWidth || y >= imageHeight || width < 0 || height < 0) return false;
    if (width == 0) width = imageWidth;
    if (height == 0) height = imageHeight;
    out = {x, y, static_cast<int32_t>(std::min<int64_t>(width, int64_t{imageWidth} - x)),
           static_cast<int32_t>(std::min<int64_t>(height, int64_t{imageHeight} - y))};
    return true;
}

inline uint8_t Unpremultiply(uint32_t channel, uint32_t alpha) {
    return static_cast<uint8_t>(std::min<uint32_t>(channel * 255 / alpha, 255));
}

}  // namespace

int32_t c32bppDIB::GetPixel(int32_t X, int32_t Y, int32_t& AlphaValue, bool asPreMultiplied) const {
    AlphaValue = 0;
    if (!dib_ || X < 0 || Y < 0 || X >= width_ || Y >= height_) return -1;
    const uint8_t* p = Pixels().at(X, height_ - 1 - Y);
    uint32_t b = p[0], g = p[1], r = p[2], a = p[3];
    AlphaValue = static_cast<int32_t>(a);
    if (!asPreMultiplied && a != 0 && a != 255) {
        b = Unpremultiply(b, a);
        g = Unpremultiply(g, a);
        r = Unpremultiply(r, a);
    }
    return static_cast<int32_t>(r | (g << 8) | (b << 16));
}

uint8_t* c32bppDIB::SetPixel(int32_t X, int32_t Y, uint32_t Color, int32_t AlphaValue, bool isPreMultiplied) {
    if (!dib_ || AlphaValue < 0 || AlphaValue > 255 || X < 0 || Y < 0 || X >= width_ || Y >= height_) {
        return nullptr;
    }
    uint8_t* p = Pixels().at(X, height_ - 1 - Y);
    const uint32_t a = static_cast<uint32_t>(AlphaValue);
    if (a == 0) {
        std::memset(p, 0, 4);
        alpha_ = 2;
        return p;
    }
    const uint32_t channels[3] = {(Color >> 16) & 255, (Color >> 8) & 255, Color & 255};  // b, g, r
    for (int c = 0; c < 3; ++c) {
        uint32_t value = channels[c];
        if ((!isPreMultiplied && a < 255) || value > a) value = value * a / 255;
        p[c] = static_cast<uint8_t>(value);
    }
    p[3] = static_cast<uint8_t>(a);
    if (a != 255) alpha_ = 2;
    return p;
}

bool c32bppDIB::GetDIBbits(std::vector<uint8_t>& outStream, bool /*as2dArray*/, bool asBGRformat, bool as32bpp,
                           bool asWordAligned, bool asBottomUp, int32_t X, int32_t Y, int32_t Width,
                           int32_t Height, bool asPreMultiplied) const {
    Block block;
    if (!dib_ || !ClipBlock(width_, height_, X, Y, Width, Height, block)) return false;
    const size_t pixelBytes = as32bpp ? 4 : 3;
    const size_t rowBytes = as32bpp || !asWordAligned
                                ? block.width * pixelBytes
                                : static_cast<size_t>(bas32bppDIBParsers::ScanLineBytes(24, block.width));
    outStream.assign(rowBytes * block.height, 0);
    const imaging::PixelView pixels = Pixels();

    if (as32bpp && asBGRformat && asBottomUp && asPreMultiplied && block.width == width_ &&
        block.height == height_) {
        std::memcpy(outStream.data(), bits_, outStream.size());
        return true;
    }
    for (int32_t k = 0; k < block.height; ++k) {  // k: row of the block from the top
        const uint8_t* s = pixels.at(block.x, height_ - 1 - (block.y + k));
        uint8_t* d = outStream.data() + rowBytes * (asBottomUp ? block.height - 1 - k : k);
        for (int32_t i = 0; i < block.width; ++i, s += 4, d += pixelBytes) {
            uint8_t b = s[0], g = s[1], r = s[2];
            const uint8_t a = s[3];
            if (!asPreMultiplied && a != 255) {
                if (a == 0) b = g = r = 0;
                else b = Unpremultiply(b, a), g = Unpremultiply(g, a), r = Unpremultiply(r, a);
            }
            d[0] = asBGRformat ? b : r;
            d[1] = g;
            d[2] = asBGRformat ? r : b;
            if (as32bpp) d[3] = a;
        }
    }
    return true;
}

bool c32bppDIB::SetDIBbits(const std::vector<uint8_t>& inStream, bool isBGRformat, bool is32bpp,
                           bool isWordAligned, bool isBottomUp, int32_t dstX, int32_t dstY, int32_t dstWidth,
                           int32_t dstHeight) {
    Block block;
    if (!dib_ || inStream.empty() || !ClipBlock(width_, height_, dstX, dstY, dstWidth, dstHeight, block)) {
        return false;
    }
    const size_t pixelBytes = is32bpp ? 4 : 3;
    const size_t rowBytes = is32bpp || !isWordAligned
                                ? block.width * pixelBytes
                                : static_cast<size_t>(bas32bppDIBParsers::ScanLineBytes(24, block.width));
    // The array must hold every row the rectangle reads (the last one without padding).
    if (inStream.size() < rowBytes * (block.height - 1) + block.width * pixelBytes) return false;
    const imaging::PixelView pixels = Pixels();
    for (int32_t k = 0; k < block.height; ++k) {
        const uint8_t* s = inStream.data() + rowBytes * (isBottomUp ? block.height - 1 - k : k);
        uint8_t* d = pixels.at(block.x, height_ - 1 - (block.y + k));
        for (int32_t i = 0; i < block.width; ++i, s += pixelBytes, d += 4) {
            d[0] = isBGRformat ? s[0] : s[2];
            d[1] = s[1];
            d[2] = isBGRformat ? s[2] : s[0];
            d[3] = is32bpp ? s[3] : 255;
        }
    }
    // The written colours are straight: the alpha scan premultiplies the rectangle alone (pixels
    // outside it are premultiplied already), then classifies the whole image unchanged.
    std::vector<uint8_t> written(size_t(block.width) * 4 * block.height);
    for (int32_t k = 0; k < block.height; ++k)
        std::memcpy(&written[size_t(k) * block.width * 4], pixels.at(block.x, height_ - 1 - (block.y + k)),
                    size_t(block.width) * 4);
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{written.data(), block.width, block.height}, true,
                                             alphaUse, alphaForm);
    for (int32_t k = 0; k < block.height; ++k)
        std::memcpy(pixels.at(block.x, height_ - 1 - (block.y + k)), &written[size_t(k) * block.width * 4],
                    size_t(block.width) * 4);
    alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(pixels, false, alphaUse, alphaForm);
    alpha_ = alphaUse;
    return true;
}

bool c32bppDIB::GetAlphaMask(std::vector<uint8_t>& outStream, bool /*as2dArray*/, bool asWordAligned,
                             bool asBottomUp, int32_t X, int32_t Y, int32_t Width, int32_t Height) const {
    Block block;
    if (!dib_ || !ClipBlock(width_, height_, X, Y, Width, Height, block)) return false;
    const size_t rowBytes = asWordAligned ? static_cast<size_t>(bas32bppDIBParsers::ScanLineBytes(8, block.width))
                                          : static_cast<size_t>(block.width);
    outStream.assign(rowBytes * block.height, 0);
    const imaging::PixelView pixels = Pixels();
    for (int32_t k = 0; k < block.height; ++k) {
        const uint8_t* s = pixels.at(block.x, height_ - 1 - (block.y + k));
        uint8_t* d = outStream.data() + rowBytes * (asBottomUp ? block.height - 1 - k : k);
        for (int32_t i = 0; i < block.width; ++i) d[i] = s[size_t(i) * 4 + 3];
    }
    return true;
}

HRGN c32bppDIB::CreateRegion(int32_t Style, int32_t xOffset, int32_t yOffset) const {
    if (!dib_ || Style < 0 || Style > 2) return nullptr;
    HRGN region = bas32bppDIBParsers::CreateShapedRegion(*this, Style);
    if (region && (xOffset || yOffset)) ::OffsetRgn(region, xOffset, yOffset);
    return region;
}

}  // namespace quorallion
