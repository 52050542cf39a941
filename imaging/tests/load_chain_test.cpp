// The load chain from the user's side: files ImageMagick makes at test time, loaded by file and from
// offset 100 of a larger array, compared with ImageMagick's own decoding; metafiles drawn by GDI;
// resources compiled into this test; handles, picture objects, the clipboard and file lists.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cmath>
#include <memory>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"
#include "image_compare.h"
#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "codecs/zlib_binding_win.h"
#include "png_crc.h"
#include "png_read.h"
#include "support/imagemagick.h"
#include "support/temp_root.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

// The picture every sample shows: a red-to-blue gradient with a yellow disc, 37 x 23.
const std::vector<std::string> kPicture = {"-size", "37x23", "gradient:red-blue", "-fill", "yellow", "-draw",
                                           "circle 18,11 18,3"};
// The same with alpha rising from 0.2 on the left to 1 on the right.
std::vector<std::string> WithAlphaRamp(std::vector<std::string> arguments) {
    for (const char* a : {"-alpha", "set", "-channel", "A", "-fx", "0.2+0.8*i/w", "+channel"}) arguments.push_back(a);
    return arguments;
}
std::vector<std::string> Plus(std::vector<std::string> arguments, std::initializer_list<const char*> more) {
    for (const char* a : more) arguments.push_back(a);
    return arguments;
}

struct Sample {
    const char* file;
    std::vector<std::string> arguments;
    std::string prefix;  // ImageMagick's output format, when the name does not say it
};

const Sample kSamples[] = {
    {"opaque.png", kPicture, ""},
    {"alpha.png", WithAlphaRamp(kPicture), ""},
    {"transparent.gif", Plus(kPicture, {"-transparent", "yellow", "-colors", "30"}), ""},
    {"sizes.ico", {"(", "-size", "16x16", "xc:navy", ")", "(", "-size", "32x32", "gradient:red-blue", "-colors", "200",
                   ")", "(", "-size", "48x48", "gradient:green-white", ")"}, ""},
    {"rgb24.bmp", Plus(kPicture, {"-type", "truecolor"}), "bmp3:"},
    {"photo.jpg", Plus(kPicture, {"-quality", "95"}), ""},
    {"alpha.tif", WithAlphaRamp(kPicture), ""},
    {"alpha.tga", WithAlphaRamp(kPicture), ""},
    {"rle24.tga", Plus(kPicture, {"-type", "truecolor", "-compress", "RLE"}), ""},
    {"palette.tga", Plus(kPicture, {"-colors", "40", "-type", "palette", "-compress", "RLE"}), ""},
    {"grey.tga", Plus(kPicture, {"-type", "grayscale"}), ""},
};

// An uncompressed 32-bit BMP of straight pixels, bottom row first (ImageMagick writes 32-bit BMPs
// with bit fields).
std::vector<uint8_t> Bmp32Of(const RgbaImage& image) {
    const uint32_t rowBytes = uint32_t(image.width) * 4, size = 54 + rowBytes * uint32_t(image.height);
    std::vector<uint8_t> file(size, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = uint8_t(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(image.width), 4);
    put(22, uint32_t(image.height), 4);
    put(26, 1, 2);
    put(28, 32, 2);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
            uint8_t* d = &file[54 + size_t(image.height - 1 - y) * rowBytes + size_t(x) * 4];
            d[0] = p[2], d[1] = p[1], d[2] = p[0], d[3] = p[3];
        }
    return file;
}

