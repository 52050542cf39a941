// The argument vector and the PDF paths that may reach Ghostscript.
#include <gtest/gtest.h>

#include <climits>

#include "p2j_arguments.h"

using namespace quorallion::pdf;

TEST(P2JArguments, SeventeenEntriesInOrderWithTheCallersTexts) {
    // "ü" and "中" in UTF-8, "%%" as the caller escapes a "%" of the job folder.
    const std::string folder = "C:\\users\\u\\Temp\\Quorallion2\\a%%b \xc3\xbc\xe4\xb8\xad\\";
    auto args = BuildP2JArguments("png16m", 192, "Z:\\docs\\r\xc3\xa9sum\xc3\xa9 \"q\".pdf", folder + "%d.png");
    ASSERT_TRUE(args.has_value());
    const std::vector<std::string> expected = {
        "pdf2img", "-dNOPAUSE", "-dBATCH", "-dUseCropBox", "-sDEVICE=png16m", "-dJPEGQ=100",
        "-dSAFER", "-r192", "-sOutputFile=" + folder + "%d.png", "-dTextAlphaBits=4",
        "-dGraphicsAlphaBits=4", "-dMaxBitmap=500000000", "-dAlignToPixels=0", "-dGridFitTT=2",
        "-dDOINTERPOLATE", "-sFONTPATH=c:/windows/fonts", "Z:\\docs\\r\xc3\xa9sum\xc3\xa9 \"q\".pdf"};
    EXPECT_EQ(*args, expected);

    EXPECT_EQ(BuildP2JArguments("png16m", -5, "C:/a.pdf", "x")->at(7), "-r-5");
    EXPECT_EQ(BuildP2JArguments("png16m", INT_MIN, "C:/a.pdf", "x")->at(7), "-r-2147483648");
    // No fixed buffers: a long device name and pattern come through whole.
    const std::string longPattern(5000, 'p');
    auto longArgs = BuildP2JArguments(std::string(400, 'd'), 96, "C:\\a.pdf", longPattern);
    EXPECT_EQ(longArgs->at(4).size(), 9u + 400u);
    EXPECT_EQ(longArgs->at(8), "-sOutputFile=" + longPattern);
}

TEST(P2JArguments, OnlyAbsolutePdfPathsReachGhostscript) {
    struct Case {
        const char* path;
        bool absolute;
    };
    const Case cases[] = {
        {"C:\\docs\\a.pdf", true},
        {"z:/docs/a.pdf", true},
        {"\\\\server\\share\\a.pdf", true},
        {"\\\\?\\C:\\docs\\a.pdf", true},
        {"-dNOSAFER", false},
        {"-sOutputFile=C:\\x", false},
        {"@C:\\list.txt", false},
        {"a.pdf", false},
        {"docs\\a.pdf", false},
        {"\\docs\\a.pdf", false},
        {"C:a.pdf", false},
        {"\\\\\\x", false},
        {"", false},
        {"1:\\a.pdf", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAbsoluteWindowsPath(c.path), c.absolute) << c.path;
        EXPECT_EQ(BuildP2JArguments("png16m", 96, c.path, "C:\\%d.png").has_value(), c.absolute) << c.path;
    }
}
