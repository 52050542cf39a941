// BMP headers, palettes, bit fields and the 32-bit alpha path, from tiny hand-made files.
#include <gtest/gtest.h>

#include <cstring>

#include "bmp_format.h"

using namespace quorallion::codecs;

namespace {

// A BITMAPINFOHEADER file: header, optional extra (palette or masks), then the rows.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                             const std::vector<uint8_t>& extra, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> file(54, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, uint32_t(54 + extra.size()));
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = uint8_t(bits);
    put32(30, compression);
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

CodecResult Decode(const std::vector<uint8_t>& file, BmpImage& image) {
    return DecodeBmp(ByteSpan(file.data(), file.size()), image);
}

}  // namespace

TEST(BmpFormat, PalettedAndPackedDepthsDecodeToOpaqueBgra) {
    const std::vector<uint8_t> palette = {10, 20, 30, 0, 40, 50, 60, 0};
    struct Case { const char* what; uint16_t bits; uint32_t compression; std::vector<uint8_t> extra, rows; std::vector<uint8_t> firstPixel; };
    const std::vector<Case> cases = {
        {"1 bit, second pixel set", 1, 0, palette, {0x40, 0, 0, 0}, {10, 20, 30, 255}},
        {"4 bits", 4, 0, palette, {0x10, 0, 0, 0}, {40, 50, 60, 255}},
        {"8 bits", 8, 0, palette, {1, 0, 0, 0}, {40, 50, 60, 255}},
        {"16 bits 5-5-5", 16, 0, {}, {0x1F, 0x7C, 0, 0}, {255, 0, 255, 255}},
        {"16 bits 5-6-5 bit fields", 16, 3, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {0xE0, 0x07, 0, 0}, {0, 255, 0, 255}},
        {"24 bits", 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0}, {1, 2, 3, 255}},
    };
    for (const Case& c : cases) {
        const int width = c.bits == 24 ? 2 : 2;
        BmpImage image;
        ASSERT_EQ(Decode(MakeBmp(width, 1, c.bits, c.compression, c.extra, c.rows), image), CodecResult::Ok) << c.what;
        EXPECT_EQ(image.imageType, 1) << c.what;
        EXPECT_EQ(image.alpha, 0) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(image.pixels.bgra.begin(), image.pixels.bgra.begin() + 4), c.firstPixel) << c.what;
    }
}

TEST(BmpFormat, ThirtyTwoBitsKeepAlphaAndTopDownMatchesBottomUp) {
    // Bottom row: straight half-transparent white; top row: opaque blue.
    const std::vector<uint8_t> bottomUp = {255, 255, 255, 128, 255, 0, 0, 255};
    const std::vector<uint8_t> topDown = {255, 0, 0, 255, 255, 255, 255, 128};
    BmpImage a, b;
    ASSERT_EQ(Decode(MakeBmp(1, 2, 32, 0, {}, bottomUp), a), CodecResult::Ok);
    ASSERT_EQ(Decode(MakeBmp(1, -2, 32, 0, {}, topDown), b), CodecResult::Ok);
    EXPECT_EQ(a.pixels.bgra, b.pixels.bgra);
    EXPECT_EQ(a.imageType, 6);
    EXPECT_EQ(a.alpha, 2);
    EXPECT_EQ(a.pixels.bgra, (std::vector<uint8_t>{128, 128, 128, 128, 255, 0, 0, 255}));

    BmpImage premultiplied;
    ASSERT_EQ(Decode(MakeBmp(1, 1, 32, 0, {}, {100, 50, 25, 128}), premultiplied), CodecResult::Ok);
    EXPECT_EQ(premultiplied.imageType, 7);
    BmpImage allZero;
    ASSERT_EQ(Decode(MakeBmp(1, 1, 32, 0, {}, {9, 9, 9, 0}), allZero), CodecResult::Ok);
    EXPECT_EQ(allZero.imageType, 1);
    EXPECT_EQ(allZero.pixels.bgra[3], 255);
}