class LoadChain : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new std::wstring(TempFileName(L"_samples\\"));
        ::CreateDirectoryW(folder_->c_str(), nullptr);
        if (!UnixProgramsAvailable()) return;
        for (const Sample& sample : kSamples)
            MakeWithImageMagick(sample.arguments, *folder_ + Wide(sample.file), sample.prefix);
        if (std::optional<RgbaImage> pixels = DecodeWithImageMagick(Path("alpha.png")))
            WriteFileBytes(Path("argb32.bmp"), Bmp32Of(*pixels));
    }
    static void TearDownTestSuite() {
        for (const std::wstring& name : ListNames(*folder_)) ::DeleteFileW((*folder_ + name).c_str());
        ::RemoveDirectoryW(folder_->c_str());
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override {
        if (!UnixProgramsAvailable() || ReadFileBytes(Path("alpha.png")).empty())
            GTEST_SKIP() << "ImageMagick cannot be run from here";
    }
    static std::wstring Path(const char* name) { return *folder_ + Wide(name); }
    static RgbaImage Reference(const char* name, int entry = 0) {
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(Path(name), entry);
        EXPECT_TRUE(decoded) << name;
        return decoded.value_or(RgbaImage{});
    }

    static std::wstring* folder_;
};
std::wstring* LoadChain::folder_ = nullptr;

// The file's bytes at offset 100 of an array with other bytes before and after them.
std::vector<uint8_t> Embedded(const std::vector<uint8_t>& file) {
    std::vector<uint8_t> array(100 + file.size() + 50, 0x24);
    std::fill(array.begin(), array.begin() + 100, 0x42);
    std::copy(file.begin(), file.end(), array.begin() + 100);
    return array;
}

// This suite also runs with WINEDLLOVERRIDES "gdiplus=": GDI+ then cannot load, and the own PNG
// reader carries every PNG.
bool GdiPlusLoads() {
    HMODULE module = ::LoadLibraryW(L"gdiplus.dll");
    if (module) ::FreeLibrary(module);
    return module != nullptr;
}

}  // namespace

