// cGDIPlus against the real GDI+: sessions, PNG and JPEG saving read back, loading, metafiles.
#include <gtest/gtest.h>

#include <vector>

#include "c32bppDIB.h"
#include "gdiplus/cGDIPlus.h"

using quorallion::c32bppDIB;
using quorallion::cGDIPlus;

namespace {

// A 3 x 2 image: top row red, green, transparent; bottom row opaque blue, half white, black.
class GdiPlusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(image_.InitializeDIB(3, 2));
        image_.SetPixel(0, 0, RGB(255, 0, 0), 255);
        image_.SetPixel(1, 0, RGB(0, 255, 0), 255);
        image_.SetPixel(2, 0, 0, 0);
        image_.SetPixel(0, 1, RGB(0, 0, 255), 255);
        image_.SetPixel(1, 1, RGB(255, 255, 255), 128);
        image_.SetPixel(2, 1, 0, 255);
    }
    c32bppDIB image_;
};

}  // namespace

TEST(GdiPlusSession, TestLeavesNoSessionAndKeepHandsOneOver) {
    cGDIPlus gdip;
    ULONG_PTR token = 0xDEAD;
    EXPECT_TRUE(gdip.isGDIplusOk(token, false));
    EXPECT_EQ(token, 0u);
    EXPECT_TRUE(gdip.isGDIplusOk(token, true));
    EXPECT_NE(token, 0u);
    gdip.ManageToken(token, true);
    EXPECT_EQ(token, 0u);
}

TEST(GdiPlusSession, TokenSharedByImages) {
    c32bppDIB owner;
    ULONG_PTR token = owner.CreateGDIplusToken();
    ASSERT_NE(token, 0u);
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    image.gdiToken(token);
    cGDIPlus gdip;
    std::vector<uint8_t> png;
    EXPECT_TRUE(gdip.SaveToPNG(L"", png, image, image.gdiToken()));
    owner.DestroyGDIplusToken(token);
    owner.DestroyGDIplusToken(0);
}

TEST(GdiPlusArithmetic, ScaleRoundedAndSmallerOf) {
    EXPECT_EQ(cGDIPlus::ScaleRounded(10, 3, 4), 8);
    EXPECT_EQ(cGDIPlus::ScaleRounded(1, 1, 0), 0) << "no division by zero";
    EXPECT_EQ(cGDIPlus::SmallerOf(3, -2), -2);
}

TEST_F(GdiPlusTest, PngSavedTwiceIsIdenticalUprightAndLoadsBackExactly) {
    cGDIPlus gdip;
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(gdip.SaveToPNG(L"", first, image_, 0));
    ASSERT_TRUE(gdip.SaveToPNG(L"", second, image_, 0));
    ASSERT_GT(first.size(), 8u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[1], 'P');

    c32bppDIB loaded;
    ASSERT_TRUE(gdip.LoadImageWithGDIplus(L"", first, loaded, 0));
    ASSERT_EQ(loaded.Width(), 3);
    ASSERT_EQ(loaded.Height(), 2);
    EXPECT_EQ(loaded.ImageType(), 10);
    EXPECT_EQ(loaded.Alpha(), 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) {
            int32_t want = 0, got = 0;
            EXPECT_EQ(loaded.GetPixel(x, y, got), image_.GetPixel(x, y, want)) << x << "," << y;
            EXPECT_EQ(got, want) << x << "," << y;
        }
}

TEST_F(GdiPlusTest, JpegFillsTransparentPixelsAndKeepsTheHeldImage) {
    cGDIPlus gdip;
    std::vector<uint8_t> png, jpeg;
    ASSERT_TRUE(gdip.SaveToPNG(L"", png, image_, 0));  // makes the held image
    ASSERT_TRUE(gdip.SaveToJPG(L"", jpeg, image_, 250, RGB(0, 255, 0), 0));
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    c32bppDIB loaded;
    ASSERT_TRUE(gdip.LoadImageWithGDIplus(L"", jpeg, loaded, 0));
    int32_t alpha = 0;
    const uint32_t corner = static_cast<uint32_t>(loaded.GetPixel(2, 0, alpha));
    EXPECT_LT(GetRValue(corner), 90) << std::hex << corner;
    EXPECT_GT(GetGValue(corner), 160) << std::hex << corner;
    std::vector<uint8_t> again;
    ASSERT_TRUE(gdip.SaveToPNG(L"", again, image_, 0));
    EXPECT_EQ(again, png) << "the held image is as it was";
}

TEST_F(GdiPlusTest, SavesFollowPixelChangesAndANewImage) {
    cGDIPlus gdip;
    std::vector<uint8_t> before, after;
    ASSERT_TRUE(gdip.SaveToPNG(L"", before, image_, 0));
    image_.SetPixel(2, 1, RGB(1, 2, 3), 255);
    ASSERT_TRUE(gdip.SaveToPNG(L"", after, image_, 0));
    EXPECT_NE(before, after);
    ASSERT_TRUE(image_.InitializeDIB(5, 5));  // the old pixels are gone
    ASSERT_TRUE(gdip.SaveToPNG(L"", after, image_, 0));
    c32bppDIB loaded;
    ASSERT_TRUE(gdip.LoadImageWithGDIplus(L"", after, loaded, 0));
    EXPECT_EQ(loaded.Width(), 5);
}

TEST(GdiPlusLoad, RefusesNothingAndGarbage) {
    cGDIPlus gdip;
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    EXPECT_FALSE(gdip.LoadImageWithGDIplus(L"", {}, image, 0));
    EXPECT_FALSE(gdip.LoadMetafileStream(L"", {}, image, 0));
    EXPECT_FALSE(gdip.LoadImageWithGDIplus(L"", std::vector<uint8_t>(100, 0x5A), image, 0));
    EXPECT_FALSE(gdip.LoadMetafileStream(L"", std::vector<uint8_t>(100, 0x5A), image, 0));
    std::vector<uint8_t> out;
    c32bppDIB empty;
    EXPECT_FALSE(gdip.SaveToPNG(L"", out, empty, 0));
}

TEST(GdiPlusLoad, MetafileComesOutAtScreenResolution) {
    // A metafile drawn on the screen's reference: a red filled rectangle of 100 x 50 pixels.
    HDC reference = ::GetDC(nullptr);
    const int mmPerPixelX100 = ::GetDeviceCaps(reference, HORZSIZE) * 100 / ::GetDeviceCaps(reference, HORZRES);
    const int mmPerPixelY100 = ::GetDeviceCaps(reference, VERTSIZE) * 100 / ::GetDeviceCaps(reference, VERTRES);
    RECT frame{0, 0, 100 * mmPerPixelX100, 50 * mmPerPixelY100};
    HDC recorder = ::CreateEnhMetaFileW(reference, nullptr, &frame, nullptr);
    ::ReleaseDC(nullptr, reference);
    ASSERT_NE(recorder, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT fill{0, 0, 100, 50};
    ::FillRect(recorder, &fill, red);
    ::DeleteObject(red);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
    ASSERT_NE(metafile, nullptr);
    std::vector<uint8_t> bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteEnhMetaFile(metafile);

    cGDIPlus gdip;
    c32bppDIB image;
    ASSERT_TRUE(gdip.LoadMetafileStream(L"", bytes, image, 0));
    EXPECT_NEAR(image.Width(), 100, 3);
    EXPECT_NEAR(image.Height(), 50, 3);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(image.Width() / 2, image.Height() / 2, alpha), RGB(255, 0, 0));
    EXPECT_EQ(alpha, 255);
}