TEST(BmpFormat, RefusesWhatDoesNotFitAndPassesRunLengthOn) {
    struct Case { const char* what; std::vector<uint8_t> file; CodecResult expected; };
    std::vector<uint8_t> hugeOffset = MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    std::memcpy(&hugeOffset[10], "\xF0\xFF\xFF\xFF", 4);
    std::vector<uint8_t> overflow = MakeBmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}, {});
    std::vector<uint8_t> runLengthPastEnd = MakeBmp(1, 1, 8, 1, {}, {1, 0, 0, 1});
    std::memcpy(&runLengthPastEnd[10], "\x00\x01\x00\x00", 4);
    std::vector<uint8_t> hugeInfo = MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    std::memcpy(&hugeInfo[14], "\x00\x00\x01\x00", 4);
    const std::vector<Case> cases = {
        {"not BM", {'B', 'A', 0, 0}, CodecResult::NotThisFormat},
        {"header cut short", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0}, CodecResult::Corrupt},
        {"width 0", MakeBmp(0, 1, 24, 0, {}, {0, 0, 0, 0}), CodecResult::Corrupt},
        {"height 0", MakeBmp(1, 0, 24, 0, {}, {}), CodecResult::Corrupt},
        {"rows past the end", MakeBmp(4, 4, 32, 0, {}, {1, 2, 3}), CodecResult::Corrupt},
        {"pixel offset past the end", hugeOffset, CodecResult::Corrupt},
        {"size product overflows", overflow, CodecResult::TooLarge},
        {"index past a 2-entry table", MakeBmp(1, 1, 8, 0, {1, 2, 3, 0, 4, 5, 6, 0}, {7, 0, 0, 0}), CodecResult::Corrupt},
        {"run-length goes to the platform", MakeBmp(1, 1, 8, 1, {}, {1, 0, 0, 1}), CodecResult::NotThisFormat},
        {"embedded PNG goes to the platform", MakeBmp(1, 1, 0, 5, {}, {0x89, 'P', 'N', 'G'}), CodecResult::NotThisFormat},
        {"run-length at 24 bits", MakeBmp(1, 1, 24, 1, {}, {1, 0, 0, 1}), CodecResult::Corrupt},
        {"run-length with its data past the end", runLengthPastEnd, CodecResult::Corrupt},
        {"run-length of a forged size", MakeBmp(0x7FFFFFFF, 0x7FFF, 8, 1, {}, {0, 1}), CodecResult::TooLarge},
        {"unknown compression", MakeBmp(1, 1, 24, 9, {}, {1, 2, 3, 0}), CodecResult::Corrupt},
        {"information header past the end", hugeInfo, CodecResult::Corrupt},
    };
    for (const Case& c : cases) {
        BmpImage image;
        EXPECT_EQ(Decode(c.file, image), c.expected) << c.what;
    }
}

TEST(BmpFormat, WriterLaysOutA54ByteHeaderAndPaddedRows) {
    const std::vector<uint8_t> rows(12 * 2, 7);
    std::vector<uint8_t> file = EncodeBmp(3, 2, 24, rows.data(), 12);
    ASSERT_EQ(file.size(), 54u + 24u);
    uint32_t fileSize = 0, offset = 0, infoSize = 0;
    std::memcpy(&fileSize, &file[2], 4);
    std::memcpy(&offset, &file[10], 4);
    std::memcpy(&infoSize, &file[14], 4);
    EXPECT_EQ(fileSize, 78u);
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(infoSize, 40u);
    EXPECT_EQ(file[6] | file[7] | file[8] | file[9], 0);
    BmpImage image;
    ASSERT_EQ(Decode(file, image), CodecResult::Ok);
    EXPECT_EQ(image.pixels.width, 3);
    EXPECT_EQ(image.pixels.height, 2);
}
