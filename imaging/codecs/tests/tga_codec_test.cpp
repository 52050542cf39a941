// The TGA reader's header checks, pixel forms, orders, run-length rows and extension-area alpha on
// tiny hand-made files, and the writer's forms read back through the reader.
#include <gtest/gtest.h>

#include <cstring>

#include "tga_decode.h"
#include "tga_encode.h"

using namespace quorallion::codecs;
using quorallion::imaging::PixelView;

namespace {

// A TGA file built field by field.
struct Tga {
    uint8_t idLength = 0, colorMapType = 0, imageType = 2;
    uint16_t firstEntry = 0, colorMapLength = 0;
    uint8_t entrySize = 0;
    uint16_t width = 1, height = 1;
    uint8_t depth = 24, descriptor = 0;
    std::vector<uint8_t> id, colorMap, data;
    int extensionAttributes = -1;  // -1: no extension area
    bool footer = false;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> b = {idLength, colorMapType, imageType, uint8_t(firstEntry), uint8_t(firstEntry >> 8),
                                  uint8_t(colorMapLength), uint8_t(colorMapLength >> 8), entrySize, 0, 0, 0, 0,
                                  uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), depth,
                                  descriptor};
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), colorMap.begin(), colorMap.end());
        b.insert(b.end(), data.begin(), data.end());
        uint32_t extension = 0;
        if (extensionAttributes >= 0) {
            extension = uint32_t(b.size());
            std::vector<uint8_t> area(495, 0);
            area[0] = 495 & 255;
            area[1] = 495 >> 8;
            area[494] = uint8_t(extensionAttributes);
            b.insert(b.end(), area.begin(), area.end());
        }
        if (footer || extensionAttributes >= 0) {
            for (int i = 0; i < 4; ++i) b.push_back(uint8_t(extension >> (8 * i)));
            for (int i = 0; i < 4; ++i) b.push_back(0);
            const char* signature = "TRUEVISION-XFILE.";
            b.insert(b.end(), signature, signature + 17);
            b.push_back(0);
        }
        return b;
    }
};

