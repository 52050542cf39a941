// The image object's size, layout and effect operations over real DIB sections and device
// contexts: the roads of Resize, trimming, tiling into a DC, the exchange of pixel blocks, the
// effects' bookkeeping, the drop shadow and text.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "c32bppDIB.h"

using quorallion::c32bppDIB;

namespace {

// A picture where every pixel differs: blue x * 9, green y * 9, red 200; alpha 255 except a
// half-transparent last row.
void Paint(c32bppDIB& image, int32_t width, int32_t height) {
    ASSERT_TRUE(image.InitializeDIB(width, height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.SetPixel(x, y, RGB(200, y * 9, x * 9), y == height - 1 ? 128 : 255, false);
    image.Alpha(2);
}

uint32_t Raw(const c32bppDIB& image, int32_t x, int32_t y) {
    uint32_t value;
    std::memcpy(&value, image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + x * 4, 4);
    return value;
}

std::vector<uint8_t> Bytes(const c32bppDIB& image) {
    return std::vector<uint8_t>(image.BitsPointer(), image.BitsPointer() + size_t(image.scanWidth()) * image.Height());
}

struct Road {
    const char* name;
    bool gdiPlus;
    bool highQuality;
    bool alphaBlendFriendly;
};
const Road kRoads[] = {
    {"GDI+ at high quality", true, true, true},
    {"own scaling, bilinear", false, true, true},
    {"own scaling, nearest", false, false, false},
    {"drawn by Render, own road", false, false, true},
    {"drawn by Render, GDI+ nearest", true, false, true},
};

void Configure(c32bppDIB& image, const Road& road) {
    image.isGDIplusEnabled(road.gdiPlus);
    image.HighQualityInterpolation(road.highQuality);
    image.isAlphaBlendFriendly(road.alphaBlendFriendly);
}

}  // namespace

TEST(Resize, EveryRoadKeepsMirrorsAndScales) {
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        c32bppDIB image;
        Configure(image, road);
        Paint(image, 8, 6);
        image.SetOriginalFormatBytes({7, 7, 7});
        image.ImageType(6);
        const std::vector<uint8_t> original = Bytes(image);
        const HBITMAP block = image.Handle();

        EXPECT_TRUE(image.Resize(0, 0));
        EXPECT_TRUE(image.Resize(8, 6));
        EXPECT_EQ(image.Handle(), block) << "the same block stays";

        // A size that cannot be made keeps the image.
        EXPECT_FALSE(image.Resize(70000, 70000));
        EXPECT_EQ(image.Handle(), block);
        EXPECT_EQ(Bytes(image), original);

        // The negative width of the same magnitude mirrors left to right, exactly.
        ASSERT_TRUE(image.Resize(-8, 6));
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                uint32_t expected;
                std::memcpy(&expected, &original[size_t(5 - y) * 32 + size_t(7 - x) * 4], 4);
                ASSERT_EQ(Raw(image, x, y), expected) << x << "," << y;
            }
        EXPECT_EQ(image.ImageType(), 6) << "kept across the resize";
        EXPECT_EQ(image.Alpha(), 2);
        std::vector<uint8_t> kept;
        ASSERT_TRUE(image.GetOrginalFormat(kept));
        EXPECT_EQ(kept, (std::vector<uint8_t>{7, 7, 7}));

        // Another magnitude scales, then mirrors: the mirrored image's left column is the source's
        // right side.
        ASSERT_TRUE(image.Resize(-8, 6));  // back
        ASSERT_TRUE(image.Resize(-16, 3));
        EXPECT_EQ(image.Width(), 16);
        EXPECT_EQ(image.Height(), 3);
        int32_t alpha = 0;
        const int32_t left = image.GetPixel(0, 0, alpha, true), right = image.GetPixel(15, 0, alpha, true);
        EXPECT_GT((left >> 16) & 255, (right >> 16) & 255) << "blue grows to the left now";
    }
}

