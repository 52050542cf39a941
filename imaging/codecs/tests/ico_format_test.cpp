// Icon directories, the entry choice and the mask and alpha of bitmap entries.
#include <gtest/gtest.h>

#include <cstring>

#include "ico_format.h"

using namespace quorallion::codecs;

namespace {

struct EntryShape {
    int size;  // square; 256 is written as 0
    int bits;
};

// An icon file whose bitmap entries hold the given pixels: `alphaOrMask` sets a 32-bit entry's
// alpha bytes or, below 32 bits, the AND mask bit of the first pixel.
std::vector<uint8_t> MakeIco(uint16_t type, const std::vector<EntryShape>& shapes, uint8_t alphaOrMask = 0) {
    std::vector<uint8_t> file = {0, 0, uint8_t(type), 0, uint8_t(shapes.size()), 0};
    std::vector<std::vector<uint8_t>> datas;
    for (const EntryShape& shape : shapes) {
        std::vector<uint8_t> data(40, 0);
        auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&data[at], &v, 4); };
        put32(0, 40);
        put32(4, uint32_t(shape.size));
        put32(8, uint32_t(shape.size * 2));
        data[12] = 1;
        data[14] = uint8_t(shape.bits);
        if (shape.bits <= 8)
            for (int i = 0; i < (1 << shape.bits); ++i) data.insert(data.end(), {uint8_t(i), 100, 200, 0});
        const int64_t colorStride = ((shape.bits * shape.size + 31) / 32) * 4;
        std::vector<uint8_t> colors(size_t(colorStride * shape.size), 0);
        if (shape.bits == 32)
            for (size_t i = 0; i < colors.size(); i += 4) {
                colors[i] = 200, colors[i + 1] = 100, colors[i + 2] = 50, colors[i + 3] = alphaOrMask;
            }
        else if (shape.bits <= 8)
            colors[0] = uint8_t(1 << (8 - shape.bits));  // first pixel: index 1
        data.insert(data.end(), colors.begin(), colors.end());
        const int64_t maskStride = ((shape.size + 31) / 32) * 4;
        std::vector<uint8_t> mask(size_t(maskStride * shape.size), 0);
        if (alphaOrMask) mask[0] = 0x80;
        data.insert(data.end(), mask.begin(), mask.end());
        datas.push_back(data);
    }
    uint32_t offset = uint32_t(6 + 16 * shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) {
        const uint8_t side = uint8_t(shapes[i].size == 256 ? 0 : shapes[i].size);
        std::vector<uint8_t> entry = {side, side, 0, 0, 1, 0, uint8_t(shapes[i].bits), 0};
        const uint32_t size = uint32_t(datas[i].size());
        entry.resize(16);
        std::memcpy(&entry[8], &size, 4);
        std::memcpy(&entry[12], &offset, 4);
        file.insert(file.end(), entry.begin(), entry.end());
        offset += size;
    }
    for (const auto& data : datas) file.insert(file.end(), data.begin(), data.end());
    return file;
}

IcoDirectory Read(const std::vector<uint8_t>& file) {
    IcoDirectory directory;
    EXPECT_EQ(ReadIcoDirectory(ByteSpan(file.data(), file.size()), directory), CodecResult::Ok);
    return directory;
}

}  // namespace

TEST(IcoFormat, ChoiceFollowsTheScoringRule) {
    IcoDirectory mixed = Read(MakeIco(1, {{16, 4}, {32, 8}, {32, 32}, {48, 32}}));
    EXPECT_EQ(ChooseIcoEntry(mixed, 32, 32, 32), 3);
    EXPECT_EQ(ChooseIcoEntry(mixed, 32, 32, 8), 2);
    IcoDirectory squares = Read(MakeIco(1, {{16, 32}, {32, 32}, {48, 32}}));
    EXPECT_EQ(ChooseIcoEntry(squares, 64, 64, 32), 3);  // second pass: 192, 128, 64
    IcoDirectory single = Read(MakeIco(1, {{256, 8}}));
    EXPECT_EQ(single.entries[0].width, 256);
    EXPECT_EQ(ChooseIcoEntry(single, 32, 32, 32), 1);
}

TEST(IcoFormat, MaskAndAlphaFinishThePixels) {
    // 32 bits, alpha 128 over colour 200, 100, 50: premultiplied to 100, 50, 25.
    std::vector<uint8_t> file = MakeIco(1, {{2, 32}}, 128);
    IcoDirectory directory = Read(file);
    PixelBuffer pixels;
    ASSERT_EQ(DecodeIcoBitmapEntry(ByteSpan(file.data(), file.size()), directory.entries[0], pixels), CodecResult::Ok);
    EXPECT_EQ(std::vector<uint8_t>(pixels.bgra.begin(), pixels.bgra.begin() + 4), (std::vector<uint8_t>{100, 50, 25, 128}));

    // 4 bits with the first pixel's mask bit set: transparent; the next pixel opaque index 0.
    file = MakeIco(2, {{2, 4}}, 1);
    directory = Read(file);
    EXPECT_EQ(directory.type, 2);
    ASSERT_EQ(DecodeIcoBitmapEntry(ByteSpan(file.data(), file.size()), directory.entries[0], pixels), CodecResult::Ok);
    EXPECT_EQ(std::vector<uint8_t>(pixels.bgra.begin(), pixels.bgra.begin() + 8),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 100, 200, 255}));
}

TEST(IcoFormat, RefusesBrokenDirectories) {
    std::vector<uint8_t> good = MakeIco(1, {{2, 8}});
    struct Case { const char* what; std::vector<uint8_t> file; };
    std::vector<uint8_t> type3 = good;
    type3[2] = 3;
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    std::vector<uint8_t> farOffset = good;
    std::memcpy(&farOffset[18], "\xF0\xFF\xFF\x7F", 4);
    std::vector<uint8_t> noCount = good;
    noCount[4] = 0;
    const std::vector<Case> cases = {{"type 3", type3}, {"data cut short", cut}, {"entry offset far away", farOffset},
                                     {"no entries", noCount}, {"too short", {0, 0, 1}}};
    for (const Case& c : cases) {
        IcoDirectory directory;
        EXPECT_NE(ReadIcoDirectory(ByteSpan(c.file.data(), c.file.size()), directory), CodecResult::Ok) << c.what;
    }
}

TEST(IcoFormat, ColorCountAndColorByteOffsetOfEachEntry) {
    // Data of each entry: 40-byte header, full table below 16 bits, colour bits, AND mask.
    // 16 x 16 x 4: 40 + 64 + 128 + 64 bytes at 54; 32 x 32 x 8: 40 + 1024 + 1024 + 128 at 350;
    // 32 x 32 x 32: 40 + 4096 + 128 at 2566.
    const IcoDirectory directory = Read(MakeIco(1, {{16, 4}, {32, 8}, {32, 32}}));
    ASSERT_EQ(directory.entries.size(), 3u);
    EXPECT_EQ(IcoColorCount(directory.entries[0]), 16);
    EXPECT_EQ(IcoColorByteOffset(directory.entries[0]), 54 + 40 + 64);
    EXPECT_EQ(IcoColorCount(directory.entries[1]), 256);
    EXPECT_EQ(IcoColorByteOffset(directory.entries[1]), 350 + 40 + 1024);
    EXPECT_EQ(IcoColorCount(directory.entries[2]), 0);
    EXPECT_EQ(IcoColorByteOffset(directory.entries[2]), 2566 + 40);
}