struct Decoded {
    CodecResult result = CodecResult::Internal;
    PixelBuffer pixels;
    int32_t alphaKind = -1;
    // B, G, R, A of (x, y) with y counted from the top.
    std::array<uint8_t, 4> At(int x, int y) const {
        const uint8_t* p = &pixels.bgra[(size_t(pixels.height - 1 - y) * pixels.width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

Decoded Decode(const std::vector<uint8_t>& bytes) {
    Decoded d;
    d.result = DecodeTga(ByteSpan(bytes.data(), bytes.size()), d.pixels, d.alphaKind);
    return d;
}

using Bgra = std::array<uint8_t, 4>;

}  // namespace

TEST(TgaReader, HeadersItRefuses) {
    Tga good;
    good.width = 2;
    good.height = 2;
    good.data.assign(12, 9);
    ASSERT_EQ(Decode(good.Bytes()).result, CodecResult::Ok);

    struct Case {
        const char* what;
        std::function<void(Tga&)> change;
    };
    const Case cases[] = {
        {"width 0", [](Tga& t) { t.width = 0; }},
        {"height 0", [](Tga& t) { t.height = 0; }},
        {"type 0", [](Tga& t) { t.imageType = 0; }},
        {"type 32", [](Tga& t) { t.imageType = 32; }},
        {"depth 12", [](Tga& t) { t.depth = 12; }},
        {"16-bit colour-mapped", [](Tga& t) { t.imageType = 1; t.colorMapType = 1; t.colorMapLength = 1; t.entrySize = 24; t.colorMap.assign(3, 0); t.depth = 16; }},
        {"colour-mapped, colour map type 0", [](Tga& t) { t.imageType = 1; t.depth = 8; }},
        {"colour map length 0", [](Tga& t) { t.colorMapType = 1; t.entrySize = 24; }},
        {"entry size 20", [](Tga& t) { t.colorMapType = 1; t.colorMapLength = 1; t.entrySize = 20; t.colorMap.assign(3, 0); }},
        {"one byte short", [](Tga& t) { t.data.pop_back(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Tga t = good;
        c.change(t);
        EXPECT_EQ(Decode(t.Bytes()).result, CodecResult::NotThisFormat);
    }
    // Eighteen bytes or fewer are never an image; more than the pixel cap is refused unread.
    std::vector<uint8_t> bytes = good.Bytes();
    EXPECT_EQ(Decode(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18)).result, CodecResult::NotThisFormat);
    Tga huge = good;
    huge.imageType = 10;
    huge.width = huge.height = 65535;
    EXPECT_EQ(Decode(huge.Bytes()).result, CodecResult::TooLarge);

    // With the footer, the pixel data needs its 26 bytes besides; without the signature the same
    // bytes are plain (extra) data.
    Tga withFooter = good;
    withFooter.footer = true;
    std::vector<uint8_t> footed = withFooter.Bytes();
    EXPECT_EQ(Decode(footed).result, CodecResult::Ok);
    footed.erase(footed.begin() + 18 + 11);  // one pixel byte missing, footer intact
    EXPECT_EQ(Decode(footed).result, CodecResult::NotThisFormat);
    footed[footed.size() - 10] = 'x';  // no signature: 11 + 26 bytes of data are enough
    EXPECT_EQ(Decode(footed).result, CodecResult::Ok);
}

TEST(TgaReader, PixelFormsAndAlphaKinds) {
    // 24-bit and 8-bit grey are opaque, kind 0; a 32-bit image whose alpha is all 0 too.
    Tga rgb;
    rgb.data = {10, 20, 30};
    Decoded d = Decode(rgb.Bytes());
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.At(0, 0), (Bgra{10, 20, 30, 255}));
    EXPECT_EQ(d.alphaKind, 0);
    Tga grey;
    grey.imageType = 3;
    grey.depth = 8;
    grey.data = {77};
    d = Decode(grey.Bytes());
    EXPECT_EQ(d.At(0, 0), (Bgra{77, 77, 77, 255}));
    EXPECT_EQ(d.alphaKind, 0);
    Tga clear;
    clear.depth = 32;
    clear.width = 2;
    clear.data = {1, 2, 3, 0, 4, 5, 6, 0};
    d = Decode(clear.Bytes());
    EXPECT_EQ(d.At(1, 0), (Bgra{4, 5, 6, 255}));
    EXPECT_EQ(d.alphaKind, 0);
    // Straight 32-bit alpha is premultiplied.
    clear.data = {200, 100, 50, 128, 4, 5, 6, 255};
    d = Decode(clear.Bytes());
    EXPECT_EQ(d.At(0, 0), (Bgra{200 * 128 / 255, 100 * 128 / 255, 50 * 128 / 255, 128}));
    EXPECT_EQ(d.alphaKind, 2);

    // 5-bit levels: v * 8 + v mod 8.
    EXPECT_EQ(TgaFiveBitTable()[0], 0);
    EXPECT_EQ(TgaFiveBitTable()[16], 128);
    EXPECT_EQ(TgaFiveBitTable()[31], 255);
    EXPECT_EQ(TgaFiveBitTable()[5], 45);
    Tga fifteen;
    fifteen.depth = 15;
    fifteen.width = 2;
    fifteen.data = {0xFF, 0x7F, uint8_t(16 | (1 << 5)), uint8_t(31 << 2)};  // white; blue 16, green 1, red 31
    d = Decode(fifteen.Bytes());
    EXPECT_EQ(d.At(0, 0), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(d.At(1, 0), (Bgra{128, 9, 255, 255}));
}

TEST(TgaReader, SixteenBitAttributeAndExtensionArea) {
    // Attribute bits 1: a set top bit is transparent, the others opaque; raw and run-length alike.
    for (bool runLength : {false, true}) {
        SCOPED_TRACE(runLength);
        Tga t;
        t.depth = 16;
        t.descriptor = 1;
        t.width = 3;
        t.imageType = runLength ? 10 : 2;
        t.data = runLength ? std::vector<uint8_t>{1, 0x1F, 0x80, 0x00, 0x7C, 0x80, 0x00, 0x00}
                           : std::vector<uint8_t>{0x1F, 0x80, 0x00, 0x7C, 0x00, 0x00};
        // With runLength: a raw packet of two, then a run of one.
        Decoded d = Decode(t.Bytes());
        ASSERT_EQ(d.result, CodecResult::Ok);
        EXPECT_EQ(d.At(0, 0), (Bgra{0, 0, 0, 0}));
        EXPECT_EQ(d.At(1, 0), (Bgra{0, 0, 255, 255}));
        EXPECT_EQ(d.At(2, 0), (Bgra{0, 0, 0, 255}));
        EXPECT_EQ(d.alphaKind, 1);
        // An extension area of attributes type 0, 1 or 2 says the bit means nothing: opaque.
        for (int attributes : {0, 1, 2, 3}) {
            t.extensionAttributes = attributes;
            d = Decode(t.Bytes());
            EXPECT_EQ(d.At(0, 0)[3], attributes > 2 ? 0 : 255) << attributes;
            EXPECT_EQ(d.alphaKind, attributes > 2 ? 1 : 0);
        }
    }
    // 32-bit palette entries: alpha ignored under attributes type 2; 32-bit true colour keeps it.
    Tga mapped;
    mapped.imageType = 1;
    mapped.colorMapType = 1;
    mapped.colorMapLength = 1;
    mapped.entrySize = 32;
    mapped.colorMap = {10, 20, 30, 0};
    mapped.depth = 8;
    mapped.data = {0};
    mapped.extensionAttributes = 2;
    Decoded d = Decode(mapped.Bytes());
    EXPECT_EQ(d.At(0, 0), (Bgra{10, 20, 30, 255}));
    Tga truecolor;
    truecolor.depth = 32;
    truecolor.width = 2;
    truecolor.data = {0, 0, 0, 0, 9, 9, 9, 255};
    truecolor.extensionAttributes = 2;
    d = Decode(truecolor.Bytes());
    EXPECT_EQ(d.At(0, 0)[3], 0);
    EXPECT_EQ(d.alphaKind, 1);
    // Extension offsets pointing anywhere leave the alpha in use, reading nothing outside.
    for (uint32_t offset : {0u, 1u, 18u, 0xFFFFFFF0u, 0x7FFFFFFFu}) {
        std::vector<uint8_t> bytes = mapped.Bytes();
        const size_t at = bytes.size() - 26;
        for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(offset >> (8 * i));
        EXPECT_TRUE(TgaHasUsefulAlpha(ByteSpan(bytes.data(), bytes.size()))) << offset;
    }
}

TEST(TgaReader, OrdersRunLengthRowsAndColourMaps) {
    // Top-down and right-to-left: the first stored pixel lands at the top right.
    Tga t;
    t.width = 2;
    t.height = 2;
    t.descriptor = 0x30;
    t.data = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    Decoded d = Decode(t.Bytes());
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.At(1, 0)[0], 1);
    EXPECT_EQ(d.At(0, 0)[0], 2);
    EXPECT_EQ(d.At(1, 1)[0], 3);
    t.descriptor = 0;
    d = Decode(t.Bytes());
    EXPECT_EQ(d.At(0, 1)[0], 1);  // bottom-up, left to right
    EXPECT_EQ(d.At(1, 0)[0], 4);

    // Run-length rows: a run that ends exactly at the row's end decodes; one pixel further fails.
    Tga rle;
    rle.imageType = 10;
    rle.width = 5;
    rle.height = 2;
    rle.data = {0x80 | 4, 7, 8, 9, 0x00, 1, 1, 1, 0x80 | 3, 5, 5, 5};
    d = Decode(rle.Bytes());
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.At(4, 1), (Bgra{7, 8, 9, 255}));
    EXPECT_EQ(d.At(4, 0), (Bgra{5, 5, 5, 255}));
    rle.data[8] = 0x80 | 4;  // six pixels in a row of five
    EXPECT_EQ(Decode(rle.Bytes()).result, CodecResult::Corrupt);
    rle.data = {0x80 | 4, 7, 8, 9, 0x04, 1, 1};  // a raw packet running past the data
    EXPECT_EQ(Decode(rle.Bytes()).result, CodecResult::Corrupt);
    // A forged size under the pixel cap with a few bytes of data fails before the picture is made.
    Tga forged = rle;
    forged.width = 65535;
    forged.height = 1000;
    forged.data.assign(4000, 0xFF);
    EXPECT_EQ(Decode(forged.Bytes()).result, CodecResult::Corrupt);

    Tga mappedRle;
    mappedRle.imageType = 9;
    mappedRle.colorMapType = 1;
    mappedRle.colorMapLength = 2;
    mappedRle.entrySize = 24;
    mappedRle.colorMap = {10, 20, 30, 40, 50, 60};
    mappedRle.depth = 8;
    mappedRle.width = 4;
    mappedRle.data = {0x01, 1, 0, 0x81, 5};  // raw 1, 0; run of two index 5 (never stored)
    d = Decode(mappedRle.Bytes());
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.At(0, 0), (Bgra{40, 50, 60, 255}));
    EXPECT_EQ(d.At(1, 0), (Bgra{10, 20, 30, 255}));
    EXPECT_EQ(d.At(3, 0), (Bgra{0, 0, 0, 255}));  // every palette alpha is 0: opaque black
    EXPECT_EQ(d.alphaKind, 0);
    mappedRle.data = {0x01, 1, 0, 0x82, 5};
    EXPECT_EQ(Decode(mappedRle.Bytes()).result, CodecResult::Corrupt);

    // First entry index 3: the area holds two entries, stored entry k being index 3 + k.
    Tga offset = mappedRle;
    offset.imageType = 1;
    offset.firstEntry = 3;
    offset.width = 3;
    offset.data = {3, 4, 0};
    d = Decode(offset.Bytes());
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.At(0, 0), (Bgra{10, 20, 30, 255}));
    EXPECT_EQ(d.At(1, 0), (Bgra{40, 50, 60, 255}));
    EXPECT_EQ(d.At(2, 0), (Bgra{0, 0, 0, 255}));
}

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;  // premultiplied, bottom-up
    PixelView view() { return PixelView{bgra.data(), width, height}; }
};

