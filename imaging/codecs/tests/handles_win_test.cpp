// Icons, cursors, bitmaps and picture objects made by the platform, turned into images.
#include <gtest/gtest.h>

#include <windows.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "c32bppDIB.h"
#include "cBMPparser.h"
#include "cICOparser.h"
#include "win/handles.h"

using namespace quorallion;

namespace {

// A DIB section of the given depth, bottom-up; `fill` writes each pixel (x, y from the top).
template <typename Fill>
HBITMAP MakeSection(int width, int height, int bitCount, Fill fill) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const int stride = ((width * bitCount + 31) / 32) * 4;
    for (int y = 0; y < height; ++y)
        fill(static_cast<uint8_t*>(bits) + size_t(height - 1 - y) * stride, y);
    ::GdiFlush();
    return bitmap;
}

// A 1-bit mask whose rows are all `rowByte` except row 0 (the top), which is all set.
HBITMAP MakeMask(int width, int height, uint8_t rowByte) {
    const int stride = ((width + 15) / 16) * 2;  // CreateBitmap rows are word-aligned
    std::vector<uint8_t> bits(size_t(stride) * height, rowByte);
    std::memset(bits.data(), 0xFF, stride);
    return ::CreateBitmap(width, height, 1, 1, bits.data());
}

// Pixel (x, y from the top) of the image, premultiplied BGRA.
const uint8_t* PixelAt(const c32bppDIB& image, int x, int y) {
    return image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + size_t(x) * 4;
}

struct IconCase {
    const char* name;
    bool isIcon;
    uint8_t alpha;  // of every colour pixel; 0 means none, so the mask decides
    int imageType;
    int alphaKind;
};

}  // namespace

TEST(IconHandles, ColourAlphaOrMaskDecidesTheImageTypeAndTransparency) {
    for (const IconCase& c : {IconCase{"icon with alpha", true, 128, 8, 2}, IconCase{"cursor with alpha", false, 128, 12, 2},
                              IconCase{"icon without alpha", true, 0, 3, 1}, IconCase{"cursor without alpha", false, 0, 5, 1}}) {
        const int size = 24;
        win::UniqueGdiObject color(MakeSection(size, size, 32, [&](uint8_t* row, int) {
            for (int x = 0; x < size; ++x) {
                row[4 * x] = 200;  // straight blue 200, green 100, red 50
                row[4 * x + 1] = 100;
                row[4 * x + 2] = 50;
                row[4 * x + 3] = c.alpha;
            }
        }));
        win::UniqueGdiObject mask(MakeMask(size, size, 0x00));
        ICONINFO info{c.isIcon, 3, 4, static_cast<HBITMAP>(mask.get()), static_cast<HBITMAP>(color.get())};
        HICON icon = ::CreateIconIndirect(&info);
        ASSERT_NE(icon, nullptr) << c.name;

        c32bppDIB image;
        cICOparser parser;
        EXPECT_TRUE(parser.ConvertstdPicTo32bpp(icon, image)) << c.name;
        ::DestroyIcon(icon);
        ASSERT_EQ(image.Width(), size) << c.name;
        ASSERT_EQ(image.Height(), size) << c.name;
        EXPECT_EQ(image.ImageType(), c.imageType) << c.name;
        EXPECT_EQ(image.Alpha(), c.alphaKind) << c.name;
        EXPECT_EQ(parser.IconCount(), 1) << c.name;
        const uint8_t* middle = PixelAt(image, 5, 10);
        if (c.alpha) {
            EXPECT_EQ(parser.bitDepth(1), 32) << c.name;
            EXPECT_EQ(std::vector<int>(middle, middle + 4), (std::vector<int>{100, 50, 25, 128})) << c.name;
        } else {
            EXPECT_EQ(parser.bitDepth(1), 1) << c.name;
            EXPECT_EQ(std::vector<int>(middle, middle + 4), (std::vector<int>{200, 100, 50, 255})) << c.name;
            const uint8_t* masked = PixelAt(image, 5, 0);
            EXPECT_EQ(std::vector<int>(masked, masked + 4), (std::vector<int>{0, 0, 0, 0})) << c.name;
        }
    }
}

