// Render: one drawing entry with three roads (the system's AlphaBlend, GDI+, the own pixel
// pipeline) and a rotation worker of its own.
#include <cmath>
#include <limits>

#include "c32bppDIB.h"
#include "gdiplus/cGDIPlus.h"
#include "pixels/light_adjust.h"
#include "pixels/pixel_mirror.h"
#include "pixels/pixel_rotate.h"
#include "pixels/pixel_scale.h"

namespace quorallion {
namespace {

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Whole degrees modulo 360, rounded halves to even; the sign is kept.
int32_t WholeDegrees(float angle) {
    return static_cast<int32_t>(std::fmod(std::nearbyint(static_cast<double>(angle)), 360.0));
}

// Selects a host image into its own DC for the call and back out afterwards.
class HostDC {
public:
    HostDC(c32bppDIB* host, HDC fallback) : host_(host), dc_(host ? host->LoadDIBinDC(true) : fallback) {}
    ~HostDC() {
        if (host_) host_->LoadDIBinDC(false);
    }
    HostDC(const HostDC&) = delete;
    HostDC& operator=(const HostDC&) = delete;
    HDC get() const { return dc_; }

private:
    c32bppDIB* host_;
    HDC dc_;
};

}  // namespace

void c32bppDIB::SelectIntoOwnDC(bool& madeDC, bool& selected) {
    madeDC = selected = false;
    if (!ownDC_) {
        win::WindowDC screen(nullptr);
        ownDC_ = ::CreateCompatibleDC(screen.get());
        madeDC = ownDC_ != nullptr;
    }
    if (ownDC_ && !previousBitmap_) {
        previousBitmap_ = ::SelectObject(ownDC_, dib_.get());
        selected = true;
    }
}

void c32bppDIB::ReleaseOwnDC(bool madeDC, bool selected) {
    if (selected && ownDC_ && previousBitmap_) {
        ::SelectObject(ownDC_, previousBitmap_);
        previousBitmap_ = nullptr;
    }
    if (madeDC && ownDC_) {
        ::DeleteDC(ownDC_);
        ownDC_ = nullptr;
    }
}

bool c32bppDIB::Render(HDC destinationDC, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                       int32_t SrcX, int32_t SrcY, int32_t srcWidth, int32_t srcHeight, int32_t Opacity,
                       bool /*Blend*/, bool SetHalfTone, c32bppDIB* destHostDIB, int32_t grayScale,
                       float LightAdjustment, float Angle, bool CenterOnDestXY) {
    if (Opacity < 1) return static_cast<bool>(dib_);
    if (!dib_) return false;
    if (!destinationDC && !destHostDIB) return false;
    if (destHostDIB == this) return false;  // would read the pixels it is writing

    if (destWidth == 0) destWidth = width_;
    if (destHeight == 0) destHeight = height_;
    if (SrcX < 0) SrcX = 0;
    if (SrcY < 0) SrcY = 0;
    if (srcWidth == 0) srcWidth = width_;
    if (srcHeight == 0) srcHeight = height_;
    if (srcWidth < 0) {
        if (srcWidth == std::numeric_limits<int32_t>::min() || destWidth == std::numeric_limits<int32_t>::min()) return false;
        srcWidth = -srcWidth;
        destWidth = -destWidth;
    }
    if (srcHeight < 0) {
        if (srcHeight == std::numeric_limits<int32_t>::min() || destHeight == std::numeric_limits<int32_t>::min()) return false;
        srcHeight = -srcHeight;
        destHeight = -destHeight;
    }
    // The source rectangle stays inside the image; one starting past its edge draws nothing.
    if (int64_t{SrcX} + srcWidth > width_) srcWidth = width_ - SrcX;
    if (int64_t{SrcY} + srcHeight > height_) srcHeight = height_ - SrcY;
    if (srcWidth < 1 || srcHeight < 1) return false;
    if (destWidth == std::numeric_limits<int32_t>::min() || destHeight == std::numeric_limits<int32_t>::min()) return false;

    const bool turned = Angle != std::trunc(Angle) || WholeDegrees(Angle) != 0;
    int32_t opacity = static_cast<int32_t>(std::llabs(int64_t{Opacity}) % 100);
    if (opacity == 0) opacity = 100;
    if (LightAdjustment != 0 && (LightAdjustment < -100 || LightAdjustment > 100)) LightAdjustment = 0;

    if (CenterOnDestXY) {
        const int64_t x = int64_t{destX} - std::llabs(int64_t{destWidth}) / 2;
        const int64_t y = int64_t{destY} - std::llabs(int64_t{destHeight}) / 2;
        if (!FitsInt32(x) || !FitsInt32(y)) return false;
        destX = static_cast<int32_t>(x);
        destY = static_cast<int32_t>(y);
    }
    if (turned) {
        return RenderRotated(destinationDC, Angle, destX, destY, destWidth, destHeight, SrcX, SrcY, srcWidth,
                             srcHeight, opacity, destHostDIB, grayScale, LightAdjustment);
    }

    const bool mirror = destWidth <= 0 || destHeight < 0;
    const bool stretch = std::abs(destWidth) != srcWidth || std::abs(destHeight) != srcHeight;

    bool useAlphaBlend = false;
    if (!keepGdiPlus_ && !(isGDIplusEnabled() && gdiToken_ != 0)) {
        if (isAlphaBlendFriendly() && !mirror && grayScale == -1 && LightAdjustment == 0) {
            useAlphaBlend = stretch ? !highQuality_ : true;
        }
    }

    if (isGDIplusEnabled() && !useAlphaBlend) {
        cGDIPlus temporary;
        cGDIPlus* gdip = keptGdiPlus_.get();
        if (!gdip && keepGdiPlus_) {
            keptGdiPlus_ = std::make_unique<cGDIPlus>();
            gdip = keptGdiPlus_.get();
        }
        if (!gdip) gdip = &temporary;
        return gdip->RenderWithGDIplus(*this, destinationDC, 0, opacity, destX, destY, destWidth, destHeight, SrcX,
                                       SrcY, srcWidth, srcHeight, highQuality_, grayScale, gdiToken_,
                                       LightAdjustment, destHostDIB);
    }

    bool madeDC = false, selected = false;
    SelectIntoOwnDC(madeDC, selected);
    bool drawn = false;
    if (useAlphaBlend) {
        HostDC target(destHostDIB, destinationDC);
        int previousMode = 0;
        const bool halftone = SetHalfTone && (flags_ & kNtFamily);
        if (halftone) previousMode = ::SetStretchBltMode(target.get(), HALFTONE);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacity * 255 / 100),
                            static_cast<BYTE>(alpha_ > 0 ? AC_SRC_ALPHA : 0)};
        drawn = ownDC_ && ::AlphaBlend(target.get(), destX, destY, destWidth, destHeight, ownDC_, SrcX, SrcY,
                                       srcWidth, srcHeight, blend);
        if (halftone && previousMode) ::SetStretchBltMode(target.get(), previousMode);
    } else {
        const int32_t blendOpacity = opacity * 255 / 100;
        imaging::PixelCopy mirrored, scaled;
        if (mirror) {
            if (!imaging::MirrorPixelRect(Pixels(), SrcX, SrcY, srcWidth, srcHeight, destWidth < 0, destHeight < 0,
                                          mirrored)) {
                ReleaseOwnDC(madeDC, selected);
                return false;
            }
            imaging::AdjustLightness(mirrored.view(), 0, 0, srcWidth, srcHeight, LightAdjustment);
            LightAdjustment = 0;
            SrcX = SrcY = 0;
            destWidth = std::abs(destWidth);
            destHeight = std::abs(destHeight);
        }
        if (stretch) {
            drawn = ScaleAndBlend(destinationDC, mirrored, SrcX, SrcY, srcWidth, srcHeight, destX, destY, destWidth,
                                  destHeight, blendOpacity, destHostDIB, grayScale, LightAdjustment);
        } else {
            drawn = BlendPixels(destinationDC, mirrored, SrcX, SrcY, destX, destY, std::abs(destWidth),
                                std::abs(destHeight), blendOpacity, destHostDIB, grayScale, LightAdjustment);
        }
    }
    ReleaseOwnDC(madeDC, selected);
    return drawn;
}