template <typename F>
Image MakeImage(int width, int height, F pixel) {
    Image image{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (int i = 0; i < width * height; ++i) {
        const Bgra v = pixel(i % width, i / width);  // x, storage row
        std::memcpy(&image.bgra[size_t(i) * 4], v.data(), 4);
    }
    return image;
}

std::vector<uint8_t> Write(Image& image, bool premultiplied, bool rle, bool palette) {
    std::vector<uint8_t> out;
    EXPECT_EQ(EncodeTga(image.view(), TgaWriteOptions{premultiplied, rle, palette}, TgaTimeStamp{12, 31, 2026, 23, 59, 58},
                        out),
              CodecResult::Ok);
    return out;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

}  // namespace

TEST(TgaWriter, FormsByTheImageAndTheOptions) {
    Image flat = MakeImage(40, 10, [](int, int) { return Bgra{20, 40, 60, 255}; });
    Image flatGrey = MakeImage(40, 10, [](int, int) { return Bgra{90, 90, 90, 255}; });
    Image noise = MakeImage(16, 16, [](int x, int y) { return Bgra{uint8_t(x * 16), uint8_t(y * 16), uint8_t(x ^ y), 255}; });
    Image many = MakeImage(257, 1, [](int x, int) { return Bgra{uint8_t(x), uint8_t(x >> 8), 0, 255}; });
    Image narrow = MakeImage(2, 30, [](int, int) { return Bgra{5, 5, 5, 255}; });
    Image clear = MakeImage(8, 8, [](int, int) { return Bgra{0, 0, 0, 0}; });
    struct Case {
        const char* what;
        Image* image;
        bool premultiplied, rle, palette;
        uint8_t type, depth, descriptor, colorMapLength;
    };
    const Case cases[] = {
        {"two wide: never run-length", &narrow, false, true, false, 2, 24, 0, 0},
        {"one colour, run-length", &flat, false, true, false, 10, 24, 0, 0},
        {"one grey colour, palette", &flatGrey, false, true, true, 11, 8, 0, 0},
        {"one colour, palette", &flat, false, true, true, 9, 8, 0, 1},
        {"one colour, palette, raw", &flat, false, false, true, 1, 8, 0, 1},
        {"noise: run-length would be longer", &noise, false, true, false, 2, 24, 0, 0},
        {"257 colours", &many, false, false, true, 2, 24, 0, 0},
        {"fully transparent: 24-bit black", &clear, false, false, false, 2, 24, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> file = Write(*c.image, c.premultiplied, c.rle, c.palette);
        EXPECT_EQ(file[2], c.type);
        EXPECT_EQ(file[16], c.depth);
        EXPECT_EQ(file[17], c.descriptor);
        EXPECT_EQ(file[1], c.colorMapLength ? 1 : 0);
        EXPECT_EQ(file[5] | file[6] << 8, c.colorMapLength);
        EXPECT_EQ(file[7], c.colorMapLength ? 24 : 0);
        EXPECT_EQ(std::string(file.end() - 18, file.end() - 1), "TRUEVISION-XFILE.");
        EXPECT_EQ(Le32(file, file.size() - 26), 0u);
        if (c.image == &flat && c.rle && !c.palette) EXPECT_LT(file.size(), 18 + 26 + 40 * 10 * 3 / 4u);
        // Read back: the same pixels (opaque ones exactly).
        Decoded d = Decode(file);
        ASSERT_EQ(d.result, CodecResult::Ok);
        EXPECT_EQ(d.pixels.bgra.size(), c.image->bgra.size());
        if (c.image != &clear) EXPECT_EQ(d.pixels.bgra, c.image->bgra);
        else EXPECT_EQ(d.At(3, 3), (Bgra{0, 0, 0, 255}));
    }
}

TEST(TgaWriter, StraightAndPremultipliedAlpha) {
    Image partial = MakeImage(3, 2, [](int x, int) {
        return x == 0 ? Bgra{64, 32, 0, 128} : x == 1 ? Bgra{0, 0, 0, 0} : Bgra{1, 2, 3, 255};
    });
    std::vector<uint8_t> straight = Write(partial, false, false, false);
    EXPECT_EQ(straight[2], 2);
    EXPECT_EQ(straight[16], 32);
    EXPECT_EQ(straight[17], 8);
    EXPECT_EQ(std::vector<uint8_t>(straight.begin() + 18, straight.begin() + 26),
              (std::vector<uint8_t>{127, 63, 0, 128, 0, 0, 0, 0}));
    EXPECT_EQ(straight.size(), 18 + 3 * 2 * 4 + 26u);
    EXPECT_EQ(Le32(straight, straight.size() - 26), 0u);

    std::vector<uint8_t> kept = Write(partial, true, false, false);
    ASSERT_EQ(kept.size(), 18 + 3 * 2 * 4 + 495 + 26u);
    EXPECT_EQ(kept[17], 8);
    EXPECT_EQ(std::vector<uint8_t>(kept.begin() + 18, kept.begin() + 42), partial.bgra);
    const size_t extension = Le32(kept, kept.size() - 26);
    EXPECT_EQ(extension, 18 + 24u);
    EXPECT_EQ(kept[extension] | kept[extension + 1] << 8, 495);
    EXPECT_EQ(kept[extension + 494], 4);
    EXPECT_EQ(kept[extension + 367], 12);                              // month
    EXPECT_EQ(kept[extension + 371] | kept[extension + 372] << 8, 2026);  // year
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&kept[extension + 426])), "Orvalis c32bppDIB Suite");
    EXPECT_EQ(kept[extension + 467], 3);
    EXPECT_EQ(kept[extension + 469], 1);
    EXPECT_EQ(Le32(kept, extension + 470), 0xFFFFFFFFu);
    // The reader takes the premultiplied bytes as they are.
    Decoded d = Decode(kept);
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(d.pixels.bgra, partial.bgra);
    EXPECT_EQ(d.alphaKind, 2);
    // Straight colours that happen to stay within their alpha read as premultiplied ones: the
    // reader's alpha check sees nothing that needs multiplying.
    d = Decode(straight);
    EXPECT_EQ(d.At(0, 0), (Bgra{127, 63, 0, 128}));

    // A colour byte above its alpha has no straight form: refused rather than wrapped.
    Image bad = MakeImage(1, 1, [](int, int) { return Bgra{200, 0, 0, 100}; });
    std::vector<uint8_t> out{1};
    EXPECT_EQ(EncodeTga(bad.view(), TgaWriteOptions{false, false, false}, {}, out), CodecResult::Corrupt);
    EXPECT_EQ(EncodeTga(bad.view(), TgaWriteOptions{true, false, false}, {}, out), CodecResult::Ok);
    // Sides that do not fit the header's 16 bits are refused.
    std::vector<uint8_t> wide(size_t(65536) * 4, 255);
    EXPECT_EQ(EncodeTga(PixelView{wide.data(), 65536, 1}, {}, {}, out), CodecResult::TooLarge);
}

TEST(TgaWriter, RunLengthPacketsStayInTheirRowsAndHoldAtMost128) {
    // Row of 300: 130 equal, then 3 different, then 167 equal.
    std::vector<uint8_t> row(300);
    for (int x = 0; x < 300; ++x) row[x] = x < 130 ? 7 : x < 133 ? uint8_t(x) : 9;
    std::vector<uint8_t> twoRows = row;
    twoRows.insert(twoRows.end(), row.begin(), row.end());
    const std::vector<uint8_t> encoded = EncodeTgaRLE(twoRows, 1, 300, 2);
    const std::vector<uint8_t> oneRow = {0xFF, 7, 0x81, 7, 0x02, 130, 131, 132, 0xFF, 9, 0xA6, 9};
    std::vector<uint8_t> expected = oneRow;
    expected.insert(expected.end(), oneRow.begin(), oneRow.end());
    EXPECT_EQ(encoded, expected);
}
