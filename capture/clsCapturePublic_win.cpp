#include "clsCapturePublic.h"

#include <olectl.h>

#include <vector>

#include "fit_to_page.h"
#include "win/handles.h"
#include "win/message_pump.h"

namespace quorallion {
namespace {

// A DC of a whole window (GetWindowDC), given back with ReleaseDC.
class WholeWindowDC {
public:
    explicit WholeWindowDC(HWND window) : window_(window), dc_(::GetWindowDC(window)) {}
    WholeWindowDC(const WholeWindowDC&) = delete;
    WholeWindowDC& operator=(const WholeWindowDC&) = delete;
    ~WholeWindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The 256 system palette entries as a logical palette; null when the screen has no such palette.
HPALETTE SystemPaletteOf(HDC source) {
    constexpr int kRcPalette = 0x100;
    if (!(::GetDeviceCaps(source, RASTERCAPS) & kRcPalette) || ::GetDeviceCaps(source, SIZEPALETTE) != 256)
        return nullptr;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    ::GetSystemPaletteEntries(source, 0, 256, palette->palPalEntry);
    return ::CreatePalette(palette);
}

clsCapturePublic::Picture Grab(HDC source, int left, int top, int width, int height,
                               clsCapturePublic& owner) {
    win::UniqueMemoryDC memory(::CreateCompatibleDC(source));
    win::UniqueGdiObject bitmap(::CreateCompatibleBitmap(source, width, height));
    win::UniqueGdiObject palette(SystemPaletteOf(source));
    if (!memory || !bitmap) return {};
    {
        win::SelectGuard selectBitmap(memory.get(), bitmap.get());
        HPALETTE previousPalette = nullptr;
        if (palette) {
            previousPalette = ::SelectPalette(memory.get(), static_cast<HPALETTE>(palette.get()), FALSE);
            ::RealizePalette(memory.get());
        }
        ::BitBlt(memory.get(), 0, 0, width, height, source, left, top, SRCCOPY);
        if (palette) ::SelectPalette(memory.get(), previousPalette, FALSE);
    }  // the bitmap is out of the memory DC before the picture takes it
    clsCapturePublic::Picture picture = owner.CreateBitmapPicture(
        static_cast<HBITMAP>(bitmap.get()), static_cast<HPALETTE>(palette.get()));
    if (picture) {  // the picture owns both handles now
        bitmap.release();
        palette.release();
    }
    return picture;
}

SIZE WindowSize(HWND window, bool client) {
    RECT rect{};
    if (client)
        ::GetClientRect(window, &rect);
    else
        ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

int ScreenWidthPixels() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeightPixels() { return ::GetSystemMetrics(SM_CYSCREEN); }

clsCapturePublic::Picture clsCapturePublic::CreateBitmapPicture(HBITMAP bitmap, HPALETTE palette) {
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    description.bmp.hpal = palette;
    Picture picture;
    if (FAILED(::OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, picture.put_void())))
        picture.reset();
    return picture;
}

clsCapturePublic::Picture clsCapturePublic::CaptureWindow(HWND window, bool client, int left,
                                                          int top, int width, int height) {
    if (client) {
        win::WindowDC source(window);
        return Grab(source.get(), left, top, width, height, *this);
    }
    WholeWindowDC source(window);
    return Grab(source.get(), left, top, width, height, *this);
}

clsCapturePublic::Picture clsCapturePublic::CaptureScreen() {
    return CaptureWindow(::GetDesktopWindow(), false, 0, 0, ScreenWidthPixels(), ScreenHeightPixels());
}

clsCapturePublic::Picture clsCapturePublic::CaptureForm(HWND window) {
    const SIZE size = WindowSize(window, false);
    return CaptureWindow(window, false, 0, 0, size.cx, size.cy);
}

clsCapturePublic::Picture clsCapturePublic::CaptureClient(HWND window) {
    const SIZE size = WindowSize(window, true);
    return CaptureWindow(window, true, 0, 0, size.cx, size.cy);
}

clsCapturePublic::Picture clsCapturePublic::CaptureActiveWindow() {
    HWND window = ::GetForegroundWindow();
    win::DoEvents();
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return CaptureWindow(window, false, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
}

bool clsCapturePublic::PrintPictureToFitPage(PicturePrinter& printer, IPicture* picture) {
    if (!picture) return false;
    OLE_XSIZE_HIMETRIC pictureWidth = 0;
    OLE_YSIZE_HIMETRIC pictureHeight = 0;
    if (FAILED(picture->get_Width(&pictureWidth)) || FAILED(picture->get_Height(&pictureHeight)))
        return false;
    if (pictureHeight <= 0) return false;
    printer.SetOrientation(static_cast<int>(capture::OrientationFor(pictureWidth, pictureHeight)));
    const int unit = printer.ScaleMode();
    const double printableWidth = printer.ScaleX(printer.ScaleWidth(), unit, PicturePrinter::kHiMetric);
    const double printableHeight = printer.ScaleY(printer.ScaleHeight(), unit, PicturePrinter::kHiMetric);
    const std::optional<capture::PrintedSize> size =
        capture::FitToPage(pictureWidth, pictureHeight, printableWidth, printableHeight);
    if (!size) return false;
    printer.PaintPicture(picture, 0, 0, printer.ScaleX(size->width, PicturePrinter::kHiMetric, unit),
                         printer.ScaleY(size->height, PicturePrinter::kHiMetric, unit));
    return true;
}

}  // namespace quorallion
