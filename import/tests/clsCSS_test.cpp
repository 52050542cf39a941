// The CSS inliner on Wine's VBScript.RegExp: the edge cases of both ways as tables, selectors and
// declarations that must stay literal, unbalanced sheets and a 5 MB page.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <string>

#include "css/clsCSS.h"

namespace {

using quorallion::clsCSS;

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

TEST_F(CSS, MergeCssTable) {
    const Case cases[] = {
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
    for (const Case& c : cases) {
        clsCSS inliner;
        EXPECT_EQ(inliner.MergeCss(c.html, c.css), c.expected) << c.why;
    }
}

TEST_F(CSS, MergeCssQuickTable) {
    const Case cases[] = {
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
    for (const Case& c : cases) {
        clsCSS inliner;
        EXPECT_EQ(inliner.MergeCssQuick(c.html, c.css), c.expected) << c.why;
    }
}

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
    while (html.size() < 5u * 1024 * 1024) html += block;
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
    EXPECT_NE(quick.find(L"<span style=\"font-weight:bold;color:blue\">"), std::wstring::npos);
    EXPECT_EQ(quick.find(L"class="), std::wstring::npos);
    std::printf("5 MB page: %zu blocks, both ways in %.1f s\n", blocks,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace
