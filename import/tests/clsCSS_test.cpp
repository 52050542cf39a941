// The CSS inliner on Wine's VBScript.RegExp: the edge cases of both ways as tables, selectors and
// declarations that must stay literal, unbalanced sheets and a 5 MB page.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <sstream>
#include <string>

#include "css/clsCSS.h"
#include "css_scan_reference.h"

namespace {

using quorallion::clsCSS;
using quorallion::css::testing::Narrow;

class CSS : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }
};

struct Case {
    const char* why;
    const wchar_t* html;
    const wchar_t* css;
    const wchar_t* expected;
};

using Way = std::wstring (clsCSS::*)(const std::wstring& html, const std::wstring& css);

// Each case on a fresh inliner.
void ExpectTable(Way way, std::span<const Case> cases) {
    for (const Case& c : cases) {
        clsCSS inliner;
        EXPECT_EQ((inliner.*way)(c.html, c.css), c.expected) << c.why;
    }
}

const Case kMergeCssCases[] = {
        {"element rule on a tag with an attribute", L"<p id=x>t</p>", L"p{color:red}", L"<p id=x style=\"color:red\">t</p>"},
        {"a bare tag is left alone", L"<p>t</p>", L"p{color:red}", L"<p>t</p>"},
        {"a class without rule goes, nothing added", L"<p class=zz>t</p>", L"p{color:red}", L"<p>t</p>"},
        {"two rules of one class collect", L"<span class=\"a\" id=s>", L".a{x:1;} .A{y:2}",
         L"<span id=s style=\"x:1;y:2\">"},
        {"tag.class, then .class, then element, then the tag's own style",
         L"<div class='box' id=d style='own:1'>", L"div{e:1}.box{c:1}div.box{tc:1}",
         L"<div id=d style=\"e:1;c:1;tc:1;own:1\">"},
        {"single-quoted style joins as double-quoted", L"<b style='c:d' id=b>", L"b{a:b}",
         L"<b style=\"a:b;c:d\" id=b>"},
        {"double quotes in declarations become single", L"<p id=x>", L"p{font-family:\"Arial\"}",
         L"<p id=x style=\"font-family:'Arial'\">"},
        {"selector list and style element", L"<h1 id=a><h2 id=b>", L"<style>h1,\r\n\th2 {m:0}</style>",
         L"<h1 id=a style=\"m:0\"><h2 id=b style=\"m:0\">"},
        {"two class names are not matched", L"<p class=\"a b\" id=x>", L".a{c:1}", L"<p class=\"a b\" id=x>"},
        {"every copy of a tag", L"<i class=k>1</i><i class=k>2</i>", L".k{c:1}",
         L"<i style=\"c:1\">1</i><i style=\"c:1\">2</i>"},
        // Selectors that are not simple stay out instead of styling the wrong elements.
        {"universal selector matches nothing", L"<p id=x><b id=y>", L"*{margin:0}", L"<p id=x><b id=y>"},
        {"attribute selector is literal", L"<p class=at id=x>", L"p.a[title]{c:1}", L"<p id=x>"},
        {"pseudo-class selector is literal", L"<a href=x class=b>", L"a:not(.b){c:1}", L"<a href=x>"},
        {"id selector is not applied", L"<p id=x>", L"#x{c:1}", L"<p id=x>"},
        {"dollar in declarations stays", L"<q id=x>", L"q{content:'$1'}", L"<q id=x style=\"content:'$1'\">"},
        {"unbalanced sheet", L"<p id=x>", L"p{color:red", L"<p id=x>"},
        {"stray braces", L"<p id=x>", L"}p{color:red}}{", L"<p id=x style=\"color:red\">"},
        {"empty sheet", L"<p class=a id=x>", L"", L"<p id=x>"},
};

TEST_F(CSS, MergeCssTable) { ExpectTable(&clsCSS::MergeCss, kMergeCssCases); }

const Case kMergeCssQuickCases[] = {
        {"tag.class and own style, single-quoted", L"<p class='a' style='color:red'>x</p>", L"p.a{margin:0}",
         L"<p style=\"margin:0;color:red\"  >x</p>"},
        {"element rule, bare tag too", L"<p>t</p><p id=x>", L"p{c:1}", L"<p style=\"c:1\">t</p><p style=\"c:1\" id=x>"},
        {"class rule on any tag, class removed", L"<span class=k>", L".k{c:1}", L"<span style=\"c:1\">"},
        {"double quote inside a single-quoted style", L"<b style='font-family:\"A\"'>", L"b{w:1}",
         L"<b style=\"w:1;font-family:'A'\"  >"},
        {"dollar in declarations stays", L"<p id=x>", L"p{content:'$1'}", L"<p style=\"content:'$1'\" id=x>"},
        {"attribute selector is literal", L"<p class=\"at\">", L"p.a[title]{c:1}", L"<p>"},
        {"pseudo-class selector fails no pattern", L"<a class=b>", L"a:not(.b){c:1}", L"<a>"},
        {"universal selector is not applied", L"<p id=x>", L"*{c:1}", L"<p id=x>"},
        {"two class names are not matched", L"<p class=\"a b\">", L".a{c:1}", L"<p>"},
        {"unbalanced sheet", L"<p id=x>", L"p{color:red", L"<p id=x>"},
};

