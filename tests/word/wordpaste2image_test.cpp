// "wordpaste2image" from the page's side: this process puts pictures on the clipboard the way
// Office and other programs do, the core (over COM) saves the one its order of preference picks,
// and ImageMagick reads the saved PNG's pixels back.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/local_servers.h"
#include "support/flat_json.h"
#include "support/imagemagick.h"
#include "support/temp_root.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::vector<uint8_t> PngOf(const char* colour) {
    const std::wstring file = TempFileName(L".png");
    if (!MakeWithImageMagick({"-size", "6x4", std::string("xc:") + colour}, file, "png32:")) return {};
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    ::DeleteFileW(file.c_str());
    return bytes;
}

HGLOBAL Global(const void* data, size_t size) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
        memcpy(::GlobalLock(memory), data, size);
        ::GlobalUnlock(memory);
    }
    return memory;
}

// A 6x4 24-bit DIB of one colour.
HGLOBAL DibOf(Rgb colour) {
    const int width = 6, height = 4, stride = 20;
    std::vector<uint8_t> bytes(sizeof(BITMAPINFOHEADER) + stride * height, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = bytes.data() + sizeof(BITMAPINFOHEADER) + y * stride + x * 3;
            p[0] = colour.b;
            p[1] = colour.g;
            p[2] = colour.r;
        }
    return Global(bytes.data(), bytes.size());
}

// A metafile that fills 60x40 units with one colour.
HENHMETAFILE EmfOf(Rgb colour) {
    RECT frame{0, 0, 1587, 1058};  // 0.01 mm: 60x40 pixels at 96 dpi
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB(colour.r, colour.g, colour.b));
    RECT area{0, 0, 60, 40};
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
    return ::CloseEnhMetaFile(dc);
}

HGLOBAL MetafilePictOf(Rgb colour) {
    HDC dc = ::CreateMetaFileW(nullptr);
    ::SetWindowExtEx(dc, 60, 40, nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB(colour.r, colour.g, colour.b));
    RECT area{0, 0, 60, 40};
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
    METAFILEPICT picture{MM_ANISOTROPIC, 1587, 1058, ::CloseMetaFile(dc)};
    return Global(&picture, sizeof(picture));
}

struct Entry {
    UINT format;     // standard format, or 0 with a name
    std::wstring name;
    HANDLE data;
};

bool PutOnClipboard(const std::vector<Entry>& entries) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    bool ok = true;
    for (const Entry& e : entries) {
        const UINT id = e.format ? e.format : ::RegisterClipboardFormatW(e.name.c_str());
        ok = ::SetClipboardData(id, e.data) != nullptr && ok;
    }
    ::CloseClipboard();
    return ok;
}

Entry Named(const wchar_t* name, const std::vector<uint8_t>& bytes) {
    return {0, name, Global(bytes.data(), bytes.size())};
}

Entry Text(const wchar_t* text) {
    return {CF_UNICODETEXT, L"", Global(text, (wcslen(text) + 1) * sizeof(wchar_t))};
}

std::optional<Rgb> CentreOf(const std::wstring& file) {
    std::optional<RgbaImage> image = DecodeWithImageMagick(file);
    if (!image || image->width == 0) return std::nullopt;
    const size_t at = (size_t(image->height / 2) * image->width + image->width / 2) * 4;
    return Rgb{image->rgba[at], image->rgba[at + 1], image->rgba[at + 2]};
}

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 128, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kCyan{0, 255, 255};

