// The "bl" and "imgtype" options of a PDF conversion, and the names they lead to.
#include <gtest/gtest.h>

#include "pdf/pdf_page_options.h"

using namespace quorallion::pdf;

TEST(PdfPageOptions, ScaleFactorAndResolutionTable) {
    struct Case {
        const wchar_t* bl;
        int32_t scale, factor, resolution;
    };
    const Case cases[] = {
        {L"", 100, 2, 192},        {L"100", 100, 2, 192},      {L"10", 10, 2, 19},
        {L"150%", 150, 2, 288},    {L"%1%5%0%", 150, 2, 288},  {L"199", 199, 2, 382},
        {L"200", 200, 1, 192},     {L"300", 300, 1, 288},      {L"301", 100, 2, 192},
        {L"5", 100, 2, 192},       {L"9.5", 10, 2, 19},        {L"10.5", 10, 2, 19},
        {L"150.5", 150, 2, 288},   {L"151.5", 152, 2, 292},    {L"199.5", 200, 1, 192},
        {L" 120 ", 120, 2, 230},   {L"+120", 120, 2, 230},     {L"-120", 100, 2, 192},
        {L"abc", 100, 2, 192},     {L"1e9", 100, 2, 192},      {L"1e2", 100, 2, 192},
        {L"&H96", 100, 2, 192},    {L"0x96", 100, 2, 192},     {L"99999999999", 100, 2, 192},
        {L"99999999999999999999999999999999999999999999", 100, 2, 192},
        {L"150.", 150, 2, 288},    {L".", 100, 2, 192},        {L"1.2.3", 100, 2, 192},
        {L"%", 100, 2, 192},       {L"1 50", 100, 2, 192},     {L"0000150", 150, 2, 288},
    };
    for (const Case& c : cases) {
        const PageOptions o = ReadPageOptions(L"png", c.bl);
        EXPECT_EQ(o.scale, c.scale) << "bl \"" << ::testing::PrintToString(std::wstring(c.bl)) << "\"";
        EXPECT_EQ(o.factor, c.factor) << ::testing::PrintToString(std::wstring(c.bl));
        EXPECT_EQ(o.resolution, c.resolution) << ::testing::PrintToString(std::wstring(c.bl));
    }
}

TEST(PdfPageOptions, OnlyLowerCaseJpgMeansJpeg) {
    EXPECT_TRUE(ReadPageOptions(L"jpg", L"").jpg);
    for (const wchar_t* other : {L"JPG", L"jpeg", L"png", L"", L" jpg", L"gif"})
        EXPECT_FALSE(ReadPageOptions(other, L"").jpg) << ::testing::PrintToString(std::wstring(other));
}

TEST(PdfPageOptions, PatternDoublesEveryPercentOfTheFolderAndNamesCountFromOne) {
    EXPECT_EQ(PagePattern(L"C:\\Temp\\Quorallion2\\20240101120000123456\\"),
              L"C:\\Temp\\Quorallion2\\20240101120000123456\\%d.png");
    EXPECT_EQ(PagePattern(L"C:\\a%b\\100%%\\%d\\"), L"C:\\a%%b\\100%%%%\\%%d\\%d.png");
    EXPECT_EQ(RenderedPageName(1), L"1.png");
    EXPECT_EQ(RenderedPageName(12), L"12.png");
    EXPECT_EQ(ShrunkPageName(3, false), L"3s.png");
    EXPECT_EQ(ShrunkPageName(10, true), L"10s.jpg");
}