TEST_F(LoadChain, EachFormatByFileAndFromTheMiddleOfAnArray) {
    struct Case {
        const char* file;
        int32_t imageType;
        int32_t alpha;
        int tolerance;  // per channel against ImageMagick; -1 compares by PSNR
        bool gdiPlusOnly = false;
    };
    // GDI+ reads PNGs first and rounds when it premultiplies; the own reader truncates, as the
    // reference does.
    const int pngTolerance = GdiPlusLoads() ? 2 : 1;
    const Case cases[] = {
        {"opaque.png", 10, 0, pngTolerance},
        {"alpha.png", 10, 2, pngTolerance},
        {"transparent.gif", 9, 1, 0},
        {"rgb24.bmp", 1, 0, 0},
        {"argb32.bmp", 6, 2, 1},
        // A JPEG is the platform picture loader's at the BMP step, with or without GDI+.
        {"photo.jpg", 1, 0, -1},
        // GDI+ decodes what none of the readers takes; its premultiplying rounds.
        {"alpha.tif", 10, 2, 2, true},
        {"alpha.tga", 128, 2, 1},
        // TGA has no signature: every reader before it and GDI+ refuse these, the last one takes them.
        {"rle24.tga", 128, 0, 0},
        {"palette.tga", 128, 0, 0},
        {"grey.tga", 128, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file = ReadFileBytes(Path(c.file));
        ASSERT_GT(file.size(), 56u);
        if (c.gdiPlusOnly && !GdiPlusLoads()) {
            EXPECT_FALSE(c32bppDIB().LoadPicture_File(Path(c.file))) << "without GDI+ nothing reads it";
            continue;
        }
        const RgbaImage reference = Reference(c.file);
        for (bool fromArray : {false, true}) {
            SCOPED_TRACE(fromArray ? "from offset 100 of an array" : "from the file");
            const std::vector<uint8_t> array = Embedded(file), before = array;
            c32bppDIB image;
            const bool loaded = fromArray ? image.LoadPicture_Stream(array, 0, 0, 100, int64_t(file.size()), true)
                                          : image.LoadPicture_File(Path(c.file), 0, 0, true);
            ASSERT_TRUE(loaded);
            if (c.imageType >= 0) EXPECT_EQ(image.ImageType(), c.imageType);
            else EXPECT_TRUE(image.ImageType() == 1 || image.ImageType() == 10) << image.ImageType();
            EXPECT_EQ(image.Alpha(), c.alpha);
            if (c.tolerance >= 0) EXPECT_LE(LargestDifference(image, reference), c.tolerance);
            else EXPECT_GE(Psnr(image, reference), 40.0);
            EXPECT_EQ(array, before) << "the caller's array is only read";

            std::vector<uint8_t> kept;
            ASSERT_TRUE(image.GetOrginalFormat(kept));
            if (image.ImageType() == 10 && std::string(c.file).find(".png") == std::string::npos) {
                // What only GDI+ decoded is kept as its PNG re-encoding.
                EXPECT_EQ(std::vector<uint8_t>(kept.begin(), kept.begin() + 4), (std::vector<uint8_t>{0x89, 'P', 'N', 'G'}));
            } else {
                EXPECT_EQ(kept, file) << "the kept bytes are exactly the range";
            }
            // Reloaded from the kept bytes.
            c32bppDIB again;
            again.SetOriginalFormatBytes(kept);
            ASSERT_TRUE(again.LoadPicture_FromOrignalFormat());
            if (c.tolerance >= 0) EXPECT_LE(LargestDifference(again, reference), c.tolerance);
            else EXPECT_GE(Psnr(again, reference), 40.0);
        }
    }
}

// A PNG's size from its header.
std::pair<int, int> PngSize(const std::vector<uint8_t>& png) {
    auto be = [&](size_t at) { return int(png[at]) << 24 | int(png[at + 1]) << 16 | int(png[at + 2]) << 8 | int(png[at + 3]); };
    return {be(16), be(20)};
}

TEST_F(LoadChain, PngRoadsWithAndWithoutZlib) {
    const std::vector<uint8_t> png = ReadFileBytes(Path("alpha.png"));
    const RgbaImage reference = Reference("alpha.png");
    const int tolerance = GdiPlusLoads() ? 2 : 1;

    // An icon whose one entry is this PNG: loaded through the PNG reader as type 11.
    const auto [width, height] = PngSize(png);
    std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, uint8_t(width & 0xFF), uint8_t(height & 0xFF), 0, 0, 1, 0, 32, 0};
    for (uint32_t v : {uint32_t(png.size()), 22u})
        for (int i = 0; i < 4; ++i) icon.push_back(uint8_t(v >> (8 * i)));
    icon.insert(icon.end(), png.begin(), png.end());
    c32bppDIB fromIcon;
    ASSERT_TRUE(fromIcon.LoadPicture_Stream(Embedded(icon), width, height, 100, int64_t(icon.size())));
    EXPECT_EQ(fromIcon.ImageType(), 11);
    EXPECT_EQ(fromIcon.Alpha(), 2);
    EXPECT_LE(LargestDifference(fromIcon, reference), tolerance);

    // Without a zlib library the own inflate decodes, and the writer answers False and writes nothing.
    const std::vector<std::wstring> names = codecs::ZlibLibraryNames();
    codecs::SetZlibLibraryNamesForTest({L"quorallion-no-zlib.dll"});
    c32bppDIB image;
    const bool loaded = image.LoadPicture_File(Path("alpha.png"));
    c32bppDIB fromArray;
    const bool loadedFromArray = fromArray.LoadPicture_Stream(Embedded(png), 0, 0, 100, int64_t(png.size()));
    std::vector<uint8_t> out = {1, 2, 3};
    const bool saved = loaded && cPNGwriter().SavePNG(image, Path("no-zlib.png"), out);
    codecs::SetZlibLibraryNamesForTest(names);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(loadedFromArray);
    EXPECT_EQ(image.ImageType(), 10);
    EXPECT_EQ(image.Alpha(), 2);
    EXPECT_LE(LargestDifference(image, reference), tolerance);
    EXPECT_LE(LargestDifference(fromArray, reference), tolerance);
    EXPECT_FALSE(saved);
    EXPECT_EQ(::GetFileAttributesW(Path("no-zlib.png").c_str()), INVALID_FILE_ATTRIBUTES) << "no file";

    // With zlib the writer's bytes load back through the chain.
    ASSERT_TRUE(cPNGwriter().SavePNG(image, L"", out));
    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_Stream(out));
    EXPECT_EQ(back.ImageType(), 10);
    EXPECT_LE(LargestDifference(back, reference), tolerance + 1) << "un-premultiplied and premultiplied again";
}