TEST(Resize, UniformPixelsStayUniformAtHalfAndDoubleSize) {
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        c32bppDIB image;
        Configure(image, road);
        ASSERT_TRUE(image.InitializeDIB(12, 10));
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 12; ++x) image.SetPixel(x, y, RGB(30, 60, 90), 200, false);
        const uint32_t pixel = Raw(image, 0, 0);
        // GDI+ rounds a little on its way through straight colours; the own workers sample exactly.
        const int tolerance = road.gdiPlus ? 2 : 0;
        for (auto size : {std::pair{6, 5}, std::pair{24, 20}}) {
            ASSERT_TRUE(image.Resize(size.first, size.second));
            ASSERT_EQ(image.Width(), size.first);
            for (int32_t y = 0; y < image.Height(); ++y)
                for (int32_t x = 0; x < image.Width(); ++x) {
                    const uint8_t* p = image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + x * 4;
                    const uint8_t* q = reinterpret_cast<const uint8_t*>(&pixel);
                    for (int c = 0; c < 4; ++c)
                        ASSERT_LE(std::abs(p[c] - q[c]), tolerance) << size.first << " at " << x << "," << y << " byte " << c << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]) << " " << int(p[3]) << " want " << int(q[0]) << " " << int(q[1]) << " " << int(q[2]) << " " << int(q[3]);
                }
        }
    }
}

TEST(Trim, ReportsOrCutsAndKeepsTheImagesSettings) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(10, 8));
    image.SetPixel(2, 3, RGB(1, 2, 3), 255);
    image.SetPixel(6, 5, RGB(4, 5, 6), 255);
    image.ImageType(7);
    image.SetOriginalFormatBytes({1});
    int32_t x = -7, y = -7, width = -7, height = -7;
    EXPECT_FALSE(image.TrimImage(true, -1, x, y, width, height));
    EXPECT_EQ(x, -7) << "out values untouched";

    ASSERT_TRUE(image.TrimImage(false, 10, x, y, width, height));
    EXPECT_EQ((std::vector{x, y, width, height}), (std::vector{0, 3, 10, 3})) << "top and bottom only";
    EXPECT_EQ(image.Height(), 8) << "reported only";

    ASSERT_TRUE(image.TrimImage(true, 0, x, y, width, height));
    EXPECT_EQ((std::vector{x, y, width, height}), (std::vector{0, 0, 5, 3}));
    ASSERT_EQ(image.Width(), 5);
    ASSERT_EQ(image.Height(), 3);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(0, 0, alpha), RGB(1, 2, 3));
    EXPECT_EQ(image.GetPixel(4, 2, alpha), RGB(4, 5, 6));
    EXPECT_EQ(image.ImageType(), 7);
    std::vector<uint8_t> kept;
    EXPECT_TRUE(image.GetOrginalFormat(kept));

    c32bppDIB empty;
    ASSERT_TRUE(empty.InitializeDIB(4, 4));
    EXPECT_FALSE(empty.TrimImage(true, 15, x, y, width, height));
    EXPECT_EQ((std::vector{x, y, width, height}), (std::vector{0, 0, 0, 0}));
}

TEST(Tiling, IntoADeviceContext) {
    c32bppDIB tile;
    Paint(tile, 3, 2);
    tile.ImageType(1);
    for (int32_t x = 0; x < 3; ++x) tile.SetPixel(x, 1, RGB(9, 9, 9), 255);  // all opaque
    tile.Alpha(0);

    c32bppDIB target;
    ASSERT_TRUE(target.InitializeDIB(20, 6));
    target.ManageOwnDC(true);
    HDC dc = target.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);

    // One cell high: the tile repeats across the full width.
    ASSERT_TRUE(tile.TileImage(dc, 0, 0, 20, 2));
    ::GdiFlush();
    for (int32_t x = 0; x < 20; ++x)
        for (int32_t y = 0; y < 2; ++y) ASSERT_EQ(Raw(target, x, y), Raw(tile, x % 3, y)) << x << "," << y;
    EXPECT_EQ(Raw(target, 0, 2), 0u) << "nothing below the destination";

    // Every second tile mirrored, with a column gap of 1.
    target.EraseDIB();
    ASSERT_TRUE(tile.TileImage(dc, 0, 2, 20, 4, 0, 0, 1, 0, false, true));
    ::GdiFlush();
    for (int32_t x = 0; x < 20; ++x) {
        const int32_t cell = x / 4, inCell = x % 4;
        if (inCell == 3) {
            ASSERT_EQ(Raw(target, x, 2), 0u) << x << ": the gap";
            continue;
        }
        ASSERT_EQ(Raw(target, x, 2), Raw(tile, cell % 2 ? 2 - inCell : inCell, 0)) << x;
    }

    EXPECT_FALSE(tile.TileImage(nullptr, 0, 0, 5, 5));
    EXPECT_FALSE(tile.TileImage(dc, 0, 0, 0, 5));
    EXPECT_FALSE(c32bppDIB().TileImage(dc, 0, 0, 5, 5));
    target.LoadDIBinDC(false);
}

