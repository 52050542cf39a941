// Every clean-up step on our own matcher against the platform's engine running the pattern the
// step stands for: the Word clean-up's steps one by one along real Word clipboard HTML, the
// edge cases of the clean-up as a table, generated text, and the clipboard's script removal.
// The outputs must be the same, character for character.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "html/element_extract.h"
#include "html/script_removal.h"
#include "regex/basRegExp.h"
#include "shared_fixtures.h"
#include "tests/html_like_text.h"
#include "word/style_blocks.h"
#include "word/word_cleanup.h"

using namespace quorallion;

namespace {

std::wstring ReadUtf8(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return L"";
    std::stringstream content;
    content << in.rdbuf();
    const std::string utf8 = content.str();
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}

std::string Shown(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text.substr(0, 100)) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '.';
    return text.size() > 100 ? out + "..." : out;
}

// Where two texts first differ, for the failure message.
std::string FirstDifference(const std::wstring& a, const std::wstring& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    const size_t from = i > 30 ? i - 30 : 0;
    return "at " + std::to_string(i) + "\n  platform: \"" + Shown(a.substr(from)) +
           "\"\n  ours:     \"" + Shown(b.substr(from)) + "\"";
}

// The step as the server ran it before: the platform's engine, with the same passes.
std::wstring PlatformStep(const word::PlatformStep& step, const std::wstring& text) {
    if (step.number == 30 && basRegExp::RegExpTest(word::kInternalLinkPattern, text)) return text;
    return step.untilStable ? basRegExp::RegExpReplaceAll(text, step.pattern, step.replacement)
                            : basRegExp::RegExpReplace(text, step.pattern, step.replacement);
}

const std::vector<word::PlatformStep>& Steps() { return word::PlatformSteps(); }

class CleanupStepsEquivalence : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }

    // One step on one text, both ways.
    static std::wstring ExpectSameStep(const word::PlatformStep& step, const std::wstring& text,
                                       const std::string& source) {
        const std::wstring platform = PlatformStep(step, text);
        const std::wstring ours = word::RunStep(step.number, text, nullptr);
        EXPECT_TRUE(ours == platform) << "step " << step.number << " on " << source << " \""
                                      << Shown(text) << "\" " << FirstDifference(platform, ours);
        return platform;
    }

    static void ExpectSameScriptRemoval(const std::wstring& text, const std::string& source) {
        const std::wstring platform = basRegExp::RegExpReplace(text, html::kScriptElementPattern, L"");
        const std::wstring ours = html::RemoveScriptElements(text);
        EXPECT_TRUE(ours == platform) << "script removal on " << source << " "
                                      << FirstDifference(platform, ours);
    }

    // The whole clean-up on the platform's engine, each of our steps held against it on the
    // very text it gets there; then the whole of ours against the whole of the platform's.
    static void ExpectSameCleanup(const std::wstring& input, const std::string& source) {
        std::wstring html = ExpectSameStep(Steps()[0], input, source);
        const std::wstring head = html::ExtractElement(html, html::kHeadContent);
        std::wstring css;
        for (const std::wstring& element : word::CollectStyleElements(head)) {
            if (!css.empty()) css += L"\r\n";
            css += element;
        }
        std::wstring body = html::ExtractElement(html, html::kBodyContent);
        for (const word::PlatformStep& step : Steps()) {
            if (step.number >= 4 && step.number <= 19) css = ExpectSameStep(step, css, source);
            if (step.number >= 21) body = ExpectSameStep(step, body, source);
        }
        const std::wstring platform = L"<style>\r\n" + css + L"\r\n</style><body>" + body + L"</body>";
        const std::wstring ours = word::OptimizeWordHtml(input, nullptr, nullptr);
        EXPECT_TRUE(ours == platform) << "whole clean-up on " << source << " "
                                      << FirstDifference(platform, ours);
    }
};

const char* const kWordFixtures[] = {
    "basic-styles-bold-within-text.html", "bookmark-other.html", "image-alternative-text.html",
    "link-within-text.html", "list-multiple.html", "list-nested.html", "list-simple.html",
    "spacing-simple.html",
};

}  // namespace

