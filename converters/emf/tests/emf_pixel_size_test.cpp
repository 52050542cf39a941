// The drawing size of a metafile: the frame at the screen's resolution, bounded by the reference
// device on one axis; 64-bit arithmetic at the ends of the 32-bit range.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "emf_pixel_size.h"

using namespace quorallion::emf;

namespace {

// A 96 dots-per-inch reference device of 1280 × 800 pixels.
EmfHeaderSizes Frame(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    EmfHeaderSizes h;
    h.frameLeft = left;
    h.frameTop = top;
    h.frameRight = right;
    h.frameBottom = bottom;
    h.deviceWidth = 1280;
    h.deviceHeight = 800;
    h.millimetersWidth = 339;
    h.millimetersHeight = 212;
    return h;
}

EmfHeaderSizes Portrait(EmfHeaderSizes h) {
    std::swap(h.deviceWidth, h.deviceHeight);
    std::swap(h.millimetersWidth, h.millimetersHeight);
    return h;
}

}  // namespace

TEST(EmfPixelSize, MulDiv64RoundsHalvesAwayFromZeroWithoutLimits) {
    EXPECT_EQ(MulDiv64(2541, 96, 2540), 96);
    EXPECT_EQ(MulDiv64(5, 1, 2), 3);
    EXPECT_EQ(MulDiv64(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv64(5, -1, 2), -3);
    EXPECT_EQ(MulDiv64(7, 1, -2), -4);
    EXPECT_EQ(MulDiv64(int64_t{1} << 32, 96, 2540), 162329473);  // a 32-bit MulDiv overflows here
    EXPECT_EQ(MulDiv64(INT64_MAX, INT64_MAX, 1), INT64_MAX);      // saturates, never wraps
    EXPECT_FALSE(MulDiv64(1, 2, 0).has_value());
}

TEST(EmfPixelSize, TableOfFramesDevicesAndScreens) {
    const Resolution screen96{96, 96}, screen192{192, 192};
    struct Case {
        const char* what;
        EmfHeaderSizes header;
        Resolution screen;
        PixelSize expected;
    };
    const std::vector<Case> cases = {
        {"2540 x 1270 frame: extents count one more unit", Frame(0, 0, 2540, 1270), screen96, {96, 48}},
        {"same frame on a 192 dpi screen", Frame(0, 0, 2540, 1270), screen192, {192, 96}},
        {"frame offset from the origin", Frame(-1000, 500, 1540, 1770), screen96, {96, 48}},
        {"0 x 0 frame gives one pixel", Frame(0, 0, 0, 0), screen96, {1, 1}},
        {"inverted frame gives one pixel", Frame(100, 100, -2000, -3000), screen96, {1, 1}},
        {"too high on a landscape device: bounded by the height",
         Frame(0, 0, 2540, 254000), screen96, {8, 800}},
        {"only too wide on a landscape device: kept at full size",
         Frame(0, 0, 254000, 1270), screen96, {9600, 48}},
        {"too wide on a portrait device: bounded by the width",
         Portrait(Frame(0, 0, 254000, 1270)), screen96, {800, 4}},
        {"too large both ways on a landscape device", Frame(0, 0, 100000, 50000), screen96, {1600, 800}},
    };
    for (const Case& c : cases) {
        SizeResult r = CalcEmfPixelSize(c.header, c.screen);
        ASSERT_EQ(r.outcome, SizeOutcome::Ok) << c.what;
        EXPECT_EQ(r.size, c.expected) << c.what << ": got " << r.size.width << " x " << r.size.height;
    }
}

TEST(EmfPixelSize, FramesAtTheEndsOfTheRangeNeitherWrapNorFitUnlessSmall) {
    // INT_MIN to INT_MAX spans 2^32 units: a 32-bit subtraction would wrap to 0 or less.
    SizeResult r = CalcEmfPixelSize(Frame(INT_MIN, 0, INT_MAX, 1270), Resolution{96, 96});
    ASSERT_EQ(r.outcome, SizeOutcome::Ok);
    EXPECT_EQ(r.size, (PixelSize{162329473, 48}));  // the kept one-axis bound leaves it wide
    EXPECT_FALSE(FitsInBitmap(r.size));

    r = CalcEmfPixelSize(Frame(INT_MIN, INT_MIN, INT_MAX, INT_MAX), Resolution{96, 96});
    ASSERT_EQ(r.outcome, SizeOutcome::Ok);
    EXPECT_EQ(r.size, (PixelSize{800, 800}));  // bounded by the height, square kept

    r = CalcEmfPixelSize(Frame(INT_MAX, INT_MAX, INT_MIN, INT_MIN), Resolution{96, 96});
    EXPECT_EQ(r.size, (PixelSize{1, 1}));
}

TEST(EmfPixelSize, HeaderOrScreenWithoutResolutionIsRefused) {
    EmfHeaderSizes noMillimetres = Frame(0, 0, 2540, 1270);
    noMillimetres.millimetersWidth = 0;
    EXPECT_EQ(CalcEmfPixelSize(noMillimetres, {96, 96}).outcome, SizeOutcome::NoHeader);
    EmfHeaderSizes negativeDevice = Frame(0, 0, 2540, 1270);
    negativeDevice.deviceHeight = -800;
    EXPECT_EQ(CalcEmfPixelSize(negativeDevice, {96, 96}).outcome, SizeOutcome::NoHeader);
    EXPECT_EQ(CalcEmfPixelSize(Frame(0, 0, 2540, 1270), {0, 96}).outcome, SizeOutcome::NoScreen);
    EXPECT_EQ(CalcEmfPixelSize(Frame(0, 0, 2540, 1270), {96, 0}).outcome, SizeOutcome::NoScreen);
}

TEST(EmfPixelSize, BitmapLimits) {
    EXPECT_TRUE(FitsInBitmap({1, 1}));
    EXPECT_TRUE(FitsInBitmap({16384, 16384}));        // 1 GB at 32 bits
    EXPECT_FALSE(FitsInBitmap({32768, 32768}));       // 4 GB
    EXPECT_FALSE(FitsInBitmap({INT32_MAX, 1}));
    EXPECT_FALSE(FitsInBitmap({0, 10}));
}
