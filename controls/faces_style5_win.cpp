// Style 5: a softly shaded face with a dark border, cut corners and a coloured inner ring.
#include "faces_win.h"

#include <utility>

namespace quorallion::controls {

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2, Colour c) { DrawLineOnDC(dc, x1, y1, x2, y2, c); }
void Dot(HDC dc, int x, int y, Colour c) { SetPixelOn(dc, x, y, c); }

void BorderAndCorners(HDC dc, int W, int H, Colour border) {
    Line(dc, 1, 0, W - 1, 0, border);
    Line(dc, 0, 1, 0, H - 1, border);
    Line(dc, W - 1, 1, W - 1, H - 1, border);
    Line(dc, 1, H - 1, W - 1, H - 1, border);
}

void CornerSet(HDC dc, int W, int H) {
    for (auto [x, y] : {std::pair{1, 1}, {1, H - 2}, {W - 2, 1}, {W - 2, H - 2}}) Dot(dc, x, y, 0x906E48);
    for (auto [x, y] : {std::pair{0, 1}, {1, 0}, {1, H - 1}, {0, H - 2}, {W - 1, H - 2}, {W - 2, H - 1}, {W - 2, 0},
                        {W - 1, 1}})
        Dot(dc, x, y, 0xA28B6A);
    for (auto [x, y] : {std::pair{1, 2}, {2, 1}, {2, H - 2}, {1, H - 3}, {W - 2, H - 3}, {W - 3, H - 2}, {W - 3, 1},
                        {W - 2, 2}})
        Dot(dc, x, y, 0xCAC7BF);
}

void DisabledCorners(HDC dc, int W, int H, Colour c) {
    for (auto [x, y] : {std::pair{0, 1}, {1, 1}, {1, 0}, {0, H - 2}, {1, H - 2}, {1, H - 1}, {W - 1, 1}, {W - 2, 1},
                        {W - 2, 0}, {W - 1, H - 2}, {W - 2, H - 2}, {W - 2, H - 1}})
        Dot(dc, x, y, c);
}

// The four lines and two side gradients of a ring.
void Ring(HDC dc, int W, int H, Colour top1, Colour top2, Colour bottom3, Colour bottom2, Colour sideFrom,
          Colour sideTo) {
    Line(dc, 2, 1, W - 2, 1, top1);
    Line(dc, 2, 2, W - 2, 2, top2);
    Line(dc, 2, H - 3, W - 2, H - 3, bottom3);
    Line(dc, 2, H - 2, W - 2, H - 2, bottom2);
    DrawVGradient(dc, sideFrom, sideTo, 1, 2, 3, H - 5);
    DrawVGradient(dc, sideFrom, sideTo, W - 3, 2, W - 1, H - 5);
}

}  // namespace

void PaintFaceStyle5(FaceSurface& s, const FaceState& f) {
    const SurfaceClip clip(s);
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    s.SetBackground(TranslateColor(SystemColour(COLOR_BTNFACE)));
    switch (f.state) {
    case kStateNormal:
    case kStateHot:
        DrawVGradient(dc, 0xFBFCFC, 0xF0F0F0, 1, 1, W - 2, 4);
        DrawVGradient(dc, 0xF9FAFA, 0xEAF0F0, 1, 4, W - 2, H - 8);
        DrawVGradient(dc, 0xE6EBEB, 0xC5D0D6, 1, H - 4, W - 2, 3);
        DrawVGradient(dc, 0xFAFBFB, 0xDAE2E4, W - 3, 3, W - 2, H - 5);
        DrawVGradient(dc, 0xF2F4F5, 0xCDD7DB, W - 2, 3, W - 1, H - 5);
        BorderAndCorners(dc, W, H, 0x743C00);
        CornerSet(dc, W, H);
        if (f.state == kStateHot) {
            Ring(dc, W, H, 0xCFF0FF, 0x89D8FD, 0x30B3F8, 0x1097E5, 0x89D8FD, 0x30B3F8);
        } else if (f.focus || f.displayAsDefault) {
            Line(dc, 2, H - 2, W - 2, H - 2, 0xEE8269);
            Line(dc, 2, 1, W - 2, 1, 0xFFE7CE);
            Line(dc, 2, 2, W - 2, 2, 0xF6D4BC);
            Line(dc, 2, H - 3, W - 2, H - 3, 0xE4AD89);
            DrawVGradient(dc, 0xF6D4BC, 0xE4AD89, 1, 2, 3, H - 5);
            DrawVGradient(dc, 0xF6D4BC, 0xE4AD89, W - 3, 2, W - 1, H - 5);
        }
        break;
    case kStatePressed:
        DrawVGradient(dc, 0xC1CCD1, 0xDCE3E4, 2, 1, W - 1, 4);
        DrawVGradient(dc, 0xDCE3E4, 0xDBE2E3, 2, 4, W - 1, H - 8);
        DrawVGradient(dc, 0xDBE2E3, 0xEEF1F2, 3, H - 4, W - 1, 3);
        DrawVGradient(dc, 0xCED8DA, 0xDBE2E3, 1, 3, 2, H - 5);
        DrawVGradient(dc, 0xCED8DA, 0xDBE2E3, 2, 4, 3, H - 7);
        BorderAndCorners(dc, W, H, 0x743C00);
        CornerSet(dc, W, H);
        break;
    case kStateDisabled:
        s.SetBackground(0xEAF4F5);
        DrawFrame(dc, 0, 0, W - 1, H - 1, 0xBAC7C9);
        DisabledCorners(dc, W, H, 0xC7D5D8);
        break;
    default:
        break;
    }
}

