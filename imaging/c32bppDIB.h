#pragma once
// The image object: one 32-bit DIB section of premultiplied blue-green-red-alpha pixels, rows
// bottom-up, stride Width x 4; plus the settings that loading, drawing and saving read.
#include <windows.h>

#include <any>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixels/pixel_copy.h"
#include "win/handles.h"

namespace quorallion {

class cGDIPlus;

class c32bppDIB {
public:
    // Capability flags.
    enum Capability : uint32_t {
        kAlphaBlendFriendly = 1,
        kGdiPlusEnabled = 2,
        kNt5OrLater = 8,
        kWin98OrMe = 16,
        kNoGdiPlusSystem = 32,
        kNtFamily = 64,
    };

    c32bppDIB();
    ~c32bppDIB();
    c32bppDIB(const c32bppDIB&) = delete;
    c32bppDIB& operator=(const c32bppDIB&) = delete;

    // Properties.
    void Alpha(int32_t kind) { alpha_ = kind; }
    int32_t Alpha() const { return alpha_; }
    void HighQualityInterpolation(bool on) { highQuality_ = on; }
    bool HighQualityInterpolation() const { return highQuality_; }
    int32_t ImageType() const { return imageType_; }
    void ManageOwnDC(bool on);
    bool ManageOwnDC() const { return manageOwnDC_; }
    bool isAlphaBlendFriendly() const { return (flags_ & kAlphaBlendFriendly) != 0; }
    void isAlphaBlendFriendly(bool on);
    bool isGDIplusEnabled() const { return (flags_ & kGdiPlusEnabled) != 0; }
    void isGDIplusEnabled(bool on);
    void gdiToken(ULONG_PTR token);
    ULONG_PTR gdiToken() const { return gdiToken_; }
    std::any Tag;
    bool KeepGDIplusActive() const { return keepGdiPlus_; }
    void KeepGDIplusActive(bool on);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint8_t* BitsPointer() const { return bits_; }
    int32_t scanWidth() const { return width_ * 4; }
    HBITMAP Handle() const { return static_cast<HBITMAP>(dib_.get()); }
    bool isZlibEnabled() const;

    // Pixel access. Y counts from the top.
    int32_t GetPixel(int32_t X, int32_t Y, int32_t& AlphaValue, bool asPreMultiplied = true) const;
    // The pixel's address, or nullptr (0) when nothing was written.
    uint8_t* SetPixel(int32_t X, int32_t Y, uint32_t Color, int32_t AlphaValue = 255,
                      bool isPreMultiplied = false);
    // Width/Height 0 mean the image's; a rectangle (after clipping to the right and bottom edges)
    // that starts outside the image gives False. as2dArray only describes the caller's indexing:
    // rows are contiguous either way.
    bool GetDIBbits(std::vector<uint8_t>& outStream, bool as2dArray = false, bool asBGRformat = true,
                    bool as32bpp = true, bool asWordAligned = true, bool asBottomUp = true,
                    int32_t X = 0, int32_t Y = 0, int32_t Width = 0, int32_t Height = 0,
                    bool asPreMultiplied = true) const;
    // Colours not premultiplied in inStream; False when it is shorter than the rectangle needs.
    bool SetDIBbits(const std::vector<uint8_t>& inStream, bool isBGRformat = true, bool is32bpp = true,
                    bool isWordAligned = true, bool isBottomUp = true, int32_t dstX = 0,
                    int32_t dstY = 0, int32_t dstWidth = 0, int32_t dstHeight = 0);
    bool GetAlphaMask(std::vector<uint8_t>& outStream, bool as2dArray = false, bool asWordAligned = true,
                      bool asBottomUp = true, int32_t X = 0, int32_t Y = 0, int32_t Width = 0,
                      int32_t Height = 0) const;
    // The caller owns the region.
    HRGN CreateRegion(int32_t Style, int32_t xOffset = 0, int32_t yOffset = 0) const;
    bool GetOrginalFormat(std::vector<uint8_t>& outStream) const;

