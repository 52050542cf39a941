// The pattern helpers over the platform's regular-expression object, with the patterns that the
// clipboard and Word clean-up use.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include "regex/basRegExp.h"

using namespace quorallion;

namespace {

class RegExp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }
};

struct ReplaceCase {
    const wchar_t* name;
    const wchar_t* text;
    const wchar_t* pattern;
    const wchar_t* replacement;
    const wchar_t* expected;
};

const ReplaceCase kReplaceCases[] = {
    {L"script blocks go, lazily and across lines",
     L"a<SCRIPT type=x>1\r\n</script>b<script>2</Script>c", L"<script[\\s\\S]*?</script>", L"",
     L"abc"},
    {L"back-reference keeps the captured quote",
     L"<img src='x.png'> <IMG SRC=\"y.png\">", L"src=(['\"])(.*?)\\1", L"src=$1file:///$2$1",
     L"<img src='file:///x.png'> <IMG src=\"file:///y.png\">"},
    {L"look-ahead consumes nothing", L"<o:p></o:p><p>x</p>", L"<(?=o:)", L"<!--",
     L"<!--o:p></o:p><p>x</p>"},
    {L"negative look-ahead", L"<p class=a><span class=b>", L"\\s+class=(?!b)\\w+", L"",
     L"<p><span class=b>"},
    {L"whole match and non-capturing group", L"MsoNormal msoList", L"(?:mso)\\w+", L"[$&]",
     L"[MsoNormal] [msoList]"},
    {L"anchors under Global", L"abc", L"^a|c$", L"-", L"-b-"},
    {L"no match leaves the text", L"plain text", L"<[^>]+>", L"", L"plain text"},
    {L"empty text", L"", L"x", L"y", L""},
    {L"characters outside the ANSI code page pass intact", L"\u4e2d\u6587<b>\U0001F600</b>",
     L"</?b>", L"", L"\u4e2d\u6587\U0001F600"},
};

TEST_F(RegExp, ReplaceTable) {
    for (const ReplaceCase& c : kReplaceCases) {
        EXPECT_EQ(basRegExp::RegExpReplace(c.text, c.pattern, c.replacement), c.expected)
            << ::testing::PrintToString(std::wstring(c.name));
    }
}

TEST_F(RegExp, ReplaceKeepsEmbeddedNul) {
    std::wstring text(L"a\0b<x>", 6);
    EXPECT_EQ(basRegExp::RegExpReplace(text, L"<x>", L"!"), std::wstring(L"a\0b!", 4));
}

TEST_F(RegExp, ReplaceAllRunsUntilStable) {
    // Each pass halves the runs of blanks; a single pass would leave two.
    EXPECT_EQ(basRegExp::RegExpReplaceAll(L"a        b", L"  ", L" "), L"a b");
    EXPECT_EQ(basRegExp::RegExpReplaceAll(L"<b><b>x</b></b>", L"<b>([^<]*)</b>", L"$1"), L"x");
    EXPECT_EQ(basRegExp::RegExpReplaceAll(L"unchanged", L"\\d", L""), L"unchanged");
}

TEST_F(RegExp, ReplaceAllStopsAfterBoundedPassesWhenTextNeverSettles) {
    // Prepends one character per pass for ever: the helper must give up, not hang the server.
    std::wstring out = basRegExp::RegExpReplaceAll(L"x", L"x", L"ax");
    EXPECT_EQ(out.size(), 1001u);
    EXPECT_EQ(out.back(), L'x');
}

TEST_F(RegExp, TestIsCaseInsensitiveAndTakesPatternFirst) {
    EXPECT_FALSE(basRegExp::RegExpTest(L"[^0-9a-z]+", L"ABC123"));
    EXPECT_TRUE(basRegExp::RegExpTest(L"[^0-9a-z]+", L"ABC 123"));
    EXPECT_TRUE(basRegExp::RegExpTest(L"^word\\.", L"WORD.Application"));
    EXPECT_FALSE(basRegExp::RegExpTest(L"x", L""));
}

TEST_F(RegExp, InvalidPatternRaisesEngineError) {
    for (const wchar_t* bad : {L"(unclosed", L"[z-a]", L"*x"}) {
        EXPECT_THROW(basRegExp::RegExpReplace(L"text", bad, L""), RegExpError) << bad;
        EXPECT_THROW(basRegExp::RegExpTest(bad, L"text"), RegExpError) << bad;
    }
    try {
        basRegExp::RegExpTest(L"(", L"");
        FAIL() << "no error";
    } catch (const RegExpError& e) {
        EXPECT_TRUE(FAILED(e.HResult())) << std::hex << e.HResult();
    }
}