TEST(CheckerBoard, OnTheImage) {
    c32bppDIB image;
    EXPECT_FALSE(image.CreateCheckerBoard(4, 0, 0xFFFFFF));
    ASSERT_TRUE(image.InitializeDIB(9, 9));
    EXPECT_FALSE(image.CreateCheckerBoard(0, 0, 0xFFFFFF));
    ASSERT_TRUE(image.CreateCheckerBoard(4, 0x0000FF, 0xFFFFFF));
    EXPECT_EQ(image.ImageType(), 64);
    EXPECT_EQ(image.Alpha(), 0);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(0, 0, alpha), 0x0000FF);
    EXPECT_EQ(image.GetPixel(4, 0, alpha), 0xFFFFFF);
    EXPECT_EQ(image.GetPixel(8, 8, alpha), 0x0000FF);
}

TEST(SwapDIBs, ExchangesTheBlocksAndKeepsEachObjectsOwnSettings) {
    c32bppDIB first, second;
    Paint(first, 5, 3);
    Paint(second, 2, 7);
    first.Tag = std::string("first");
    second.Tag = 42;
    first.SetOriginalFormatBytes({1, 1});
    first.ImageType(6);
    second.ImageType(9);
    second.Alpha(1);
    first.ManageOwnDC(true);
    HDC dc = first.LoadDIBinDC(true);
    const HBITMAP secondBlock = second.Handle();

    first.SwapDIBs(&second);
    EXPECT_EQ(first.Width(), 2);
    EXPECT_EQ(second.Width(), 5);
    EXPECT_EQ(first.Handle(), secondBlock);
    EXPECT_EQ(first.ImageType(), 9);
    EXPECT_EQ(second.ImageType(), 6);
    EXPECT_EQ(first.Alpha(), 1);
    std::vector<uint8_t> kept;
    EXPECT_FALSE(first.GetOrginalFormat(kept)) << "the partner had none";
    EXPECT_TRUE(second.GetOrginalFormat(kept));
    EXPECT_EQ(std::any_cast<std::string>(first.Tag), "first");
    EXPECT_EQ(std::any_cast<int>(second.Tag), 42);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), first.Handle()) << "the new block is selected in the own DC";

    first.SwapDIBs(nullptr);
    first.SwapDIBs(&first);
    EXPECT_EQ(first.Width(), 2);
    first.LoadDIBinDC(false);
}

