// Every saver's output read back by ImageMagick (and JPEG by djpeg); files replaced only by complete
// new ones; the PNG properties; the GDI+ bitmap saver.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

#include "c32bppDIB.h"
#include "clsSaveBitmapAs.h"
#include "bas32bppDIBParsers_win.h"
#include "codecs/cJPGWriter.h"
#include "codecs/cTGAparser.h"
#include "codecs/jpeg_quant.h"
#include "codecs/whole_file_win.h"
#include "gdiplus/cGDIPlus.h"
#include "image_compare.h"
#include "support/temp_root.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

// 37 x 23, a few colours (so that a GIF keeps them exactly): opaque on the left, half transparent
// in the middle, a fully transparent block at the top right.
void PaintSource(c32bppDIB& image) {
    ASSERT_TRUE(image.InitializeDIB(37, 23));
    for (int32_t y = 0; y < 23; ++y)
        for (int32_t x = 0; x < 37; ++x) {
            const int32_t alpha = x < 12 ? 255 : x < 25 ? 128 : y < 8 ? 0 : 255;
            image.SetPixel(x, y, RGB((x / 5) * 40, (y / 6) * 60, 128), alpha, false);
        }
    image.Alpha(2);
}

// The source's straight colours composed over an opaque colour (0x00BBGGRR), as ImageMagick sees a
// flattened save.
RgbaImage FlattenedOver(const c32bppDIB& image, uint32_t color) {
    RgbaImage out{image.Width(), image.Height(), {}};
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x) {
            int32_t alpha = 0;
            const int32_t premultiplied = image.GetPixel(x, y, alpha, true);
            for (int c = 0; c < 3; ++c) {
                const int under = (color >> (8 * c)) & 255;
                out.rgba.push_back(uint8_t(((premultiplied >> (8 * c)) & 255) + under * (255 - alpha) / 255));
            }
            out.rgba.push_back(255);
        }
    return out;
}

int LargestRgbaDifference(const RgbaImage& a, const RgbaImage& b) {
    if (a.rgba.size() != b.rgba.size()) return -1;
    int largest = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i) largest = std::max(largest, std::abs(a.rgba[i] - b.rgba[i]));
    return largest;
}

class Savers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick cannot be run from here";
        PaintSource(source_);
        folder_ = TempFileName(L"_saves\\");
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::wstring& name : ListNames(folder_)) {
            ::SetFileAttributesW((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW((folder_ + name).c_str());
            ::RemoveDirectoryW((folder_ + name).c_str());
        }
        ::RemoveDirectoryW(folder_.c_str());
    }
    std::wstring Path(const wchar_t* name) const { return folder_ + name; }

    c32bppDIB source_;
    std::wstring folder_;
};

}  // namespace

