// The image object over a real DIB section: life cycle, pixels, blocks, the alpha mask, regions,
// copying and the scale arithmetic.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"

using quorallion::c32bppDIB;
namespace bas32bppDIBParsers = quorallion::bas32bppDIBParsers;
namespace imaging = quorallion::imaging;

namespace {

// A 4 x 3 image whose pixel (x, y) is blue x, green y, red 9, alpha 255; (0, 0) half transparent.
class ImageObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(image_.InitializeDIB(4, 3));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x) image_.SetPixel(x, y, RGB(9, y * 10, x * 10), 255, true);
        image_.SetPixel(0, 0, RGB(9, 0, 0), 128, true);
    }
    c32bppDIB image_;
};

}  // namespace

TEST(ImageObjectLife, InitializeTakesAbsoluteHeightAndRefusesBadSizes) {
    c32bppDIB image;
    EXPECT_EQ(image.ImageType(), -1);
    ASSERT_TRUE(image.InitializeDIB(10, -5));
    EXPECT_EQ(image.Width(), 10);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_EQ(image.scanWidth(), 40);
    EXPECT_EQ(image.ImageType(), 0);
    EXPECT_EQ(image.Alpha(), 1);
    ASSERT_NE(image.Handle(), nullptr);
    std::vector<uint8_t> bytes(image.BitsPointer(), image.BitsPointer() + 200);
    EXPECT_EQ(bytes, std::vector<uint8_t>(200, 0));
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(image.Handle(), sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_GT(section.dsBmih.biHeight, 0) << "rows must be bottom-up";

    for (auto size : {std::pair{10, 0}, std::pair{-1, 5}, std::pair{0x7FFFFFFF, 0x7FFFFFFF}, std::pair{70000, 70000}}) {
        EXPECT_FALSE(image.InitializeDIB(size.first, size.second)) << size.first << "x" << size.second;
        EXPECT_EQ(image.Handle(), nullptr);
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.ImageType(), -1);
    }
}

TEST(ImageObjectLife, DestroyClearsEverythingAndOwnDCFollowsManageOwnDC) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    image.SetOriginalFormatBytes({1, 2, 3});
    image.ManageOwnDC(true);
    HDC dc = image.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), image.Handle());
    EXPECT_EQ(image.LoadDIBinDC(true), dc) << "selected once";
    EXPECT_EQ(image.LoadDIBinDC(false), nullptr);
    EXPECT_NE(::GetCurrentObject(dc, OBJ_BITMAP), image.Handle());
    image.DestroyDIB();
    EXPECT_EQ(image.Handle(), nullptr);
    EXPECT_EQ(image.BitsPointer(), nullptr);
    EXPECT_EQ(image.Alpha(), 0);
    EXPECT_EQ(image.ImageType(), -1);
    std::vector<uint8_t> kept;
    EXPECT_FALSE(image.GetOrginalFormat(kept));
    EXPECT_EQ(image.LoadDIBinDC(true), nullptr) << "no image, no DC";
}

TEST(ImageObjectLife, CapabilityFlags) {
    c32bppDIB image;
    EXPECT_TRUE(image.CapabilityFlags() & c32bppDIB::kNtFamily);
    EXPECT_TRUE(image.isAlphaBlendFriendly());
    EXPECT_TRUE(image.isGDIplusEnabled()) << "GDI+ is part of every supported system";
    EXPECT_TRUE(image.HighQualityInterpolation());
    image.isAlphaBlendFriendly(false);
    EXPECT_FALSE(image.isAlphaBlendFriendly());
    image.isAlphaBlendFriendly(true);
    EXPECT_TRUE(image.isAlphaBlendFriendly());
    image.KeepGDIplusActive(true);
    EXPECT_TRUE(image.KeepGDIplusActive());
    image.isGDIplusEnabled(false);
    image.KeepGDIplusActive(true);
    EXPECT_FALSE(image.KeepGDIplusActive()) << "nothing to keep without GDI+";
}

