// Printing a picture to fit the page: proportions kept, a height of 0 refused.
#include <gtest/gtest.h>

#include "fit_to_page.h"

using namespace quorallion::capture;

TEST(FitToPage, Table) {
    struct Case {
        double pictureW, pictureH, pageW, pageH;
        bool fits;
        double width, height;
    };
    const Case cases[] = {
        {2000, 1000, 8000, 10000, true, 8000, 4000},   // twice as wide as high: full width
        {1000, 1000, 8000, 10000, true, 8000, 8000},   // square on a portrait page: full width
        {1000, 3000, 8000, 10000, true, 10000.0 / 3, 10000},  // tall: full height
        {4000, 5000, 8000, 10000, true, 8000, 10000},  // the page's own proportions
        {1000, 0, 8000, 10000, false, 0, 0},           // no picture height
        {1000, 1000, 8000, 0, false, 0, 0},            // no printable height
        {0, 1000, 0, 10000, false, 0, 0},              // nothing wide on nothing wide
        {0, 1000, 8000, 10000, true, 0, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureW << "x" << c.pictureH << " on " << c.pageW << "x" << c.pageH);
        const std::optional<PrintedSize> size = FitToPage(c.pictureW, c.pictureH, c.pageW, c.pageH);
        ASSERT_EQ(size.has_value(), c.fits);
        if (!size) continue;
        EXPECT_DOUBLE_EQ(size->width, c.width);
        EXPECT_DOUBLE_EQ(size->height, c.height);
    }
}

TEST(FitToPage, OrientationByTheRoundedSize) {
    EXPECT_EQ(OrientationFor(100, 100), PageOrientation::Portrait);
    EXPECT_EQ(OrientationFor(100, 101), PageOrientation::Portrait);
    EXPECT_EQ(OrientationFor(101, 100), PageOrientation::Landscape);
    EXPECT_EQ(OrientationFor(100.4, 100), PageOrientation::Portrait);
    EXPECT_EQ(OrientationFor(100.5, 100), PageOrientation::Portrait);  // half to even: 100
    EXPECT_EQ(OrientationFor(101.5, 101), PageOrientation::Landscape);  // 102
}