bool c32bppDIB::ScaleAndBlend(HDC destinationDC, imaging::PixelCopy& input, int32_t SrcX, int32_t SrcY,
                              int32_t srcWidth, int32_t srcHeight, int32_t destX, int32_t destY, int32_t destWidth,
                              int32_t destHeight, int32_t opacity, c32bppDIB* destHostDIB, int32_t grayScale,
                              float LightAdjustment) {
    int64_t outWidth = std::abs(destWidth), outHeight = std::abs(destHeight);
    imaging::ScaleRequest request;
    request.srcX = SrcX;
    request.srcY = SrcY;
    request.srcWidth = srcWidth;
    request.srcHeight = srcHeight;
    request.xFactor = double(srcWidth) / double(outWidth);
    request.yFactor = double(srcHeight) / double(outHeight);
    request.bilinear = highQuality_;
    // Only the visible part is scaled: columns left of 0 and rows above 0 are cut here.
    int64_t dx = destX, dy = destY;
    if (dx < 0) { request.skipX = static_cast<int32_t>(std::min<int64_t>(-dx, outWidth)); outWidth += dx; dx = 0; }
    if (dy < 0) { outHeight += dy; dy = 0; }
    // What lies past the target's right and bottom edges is not scaled either: the host's size, or
    // the device context's clip box.
    int64_t limitRight = std::numeric_limits<int32_t>::max(), limitBottom = limitRight;
    RECT clip{};
    if (destHostDIB) {
        limitRight = destHostDIB->Width();
        limitBottom = destHostDIB->Height();
    } else if (destinationDC && ::GetClipBox(destinationDC, &clip) > NULLREGION) {
        limitRight = clip.right;
        limitBottom = clip.bottom;
    }
    {
        outWidth = std::min<int64_t>(outWidth, limitRight - dx);
        const int64_t bottomCut = dy + outHeight - limitBottom;
        if (bottomCut > 0) {
            outHeight -= bottomCut;
            request.skipY = static_cast<int32_t>(std::min<int64_t>(bottomCut, std::numeric_limits<int32_t>::max()));
        }
    }
    if (outWidth < 1 || outHeight < 1) return false;

    imaging::PixelCopy output;
    if (!output.Allocate(static_cast<int32_t>(outWidth), static_cast<int32_t>(outHeight))) return false;
    imaging::PixelView source = Pixels();
    if (!input.empty()) {
        source = input.view();
        request.srcX = request.srcY = 0;
    }
    if (!imaging::ScalePixelRect(source, output.view(), request)) return false;
    input.Free();
    imaging::AdjustLightness(output.view(), 0, 0, output.width(), output.height(), LightAdjustment);
    return BlendPixels(destinationDC, output, 0, 0, static_cast<int32_t>(dx), static_cast<int32_t>(dy),
                       output.width(), output.height(), opacity, destHostDIB, grayScale, 0);
}

