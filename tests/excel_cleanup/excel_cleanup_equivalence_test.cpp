// Every step of the spreadsheet clean-up on our own matcher against the platform's engine running
// the pattern the step stands for, on the very text the step gets along the platform's run of the
// whole clean-up; then the whole against the whole. Copied cells, a published page, 20,000 copied
// rows, edge cases as a table and generated text: the outputs must be the same, character for
// character.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "excel/clsOfficeExcel.h"
#include "excel/excel_cleanup.h"
#include "platform_equivalence.h"
#include "regex/basRegExp.h"
#include "tests/excel_like_html.h"

using namespace quorallion;
using quorallion::testing::FirstDifference;
using quorallion::testing::ShownStart;

namespace {

// How the platform's replacements are applied: its own Replace, or (for megabytes with tens of
// thousands of matches, where Wine's Replace takes about 0.2 ms a match) its matches put together
// by basRegExp. Both match with the platform's engine.
enum class Engine { kReplace, kByMatches };

std::wstring PlatformReplace(Engine engine, bool untilStable, const std::wstring& text,
                             const std::wstring& pattern, const std::wstring& replacement) {
    if (engine == Engine::kReplace)
        return untilStable ? basRegExp::RegExpReplaceAll(text, pattern, replacement)
                           : basRegExp::RegExpReplace(text, pattern, replacement);
    return untilStable ? basRegExp::RegExpReplaceAllByMatches(text, pattern, replacement)
                       : basRegExp::RegExpReplaceByMatches(text, pattern, replacement);
}

class ExcelCleanupEquivalence : public quorallion::testing::PlatformEngineTest {
protected:
    // The cuts and every step on the platform's engine, ours held against each on the same text;
    // then the whole of ours against the fragment the platform's run gives.
    static void ExpectSameCleanup(const std::wstring& input, bool published, const std::string& source,
                                  Engine engine = Engine::kReplace) {
        const std::string what = source + (published ? " (published)" : " (clipboard)");
        // The cuts.
        const std::wstring head = PlatformReplace(engine, false, input, excel::kHeadContentPattern, L"$1");
        std::wstring body, id;
        if (published) {
            body = PlatformReplace(engine, false, input, excel::kSheetContainerPattern, L"$2");
            if (body != input) id = PlatformReplace(engine, false, input, excel::kSheetContainerPattern, L"$1");
        }
        if (id.empty() && !(published && body != input))
            body = PlatformReplace(engine, false, input, excel::kBodyContentPattern, L"$1");
        std::wstring styles;
        for (const RegExpMatch& match : basRegExp::RegExpExecute(head, excel::kStyleElementPattern)) {
            if (!styles.empty()) styles += L"\r\n";
            styles += match.Value;
        }
        const excel::SheetParts ours = excel::CutSheetParts(input, published, nullptr);
        EXPECT_TRUE(ours.id == id) << "id of " << what << ": \"" << ShownStart(id) << "\" and \""
                                   << ShownStart(ours.id) << "\"";
        EXPECT_TRUE(ours.styles == styles) << "styles of " << what << " " << FirstDifference(styles, ours.styles);
        EXPECT_TRUE(ours.body == body) << "body of " << what << " " << FirstDifference(body, ours.body);

        // The steps, each on the text the platform's run gives it.
        for (const excel::PlatformStep& step : excel::PlatformSteps()) {
            const bool onStyles = step.on == excel::StepText::kStyles;
            std::wstring& text = onStyles ? styles : body;
            std::wstring platform = text;
            const bool skipped =
                (step.number == 2 && basRegExp::RegExpTest(excel::kRubyElementPattern, body)) ||
                (step.number == 3 && basRegExp::RegExpTest(excel::kRtElementPattern, body));
            if (!skipped) platform = PlatformReplace(engine, step.untilStable, text, step.pattern, step.replacement);
            const std::wstring mine = excel::RunStep(step.number, text, body, nullptr);
            EXPECT_TRUE(mine == platform) << "step " << step.number << " on " << what << " "
                                          << FirstDifference(platform, mine);
            text = platform;
        }

        if (id.empty()) id = L"Quorallion_Sheet12345";
        const std::wstring platformFragment = excel::SheetFragment(id, styles, body);
        const std::wstring whole = excel::OptimizeExcelHtml(
            input, published, [] { return std::wstring(L"12345"); }, nullptr, nullptr);
        EXPECT_TRUE(whole == platformFragment) << "whole clean-up of " << what << " "
                                               << FirstDifference(platformFragment, whole);
    }
};

}  // namespace

TEST_F(ExcelCleanupEquivalence, CopiedCellsAndPublishedPages) {
    for (bool published : {false, true}) {
        ExpectSameCleanup(excel::testing::ClipboardSheet(3), published, "copied cells");
        ExpectSameCleanup(excel::testing::PublishedSheet(2, 3), published, "published page");
    }
}