namespace {

// A PNG of one row of straight RGBA pixels written here: IHDR, `padding` empty ancillary chunks,
// the row in one stored deflate block, IEND.
std::vector<uint8_t> RowPng(const std::vector<uint8_t>& rgba, int padding) {
    std::vector<uint8_t> png = {137, 80, 78, 71, 13, 10, 26, 10};
    auto bigEndian = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) png.push_back(uint8_t(v >> s));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        bigEndian(uint32_t(data.size()));
        const size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        bigEndian(codecs::PngCrc32(png.data() + start, data.size() + 4));
    };
    const uint32_t width = uint32_t(rgba.size() / 4);
    std::vector<uint8_t> header;
    for (uint32_t v : {width, 1u})
        for (int s = 24; s >= 0; s -= 8) header.push_back(uint8_t(v >> s));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    chunk("IHDR", header);
    for (int i = 0; i < padding; ++i) chunk("prVt", {});
    std::vector<uint8_t> row = {0};  // filter type 0
    row.insert(row.end(), rgba.begin(), rgba.end());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : row) a = (a + byte) % 65521, b = (b + a) % 65521;
    const uint16_t length = uint16_t(row.size());
    std::vector<uint8_t> zlib = {0x78, 0x01, 0x01, uint8_t(length), uint8_t(length >> 8), uint8_t(~length),
                                 uint8_t(~length >> 8)};
    zlib.insert(zlib.end(), row.begin(), row.end());
    for (uint32_t v : {(b << 16) | a})
        for (int s = 24; s >= 0; s -= 8) zlib.push_back(uint8_t(v >> s));
    chunk("IDAT", zlib);
    chunk("IEND", {});
    return png;
}

// The image's pixels as the own PNG decoder makes them.
std::vector<uint8_t> OwnDecoding(const std::vector<uint8_t>& png) {
    codecs::PixelBuffer pixels;
    int32_t alphaKind = 0;
    const codecs::CodecResult result =
        codecs::DecodePng(codecs::ByteSpan(png.data(), png.size()), codecs::LoadZlibForReading(), pixels, alphaKind);
    EXPECT_EQ(result, codecs::CodecResult::Ok);
    return pixels.bgra;
}

std::vector<uint8_t> PixelsOf(const c32bppDIB& image) {
    return std::vector<uint8_t>(image.BitsPointer(), image.BitsPointer() + size_t(image.Width()) * image.Height() * 4);
}

}  // namespace