// Counts the messages that reach its window.
int g_messagesSeen = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP + 7) ++g_messagesSeen;
    return ::DefWindowProcW(window, message, w, l);
}

TEST_F(RegExp, ReplaceLetsPendingMessagesRunFirstTestDoesNot) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuorallionRegExpPumpTest";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_messagesSeen = 0;
    ASSERT_TRUE(::PostMessageW(window, WM_APP + 7, 0, 0));
    basRegExp::RegExpTest(L"a", L"a");
    EXPECT_EQ(g_messagesSeen, 0) << "the test call must not pump";
    basRegExp::RegExpReplace(L"a", L"a", L"b");
    EXPECT_EQ(g_messagesSeen, 1);
    ::DestroyWindow(window);
}

}  // namespace

namespace {

TEST_F(RegExp, ExecuteGivesMatchesWithGroups) {
    const std::wstring text = L"h1 { color: red } P.note{margin:0} \u4e2d{x:y}";
    std::vector<RegExpMatch> matches =
        basRegExp::RegExpExecute(text, L"([a-zA-Z\\.\\#][^\\{\\}]*?)\\{([^\\}]+?)\\}");
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].Value, L"h1 { color: red }");
    EXPECT_EQ(matches[0].FirstIndex, 0);
    EXPECT_EQ(matches[0].SubMatches, (std::vector<std::wstring>{L"h1 ", L" color: red "}));
    EXPECT_EQ(matches[1].FirstIndex, 18);
    EXPECT_EQ(matches[1].SubMatches, (std::vector<std::wstring>{L"P.note", L"margin:0"}));

    // A group that takes no part is empty; positions count UTF-16 units.
    matches = basRegExp::RegExpExecute(L"\U0001F600<p a><P>", L"<(p)(\\s+a)?>");
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].FirstIndex, 2);
    EXPECT_EQ(matches[0].SubMatches, (std::vector<std::wstring>{L"p", L" a"}));
    EXPECT_EQ(matches[1].SubMatches, (std::vector<std::wstring>{L"P", L""}));

    EXPECT_TRUE(basRegExp::RegExpExecute(L"nothing here", L"<x>").empty());
    EXPECT_THROW(basRegExp::RegExpExecute(L"x", L"(unclosed"), RegExpError);
}

}  // namespace

namespace {

// Replacement built from the matches against the engine's own Replace: the same text for the
// table above, the inliner's whole-text patterns and every "$" form.
TEST_F(RegExp, ReplaceByMatchesIsReplace) {
    struct Extra {
        const wchar_t* text;
        const wchar_t* pattern;
        const wchar_t* replacement;
    };
    const Extra extras[] = {
        {L"ab-cd-ef", L"(\\w)(\\w)", L"[$2$1|$0|$3|$10|$$|$&|$`|$'|$x|$]"},
        {L"a1b2c3d4e5f6g7h8i9j0kl", L"(a)(1)(b)(2)(c)(3)(d)(4)(e)(5)(f)(6)", L"<$12-$11-$10-$1$>"},
        {L"trailing", L"g$", L"G$"},
        {L"<p class='a' style='x:\"1\"'>t</p>", L"(<[^>]*?)(\\sclass\\s*=\\s*)('?)([a-zA-Z0-9\\_\\-]+)\\3(?=[\\s>])([^>]*?>)",
         L"$1 class=\"$4\"$5"},
        {L"<b style='x:\"1\"'><i style='y'>", L"(<[^>]*?\\sstyle\\s*=\\s*'[^>']*?)\"([^>']*?'[^>]*?>)",
         L"$1QUORALLIONQUOT$2"},
        {L"<p id=1 style=\"a\" class=\"k\" style=\"b\">", L"(<[a-zA-Z]+?)(?=\\s)([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*>)",
         L"$1$2 style=\"$3;$5\" $4 $6"},
    };
    for (const ReplaceCase& c : kReplaceCases)
        EXPECT_EQ(basRegExp::RegExpReplaceByMatches(c.text, c.pattern, c.replacement),
                  basRegExp::RegExpReplace(c.text, c.pattern, c.replacement))
            << ::testing::PrintToString(std::wstring(c.name));
    for (const Extra& c : extras)
        EXPECT_EQ(basRegExp::RegExpReplaceByMatches(c.text, c.pattern, c.replacement),
                  basRegExp::RegExpReplace(c.text, c.pattern, c.replacement))
            << ::testing::PrintToString(std::wstring(c.text)) << " " << ::testing::PrintToString(std::wstring(c.replacement));
    EXPECT_EQ(basRegExp::RegExpReplaceAllByMatches(L"<b><b>x</b></b>", L"<b>([^<]*)</b>", L"$1"), L"x");
}

}  // namespace
