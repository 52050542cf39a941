#pragma once
// The GDI+ flat calls that QuorallionEmf makes, declared here from the published flat interface
// and looked up by name in "gdiplus.dll": without GDI+ the library still loads, and the steps that
// need it report their codes.
#include <windows.h>

#include <cstdint>
#include <type_traits>

namespace quorallion::emf::gdiplus {

using Status = int;
constexpr Status kOk = 0;

struct StartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

// Metafile types of the header.
constexpr int32_t kMetafileTypeEmf = 3;
constexpr int32_t kMetafileTypeEmfPlusOnly = 4;
constexpr int32_t kMetafileTypeEmfPlusDual = 5;

struct MetafileHeader {
    int32_t Type;
    UINT Size;
    UINT Version;
    UINT EmfPlusFlags;
    float DpiX, DpiY;
    INT X, Y, Width, Height;
    BYTE EmfOrWmfHeader[88];  // the enhanced-metafile header, or a metafile's, by Type
    INT EmfPlusHeaderSize;
    INT LogicalDpiX, LogicalDpiY;
};
static_assert(sizeof(MetafileHeader) == 140);

using GpHandle = void*;  // graphics, images, bitmaps and metafiles alike

#define QUORALLION_EMF_GDIP_CALLS(X)                                                          \
    X(GdiplusStartup, Status(WINAPI*)(ULONG_PTR*, const StartupInput*, void*))                \
    X(GdiplusShutdown, void(WINAPI*)(ULONG_PTR))                                              \
    X(GdipCreateMetafileFromEmf, Status(WINAPI*)(HENHMETAFILE, BOOL, GpHandle*))              \
    X(GdipGetMetafileHeaderFromMetafile, Status(WINAPI*)(GpHandle, MetafileHeader*))          \
    X(GdipDisposeImage, Status(WINAPI*)(GpHandle))                                            \
    X(GdipCreateFromHDC, Status(WINAPI*)(HDC, GpHandle*))                                     \
    X(GdipDeleteGraphics, Status(WINAPI*)(GpHandle))                                          \
    X(GdipDrawImageRectI, Status(WINAPI*)(GpHandle, GpHandle, INT, INT, INT, INT))           \
    X(GdipGetImageEncodersSize, Status(WINAPI*)(UINT*, UINT*))                                \
    X(GdipGetImageEncoders, Status(WINAPI*)(UINT, UINT, ImageCodecInfo*))                     \
    X(GdipCreateBitmapFromHBITMAP, Status(WINAPI*)(HBITMAP, HPALETTE, GpHandle*))             \
    X(GdipSaveImageToFile, Status(WINAPI*)(GpHandle, const WCHAR*, const CLSID*, const void*))

struct Api {
#define QUORALLION_EMF_GDIP_MEMBER(name, type) std::type_identity_t<type> name = nullptr;
    QUORALLION_EMF_GDIP_CALLS(QUORALLION_EMF_GDIP_MEMBER)
#undef QUORALLION_EMF_GDIP_MEMBER
};

// Every call resolved (looked up once per process), or nullptr.
const Api* Get();

// GDI+ started for one conversion and shut down at its end; nothing when it could not start.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// A GDI+ image (metafile, bitmap) disposed of at scope end.
class Image {
public:
    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    GpHandle get() const { return image_; }
    GpHandle* put() { return &image_; }

private:
    GpHandle image_ = nullptr;
};

}  // namespace quorallion::emf::gdiplus
