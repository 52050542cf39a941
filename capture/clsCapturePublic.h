#pragma once
// The screen grabber: copies a window, a rectangle of it or the whole screen into a new bitmap
// and hands it out as an OLE picture that owns the bitmap (and the palette, on a 256-colour
// screen): releasing the last reference frees them, and the caller frees nothing.
#include <windows.h>
#include <ocidl.h>

#include "com/com_ptr.h"

namespace quorallion {

// What printing a picture needs of a printer: its page set-up, scale and a paint call. Units are
// the printer's scale-mode codes (8 = HiMetric).
class PicturePrinter {
public:
    static constexpr int kHiMetric = 8;
    virtual ~PicturePrinter() = default;
    virtual void SetOrientation(int orientation) = 0;  // 1 portrait, 2 landscape
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    virtual int ScaleMode() const = 0;
    virtual double ScaleX(double value, int fromUnit, int toUnit) const = 0;
    virtual double ScaleY(double value, int fromUnit, int toUnit) const = 0;
    virtual void PaintPicture(IPicture* picture, double x, double y, double width,
                              double height) = 0;
};

class clsCapturePublic {
public:
    using Picture = com::ComPtr<IPictureDisp>;

    // A picture that owns both handles (palette may be null). Empty when the platform refused.
    Picture CreateBitmapPicture(HBITMAP bitmap, HPALETTE palette);

    // width x height pixels from (left, top) of the window's client area (client true) or of the
    // whole window, frame included (client false). The bitmap has the screen's colour depth.
    Picture CaptureWindow(HWND window, bool client, int left, int top, int width, int height);

    Picture CaptureScreen();                 // the whole primary screen
    Picture CaptureForm(HWND window);        // the whole window, frame included
    Picture CaptureClient(HWND window);      // its client area
    Picture CaptureActiveWindow();           // the foreground window, frame included

    // Paints the picture as large as the printable area allows at the page's top-left corner,
    // after setting the orientation by the picture's shape; starts and ends no page. False (and
    // nothing painted) for a picture or a printable area of height 0.
    bool PrintPictureToFitPage(PicturePrinter& printer, IPicture* picture);
};

// The screen's size in whole pixels (the primary monitor).
int ScreenWidthPixels();
int ScreenHeightPixels();

}  // namespace quorallion