TEST_F(Savers, EachFileIsReadBackByImageMagickAndMatchesItsArray) {
    struct Case {
        const wchar_t* file;
        std::function<bool(c32bppDIB&, const std::wstring&)> saveFile;
        std::function<bool(c32bppDIB&, std::vector<uint8_t>&)> saveArray;
        int tolerance;  // against the reference below, per channel
        bool flattenedOnGreen;
    };
    const Case cases[] = {
        {L"kept.bmp", [](c32bppDIB& i, const std::wstring& f) { return i.SaveToFile_Bitmap(f, true, 0); },
         [](c32bppDIB& i, std::vector<uint8_t>& b) { return i.SaveToStream_Bitmap(b, true, 0); }, -1, false},
        {L"flat.bmp", [](c32bppDIB& i, const std::wstring& f) { return i.SaveToFile_Bitmap(f, false, 0x00FF00); },
         [](c32bppDIB& i, std::vector<uint8_t>& b) { return i.SaveToStream_Bitmap(b, false, 0x00FF00); }, 1, true},
        {L"picture.png", [](c32bppDIB& i, const std::wstring& f) { return i.SaveToFile_PNG(f); },
         [](c32bppDIB& i, std::vector<uint8_t>& b) { return i.SaveToStream_PNG(b); }, 1, false},
        {L"picture.gif", [](c32bppDIB& i, const std::wstring& f) { return i.SaveToFile_GIF(f, true, 100); },
         [](c32bppDIB& i, std::vector<uint8_t>& b) { return i.SaveToStream_GIF(b, true, 100); }, -2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.file));
        const std::wstring file = Path(c.file);
        ASSERT_TRUE(c.saveFile(source_, file));
        std::vector<uint8_t> array;
        ASSERT_TRUE(c.saveArray(source_, array));
        EXPECT_EQ(ReadFileBytes(file), array) << "the file holds what the array saver gives";
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->width, 37);
        if (c.flattenedOnGreen) {
            EXPECT_LE(LargestRgbaDifference(FlattenedOver(source_, 0x00FF00), *decoded), c.tolerance);
        } else if (c.tolerance >= 0) {
            EXPECT_LE(LargestDifference(source_, *decoded), c.tolerance);
        }
        // Every saved file loads back into the same picture through our own chain.
        c32bppDIB back;
        ASSERT_TRUE(back.LoadPicture_File(file));
        if (c.tolerance == -1) {  // the premultiplied 32-bit BMP: exactly the pixels, stated premultiplied
            EXPECT_EQ(back.ImageType(), 7);
            EXPECT_EQ(std::vector<uint8_t>(back.BitsPointer(), back.BitsPointer() + 37 * 23 * 4),
                      std::vector<uint8_t>(source_.BitsPointer(), source_.BitsPointer() + 37 * 23 * 4));
        }
        if (c.tolerance == -2) {  // GIF: the transparent block stays transparent, the rest keeps its colours
            int32_t alpha = 0;
            EXPECT_EQ(back.GetPixel(30, 2, alpha), 0);
            EXPECT_EQ(alpha, 0);
            EXPECT_EQ(back.GetPixel(3, 3, alpha), source_.GetPixel(3, 3, alpha));
            EXPECT_EQ(alpha, 255);
        }
    }
}

TEST_F(Savers, JpegIsReadByImageMagickAndDjpeg) {
    const std::wstring file = Path(L"photo.jpg");
    ASSERT_TRUE(source_.SaveToFile_JPG(file, 100, 0x00FF00));
    EXPECT_EQ(RunUnixProgram({"djpeg", "-outfile", "/dev/null", UnixPath(file)}), 0);
    std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
    ASSERT_TRUE(decoded);
    // GDI+ under Wine ignores the quality: the picture's sharp colour steps lose some, the flat parts
    // stay, and the transparent block comes out in the fill colour.
    auto closeTo = [](const RgbaImage& image, int x, int y, std::array<int, 3> expected, int tolerance) {
        const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
        for (int c = 0; c < 3; ++c)
            if (std::abs(p[c] - expected[c]) > tolerance) return false;
        return true;
    };
    EXPECT_TRUE(closeTo(*decoded, 33, 3, {0, 255, 0}, 24)) << "a transparent pixel on the fill colour";
    EXPECT_TRUE(closeTo(*decoded, 2, 2, {0, 0, 128}, 24)) << "an opaque pixel";
    // The array saver flattens onto white; without an image it leaves the array alone.
    std::vector<uint8_t> array;
    ASSERT_TRUE(source_.SaveToStream_JPG(array, 90));
    ASSERT_TRUE(WriteFileBytes(Path(L"stream.jpg"), array));
    EXPECT_EQ(RunUnixProgram({"djpeg", "-outfile", "/dev/null", UnixPath(Path(L"stream.jpg"))}), 0);
    decoded = DecodeWithImageMagick(Path(L"stream.jpg"));
    ASSERT_TRUE(decoded);
    const uint8_t* corner = &decoded->rgba[(2 * 37 + 33) * 4];
    EXPECT_GE(std::min({corner[0], corner[1], corner[2]}), 240) << "a transparent pixel on white";
    std::vector<uint8_t> untouched{1, 2, 3};
    EXPECT_FALSE(c32bppDIB().SaveToStream_JPG(untouched, 90));
    EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(Savers, TargaIsReadBackByImageMagickAndByTheLoadChain) {
    ASSERT_TRUE(source_.SaveToFile_TGA(Path(L"picture.tga"), true, false, false));
    std::optional<RgbaImage> decoded = DecodeWithImageMagick(Path(L"picture.tga"));
    ASSERT_TRUE(decoded);
    EXPECT_LE(LargestDifference(source_, *decoded), 1);
    std::vector<uint8_t> array;
    EXPECT_TRUE(source_.SaveToStream_TGA(array, true, false, false));
    EXPECT_EQ(ReadFileBytes(Path(L"picture.tga")), array);
    // The premultiplied form comes back byte for byte through the load chain's last reader.
    ASSERT_TRUE(source_.SaveToFile_TGA(Path(L"kept.tga"), true, false, true));
    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_File(Path(L"kept.tga")));
    EXPECT_EQ(back.ImageType(), 128);
    EXPECT_EQ(back.Alpha(), 2);
    EXPECT_EQ(std::vector<uint8_t>(back.BitsPointer(), back.BitsPointer() + 37 * 23 * 4),
              std::vector<uint8_t>(source_.BitsPointer(), source_.BitsPointer() + 37 * 23 * 4));
    // Bytes the reader refuses leave the image as it was.
    const std::vector<uint8_t> junk(40, 0x55);
    EXPECT_FALSE(cTGAparser().LoadStream(junk, back, 0, 40));
    EXPECT_EQ(back.ImageType(), 128);
    EXPECT_EQ(back.Width(), 37);
    // No image: nothing written.
    EXPECT_FALSE(c32bppDIB().SaveToFile_TGA(Path(L"none.tga")));
    EXPECT_FALSE(bas32bppDIBParsers::PathExists(Path(L"none.tga")));
}

