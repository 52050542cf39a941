// The size and file type basPublic.ResizeImageFile chooses.
#include <gtest/gtest.h>

#include <climits>

#include "pdf/resize_target.h"

using namespace quorallion::pdf;

TEST(ResizeTarget, SizesByGivenSidesOrFactor) {
    struct Case {
        const char* what;
        int32_t imageW, imageH, width, height;
        double factor;
        std::optional<TargetSize> expected;
    };
    const Case cases[] = {
        {"height given, width follows", 1000, 500, -1, 300, -1, TargetSize{600, 300}},
        {"width given, height follows", 1000, 500, 250, -1, -1, TargetSize{250, 125}},
        {"both given", 1000, 500, 30, 40, -1, TargetSize{30, 40}},
        {"factor one half", 1000, 500, -1, -1, 0.5, TargetSize{500, 250}},
        {"factor cuts fractions off", 999, 333, 0, 0, 0.5, TargetSize{499, 166}},
        {"half a pixel rounds to even (down)", 5, 2, -1, 1, -1, TargetSize{2, 1}},
        {"half a pixel rounds to even (up)", 7, 2, -1, 1, -1, TargetSize{4, 1}},
        {"a page shrunk from 1 pixel", 1, 1, -1, -1, 0.5, std::nullopt},
        {"both sides -1 with factor -1", 100, 100, -1, -1, -1, std::nullopt},
        {"products past 32 bits", INT_MAX, 1, -1, INT_MAX, -1, std::nullopt},
        {"large but fitting product", 60000, 60000, -1, 60000, -1, TargetSize{60000, 60000}},
        {"factor past 32 bits", INT_MAX, 2, 0, 0, 4.0, std::nullopt},
        {"zero height image", 10, 0, -1, 5, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResizeTarget(c.imageW, c.imageH, c.width, c.height, c.factor), c.expected) << c.what;
    }
}

TEST(ResizeTarget, SaveKindByExtension) {
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.png"), SaveKind::Png);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.jpg"), SaveKind::Jpg);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.JPEG"), SaveKind::Jpg);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.Gif"), SaveKind::Gif);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.bmp"), SaveKind::Bmp);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\1s.tga"), SaveKind::Tga);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\page"), SaveKind::Png);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a\\page."), SaveKind::Png);
    EXPECT_EQ(SaveKindForTarget(L"C:\\a.jpg\\page"), SaveKind::Png);  // after the last dot: "jpg\\page"
}
