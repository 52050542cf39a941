#pragma once
// Drawing toolkit of the owner-drawn button: lines without their end point, fills, frames, edges,
// gradients, the etched frame, the masked picture painter and the grey treatments, and the
// window-region builders. Every GDI object a routine creates it frees before it returns.
#include <windows.h>

#include "colour_math.h"

namespace quorallion::controls {

// A drawing target of W x H pixels; SetBackground paints it all in one colour and remembers it
// as the surface's background colour.
struct FaceSurface {
    HDC dc = nullptr;
    int w = 0;
    int h = 0;
    Colour background = 0;
    void SetBackground(Colour c);
};

// Confines drawing on a surface's device context to (0, 0, w, h) while it lives, as the control's
// own window does: the fixed offsets of a face fall outside a surface of a few pixels. The
// context's state (its clip included) comes back afterwards.
class SurfaceClip {
public:
    explicit SurfaceClip(const FaceSurface& s) : dc_(s.dc), saved_(s.dc ? ::SaveDC(s.dc) : 0) {
        if (saved_) ::IntersectClipRect(dc_, 0, 0, s.w, s.h);
    }
    ~SurfaceClip() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }
    SurfaceClip(const SurfaceClip&) = delete;
    SurfaceClip& operator=(const SurfaceClip&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A system colour reference 0x800000nn as RGB; RGB values pass through; -1 for an unknown index.
Colour TranslateColor(Colour c);

void SetPixelOn(HDC dc, int x, int y, Colour c);
// MoveToEx (x1, y1), LineTo (x2, y2): the end point is not drawn.
void DrawLineOnDC(HDC dc, int x1, int y1, int x2, int y2, Colour c);
// FillRect of (x, y, x + width, y + height).
void FillBoxWithColor(HDC dc, int x, int y, int width, int height, Colour c);
void FillRectWithColor(HDC dc, const RECT& r, Colour c);
// The closed outline of the pixels from (x, y) to (x + width, y + height).
void DrawFrame(HDC dc, int x, int y, int width, int height, Colour c);
// DrawEdge on (nearest(x), nearest(y), nearest(x + width), nearest(y + height)).
void DrawEdgeBox(HDC dc, double x, double y, double width, double height, UINT edge, UINT flags);
// Rows y..y+n, each the line x1..x2 (x2 left out); n of 0 or below draws nothing.
void DrawVGradient(HDC dc, Colour from, Colour to, int x1, int y, int x2, int n);
// Columns x1..x2 on rows y1..y2 (y2 left out); n = x2 - x1 of 0 or below draws nothing.
void DrawHGradient(HDC dc, Colour from, Colour to, int x1, int y1, int x2, int y2);
void DrawEtchedFrame(HDC dc, int x, int y, int width, int height, Colour shadow, Colour light, Colour corner);

// The picture painter: draws picture (a bitmap, or an icon drawn over the mask colour) at its own
// size cropped or padded to width x height into dc at (x, y); pixels equal to key (when
// useMask) are left untouched; solid >= 0 paints every other pixel in that colour, grey turns
// them grey, blend mixes 2:1 with what was there.
struct MaskedPaint {
    bool useMask = false;
    Colour key = 0;
    int64_t solid = -1;
    bool darkOnly = false;
    bool grey = false;
    bool blend = false;
};
void PaintPictureMasked(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, HICON icon,
                        const MaskedPaint& how);
// Greys the bitmap in place (GrayscalePixel) and copies it to dest at (destX, destY).
bool GrayscaleBitmap(HDC dest, HBITMAP bitmap, int destX, int destY, int srcX, int srcY);
bool PaintIconGrayscale(HDC dc, HICON icon, int x, int y, int height, int width);
HICON CreateIconFromBitmaps(HBITMAP mask, HBITMAP colour);

// Window regions of the face styles; the caller owns the region.
HRGN CreateCutCornerRegion(int w, int h);
HRGN CreateBevelCornerRegion(int w, int h);
HRGN CreateRoundRegion(int w, int h);

}  // namespace quorallion::controls