TEST_F(ExcelCleanupEquivalence, TwentyThousandCopiedRows) {
    ExpectSameCleanup(excel::testing::ClipboardSheet(20000), false, "20,000 copied rows",
                      Engine::kByMatches);
}

TEST_F(ExcelCleanupEquivalence, EdgeCases) {
    struct Case {
        const char* why;
        std::wstring text;
    };
    const Case cases[] = {
        {"empty", L""},
        {"no head, no body", L"<style>td {mso-x:1;color:red}</style><td x:num>1</td>"},
        {"unclosed head, body and container",
         L"<head><style>p{a:b}</style><body><div id=\"Quorallion_Sheet1\">x"},
        {"two heads, two bodies, nested containers",
         L"<head><style>a{b:c}</style></head><head><style>d{e:f}</style></head><body>1</body>"
         L"<div id='Quorallion_Sheet7'><div id=\"Quorallion_Sheet8\">in</div></div>2</body>"},
        {"containers the pattern refuses",
         L"<body><div id=Quorallion_Sheet1>a</div><div xid=\"Quorallion_Sheet2\">b</div>"
         L"<div id=\"Quorallion_SheetX\">c</div><DIVX id=\"quorallion_sheet3\">d</div></body>"},
        {"ruby and rt rules with and without ruby text",
         L"<head><style>ruby\r\n\t{ruby-align:left;}\r\nrt\r\n\t{mso-char-type:none;display:none;}"
         L"rubyx {a:b} xrt{c:d}</style></head><body><RUBY>x<RT>y</RT></RUBY></body>"},
        {"not-Excel comments of blanks",
         L"<body><!--[if !excel]>\x3000 \x3000\r\n<![endif]--><!--[if  !excel]>&nbsp;<![endif]-->"
         L"<!--[if !excel]><![endif]--></body>"},
        {"cell attributes in every spelling",
         L"<body><TD X:NUM=\"1.5\" x:num>1</TD><td x:num>2</td><td class=x x:str=\"'a\">3</td>"
         L"<table x:str border=0><td x:strx>4</td><td\r\nx:num=\"1e5\">5</td></body>"},
        {"style attributes with mso- properties",
         L"<body><td style='mso-a:b;mso-c:\"d\";color:red;mso-e : f'>1</td><p style=\"mso-x:y\">2</p>"
         L"<p style=''>3</p><p style=\"  \">4</p><span style='a:b;mso-c'>5</span></body>"},
        {"pictures and conditional markers",
         L"<body><!--[if gte vml 1]><v:shape/><![endif]--><![if !vml]><img src=a.png v:shapes=\"P_1\">"
         L"<![endif]><![if supportMisalignedColumns]><tr></tr><![endif]><![if x]><!--[if mso 9]>m"
         L"<![endif]--><!-- c --></body>"},
        {"style comments, at-rules and link rules",
         L"<style><!--/* Font Definitions */ @page {margin:1in;} @import url(x); a:link {color:blue;}"
         L"}a:visited, a.x {c:d} td{ mso-x:1; }\r\n\r\n.xl1\t{ color : red ;\r\n\tfont:1pt }--></style>"},
        {"unclosed openers", L"<body><!--[if gte mso 9]>x<![if !vml]>y<td x:num<img v:shapes=\"a"
                             L"<p style='mso-a:b<!--[if mso<![x</body>"},
    };
    for (const Case& c : cases)
        for (bool published : {false, true}) ExpectSameCleanup(c.text, published, c.why);
}

TEST_F(ExcelCleanupEquivalence, GeneratedText) {
    std::mt19937 random(2028);
    for (int round = 0; round < 20; ++round) {
        const std::wstring text = excel::testing::RandomSheetHtml(random, 10 + round * 5);
        ExpectSameCleanup(text, round % 2 == 1, "generated text " + std::to_string(round));
        if (::testing::Test::HasFailure()) break;  // one text's differences are enough to read
    }
}

TEST_F(ExcelCleanupEquivalence, TheServersGlueGivesTheSameFragmentWithARandomId) {
    const std::wstring input = excel::testing::ClipboardSheet(2);
    const std::wstring fragment = clsOfficeExcel().OptimizeHTML(input, false);
    ASSERT_EQ(fragment.rfind(L"<style id=\"Quorallion_Sheet", 0), 0u) << ShownStart(fragment);
    const std::wstring digits = fragment.substr(27, 5);
    ASSERT_EQ(digits.find_first_not_of(L"0123456789"), std::wstring::npos) << ShownStart(fragment);
    EXPECT_GE(std::stoi(digits), 10000);
    EXPECT_EQ(fragment, excel::OptimizeExcelHtml(input, false, [&] { return digits; }, nullptr, nullptr));
    EXPECT_EQ(clsOfficeExcel().OptimizeHTML(excel::testing::PublishedSheet(4, 1), true).rfind(
                  L"<style id=\"Quorallion_Sheet4_Styles\">", 0),
              0u);
}
