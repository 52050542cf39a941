// Face painters rendered into a DIB section: one probe table over style x state x focus x
// default, the rounding of style 9, the masked picture painter and the window regions.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "faces_win.h"

using namespace quorallion::controls;
using quorallion::controls::testing::Canvas;

namespace {

Colour Sys(int index) { return ::GetSysColor(index) & 0xFFFFFF; }

struct Probe {
    int x, y;  // negative: from the right / bottom (-1 is W-1)
    Colour expected;
};

struct FaceCase {
    const char* what;
    int style;
    bool custom;
    FaceState face;
    int w, h;
    std::vector<Probe> probes;
};

void Paint(const FaceCase& c, FaceSurface& s) {
    switch (c.style) {
    case 5: c.custom ? PaintFaceStyle5Custom(s, c.face) : PaintFaceStyle5(s, c.face); break;
    case 7: PaintFaceStyle7(s, c.face, c.custom); break;
    case 8: PaintFaceStyle8(s, c.face, c.custom); break;
    case 9: PaintFaceStyle9(s, c.face, c.custom); break;
    case 10: PaintFaceStyle10(s, c.face); break;
    default: break;
    }
}

FaceState F(int state, bool focus = false, bool isDefault = false, bool showFocus = false, Colour back = 0x808080,
            Colour highlight = 0x0000FF) {
    FaceState f;
    f.state = state;
    f.focus = focus;
    f.displayAsDefault = isDefault;
    f.showFocus = showFocus;
    f.back = back;
    f.highlight = highlight;
    return f;
}

}  // namespace