bool c32bppDIB::RenderRotated(HDC destinationDC, float Angle, int32_t destX, int32_t destY, int32_t destWidth,
                              int32_t destHeight, int32_t SrcX, int32_t SrcY, int32_t srcWidth, int32_t srcHeight,
                              int32_t opacityPercent, c32bppDIB* destHostDIB, int32_t grayScale,
                              float LightAdjustment) {
    if (isGDIplusEnabled()) {
        cGDIPlus temporary;
        cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
        if (gdip.RenderWithGDIplus(*this, destinationDC, Angle, opacityPercent, destX, destY, destWidth, destHeight,
                                   SrcX, SrcY, srcWidth, srcHeight, highQuality_, grayScale, gdiToken_,
                                   LightAdjustment, destHostDIB)) {
            return true;
        }
    }
    imaging::PixelCopy prepared;
    imaging::PixelView source = Pixels();
    if (destWidth < 0 || destHeight < 0) {
        if (!imaging::MirrorPixelRect(Pixels(), SrcX, SrcY, srcWidth, srcHeight, destWidth < 0, destHeight < 0,
                                      prepared)) {
            return false;
        }
        imaging::AdjustLightness(prepared.view(), 0, 0, srcWidth, srcHeight, LightAdjustment);
    } else if (LightAdjustment != 0) {
        if (!imaging::LightenedCopy(Pixels(), SrcX, SrcY, srcWidth, srcHeight, LightAdjustment, prepared)) {
            return false;
        }
    }
    if (!prepared.empty()) {
        source = prepared.view();
        SrcX = SrcY = 0;
    }
    destWidth = std::abs(destWidth);
    destHeight = std::abs(destHeight);
    imaging::RotateRequest request{SrcX, SrcY, srcWidth, srcHeight, destWidth, destHeight, Angle, highQuality_};
    imaging::PixelCopy square;
    if (!imaging::RotatePixelRect(source, request, square)) return false;
    prepared.Free();
    const int32_t side = square.width();
    const int64_t left = int64_t{destX} + destWidth / 2 - side / 2;
    const int64_t top = int64_t{destY} + destHeight / 2 - side / 2;
    if (!FitsInt32(left) || !FitsInt32(top)) return false;
    return BlendPixels(destinationDC, square, 0, 0, static_cast<int32_t>(left), static_cast<int32_t>(top), side, side,
                       opacityPercent * 255 / 100, destHostDIB, grayScale, 0);
}

}  // namespace quorallion