TEST(ImageObjectLife, ZlibIsFoundBesideTheProgram) {
    c32bppDIB image;
    EXPECT_TRUE(image.isZlibEnabled());
}

TEST_F(ImageObject, GetPixelReadsTopDownAndUnpremultiplies) {
    int32_t alpha = 0xDEAD;
    EXPECT_EQ(image_.GetPixel(4, 0, alpha), -1);
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(image_.GetPixel(0, -1, alpha), -1);
    EXPECT_EQ(image_.GetPixel(3, 2, alpha), RGB(9, 20, 30));
    EXPECT_EQ(alpha, 255);
    // Bottom-up storage: picture row 2 is the first row in memory.
    EXPECT_EQ(image_.BitsPointer()[3 * 4], 30);
    image_.SetPixel(1, 1, RGB(0, 0, 0), 128, true);
    uint8_t* p = image_.SetPixel(2, 1, RGB(0, 0, 0), 128, true);
    ASSERT_NE(p, nullptr);
    p[0] = p[1] = p[2] = 64;
    EXPECT_EQ(image_.GetPixel(2, 1, alpha, false), 0x7F7F7F);
    EXPECT_EQ(image_.GetPixel(2, 1, alpha, true), 0x404040);
    EXPECT_EQ(alpha, 128);
}

TEST_F(ImageObject, SetPixelPremultipliesAndRefusesOutside) {
    int32_t alpha = 0;
    ASSERT_NE(image_.SetPixel(1, 1, 0xFFFFFF, 128, false), nullptr);
    EXPECT_EQ(image_.GetPixel(1, 1, alpha, true), 0x808080);
    EXPECT_EQ(image_.Alpha(), 2);
    ASSERT_NE(image_.SetPixel(1, 1, 0xFFFFFF, 128, true), nullptr);
    EXPECT_EQ(image_.GetPixel(1, 1, alpha, true), 0x808080);
    image_.Alpha(0);
    ASSERT_NE(image_.SetPixel(1, 1, 0xFFFFFF, 0, false), nullptr);
    EXPECT_EQ(image_.GetPixel(1, 1, alpha, true), 0);
    EXPECT_EQ(image_.Alpha(), 2);
    EXPECT_EQ(image_.SetPixel(4, 0, 0, 255), nullptr);
    EXPECT_EQ(image_.SetPixel(0, 0, 0, 256), nullptr);
    EXPECT_EQ(image_.SetPixel(0, 0, 0, -1), nullptr);
}

TEST_F(ImageObject, GetDIBbitsLayouts) {
    std::vector<uint8_t> out;
    // Whole image in stored layout is the pixel block itself.
    ASSERT_TRUE(image_.GetDIBbits(out));
    EXPECT_EQ(out, std::vector<uint8_t>(image_.BitsPointer(), image_.BitsPointer() + 48));
    // 2 x 2 from (2, 1), RGB, 24-bit word aligned, top-down, not premultiplied.
    ASSERT_TRUE(image_.GetDIBbits(out, false, false, false, true, false, 2, 1, 2, 2, false));
    EXPECT_EQ(out, (std::vector<uint8_t>{9, 10, 20, 9, 10, 30, 0, 0, 9, 20, 20, 9, 20, 30, 0, 0}));
    // The half-transparent corner un-premultiplied: stored (0, 0, 9, 128) reads red 9 * 255 / 128 = 17.
    ASSERT_TRUE(image_.GetDIBbits(out, false, true, true, true, false, 0, 0, 1, 1, false));
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 17, 128}));
    // Clipped to the right and bottom edges.
    ASSERT_TRUE(image_.GetDIBbits(out, true, true, true, true, true, 3, 2, 100, 100));
    EXPECT_EQ(out.size(), 4u);
}