// The registration image_save_own_jpeg_test runs this with GDI+ disabled ("gdiplus="), so that the
// suite's own writer saves, at the quality asked.
TEST_F(Savers, JpegWithoutGdiPlusComesFromTheOwnWriter) {
    if (HMODULE gdiplus = ::LoadLibraryW(L"gdiplus.dll")) {
        ::FreeLibrary(gdiplus);
        GTEST_SKIP() << "GDI+ is present here; image_save_own_jpeg_test runs this case without it";
    }
    size_t previousSize = 0;
    for (int quality : {30, 75, 100}) {
        SCOPED_TRACE(quality);
        const std::wstring file = Path((L"own" + std::to_wstring(quality) + L".jpg").c_str());
        ASSERT_TRUE(source_.SaveToFile_JPG(file, quality, 0x00FF00));
        EXPECT_EQ(RunUnixProgram({"djpeg", "-outfile", "/dev/null", UnixPath(file)}), 0);
        const std::vector<uint8_t> bytes = ReadFileBytes(file);
        EXPECT_GT(bytes.size(), previousSize);
        previousSize = bytes.size();
        // The file's quantization tables are those of the quality asked.
        std::array<codecs::jpeg::QuantSlot, 4> slots{};
        ASSERT_EQ(codecs::jpeg::SetQuality(uint8_t(quality), 8, slots), codecs::CodecResult::Ok);
        for (int t = 0; t < 2; ++t) {
            std::vector<uint8_t> expected{0xFF, 0xDB, 0x00, 0x43, uint8_t(t)};
            for (uint16_t v : slots[t].values) expected.push_back(uint8_t(v));
            EXPECT_NE(std::search(bytes.begin(), bytes.end(), expected.begin(), expected.end()), bytes.end()) << t;
        }
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        if (quality == 100) EXPECT_LE(LargestRgbaDifference(FlattenedOver(source_, 0x00FF00), *decoded), 12);
    }
    // Quality 0 and out-of-range qualities give False before any file is touched; an existing
    // file stays as it was.
    EXPECT_FALSE(source_.SaveToFile_JPG(Path(L"zero.jpg"), 0, 0));
    EXPECT_FALSE(source_.SaveToFile_JPG(Path(L"high.jpg"), 256, 0));
    EXPECT_FALSE(bas32bppDIBParsers::PathExists(Path(L"zero.jpg")));
    EXPECT_FALSE(bas32bppDIBParsers::PathExists(Path(L"high.jpg")));
    const std::vector<uint8_t> old{'o', 'l', 'd'};
    ASSERT_TRUE(WriteFileBytes(Path(L"old.jpg"), old));
    EXPECT_FALSE(source_.SaveToFile_JPG(Path(L"old.jpg"), 0, 0));
    EXPECT_EQ(ReadFileBytes(Path(L"old.jpg")), old);
}

