#pragma once
// The image object: one 32-bit DIB section of premultiplied blue-green-red-alpha pixels, rows
// bottom-up, stride Width x 4; plus the settings that loading, drawing and saving read.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <any>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pixels/pixel_copy.h"
#include "win/handles.h"

namespace quorallion {

class cGDIPlus;
class cPNGwriter;

// The image's kept PNG writer is made and destroyed by the saving code (above the codecs), so that
// the image object's own library does not depend on the codecs.
struct PngWriterDeleter {
    void (*destroy)(cPNGwriter*) = nullptr;
    void operator()(cPNGwriter* writer) const {
        if (destroy) destroy(writer);
    }
};

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

    // Loading (the load chain over the suite's readers). Every entry but the two file-list ones
    // frees the current image first; True when the object holds an image afterwards. The icon
    // size (0: no preference) and depth choose the entry of icon and cursor files; SaveFormat
    // keeps the source bytes (GetOrginalFormat).
    bool LoadPicture_File(const std::wstring& FileName, int32_t iconCx = 0, int32_t iconCy = 0,
                          bool SaveFormat = false, int32_t iconBitDepth = 32);
    // The bytes from streamStart (below 0: from 0) for streamLength (0: to the end); a range
    // shorter than 20 bytes or past the array gives False. The caller's array is only read.
    bool LoadPicture_Stream(const std::vector<uint8_t>& inStream, int32_t iconCx = 0, int32_t iconCy = 0,
                            int64_t streamStart = 0, int64_t streamLength = 0, bool SaveFormat = false,
                            int32_t iconBitDepth = 32);
    // Enhanced metafile bytes drawn through GDI+ (False without it); the range as above.
    bool LoadPicture_Stream_Emf(const std::vector<uint8_t>& inStream, int32_t iconCx = 0, int32_t iconCy = 0,
                                int64_t streamStart = 0, int64_t streamLength = 0, bool SaveFormat = false,
                                int32_t iconBitDepth = 32);
    // A resource of VBglobal (null: the program). ResSection a number: picture kind 0 bitmap,
    // 1 icon, 2 cursor; a text: the type of a data resource, loaded as bytes. ResIndex a number or
    // a name.
    bool LoadPicture_Resource(const VARIANT& ResIndex, const VARIANT& ResSection, HMODULE VBglobal = nullptr,
                              int32_t iconCx = 0, int32_t iconCy = 0, int64_t streamStart = 0,
                              int64_t streamLength = 0, int32_t iconBitDepth = 32);
    bool LoadPicture_StdPicture(IPicture* Picture);
    // A bitmap, metafile or icon/cursor handle; the caller keeps it (metafiles are copied).
    bool LoadPicture_ByHandle(HANDLE Handle);
    // The clipboard's bitmap, else its enhanced metafile, else its metafile; copied, and the
    // clipboard closed again.
    bool LoadPicture_ClipBoard();
    // File FileIndex (from 1) of a drag-and-drop data object's file list.
    bool LoadPicture_DropedFiles(IDataObject* DragDrop_DataObject, int32_t FileIndex, int32_t iconCx = 0,
                                 int32_t iconCy = 0, bool SaveFormat = false, int32_t iconBitDepth = 32);
    // File FileIndex (from 1) of the clipboard's file list; FileCount gets the list's length, and
    // FileIndex 0 answers True without loading.
    bool LoadPicture_PastedFiles(int32_t FileIndex, int32_t iconCx, int32_t iconCy, bool SaveFormat,
                                 int32_t iconBitDepth, int32_t& FileCount);
    bool LoadPicture_FromOrignalFormat(int32_t iconCx = 0, int32_t iconCy = 0, int32_t iconBitDepth = 32);

    // Saving. A file is replaced only once the new one is completely written; over an existing
    // file PromptOverwrite gives the question's default answer, No (False, file kept). Colours
    // are 0x00BBGGRR.
    bool SaveToFile_Bitmap(const std::wstring& FileName, bool KeepPreMultipliedPixels = false,
                           uint32_t TransparentFillColor = 0xFFFFFF, bool PromptOverwrite = false);
    bool SaveToFile_PNG(const std::wstring& FileName, bool PromptOverwrite = false);
    // Quality 0..255 (GDI+ takes 30..100; the own writer, used when GDI+ fails, the byte).
    bool SaveToFile_JPG(const std::wstring& FileName, int32_t Quality, uint32_t TransparentFillColor = 0xFFFFFF,
                        bool PromptOverwrite = false);
    bool SaveToFile_GIF(const std::wstring& FileName, bool UseAdaptivePalette = true,
                        uint8_t OpaquenessTolerance = 128, bool PromptOverwrite = false);
    bool SaveToFile_TGA(const std::wstring& FileName, bool Compress = false, bool ReduceBitDepth = false,
                        bool AllowPreMultipliedPixels = false, bool PromptOverwrite = false);
    bool SaveToStream_Bitmap(std::vector<uint8_t>& outStream, bool KeepPreMultipliedPixels = false,
                             uint32_t TransparentFillColor = 0xFFFFFF);
    bool SaveToStream_PNG(std::vector<uint8_t>& outStream);
    // GDI+ only; transparent pixels are flattened onto white.
    bool SaveToStream_JPG(std::vector<uint8_t>& outStream, int32_t Quality);
    bool SaveToStream_GIF(std::vector<uint8_t>& outStream, bool UseAdaptivePalette = true,
                          uint8_t OpaquenessTolerance = 128);
    bool SaveToStream_TGA(std::vector<uint8_t>& outStream, bool Compress = false, bool ReduceBitDepth = false,
                          bool AllowPreMultipliedPixels = false);
    // The properties the next PNG save writes. PropertyID -1 forgets them all; PropertyValue
    // nullptr removes one.
    bool PngPropertySet(int32_t PropertyID, const VARIANT* PropertyValue = nullptr,
                        const std::wstring& Caption_Misc = L"");
    // The stored value into *result (cleared first).
    void PngPropertyGet(int32_t PropertyID, const std::wstring& Caption_Misc, VARIANT* result) const;

