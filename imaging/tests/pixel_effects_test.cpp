// The pure halves of trimming, tiling, the checkerboard, the colour effects and the drop shadow,
// on small grids under the sanitizers.
#include <gtest/gtest.h>

#include <vector>

#include "bas32bppDIBParsers.h"
#include "pixel_grid.h"
#include "pixels/drop_shadow.h"
#include "pixels/pixel_effects.h"
#include "pixels/pixel_fill.h"
#include "pixels/pixel_trim.h"

using namespace quorallion::imaging;
using grids::Bgra;
using grids::Grid;

namespace {

constexpr Bgra kClear{0, 0, 0, 0};
constexpr Bgra kInk{10, 20, 30, 255};

struct TrimCase {
    const char* why;
    std::vector<std::pair<int, int>> inked;  // top-down (x, y) of the visible pixels of a 5 x 4 grid
    int32_t method;
    bool found;
    TrimRect expected;  // x, y, width, height
};

}  // namespace

TEST(Trim, KeptRectangleBySides) {
    const TrimCase cases[] = {
        {"the only pixel in the last column of the top row", {{4, 0}}, 15, true, {4, 0, 1, 1}},
        {"method 0 is all four sides", {{4, 0}}, 0, true, {4, 0, 1, 1}},
        {"top and bottom only keep the full width", {{1, 1}, {3, 2}}, 10, true, {0, 1, 5, 2}},
        {"left and right only keep the full height", {{1, 1}, {3, 2}}, 5, true, {1, 0, 3, 4}},
        {"left edge found below the top row", {{3, 0}, {0, 3}}, 15, true, {0, 0, 4, 4}},
        {"right edge found in a middle row", {{0, 0}, {4, 2}, {1, 3}}, 15, true, {0, 0, 5, 4}},
        {"a colour under alpha 0 is still empty", {}, 15, false, {}},
        {"nothing visible, top only", {}, 2, false, {}},
        {"nothing visible, bottom only", {}, 8, false, {}},
        {"nothing visible, right only", {}, 4, false, {}},
    };
    for (const TrimCase& c : cases) {
        Grid grid(5, 4);
        grid.Set(2, 2, {9, 9, 9, 0});
        for (auto [x, y] : c.inked) grid.Set(x, y, kInk);
        TrimRect got{-1, -1, -1, -1, -1, -1};
        EXPECT_EQ(FindTrimRect(grid.view(), c.method, got), c.found) << c.why;
        EXPECT_EQ((std::vector{got.x, got.y, got.width, got.height}),
                  (std::vector{c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
            << c.why;
        if (c.found) {
            EXPECT_EQ(got.topRow, 3 - got.y) << c.why;
            EXPECT_EQ(got.topRow - got.bottomRow + 1, got.height) << c.why;
        }
    }
    Grid grid(5, 4);
    TrimRect got;
    EXPECT_FALSE(FindTrimRect(grid.view(), -1, got)) << "a negative method";
}

TEST(CheckerBoard, SquaresAlternateAndTheEdgesAreCut) {
    Grid grid(20, 20);
    const uint32_t red = 0x0000FF, blue = 0xFF0000;
    ASSERT_TRUE(DrawCheckerBoard(grid.view(), 8, red, blue));
    const Bgra redPixel{0, 0, 255, 255}, bluePixel{255, 0, 0, 255};
    EXPECT_EQ(grid.Get(0, 0), redPixel) << "the top-left square has the first colour";
    EXPECT_EQ(grid.Get(7, 7), redPixel);
    EXPECT_EQ(grid.Get(8, 0), bluePixel);
    EXPECT_EQ(grid.Get(0, 8), bluePixel) << "the second row starts with the other colour";
    EXPECT_EQ(grid.Get(16, 0), redPixel) << "third column of squares";
    EXPECT_EQ(grid.Get(19, 19), redPixel) << "third column of the third row, 4 pixels wide and high";
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(grid.Get(x, y)[3], 255) << x << "," << y;

    for (int32_t size : {0, -3}) EXPECT_FALSE(DrawCheckerBoard(grid.view(), size, red, blue)) << size;
    ASSERT_TRUE(DrawCheckerBoard(grid.view(), 50, blue, red));
    EXPECT_EQ(grid.Get(19, 19), bluePixel) << "one square larger than the grid";
}

namespace {

// A tile whose every pixel is distinct: blue x, green y, red the tile's mark.
Grid MakeTile(int32_t width, int32_t height, uint8_t mark) {
    Grid tile(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) tile.Set(x, y, {uint8_t(x), uint8_t(y), mark, 255});
    return tile;
}

// A canvas with the first tile at its top-left corner, as the tiling starts it.
Grid CanvasWith(Grid& tile, int32_t width, int32_t height) {
    Grid canvas(width, height);
    CopyPixelRect(tile.view(), 0, 0, tile.width(), tile.height(), canvas.view(), 0, 0);
    return canvas;
}

}  // namespace

TEST(Tiles, CellsRepeatAcrossAndDownWithGaps) {
    Grid tile = MakeTile(2, 2, 1);
    Grid canvas = CanvasWith(tile, 7, 5);
    FillTiles(canvas.view(), {}, false, TileLayout{2, 2, 1, 1, false});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const Bgra expected = x % 3 < 2 && y % 3 < 2 ? Bgra{uint8_t(x % 3), uint8_t(y % 3), 1, 255} : kClear;
            ASSERT_EQ(canvas.Get(x, y), expected) << x << "," << y;
        }
}

TEST(Tiles, OneCellHighRepeatsAcrossTheFullWidth) {
    Grid tile = MakeTile(3, 3, 1);
    Grid canvas = CanvasWith(tile, 10, 3);
    FillTiles(canvas.view(), {}, false, TileLayout{3, 3, 0, 0, false});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(canvas.Get(x, y), (Bgra{uint8_t(x % 3), uint8_t(y), 1, 255})) << x;
}

TEST(Tiles, SecondTileTakesEverySecondCell) {
    Grid tile = MakeTile(2, 1, 1), second = MakeTile(2, 1, 2);
    Grid canvas = CanvasWith(tile, 9, 2);
    FillTiles(canvas.view(), second.view(), true, TileLayout{2, 1, 0, 0, false});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(canvas.Get(x, y), (Bgra{uint8_t(x % 2), 0, uint8_t(x / 2 % 2 + 1), 255})) << x << "," << y;
}

TEST(Tiles, StaggeredRowsStartWithTheTilesRightHalf) {
    Grid tile = MakeTile(4, 2, 1);
    Grid canvas = CanvasWith(tile, 10, 7);
    FillTiles(canvas.view(), {}, false, TileLayout{4, 2, 0, 0, true});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool shifted = y / 2 % 2 == 1;
            const int column = shifted ? (x < 2 ? x + 2 : (x - 2) % 4) : x % 4;
            ASSERT_EQ(canvas.Get(x, y), (Bgra{uint8_t(column), uint8_t(y % 2), 1, 255})) << x << "," << y;
        }
}

TEST(Tiles, EveryCopyIsClippedToTheCanvas) {
    struct Case {
        const char* why;
        int32_t canvasWidth, canvasHeight;
        TileLayout layout;
        bool second;
    };
    const Case cases[] = {
        {"staggered row shorter than a tile", 9, 3, {4, 2, 0, 0, true}, true},
        {"gaps larger than the canvas", 5, 5, {2, 2, 1000, 1000, true}, true},
        {"stagger below the canvas", 6, 2, {3, 2, 0, 5, true}, false},
        {"second cell past the right edge", 3, 3, {2, 3, 0, 0, false}, true},
        {"huge gaps do not wrap", 4, 4, {1, 1, INT32_MAX, INT32_MAX, true}, true},
    };
    for (const Case& c : cases) {
        Grid tile = MakeTile(c.layout.tileWidth, c.layout.tileHeight, 1);
        Grid second = MakeTile(c.layout.tileWidth, c.layout.tileHeight, 2);
        Grid canvas = CanvasWith(tile, c.canvasWidth, c.canvasHeight);
        FillTiles(canvas.view(), second.view(), c.second, c.layout);  // the sanitizers watch the copies
        EXPECT_EQ(canvas.Get(0, 0), (Bgra{0, 0, 1, 255})) << c.why;
    }
}

TEST(ColourEffects, GreyInverseAndTransparentColour) {
    Grid grid(3, 1);
    grid.Set(0, 0, {0, 0, 255, 255});  // opaque red
    grid.Set(1, 0, {40, 60, 80, 128});
    grid.Set(2, 0, {7, 7, 7, 0});  // alpha 0: never touched
    const auto weights = quorallion::bas32bppDIBParsers::GetGrayScaleWeights(0);
    MakeGrey(grid.view(), weights.red, weights.green, weights.blue);
    EXPECT_EQ(grid.Get(0, 0), (Bgra{76, 76, 76, 255})) << "0.299 x 255 = 76.245";
    EXPECT_EQ(grid.Get(1, 0), (Bgra{64, 64, 64, 128})) << "on the stored bytes: 4.56 + 35.22 + 23.92 = 63.7";
    EXPECT_EQ(grid.Get(2, 0), (Bgra{7, 7, 7, 0}));

    Grid inverse(2, 1);
    inverse.Set(0, 0, {10, 100, 0, 100});
    inverse.Set(1, 0, {200, 5, 5, 100});  // blue above its alpha: left as it is
    InvertColours(inverse.view());
    EXPECT_EQ(inverse.Get(0, 0), (Bgra{90, 0, 100, 100}));
    EXPECT_EQ(inverse.Get(1, 0), (Bgra{200, 95, 95, 100}));
    InvertColours(inverse.view());
    EXPECT_EQ(inverse.Get(0, 0), (Bgra{10, 100, 0, 100})) << "twice restores";

    // 0xFFFFFE is red 254, green 255, blue 255: white does not match it.
    Grid colours(3, 1, {255, 255, 255, 255});
    EXPECT_EQ(ClearColour(colours.view(), 0xFFFFFE), 0);
    colours.Set(1, 0, {255, 255, 254, 255});
    colours.Set(2, 0, {255, 255, 254, 254});  // not opaque: never matches
    EXPECT_EQ(ClearColour(colours.view(), 0xFFFFFE), 1);
    EXPECT_EQ(colours.Get(1, 0), kClear);
    RestoreClearedColour(colours.view(), 0xFFFFFE);
    EXPECT_EQ(colours.Get(1, 0), (Bgra{255, 255, 254, 255}));
    EXPECT_EQ(colours.Get(2, 0), (Bgra{255, 255, 254, 254}));
}

TEST(ColourEffects, BlendTowardColourPremultipliesOnce) {
    struct Case {
        const char* why;
        Bgra pixel;
        uint32_t color;
        int32_t opacity;
        Bgra expected;
    };
    const Case cases[] = {
        // (c x 50 x 255 + C x 50 x a) div 25500: blue (64 x 12750) / 25500 = 32, red (255 x 50 x 128) / 25500 = 64.
        {"half alpha, half way to red", {64, 32, 0, 128}, 0x0000FF, 50, {32, 16, 64, 128}},
        {"opaque, all the way", {1, 2, 3, 255}, 0x336699, 100, {0x33, 0x66, 0x99, 255}},
        {"over 100 counts as 100", {1, 2, 3, 255}, 0x336699, 150, {0x33, 0x66, 0x99, 255}},
        {"opaque, a quarter: (c x 75 + C x 25) div 100", {200, 100, 0, 255}, 0xFFFFFF, 25, {213, 138, 63, 255}},
        {"0 changes nothing", {1, 2, 3, 255}, 0x336699, 0, {1, 2, 3, 255}},
        {"alpha 0 is left", {0, 0, 0, 0}, 0xFFFFFF, 100, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Grid grid(1, 1, c.pixel);
        BlendTowardColour(grid.view(), c.color, c.opacity);
        EXPECT_EQ(grid.Get(0, 0), c.expected) << c.why;
    }
}

TEST(ColourEffects, CoverageBecomesPremultipliedForeColour) {
    struct Case {
        uint32_t color;
        uint8_t coverage;
        Bgra expected;
    };
    const Case cases[] = {
        {0x000000, 255, {0, 0, 0, 255}},       {0x000000, 0, {0, 0, 0, 0}},
        {0x000000, 100, {0, 0, 0, 100}},       {0xFFFFFF, 255, {255, 255, 255, 255}},
        {0xFFFFFF, 100, {100, 100, 100, 100}}, {0x204080, 255, {0x20, 0x40, 0x80, 255}},
        {0x204080, 128, {16, 32, 64, 128}},    {0x204080, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Grid grid(1, 1, {c.coverage, c.coverage, c.coverage, 0});
        CoverageToColour(grid.view(), c.color);
        EXPECT_EQ(grid.Get(0, 0), c.expected) << std::hex << c.color << " at " << int(c.coverage);
    }
}

namespace {

// The shadow's alpha by the plain sum over the window, for comparison.
uint32_t ConvolvedAlpha(Grid& source, int32_t depth, int32_t column, int32_t storageRow) {
    const int32_t pad = 2 * depth, window = pad + 1;
    uint32_t sum = 0;
    for (int32_t row = storageRow - pad; row <= storageRow; ++row)
        for (int32_t x = column - pad; x <= column; ++x)
            if (row >= 0 && row < source.height() && x >= 0 && x < source.width())
                sum += source.view().at(x, row)[3];
    return sum / uint32_t(window * window);
}

}  // namespace

TEST(DropShadow, EqualsThePlainConvolutionAtEveryDepth) {
    Grid source(9, 6);
    uint32_t seed = 12345;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            seed = seed * 1103515245 + 12345;
            const uint8_t alpha = (seed >> 16) % 3 == 0 ? 0 : uint8_t(seed >> 8);
            source.Set(x, y, {0, 0, 0, alpha});
        }
    const uint32_t color = 0x4080C0;  // red 0xC0, green 0x80, blue 0x40
    for (int32_t depth : {0, 1, 2, 3, 10, 15, -4}) {
        const int32_t effective = depth < 0 ? 0 : depth > 10 ? 10 : depth;
        PixelCopy shadow;
        ASSERT_TRUE(MakeDropShadow(source.view(), depth, color, shadow)) << depth;
        ASSERT_EQ(shadow.width(), 9 + 2 * effective) << depth;
        ASSERT_EQ(shadow.height(), 6 + 2 * effective) << depth;
        for (int32_t row = 0; row < shadow.height(); ++row)
            for (int32_t x = 0; x < shadow.width(); ++x) {
                const uint8_t* p = shadow.view().at(x, row);
                const uint32_t alpha = ConvolvedAlpha(source, effective, x, row);
                ASSERT_EQ(p[3], alpha) << "depth " << depth << " at " << x << "," << row;
                ASSERT_EQ(p[0], 0x40 * alpha / 255) << depth;
                ASSERT_EQ(p[1], 0x80 * alpha / 255) << depth;
                ASSERT_EQ(p[2], 0xC0 * alpha / 255) << depth;
                if (effective == 0) {
                    ASSERT_EQ(p[3], source.view().at(x, row)[3]) << "depth 0 copies the alpha";
                }
            }
    }
    PixelCopy none;
    EXPECT_FALSE(MakeDropShadow(PixelView{}, 3, color, none));
}
