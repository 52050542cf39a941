// The pattern matcher against what the platform's engine gave (measured under Wine) and against
// the plain backtracking reference, and the clean-up steps built on it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "html/html_pattern.h"
#include "html/script_removal.h"
#include "tests/html_like_text.h"
#include "tests/pattern_reference.h"
#include "word/smart_tags.h"
#include "word/word_cleanup.h"

using namespace quorallion;
using html::Pattern;

namespace {

struct Case {
    const wchar_t* pattern;
    std::wstring text;
    const wchar_t* replacement;
    std::wstring expected;  // the platform engine's answer
};

std::string Shown(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

}  // namespace

TEST(HtmlPattern, PlatformAnswers) {
    // Each answer was read from "VBScript.RegExp" (IgnoreCase, Global) under Wine.
    const Case cases[] = {
        {L"[^a]", L"aAbB\x00e1", L"x", L"aAxxx"},
        {L"[^\\s\\}a]", L"aA}B ", L"x", L"aA}x "},
        {L"<(b)>x</\\1>", L"<b>x</B>|<B>x</b>|<b>x</b>", L"-", L"-|-|-"},
        {L"<(st[0-9]+:\\w+)[^>]*?>([\\s\\S]*?)</\\1>", L"<st1:Cityx>p</st1:city>", L"[$2]", L"[p]"},
        {L"a\\b", L"a\x00e9 a- ab", L"X", L"X\x00e9 X- ab"},
        {L"(a)|b", L"ab", L"[$1]", L"[a][]"},
        {L"\\s", L"\xfeff\x180e\x001c\x200b", L"S", L"\xfeff\x180e\x001c\x200b"},
        {L"\\s", L" \t\x85\xa0\x1680\x2000\x200a\x2028\x2029\x202f\x205f\x3000", L"", L""},
        {L"[\\w\\-]+", L"ab-c\x00e9", L"W", L"W\x00e9"},
        {L"[\\w\\.]+", L"a.b", L"W", L"W"},
        {L"(\\r\\n)+", L"a\r\n\r\nb", L"|", L"a|b"},
        {L"[^\\s\\}\\{][^\\}\\{]+?\\{\\s*?\\}", L"p.a {  }x", L"E", L"Ex"},
        {L"a$", L"a\nb a", L"E", L"a\nb E"},
        {L"^a", L"a\na", L"E", L"E\na"},
        {L"[\\'\\\"]", L"'\"", L"Q", L"QQ"},
        {L"<\\/a>", L"</a>", L"G", L"G"},
        {L"a", L"a", L"$$-$&-$0-$2-$a", L"$-a-$0-$2-$a"},
        {L"(a)", L"a", L"$1$2$10$01", L"a$2a0a"},
        {L"s", L"s\x017f", L"x", L"x\x017f"},  // no other case beyond ASCII
        {L"k", L"K\x212a", L"x", L"x\x212a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(Pattern(c.pattern).Replace(c.text, c.replacement)), Shown(c.expected))
            << Shown(c.pattern) << " on " << Shown(c.text);
        EXPECT_EQ(Shown(html::testing::ReferenceMatcher(c.pattern).Replace(c.text, c.replacement)),
                  Shown(c.expected))
            << "reference: " << Shown(c.pattern) << " on " << Shown(c.text);
    }
}

TEST(HtmlPattern, RefusesWhatItCannotRunAsThePlatformDoes) {
    for (const wchar_t* pattern : {L"a.b", L"a{2}", L"(?=ab)", L"(a*)*", L"(?<=a)", L"\\q", L"[a",
                                   L"(a", L"a)", L"*a", L"\\2(a)"})
        EXPECT_THROW(Pattern{pattern}, std::invalid_argument) << Shown(pattern);
}

TEST(HtmlPattern, ScriptRemoval) {
    struct ScriptCase {
        std::wstring text, expected;
    } cases[] = {
        {L"a<script>x</script>b", L"ab"},
        {L"a<SCRIPT type=x>x</Script>b<script>y</script>c", L"abc"},
        {L"<scripts>x</script>", L""},                            // no \b after the name
        {L"<script>x", L"<script>x"},                             // unclosed
        {L"<script>a<script>b</script>c</script>", L"c</script>"},  // first closing tag
        {L"<script a</script>", L"<script a</script>"},           // no '>' at all after the name
        {L"<script></script><script>", L"<script>"},
        {L"<script <b>x</script>y", L"y"},
    };
    for (const ScriptCase& c : cases)
        EXPECT_EQ(Shown(html::RemoveScriptElements(c.text)), Shown(c.expected)) << Shown(c.text);
}

TEST(HtmlPattern, SmartTagsAsTheBackReferencePattern) {
    html::testing::ReferenceMatcher reference(L"<(st[0-9]+:\\w+)[^>]*?>([\\s\\S]*?)</\\1>");
    const std::wstring texts[] = {
        L"<st1:City w:st=\"on\">Paris</st1:City> <st2:place><st1:City>Rome</st1:City></st2:place>",
        L"<st1:Cityx>p</st1:city>",
        L"<st1:Cityx a>p</st1:cit></st1:City></st1:Cityx>",
        L"<st1:ab>x</st1:a></st1:ab>",
        L"<st1:ab>x</st1:a>",
        L"<st12:a>x</st1:a></st12:a>",
        L"<st1:a",
        L"<st1:a <st1:a>x</st1:a>",
        L"<ST1:A>x</st1:a>",
        L"<st:a>x</st:a><st1:>x</st1:>",
        L"<st1:a>x</st1:a >y</st1:a>",
        L"<st1:a><st1:b>1</st1:a>2</st1:b>",
    };
    for (const std::wstring& text : texts) {
        std::wstring ours;
        if (!word::UnwrapSmartTags(text, ours)) ours = text;
        EXPECT_EQ(Shown(ours), Shown(reference.Replace(text, L"$2"))) << Shown(text);
    }
}

TEST(HtmlPattern, EveryStepAgainstTheReferenceOnRandomHtml) {
    std::mt19937 random(13);
    for (int round = 0; round < 100; ++round) {
        const std::wstring text = html::testing::RandomHtml(random, 1 + round % 30);
        for (const word::PlatformStep& step : word::PlatformSteps()) {
            html::testing::ReferenceMatcher reference(step.pattern);
            std::wstring expected = text;
            if (step.number != 30 ||
                !html::testing::ReferenceMatcher(word::kInternalLinkPattern).Test(text)) {
                for (int pass = 0; pass < 1000; ++pass) {
                    std::wstring next = reference.Replace(expected, step.replacement);
                    if (next == expected) break;
                    expected = std::move(next);
                    if (!step.untilStable) break;
                }
            }
            ASSERT_EQ(Shown(word::RunStep(step.number, text, nullptr)), Shown(expected))
                << "step " << step.number << " on " << Shown(text);
        }
        html::testing::ReferenceMatcher script(html::kScriptElementPattern);
        ASSERT_EQ(Shown(html::RemoveScriptElements(text)), Shown(script.Replace(text, L"")))
            << Shown(text);
    }
}

TEST(HtmlPattern, PumpRunsOncePerStepAndOncePerPass) {
    int pumped = 0;
    const html::Pump pump = [&pumped] { ++pumped; };
    word::RunStep(21, L"<p>x</p>", pump);
    EXPECT_EQ(pumped, 1);
    pumped = 0;
    // Three nested empty spans: three passes that change the text, one that finds nothing.
    EXPECT_EQ(word::RunStep(31, L"a<span><span><span></span></span></span>b", pump), L"ab");
    EXPECT_EQ(pumped, 4);
}

TEST(WordCleanup, EmptyInputGivesTheFrame) {
    EXPECT_EQ(word::OptimizeWordHtml(L"", nullptr, nullptr), L"<style>\r\n\r\n</style><body></body>");
}