// Ordinary PNGs go to GDI+ first; one of far more chunks than real files carry goes to the own
// decoder alone. GDI+ rounds when it premultiplies and the own decoder truncates, so a row of
// half-transparent colours shows which of the two decoded it.
TEST(LoadPng, ManyChunksSkipGdiPlusAndOrdinaryFilesTakeIt) {
    if (!GdiPlusLoads()) GTEST_SKIP() << "GDI+ is kept from loading: no road to tell apart";
    std::vector<uint8_t> rgba;
    for (int c = 0; c < 256; c += 3) rgba.insert(rgba.end(), {uint8_t(c), uint8_t(255 - c), uint8_t(c / 2), 128});
    const std::wstring file = TempFileName(L".png");
    struct Case {
        const char* what;
        int padding;
        bool throughGdiPlus;
    };
    const Case cases[] = {
        {"no padding", 0, true},
        {"200 empty chunks", 200, true},
        {"100,000 empty chunks", 100000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> png = RowPng(rgba, c.padding);
        const std::vector<uint8_t> own = OwnDecoding(png);
        ASSERT_TRUE(WriteFileBytes(file, png));
        for (bool fromFile : {true, false}) {
            SCOPED_TRACE(fromFile ? "file" : "bytes");
            c32bppDIB image;
            ASSERT_TRUE(fromFile ? image.LoadPicture_File(file) : image.LoadPicture_Stream(Embedded(png), 0, 0, 100,
                                                                                            int64_t(png.size())));
            ASSERT_EQ(image.Width(), int32_t(rgba.size() / 4));
            EXPECT_EQ(image.ImageType(), 10);
            if (c.throughGdiPlus) {
                EXPECT_NE(PixelsOf(image), own) << "GDI+'s rounding, not the own decoder's";
            } else {
                EXPECT_EQ(PixelsOf(image), own);
            }
        }
    }
    ::DeleteFileW(file.c_str());
}

TEST_F(LoadChain, IconEntriesAreChosenBySizeAndCursorsKeepTheirType) {
    const std::vector<uint8_t> icon = ReadFileBytes(Path("sizes.ico"));
    struct Case {
        int32_t wanted;
        int entry;
    };
    for (Case c : {Case{32, 1}, Case{48, 2}, Case{-16, 1}}) {
        c32bppDIB image;
        ASSERT_TRUE(image.LoadPicture_Stream(Embedded(icon), c.wanted, c.wanted, 100, int64_t(icon.size()), false, 40));
        EXPECT_EQ(image.ImageType(), 3);
        EXPECT_LE(LargestDifference(image, Reference("sizes.ico", c.entry)), 1) << c.wanted << " (a negative size is 0: 32)";
    }

    // A real cursor file: ImageMagick writes type 1, so the type word is set to 2 here.
    std::vector<uint8_t> cursor = icon;
    cursor[2] = 2;
    const std::wstring cursorFile = Path("sizes.cur");
    ASSERT_TRUE(WriteFileBytes(cursorFile, cursor));
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_File(cursorFile, 16, 16, true));
    EXPECT_EQ(image.ImageType(), 5);
    EXPECT_EQ(image.Width(), 16);
    std::vector<std::array<int32_t, 4>> sizes;
    ASSERT_EQ(image.SourceIconSizes(sizes), 3);
    EXPECT_EQ(sizes[1][0], 32);
    EXPECT_EQ(sizes[1][1], 32);

    // A single 16 x 16 entry of 4 bits per pixel, kept: its column; without kept bytes, the image's.
    const std::wstring small = Path("four_bit.ico");
    ASSERT_TRUE(MakeWithImageMagick({"-size", "16x16", "gradient:red-blue", "-colors", "16", "-type", "palette"}, small));
    const std::vector<uint8_t> smallBytes = ReadFileBytes(small);
    ASSERT_GT(smallBytes.size(), 14u);
    ASSERT_EQ(smallBytes[12], 4) << "ImageMagick wrote 4 bits per pixel";
    c32bppDIB four;
    ASSERT_TRUE(four.LoadPicture_File(small, 0, 0, true));
    ASSERT_EQ(four.SourceIconSizes(sizes), 1);
    EXPECT_EQ(sizes[0], (std::array<int32_t, 4>{16, 16, 4, 16}));
    c32bppDIB unkept;
    ASSERT_TRUE(unkept.LoadPicture_File(cursorFile, 48, 48, false));
    ASSERT_EQ(unkept.SourceIconSizes(sizes), 1);
    EXPECT_EQ(sizes[0], (std::array<int32_t, 4>{48, 48, 32, -1}));
}

TEST_F(LoadChain, ShortFilesRangesAndArraysAreRefusedBeforeAnyReader) {
    const std::vector<uint8_t> gif = ReadFileBytes(Path("transparent.gif"));
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, 3));

    // 40 bytes of a real GIF are not enough for a file; the image goes either way.
    const std::wstring shortFile = Path("short.gif");
    ASSERT_TRUE(WriteFileBytes(shortFile, std::vector<uint8_t>(gif.begin(), gif.begin() + 40)));
    EXPECT_FALSE(image.LoadPicture_File(shortFile));
    EXPECT_EQ(image.Handle(), nullptr) << "a failed load leaves no image";
    EXPECT_FALSE(image.LoadPicture_File(Path("no such file.png")));

    struct Case {
        const char* why;
        int64_t start, length;
        bool loads;
    };
    const std::vector<uint8_t> array = Embedded(gif);
    const int64_t size = int64_t(gif.size());
    const Case cases[] = {
        {"19 bytes", 100, 19, false},
        {"20 bytes of a GIF: a range the reader refuses", 100, 20, false},
        {"one byte past the array", 100, int64_t(array.size()) - 99, false},
        {"a start past the array", int64_t(array.size()) + 5, 30, false},
        {"a length so large it wraps", 100, INT64_MAX, false},
        {"the whole GIF", 100, size, true},
        {"length 0 is to the end", 100, 0, true},
        {"a start below 0 is 0 (the GIF is not at 0)", -5, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(image.LoadPicture_Stream(array, 0, 0, c.start, c.length), c.loads) << c.why;
    }
    EXPECT_TRUE(image.LoadPicture_Stream(gif, 0, 0, -5, 0)) << "from the array's start";
    EXPECT_FALSE(image.LoadPicture_Stream({}));
    EXPECT_FALSE(image.LoadPicture_FromOrignalFormat()) << "nothing was kept";
}