TEST_F(Savers, AnExistingFileIsReplacedOnlyByACompleteNewOne) {
    const std::vector<uint8_t> old{'o', 'l', 'd'};
    const std::wstring file = Path(L"target.png");
    ASSERT_TRUE(WriteFileBytes(file, old));

    EXPECT_FALSE(source_.SaveToFile_PNG(file, true)) << "the question's default answer is No";
    EXPECT_EQ(ReadFileBytes(file), old);

    // A GIF wider than its format allows fails before anything is written.
    c32bppDIB tooWide;
    ASSERT_TRUE(tooWide.InitializeDIB(70000, 1));
    EXPECT_FALSE(tooWide.SaveToFile_GIF(file));
    EXPECT_EQ(ReadFileBytes(file), old);

    // A read-only file is made normal and replaced.
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(source_.SaveToFile_PNG(file, false));
    EXPECT_EQ(ReadFileBytes(file)[1], 'P');
    EXPECT_FALSE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);

    // A folder in the file's place: nothing replaces it and nothing is left beside it.
    const std::wstring folder = Path(L"folder.bmp");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(source_.SaveToFile_Bitmap(folder));
    EXPECT_FALSE(source_.SaveToFile_PNG(folder));
    EXPECT_TRUE(IsFolder(folder));

    std::vector<std::wstring> names = ListNames(folder_);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"folder.bmp", L"target.png"})) << "no temporary file stays";

    EXPECT_FALSE(source_.SaveToFile_PNG(L""));
    EXPECT_FALSE(c32bppDIB().SaveToFile_PNG(Path(L"none.png"))) << "no image";
    EXPECT_TRUE(source_.SaveToFile_Bitmap(Path(L"new.bmp"), false, 0, true)) << "asking matters only over a file";
}

TEST_F(Savers, WholeFileWriterKeepsTheOldFileWhenTheReplaceFails) {
    const std::wstring file = Path(L"held.bin");
    const std::vector<uint8_t> old{1, 2, 3, 4};
    ASSERT_TRUE(WriteFileBytes(file, old));
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // Held open without leave to delete or rename it.
    HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const bool replaced = codecs::WriteWholeFile(file, std::vector<uint8_t>{9, 9});
    ::CloseHandle(held);
    if (replaced) GTEST_SKIP() << "this system lets an open file be replaced";
    EXPECT_EQ(ReadFileBytes(file), old);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        << "its attributes are given back";
    EXPECT_EQ(ListNames(folder_), (std::vector<std::wstring>{L"held.bin"}));
}

TEST_F(Savers, PngPropertiesWithoutAndWithAKeptWriter) {
    struct Expected {
        int32_t id;
        VARTYPE type;
    };
    for (Expected e : {Expected{4096, VT_I4}, Expected{2048, VT_DATE}, Expected{1, VT_BSTR}, Expected{8192, VT_BSTR}}) {
        VARIANT value;
        ::VariantInit(&value);
        value.vt = VT_UI1;  // to see that it is written
        source_.PngPropertyGet(e.id, L"", &value);
        ASSERT_EQ(value.vt, e.type) << e.id;
        if (e.type == VT_I4) {
            EXPECT_EQ(value.lVal, -1);
        } else if (e.type == VT_DATE) {
            EXPECT_EQ(value.date, 0.0);
        } else {
            EXPECT_EQ(::SysStringLen(value.bstrVal), 0u);
        }
        ::VariantClear(&value);
    }
    EXPECT_FALSE(source_.PngPropertySet(1)) << "nothing to remove without a kept writer";
    EXPECT_TRUE(source_.PngPropertySet(-1));

    VARIANT title;
    ::VariantInit(&title);
    title.vt = VT_BSTR;
    title.bstrVal = ::SysAllocString(L"Title text");
    EXPECT_TRUE(source_.PngPropertySet(1, &title));
    ::VariantClear(&title);
    // With a property kept the own writer goes first.
    ASSERT_TRUE(source_.SaveToFile_PNG(Path(L"titled.png")));
    const std::vector<uint8_t> png = ReadFileBytes(Path(L"titled.png"));
    const std::string text(png.begin(), png.end());
    EXPECT_NE(text.find(std::string("tEXtTitle\0Title text", 20)), std::string::npos) << "the text chunk is written";
    EXPECT_TRUE(source_.PngPropertySet(-1)) << "forgets them all";
}

// The chunks a PNG holds, type and data, in file order.
std::vector<std::pair<std::string, std::string>> PngChunks(const std::vector<uint8_t>& png) {
    std::vector<std::pair<std::string, std::string>> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
        chunks.emplace_back(std::string(png.begin() + at + 4, png.begin() + at + 8),
                            std::string(png.begin() + at + 8, png.begin() + at + 8 + length));
        at += length + 12;
    }
    return chunks;
}

