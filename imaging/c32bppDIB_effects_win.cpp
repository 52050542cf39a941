// The image object's pixel effects and its drop shadow.
#include <cstring>

#include "bas32bppDIBParsers.h"
#include "c32bppDIB.h"
#include "pixels/drop_shadow.h"
#include "pixels/light_adjust.h"
#include "pixels/pixel_effects.h"
#include "pixels/pixel_mirror.h"

namespace quorallion {

bool c32bppDIB::MakeGrayScale(int32_t Formula) {
    if (!dib_ || Formula == -1) return false;
    const bas32bppDIBParsers::GreyWeights weights = bas32bppDIBParsers::GetGrayScaleWeights(Formula);
    imaging::MakeGrey(Pixels(), weights.red, weights.green, weights.blue);
    return true;
}

bool c32bppDIB::MakeImageInverse() {
    if (!dib_) return false;
    imaging::InvertColours(Pixels());
    return true;
}

bool c32bppDIB::MakeTransparent(uint32_t TransparentColor, bool Revert) {
    if (!dib_) return false;
    if (!Revert) {
        if (imaging::ClearColour(Pixels(), TransparentColor) > 0) {
            alpha_ = bas32bppDIBParsers::kAlphaSimple;
            if (imageType_ == 1) imageType_ = 7;
        }
        return true;
    }
    imaging::RestoreClearedColour(Pixels(), TransparentColor);
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(Pixels(), false, alphaUse, alphaForm);
    alpha_ = alphaUse;
    if (alphaUse == bas32bppDIBParsers::kAlphaNone && (imageType_ == 6 || imageType_ == 7)) imageType_ = 1;
    return true;
}

bool c32bppDIB::MirrorImage(bool MirrorAxisX, bool MirrorAxisY) {
    if (!dib_ || (!MirrorAxisX && !MirrorAxisY)) return false;
    imaging::PixelCopy mirrored;
    if (!imaging::MirrorPixelRect(Pixels(), 0, 0, width_, height_, MirrorAxisX, MirrorAxisY, mirrored)) return false;
    std::memcpy(bits_, mirrored.view().bits, mirrored.bytes().size());
    return true;
}

std::unique_ptr<c32bppDIB> c32bppDIB::CreateDropShadow(int32_t blurDepth, uint32_t Color) {
    if (!dib_) return nullptr;
    imaging::PixelCopy shadowPixels;
    if (!imaging::MakeDropShadow(Pixels(), blurDepth, Color, shadowPixels)) return nullptr;
    auto shadow = std::make_unique<c32bppDIB>();
    if (!shadow->InitializeDIB(shadowPixels.width(), shadowPixels.height())) return nullptr;
    std::memcpy(shadow->BitsPointer(), shadowPixels.view().bits, shadowPixels.bytes().size());
    shadow->Alpha(bas32bppDIBParsers::kAlphaPartial);
    shadow->ImageType(7);
    return shadow;
}

bool c32bppDIB::RenderDropShadow_JIT(HDC hDC, int32_t X, int32_t Y, int32_t blurDepth, uint32_t Color,
                                     int32_t Opacity, float LightAdjustment, c32bppDIB* destHostDIB) {
    std::unique_ptr<c32bppDIB> shadow = CreateDropShadow(blurDepth, Color);
    if (!shadow) return false;
    return shadow->Render(hDC, X, Y, 0, 0, 0, 0, 0, 0, Opacity, true, true, destHostDIB, -1, LightAdjustment);
}

bool c32bppDIB::MakeLighterDarker(float Percent) {
    if (!dib_) return false;
    if (Percent > 100 || Percent < -100) Percent = 0;
    if (Percent == 0) return false;
    imaging::PixelCopy adjusted;
    if (!imaging::LightenedCopy(Pixels(), 0, 0, width_, height_, Percent, adjusted)) return false;
    std::memcpy(bits_, adjusted.view().bits, adjusted.bytes().size());
    return true;
}

bool c32bppDIB::BlendToColor(uint32_t BlendColor, int32_t BlendOpacity) {
    if (!dib_) return false;
    imaging::BlendTowardColour(Pixels(), BlendColor, BlendOpacity);
    return true;
}

}  // namespace quorallion
