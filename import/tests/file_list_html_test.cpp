#include <gtest/gtest.h>

#include "clipboard/file_list_html.h"

using namespace quorallion::clipboard;

TEST(FileListHtml, SizeLimitAndTag) {
    EXPECT_TRUE(FitsSizeLimit(2 * 1024, 2));
    EXPECT_FALSE(FitsSizeLimit(2 * 1024 + 1, 2));
    EXPECT_TRUE(FitsSizeLimit(0, 0));
    EXPECT_FALSE(FitsSizeLimit(1, 0));
    EXPECT_EQ(ImageTag(L"C:\\a b\\c.png"), L"<img src=\"C:\\a b\\c.png\" border=0><br>");
}
