// "gcbimage" from the page's side: this process puts bitmaps on the clipboard as other programs
// do, asks QuorallionCore2 over COM, and ImageMagick decodes the PNG that comes back.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include "clipboard_fill.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/imagemagick.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";

std::vector<uint8_t> FromBase64(const std::wstring& text) {
    DWORD size = 0;
    if (!::CryptStringToBinaryW(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<uint8_t> bytes(size);
    ::CryptStringToBinaryW(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr);
    bytes.resize(size);
    return bytes;
}

// Straight pixels premultiplied the image object's way (channel x alpha / 255, truncated).
RgbaImage Premultiplied(RgbaImage image) {
    for (size_t i = 0; i < image.rgba.size(); i += 4)
        for (int c = 0; c < 3; ++c) image.rgba[i + c] = uint8_t(image.rgba[i + c] * image.rgba[i + 3] / 255);
    return image;
}

int LargestDifference(const RgbaImage& a, const RgbaImage& b) {
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size()) return -1;
    int largest = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i) largest = std::max(largest, std::abs(a.rgba[i] - b.rgba[i]));
    return largest;
}

// A 32-bit device-independent bitmap block of straight pixels given top-down.
std::string Dib32(const RgbaImage& image) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
            const char bgra[4] = {char(p[2]), char(p[1]), char(p[0]), char(p[3])};
            block.append(bgra, 4);
        }
    return block;
}

class ClipboardImage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick cannot be run from here";
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        ASSERT_TRUE(EmptyTheClipboard());
    }
    void TearDown() override { EmptyTheClipboard(); }

    // The reply's image decoded by ImageMagick, after checking the reply's shape.
    std::optional<RgbaImage> ImageOfReply() {
        std::optional<Members> members = StrictJson::ParseFlatObject(core_.Core(L"gcbimage"));
        EXPECT_TRUE(members);
        if (!members) return std::nullopt;
        EXPECT_EQ(Member(*members, L"state"), L"ok");
        const std::vector<uint8_t> png = FromBase64(Member(*members, L"image").value_or(L""));
        if (png.size() < 8 || png[1] != 'P') return std::nullopt;
        const std::wstring file = TempFileName(L".png");
        WriteFileBytes(file, png);
        std::optional<RgbaImage> decoded = DecodeWithImageMagick(file);
        ::DeleteFileW(file.c_str());
        return decoded;
    }

    ComApartment apartment_;
    DispatchClient core_;
};

}  // namespace

TEST_F(ClipboardImage, TwentyFourBitDibFromAnImageMagickBmp) {
    const std::wstring bmp = TempFileName(L".bmp");
    ASSERT_TRUE(MakeWithImageMagick({"-size", "37x23", "gradient:red-blue", "-fill", "yellow", "-draw",
                                     "circle 18,11 18,3", "-type", "truecolor"}, bmp, "bmp3:"));
    const std::vector<uint8_t> file = ReadFileBytes(bmp);
    std::optional<RgbaImage> source = DecodeWithImageMagick(bmp);
    ::DeleteFileW(bmp.c_str());
    ASSERT_TRUE(source);
    ASSERT_TRUE(FillClipboard({{CF_DIB, std::string(file.begin() + 14, file.end())}}));

    std::optional<RgbaImage> png = ImageOfReply();
    ASSERT_TRUE(png);
    EXPECT_LE(LargestDifference(*png, *source), 0);
    EXPECT_EQ(Keys(*StrictJson::ParseFlatObject(core_.Core(L"gcbformat"))),
              (std::vector<std::wstring>{L"image", L"state"}));
}

TEST_F(ClipboardImage, ThirtyTwoBitDibWithPartialAlpha) {
    // Straight colours, alpha falling from the top, several colours above their alpha.
    RgbaImage source{40, 30, {}};
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            source.rgba.insert(source.rgba.end(), {uint8_t(x * 6), uint8_t(255 - y * 8), 200, uint8_t(255 - y * 8)});
    ASSERT_TRUE(FillClipboard({{CF_DIB, Dib32(source)}}));
    std::optional<RgbaImage> png = ImageOfReply();
    ASSERT_TRUE(png);
    EXPECT_LE(LargestDifference(Premultiplied(*png), Premultiplied(source)), 1);
}

TEST_F(ClipboardImage, BitmapDrawnWithGdi) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 31, 17);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 31, 17};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HBRUSH red = ::CreateSolidBrush(RGB(220, 20, 60));
    HGDIOBJ previousBrush = ::SelectObject(dc, red);
    ::Ellipse(dc, 3, 2, 25, 15);
    ::SelectObject(dc, previousBrush);
    ::DeleteObject(red);
    ::SelectObject(dc, previous);
    // The reference: the bitmap's own pixels, read back by the platform.
    RgbaImage source{31, 17, std::vector<uint8_t>(31 * 17 * 4)};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 31;
    info.bmiHeader.biHeight = -17;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    ASSERT_EQ(::GetDIBits(dc, bitmap, 0, 17, source.rgba.data(), &info, DIB_RGB_COLORS), 17);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < source.rgba.size(); i += 4) {
        std::swap(source.rgba[i], source.rgba[i + 2]);
        source.rgba[i + 3] = 255;
    }
    ASSERT_TRUE(OpenClipboardPatiently());
    ::EmptyClipboard();
    ASSERT_NE(::SetClipboardData(CF_BITMAP, bitmap), nullptr);
    ::CloseClipboard();

    std::optional<RgbaImage> png = ImageOfReply();
    ASSERT_TRUE(png);
    EXPECT_EQ(LargestDifference(*png, source), 0);
}

TEST_F(ClipboardImage, MetafileAloneGivesNoImage) {
    RECT frame{0, 0, 1000, 1000};
    HDC recorder = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    ::Rectangle(recorder, 0, 0, 20, 20);
    ASSERT_TRUE(OpenClipboardPatiently());
    ::EmptyClipboard();
    ASSERT_NE(::SetClipboardData(CF_ENHMETAFILE, ::CloseEnhMetaFile(recorder)), nullptr);
    ::CloseClipboard();
    // The report counts the metafile as an image...
    EXPECT_EQ(core_.Core(L"gcbformat"), L"{\"image\":\"1\",\"state\":\"ok\"}");
    // ...but there is no bitmap to make a PNG of: the image comes back empty, image key first.
    EXPECT_EQ(core_.Core(L"gcbimage"), L"{\"image\":\"\",\"state\":\"ok\"}");
}
