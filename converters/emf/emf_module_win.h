#pragma once
// QuorallionEmf's module operations: the metafile's source, its size on the screen, drawing it
// (GDI's player or GDI+), the bitmaps and the PNG save.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "emf_pixel_size.h"
#include "win/handles.h"

namespace quorallion::emf {

struct EnhMetaFileTraits {
    using Type = HENHMETAFILE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteEnhMetaFile(h); }
};
using UniqueEnhMetaFile = win::UniqueHandle<EnhMetaFileTraits>;

// Where the metafile comes from. Every block is walked record by record before GDI sees it.
enum class SourceOutcome { Ok, NoMetafile, ClipboardBusy };
struct Source {
    SourceOutcome outcome = SourceOutcome::NoMetafile;
    UniqueEnhMetaFile metafile;
};
// "clipboard" (exactly) the clipboard's enhanced metafile, copied; "" the bytes; else a file.
Source OpenEmfSource(const wchar_t* source, const BYTE* bytes, int32_t byteCount);
// Room for a metafile block read from a file or copied from the clipboard; raises std::bad_alloc
// when there is not enough memory. (A test build of the library links one that always raises.)
std::vector<BYTE> AllocateMetafileBlock(size_t size);
// The bytes as a metafile handle, or none when the walk refuses them.
UniqueEnhMetaFile EmfFromCheckedBytes(const BYTE* bytes, size_t size);

// Size (sizes are 64-bit; the pure arithmetic is in emf_pixel_size.h).
std::optional<EmfHeaderSizes> ReadEmfHeaderSizes(HENHMETAFILE metafile);
std::optional<Resolution> GetEmfReferenceDpi(HENHMETAFILE metafile);
bool ScaleToScreenDpi(HDC screenDC, const Resolution& from, int64_t& x, int64_t& y);
SizeResult CalcEmfPixelSize(HENHMETAFILE metafile);

// Drawing.
int GetEmfPlusType(HENHMETAFILE metafile);  // 4 EMF+ only, 5 dual, 3 anything else
bool DrawEmfWithGdiPlus(HDC dc, HENHMETAFILE metafile, const RECT& rectangle);
bool RenderEmf(HDC dc, HENHMETAFILE metafile, const RECT& rectangle);

// Bitmaps.
win::UniqueGdiObject CreateRgbDibSection(int32_t width, int32_t height);
win::UniqueGdiObject CreateGrayDibSection(int32_t width, int32_t height, int32_t bitCount);
win::UniqueGdiObject CreateEmfPalette(HENHMETAFILE metafile);
// A copy of the bitmap for the PNG save: compatible with the screen when the screen has 24 bits
// or more, else a 24-bit section, so that a shallow display cannot change the colours.
win::UniqueGdiObject CopyToCompatibleBitmap(HBITMAP bitmap);

// Saving.
std::optional<CLSID> GetPngEncoderClsid();
bool SaveBitmapAsPng(HBITMAP bitmap, const wchar_t* pngPath);

}  // namespace quorallion::emf
