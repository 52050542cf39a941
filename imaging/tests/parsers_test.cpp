// The portable helpers of bas32bppDIBParsers.
#include <gtest/gtest.h>

#include <vector>

#include "bas32bppDIBParsers.h"

using namespace quorallion;
using namespace quorallion::bas32bppDIBParsers;

namespace {

// Pixels given as b, g, r, a quadruples, one row.
struct Pixels {
    std::vector<uint8_t> bytes;
    int32_t width;
    int32_t height;
    imaging::PixelView view() { return {bytes.data(), width, height}; }
};

Pixels Row(std::vector<uint8_t> bgra) {
    int32_t width = static_cast<int32_t>(bgra.size() / 4);
    return Pixels{std::move(bgra), width, 1};
}

}  // namespace

TEST(ScanLineBytes, PadsRowsToFourBytes) {
    EXPECT_EQ(ScanLineBytes(24, 3), 12);
    EXPECT_EQ(ScanLineBytes(1, 1), 4);
    EXPECT_EQ(ScanLineBytes(32, 100), 400);
    EXPECT_EQ(ScanLineBytes(8, 0), 0);
    EXPECT_THROW(ScanLineBytes(32, 0x7FFFFFFF), std::overflow_error);
    EXPECT_THROW(ScanLineBytes(-1, 5), std::overflow_error);
}

TEST(ReverseLong, SwapsAllFourBytes) {
    EXPECT_EQ(ReverseLong(0x04030201), 0x01020304);
    EXPECT_EQ(ReverseLong(255), static_cast<int32_t>(0xFF000000u));
    EXPECT_LT(ReverseLong(255), 0);
}

struct AlphaCase {
    const char* what;
    std::vector<uint8_t> in;
    int32_t formIn;
    bool premultiply;
    int32_t use;
    int32_t form;
    std::vector<uint8_t> out;
};

class ValidateAlpha : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(ValidateAlpha, ClassifiesAndPremultiplies) {
    const AlphaCase& c = GetParam();
    Pixels pixels = Row(c.in);
    int32_t use = 99, form = c.formIn;
    ValidateAlphaChannel(pixels.view(), c.premultiply, use, form);
    EXPECT_EQ(use, c.use);
    EXPECT_EQ(form, c.form);
    EXPECT_EQ(pixels.bytes, c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateAlpha,
    ::testing::Values(
        AlphaCase{"all alpha 0 becomes opaque", {1, 2, 3, 0, 4, 5, 6, 0}, 0, true, 0, 1, {1, 2, 3, 255, 4, 5, 6, 255}},
        AlphaCase{"all opaque, untouched without premultiply", {9, 9, 9, 255}, 0, false, 0, 1, {9, 9, 9, 255}},
        AlphaCase{"black transparent and opaque: premultiplied, simple",
                  {0, 0, 0, 0, 7, 8, 9, 255}, 0, true, 1, 7, {0, 0, 0, 0, 7, 8, 9, 255}},
        AlphaCase{"partial premultiplied", {64, 64, 64, 128, 1, 1, 1, 255}, 0, true, 2, 7,
                  {64, 64, 64, 128, 1, 1, 1, 255}},
        AlphaCase{"straight white at 128 is premultiplied", {255, 255, 255, 128, 1, 1, 1, 255}, 0, true, 2, 6,
                  {128, 128, 128, 128, 1, 1, 1, 255}},
        AlphaCase{"coloured transparent then opaque: straight, simple",
                  {5, 5, 5, 0, 7, 7, 7, 255}, 0, true, 1, 6, {0, 0, 0, 0, 7, 7, 7, 255}},
        AlphaCase{"straight but not asked to change", {255, 0, 0, 10, 0, 0, 0, 255}, 0, false, 2, 6,
                  {255, 0, 0, 10, 0, 0, 0, 255}},
        AlphaCase{"-1 skips the scan", {255, 0, 0, 10, 0, 0, 0, 0}, -1, true, 0, 1, {255, 0, 0, 255, 0, 0, 0, 255}}),
    [](const auto& row) { return "case" + std::to_string(row.index); });

TEST(ValidateAlpha, EmptyPixelsCountAsNoAlpha) {
    int32_t use = 5, form = 0;
    ValidateAlphaChannel(imaging::PixelView{}, true, use, form);
    EXPECT_EQ(use, 0);
    EXPECT_EQ(form, 1);
}

TEST(GreyWeights, TableAndDefault) {
    struct Row { int32_t code; float r, g, b; };
    for (const Row& row : {Row{-1, 1, 1, 1}, Row{1, 0.213f, 0.715f, 0.072f}, Row{2, 0.333f, 0.334f, 0.333f},
                           Row{3, 0.8f, 0.1f, 0.1f}, Row{4, 0.1f, 0.8f, 0.1f}, Row{5, 0.1f, 0.1f, 0.8f},
                           Row{6, 0.45f, 0.45f, 0.1f}, Row{7, 0.1f, 0.45f, 0.45f}, Row{0, 0.299f, 0.587f, 0.114f},
                           Row{99, 0.299f, 0.587f, 0.114f}}) {
        GreyWeights w = GetGrayScaleWeights(row.code);
        EXPECT_FLOAT_EQ(w.red, row.r) << row.code;
        EXPECT_FLOAT_EQ(w.green, row.g) << row.code;
        EXPECT_FLOAT_EQ(w.blue, row.b) << row.code;
    }
}

TEST(FlattenToColor, HalfRedOntoWhiteInBothLayouts) {
    // Two rows (bottom first): a half-transparent red pixel and a transparent one; an opaque one.
    Pixels pixels{{0, 0, 64, 128, 0, 0, 0, 0, 1, 2, 3, 255, 4, 5, 6, 255}, 2, 2};
    std::vector<uint8_t> out;
    FlattenToColor(pixels.view(), 0x00FFFFFF, out, true);
    // 24-bit rows of 2 pixels pad to 8 bytes.
    EXPECT_EQ(out, (std::vector<uint8_t>{127, 127, 191, 255, 255, 255, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
    FlattenToColor(pixels.view(), 0x000000FF, out, false);  // red background
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 64 + 127, 255, 0, 0, 255, 255, 1, 2, 3, 255, 4, 5, 6, 255}));
}

TEST(BinarySearchLong, FindsOrGivesTheInsertionPlace) {
    const std::vector<int32_t> values{0, 10, 20, 30};
    struct Row { int32_t value; int32_t index; bool notFound; };
    for (const Row& row : {Row{20, 2, false}, Row{25, 3, true}, Row{5, 1, true}, Row{35, 4, true},
                           Row{10, 1, false}, Row{30, 3, false}}) {
        bool notFound = !row.notFound;
        EXPECT_EQ(BinarySearchLong(values, row.value, 3, notFound), row.index) << row.value;
        EXPECT_EQ(notFound, row.notFound) << row.value;
    }
    bool notFound = false;
    EXPECT_EQ(BinarySearchLong(values, 7, 0, notFound), 1);
    EXPECT_TRUE(notFound);
    // A count past the array is cut to what it holds.
    EXPECT_EQ(BinarySearchLong(values, 40, 100, notFound), 4);
    EXPECT_TRUE(notFound);
}