TEST(IconHandles, MonochromeAndLargeIconsUseTheirMask) {
    // Monochrome: no colour bitmap, the mask holds the AND half (top) above the XOR half.
    const int size = 16;
    win::UniqueGdiObject both(MakeMask(size, size * 2, 0xFF));
    ICONINFO mono{TRUE, 0, 0, static_cast<HBITMAP>(both.get()), nullptr};
    HICON icon = ::CreateIconIndirect(&mono);
    ASSERT_NE(icon, nullptr);
    c32bppDIB image;
    EXPECT_TRUE(cICOparser().ConvertstdPicTo32bpp(icon, image));
    ::DestroyIcon(icon);
    ASSERT_EQ(image.Width(), size);
    ASSERT_EQ(image.Height(), size);
    EXPECT_EQ(image.ImageType(), 3);
    // AND set everywhere: transparent wherever the drawing left it.
    EXPECT_EQ(PixelAt(image, 3, 3)[3], 0);

    // Wider than a directory byte holds: still converted, with its real size.
    const int large = 300;
    win::UniqueGdiObject color(MakeSection(large, large, 32, [&](uint8_t* row, int) {
        for (int x = 0; x < large; ++x) row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = 0x40;  // alpha 0: the mask road
    }));
    win::UniqueGdiObject mask(MakeMask(large, large, 0x00));
    ICONINFO big{TRUE, 0, 0, static_cast<HBITMAP>(mask.get()), static_cast<HBITMAP>(color.get())};
    HICON bigIcon = ::CreateIconIndirect(&big);
    ASSERT_NE(bigIcon, nullptr);
    c32bppDIB bigImage;
    cICOparser parser;
    EXPECT_TRUE(parser.ConvertstdPicTo32bpp(bigIcon, bigImage));
    ::DestroyIcon(bigIcon);
    EXPECT_EQ(bigImage.Width(), large);
    EXPECT_EQ(parser.Width(1), large);
    EXPECT_EQ(PixelAt(bigImage, 100, 100)[3], 255);
    EXPECT_EQ(PixelAt(bigImage, 100, 0)[3], 0);
}

TEST(IconHandles, NoHandleIsRefused) {
    c32bppDIB image;
    EXPECT_FALSE(cICOparser().ConvertstdPicTo32bpp(nullptr, image));
    EXPECT_EQ(image.Handle(), nullptr);
}

TEST(BitmapHandles, DepthDecidesBetweenOwnAlphaAndOpaqueCopy) {
    const int width = 5, height = 3;
    auto straight = [&](uint8_t* row, int y) {
        for (int x = 0; x < width; ++x) {
            row[4 * x] = 200;
            row[4 * x + 1] = 100;
            row[4 * x + 2] = 50;
            row[4 * x + 3] = y == 0 ? 0 : 128;
        }
    };
    win::UniqueGdiObject section32(MakeSection(width, height, 32, straight));
    c32bppDIB image;
    ASSERT_TRUE(cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(section32.get()), image, 32));
    EXPECT_EQ(image.ImageType(), 6);
    EXPECT_EQ(image.Alpha(), 2);
    EXPECT_EQ(std::vector<int>(PixelAt(image, 1, 1), PixelAt(image, 1, 1) + 4), (std::vector<int>{100, 50, 25, 128}));
    EXPECT_EQ(std::vector<int>(PixelAt(image, 1, 0), PixelAt(image, 1, 0) + 4), (std::vector<int>{0, 0, 0, 0}));

    win::UniqueGdiObject section24(MakeSection(width, height, 24, [&](uint8_t* row, int) {
        for (int x = 0; x < width; ++x) row[3 * x] = 10, row[3 * x + 1] = 20, row[3 * x + 2] = 30;
    }));
    c32bppDIB opaque;
    ASSERT_TRUE(cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(section24.get()), opaque, 24));
    EXPECT_EQ(opaque.ImageType(), 1);
    EXPECT_EQ(opaque.Alpha(), 0);
    ASSERT_EQ(opaque.Width(), width);
    EXPECT_EQ(std::vector<int>(PixelAt(opaque, 4, 2), PixelAt(opaque, 4, 2) + 4), (std::vector<int>{10, 20, 30, 255}));

    c32bppDIB none;
    EXPECT_FALSE(cBMPparser().ConvertstdPicTo32bpp(nullptr, nullptr, none, 0));
}

TEST(BitmapHandles, BitmapPictureKeepsItsSizeAndComesOutOpaque) {
    const int width = 40, height = 30;
    HBITMAP bitmap = MakeSection(width, height, 24, [&](uint8_t* row, int y) {
        for (int x = 0; x < width; ++x) row[3 * x] = uint8_t(x * 6), row[3 * x + 1] = uint8_t(y * 8), row[3 * x + 2] = 90;
    });
    ASSERT_NE(bitmap, nullptr);
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    IPicture* picture = nullptr;
    ASSERT_EQ(::OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture)), S_OK);
    c32bppDIB image;
    const bool converted = cBMPparser().ConvertstdPicTo32bpp(picture, nullptr, image, 0);
    picture->Release();
    ASSERT_TRUE(converted);
    EXPECT_EQ(image.Width(), width);
    EXPECT_EQ(image.Height(), height);
    EXPECT_EQ(image.ImageType(), PICTYPE_BITMAP);
    EXPECT_EQ(image.Alpha(), 0);
    // Upright: the top row of the picture is the image's top row.
    EXPECT_EQ(std::vector<int>(PixelAt(image, 5, 0), PixelAt(image, 5, 0) + 4), (std::vector<int>{30, 0, 90, 255}));
    EXPECT_EQ(std::vector<int>(PixelAt(image, 5, 29), PixelAt(image, 5, 29) + 4), (std::vector<int>{30, 232, 90, 255}));
}
