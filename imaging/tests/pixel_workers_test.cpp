// The drawing workers on small pixel grids: blending, scaling, mirroring, lightness, rotation and
// the rectangles of shaped regions. Run under AddressSanitizer, so any read or write outside a
// grid fails the test.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "pixels/alpha_runs.h"
#include "pixels/light_adjust.h"
#include "pixels/pixel_blend.h"
#include "pixels/pixel_mirror.h"
#include "pixels/pixel_rotate.h"
#include "pixels/pixel_scale.h"
#include "pixel_grid.h"

using namespace quorallion::imaging;

namespace {

using grids::Bgra;

// The shared grid, plus the blender's view of it.
class Grid : public grids::Grid {
public:
    using grids::Grid::Grid;
    BlendTarget target() { return BlendTarget{view().bits, view().width, view().height, view().stride(), 4}; }
};

Bgra At(PixelCopy& copy, int32_t x, int32_t y) {
    uint8_t* p = copy.view().at(x, copy.height() - 1 - y);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

struct BlendCase {
    const char* what;
    Bgra source;
    Bgra destination;
    int32_t opacity;
    int32_t grey;
    Bgra expected;
};

class BlendPixel : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendPixel, OneSourceOverOneDestination) {
    const BlendCase& c = GetParam();
    Grid source(1, 1, c.source), host(1, 1, c.destination);
    BlendPixelRect(source.view(), host.target(), {0, 0, 0, 0, 1, 1, c.opacity, c.grey});
    EXPECT_EQ(host.Get(0, 0), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlendPixel,
    ::testing::Values(
        BlendCase{"transparent never changes", {0, 0, 0, 0}, {9, 8, 7, 6}, 128, -1, {9, 8, 7, 6}},
        BlendCase{"opaque copies", {200, 100, 50, 255}, {1, 2, 3, 4}, 255, -1, {200, 100, 50, 255}},
        BlendCase{"half over white", {64, 64, 64, 128}, {255, 255, 255, 255}, 255, -1, {191, 191, 191, 255}},
        BlendCase{"opacity 128 over black", {200, 100, 50, 255}, {0, 0, 0, 0}, 128, -1, {100, 50, 25, 128}},
        BlendCase{"grey opaque, code 0", {0, 0, 255, 255}, {0, 0, 0, 0}, 255, 0, {76, 76, 76, 255}},
        BlendCase{"grey code 99 is code 0", {0, 0, 255, 255}, {0, 0, 0, 0}, 255, 99, {76, 76, 76, 255}},
        BlendCase{"grey half", {0, 0, 128, 128}, {255, 255, 255, 0}, 255, 0, {165, 165, 165, 128}},
        BlendCase{"grey with opacity", {0, 0, 255, 255}, {0, 0, 0, 0}, 128, 0, {38, 38, 38, 128}},
        BlendCase{"not premultiplied: overflowing channel kept", {255, 0, 0, 128}, {255, 0, 0, 255}, 255, -1,
                  {255, 0, 0, 255}}),
    [](const auto& row) { return "case" + std::to_string(row.index); });

TEST(BlendPixelRect, ClipsToBothGrids) {
    Grid source(4, 4, {10, 20, 30, 255});
    Grid host(3, 3, {0, 0, 0, 0});
    struct Row { int32_t srcX, srcY, destX, destY, width, height, rows; };
    for (const Row& r : {Row{0, 0, -2, -2, 4, 4, 2}, Row{0, 0, 2, 2, 4, 4, 1}, Row{3, 3, 0, 0, 4, 4, 1},
                         Row{5, 0, 0, 0, 4, 4, 0}, Row{0, 0, 3, 0, 4, 4, 0}, Row{-3, -3, 0, 0, 4, 4, 0}, Row{-1, -1, 0, 0, 4, 4, 2},
                         Row{0, 0, -2147483647, 0, 2147483647, 4, 0}, Row{0, 0, 1, 1, 2147483647, 2147483647, 2}}) {
        EXPECT_EQ(BlendPixelRect(source.view(), host.target(),
                                 {r.srcX, r.srcY, r.destX, r.destY, r.width, r.height, 255, -1}),
                  r.rows)
            << r.srcX << "," << r.srcY << " -> " << r.destX << "," << r.destY;
    }
}

TEST(BlendPixelRect, NegativeDestinationTakesTheSourceFromTheCut) {
    Grid source(3, 1);
    for (int32_t x = 0; x < 3; ++x) source.Set(x, 0, {uint8_t(x + 1), 0, 0, 255});
    Grid host(3, 1, {0, 0, 0, 0});
    BlendPixelRect(source.view(), host.target(), {0, 0, -1, 0, 3, 1, 255, -1});
    EXPECT_EQ(host.Get(0, 0)[0], 2);
    EXPECT_EQ(host.Get(1, 0)[0], 3);
    EXPECT_EQ(host.Get(2, 0)[3], 0);  // nothing left to draw there
}

TEST(BlendPixelRect, TwentyFourBitTargetWritesNoAlpha) {
    Grid source(2, 1, {10, 20, 30, 255});
    std::vector<uint8_t> captured(8, 0xEE);  // one row of 2 pixels padded to 8 bytes
    BlendPixelRect(source.view(), BlendTarget{captured.data(), 2, 1, 8, 3}, {0, 0, 0, 0, 2, 1, 255, -1});
    EXPECT_EQ(captured, (std::vector<uint8_t>{10, 20, 30, 10, 20, 30, 0xEE, 0xEE}));
}

class Scale : public ::testing::Test {
protected:
    // A 2 x 2 picture: top row 0 and 100, bottom row 200 and 250 in blue; all opaque.
    Scale() : source_(2, 2) {
        source_.Set(0, 0, {0, 0, 0, 255});
        source_.Set(1, 0, {100, 0, 0, 255});
        source_.Set(0, 1, {200, 0, 0, 255});
        source_.Set(1, 1, {250, 0, 0, 255});
    }
    PixelCopy Run(int32_t outW, int32_t outH, bool bilinear, int32_t skipX = 0, int32_t skipY = 0) {
        PixelCopy out;
        out.Allocate(outW, outH);
        ScaleRequest r{0, 0, 2, 2, 2.0 / outW, 2.0 / outH, skipX, skipY, bilinear};
        EXPECT_TRUE(ScalePixelRect(source_.view(), out.view(), r));
        return out;
    }
    Grid source_;
};

TEST_F(Scale, NearestDoublesEachPixel) {
    PixelCopy out = Run(4, 4, false);
    EXPECT_EQ(At(out, 0, 0)[0], 0);
    EXPECT_EQ(At(out, 1, 1)[0], 0);
    EXPECT_EQ(At(out, 2, 0)[0], 100);
    EXPECT_EQ(At(out, 0, 3)[0], 200);
    EXPECT_EQ(At(out, 3, 3)[0], 250);
}

TEST_F(Scale, BilinearSamplesTheRowAboveInStorageNotBelow) {
    // Storage row 0 is the bottom picture row (200, 250). Output storage row 1 samples ys = 0.5:
    // halfway between storage rows 0 and 1, never below row 0.
    PixelCopy out = Run(4, 4, true);
    EXPECT_EQ(At(out, 0, 3)[0], 200);  // bottom row, first column: exactly the source
    EXPECT_EQ(At(out, 0, 2)[0], 100);  // halfway up between 200 and 0
    EXPECT_EQ(At(out, 1, 3)[0], 225);  // halfway between 200 and 250
    EXPECT_EQ(At(out, 3, 0)[0], 100);  // the top-right corner is clamped to the last column and row
    EXPECT_EQ(At(out, 0, 0)[3], 255);
}

TEST_F(Scale, SkippedColumnsAndRowsStartFurtherIn) {
    PixelCopy out = Run(2, 2, false, 2, 2);  // the right half of a 4-wide scaling, top rows
    EXPECT_EQ(At(out, 0, 0)[0], 100);
}

TEST_F(Scale, RectanglesOutsideTheSourceAreRefused) {
    PixelCopy out;
    out.Allocate(2, 2);
    EXPECT_FALSE(ScalePixelRect(source_.view(), out.view(), {2, 0, 2, 2, 1, 1, 0, 0, false}));
    EXPECT_FALSE(ScalePixelRect(source_.view(), out.view(), {0, 0, 0, 2, 1, 1, 0, 0, true}));
    // A huge factor is clamped inside the picture.
    EXPECT_TRUE(ScalePixelRect(source_.view(), out.view(), {0, 0, 2, 2, 1e9, 1e9, 0, 0, true}));
    EXPECT_TRUE(ScalePixelRect(source_.view(), out.view(), {0, 0, 2, 2, -5, 1e300, 7, 7, false}));
}

TEST(Mirror, EachWayOfASubRectangle) {
    Grid source(3, 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) source.Set(x, y, {uint8_t(10 * y + x), 0, 0, 255});
    PixelCopy out;
    // Columns 1..2 of both rows.
    ASSERT_TRUE(MirrorPixelRect(source.view(), 1, 0, 2, 2, true, false, out));
    EXPECT_EQ(At(out, 0, 0)[0], 2);
    EXPECT_EQ(At(out, 1, 1)[0], 11);
    ASSERT_TRUE(MirrorPixelRect(source.view(), 1, 0, 2, 2, false, true, out));
    EXPECT_EQ(At(out, 0, 0)[0], 11);
    EXPECT_EQ(At(out, 1, 1)[0], 2);
    ASSERT_TRUE(MirrorPixelRect(source.view(), 1, 0, 2, 2, true, true, out));
    EXPECT_EQ(At(out, 0, 0)[0], 12);
    EXPECT_EQ(At(out, 1, 1)[0], 1);
    EXPECT_FALSE(MirrorPixelRect(source.view(), 3, 0, 2, 2, true, true, out));
    ASSERT_TRUE(MirrorPixelRect(source.view(), 2, 1, 100, 100, true, true, out));  // clipped to one pixel
    EXPECT_EQ(out.width(), 1);
    EXPECT_EQ(At(out, 0, 0)[0], 12);
}

TEST(Lightness, LightensToAlphaDarkensToZeroSkipsTransparent) {
    Grid pixels(3, 1);
    pixels.Set(0, 0, {100, 120, 0, 128});
    pixels.Set(1, 0, {0, 0, 0, 0});
    pixels.Set(2, 0, {250, 10, 0, 255});
    AdjustLightness(pixels.view(), 0, 0, 3, 1, 10);  // k = 25.5; d = round(128 * 25.5) / 255 = 12
    EXPECT_EQ(pixels.Get(0, 0), (Bgra{112, 128, 12, 128}));
    EXPECT_EQ(pixels.Get(1, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(pixels.Get(2, 0), (Bgra{255, 35, 25, 255}));
    AdjustLightness(pixels.view(), -1936946036, 0, -1936946036, 1, 50);  // a span that wraps 32 bits
    EXPECT_EQ(pixels.Get(0, 0), (Bgra{112, 128, 12, 128}));
    AdjustLightness(pixels.view(), 2, 0, 5, 5, -100);  // clipped to the last pixel
    EXPECT_EQ(pixels.Get(2, 0), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(pixels.Get(0, 0), (Bgra{112, 128, 12, 128}));
}

TEST(Rotate, QuarterTurnIsClockwise) {
    // 2 x 1: left blue 1, right blue 2. Turned 90 degrees clockwise the left pixel is on top.
    Grid source(2, 1);
    source.Set(0, 0, {1, 0, 0, 255});
    source.Set(1, 0, {2, 0, 0, 255});
    PixelCopy out;
    ASSERT_TRUE(RotatePixelRect(source.view(), {0, 0, 2, 1, 20, 10, 90, false}, out));
    EXPECT_EQ(out.width(), 22);  // round(sqrt(500))
    int32_t topOfOne = -1, topOfTwo = -1;
    for (int32_t y = 21; y >= 0; --y)
        for (int32_t x = 0; x < 22; ++x) {
            if (At(out, x, y)[0] == 1) topOfOne = y;
            if (At(out, x, y)[0] == 2) topOfTwo = y;
        }
    EXPECT_LT(topOfOne, topOfTwo);
    PixelCopy unturned;
    ASSERT_TRUE(RotatePixelRect(source.view(), {0, 0, 2, 1, 2, 1, 360, true}, unturned));
    EXPECT_EQ(unturned.width(), 2);
    EXPECT_FALSE(RotatePixelRect(source.view(), {0, 0, 2, 1, 2147483647, 2147483647, 45, false}, out));
}

TEST(AlphaRegionRects, ThreeStyles) {
    Grid pixels(10, 2, {0, 0, 0, 255});
    pixels.Set(0, 0, {0, 0, 0, 0});
    pixels.Set(0, 1, {0, 0, 0, 0});
    for (int32_t x : {1, 4, 5, 9}) pixels.Set(x, 1, {0, 0, 0, 0});  // row 1: runs 2-3 and 6-8
    pixels.Set(6, 1, {0, 0, 0, 1});  // alpha 1 counts
    using R = RegionRect;
    EXPECT_EQ(AlphaRegionRects(pixels.view(), 0), (std::vector<R>{{1, 0, 10, 2}}));
    EXPECT_EQ(AlphaRegionRects(pixels.view(), 1), (std::vector<R>{{1, 0, 10, 1}, {2, 1, 9, 2}}));
    EXPECT_EQ(AlphaRegionRects(pixels.view(), 2), (std::vector<R>{{1, 0, 10, 1}, {2, 1, 4, 2}, {6, 1, 9, 2}}));
    Grid clear(4, 4);
    for (int32_t style : {0, 1, 2}) EXPECT_TRUE(AlphaRegionRects(clear.view(), style).empty());
    EXPECT_TRUE(AlphaRegionRects(pixels.view(), 3).empty());
}