TEST(FacePainters, ProbeTableOverStyleStateFocusAndDefault) {
    const Colour face = Sys(COLOR_BTNFACE), sel = Sys(COLOR_HIGHLIGHT);
    const Colour untouched = 0x123456;
    const std::vector<FaceCase> cases = {
        // Style 5, fixed palette.
        {"5 normal", 5, false, F(1), 81, 25,
         {{40, 0, 0x743C00}, {0, 12, 0x743C00}, {1, 1, 0x906E48}, {1, 0, 0xA28B6A}, {2, 1, 0xCAC7BF},
          {40, 1, 0xFBFCFC}, {0, 0, face}, {-1, -1, face}}},
        {"5 hot ring", 5, false, F(2), 81, 25,
         {{40, 1, 0xCFF0FF}, {40, 2, 0x89D8FD}, {40, -3, 0x30B3F8}, {40, -2, 0x1097E5}, {1, 2, 0x89D8FD},
          {-2, 1, 0x906E48}, {40, 0, 0x743C00}}},
        {"5 focus ring", 5, false, F(1, true), 81, 25,
         {{40, 1, 0xFFE7CE}, {40, 2, 0xF6D4BC}, {40, -3, 0xE4AD89}, {40, -2, 0xEE8269}}},
        {"5 default ring without focus", 5, false, F(1, false, true), 81, 25, {{40, 1, 0xFFE7CE}, {40, -2, 0xEE8269}}},
        {"5 focus ignores ShowFocus", 5, false, F(1, true, false, false), 81, 25, {{40, 1, 0xFFE7CE}}},
        {"5 pressed, no ring even focused", 5, false, F(3, true, true), 81, 25,
         {{40, 1, 0xC1CCD1}, {40, 0, 0x743C00}, {1, 1, 0x906E48}, {1, 3, 0xCED8DA}}},
        {"5 disabled", 5, false, F(4, true), 81, 25,
         {{40, 10, 0xEAF4F5}, {0, 10, 0xBAC7C9}, {40, -1, 0xBAC7C9}, {1, 1, 0xC7D5D8}, {-2, -1, 0xC7D5D8},
          {0, 0, 0xBAC7C9}}},
        {"5 state 0 is background only", 5, false, F(0), 81, 25, {{40, 1, face}, {40, 0, face}}},
        // Style 5, custom colours from BackColor 0x808080 and HighlightColor red.
        {"5c hot ring from HighlightColor", 5, true, F(2), 81, 25,
         {{40, -2, 0x0000FF}, {40, 1, ShiftColor(0x0000FF, 85)}, {40, 2, ShiftColor(0x0000FF, 69)},
          {40, 0, 0x000000}, {1, 0, ShiftColor(0x808080, -21)}}},
        {"5c focus ring needs ShowFocus", 5, true, F(1, true, false, true), 81, 25, {{40, -2, sel}}},
        {"5c focus without ShowFocus: no ring", 5, true, F(1, true), 81, 25, {{40, 1, ShiftColor(0x808080, 5)}}},
        {"5c default: no ring", 5, true, F(1, false, true, true), 81, 25, {{40, 1, ShiftColor(0x808080, 5)}}},
        {"5c right border reaches the corner", 5, true, F(1), 81, 25, {{-1, 0, 0x000000}, {0, 0, 0x808080}}},
        {"5c pressed", 5, true, F(3), 81, 25,
         {{1, 2, ShiftColor(0x808080, -48)}, {1, 1, ShiftColor(0x808080, -96)}, {40, 0, 0}}},
        {"5c disabled", 5, true, F(4), 81, 25, {{0, 10, ShiftColor(0x808080, -64)}, {1, 1, ShiftColor(0x808080, -53)}}},
        {"5c white clamps", 5, true, F(1, false, false, false, 0xFFFFFF), 81, 25, {{40, 1, 0xFFFFFF}, {40, 2, 0xFFFFFF}}},
        // Style 7: the ring only hot or focused.
        {"7 normal focused ring", 7, false, F(1, true), 60, 24, {{30, 2, ShiftColor(sel, 21)}, {30, -3, ShiftColor(sel, -5)}}},
        {"7 hot ring", 7, false, F(2), 60, 24, {{30, 2, ShiftColor(sel, 21)}, {30, -2, ShiftColor(sel, -21)}}},
        {"7 disabled no ring", 7, false, F(4, true), 60, 24, {{30, 1, ShiftColor(face, 21)}, {1, 0, ShiftColor(face, 5)}}},
        {"7 pressed keeps background and corners", 7, false, F(3, true), 60, 24,
         {{0, 0, untouched}, {-1, -1, untouched}, {30, 1, ShiftColor(face, -21)}}},
        {"7 state 0 draws nothing", 7, false, F(0), 60, 24, {{30, 12, untouched}}},
        // Style 8: the border darkens with focus, except pressed.
        {"8 normal", 8, false, F(1), 60, 24, {{30, 0, ShiftColor(face, -48)}}},
        {"8 focused", 8, false, F(1, true), 60, 24, {{30, 0, ShiftColor(face, -96)}}},
        {"8 pressed focused", 8, false, F(3, true), 60, 24, {{30, 0, ShiftColor(face, -48)}}},
        {"8 pressed bevel light at bottom", 8, false, F(3), 60, 24,
         {{30, -3, ShiftColor(ShiftColor(face, 15), 96)}, {30, 1, ShiftColor(face, 15)}}},
    };
    for (const FaceCase& c : cases) {
        Canvas canvas(c.w, c.h, untouched);
        FaceSurface s = canvas.Surface(untouched);
        Paint(c, s);
        for (const Probe& p : c.probes) {
            const int x = p.x < 0 ? c.w + p.x : p.x, y = p.y < 0 ? c.h + p.y : p.y;
            EXPECT_EQ(canvas.At(x, y), p.expected)
                << c.what << " at (" << x << ", " << y << "): got " << std::hex << canvas.At(x, y);
        }
    }
}

TEST(FacePainters, StyleSevenRingAppearsOnlyWhenHotOrFocused) {
    const Colour sel = Sys(COLOR_HIGHLIGHT);
    for (int state : {1, 2, 3, 4}) {
        for (bool focus : {false, true}) {
            Canvas canvas(60, 24);
            FaceSurface s = canvas.Surface();
            PaintFaceStyle7(s, F(state, focus), false);
            const bool ring = state == 2 || (state == 1 && focus);
            EXPECT_EQ(canvas.At(30, 2) == ShiftColor(sel, 21), ring) << "state " << state << " focus " << focus;
        }
    }
}