TEST_F(LoadChain, WithoutGdiPlusJpegStillLoadsAndTiffDoesNot) {
    c32bppDIB image;
    image.isGDIplusEnabled(false);
    ASSERT_FALSE(image.isGDIplusEnabled());
    ASSERT_TRUE(image.LoadPicture_File(Path("photo.jpg"), 0, 0, true));
    EXPECT_EQ(image.ImageType(), 1);
    std::vector<uint8_t> kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, ReadFileBytes(Path("photo.jpg"))) << "the JPEG's own bytes are kept";
    EXPECT_FALSE(image.LoadPicture_File(Path("alpha.tif"))) << "only GDI+ reads TIFF";
    EXPECT_FALSE(image.LoadPicture_Stream_Emf(ReadFileBytes(Path("alpha.tif"))));
}

// The metafile entry takes metafiles only: GDI+, which would read each of these pictures, is not
// given them.
TEST_F(LoadChain, MetafileEntryRefusesPicturesWithGdiPlusPresent) {
    if (!GdiPlusLoads()) GTEST_SKIP() << "GDI+ is kept from loading";
    const std::string text = "Plain text long enough to pass the length rule of the entry.";
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> blocks = {
        {"PNG", ReadFileBytes(Path("alpha.png"))},
        {"TIFF", ReadFileBytes(Path("alpha.tif"))},
        {"JPEG", ReadFileBytes(Path("photo.jpg"))},
        {"GIF", ReadFileBytes(Path("transparent.gif"))},
        {"text", std::vector<uint8_t>(text.begin(), text.end())},
    };
    for (const auto& [what, bytes] : blocks) {
        ASSERT_GT(bytes.size(), 20u) << what;
        c32bppDIB probe;
        EXPECT_EQ(probe.LoadPicture_Stream(bytes), std::string(what) != "text") << what << ": the load chain's answer";
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(4, 4));
        ASSERT_TRUE(image.isGDIplusEnabled());
        EXPECT_FALSE(image.LoadPicture_Stream_Emf(Embedded(bytes), 0, 0, 100, int64_t(bytes.size()), true)) << what;
        EXPECT_EQ(image.Handle(), nullptr) << what;
        std::vector<uint8_t> kept;
        EXPECT_FALSE(image.GetOrginalFormat(kept)) << what << ": nothing kept";
    }
}

