// Drawing the metafile: GDI's player for plain metafiles, GDI+ for those with EMF+ records
// (GDI's player skips them and would leave the picture empty).
#include "emf_module_win.h"
#include "gdiplus_calls_win.h"

namespace quorallion::emf {

int GetEmfPlusType(HENHMETAFILE metafile) {
    const gdiplus::Api* api = gdiplus::Get();
    if (!api || !metafile) return gdiplus::kMetafileTypeEmf;
    gdiplus::Image image;
    gdiplus::MetafileHeader header{};
    if (api->GdipCreateMetafileFromEmf(metafile, FALSE, image.put()) != gdiplus::kOk ||
        api->GdipGetMetafileHeaderFromMetafile(image.get(), &header) != gdiplus::kOk) {
        return gdiplus::kMetafileTypeEmf;
    }
    if (header.Type == gdiplus::kMetafileTypeEmfPlusOnly || header.Type == gdiplus::kMetafileTypeEmfPlusDual)
        return header.Type;
    return gdiplus::kMetafileTypeEmf;
}

bool DrawEmfWithGdiPlus(HDC dc, HENHMETAFILE metafile, const RECT& rectangle) {
    const gdiplus::Api* api = gdiplus::Get();
    if (!api) return false;
    gdiplus::Image image;
    if (api->GdipCreateMetafileFromEmf(metafile, FALSE, image.put()) != gdiplus::kOk) return false;
    gdiplus::GpHandle graphics = nullptr;
    if (api->GdipCreateFromHDC(dc, &graphics) != gdiplus::kOk) return false;
    const gdiplus::Status drawn =
        api->GdipDrawImageRectI(graphics, image.get(), rectangle.left, rectangle.top,
                                rectangle.right - rectangle.left, rectangle.bottom - rectangle.top);
    api->GdipDeleteGraphics(graphics);
    return drawn == gdiplus::kOk;
}

bool RenderEmf(HDC dc, HENHMETAFILE metafile, const RECT& rectangle) {
    const SizeResult size = CalcEmfPixelSize(metafile);
    if (size.outcome != SizeOutcome::Ok || !FitsInBitmap(size.size)) return false;
    const RECT drawing{0, 0, static_cast<LONG>(size.size.width), static_cast<LONG>(size.size.height)};
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
    const bool drawn = GetEmfPlusType(metafile) == gdiplus::kMetafileTypeEmf
                           ? ::PlayEnhMetaFile(dc, metafile, &drawing) != FALSE
                           : DrawEmfWithGdiPlus(dc, metafile, drawing);
    if (saved) ::RestoreDC(dc, saved);
    return drawn;
}

}  // namespace quorallion::emf