TEST_F(ImageObject, BlockAccessRefusesRectanglesOutsideTheImage) {
    std::vector<uint8_t> out{0xAA};
    struct Rect { int32_t x, y, w, h; };
    for (const Rect& r : {Rect{-1, 0, 1, 1}, Rect{0, -1, 1, 1}, Rect{4, 0, 1, 1}, Rect{0, 3, 1, 1},
                          Rect{0, 0, -2, 1}, Rect{0x7FFFFFFF, 0, 1, 1}}) {
        EXPECT_FALSE(image_.GetDIBbits(out, false, true, true, true, true, r.x, r.y, r.w, r.h)) << r.x << "," << r.y;
        EXPECT_FALSE(image_.GetAlphaMask(out, false, true, true, r.x, r.y, r.w, r.h)) << r.x << "," << r.y;
        EXPECT_FALSE(image_.SetDIBbits(std::vector<uint8_t>(64, 1), true, true, true, true, r.x, r.y, r.w, r.h));
    }
    c32bppDIB empty;
    EXPECT_FALSE(empty.GetDIBbits(out));
    EXPECT_FALSE(empty.SetDIBbits(out));
}

TEST_F(ImageObject, SetDIBbitsWritesStraightColoursAndPremultiplies) {
    // One row of two RGB pixels, not premultiplied: white at alpha 128, blue opaque.
    ASSERT_TRUE(image_.SetDIBbits({255, 255, 255, 128, 0, 0, 255, 255}, false, true, true, false, 1, 2, 2, 1));
    int32_t alpha = 0;
    EXPECT_EQ(image_.GetPixel(1, 2, alpha, true), 0x808080);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(image_.GetPixel(2, 2, alpha, true), RGB(0, 0, 255));
    EXPECT_EQ(image_.Alpha(), 2);
    // An array shorter than the rectangle needs is refused, not read past.
    EXPECT_FALSE(image_.SetDIBbits({1, 2, 3}, true, true, true, true, 0, 0, 2, 2));
    EXPECT_FALSE(image_.SetDIBbits({}, true, true, true, true));
    // 24-bit rows padded to 4 bytes: two rows of one pixel, bottom-up.
    ASSERT_TRUE(image_.SetDIBbits({1, 2, 3, 0, 4, 5, 6, 0}, true, false, true, true, 0, 0, 1, 2));
    EXPECT_EQ(image_.GetPixel(0, 0, alpha, true), RGB(6, 5, 4));
    EXPECT_EQ(image_.GetPixel(0, 1, alpha, true), RGB(3, 2, 1));
}

TEST_F(ImageObject, SetDIBbitsLeavesPixelsOutsideTheRectangleAlone) {
    // Premultiplied pixels beside the block must not be premultiplied a second time.
    image_.SetPixel(1, 1, RGB(25, 50, 100), 128, true);
    const std::vector<uint8_t> opaque = {7, 8, 9, 255};
    ASSERT_TRUE(image_.SetDIBbits(opaque, true, true, true, true, 3, 0, 1, 1));
    int32_t alpha = 0;
    EXPECT_EQ(image_.GetPixel(1, 1, alpha, true), RGB(25, 50, 100));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(image_.GetPixel(0, 0, alpha, true), RGB(9, 0, 0));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(image_.GetPixel(3, 0, alpha, true), RGB(9, 8, 7));
    // The block is opaque, yet the kind comes from the whole image: partial alpha stays.
    EXPECT_EQ(image_.Alpha(), 2);
    // A straight block is premultiplied by itself: 200 at alpha 128 becomes 100.
    ASSERT_TRUE(image_.SetDIBbits({200, 200, 200, 128}, true, true, true, true, 2, 1, 1, 1));
    EXPECT_EQ(image_.GetPixel(2, 1, alpha, true), RGB(100, 100, 100));
    EXPECT_EQ(image_.GetPixel(1, 1, alpha, true), RGB(25, 50, 100));
    // Written over the whole image with opaque pixels, the kind follows: no alpha left.
    ASSERT_TRUE(image_.SetDIBbits(std::vector<uint8_t>(4 * 3 * 4, 255), true, true, true, true));
    EXPECT_EQ(image_.Alpha(), 0);
}