TEST(FacePainters, StyleNineRoundsHalfRowsToEven) {
    const Colour face = ShiftColor(Sys(COLOR_BTNFACE), -15);
    {
        Canvas canvas(60, 23);
        FaceSurface s = canvas.Surface();
        PaintFaceStyle9(s, F(1), false);
        // Column 2 from row 4 over n = nearest(11.5 - 7) = 4 rows: ends at row 8 in F - 37.
        EXPECT_EQ(canvas.At(2, 8), ShiftColor(face, -37));
        EXPECT_EQ(canvas.At(2, 9), face);
        EXPECT_EQ(canvas.At(2, 4), face);
        EXPECT_EQ(canvas.At(6, 3), ShiftColor(face, 128));
    }
    {
        Canvas canvas(60, 14);
        FaceSurface s = canvas.Surface();
        PaintFaceStyle9(s, F(1), false);
        // h - 7 is 0: the columns of rows 4 to 6 of the table draw nothing.
        EXPECT_EQ(canvas.At(3, 3), face);
        EXPECT_EQ(canvas.At(4, 2), face);
    }
    {
        Canvas canvas(60, 24);
        FaceSurface s = canvas.Surface();
        PaintFaceStyle9(s, F(0), false);  // state 0 takes the disabled colour
        EXPECT_EQ(canvas.At(1, 1), ShiftColor(ShiftColor(Sys(COLOR_BTNFACE), 15), 48));
    }
}

TEST(FacePainters, TinySurfacesWriteNothingOutside) {
    // Sizes from 0 to a few pixels, painted with no clip into the middle of a larger canvas: every
    // pixel of the 10-pixel guard ring around the surface keeps its colour.
    using Painter = void (*)(FaceSurface&, const FaceState&);
    const std::pair<const char*, Painter> painters[] = {
        {"5", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle5(s, f); }},
        {"5 custom", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle5Custom(s, f); }},
        {"7 custom", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle7(s, f, true); }},
        {"8", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle8(s, f, false); }},
        {"9", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle9(s, f, false); }},
        {"10", [](FaceSurface& s, const FaceState& f) { PaintFaceStyle10(s, f); }},
    };
    for (const auto& [name, paint] : painters)
        for (int w = 0; w <= 6; ++w)
            for (int h = 0; h <= 6; ++h) {
                Canvas canvas(w + 20, h + 20, 0x123456);
                ::SetViewportOrgEx(canvas.dc(), 10, 10, nullptr);
                FaceSurface s{canvas.dc(), w, h, 0};
                for (int state = 0; state <= 4; ++state) paint(s, F(state, true, true, true));
                ::SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
                int outside = 0, firstX = 0, firstY = 0;
                for (int y = 0; y < h + 20; ++y)
                    for (int x = 0; x < w + 20; ++x) {
                        const bool inside = x >= 10 && x < 10 + w && y >= 10 && y < 10 + h;
                        if (inside || canvas.At(x, y) == 0x123456u) continue;
                        if (outside++ == 0) firstX = x - 10, firstY = y - 10;
                    }
                EXPECT_EQ(outside, 0) << "style " << name << " on " << w << " x " << h << " wrote outside, first at ("
                                      << firstX << ", " << firstY << ")";
            }
}

TEST(DrawingPrimitives, LinesLeaveTheirEndPointAndGradientsNeedSteps) {
    Canvas canvas(10, 10, 0);
    DrawLineOnDC(canvas.dc(), 1, 1, 5, 1, 0x0000FF);
    EXPECT_EQ(canvas.At(4, 1), 0x0000FFu);
    EXPECT_EQ(canvas.At(5, 1), 0u);
    DrawVGradient(canvas.dc(), 0xFFFFFF, 0xFFFFFF, 0, 3, 3, 0);
    EXPECT_EQ(canvas.At(0, 3), 0u);
    DrawVGradient(canvas.dc(), 0x102030, 0x102030, 0, 3, 3, 2);
    for (int y = 3; y <= 5; ++y) EXPECT_EQ(canvas.At(0, y), 0x102030u);
    EXPECT_EQ(canvas.At(0, 6), 0u);
    EXPECT_EQ(canvas.At(3, 3), 0u);
    DrawFrame(canvas.dc(), 6, 6, 2, 2, 0x00FF00);
    EXPECT_EQ(canvas.At(8, 8), 0x00FF00u);
    EXPECT_EQ(canvas.At(7, 7), 0u);
}

