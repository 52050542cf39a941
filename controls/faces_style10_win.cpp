// Style 10: the glassy round-cornered face in three colourings, painted from the pixel tables
// that faces10/make_style10_tables.py builds, stretched by repeating the edge bands.
#include "faces_style10_tables.h"
#include "faces_win.h"

namespace quorallion::controls {

namespace {

void Block(HDC dc, const int32_t (*block)[17], int rows, int left, int top) {
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < 17; ++k)
            if (block[r][k] >= 0) SetPixelOn(dc, left + k, top + r, static_cast<Colour>(block[r][k]));
}

void PaintPixelFace(FaceSurface& s, const style10::PixelFace& face) {
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    FillBoxWithColor(dc, 18, 11, W - 34, H - 19, face.centre);
    Block(dc, face.topLeft, 11, 0, 0);
    Block(dc, face.topRight, 11, W - 17, 0);
    Block(dc, face.bottomLeft, 10, 0, H - 10);
    Block(dc, face.bottomRight, 10, W - 17, H - 10);
    for (int x = 0; x <= 17; ++x) DrawLineOnDC(dc, x, 11, x, H - 10, face.left[x]);
    for (int i = 0; i < 17; ++i) DrawLineOnDC(dc, W - 17 + i, 11, W - 17 + i, H - 10, face.right[i]);
    for (int y = 0; y <= 11; ++y) DrawLineOnDC(dc, 17, y, W - 17, y, face.top[y]);
    for (int i = 0; i < 11; ++i) DrawLineOnDC(dc, 17, H - 11 + i, W - 17, H - 11 + i, face.bottom[i]);
}

}  // namespace

void PaintFaceStyle10(FaceSurface& s, const FaceState& f) {
    const SurfaceClip clip(s);
    if (f.state == kStateHot || ((f.state == kStateNormal || f.state == kStateDisabled) && f.focus))
        PaintPixelFace(s, style10::kHot);
    else if (f.state == kStateNormal || f.state == kStateDisabled)
        PaintPixelFace(s, style10::kNormal);
    else
        PaintPixelFace(s, style10::kPressed);
}

}  // namespace quorallion::controls