    // Size and layout. Resize keeps the old image (False) when the new one cannot be made or drawn;
    // a negative size mirrors that axis.
    bool Resize(int32_t newWidth, int32_t newHeight);
    // Method: bits 1 left, 2 top, 4 right, 8 bottom (0: all). X, Y top-down.
    bool TrimImage(bool UpdateDIB, int32_t Method, int32_t& X, int32_t& Y, int32_t& Width, int32_t& Height);
    bool TileImage(HDC destinationDC, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                   int32_t TileWidth = 0, int32_t TileHeight = 0, int32_t ColumnGap = 0, int32_t RowGap = 0,
                   bool StaggerRows = false, bool FlipAlternateTilesX = false, bool FlipAlternateTilesY = false,
                   int32_t Opacity = 100, int32_t grayScale = -1, float LightAdjustment = 0);
    // Width, height, bit depth and colour count of each entry of the icon or cursor the image came
    // from; the count.
    int32_t SourceIconSizes(std::vector<std::array<int32_t, 4>>& sizeArray) const;
    bool CreateCheckerBoard(int32_t CheckerSize, uint32_t FirstColor, uint32_t SecondColor);

    // Pixel effects (in place; pixels with alpha 0 are skipped).
    bool MakeGrayScale(int32_t Formula = 0);
    bool MakeImageInverse();
    bool MakeTransparent(uint32_t TransparentColor, bool Revert = false);
    bool MirrorImage(bool MirrorAxisX, bool MirrorAxisY);
    // A new image: the alpha channel blurred (depth 0..10) and coloured; nullptr without an image.
    std::unique_ptr<c32bppDIB> CreateDropShadow(int32_t blurDepth, uint32_t Color = 0);
    bool RenderDropShadow_JIT(HDC hDC, int32_t X, int32_t Y, int32_t blurDepth, uint32_t Color = 0,
                              int32_t Opacity = 100, float LightAdjustment = 0, c32bppDIB* destHostDIB = nullptr);
    bool MakeLighterDarker(float Percent);
    // A GDI+ session for the caller to hand to several images; 0 when GDI+ cannot start.
    ULONG_PTR CreateGDIplusToken();
    // Ends a session made by CreateGDIplusToken: True when it did (False for 0).
    bool DestroyGDIplusToken(ULONG_PTR Token);
    bool BlendToColor(uint32_t BlendColor, int32_t BlendOpacity);
    // The full names of a drag-and-drop data object's file list.
    bool GetDroppedFileNames(IDataObject* OLEDragDrop_DataObject, std::vector<std::wstring>& ListOfFiles);
    // The clipboard's file list; its length (0 when there is none).
    int32_t GetPastedFileNames(std::vector<std::wstring>& ListOfFiles);
    // Exchanges the pixel block (handle, bits, size), image type, alpha kind and kept bytes.
    void SwapDIBs(c32bppDIB* SwapFromDIB);

    // Text, drawn onto the image or, without one, made into the image. Alignment takes the
    // platform's text-alignment flags; BackColor below 0 is a transparent background.
    bool DrawText_stdFont(IFont* theFont, const std::wstring& theText, int32_t Alignment = 0, int32_t destX = 0,
                          int32_t destY = 0, int32_t destWidth = 0, int32_t destHeight = 0, uint32_t ForeColor = 0,
                          int32_t BackColor = -1, int32_t Opacity = 100, int32_t grayScale = -1, float Angle = 0,
                          bool CenterOnDestXY = false);
    bool DrawText_hFont(HFONT theFontHandle, const std::wstring& theText, int32_t Alignment = 0, int32_t destX = 0,
                        int32_t destY = 0, int32_t destWidth = 0, int32_t destHeight = 0, uint32_t ForeColor = 0,
                        int32_t BackColor = -1, int32_t Opacity = 100, int32_t grayScale = -1, float Angle = 0,
                        bool CenterOnDestXY = false);

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
    // The load chain for an open file (its name too) or a checked range of bytes.
    bool RunLoadChain(HANDLE file, const std::wstring& FileName, const std::vector<uint8_t>* callerBytes,
                      int32_t iconCx, int32_t iconCy, int64_t streamStart, int64_t streamLength, bool SaveFormat,
                      int32_t iconBitDepth);
    // The PNG road into a file or (FileName empty) the array.
    bool SavePngRoad(const std::wstring& FileName, std::vector<uint8_t>& outStream);
    bool OverwriteAllowed(const std::wstring& FileName, bool PromptOverwrite) const;
    bool DrawTextWithFont(HFONT font, const std::wstring& theText, int32_t Alignment, int32_t destX, int32_t destY,
                          int32_t destWidth, int32_t destHeight, uint32_t ForeColor, int32_t BackColor,
                          int32_t Opacity, int32_t grayScale, float Angle, bool CenterOnDestXY);
    // Takes the DIB out of the own DC for an exchange; True when it was selected.
    bool DeselectForSwap();

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
    std::unique_ptr<cPNGwriter, PngWriterDeleter> keptPngWriter_;
};

}  // namespace quorallion