TEST_F(Savers, PngPropertyValuesBecomeChunks) {
    auto text = [](const wchar_t* value) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(value);
        return v;
    };
    auto number = [](int32_t value) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        return v;
    };
    VARIANT date;
    ::VariantInit(&date);
    date.vt = VT_DATE;
    SYSTEMTIME when{2026, 12, 4, 10, 23, 58, 7, 0};
    ASSERT_TRUE(::SystemTimeToVariantTime(&when, &date.date));
    VARIANT null;
    ::VariantInit(&null);
    null.vt = VT_NULL;
    VARIANT mode = text(L"6"), badMode = text(L"six"), notADate = text(L"not a date"), comment = text(L"line\r\nnext");
    VARIANT background = number(int32_t(0x7F0000FF)), longText = text(std::wstring(1500, L'x').c_str()),
            author = text(L"Someone");
    struct Case {
        int32_t id;
        VARIANT* value;
        const wchar_t* keyword;
        bool stored;
    };
    const Case cases[] = {
        {8192, &mode, L"", true},        {8192, &badMode, L"", false}, {4096, &background, L"", true},
        {2048, &date, L"", true},        {2048, &notADate, L"", false}, {4, &comment, L"", true},
        {1024, &longText, L"Long", true}, {1024, &author, L"  author ", true}, {1024, &author, L"bad\tword", false},
        {1024, &null, L"Other", false},  {3, &author, L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(source_.PngPropertySet(c.id, c.value, c.keyword), c.stored) << c.id;
    VARIANT got;
    ::VariantInit(&got);
    source_.PngPropertyGet(4096, L"", &got);
    EXPECT_EQ(got.vt, VT_I4);
    EXPECT_EQ(got.lVal, 0x0000FF) << "the top byte is cleared";
    source_.PngPropertyGet(8192, L"", &got);
    EXPECT_EQ(got.lVal, 6);
    source_.PngPropertyGet(2048, L"", &got);
    ASSERT_EQ(got.vt, VT_DATE);
    EXPECT_NEAR(got.date, date.date, 1e-5);
    source_.PngPropertyGet(1024, L"long", &got);
    ASSERT_EQ(got.vt, VT_BSTR);
    EXPECT_EQ(::SysStringLen(got.bstrVal), 1500u) << "custom keywords are read ignoring case";
    ::VariantClear(&got);
    source_.PngPropertyGet(2, L"", &got);
    EXPECT_EQ(std::wstring(got.bstrVal), L"Someone") << "the keyword author is the standard Author";
    ::VariantClear(&got);

    std::vector<uint8_t> png;
    ASSERT_TRUE(source_.SaveToStream_PNG(png));
    std::string types;
    std::map<std::string, std::string> data;
    for (const auto& [type, bytes] : PngChunks(png)) {
        types += type + " ";
        data.emplace(type + (type == "tEXt" ? bytes.substr(0, 4) : ""), bytes);
    }
    EXPECT_EQ(types.substr(0, 10), "IHDR tEXt ") << types;
    EXPECT_NE(types.find("IDAT tIME tEXt zTXt IEND"), std::string::npos) << types;
    EXPECT_EQ(data["tEXtAuth"], std::string("Author\0Someone", 14));
    EXPECT_EQ(data["tEXtDesc"], std::string("Description\0line\nnext", 21)) << "CR LF becomes LF";
    EXPECT_EQ(data["tIME"], std::string("\x07\xEA\x0C\x0A\x17\x3A\x07", 7));
    EXPECT_EQ(data["bKGD"].size() == 1 || data["bKGD"].size() == 6, true) << "bKGD for palette or true colour";
    EXPECT_EQ(data["zTXt"].substr(0, 6), std::string("Long\0\0", 6));
    std::optional<RgbaImage> decoded = DecodeWithImageMagick([&] {
        const std::wstring file = Path(L"properties.png");
        WriteFileBytes(file, png);
        return file;
    }());
    ASSERT_TRUE(decoded) << "ImageMagick reads it";
    EXPECT_LE(LargestDifference(source_, *decoded), 1);
    for (VARIANT* v : {&mode, &badMode, &notADate, &comment, &background, &longText, &author}) ::VariantClear(v);
    EXPECT_TRUE(source_.PngPropertySet(-1));
}

TEST_F(Savers, GdiPlusBitmapSaverChoosesTheEncoderByTheLastFourCharacters) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 5, 4);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    struct Case {
        const wchar_t* name;
        const char* magic;  // the file's first bytes; nullptr: refused
    };
    const Case cases[] = {
        {L"a.png", "\x89PNG"}, {L"a.gif", "GIF8"},   {L"a.jpg", "\xFF\xD8\xFF"}, {L"b.JPG", "\xFF\xD8\xFF"},
        {L"a.tif", "II*"},     {L"a.bmp", "BM"},     {L"a.jpeg", nullptr},        {L"a.tiff", nullptr},
        {L"a.pcx", nullptr},
    };
    clsSaveBitmapAs saver;
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        const std::wstring file = Path(c.name);
        EXPECT_EQ(saver.SavePictureFromHDC(bitmap, file), c.magic != nullptr);
        if (!c.magic) {
            EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
            continue;
        }
        const std::vector<uint8_t> saved = ReadFileBytes(file);
        ASSERT_GT(saved.size(), 4u);
        EXPECT_EQ(std::string(saved.begin(), saved.begin() + std::string(c.magic).size()), c.magic);
        // Wine's GIF encoder writes no pixels for a bitmap that is not indexed.
        if (std::string(c.magic) == "GIF8") continue;
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, 5);
    }
    EXPECT_FALSE(saver.SavePictureFromHDC(bitmap, L"ab")) << "shorter than four characters";
    EXPECT_FALSE(saver.SavePictureFromHDC(nullptr, Path(L"none.png")));
    ::DeleteObject(bitmap);
}