void PaintFaceStyle5Custom(FaceSurface& s, const FaceState& f) {
    const SurfaceClip clip(s);
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    const Colour B = f.back;
    auto sh = [&](int d) { return ShiftColor(B, d); };
    switch (f.state) {
    case kStateNormal:
    case kStateHot:
    case 5: {
        s.SetBackground(B);
        DrawVGradient(dc, B, sh(-15), 1, 1, W - 2, H - 3);
        DrawVGradient(dc, sh(21), sh(-21), 1, 2, 2, H - 5);
        DrawVGradient(dc, sh(-5), sh(-32), W - 2, 2, W - 3, H - 5);
        Line(dc, 2, 1, W - 2, 1, sh(5));
        Line(dc, 1, 2, W - 1, 2, sh(2));
        Line(dc, 2, H - 4, W - 2, H - 4, sh(-16));
        Line(dc, 2, H - 3, W - 2, H - 3, sh(-24));
        Line(dc, 2, H - 2, W - 2, H - 2, sh(-37));
        const Colour border = sh(-128);
        Line(dc, 2, 0, W - 2, 0, border);
        Line(dc, 0, 2, 0, H - 2, border);
        Line(dc, 2, H - 1, W - 2, H - 1, border);
        Line(dc, W - 1, 0, W - 1, H, border);
        for (auto [x, y] : {std::pair{1, 1}, {1, H - 2}, {W - 2, 1}, {W - 2, H - 2}}) Dot(dc, x, y, border);
        for (auto [x, y] : {std::pair{1, 0}, {W - 2, 0}, {0, 1}, {0, H - 2}, {1, H - 1}, {W - 2, H - 1}, {W - 1, 1},
                            {W - 1, H - 2}})
            Dot(dc, x, y, sh(-21));
        if (f.state == kStateHot || f.state == 5 || (f.focus && f.showFocus)) {
            const Colour R = f.state == kStateHot ? f.highlight : TranslateColor(SystemColour(COLOR_HIGHLIGHT));
            Ring(dc, W, H, ShiftColor(R, 85), ShiftColor(R, 69), ShiftColor(R, 16), R, ShiftColor(R, 69),
                 ShiftColor(R, 16));
        }
        break;
    }
    case kStatePressed: {
        DrawVGradient(dc, sh(-37), sh(-21), 2, 1, W - 1, 4);
        DrawVGradient(dc, sh(-21), sh(-5), 2, 4, W - 1, H - 8);
        DrawVGradient(dc, sh(-5), sh(5), 3, H - 4, W - 1, 3);
        DrawVGradient(dc, sh(-32), sh(-22), 1, 3, 2, H - 5);
        DrawVGradient(dc, sh(-24), sh(-15), 2, 4, 3, H - 7);
        Dot(dc, 1, 2, sh(-48));
        Dot(dc, 2, 1, sh(-48));
        Dot(dc, 2, H - 2, sh(-5));
        Dot(dc, 1, H - 3, sh(-16));
        Dot(dc, W - 2, H - 3, sh(18));
        Dot(dc, W - 3, H - 2, sh(8));
        Dot(dc, W - 3, 1, sh(-48));
        Dot(dc, W - 2, 2, sh(-37));
        BorderAndCorners(dc, W, H, sh(-128));
        for (auto [x, y] : {std::pair{1, 1}, {1, H - 2}, {W - 2, 1}, {W - 2, H - 2}}) Dot(dc, x, y, sh(-96));
        break;
    }
    case kStateDisabled:
        s.SetBackground(B);
        DrawFrame(dc, 0, 0, W - 1, H - 1, sh(-64));
        DisabledCorners(dc, W, H, sh(-53));
        break;
    default:
        break;
    }
}

}  // namespace quorallion::controls
