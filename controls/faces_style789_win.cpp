// Styles 7 to 9: shaded boxes computed from one face colour shifted by the button state.
#include <utility>

#include "button_layout.h"
#include "faces_win.h"

namespace quorallion::controls {

namespace {
void Line(HDC dc, int x1, int y1, int x2, int y2, Colour c) { DrawLineOnDC(dc, x1, y1, x2, y2, c); }
void Dot(HDC dc, int x, int y, Colour c) { SetPixelOn(dc, x, y, c); }
Colour Sh(Colour c, int d) { return ShiftColor(c, d); }
// One column x from row y over n + 1 rows.
void Column(HDC dc, int x, int y, int n, Colour from, Colour to) { DrawVGradient(dc, from, to, x, y, x + 1, n); }
// Pixels a..b of row y.
void Row(HDC dc, int a, int b, int y, Colour from, Colour to) { DrawHGradient(dc, from, to, a, y, b, y + 1); }
Colour SysColour(int index) { return TranslateColor(SystemColour(index)) & 0xFFFFFF; }
}  // namespace

void PaintFaceStyle7(FaceSurface& s, const FaceState& f, bool useCustomColors) {
    const SurfaceClip clip(s);
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    const Colour B = useCustomColors ? f.back : SysColour(15);
    const Colour S = useCustomColors ? f.highlight : SysColour(13);
    Colour F;
    switch (f.state) {
    case kStateNormal: F = Sh(B, 8); break;
    case kStateHot: F = Sh(B, 24); break;
    case kStatePressed: F = Sh(B, -9); break;
    case kStateDisabled: F = Sh(B, 18); break;
    default: return;
    }
    auto border = [&]() {
        const Colour k = Sh(F, -96);
        Line(dc, 2, 0, W - 2, 0, k);
        Line(dc, 0, 2, 0, H - 2, k);
        Line(dc, 2, H - 1, W - 2, H - 1, k);
        Line(dc, W - 1, 2, W - 1, H - 2, k);
        for (auto [x, y] : {std::pair{1, 1}, {1, H - 2}, {W - 2, 1}, {W - 2, H - 2}}) Dot(dc, x, y, k);
    };
    auto soft = [&](Colour c) {
        for (auto [x, y] : {std::pair{1, 0}, {W - 2, 0}, {0, 1}, {0, H - 2}, {1, H - 1}, {W - 2, H - 1}, {W - 1, 1},
                            {W - 1, H - 2}})
            Dot(dc, x, y, c);
    };
    if (f.state == kStatePressed) {
        DrawVGradient(dc, Sh(F, -15), F, 1, 1, W - 2, H - 2);
        Column(dc, W - 2, 2, H - 5, Sh(F, -21), Sh(F, 21));
        Column(dc, 1, 2, H - 5, Sh(F, -32), Sh(F, -5));
        border();
        soft(Sh(B, -21));
        Line(dc, 2, H - 2, W - 2, H - 2, Sh(B, 8));
        Line(dc, 2, 1, W - 2, 1, Sh(B, -21));
        return;
    }
    s.SetBackground(F);
    const int g = f.state == kStateHot ? 16 : 15;
    DrawVGradient(dc, Sh(F, g), Sh(F, -g), 1, 1, W - 2, H - 3);
    Column(dc, 1, 2, H - 5, Sh(F, 21), Sh(F, -21));
    Column(dc, W - 2, 2, H - 5, Sh(F, -5), Sh(F, -32));
    border();
    soft(f.state == kStateDisabled ? Sh(B, 5) : Sh(B, -21));
    Line(dc, 2, 1, W - 2, 1, Sh(B, 21));
    Line(dc, 2, H - 2, W - 2, H - 2, Sh(B, -37));
    if (f.state == kStateHot || (f.state == kStateNormal && f.focus)) {
        Line(dc, 2, 1, W - 2, 1, Sh(S, 21));
        Line(dc, 1, 2, W - 1, 2, Sh(S, 21));
        Line(dc, 1, H - 3, W - 1, H - 3, Sh(S, -5));
        Line(dc, 2, H - 2, W - 2, H - 2, Sh(S, -21));
    }
}

void PaintFaceStyle8(FaceSurface& s, const FaceState& f, bool useCustomColors) {
    const SurfaceClip clip(s);
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    const Colour B = useCustomColors ? f.back : SysColour(15);
    const bool pressed = f.state == kStatePressed;
    const Colour F = f.state == kStateNormal ? B : (useCustomColors ? f.highlight : Sh(SysColour(15), 15));
    const Colour K = pressed ? Sh(B, -48) : (f.focus ? Sh(B, -96) : Sh(B, -48));
    s.SetBackground(F);
    if (pressed) DrawVGradient(dc, Sh(F, -15), Sh(F, 15), 2, 2, W - 3, H - 6);
    else DrawVGradient(dc, Sh(F, 15), Sh(F, -15), 2, 2, W - 3, H - 6);
    Colour light = Sh(F, 96), dark = F;
    if (pressed) std::swap(light, dark);
    Line(dc, 2, 1, W - 3, 1, light);
    Line(dc, 1, 2, 1, H - 3, light);
    Line(dc, 2, H - 3, W - 2, H - 3, dark);
    Line(dc, W - 3, 2, W - 3, H - 3, dark);
    Line(dc, 2, 0, W - 3, 0, K);
    Line(dc, 0, 2, 0, H - 3, K);
    Line(dc, 2, H - 2, W - 3, H - 2, K);
    Line(dc, W - 2, 2, W - 2, H - 3, K);
    for (auto [x, y] : {std::pair{1, 1}, {1, H - 3}, {W - 3, 1}, {W - 3, H - 3}}) Dot(dc, x, y, K);
    const Colour shadow = Sh(K, 21);
    Line(dc, 3, H - 1, W - 4, H - 1, shadow);
    Line(dc, W - 1, 3, W - 1, H - 4, shadow);
    for (auto [x, y] : {std::pair{W - 4, H - 1}, {W - 3, H - 2}, {W - 2, H - 3}, {W - 1, H - 4}}) Dot(dc, x, y, shadow);
    for (auto [x, y] : {std::pair{W - 3, H - 1}, {W - 2, H - 2}, {W - 1, H - 3}}) Dot(dc, x, y, Sh(shadow, 15));
}

void PaintFaceStyle9(FaceSurface& s, const FaceState& f, bool useCustomColors) {
    const SurfaceClip clip(s);
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    const Colour B = useCustomColors ? f.back : SysColour(15);
    const Colour L = useCustomColors ? f.highlight : SysColour(15);
    Colour F;
    switch (f.state) {
    case kStateNormal: F = Sh(B, -15); break;
    case kStateHot: F = Sh(L, 1); break;
    case kStatePressed: F = Sh(L, 24); break;
    default: F = Sh(B, 15); break;
    }
    auto r = [&](double k) { return HalfRow(H, k); };  // nearest(H / 2 + k)
    auto c = [&](int d) { return Sh(F, d); };
    s.SetBackground(F);
    DrawVGradient(dc, c(32), c(-32), 5, 2, W - 5, H - 6);
    Column(dc, 0, 0, H - 4, c(128), c(-128));
    Column(dc, 2, 4, r(-7), F, c(-37));
    Column(dc, 3, 3, r(-7), F, c(-53));
    Column(dc, 4, 2, r(-7), F, c(-37));
    Column(dc, 5, 2, r(-4), c(37), c(5));
    Column(dc, 2, r(-2), r(-5), c(-37), c(-32));
    Column(dc, 3, r(-3), r(-3), c(-53), c(-32));
    Column(dc, 4, r(-4), r(-1), c(-37), c(-32));
    Column(dc, 5, r(-4), r(-3), c(5), c(-5));
    Row(dc, 5, 12, H - 5, c(-53), c(-32));
    Row(dc, 4, 7, H - 6, c(-56), c(-32));
    Row(dc, 3, 5, H - 7, c(-37), c(-32));
    Column(dc, W - 2, 0, H - 4, c(128), c(-128));
    Column(dc, W - 1, 0, r(0), c(128), c(-48));
    Column(dc, W - 1, r(0), r(-4), c(-64), c(-8));
    Column(dc, W - 4, 4, r(-5), F, c(-37));
    Column(dc, W - 5, 3, r(-4), F, c(-48));
    Column(dc, W - 6, 2, r(-3), F, c(-37));
    Column(dc, W - 7, 2, r(-4), c(37), c(5));
    Column(dc, W - 4, r(0), r(-5), c(-37), c(-21));
    Column(dc, W - 5, r(0), r(-5), c(-48), c(-37));
    Column(dc, W - 6, r(0), r(-4), c(-37), c(-53));
    Column(dc, W - 7, r(0), r(-4), c(-5), c(-37));
    Row(dc, W - 15, W - 7, H - 4, c(-32), c(-53));
    Line(dc, 3, 0, W - 3, 0, c(48));
    Line(dc, 1, 1, W - 1, 1, c(48));
    Line(dc, 5, 1, W - 5, 1, F);
    Row(dc, W - 11, W - 4, 2, c(32), F);
    Row(dc, W - 10, W - 5, 3, c(32), F);
    Row(dc, W - 9, W - 6, 4, c(32), F);
    Dot(dc, 6, 3, c(128));
    Line(dc, 3, H - 1, W - 3, H - 1, c(-16));
    Line(dc, 2, H - 2, W - 3, H - 2, c(-128));
    Line(dc, 7, H - 3, W - 7, H - 3, F);
    Dot(dc, 1, H - 3, c(-112));
    Dot(dc, W - 3, H - 3, c(-112));
    for (auto [x, y] : {std::pair{W - 4, H - 1}, {W - 3, H - 2}, {W - 2, H - 3}}) Dot(dc, x, y, c(-21));
}

}  // namespace quorallion::controls