TEST(DrawingPrimitives, MaskedPictureOfFifteenPixelsHonoursRowPadding) {
    // A 15 x 3 bitmap: column x has red 10 x, green = row, blue 7; every third pixel magenta.
    Canvas picture(15, 3, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x) ::SetPixelV(picture.dc(), x, y, x % 3 == 0 ? 0xFF00FF : Rgb(10 * x, y, 7));
    HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(picture.dc(), OBJ_BITMAP));
    // The painter selects the bitmap itself, so hand it over from the canvas first.
    HBITMAP copy = static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(copy, nullptr);
    Canvas target(20, 6, 0x00FF00);
    MaskedPaint how;
    how.useMask = true;
    how.key = 0xFF00FF;
    PaintPictureMasked(target.dc(), 2, 1, 15, 3, copy, nullptr, how);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x)
            EXPECT_EQ(target.At(2 + x, 1 + y), x % 3 == 0 ? 0x00FF00u : Rgb(10 * x, y, 7)) << x << "," << y;
    EXPECT_EQ(target.At(17, 1), 0x00FF00u);
    // Without the mask every pixel is drawn, magenta included; grey of red 255 is 76.
    Canvas second(20, 6, 0);
    how.useMask = false;
    PaintPictureMasked(second.dc(), 0, 0, 15, 3, copy, nullptr, how);
    EXPECT_EQ(second.At(0, 0), 0xFF00FFu);
    Canvas red(3, 1, 0x0000FF);
    HBITMAP redCopy = static_cast<HBITMAP>(
        ::CopyImage(static_cast<HBITMAP>(::GetCurrentObject(red.dc(), OBJ_BITMAP)), IMAGE_BITMAP, 0, 0, 0));
    Canvas greyTarget(3, 1, 0);
    MaskedPaint grey;
    grey.grey = true;
    PaintPictureMasked(greyTarget.dc(), 0, 0, 3, 1, redCopy, nullptr, grey);
    EXPECT_EQ(greyTarget.At(1, 0), Rgb(76, 76, 76));
    // A width or height of 0 and no picture draw nothing.
    PaintPictureMasked(greyTarget.dc(), 0, 0, 0, 1, redCopy, nullptr, grey);
    PaintPictureMasked(greyTarget.dc(), 0, 0, 3, 1, nullptr, nullptr, grey);
    ::DeleteObject(copy);
    ::DeleteObject(redCopy);
}

TEST(DrawingPrimitives, IconFromBitmapsNeedsBoth) {
    EXPECT_EQ(CreateIconFromBitmaps(nullptr, nullptr), nullptr);
    HBITMAP b = ::CreateBitmap(4, 4, 1, 1, nullptr);
    EXPECT_EQ(CreateIconFromBitmaps(b, nullptr), nullptr);
    EXPECT_FALSE(PaintIconGrayscale(nullptr, nullptr, 0, 0, 4, 4));
    ::DeleteObject(b);
    EXPECT_EQ(TranslateColor(SystemColour(COLOR_BTNFACE)), Sys(COLOR_BTNFACE));
    EXPECT_EQ(TranslateColor(0x80FFFFFF), 0xFFFFFFFFu);
}

TEST(WindowRegions, PointTables) {
    struct Pt {
        int x, y;
        bool inside;
    };
    struct RegionCase {
        const char* what;
        HRGN region;
        std::vector<Pt> points;
    } cases[] = {
        {"cut", CreateCutCornerRegion(81, 25),
         {{0, 0, false}, {80, 0, false}, {0, 24, false}, {80, 24, false}, {40, 0, true}, {0, 12, true}, {80, 12, true},
          {40, 24, true}, {40, 12, true}, {81, 12, false}}},
        {"bevel", CreateBevelCornerRegion(81, 25),
         {{0, 0, false}, {1, 0, false}, {0, 1, false}, {80, 0, false}, {80, 1, false}, {40, 0, true}, {40, 24, true},
          {0, 24, false}}},
        {"round", CreateRoundRegion(81, 25), {{0, 0, false}, {80, 0, false}, {40, 12, true}, {40, 0, true}, {0, 12, true}}},
    };
    for (auto& c : cases) {
        ASSERT_NE(c.region, nullptr) << c.what;
        for (const Pt& p : c.points)
            EXPECT_EQ(::PtInRegion(c.region, p.x, p.y) != FALSE, p.inside) << c.what << " (" << p.x << ", " << p.y << ")";
        ::DeleteObject(c.region);
    }
}