TEST(Effects, BookkeepingOfTypeAndAlpha) {
    c32bppDIB image;
    EXPECT_FALSE(image.MakeGrayScale(0));
    EXPECT_FALSE(image.MakeImageInverse());
    EXPECT_FALSE(image.MakeTransparent(0));
    EXPECT_FALSE(image.MirrorImage(true, true));
    EXPECT_FALSE(image.MakeLighterDarker(10));
    EXPECT_FALSE(image.BlendToColor(0, 50));
    EXPECT_EQ(image.CreateDropShadow(2), nullptr);

    ASSERT_TRUE(image.InitializeDIB(4, 2));
    for (int32_t x = 0; x < 4; ++x)
        for (int32_t y = 0; y < 2; ++y) image.SetPixel(x, y, 0xFFFFFF, 255);
    image.ImageType(1);
    image.Alpha(0);
    ASSERT_TRUE(image.MakeTransparent(0xFFFFFE));
    EXPECT_EQ(image.Alpha(), 0) << "white is not 0xFFFFFE";
    image.SetPixel(1, 1, 0xFFFFFE, 255);
    ASSERT_TRUE(image.MakeTransparent(0xFFFFFE));
    EXPECT_EQ(image.Alpha(), 1);
    EXPECT_EQ(image.ImageType(), 7);
    ASSERT_TRUE(image.MakeTransparent(0xFFFFFE, true));
    EXPECT_EQ(image.Alpha(), 0);
    EXPECT_EQ(image.ImageType(), 1);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(1, 1, alpha), 0xFFFFFE);

    const std::vector<uint8_t> before = Bytes(image);
    EXPECT_FALSE(image.MakeGrayScale(-1));
    EXPECT_FALSE(image.MakeLighterDarker(150));
    EXPECT_FALSE(image.MirrorImage(false, false));
    EXPECT_TRUE(image.BlendToColor(0, 0));
    EXPECT_EQ(Bytes(image), before);
    ASSERT_TRUE(image.MirrorImage(true, false));
    EXPECT_EQ(image.GetPixel(2, 1, alpha), 0xFFFFFE);
    ASSERT_TRUE(image.MakeLighterDarker(-50));
    EXPECT_LT(image.GetPixel(0, 0, alpha) & 255, 255);

    std::unique_ptr<c32bppDIB> shadow = image.CreateDropShadow(15, RGB(0, 0, 255));
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->Width(), 24) << "depth 15 blurs as 10: 20 wider";
    EXPECT_EQ(shadow->Height(), 22);
    EXPECT_EQ(shadow->ImageType(), 7);
    EXPECT_EQ(shadow->Alpha(), 2);

    c32bppDIB host;
    ASSERT_TRUE(host.InitializeDIB(30, 30));
    ASSERT_TRUE(image.RenderDropShadow_JIT(nullptr, 3, 3, 0, RGB(0, 255, 0), 100, 0, &host));
    EXPECT_EQ(host.GetPixel(4, 4, alpha), RGB(0, 255, 0)) << "only the shadow is drawn";
    EXPECT_EQ(alpha, 255);

    const ULONG_PTR token = image.CreateGDIplusToken();
    ASSERT_NE(token, 0u);
    EXPECT_TRUE(image.DestroyGDIplusToken(token));
    EXPECT_FALSE(image.DestroyGDIplusToken(0));
}

namespace {

HFONT Font(int32_t height, int32_t escapement = 0) {
    return ::CreateFontW(height, 0, escapement, escapement, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                         ANTIALIASED_QUALITY, 0, L"Tahoma");
}

SIZE Extent(HFONT font, const std::wstring& text) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    size.cx += metrics.tmOverhang;
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return size;
}

}  // namespace

TEST(Text, LinesMakeTheImageAndCoverageBecomesAlpha) {
    HFONT font = Font(-16);
    const SIZE wide = Extent(font, L"BB");
    struct Case {
        const wchar_t* text;
        int32_t lines;
    };
    for (Case c : {Case{L"A\r\nBB", 2}, Case{L"BB", 1}, Case{L"A\nBB", 1}}) {
        c32bppDIB image;
        ASSERT_TRUE(image.DrawText_hFont(font, c.text, 0, 0, 0, 0, 0, 0xFFFFFF));
        EXPECT_EQ(image.Height(), wide.cy * c.lines) << "lines: " << c.lines;
        if (c.lines == 2) {
            EXPECT_EQ(image.Width(), wide.cx) << "as wide as the widest line";
        }
        EXPECT_EQ(image.ImageType(), 7);
        EXPECT_EQ(image.Alpha(), 2);
        int partial = 0, full = 0;
        for (size_t i = 0; i < size_t(image.Width()) * image.Height() * 4; i += 4) {
            const uint8_t* p = image.BitsPointer() + i;
            ASSERT_TRUE(p[0] == p[3] && p[1] == p[3] && p[2] == p[3]) << "white: colour bytes equal alpha";
            partial += p[3] > 0 && p[3] < 255;
            full += p[3] == 255;
        }
        EXPECT_GT(full + partial, 0) << "some text was drawn";
        int32_t alpha = -1;
        image.GetPixel(image.Width() - 1, 0, alpha);
        EXPECT_EQ(alpha, 0) << "transparent around the text";
    }

    // A turned font is drawn level; an opaque background makes every pixel opaque.
    HFONT turned = Font(-16, 900);
    c32bppDIB level;
    ASSERT_TRUE(level.DrawText_hFont(turned, L"BB", 0, 0, 0, 0, 0, RGB(255, 0, 0), RGB(0, 0, 255)));
    EXPECT_EQ(level.Width(), wide.cx);
    EXPECT_EQ(level.Height(), wide.cy);
    EXPECT_EQ(level.ImageType(), 1);
    EXPECT_EQ(level.Alpha(), 0);
    int32_t alpha = 0;
    EXPECT_EQ(level.GetPixel(level.Width() - 1, level.Height() - 1, alpha), RGB(0, 0, 255));
    for (size_t i = 3; i < size_t(level.Width()) * level.Height() * 4; i += 4) ASSERT_EQ(level.BitsPointer()[i], 255);

    // Onto an existing image: only the text's place changes.
    c32bppDIB picture;
    ASSERT_TRUE(picture.InitializeDIB(60, 40));
    ASSERT_TRUE(picture.DrawText_hFont(font, L"BB", 0, 20, 10, 0, 0, RGB(255, 0, 0), RGB(0, 255, 0)));
    EXPECT_EQ(picture.GetPixel(20, 10, alpha), RGB(0, 255, 0));
    EXPECT_EQ(alpha, 255);
    picture.GetPixel(19, 10, alpha);
    EXPECT_EQ(alpha, 0);
    picture.GetPixel(20 + wide.cx, 10, alpha);
    EXPECT_EQ(alpha, 0);

    EXPECT_FALSE(picture.DrawText_hFont(font, L""));
    EXPECT_FALSE(picture.DrawText_hFont(nullptr, L"x"));
    ::DeleteObject(turned);
    ::DeleteObject(font);
}