// The GDI+ bitmap saver writes ".jpg" with a quality of 100. Read back beside the own writer's
// save at 100 of the same opaque picture: both show it. Where the platform's encoder honours the
// quality, the saver's file carries the quantization tables of 100 (all ones), as the own one
// does; Wine's encoder ignores the quality, and there only the picture is compared.
TEST_F(Savers, GdiPlusBitmapSaverJpegBesideOwnSaveAtQuality100) {
    c32bppDIB picture;
    ASSERT_TRUE(picture.InitializeDIB(64, 48));
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x) picture.SetPixel(x, y, RGB(x * 4, y * 5, 128 + x - y), 255, false);
    picture.Alpha(0);

    const std::wstring viaGdiPlus = Path(L"saver.jpg"), own = Path(L"own.jpg");
    ASSERT_TRUE(clsSaveBitmapAs().SavePictureFromHDC(picture.Handle(), viaGdiPlus));
    std::vector<uint8_t> unused;
    ASSERT_TRUE(cJPGWriter().SaveJPG(own, unused, picture, 100, 0xFFFFFF));
    const std::vector<uint8_t> saverBytes = ReadFileBytes(viaGdiPlus), ownBytes = ReadFileBytes(own);
    ASSERT_GT(saverBytes.size(), 3u);
    EXPECT_EQ(std::vector<uint8_t>(saverBytes.begin(), saverBytes.begin() + 3), (std::vector<uint8_t>{0xFF, 0xD8, 0xFF}));

    for (const std::wstring& file : {viaGdiPlus, own}) {
        SCOPED_TRACE(Utf8(file));
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->width, 64);
        ASSERT_EQ(decoded->height, 48);
        EXPECT_GE(Psnr(picture, *decoded), file == own ? 45.0 : 32.0);
    }

    // The luminance table at quality 100: table 0, 64 ones.
    std::vector<uint8_t> ones{0x00};
    ones.insert(ones.end(), 64, 1);
    ASSERT_NE(std::search(ownBytes.begin(), ownBytes.end(), ones.begin(), ones.end()), ownBytes.end());
    std::vector<uint8_t> at30, at100;
    cGDIPlus gdip;
    ASSERT_TRUE(gdip.SaveToJPG(L"", at30, picture, 30, 0xFFFFFF, 0));
    ASSERT_TRUE(gdip.SaveToJPG(L"", at100, picture, 100, 0xFFFFFF, 0));
    if (at30 == at100) {
        std::printf("[ NOTE ] the platform's JPEG encoder ignores the quality: tables not compared\n");
    } else {
        EXPECT_NE(std::search(saverBytes.begin(), saverBytes.end(), ones.begin(), ones.end()), saverBytes.end())
            << "the saver's file carries the tables of quality 100";
    }
}
