// Resize, trim, tiling, the checkerboard and the exchange of pixel blocks between two images.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "c32bppDIB.h"
#include "gdiplus/cGDIPlus.h"
#include "pixels/pixel_fill.h"
#include "pixels/pixel_mirror.h"
#include "pixels/pixel_scale.h"
#include "pixels/pixel_trim.h"

namespace quorallion {
namespace {

constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();

// The whole of source resampled into every pixel of output.
bool ScaleWhole(imaging::PixelView source, imaging::PixelView output, bool bilinear) {
    imaging::ScaleRequest request;
    request.srcWidth = source.width;
    request.srcHeight = source.height;
    request.xFactor = double(source.width) / output.width;
    request.yFactor = double(source.height) / output.height;
    request.bilinear = bilinear;
    return imaging::ScalePixelRect(source, output, request);
}

// The pixels turned over in place (through a mirrored copy).
bool MirrorInPlace(imaging::PixelView pixels, bool horizontal, bool vertical) {
    imaging::PixelCopy mirrored;
    if (!imaging::MirrorPixelRect(pixels, 0, 0, pixels.width, pixels.height, horizontal, vertical, mirrored)) {
        return false;
    }
    std::memcpy(pixels.bits, mirrored.view().bits, mirrored.bytes().size());
    return true;
}

int32_t Magnitude(int32_t value) {
    return value == kMinInt ? std::numeric_limits<int32_t>::max() : std::abs(value);
}

}  // namespace

bool c32bppDIB::Resize(int32_t newWidth, int32_t newHeight) {
    if (!dib_) return false;
    if (newWidth == 0) newWidth = width_;
    if (newHeight == 0) newHeight = height_;
    if (newWidth == width_ && newHeight == height_) return true;
    if (newWidth == kMinInt || newHeight == kMinInt) return false;

    c32bppDIB resized;
    resized.gdiToken(gdiToken_);
    resized.isGDIplusEnabled(isGDIplusEnabled());
    resized.HighQualityInterpolation(highQuality_);
    if (!resized.InitializeDIB(std::abs(newWidth), std::abs(newHeight))) return false;

    bool drawn;
    if (isGDIplusEnabled() && highQuality_) {
        cGDIPlus temporary;
        cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
        drawn = gdip.RenderWithGDIplus(*this, nullptr, 0, 100, 0, 0, newWidth, newHeight, 0, 0, width_, height_, true,
                                       -1, gdiToken_, 0, &resized);
    } else if (newWidth < 0 || newHeight < 0) {
        // Scaled first when the size differs, then turned over.
        const imaging::PixelView target = resized.Pixels();
        if (target.width == width_ && target.height == height_) {
            std::memcpy(target.bits, bits_, size_t(scanWidth()) * height_);
            drawn = true;
        } else {
            drawn = ScaleWhole(Pixels(), target, highQuality_);
        }
        drawn = drawn && MirrorInPlace(target, newWidth < 0, newHeight < 0);
    } else if (!isAlphaBlendFriendly() || highQuality_) {
        drawn = ScaleWhole(Pixels(), resized.Pixels(), highQuality_);
    } else {
        // The system's AlphaBlend is kept out of this one drawing.
        const uint32_t savedFlags = flags_;
        flags_ &= ~kAlphaBlendFriendly;
        drawn = Render(nullptr, 0, 0, newWidth, newHeight, 0, 0, 0, 0, 100, true, false, &resized);
        flags_ = (flags_ & ~kAlphaBlendFriendly) | (savedFlags & kAlphaBlendFriendly);
    }
    if (!drawn) return false;
    resized.ImageType(imageType_);
    resized.Alpha(alpha_);
    resized.originalFormat_ = originalFormat_;
    SwapDIBs(&resized);
    return true;
}

bool c32bppDIB::TrimImage(bool UpdateDIB, int32_t Method, int32_t& X, int32_t& Y, int32_t& Width, int32_t& Height) {
    if (!dib_ || Method < 0) return false;
    imaging::TrimRect kept;
    const bool found = imaging::FindTrimRect(Pixels(), Method, kept);
    X = kept.x;
    Y = kept.y;
    Width = kept.width;
    Height = kept.height;
    if (!found) return false;
    if (!UpdateDIB || (kept.width == width_ && kept.height == height_)) return true;

    c32bppDIB trimmed;
    trimmed.gdiToken(gdiToken_);
    if (!trimmed.InitializeDIB(kept.width, kept.height)) return false;
    const imaging::PixelView source = Pixels(), target = trimmed.Pixels();
    for (int32_t row = 0; row < kept.height; ++row) {
        std::memcpy(target.row(row), source.at(kept.x, kept.bottomRow + row), target.stride());
    }
    trimmed.ImageType(imageType_);
    trimmed.Alpha(alpha_);
    trimmed.originalFormat_ = originalFormat_;
    SwapDIBs(&trimmed);
    X = Y = 0;
    return true;
}

bool c32bppDIB::TileImage(HDC destinationDC, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                          int32_t TileWidth, int32_t TileHeight, int32_t ColumnGap, int32_t RowGap, bool StaggerRows,
                          bool FlipAlternateTilesX, bool FlipAlternateTilesY, int32_t Opacity, int32_t grayScale,
                          float LightAdjustment) {
    if (!destinationDC || !dib_ || destWidth == 0 || destHeight == 0) return false;
    if (TileWidth == 0) TileWidth = width_;
    if (TileHeight == 0) TileHeight = height_;
    if (TileWidth == kMinInt || TileHeight == kMinInt || destWidth == kMinInt || destHeight == kMinInt) return false;
    const int32_t tileWidth = std::abs(TileWidth), tileHeight = std::abs(TileHeight);
    const int32_t canvasWidth = std::abs(destWidth), canvasHeight = std::abs(destHeight);

    if (tileWidth > canvasWidth && tileHeight > canvasHeight) {
        return Render(destinationDC, destX, destY, destWidth, destHeight, 0, 0, 0, 0, Opacity, true, true, nullptr,
                      grayScale, LightAdjustment);
    }

    // Tiles of an image without alpha are drawn without interpolation.
    const bool savedQuality = highQuality_;
    if (alpha_ == 0) highQuality_ = false;
    c32bppDIB second;
    const bool mirroredSecond = FlipAlternateTilesX || FlipAlternateTilesY;
    bool made = true;
    if (mirroredSecond || (StaggerRows && tileWidth > canvasWidth)) {
        made = second.InitializeDIB(tileWidth, tileHeight) &&
               Render(nullptr, 0, 0, FlipAlternateTilesX ? -TileWidth : TileWidth,
                      FlipAlternateTilesY ? -TileHeight : TileHeight, 0, 0, 0, 0, 100, true, true, &second, grayScale,
                      LightAdjustment);
    }
    c32bppDIB canvas;
    made = made && canvas.InitializeDIB(canvasWidth, canvasHeight) &&
           Render(nullptr, 0, 0, TileWidth, TileHeight, 0, 0, 0, 0, 100, true, true, &canvas, grayScale,
                  LightAdjustment);
    highQuality_ = savedQuality;
    if (!made) return false;

    imaging::TileLayout layout;
    layout.tileWidth = tileWidth;
    layout.tileHeight = tileHeight;
    layout.columnGap = Magnitude(ColumnGap);
    layout.rowGap = Magnitude(RowGap);
    layout.staggerRows = StaggerRows;
    imaging::FillTiles(canvas.Pixels(), second.Pixels(), mirroredSecond, layout);
    canvas.Alpha(2);
    return canvas.Render(destinationDC, destX, destY, destWidth, destHeight, 0, 0, canvasWidth, canvasHeight, Opacity,
                         true, true, nullptr, -1, 0, 0, false);
}

bool c32bppDIB::CreateCheckerBoard(int32_t CheckerSize, uint32_t FirstColor, uint32_t SecondColor) {
    if (!dib_ || !imaging::DrawCheckerBoard(Pixels(), CheckerSize, FirstColor, SecondColor)) return false;
    alpha_ = 0;
    imageType_ = 64;
    return true;
}

bool c32bppDIB::DeselectForSwap() {
    keptGdiPlus_.reset();
    if (!ownDC_ || !previousBitmap_) return false;
    ::SelectObject(ownDC_, previousBitmap_);
    previousBitmap_ = nullptr;
    return true;
}

void c32bppDIB::SwapDIBs(c32bppDIB* SwapFromDIB) {
    if (!SwapFromDIB || SwapFromDIB == this) return;
    c32bppDIB& other = *SwapFromDIB;
    const bool mineSelected = DeselectForSwap();
    const bool theirsSelected = other.DeselectForSwap();
    std::swap(dib_, other.dib_);
    std::swap(bits_, other.bits_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(imageType_, other.imageType_);
    std::swap(alpha_, other.alpha_);
    std::swap(originalFormat_, other.originalFormat_);
    if (mineSelected && dib_) previousBitmap_ = ::SelectObject(ownDC_, dib_.get());
    if (theirsSelected && other.dib_) other.previousBitmap_ = ::SelectObject(other.ownDC_, other.dib_.get());
}

}  // namespace quorallion