TEST_F(CSS, MergeCssQuickTable) { ExpectTable(&clsCSS::MergeCssQuick, kMergeCssQuickCases); }

TEST_F(CSS, MergeStyleIntoTag) {
    EXPECT_EQ(clsCSS::MergeStyleIntoTag(L"<b style='c:d'>", L"a:b"), L"<b style=\"a:b;c:d\">");
    EXPECT_EQ(clsCSS::MergeStyleIntoTag(L"<b id=1>", L"a:\"b\""), L"<b id=1 style=\"a:'b'\">");
    EXPECT_EQ(clsCSS::MergeStyleIntoTag(L"<b STYLE = \"x:\'1\'\" id=2>", L"a:b"), L"<b STYLE =\"a:b;x:'1'\" id=2>");
}

// A large page: both ways finish with a right result (no hang, no read outside the text).
TEST_F(CSS, FiveMegabytesOfHtml) {
    std::wstring html;
    const std::wstring block = L"<div class=\"item\" id=i><p class=note>Some text <b>bold</b> "
                               L"<span style='color:blue'>x</span></p><br></div>\r\n";
    while (html.size() * 2 < 5u * 1024 * 1024) html += block;  // 5 MB as UTF-16
    const std::wstring sheet = L".item{margin:0} p.note{color:red} span{font-weight:bold}";
    clsCSS inliner;
    const auto start = std::chrono::steady_clock::now();
    std::wstring merged = inliner.MergeCss(html, sheet);
    const size_t blocks = html.size() / block.size();
    size_t styled = 0;
    for (size_t at = merged.find(L"<p style=\"color:red\">"); at != std::wstring::npos;
         at = merged.find(L"<p style=\"color:red\">", at + 1))
        ++styled;
    EXPECT_EQ(styled, blocks);
    EXPECT_EQ(merged.find(L"class="), std::wstring::npos);

    std::wstring quick = inliner.MergeCssQuick(html, sheet);
    EXPECT_NE(quick.find(L"<span style=\"font-weight:bold;color:blue\""), std::wstring::npos);
    EXPECT_EQ(quick.find(L"class="), std::wstring::npos);
    std::printf("5 MB page: %zu blocks, both ways in %.1f s\n", blocks,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The scans stand in for the engine's patterns: both ways and MergeStyleIntoTag give what the
// engine gives, pattern by pattern, on the edge cases, on tag soup made of the pieces the patterns
// care about (white space and letters beyond ASCII, quotes, markers, names with "$", "<" or ">")
// and, below, on a real page.
TEST_F(CSS, ScansGiveTheEngineResults) {
    auto expectSame = [](const std::wstring& html, const std::wstring& sheet, const std::string& why) {
        clsCSS inliner;
        EXPECT_EQ(inliner.MergeCss(html, sheet), quorallion::css::MergeCssByEngine(html, sheet))
            << why << ": " << Narrow(html) << " with " << Narrow(sheet);
        EXPECT_EQ(inliner.MergeCssQuick(html, sheet), quorallion::css::MergeCssQuickByEngine(html, sheet))
            << why << " (quick): " << Narrow(html) << " with " << Narrow(sheet);
    };
    for (std::span<const Case> table : {std::span<const Case>(kMergeCssCases), std::span<const Case>(kMergeCssQuickCases)})
        for (const Case& c : table) expectSame(c.html, c.css, c.why);

    static const wchar_t* const kSelectors[] = {L"p", L"div", L"b", L"span", L".a", L"p.a", L".c1", L"div.x-y",
                                                L"P.B", L"*", L"#x", L"p q", L"a:hover", L"\u212A", L"p.\u017F",
                                                L"q$1", L"p.a[title]", L"b>i"};
    static const wchar_t* const kDeclarations[] = {L"c:1", L"x:'y'", L"q:\"r\"", L"m:$1", L"a<b", L"a>b", L"n:0;"};
    uint32_t state = 2024;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<size_t>(state >> 8);
    };
    for (int round = 0; round < 150 && !HasFailure(); ++round) {
        std::wstring sheet;
        for (size_t rules = 1 + next() % 4; rules > 0; --rules)
            sheet += std::wstring(kSelectors[next() % std::size(kSelectors)]) + L"," +
                     kSelectors[next() % std::size(kSelectors)] + L"{" + kDeclarations[next() % std::size(kDeclarations)] +
                     L"}\n";
        const std::wstring html = quorallion::css::testing::PiecesText(next, 1 + next() % 40);
        expectSame(html, sheet, "round " + std::to_string(round));
        const std::wstring declarations = kDeclarations[next() % std::size(kDeclarations)];
        EXPECT_EQ(clsCSS::MergeStyleIntoTag(html, declarations),
                  quorallion::css::MergeStyleIntoTagByEngine(html, declarations))
            << Narrow(html);
    }
}

// A folder handed in by CMake as a Unix path, as this build's programs spell it.
std::wstring BuildPath(const char* unixPath, const wchar_t* name) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path + L"\\" + name;
}