TEST_F(CleanupStepsEquivalence, WordClipboardFixtures) {
    int found = 0;
    for (const char* name : kWordFixtures) {
        const std::wstring text =
            ReadUtf8(quorallion::testing::SharedFixturePath("word-clipboard", name));
        if (text.empty()) continue;
        ++found;
        // Along the clean-up only: the style steps on the whole document would keep the
        // platform's engine busy for minutes (every start searches to the end for a brace).
        ExpectSameCleanup(text, name);
        ExpectSameScriptRemoval(text, name);
    }
    if (found == 0) GTEST_SKIP() << "no Word fixtures in " << quorallion::testing::SharedFixturesFolder();
}

TEST_F(CleanupStepsEquivalence, EdgeCases) {
    struct Case {
        const char* why;
        std::wstring text;
    };
    const std::wstring mso = L"<!--[if gte mso 9]><xml>x</xml><![endif]-->";
    const Case cases[] = {
        {"empty", L""},
        {"no head, no body", L"<style>p {mso-x:1;color:red}</style><p>x<span></span></p>"},
        {"rule of mso- properties only, and a mixed one",
         L"<head><style><!--\r\np.A\r\n\t{mso-style-name:\"A b\";\r\n\tmso-x:1;}\r\np.B {mso-y:\"q\";"
         L"margin:0cm;\r\n\tmso-z:2;\tfont-size:1pt;}\r\n--></style></head><body>x</body>"},
        {"table of contents keeps named anchors",
         L"<body><a href=\"#_Toc1\">C</a><h1><a name=\"_Toc1\">H</a></h1></body>"},
        {"named anchors without links", L"<body><a name=\"_Toc1\">H</a><A NAME=x>y</A></body>"},
        {"nested empty spans and wrappers",
         L"<body>a<span><span><SPAN x></SPAN></span></span><b><i></i></b><font f><u></u></font>b"
         L"<underline><u ></u></underline></body>"},
        {"bare span around a text span", L"<body><span><span lang=EN>w</span></span><span>"
                                         L"<span><span a>x</span></span></span></body>"},
        {"smart tags", L"<body><st1:City w=\"on\">P</st1:City><st1:Cityx>Q</st1:city>"
                       L"<st2:place><st1:a>R</st1:a></st2:place><st1:b>unclosed</body>"},
        {"conditional comments", L"<body>" + mso + L"<!--[if gte vml 1]>v<![endif]--><![if !vml]>"
                                 L"<img><![endif]><!--[if mso & !x]>m<![endif]--><!-- c --><!--a>b-->"
                                 L"<!---->" + L"<!--[if gte msEquation 12]>e<![endif]--></body>"},
        {"unclosed openers", L"<body><!--[if gte vml 1]>x<![if !vml]>y<a name=z>w<span<b "
                             L"<!--[if mso<st1:a>q<o:p>&nbsp;&nbsp;</o:p></body>"},
        {"white space of many kinds",
         L"<style>\xa0\r\n p\t{ \x3000" L"color:red ;\r\n\r\n}\x2028 </style>"},
        {"style comments and at-rules",
         L"<style>/* Font Definitions */ @font-face {font-family:x;} @list l0:level1 {mso-a:b;} "
         L"/* a-b */ p{x:y}</style>"},
        {"scripts", L"<script>a</script><SCRIPT src=x>b</script><scripts>c</SCRIPT><script>d"},
    };
    for (const Case& c : cases) {
        ExpectSameCleanup(c.text, c.why);
        ExpectSameScriptRemoval(c.text, c.why);
        for (const word::PlatformStep& step : Steps()) ExpectSameStep(step, c.text, c.why);
    }
}

TEST_F(CleanupStepsEquivalence, GeneratedText) {
    std::mt19937 random(2026);
    for (int round = 0; round < 20; ++round) {
        const std::wstring text = html::testing::RandomHtml(random, 5 + round * 4);
        const std::string source = "generated text " + std::to_string(round);
        ExpectSameScriptRemoval(text, source);
        for (const word::PlatformStep& step : Steps()) ExpectSameStep(step, text, source);
        if (::testing::Test::HasFailure()) break;  // one text's differences are enough to read
    }
}