TEST_F(LoadChain, TruncatedAndForgedFilesGiveFalseOrAnImage) {
    struct Case {
        const char* why;
        const char* source;
        size_t keep;                                     // bytes of the source kept
        std::vector<std::pair<size_t, uint8_t>> writes;  // bytes then overwritten
        int32_t width, height;                           // 0: no image, and the load answers False
    };
    const Case cases[] = {
        {"GIF cut in its image data", "transparent.gif", 300, {}, 0, 0},
        {"GIF with a huge logical screen: the image's own size counts", "transparent.gif", 0,
         {{6, 0xFF}, {7, 0xFF}, {8, 0xFF}, {9, 0xFF}}, 37, 23},
        {"icon entry past the data", "sizes.ico", 0, {{18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x7F}}, 0, 0},
        {"icon cut in its first entry", "sizes.ico", 100, {}, 0, 0},
        {"TIFF cut short", "alpha.tif", 200, {}, 0, 0},
        {"JPEG cut in its tables", "photo.jpg", 400, {}, 0, 0},
        {"PNG cut in its image data", "alpha.png", 200, {}, 0, 0},
        {"PNG of width 0", "alpha.png", 0, {{16, 0}, {17, 0}, {18, 0}, {19, 0}}, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = ReadFileBytes(Path(c.source));
        if (c.keep) bytes.resize(std::min(bytes.size(), c.keep));
        for (auto [at, value] : c.writes) bytes[at] = value;
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(4, 4));
        EXPECT_EQ(image.LoadPicture_Stream(bytes), c.width > 0) << c.why;
        EXPECT_EQ(image.Width(), c.width) << c.why;
        EXPECT_EQ(image.Height(), c.height) << c.why;
    }
}

TEST_F(LoadChain, FileTooLargeForMemoryIsRefused) {
    // A sparse file of 3 GB that starts like a GIF.
    const std::wstring huge = Path("huge.gif");
    {
        HANDLE file = ::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::vector<uint8_t> gif = ReadFileBytes(Path("transparent.gif"));
        DWORD written = 0;
        ::WriteFile(file, gif.data(), DWORD(gif.size()), &written, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = 3LL << 30;
        ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
        ::CloseHandle(file);
    }
    c32bppDIB image;
    EXPECT_FALSE(image.LoadPicture_File(huge));
    ::DeleteFileW(huge.c_str());
}

TEST(LoadMetafile, DrawnByGdiFromBytesFileAndHandle) {
    // A 2 x 1 inch frame with a red rectangle in its left half.
    HDC screen = ::GetDC(nullptr);
    RECT frame{0, 0, 5080, 2540};
    HDC recorder = ::CreateEnhMetaFileW(screen, nullptr, &frame, nullptr);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(recorder, nullptr);
    const int dpi = ::GetDeviceCaps(recorder, LOGPIXELSX);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT left{0, 0, dpi, dpi};
    ::FillRect(recorder, &left, red);
    ::DeleteObject(red);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
    ASSERT_NE(metafile, nullptr);
    std::vector<uint8_t> bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, UINT(bytes.size()), bytes.data());

    auto expectDrawn = [](c32bppDIB& image, const char* how) {
        ASSERT_GT(image.Width(), 10) << how;
        int32_t alpha = 0;
        EXPECT_EQ(image.GetPixel(image.Width() / 4, image.Height() / 2, alpha), 0x0000FF) << how;
        EXPECT_EQ(alpha, 255) << how;
        image.GetPixel(image.Width() * 3 / 4, image.Height() / 2, alpha);
        EXPECT_EQ(alpha, 0) << how << ": undrawn pixels are transparent";
    };
    std::vector<uint8_t> array(100 + bytes.size(), 0);
    std::copy(bytes.begin(), bytes.end(), array.begin() + 100);
    c32bppDIB fromBytes;
    ASSERT_TRUE(fromBytes.LoadPicture_Stream_Emf(array, 0, 0, 100, 0, true));
    EXPECT_EQ(fromBytes.ImageType(), 10);
    expectDrawn(fromBytes, "through GDI+");
    std::vector<uint8_t> kept;
    ASSERT_TRUE(fromBytes.GetOrginalFormat(kept));
    EXPECT_EQ(kept[1], 'P') << "kept as its PNG";

    c32bppDIB byHandle;
    ASSERT_TRUE(byHandle.LoadPicture_ByHandle(metafile));
    EXPECT_EQ(byHandle.ImageType(), 4);
    expectDrawn(byHandle, "by handle");
    EXPECT_EQ(::GetEnhMetaFileBits(metafile, 0, nullptr), bytes.size()) << "the caller's handle stays valid";

    // A Windows metafile is turned into an enhanced one first.
    HENHMETAFILE fromWindows = nullptr;
    {
        HDC reference = ::GetDC(nullptr);
        const UINT size = ::GetWinMetaFileBits(metafile, 0, nullptr, MM_ANISOTROPIC, reference);
        std::vector<BYTE> windowsBits(size);
        ::GetWinMetaFileBits(metafile, size, windowsBits.data(), MM_ANISOTROPIC, reference);
        ::ReleaseDC(nullptr, reference);
        HMETAFILE windows = ::SetMetaFileBitsEx(size, windowsBits.data());
        ASSERT_NE(windows, nullptr);
        c32bppDIB fromWmf;
        EXPECT_TRUE(fromWmf.LoadPicture_ByHandle(windows));
        EXPECT_EQ(fromWmf.ImageType(), 4);
        EXPECT_NE(::GetMetaFileBitsEx(windows, 0, nullptr), 0u) << "the caller's handle stays valid";
        ::DeleteMetaFile(windows);
    }
    (void)fromWindows;
    ::DeleteEnhMetaFile(metafile);
}

