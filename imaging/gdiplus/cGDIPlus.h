#pragma once
// A thin layer over the GDI+ flat interface, loaded by name from "gdiplus.dll": sessions, bitmaps
// over an image's pixels, drawing with interpolation, colour matrix and rotation, loading and
// PNG/JPEG saving.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "com/com_ptr.h"

namespace quorallion {

class c32bppDIB;

class cGDIPlus {
public:
    cGDIPlus() = default;
    ~cGDIPlus();
    cGDIPlus(const cGDIPlus&) = delete;
    cGDIPlus& operator=(const cGDIPlus&) = delete;

    // True when GDI+ can be started. KeepToken False: the session is shut down again at once.
    bool isGDIplusOk(ULONG_PTR& gdiToken, bool KeepToken);
    bool SaveToPNG(const std::wstring& FileName, std::vector<uint8_t>& outStream, c32bppDIB& cHost,
                   ULONG_PTR GlobalToken);
    // Quality is clamped to 30..100; transparent pixels come out as TransFillColor (0x00BBGGRR).
    bool SaveToJPG(const std::wstring& FileName, std::vector<uint8_t>& outStream, c32bppDIB& cHost,
                   int32_t Quality, uint32_t TransFillColor, ULONG_PTR GlobalToken);

    // Suite-only.
    // destHost given: drawn straight into that image's pixels (alpha kept), destinationDC unused.
    bool RenderWithGDIplus(c32bppDIB& cHost, HDC destinationDC, float Angle, int32_t Opacity, int32_t destX,
                           int32_t destY, int32_t destWidth, int32_t destHeight, int32_t srcX, int32_t srcY,
                           int32_t srcWidth, int32_t srcHeight, bool highQuality, int32_t grayScale,
                           ULONG_PTR GlobalToken, float LightAdjustment, c32bppDIB* destHost = nullptr);
    // FileName empty: the picture is read from the bytes, and from nothing else.
    bool LoadImageWithGDIplus(const std::wstring& FileName, const uint8_t* bytes, size_t byteCount,
                              c32bppDIB& cHost, ULONG_PTR GlobalToken);
    bool LoadImageWithGDIplus(const std::wstring& FileName, const std::vector<uint8_t>& inStream,
                              c32bppDIB& cHost, ULONG_PTR GlobalToken);
    // An enhanced metafile drawn into the host at the screen's resolution.
    bool LoadMetafileStream(const std::wstring& FileName, const uint8_t* bytes, size_t byteCount,
                            c32bppDIB& cHost, ULONG_PTR GlobalToken);
    bool LoadMetafileStream(const std::wstring& FileName, const std::vector<uint8_t>& inStream,
                            c32bppDIB& cHost, ULONG_PTR GlobalToken);
    // shutDown False starts a session into token; True ends it (and the held image). 
    bool ManageToken(ULONG_PTR& token, bool shutDown);

    // Integer part of a*b/c + 0.5; 0 when c is 0.
    static int32_t ScaleRounded(int32_t a, int32_t b, int32_t c);
    static int32_t SmallerOf(int32_t a, int32_t b) { return a < b ? a : b; }
    // The encoder's 1-based index for a MIME type, -1 when none.
    static int32_t FindEncoderClsid(const std::wstring& mimeType, CLSID& clsid);
    static bool StreamToBytes(IStream* stream, std::vector<uint8_t>& out);
    static com::ComPtr<IStream> BytesToStream(const std::vector<uint8_t>& bytes, size_t start);
    static com::ComPtr<IStream> BytesToStream(const uint8_t* bytes, size_t byteCount);
    static bool ConvertToScreenDPI(HDC dc, int32_t dpiX, int32_t dpiY, int32_t& width, int32_t& height);
    // Encodes a GDI+ image into outStream (FileName empty) or into the file, which is replaced only
    // once the whole encoding is written.
    static bool SaveImage(void* image, const std::wstring& fileName, std::vector<uint8_t>& outStream,
                          const CLSID& encoder, const void* parameters);

private:
    bool HaveSession(ULONG_PTR globalToken);
    // The held bitmap over the host's pixels, made again when the host's pixels changed place.
    void* HeldImageFor(c32bppDIB& host);
    void DisposeHeldImage();

    void* heldImage_ = nullptr;
    const uint8_t* heldBits_ = nullptr;  // the pixels the held image was made over
    int32_t heldWidth_ = 0;
    int32_t heldHeight_ = 0;
    ULONG_PTR ownToken_ = 0;
};

}  // namespace quorallion