std::wstring ReadUtf8(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    const std::string text = bytes.str();
    if (text.empty()) return L"";
    std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    return wide;
}

std::wstring Collapse(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        const bool blank = c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
        if (blank) {
            if (!out.empty() && out.back() != L' ') out += L' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == L' ') out.pop_back();
    return out;
}

// What a style attribute comes to: each property's last value.
std::map<std::wstring, std::wstring> Resolve(const std::wstring& style) {
    std::map<std::wstring, std::wstring> properties;
    std::wstringstream parts(style);
    std::wstring part;
    while (std::getline(parts, part, L';')) {
        const size_t colon = part.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring name = Collapse(part.substr(0, colon));
        for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
        properties[name] = Collapse(part.substr(colon + 1));
    }
    return properties;
}

// The style of every start tag that has an id, by id.
std::map<std::wstring, std::map<std::wstring, std::wstring>> StylesById(const std::wstring& html) {
    std::map<std::wstring, std::map<std::wstring, std::wstring>> styles;
    size_t at = 0;
    while ((at = html.find(L'<', at)) != std::wstring::npos) {
        ++at;
        if (at >= html.size() || !std::iswalpha(html[at])) continue;
        while (at < html.size() && std::iswalnum(html[at])) ++at;
        std::wstring id, style;
        while (at < html.size() && html[at] != L'>') {
            if (std::iswspace(html[at]) || html[at] == L'/') {
                ++at;
                continue;
            }
            const size_t nameStart = at;
            while (at < html.size() && !std::iswspace(html[at]) && html[at] != L'=' && html[at] != L'>') ++at;
            std::wstring name = html.substr(nameStart, at - nameStart);
            for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
            std::wstring value;
            if (at < html.size() && html[at] == L'=') {
                ++at;
                if (at < html.size() && (html[at] == L'"' || html[at] == L'\'')) {
                    const wchar_t quote = html[at++];
                    const size_t end = html.find(quote, at);
                    value = html.substr(at, end - at);
                    at = end == std::wstring::npos ? html.size() : end + 1;
                } else {
                    const size_t start = at;
                    while (at < html.size() && !std::iswspace(html[at]) && html[at] != L'>') ++at;
                    value = html.substr(start, at - start);
                }
            }
            if (name == L"id") id = value;
            if (name == L"style") style = value;
        }
        if (!id.empty()) styles[id] = Resolve(style);
    }
    return styles;
}

// One real page with 50 simple rules: per element, what each property comes to is what juice
// (npm) makes of the same page and sheet.
TEST_F(CSS, MergeCssAgreesWithJuice) {
    const std::wstring juiceFolder = BuildPath(QUORALLION_JUICE_DIR, L"");
    const std::wstring unavailable = ReadUtf8(juiceFolder + L"UNAVAILABLE");
    if (!unavailable.empty()) GTEST_SKIP() << "juice is not installed: " << testing::PrintToString(unavailable);
    const std::wstring reference = ReadUtf8(juiceFolder + L"newsletter.juice.html");
    if (reference.empty()) GTEST_SKIP() << "no juice output (the juice_setup test did not run)";
    const std::wstring page = ReadUtf8(BuildPath(QUORALLION_CSS_FIXTURES, L"newsletter.html"));
    const std::wstring sheet = ReadUtf8(BuildPath(QUORALLION_CSS_FIXTURES, L"newsletter.css"));
    ASSERT_FALSE(page.empty());
    ASSERT_FALSE(sheet.empty());

    clsCSS inliner;
    const auto ours = StylesById(inliner.MergeCss(page, sheet));
    const auto theirs = StylesById(reference);
    ASSERT_EQ(ours.size(), theirs.size());
    size_t styled = 0;
    for (const auto& [id, properties] : theirs) {
        auto found = ours.find(id);
        ASSERT_NE(found, ours.end()) << testing::PrintToString(id);
        EXPECT_EQ(found->second, properties) << "element " << testing::PrintToString(id);
        if (!properties.empty()) ++styled;
    }
    EXPECT_GT(styled, 250u) << "most elements of the page are styled";
}

// The real page and its sheet: the scans give the engine's results, both ways.
TEST_F(CSS, ScansGiveTheEngineResultsOnARealPage) {
    const std::wstring page = ReadUtf8(BuildPath(QUORALLION_CSS_FIXTURES, L"newsletter.html"));
    const std::wstring sheet = ReadUtf8(BuildPath(QUORALLION_CSS_FIXTURES, L"newsletter.css"));
    ASSERT_FALSE(page.empty());
    ASSERT_FALSE(sheet.empty());
    clsCSS inliner;
    EXPECT_TRUE(inliner.MergeCss(page, sheet) == quorallion::css::MergeCssByEngine(page, sheet));
    EXPECT_TRUE(inliner.MergeCssQuick(page, sheet) == quorallion::css::MergeCssQuickByEngine(page, sheet));
}

}  // namespace