TEST_F(ImageObject, AlphaMaskRowsAndPadding) {
    std::vector<uint8_t> mask;
    ASSERT_TRUE(image_.GetAlphaMask(mask, false, false, false, 0, 0, 2, 2));
    EXPECT_EQ(mask, (std::vector<uint8_t>{128, 255, 255, 255}));
    ASSERT_TRUE(image_.GetAlphaMask(mask, false, true, true, 0, 0, 1, 2));
    EXPECT_EQ(mask, (std::vector<uint8_t>{255, 0, 0, 0, 128, 0, 0, 0}));
}

TEST_F(ImageObject, RegionsFromTheAlphaChannel) {
    image_.SetPixel(0, 1, 0, 0);  // alpha kind 2 now; (0, 1) transparent
    image_.SetPixel(0, 2, 0, 0);
    struct Case { int32_t style; RECT box; };
    for (const Case& c : {Case{0, {0, 0, 4, 3}}, Case{1, {0, 0, 4, 3}}, Case{2, {0, 0, 4, 3}}}) {
        HRGN region = image_.CreateRegion(c.style, 5, 7);
        ASSERT_NE(region, nullptr) << c.style;
        RECT box{};
        ::GetRgnBox(region, &box);
        EXPECT_EQ(box.left, c.box.left + 5);
        EXPECT_EQ(box.top, c.box.top + 7);
        EXPECT_EQ(box.right, c.box.right + 5);
        EXPECT_EQ(box.bottom, c.box.bottom + 7);
        EXPECT_EQ(::PtInRegion(region, 5, 8), c.style == 0) << c.style;
        ::DeleteObject(region);
    }
    EXPECT_EQ(image_.CreateRegion(3), nullptr);
    image_.Alpha(0);  // no alpha: the full rectangle whatever the pixels say
    HRGN full = image_.CreateRegion(2);
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(::PtInRegion(full, 0, 1));
    ::DeleteObject(full);
}

TEST(ImageObjectRegion, ManyRunsStillMakeOneRegion) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(200, 200));
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 200; x += 2) image.SetPixel(x, y, 0xFFFFFF, 255);  // 20000 runs
    image.Alpha(1);
    HRGN region = image.CreateRegion(2);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(::PtInRegion(region, 198, 199));
    EXPECT_FALSE(::PtInRegion(region, 199, 199));
    ::DeleteObject(region);
}

TEST(ImageObjectRegion, RegionHelpersFromRectsAndInBlocksAgree) {
    // 4500 one-pixel squares on alternate columns of 45 rows: three blocks of up to 2000.
    std::vector<imaging::RegionRect> rects;
    for (int32_t y = 0; y < 45; ++y)
        for (int32_t x = 0; x < 200; x += 2) rects.push_back({x, y, x + 1, y + 1});
    HRGN whole = bas32bppDIBParsers::CreateRegionFromRects(rects, 0, rects.size() - 1, 0, 200);
    HRGN blocks = bas32bppDIBParsers::CreateRegionInBlocks(rects, rects.size() - 1, 0, 200);
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(blocks, nullptr);
    EXPECT_TRUE(::EqualRgn(whole, blocks));
    EXPECT_TRUE(::PtInRegion(blocks, 198, 44));
    EXPECT_FALSE(::PtInRegion(blocks, 199, 44));
    // A part of the list: rows 10 and 11 only, moved right by the left edge of its bound.
    HRGN part = bas32bppDIBParsers::CreateRegionFromRects(rects, 1000, 1199, 0, 200);
    ASSERT_NE(part, nullptr);
    EXPECT_TRUE(::PtInRegion(part, 0, 10));
    EXPECT_TRUE(::PtInRegion(part, 198, 11));
    EXPECT_FALSE(::PtInRegion(part, 0, 9));
    EXPECT_FALSE(::PtInRegion(part, 0, 12));
    EXPECT_EQ(bas32bppDIBParsers::CreateRegionFromRects(rects, 5, 4, 0, 200), nullptr);
    EXPECT_EQ(bas32bppDIBParsers::CreateRegionFromRects(rects, 0, rects.size(), 0, 200), nullptr);
    EXPECT_EQ(bas32bppDIBParsers::CreateRegionInBlocks({}, 0, 0, 200), nullptr);
    for (HRGN region : {whole, blocks, part}) ::DeleteObject(region);
}

