// QuorallionEmf: an enhanced metafile (from a file, bytes or the clipboard) drawn at the screen's
// resolution on a near-white background and written as a PNG file.
#include <windows.h>

#include "CSCMemDC.h"
#include "emf_module_win.h"
#include "gdiplus_calls_win.h"

namespace {

using namespace quorallion::emf;

enum Result : int32_t {
    kWritten = 0,
    kNoMetafile = 1,
    kNoSurface = 2,
    kNotDrawn = 3,
    kNotDeleted = 4,
    kNoBitmap = 5,
    kNotSaved = 6,
    kClipboardBusy = 10,
};

int32_t Convert(const wchar_t* source, const BYTE* bytes, int32_t byteCount, const wchar_t* pngPath) {
    // Unavailable GDI+ is not a failure yet: the steps that need it report their own codes.
    gdiplus::Session session;
    Source from = OpenEmfSource(source, bytes, byteCount);
    if (from.outcome == SourceOutcome::ClipboardBusy) return kClipboardBusy;
    if (from.outcome != SourceOutcome::Ok) return kNoMetafile;

    const SizeResult size = CalcEmfPixelSize(from.metafile.get());
    if (size.outcome == SizeOutcome::NoHeader) return kNoMetafile;
    // No screen to measure against, or a surface no bitmap can hold.
    if (size.outcome != SizeOutcome::Ok || !FitsInBitmap(size.size)) return kNoSurface;
    const int32_t width = static_cast<int32_t>(size.size.width);
    const int32_t height = static_cast<int32_t>(size.size.height);

    CSCMemDC memoryDC;
    if (!memoryDC.Create(from.metafile.get(), width, height)) return kNoSurface;
    if (!RenderEmf(memoryDC.GetSafeHdc(), from.metafile.get(), RECT{0, 0, width, height})) return kNotDrawn;
    if (!::DeleteEnhMetaFile(from.metafile.release())) return kNotDeleted;

    quorallion::win::UniqueGdiObject section = memoryDC.TakeBitmap();
    if (!section) return kNoBitmap;
    quorallion::win::UniqueGdiObject copy = CopyToCompatibleBitmap(static_cast<HBITMAP>(section.get()));
    section.reset();
    if (!SaveBitmapAsPng(static_cast<HBITMAP>(copy.get()), pngPath)) return kNotSaved;
    return kWritten;
}

}  // namespace

// Exported undecorated through QuorallionEmf.def. No exception leaves a C export: one raised on
// the way (a block too large for memory is the one that can be) means the source could not be
// read, and every object the call made has been released by then.
extern "C" int32_t WINAPI ConvertEmf2Png(const wchar_t* source, const BYTE* bytes, int32_t byteCount,
                                         const wchar_t* pngPath) {
    try {
        return Convert(source, bytes, byteCount, pngPath);
    } catch (...) {
        return kNoMetafile;
    }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