TEST(Text, FromAnAutomationFontObject) {
    FONTDESC description{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Tahoma"), {}, FW_NORMAL, DEFAULT_CHARSET, FALSE,
                         FALSE, FALSE};
    description.cySize.int64 = 120000;  // 12 points: 16 pixels at 96 per inch
    IFont* font = nullptr;
    ASSERT_TRUE(SUCCEEDED(::OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(&font))));
    c32bppDIB image;
    ASSERT_TRUE(image.DrawText_stdFont(font, L"BB"));
    HFONT same = Font(-16);
    EXPECT_EQ(image.Height(), Extent(same, L"BB").cy);
    ::DeleteObject(same);

    // A face name longer than the record holds is cut, not overrun.
    BSTR longName = ::SysAllocString(L"Tahoma Tahoma Tahoma Tahoma Tahoma Tahoma Tahoma");
    font->put_Name(longName);
    ::SysFreeString(longName);
    c32bppDIB other;
    EXPECT_TRUE(other.DrawText_stdFont(font, L"BB"));
    font->Release();
    EXPECT_FALSE(other.DrawText_stdFont(nullptr, L"BB"));
}

namespace {

// Where the ink of a drawing lies and how strong it is at its strongest; `strength` gives a
// pixel's ink from 0 to 255. Only pixels of at least `threshold` count for the box.
struct Ink {
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1, strongest = 0;
    bool Any() const { return right >= 0; }
    double CentreX() const { return (left + right) / 2.0; }
    double CentreY() const { return (top + bottom) / 2.0; }
};

template <typename Strength>
Ink InkOf(const c32bppDIB& image, int x0, int y0, int x1, int y1, Strength strength, int threshold = 96) {
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int s = strength(x, y);
            ink.strongest = std::max(ink.strongest, s);
            if (s < threshold) continue;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// Ink on a transparent text image: the coverage.
int Coverage(const c32bppDIB& image, int x, int y) {
    int32_t alpha = 0;
    image.GetPixel(x, y, alpha);
    return alpha;
}

// Black ink on an opaque white canvas: how far a pixel is from white.
int Darkness(const c32bppDIB& image, int x, int y) {
    int32_t alpha = 0;
    const int32_t colour = image.GetPixel(x, y, alpha, true);
    return 255 - std::min({colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF});
}

void WhiteCanvas(c32bppDIB& image, int32_t width, int32_t height) {
    ASSERT_TRUE(image.InitializeDIB(width, height));
    std::memset(image.BitsPointer(), 0xFF, size_t(image.scanWidth()) * height);
    image.Alpha(0);
}

}  // namespace

// Alignment places each line within the widest; Opacity, Angle and CenterOnDestXY act on the text
// as on any picture drawn with Render. Judged by where the ink lands and how strong it is.
TEST(Text, AlignmentOpacityAngleAndCentring) {
    HFONT font = Font(-20);
    const SIZE narrow = Extent(font, L"I"), wide = Extent(font, L"WWWWWW");
    struct Alignment {
        const char* name;
        int32_t flags;
        double centre;  // where the short line's ink is centred, as a share of the image's width
    };
    for (const Alignment& a : {Alignment{"left", TA_LEFT, 0}, Alignment{"centre", TA_CENTER, 0.5},
                               Alignment{"right", TA_RIGHT, 1}}) {
        SCOPED_TRACE(a.name);
        c32bppDIB text;
        ASSERT_TRUE(text.DrawText_hFont(font, L"I\r\nWWWWWW", a.flags, 0, 0, 0, 0, 0xFFFFFF));
        ASSERT_EQ(text.Height(), 2 * wide.cy);
        auto coverage = [&](int x, int y) { return Coverage(text, x, y); };
        const Ink first = InkOf(text, 0, 0, text.Width(), wide.cy, coverage);
        const Ink second = InkOf(text, 0, wide.cy, text.Width(), text.Height(), coverage);
        ASSERT_TRUE(first.Any() && second.Any());
        // The short line's centre, between half its width from the left and from the right edge.
        const double expected = narrow.cx / 2.0 + a.centre * (text.Width() - narrow.cx);
        EXPECT_NEAR(first.CentreX(), expected, 3.0) << "the short line's ink spans " << first.left << ".." << first.right;
        EXPECT_GT(second.right - second.left, text.Width() * 3 / 4) << "the long line fills the width";
        EXPECT_EQ(first.strongest, 255) << "full coverage inside the strokes";
    }

    // On a white canvas: half opacity draws half as dark.
    struct Strength {
        int32_t opacity;
        int low, high;
    };
    for (const Strength s : {Strength{100, 230, 255}, Strength{50, 105, 150}}) {
        c32bppDIB canvas;
        WhiteCanvas(canvas, 160, 60);
        ASSERT_TRUE(canvas.DrawText_hFont(font, L"WWWWWW", 0, 10, 10, 0, 0, 0, -1, s.opacity));
        const Ink ink = InkOf(canvas, 0, 0, 160, 60, [&](int x, int y) { return Darkness(canvas, x, y); }, 40);
        EXPECT_GE(ink.strongest, s.low) << "opacity " << s.opacity;
        EXPECT_LE(ink.strongest, s.high) << "opacity " << s.opacity;
        EXPECT_GE(ink.left, 10) << "opacity " << s.opacity << ": drawn from destX";
        EXPECT_GE(ink.top, 10) << "opacity " << s.opacity << ": drawn from destY";
    }

    // Centred on (100, 80), level and turned by 90 degrees; and placed with its corner there.
    struct Placing {
        const char* name;
        float angle;
        bool centred;
    };
    for (const Placing& p : {Placing{"level, centred", 0, true}, Placing{"turned, centred", 90, true},
                             Placing{"level, from the corner", 0, false}}) {
        SCOPED_TRACE(p.name);
        c32bppDIB canvas;
        WhiteCanvas(canvas, 240, 160);
        ASSERT_TRUE(canvas.DrawText_hFont(font, L"WWWWWW", 0, 100, 80, 0, 0, 0, -1, 100, -1, p.angle, p.centred));
        const Ink ink = InkOf(canvas, 0, 0, 240, 160, [&](int x, int y) { return Darkness(canvas, x, y); });
        ASSERT_TRUE(ink.Any());
        const int across = ink.right - ink.left, down = ink.bottom - ink.top;
        if (p.angle == 0) {
            EXPECT_GT(across, 2 * down) << "a level line is wide";
        } else {
            EXPECT_GT(down, 2 * across) << "a turned line is tall";
        }
        if (p.centred) {
            EXPECT_NEAR(ink.CentreX(), 100, 6);
            EXPECT_NEAR(ink.CentreY(), 80, 6);
        } else {
            EXPECT_GE(ink.left, 100);
            EXPECT_GE(ink.top, 80);
            EXPECT_NEAR(ink.CentreX(), 100 + wide.cx / 2.0, 4);
        }
    }
    ::DeleteObject(font);
}
