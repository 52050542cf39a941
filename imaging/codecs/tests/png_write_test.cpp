// The PNG writer: colour analysis, chunk lists, filter bytes and the property store by table;
// every output through pngcheck -v and libpng, compared with the source un-premultiplied.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "png_filter.h"
#include "png_properties.h"
#include "png_read.h"
#include "png_reference.h"
#include "png_write.h"

using namespace quorallion::codecs;
using namespace quorallion::codecs::testing;

namespace {

struct Px {
    uint8_t b, g, r, a;
};

// Top-down rows of premultiplied pixels into the bottom-up buffer the writer reads.
PixelBuffer Image(int width, int height, const std::vector<Px>& topDown) {
    PixelBuffer image;
    image.width = width;
    image.height = height;
    image.bgra.resize(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Px& p = topDown[size_t(y) * width + x];
            uint8_t* d = &image.bgra[(size_t(height - 1 - y) * width + x) * 4];
            d[0] = p.b, d[1] = p.g, d[2] = p.r, d[3] = p.a;
        }
    return image;
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

std::vector<Chunk> Chunks(const std::vector<uint8_t>& png) {
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = (uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        chunks.push_back({std::string(png.begin() + at + 4, png.begin() + at + 8),
                          std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)});
        at += length + 12;
    }
    return chunks;
}

std::string ChunkList(const std::vector<uint8_t>& png) {
    std::string list;
    for (const Chunk& c : Chunks(png)) list += (list.empty() ? "" : " ") + c.type;
    return list;
}

const Chunk* Find(const std::vector<Chunk>& chunks, const std::string& type) {
    for (const Chunk& c : chunks)
        if (c.type == type) return &c;
    return nullptr;
}

// The inflated IDAT data: filter bytes and rows.
std::vector<uint8_t> Inflated(const std::vector<uint8_t>& png, size_t expected) {
    const std::vector<Chunk> chunks = Chunks(png);
    const Chunk* idat = Find(chunks, "IDAT");
    std::vector<uint8_t> out(expected + 16);
    uLongf size = out.size();
    EXPECT_EQ(uncompress(out.data(), &size, idat->data.data(), idat->data.size()), Z_OK);
    out.resize(size);
    return out;
}

std::vector<uint8_t> FilterBytes(const std::vector<uint8_t>& png, size_t rowBytes, int height) {
    const std::vector<uint8_t> data = Inflated(png, (rowBytes + 1) * height);
    EXPECT_EQ(data.size(), (rowBytes + 1) * height);
    std::vector<uint8_t> types;
    for (int y = 0; y < height; ++y) types.push_back(data[y * (rowBytes + 1)]);
    return types;
}

std::vector<uint8_t> Encode(const PixelBuffer& image, int alphaKind, const PngWriteOptions& options = {},
                            PngWriteReport* report = nullptr) {
    std::vector<uint8_t> png;
    EXPECT_EQ(EncodePng(image, alphaKind, options, NativeZlib(), png, report), CodecResult::Ok);
    return png;
}

// pngcheck -v over the bytes; "" when it passes or is not installed.
std::string PngCheck(const std::vector<uint8_t>& png, const std::string& name) {
    if (std::system("command -v pngcheck >/dev/null 2>&1") != 0) return "";
    const std::filesystem::path file = std::filesystem::temp_directory_path() / ("quorallion_pngcheck_" + name + ".png");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    const std::string command = "pngcheck -v '" + file.string() + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    std::filesystem::remove(file);
    return status == 0 ? "" : "pngcheck refuses " + name;
}

// libpng's decode equals the source with the Part's un-premultiplication (c × 255 \ a).
std::string LibpngAgrees(const std::vector<uint8_t>& png, const PixelBuffer& source, int alphaKind) {
    const LibpngImage decoded = LibpngDecode(png.data(), png.size());
    if (!decoded.ok) return "libpng refuses it";
    if (decoded.width != source.width || decoded.height != source.height) return "size";
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const uint8_t* s = &source.bgra[(size_t(source.height - 1 - y) * source.width + x) * 4];
            const uint8_t* d = &decoded.rgba[(size_t(y) * source.width + x) * 4];
            const int a = alphaKind == 0 ? 255 : s[3];
            if (d[3] != a) return "alpha at " + std::to_string(x) + "," + std::to_string(y);
            if (a == 0) continue;
            for (int c = 0; c < 3; ++c) {
                const int expected = a == 255 ? s[2 - c] : s[2 - c] * 255 / a;
                if (d[c] != expected) return "colour at " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    return "";
}

PixelBuffer Random(int width, int height, int colours, int alphaMode, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Px> palette;
    for (int i = 0; i < colours; ++i) {
        const uint8_t a = alphaMode == 0 ? 255 : alphaMode == 1 ? (random() % 4 ? 255 : 0) : static_cast<uint8_t>(random());
        auto c = [&] { return static_cast<uint8_t>(random() % (a + 1)); };
        palette.push_back(a == 0 ? Px{0, 0, 0, 0} : Px{c(), c(), c(), a});
    }
    std::vector<Px> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = palette[(i * 3 + random() % 3) % colours];
    return Image(width, height, pixels);
}

}  // namespace

TEST(PngWrite, EveryRoadPassesPngcheckAndLibpng) {
    struct Case {
        const char* name;
        PixelBuffer image;
        int alphaKind;
        int colorType;
        int filterMode;
    };
    std::vector<Case> cases = {
        {"palette", Random(37, 21, 200, 0, 1), 0, 3, 0},
        {"palette-alpha", Random(37, 21, 100, 2, 2), 2, 3, 6},
        {"palette-onoff", Random(5, 9, 30, 1, 3), 1, 3, 2},
        {"rgb", Random(50, 40, 5000, 0, 4), 0, 2, 0},
        {"rgb-key", Random(33, 17, 1000, 1, 5), 1, 2, 6},
        {"rgba", Random(64, 30, 3000, 2, 6), 2, 6, 0},
        {"rgba-per-row", Random(3, 100, 3000, 2, 7), 2, 6, 6},
        {"one-pixel", Random(1, 1, 1, 0, 8), 0, 3, 6},
    };
    for (int mode = 1; mode <= 5; ++mode) cases.push_back({"rgba-fixed", Random(19, 15, 900, 2, 9 + mode), 2, 6, mode});
    for (const Case& c : cases) {
        PngWriteOptions options;
        options.filterMode = c.filterMode;
        PngWriteReport report;
        const std::vector<uint8_t> png = Encode(c.image, c.alphaKind, options, &report);
        EXPECT_EQ(report.colorType, c.colorType) << c.name;
        EXPECT_EQ(PngCheck(png, c.name), "") << c.name;
        EXPECT_EQ(LibpngAgrees(png, c.image, c.alphaKind), "") << c.name;
        // The reader takes it back with the same pixels where nothing was partly transparent.
        PixelBuffer back;
        int32_t kind = -1;
        ASSERT_EQ(DecodePng(ByteSpan(png.data(), png.size()), NativeZlib(), back, kind), CodecResult::Ok) << c.name;
        if (c.alphaKind < 2) EXPECT_EQ(back.bgra, c.image.bgra) << c.name;
    }
}

TEST(PngWrite, ColourAnalysis) {
    const Px red{0, 0, 255, 255}, green{0, 255, 0, 255}, blue{255, 0, 0, 255}, clear{0, 0, 0, 0};
    const Px grey40{40, 40, 40, 255}, grey90{90, 90, 90, 255}, black{0, 0, 0, 255};
    struct Case {
        const char* what;
        PixelBuffer image;
        int alphaKind;
        int colorType;
        std::string chunks;
        std::vector<uint8_t> plte, trns;
    };
    std::vector<Case> cases = {
        // Sorted as signed values: 0xFF0000FF (blue) < 0xFF00FF00 (green) < 0xFFFF0000 (red).
        {"opaque colours: palette in sorted order", Image(3, 1, {red, green, blue}), 0, 3, "IHDR PLTE IDAT IEND",
         {0, 0, 255, 0, 255, 0, 255, 0, 0}, {}},
        {"opaque greys, no alpha: grey", Image(2, 1, {grey40, grey90}), 0, 0, "IHDR IDAT IEND", {}, {}},
        {"grey with one clear colour: key 0 when nothing opaque is black", Image(3, 1, {grey40, clear, grey90}), 1, 0,
         "IHDR tRNS IDAT IEND", {}, {0, 0}},
        {"grey with black: the lowest free level", Image(4, 1, {black, grey40, clear, Px{1, 1, 1, 255}}), 1, 0,
         "IHDR tRNS IDAT IEND", {}, {0, 2}},
        // Sorted as signed: 0x80404040 (alpha 128), blue, red, 0x40202020 (alpha 64): the two
        // non-opaque entries take indices 0 and 1 in that order, the opaque ones count down from 3.
        {"partly transparent colours lead the palette", Image(4, 1, {Px{32, 32, 32, 64}, red, Px{64, 64, 64, 128}, blue}), 2,
         3, "IHDR PLTE tRNS IDAT IEND", {127, 127, 127, 127, 127, 127, 255, 0, 0, 0, 0, 255}, {128, 64}},
        // The one non-opaque grey is half transparent: palette with tRNS, not a darkened opaque grey.
        {"one half-transparent grey: palette, not grey", Image(2, 1, {grey40, Px{20, 20, 20, 128}}), 2, 3,
         "IHDR PLTE tRNS IDAT IEND", {39, 39, 39, 40, 40, 40}, {128}},
        // Alpha kind 0: A is ignored, colours are written as they are.
        {"alpha kind 0 keeps colours under A = 0", Image(2, 1, {Px{10, 20, 30, 0}, red}), 0, 3, "IHDR PLTE IDAT IEND",
         {255, 0, 0, 30, 20, 10}, {}},
    };
    for (const Case& c : cases) {
        PngWriteReport report;
        const std::vector<uint8_t> png = Encode(c.image, c.alphaKind, {}, &report);
        EXPECT_EQ(report.colorType, c.colorType) << c.what;
        EXPECT_EQ(ChunkList(png), c.chunks) << c.what;
        const auto chunks = Chunks(png);
        if (!c.plte.empty()) EXPECT_EQ(Find(chunks, "PLTE")->data, c.plte) << c.what;
        if (!c.trns.empty()) EXPECT_EQ(Find(chunks, "tRNS")->data, c.trns) << c.what;
        EXPECT_EQ(PngCheck(png, "analysis"), "") << c.what;
        EXPECT_EQ(LibpngAgrees(png, c.image, c.alphaKind), "") << c.what;
    }
}

TEST(PngWrite, TrueColourKeysAndFaults) {
    // More than 256 colours, alpha only 0 or 255: RGB with the lowest blue no opaque pixel has.
    std::vector<Px> pixels;
    for (int i = 0; i < 600; ++i)
        pixels.push_back(i % 50 == 0 ? Px{0, 0, 0, 0} : Px{static_cast<uint8_t>(i % 256 == 3 ? 4 : i % 256), static_cast<uint8_t>(i / 3), 7, 255});
    PixelBuffer keyed = Image(30, 20, pixels);
    PngWriteReport report;
    std::vector<uint8_t> png = Encode(keyed, 1, {}, &report);
    EXPECT_EQ(report.colorType, 2);
    // Blue values 1..255 except 3 are taken (0 only by clear pixels... and i = 256 gives 0): 3 is free.
    EXPECT_EQ(Find(Chunks(png), "tRNS")->data, (std::vector<uint8_t>{0, 3, 0, 3, 0, 3}));
    EXPECT_EQ(LibpngAgrees(png, keyed, 1), "");
    // One partly transparent pixel makes it RGBA.
    pixels[5].a = 200;
    PixelBuffer partial = Image(30, 20, pixels);
    png = Encode(partial, 2, {}, &report);
    EXPECT_EQ(report.colorType, 6);
    EXPECT_EQ(ChunkList(png), "IHDR IDAT IEND");
    EXPECT_EQ(LibpngAgrees(png, partial, 2), "");

    // Alpha 128 with premultiplied 64 is written 127 (64 × 255 \ 128).
    png = Encode(Image(1, 1, {Px{64, 64, 64, 128}}), 2);
    const LibpngImage one = LibpngDecode(png.data(), png.size());
    EXPECT_EQ(std::vector<uint8_t>(one.rgba.begin(), one.rgba.end()), (std::vector<uint8_t>{127, 127, 127, 128}));

    // A colour byte above its alpha fails the save, palette and true colour alike; no zlib, no save.
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_EQ(EncodePng(Image(1, 1, {Px{200, 0, 0, 100}}), 2, {}, NativeZlib(), out), CodecResult::Corrupt);
    EXPECT_TRUE(out.empty());
    std::vector<Px> many(300);
    for (int i = 0; i < 300; ++i) many[i] = Px{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 0, 255};
    many[299] = Px{250, 0, 0, 249};
    EXPECT_EQ(EncodePng(Image(300, 1, many), 2, {}, NativeZlib(), out), CodecResult::Corrupt);
    EXPECT_EQ(EncodePng(Image(1, 1, {Px{1, 1, 1, 255}}), 0, {}, ZlibFunctions{}, out), CodecResult::Internal);
    // compress alone (no compress2) still writes.
    ZlibFunctions onlyCompress = NativeZlib();
    onlyCompress.compress2 = nullptr;
    EXPECT_EQ(EncodePng(Image(1, 1, {Px{1, 1, 1, 255}}), 0, {}, onlyCompress, out), CodecResult::Ok);
}

TEST(PngWrite, BackgroundChunks) {
    auto withBackground = [](uint32_t colour) {
        PngWriteOptions o;
        o.hasBackground = true;
        o.background = colour;
        return o;
    };
    const Px red{0, 0, 255, 255}, green{0, 255, 0, 255};
    // Found in the palette: its index; absent: an extra last entry.
    std::vector<uint8_t> png = Encode(Image(2, 1, {red, green}), 0, withBackground(0x0000FF));
    auto chunks = Chunks(png);
    EXPECT_EQ(ChunkList(png), "IHDR PLTE bKGD IDAT IEND");
    EXPECT_EQ(Find(chunks, "bKGD")->data, std::vector<uint8_t>{1});
    png = Encode(Image(2, 1, {red, green}), 0, withBackground(0x123456));
    chunks = Chunks(png);
    EXPECT_EQ(Find(chunks, "PLTE")->data.size(), 9u);
    EXPECT_EQ(Find(chunks, "bKGD")->data, std::vector<uint8_t>{2});
    EXPECT_EQ(PngCheck(png, "bkgd"), "");
    // A full palette has no room: no bKGD.
    std::vector<Px> full(256);
    for (int i = 0; i < 256; ++i) full[i] = Px{static_cast<uint8_t>(i), 1, 2, 255};
    png = Encode(Image(256, 1, full), 0, withBackground(0x123456));
    EXPECT_EQ(ChunkList(png), "IHDR PLTE IDAT IEND");
    // Grey: 0 and the red byte; RGB: 0 r 0 g 0 b.
    png = Encode(Image(1, 1, {Px{9, 9, 9, 255}}), 0, withBackground(0x332211));
    EXPECT_EQ(Find(Chunks(png), "bKGD")->data, (std::vector<uint8_t>{0, 0x11}));
    png = Encode(Random(30, 30, 2000, 0, 3), 0, withBackground(0x332211));
    EXPECT_EQ(Find(Chunks(png), "bKGD")->data, (std::vector<uint8_t>{0, 0x11, 0, 0x22, 0, 0x33}));
    EXPECT_EQ(PngCheck(png, "bkgd-rgb"), "");
}

TEST(PngWrite, FilterBytes) {
    // Grey and palette default to None, RGB and RGBA to Paeth; modes 7 and -1 are the default.
    const PixelBuffer palette = Random(9, 40, 20, 0, 11), rgba = Random(9, 40, 2000, 2, 12);
    auto all = [](uint8_t type) { return std::vector<uint8_t>(40, type); };
    for (int32_t mode : {0, 7, -1}) {
        PngWriteOptions o;
        o.filterMode = mode;
        EXPECT_EQ(FilterBytes(Encode(palette, 0, o), 9, 40), all(0)) << mode;
        EXPECT_EQ(FilterBytes(Encode(rgba, 2, o), 36, 40), all(4)) << mode;
    }
    for (int32_t mode = 1; mode <= 5; ++mode) {
        PngWriteOptions o;
        o.filterMode = mode;
        EXPECT_EQ(FilterBytes(Encode(rgba, 2, o), 36, 40), all(static_cast<uint8_t>(mode - 1))) << mode;
    }
    // RGB rows are exactly 3 × Width bytes (5 × 3 = 15, not padded to 16).
    const PixelBuffer rgb = Random(5, 60, 1000, 0, 13);
    PngWriteReport report;
    const std::vector<uint8_t> png = Encode(rgb, 0, {}, &report);
    ASSERT_EQ(report.colorType, 2);
    EXPECT_EQ(Inflated(png, 60 * 16).size(), 60u * 16);

    // Per-row choice, on rows given straight to the filter (one byte per pixel):
    struct Case {
        const char* what;
        std::vector<uint8_t> rows;
        size_t rowBytes;
        std::vector<uint8_t> types;
    };
    const std::vector<Case> cases = {
        // Row 0 is None or Sub only; equal rows make Up score 0, then Average and Paeth tie it: Paeth.
        {"ramp, then the same row", {10, 20, 30, 40, 10, 20, 30, 40}, 4, {1, 4}},
        {"zeros: every filter scores 0 (stored 1), the last wins", {0, 0, 0, 0, 0, 0, 0, 0}, 4, {1, 4}},
        {"flat row 0: Sub", {5, 5, 5, 5}, 4, {1}},
        {"None beats Sub on row 0", {0, 200, 0, 200}, 4, {0}},
        // A row whose None score passes rowBytes × 254 still gets a type byte (Sub here).
        {"255s: None dropped", {255, 255, 255, 255}, 4, {1}},
    };
    for (const Case& c : cases) {
        const size_t height = c.rows.size() / c.rowBytes;
        const std::vector<uint8_t> out = PngFilterRows(c.rows.data(), c.rowBytes, height, 1, 6, 3);
        std::vector<uint8_t> types;
        for (size_t y = 0; y < height; ++y) types.push_back(out[y * (c.rowBytes + 1)]);
        EXPECT_EQ(types, c.types) << c.what;
    }
}

TEST(PngWrite, PropertyStore) {
    auto latin1 = [](wchar_t c) { return c <= 0xFF ? int(c) : c == 0x20AC ? 0x80 : -32448; };  // a two-byte code
    PngPropertyStore store(latin1);
    struct KeywordCase {
        std::wstring in;
        std::wstring out;
        int32_t id;
    };
    const std::vector<KeywordCase> keywords = {
        {L"", L"", 0},
        {std::wstring(100, L'k'), std::wstring(79, L'k'), -1},
        {L"  two  words  ", L"two words", -1},
        {L"a\tb", L"", 0},
        {L"title", L"title", 1},
        {L"CREATION time", L"CREATION time", 16},
        {L"non\u00A0breaking", L"non breaking", -1},
        {L"euro \u20AC", L"", 0},
        {L"wide \u4E2D", L"", 0},
        {std::wstring(78, L'x') + L"  y", std::wstring(78, L'x'), -1},
    };
    for (const KeywordCase& c : keywords) {
        std::wstring k = c.in;
        EXPECT_EQ(store.ValidateKeyword(k), c.id);
        EXPECT_EQ(k, c.out);
    }
    EXPECT_EQ(store.CleanText(L"a\r\nb\rc\nd\te"), L"a\nb\nc\nd\te");
    EXPECT_EQ(store.CleanText(L"bell\a"), L"");
    EXPECT_EQ(store.CleanText(L"wide \u4E2D"), L"");
    EXPECT_EQ(store.CleanText(std::wstring(40000, L'z')).size(), 32700u);

    EXPECT_FALSE(PngPropertyStore::IsValidPropertyId(3));
    EXPECT_FALSE(PngPropertyStore::IsValidPropertyId(16384));
    EXPECT_FALSE(PngPropertyStore::IsValidPropertyId(-1));
    EXPECT_TRUE(PngPropertyStore::IsValidPropertyId(8192));

    // A standard keyword through 1024 stores under its id; reading it back through 1024 needs a custom one.
    EXPECT_TRUE(store.SetText(kPngCustomKeyword, L"The title", L"TITLE"));
    EXPECT_EQ(store.GetText(kPngTitle, L""), L"The title");
    EXPECT_FALSE(store.IsSet(kPngCustomKeyword));
    EXPECT_EQ(store.GetText(kPngCustomKeyword, L"title"), L"");
    EXPECT_FALSE(store.Remove(kPngCustomKeyword, L"title"));
    EXPECT_TRUE(store.SetText(kPngCustomKeyword, L"one", L"First"));
    EXPECT_EQ(store.GetText(kPngCustomKeyword, L"Title"), L"The title");
    // The same keyword in another case overwrites the slot, which keeps the new spelling.
    EXPECT_TRUE(store.SetText(kPngCustomKeyword, L"uno", L"FIRST"));
    EXPECT_EQ(store.Slots().size(), 12u);
    EXPECT_EQ(store.Slots()[11], std::wstring(L"FIRST\0uno", 9));
    EXPECT_FALSE(store.Remove(kPngCustomKeyword, L"First"));  // removal needs the exact case
    EXPECT_TRUE(store.SetText(kPngCustomKeyword, L"two", L"Second"));
    EXPECT_TRUE(store.SetText(kPngCustomKeyword, L"three", L"Third"));
    // Removing the second of three moves the third into its place.
    EXPECT_TRUE(store.Remove(kPngCustomKeyword, L"Second"));
    EXPECT_EQ(store.Slots()[12], std::wstring(L"Third\0three", 11));
    EXPECT_TRUE(store.Remove(kPngCustomKeyword, L"FIRST"));
    EXPECT_TRUE(store.Remove(kPngCustomKeyword, L"Third"));
    EXPECT_FALSE(store.IsSet(kPngCustomKeyword));
    // A text the rule empties is still stored (empty); background keeps its low 24 bits.
    EXPECT_TRUE(store.SetText(kPngComment, L"ring\a", L""));
    EXPECT_TRUE(store.IsSet(kPngComment));
    EXPECT_EQ(store.GetText(kPngComment, L""), L"");
    store.SetBackground(static_cast<int32_t>(0x7F123456));
    EXPECT_EQ(store.Background(), 0x123456);
    store.SetFilterMode(6);
    EXPECT_TRUE(store.Remove(kPngFilterMode, L""));
    EXPECT_EQ(store.FilterMode(), 0);
    EXPECT_FALSE(store.Remove(kPngFilterMode, L""));
}

TEST(PngWrite, TextChunksInTheirPlaces) {
    PngPropertyStore store([](wchar_t c) { return c <= 0xFF ? int(c) : -1; });
    store.SetText(kPngComment, L"late", L"");
    store.SetText(kPngAuthor, L"early \u00E9", L"");
    store.SetText(kPngCustomKeyword, std::wstring(1025, L'z'), L"Long");
    store.SetText(kPngCustomKeyword, L"short", L"Short");
    store.SetTime(L"unused here");
    const uint8_t time[7] = {0x07, 0xEA, 12, 10, 23, 59, 1};
    store.SetBackground(0x00FF00);
    const PngWriteOptions options = store.WriteOptions(time);
    const std::vector<uint8_t> png = Encode(Image(2, 1, {Px{0, 0, 255, 255}, Px{0, 255, 0, 255}}), 0, options);
    EXPECT_EQ(ChunkList(png), "IHDR tEXt PLTE bKGD IDAT tIME tEXt zTXt tEXt IEND");
    const auto chunks = Chunks(png);
    EXPECT_EQ(chunks[1].data, (std::vector<uint8_t>{'A', 'u', 't', 'h', 'o', 'r', 0, 'e', 'a', 'r', 'l', 'y', ' ', 0xE9}));
    EXPECT_EQ(Find(chunks, "tIME")->data, std::vector<uint8_t>(time, time + 7));
    EXPECT_EQ(chunks[8].data, (std::vector<uint8_t>{'S', 'h', 'o', 'r', 't', 0, 's', 'h', 'o', 'r', 't'}));
    const Chunk* z = Find(chunks, "zTXt");
    ASSERT_EQ(std::string(z->data.begin(), z->data.begin() + 6), std::string("Long\0\0", 6));
    std::vector<uint8_t> text(2000);
    uLongf size = text.size();
    ASSERT_EQ(uncompress(text.data(), &size, z->data.data() + 6, z->data.size() - 6), Z_OK);
    EXPECT_EQ(size, 1025u);
    EXPECT_EQ(PngCheck(png, "texts"), "");
}
