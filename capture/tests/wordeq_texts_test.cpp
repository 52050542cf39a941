// The equation window's option list, captions, layout and img tag.
#include <gtest/gtest.h>

#include "wordeq_texts.h"

using namespace quorallion::wordeq;

TEST(WordEqOptions, SizesAreWholeNumbersFromOneTo32767) {
    struct Case {
        const wchar_t* list;
        std::optional<int> width, height;
    } cases[] = {
        {L"", 800, 500},                                  // both missing: the defaults
        {L"width:;height:", 800, 500},                    // empty values: the defaults too
        {L"width:640;height:480", 640, 480},
        {L"WIDTH: 0640 ;Height:1", 640, 1},               // keys ignore case, values are trimmed
        {L"width:32767;height:32768", 32767, std::nullopt},
        {L"width:abc", std::nullopt, 500},
        {L"width:-5", std::nullopt, 500},
        {L"width:0", std::nullopt, 500},
        {L"width:99999999", std::nullopt, 500},
        {L"width:99999999999999999999", std::nullopt, 500},
        {L"width:80.5", std::nullopt, 500},
        {L"width:+80", std::nullopt, 500},
        {L"width:8 0", std::nullopt, 500},
        {L"width:\x0661\x0662", std::nullopt, 500},      // other scripts' digits are no digits here
        {L"height:1e3", 800, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.list)));
        const Options options = ReadOptions(c.list);
        EXPECT_EQ(options.width, c.width);
        EXPECT_EQ(options.height, c.height);
    }
}

TEST(WordEqOptions, VersionLosesItsDotsAndNamesTheProgId) {
    struct Case {
        const wchar_t* list;
        const wchar_t* progId;
        const wchar_t* eqType;
    } cases[] = {
        {L"ver:1.0.2;eqtype:omath", L"Quorallion.WordEq102", L"omath"},
        {L"ver:9.9", L"Quorallion.WordEq99", L""},
        {L"ver:..", L"Quorallion.WordEq", L""},
        {L"eqtype:a&fenhao#b&maohao#c;ver:V1.2", L"Quorallion.WordEqV12", L"a;b:c"},  // the list's escapes undone
        {L"pointsize:12;action:x", L"Quorallion.WordEq", L""},  // keys the window does not read
        {L"ver:1.0:2;ver:3", L"Quorallion.WordEq3", L""},        // an item of three parts is skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.list)));
        const Options options = ReadOptions(c.list);
        EXPECT_EQ(ProgIdFor(options.version), c.progId);
        EXPECT_EQ(options.eqType, c.eqType);
    }
}

TEST(WordEqCaptions, ChosenByTheExactLanguage) {
    EXPECT_STREQ(CaptionsFor(L"zh-cn").title, L"公式编辑(WordEQ)");
    EXPECT_STREQ(CaptionsFor(L"zh-cn").ok, L"  确 定");
    EXPECT_STREQ(CaptionsFor(L"zh-cn").cancel, L"  取 消");
    EXPECT_STREQ(CaptionsFor(L"zh-tw").title, L"公式編輯(WordEQ)");
    EXPECT_STREQ(CaptionsFor(L"zh-tw").ok, L"  確 定");
    EXPECT_STREQ(CaptionsFor(L"zh-tw").reset, L"重 置");
    for (const wchar_t* language : {L"en", L"ZH-CN", L"zh_cn", L"", L"fr"}) {
        EXPECT_STREQ(CaptionsFor(language).title, L"Equation Editor (WorEQ)") << language;
        EXPECT_STREQ(CaptionsFor(language).clear, L"Clear");
    }
}

TEST(WordEqLayout, ControlKeepsItsSizeAndTheFourButtonsStandApart) {
    // The window as sized for a control of the asked width (client = window: no border).
    struct Case {
        int controlWidth, controlHeight;
        int windowWidth;  // from WindowWidthFor
        Box control, ok, cancel, reset, clear;
    } cases[] = {
        {800, 500, 806, {3, 30, 800, 500}, {621, 535, 81, 25}, {712, 535, 81, 25}, {13, 535, 81, 25}, {104, 535, 81, 25}},
        {400, 100, 406, {3, 30, 400, 100}, {221, 135, 81, 25}, {312, 135, 81, 25}, {13, 135, 81, 25}, {104, 135, 81, 25}},
        // From here the buttons set the width; the control stays as asked, at its place.
        {374, 120, 380, {3, 30, 374, 120}, {195, 155, 81, 25}, {286, 155, 81, 25}, {13, 155, 81, 25}, {104, 155, 81, 25}},
        {300, 120, 380, {3, 30, 300, 120}, {195, 155, 81, 25}, {286, 155, 81, 25}, {13, 155, 81, 25}, {104, 155, 81, 25}},
        {1, 1, 380, {3, 30, 1, 1}, {195, 36, 81, 25}, {286, 36, 81, 25}, {13, 36, 81, 25}, {104, 36, 81, 25}},
        {375, 120, 381, {3, 30, 375, 120}, {196, 155, 81, 25}, {287, 155, 81, 25}, {13, 155, 81, 25}, {104, 155, 81, 25}},
    };
    auto same = [](const Box& a, const Box& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    };
    EXPECT_EQ(MinimumWindowWidth(81), 380);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.controlWidth);
        const int width = WindowWidthFor(c.controlWidth, 81), height = c.controlHeight + kFrameExtraHeight;
        EXPECT_EQ(width, c.windowWidth);
        const Layout layout = LayoutFor(width, height, c.controlWidth, 81, 25);
        EXPECT_TRUE(same(layout.control, c.control));
        EXPECT_TRUE(same(layout.ok, c.ok));
        EXPECT_TRUE(same(layout.cancel, c.cancel));
        EXPECT_TRUE(same(layout.reset, c.reset));
        EXPECT_TRUE(same(layout.clear, c.clear));
        // Left to right, no two touch, all inside the window; the row in the band below the control.
        const Box row[] = {layout.reset, layout.clear, layout.ok, layout.cancel};
        EXPECT_GE(row[0].left, 0);
        for (int i = 0; i + 1 < 4; ++i) EXPECT_GE(row[i + 1].left - (row[i].left + row[i].width), 10) << i;
        EXPECT_LE(row[3].left + row[3].width, width);
        EXPECT_LE(layout.ok.top + layout.ok.height, height);
    }
}

TEST(WordEqImgTag, CodeAndTypeReadBackFromTheirAttributes) {
    EXPECT_EQ(ImgTag(L"12345678901234567890", L"20261211030405123.png", L"UEsDBBQA+/=", L"omath"),
              L"<img style=\"vertical-align:middle\" src=\"file:///12345678901234567890/20261211030405123.png\""
              L" _tag=\"wordeq\" _eqcode=\"UEsDBBQA+/=\" _eqtype=\"omath\">");
    const std::wstring tag = ImgTag(L"k", L"f.png", L"a\"b<c>d&e'f&amp;", L"\"><script>");
    EXPECT_NE(tag.find(L"_eqcode=\"a&quot;b&lt;c&gt;d&amp;e'f&amp;amp;\""), std::wstring::npos) << tag;
    EXPECT_NE(tag.find(L"_eqtype=\"&quot;&gt;&lt;script&gt;\">"), std::wstring::npos) << tag;
    // One element: no quote or bracket of the texts ends it early.
    EXPECT_EQ(tag.find(L'<', 1), std::wstring::npos);
    EXPECT_EQ(tag.find(L'>'), tag.size() - 1);
}