class WordPaste2Image : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick is not reachable from here";
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        red_ = PngOf("red");
        green_ = PngOf("green");
        ASSERT_FALSE(red_.empty() || green_.empty());
    }

    void TearDown() override {
        core_.Reset();
        // The next test's client must not reach a core on its way out, and none may outlive the test.
        EXPECT_TRUE(EndLocalServers({L"QuorallionCore2.exe"}).empty()) << "the core had to be terminated";
    }

    // The reply's image path (checked to lie in the job folder), or "" for none.
    std::wstring Paste(const std::wstring& options) {
        const std::wstring raw = core_.Core(L"wordpaste2image", options);
        std::optional<Members> members = StrictJson::ParseFlatObject(raw);
        EXPECT_TRUE(members) << ::testing::PrintToString(raw);
        if (!members) return L"<bad reply>";
        EXPECT_EQ(Member(*members, L"state").value_or(L""), L"ok") << ::testing::PrintToString(raw);
        const std::wstring image = Member(*members, L"image").value_or(L"<none>");
        const std::wstring folder = ClientTempRoot() + Member(*members, L"actkey").value_or(L"?") + L"\\";
        if (!image.empty()) {
            EXPECT_EQ(image.substr(0, folder.size()), folder);
            EXPECT_EQ(image.size(), folder.size() + 21);  // time stamp and ".png"
        }
        return image;
    }
    void ExpectColour(const std::wstring& options, Rgb colour) {
        const std::wstring image = Paste(options);
        ASSERT_FALSE(image.empty()) << ::testing::PrintToString(options);
        const std::optional<Rgb> centre = CentreOf(image);
        ASSERT_TRUE(centre) << ::testing::PrintToString(image);
        EXPECT_TRUE(*centre == colour) << ::testing::PrintToString(options) << " got " << int(centre->r) << ","
                                       << int(centre->g) << "," << int(centre->b);
    }

    ComApartment apartment_;
    DispatchClient core_;
    std::vector<uint8_t> red_, green_;
};

TEST_F(WordPaste2Image, OfficesThreeFormatsUnderEachPreference) {
    const struct {
        const wchar_t* options;
        Rgb colour;
    } cases[] = {{L"", kRed}, {L"priorformat:bmp", kBlue}, {L"priorformat:png", kGreen}, {L"priorformat:gif", kRed}};
    for (const auto& c : cases) {
        ASSERT_TRUE(PutOnClipboard({Named(L"PNG+Office Art", red_), Named(L"PNG", green_), {CF_DIB, L"", DibOf(kBlue)}}));
        ExpectColour(c.options, c.colour);
    }
}

TEST_F(WordPaste2Image, BitmapBeforePngUnlessPngIsPreferred) {
    ASSERT_TRUE(PutOnClipboard({Named(L"PNG", green_), {CF_DIB, L"", DibOf(kBlue)}}));
    ExpectColour(L"", kBlue);
    ExpectColour(L"priorformat:png", kGreen);
    // No bitmap: the preference falls through to the standard order.
    ASSERT_TRUE(PutOnClipboard({Named(L"PNG+Office Art", red_), Named(L"PNG", green_)}));
    ExpectColour(L"priorformat:bmp", kRed);
}

TEST_F(WordPaste2Image, MetafilesAreDrawn) {
    ASSERT_TRUE(PutOnClipboard({{CF_ENHMETAFILE, L"", EmfOf(kYellow)}}));
    ExpectColour(L"", kYellow);
    // A metafile picture alone reaches the bitmap saver drawn into a bitmap.
    ASSERT_TRUE(PutOnClipboard({{CF_METAFILEPICT, L"", MetafilePictOf(kCyan)}}));
    ExpectColour(L"", kCyan);
}

TEST_F(WordPaste2Image, NoPictureGivesAnEmptyPathAndSuccess) {
    ASSERT_TRUE(PutOnClipboard({Text(L"only text")}));
    EXPECT_EQ(Paste(L""), L"");
    // Bytes that are no picture save nothing.
    ASSERT_TRUE(PutOnClipboard({Named(L"PNG+Office Art", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})}));
    EXPECT_EQ(Paste(L""), L"");
    ASSERT_TRUE(PutOnClipboard({}));
    EXPECT_EQ(Paste(L"garbage;;::"), L"");
}

}  // namespace