TEST(LoadHandles, BitmapIconPictureAndNothing) {
    // A 32-bit DIB section with straight partial alpha: the alpha check premultiplies it.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    for (int i = 0; i < 8; ++i) static_cast<uint32_t*>(bits)[i] = 0x80FF0000;  // red 255 at alpha 128
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_ByHandle(bitmap));
    EXPECT_EQ(image.ImageType(), 6);
    EXPECT_EQ(image.Alpha(), 2);
    EXPECT_EQ(image.BitsPointer()[2], 128) << "red 255 at alpha 128";
    DIBSECTION section{};
    EXPECT_EQ(::GetObjectW(bitmap, sizeof section, &section), int(sizeof section)) << "the caller keeps the bitmap";

    com::ComPtr<IPicture> picture = bas32bppDIBParsers::HandleToPicture(bitmap, PICTYPE_BITMAP);
    ASSERT_TRUE(picture);
    c32bppDIB fromPicture;
    ASSERT_TRUE(fromPicture.LoadPicture_StdPicture(picture.get()));
    EXPECT_EQ(fromPicture.Width(), 4);

    HICON icon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_NE(icon, nullptr);
    c32bppDIB fromIcon;
    ASSERT_TRUE(fromIcon.LoadPicture_ByHandle(icon));
    EXPECT_TRUE(fromIcon.ImageType() == 3 || fromIcon.ImageType() == 8) << fromIcon.ImageType();

    c32bppDIB none;
    EXPECT_FALSE(none.LoadPicture_ByHandle(nullptr));
    EXPECT_FALSE(none.LoadPicture_ByHandle(reinterpret_cast<HANDLE>(0x1234)));
    EXPECT_FALSE(none.LoadPicture_StdPicture(nullptr));
}

TEST(LoadResources, PicturesByKindAndDataByType) {
    auto number = [](int32_t value) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        return v;
    };
    auto text = [](const wchar_t* value) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(value);
        return v;
    };
    struct Case {
        const char* why;
        VARIANT index, section;
        int32_t width;
        std::vector<int32_t> types;
    };
    Case cases[] = {
        {"bitmap, kind 0", number(101), number(0), 8, {1}},
        {"icon, kind 1", number(102), number(1), 16, {3, 8}},
        {"cursor, kind 2", number(103), number(2), 32, {5, 12}},
        {"data resource by name and type", text(L"SAMPLE"), text(L"IMAGE"), 12, {9}},
        {"no such bitmap", number(999), number(0), 0, {}},
        {"no such kind", number(101), number(7), 0, {}},
        {"no such data", text(L"NONE"), text(L"IMAGE"), 0, {}},
    };
    for (Case& c : cases) {
        c32bppDIB image;
        const bool loaded = image.LoadPicture_Resource(c.index, c.section);
        EXPECT_EQ(loaded, c.width > 0) << c.why;
        if (loaded) {
            EXPECT_EQ(image.Width(), c.width) << c.why;
            EXPECT_NE(std::find(c.types.begin(), c.types.end(), image.ImageType()), c.types.end())
                << c.why << ": " << image.ImageType();
        }
        ::VariantClear(&c.index);
        ::VariantClear(&c.section);
    }
}
