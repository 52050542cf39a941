// GIF container: the writer's palette and framing, the reader's blocks, read back through each other.
#include <gtest/gtest.h>

#include "gif_decode.h"
#include "gif_encode.h"
#include "gif_lzw.h"

using namespace quorallion::codecs;

namespace {

// Bottom-up premultiplied pixels from top-down rows of 0xAARRGGBB.
PixelBuffer FromArgbRows(int width, const std::vector<uint32_t>& topDown) {
    PixelBuffer pixels;
    pixels.width = width;
    pixels.height = static_cast<int>(topDown.size() / width);
    pixels.bgra.resize(topDown.size() * 4);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t argb = topDown[size_t(y) * width + x];
            uint8_t* p = &pixels.bgra[(size_t(pixels.height - 1 - y) * width + x) * 4];
            p[0] = uint8_t(argb);
            p[1] = uint8_t(argb >> 8);
            p[2] = uint8_t(argb >> 16);
            p[3] = uint8_t(argb >> 24);
        }
    return pixels;
}

GifImage Decode(const std::vector<uint8_t>& bytes) {
    GifImage image;
    EXPECT_EQ(DecodeGifFirstImage(ByteSpan(bytes.data(), bytes.size()), image), CodecResult::Ok);
    return image;
}

}  // namespace

TEST(GifCodec, ThreeColoursAndTransparencyUseTwoBitsWithTheSlotLast) {
    PixelBuffer pixels = FromArgbRows(3, {0xFF0000FF, 0xFF00FF00, 0x00000000,  //
                                          0xFFFF0000, 0xFF0000FF, 0x00000000});
    GifEncodeOptions options;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(EncodeGif(pixels, options, bytes), CodecResult::Ok);
    EXPECT_FALSE(options.reduceColors);
    EXPECT_EQ(bytes[10], 0x81);  // global table of 4 entries
    // Ascending packed colours: red 0x0000FF, green 0x00FF00, blue 0xFF0000; slot 3 is white.
    const std::vector<uint8_t> table(bytes.begin() + 13, bytes.begin() + 25);
    EXPECT_EQ(table, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    EXPECT_EQ(bytes[25], 0x21);
    EXPECT_EQ(bytes[31], 3);  // transparent index
    EXPECT_EQ(bytes.back(), 0x3B);

    GifImage image = Decode(bytes);
    EXPECT_EQ(image.transparentIndex, 3);
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{2, 1, 3, 0, 2, 3}));
    PixelBuffer back;
    GifToPixels(image, back);
    EXPECT_EQ(back.bgra, pixels.bgra);
}

TEST(GifCodec, ThresholdDecidesPartialAlpha) {
    // Blue 128, green 64, red 0, alpha 128 premultiplied.
    PixelBuffer pixels = FromArgbRows(1, {0x80004080});
    GifEncodeOptions options;
    std::vector<uint8_t> bytes;
    options.alphaThreshold = 128;
    ASSERT_EQ(EncodeGif(pixels, options, bytes), CodecResult::Ok);
    GifImage image = Decode(bytes);
    ASSERT_EQ(image.indices.size(), 1u);
    const uint8_t* rgb = &image.palette[3 * image.indices[0]];
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[1], 127);
    EXPECT_EQ(rgb[2], 255);

    options.alphaThreshold = 129;
    ASSERT_EQ(EncodeGif(pixels, options, bytes), CodecResult::Ok);
    image = Decode(bytes);
    EXPECT_EQ(image.indices[0], image.transparentIndex);
}

TEST(GifCodec, MoreThan256ColoursAreReducedByEitherBuilder) {
    std::vector<uint32_t> argb;
    for (int i = 0; i < 257; ++i) argb.push_back(0xFF000000u | uint32_t(i * 0x010203));
    PixelBuffer exact = FromArgbRows(256, std::vector<uint32_t>(argb.begin(), argb.begin() + 256));
    PixelBuffer tooMany = FromArgbRows(257, argb);
    for (bool octree : {true, false}) {
        GifEncodeOptions options;
        options.reduceColors = octree;
        std::vector<uint8_t> bytes;
        ASSERT_EQ(EncodeGif(exact, options, bytes), CodecResult::Ok);
        EXPECT_FALSE(options.reduceColors);
        options.reduceColors = octree;
        ASSERT_EQ(EncodeGif(tooMany, options, bytes), CodecResult::Ok);
        EXPECT_TRUE(options.reduceColors) << "octree " << octree;
        GifImage image = Decode(bytes);
        EXPECT_EQ(image.width, 257);
        EXPECT_LE(octree ? 256 : 247, image.colorCount);
    }
}

TEST(GifCodec, AllTransparentAndOversizedImagesGiveAValidFileOrAFailure) {
    PixelBuffer clear = FromArgbRows(2, {0, 0, 0, 0});
    GifEncodeOptions options;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(EncodeGif(clear, options, bytes), CodecResult::Ok);
    GifImage image = Decode(bytes);
    EXPECT_EQ(image.transparentIndex, 0);
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{0, 0, 0, 0}));

    PixelBuffer wide;
    wide.width = 65536;
    wide.height = 1;
    wide.bgra.assign(size_t(65536) * 4, 255);
    EXPECT_EQ(EncodeGif(wide, options, bytes), CodecResult::TooLarge);
}

TEST(GifCodec, ReaderTakesFirstFrameAndUndoesInterlacing) {
    // 1 x 8 image, interlaced, indices equal to the row number; a second frame follows.
    std::vector<uint8_t> passOrder = {0, 4, 2, 6, 1, 3, 5, 7};
    std::vector<uint8_t> encoded;
    GifLzwEncode(3, passOrder, encoded);
    std::vector<uint8_t> bytes = {'g', 'i', 'f', '8', '7', 'A', 9, 0, 9, 0, 0x82, 0, 0};
    for (int i = 0; i < 8; ++i) bytes.insert(bytes.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    bytes.insert(bytes.end(), {0x21, 0xFE, 2, 'h', 'i', 0});  // a comment before the image
    bytes.insert(bytes.end(), {0x2C, 4, 0, 5, 0, 1, 0, 8, 0, 0x40, 3});
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    bytes.push_back(0);
    bytes.insert(bytes.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B});
    GifImage image = Decode(bytes);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 8);
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(GifCodec, ReaderRefusesMalformedStreams) {
    const std::vector<uint8_t> header = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 9, 9, 9};
    struct Case { const char* what; std::vector<uint8_t> tail; CodecResult expected; };
    const std::vector<Case> cases = {
        {"trailer before any image", {0x3B}, CodecResult::Corrupt},
        {"descriptor cut short", {0x2C, 0, 0}, CodecResult::Corrupt},
        {"sub-block past the end", {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 200, 1}, CodecResult::Corrupt},
        {"extension past the end", {0x21, 0xFF, 11, 1, 2}, CodecResult::Corrupt},
        {"index past the table", {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x5C, 0x01, 0, 0x3B}, CodecResult::Corrupt},
        {"zero width", {0x2C, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B}, CodecResult::Corrupt},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = header;
        bytes.insert(bytes.end(), c.tail.begin(), c.tail.end());
        GifImage image;
        EXPECT_EQ(DecodeGifFirstImage(ByteSpan(bytes.data(), bytes.size()), image), c.expected) << c.what;
    }
    const std::vector<uint8_t> gif88 = {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0};
    GifImage image;
    EXPECT_EQ(DecodeGifFirstImage(ByteSpan(gif88.data(), gif88.size()), image), CodecResult::NotThisFormat);
}