    // Copy and scale. cDIBclass empty: a new object is made.
    void CopyImageTo(std::unique_ptr<c32bppDIB>& cDIBclass, int32_t newWidth = 0, int32_t newHeight = 0,
                     bool CopyOriginalFormat = false);
    void CopyImageTo(c32bppDIB& destination, int32_t newWidth = 0, int32_t newHeight = 0,
                     bool CopyOriginalFormat = false);
    void ScaleImage(int32_t destWidth, int32_t destHeight, int32_t& newWidth, int32_t& newHeight,
                    int32_t ScaleMode = 0) const;

    // Life cycle.
    HDC LoadDIBinDC(bool bLoad);
    bool InitializeDIB(int32_t Width, int32_t Height);
    void DestroyDIB();
    void EraseDIB();

    // Drawing (one entry point; the roads are chosen inside).
    bool Render(HDC destinationDC, int32_t destX = 0, int32_t destY = 0, int32_t destWidth = 0,
                int32_t destHeight = 0, int32_t SrcX = 0, int32_t SrcY = 0, int32_t srcWidth = 0,
                int32_t srcHeight = 0, int32_t Opacity = 100, bool Blend = true, bool SetHalfTone = true,
                c32bppDIB* destHostDIB = nullptr, int32_t grayScale = -1, float LightAdjustment = 0,
                float Angle = 0, bool CenterOnDestXY = false);

    // A GDI+ session for the caller to hand to several images; 0 when GDI+ cannot start.
    ULONG_PTR CreateGDIplusToken();
    // Ends a session made by CreateGDIplusToken; nothing for 0.
    void DestroyGDIplusToken(ULONG_PTR token);

    // Suite-only: the readers set the image type and the kept bytes.
    void ImageType(int32_t code) { imageType_ = code; }
    void SetOriginalFormatBytes(const std::vector<uint8_t>& bytes) { originalFormat_ = bytes; }
    uint32_t CapabilityFlags() const { return flags_; }
    // The pixels as a view (empty without an image).
    imaging::PixelView Pixels() const {
        return imaging::PixelView{bits_, width_, height_};
    }
    // The kept GDI+ wrapper, or nullptr.
    cGDIPlus* KeptGdiPlus() const { return keptGdiPlus_.get(); }

private:
    // Roads of Render (c32bppDIB_render_win.cpp).
    bool RenderRotated(HDC destinationDC, float Angle, int32_t destX, int32_t destY, int32_t destWidth,
                       int32_t destHeight, int32_t SrcX, int32_t SrcY, int32_t srcWidth,
                       int32_t srcHeight, int32_t opacityPercent, c32bppDIB* destHostDIB,
                       int32_t grayScale, float LightAdjustment);
    bool BlendPixels(HDC destinationDC, imaging::PixelCopy& copy, int32_t SrcX, int32_t SrcY,
                     int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                     int32_t opacity, c32bppDIB* destHostDIB, int32_t grayScale, float LightAdjustment);
    bool ScaleAndBlend(HDC destinationDC, imaging::PixelCopy& input, int32_t SrcX, int32_t SrcY,
                       int32_t srcWidth, int32_t srcHeight, int32_t destX, int32_t destY, int32_t destWidth,
                       int32_t destHeight, int32_t opacity, c32bppDIB* destHostDIB, int32_t grayScale,
                       float LightAdjustment);
    void SelectIntoOwnDC(bool& madeDC, bool& selected);
    void ReleaseOwnDC(bool madeDC, bool selected);

    win::UniqueGdiObject dib_;
    uint8_t* bits_ = nullptr;
    int32_t height_ = 0;
    int32_t width_ = 0;
    HDC ownDC_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    uint32_t flags_ = 0;
    int32_t imageType_ = -1;
    bool manageOwnDC_ = false;
    bool highQuality_ = false;
    int32_t alpha_ = 0;
    ULONG_PTR gdiToken_ = 0;
    std::vector<uint8_t> originalFormat_;
    std::unique_ptr<cGDIPlus> keptGdiPlus_;
    bool keepGdiPlus_ = false;
};

}  // namespace quorallion