TEST(FacePainters, StyleTenTellingColoursAndUntouchedCorners) {
    struct Case {
        const char* what;
        FaceState face;
        Colour centre, topOutline, leftOutline, glow;
    } cases[] = {
        {"normal", F(1), Rgb(232, 231, 234), Rgb(106, 105, 103), Rgb(153, 153, 153), Rgb(254, 254, 254)},
        {"normal focused is hot", F(1, true), Rgb(106, 166, 226), Rgb(8, 6, 69), Rgb(19, 46, 113), Rgb(173, 230, 255)},
        {"hot", F(2), Rgb(106, 166, 226), Rgb(8, 6, 69), Rgb(19, 46, 113), Rgb(173, 230, 255)},
        {"pressed", F(3), Rgb(106, 155, 204), Rgb(10, 9, 60), Rgb(23, 45, 99), Rgb(166, 213, 233)},
        {"state 0 is pressed", F(0), Rgb(106, 155, 204), Rgb(10, 9, 60), Rgb(23, 45, 99), Rgb(166, 213, 233)},
        {"disabled is normal", F(4), Rgb(232, 231, 234), Rgb(106, 105, 103), Rgb(153, 153, 153), Rgb(254, 254, 254)},
        {"focused disabled is hot", F(4, true), Rgb(106, 166, 226), Rgb(8, 6, 69), Rgb(19, 46, 113), Rgb(173, 230, 255)},
    };
    const int W = 81, H = 30;
    for (const Case& c : cases) {
        Canvas canvas(W, H, 0x123456);
        FaceSurface s = canvas.Surface();
        PaintFaceStyle10(s, c.face);
        EXPECT_EQ(canvas.At(W / 2, H / 2), c.centre) << c.what;
        EXPECT_EQ(canvas.At(W / 2, 0), c.topOutline) << c.what;
        EXPECT_EQ(canvas.At(2, H / 2), c.leftOutline) << c.what;
        EXPECT_EQ(canvas.At(0, H / 2), Rgb(247, 247, 247)) << c.what << " halo";
        EXPECT_EQ(canvas.At(W - 1, H / 2), Rgb(246, 246, 246)) << c.what << " halo";
        EXPECT_EQ(canvas.At(W / 2, H - 4), c.glow) << c.what;
        EXPECT_EQ(canvas.At(W / 2, H - 1), Rgb(197, 197, 197)) << c.what << " shadow";
        EXPECT_EQ(canvas.At(17, H / 2), c.centre) << c.what;
        // Outside the top-left curve nothing is painted.
        for (auto [x, y] : {std::pair{0, 0}, {5, 0}, {4, 1}, {2, 2}, {2, 3}, {1, 4}, {0, 5}, {0, 7}})
            EXPECT_EQ(canvas.At(x, y), 0x123456u) << c.what << " (" << x << ", " << y << ")";
        for (auto [x, y] : {std::pair{6, 0}, {5, 1}, {3, 2}, {2, 4}, {1, 5}, {0, 8}})
            EXPECT_NE(canvas.At(x, y), 0x123456u) << c.what << " (" << x << ", " << y << ")";
        EXPECT_EQ(canvas.At(W - 1, 0), 0x123456u) << c.what;
        EXPECT_EQ(canvas.At(0, H - 1), 0x123456u) << c.what;
        EXPECT_EQ(canvas.At(W - 1, H - 1), 0x123456u) << c.what;
    }
    // Colours play no part in this style.
    Canvas a(60, 30), b(60, 30);
    FaceSurface sa = a.Surface(), sb = b.Surface();
    PaintFaceStyle10(sa, F(1, false, false, false, 0x000000, 0x0000FF));
    PaintFaceStyle10(sb, F(1, false, false, false, 0xFFFFFF, 0x00FF00));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y));
}