TEST_F(ImageObject, CopyImageToSameSizeIsExact) {
    image_.SetOriginalFormatBytes({7, 7});
    std::unique_ptr<c32bppDIB> copy;
    image_.CopyImageTo(copy, 0, 0, true);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->Width(), 4);
    EXPECT_EQ(std::vector<uint8_t>(copy->BitsPointer(), copy->BitsPointer() + 48),
              std::vector<uint8_t>(image_.BitsPointer(), image_.BitsPointer() + 48));
    EXPECT_EQ(copy->Alpha(), image_.Alpha());
    EXPECT_EQ(copy->ImageType(), image_.ImageType());
    std::vector<uint8_t> kept;
    EXPECT_TRUE(copy->GetOrginalFormat(kept));
    EXPECT_EQ(kept, (std::vector<uint8_t>{7, 7}));
}

TEST_F(ImageObject, CopyImageToScaledAndMirroredKeepsAlpha) {
    for (bool gdiplus : {true, false}) {
        image_.isGDIplusEnabled(gdiplus);
        image_.HighQualityInterpolation(false);
        c32bppDIB copy;
        image_.CopyImageTo(copy, -8, 6);
        ASSERT_EQ(copy.Width(), 8);
        ASSERT_EQ(copy.Height(), 6);
        int32_t alpha = 0;
        // Mirrored: the half-transparent corner (0, 0) lands at the top right, doubled.
        EXPECT_EQ(copy.GetPixel(7, 0, alpha, true), RGB(9, 0, 0)) << "GDI+ " << gdiplus;
        EXPECT_EQ(alpha, 128) << "GDI+ " << gdiplus;
        EXPECT_EQ(copy.GetPixel(0, 5, alpha, true), RGB(9, 20, 30)) << "GDI+ " << gdiplus;
        EXPECT_EQ(alpha, 255);
        EXPECT_TRUE(image_.isAlphaBlendFriendly()) << "restored after the copy";
    }
}

TEST_F(ImageObject, CopyIntoSameSizeDestinationDrawsOverItsPixels) {
    image_.isGDIplusEnabled(false);
    c32bppDIB destination;
    ASSERT_TRUE(destination.InitializeDIB(2, 2));
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) destination.SetPixel(x, y, RGB(0, 255, 0), 255);
    image_.SetPixel(0, 0, 0, 0);
    image_.SetPixel(1, 0, 0, 0);
    image_.SetPixel(0, 1, 0, 0);
    image_.SetPixel(1, 1, 0, 0);
    image_.CopyImageTo(destination, 2, 2);  // the top-left quarter is transparent now
    int32_t alpha = 0;
    EXPECT_EQ(destination.GetPixel(0, 0, alpha), RGB(0, 255, 0)) << "not cleared before drawing";
}

TEST_F(ImageObject, ScaleImageModes) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(100, 50));
    struct Case { int32_t mode, width, height; };
    for (const Case& c : {Case{0, 400, 200}, Case{1, 100, 50}, Case{2, 400, 400}, Case{5, 100, 50}}) {
        int32_t w = -1, h = -1;
        image.ScaleImage(400, 400, w, h, c.mode);
        EXPECT_EQ(w, c.width) << c.mode;
        EXPECT_EQ(h, c.height) << c.mode;
    }
    int32_t w = -1, h = -1;
    image.ScaleImage(50, 400, w, h, 1);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 25);
}
