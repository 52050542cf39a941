#include <gtest/gtest.h>

#include "clipboard/url_fixing.h"

using namespace quorallion::basClipBoard;

namespace {
const std::wstring kPage = L"http://example.com:8080/docs/guide/page.html?x=1/2";
}

TEST(UrlFixing, SplitsTheSourceAddress) {
    struct Case {
        std::wstring url, root, path;
    };
    const Case cases[] = {
        {kPage, L"http://example.com:8080", L"docs/guide/"},
        {L"HTTPS://h/page.html", L"HTTPS://h", L""},
        {L"file:///C:/tmp/a.html", L"file:///C:", L"tmp/"},
        {L"http://host", L"", L""},          // no "/" after the host
        {L"ftp://host/a/b.html", L"", L""},  // another scheme
        {L"http:///x/y", L"", L""},          // no host
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        SourceAddress a = SplitSourceAddress(c.url);
        EXPECT_EQ(a.root, c.root) << c.url;
        EXPECT_EQ(a.path, c.path) << c.url;
    }
}

TEST(UrlFixing, ResolvesAddressesAgainstThePage) {
    const std::wstring root = L"http://example.com:8080", path = L"docs/guide/";
    struct Case {
        std::wstring address, resolved;
    };
    const Case cases[] = {
        {L"pic.png", root + L"/docs/guide/pic.png"},
        {L"/abs.png", root + L"/abs.png"},
        {L"./here.png", root + L"/docs/guide/here.png"},
        {L"../b.htm", root + L"/docs/b.htm"},
        {L"../../../up.png", root + L"/up.png"},
        {L"#top", root + L"/docs/guide/#top"},
        {L"//cdn.example.org/x.js", L"http://cdn.example.org/x.js"},
        // Addresses with a scheme stay as they are.
        {L"HtTpS://other/x", L"HtTpS://other/x"},
        {L"data:image/png;base64,AAA", L"data:image/png;base64,AAA"},
        {L"mk:@MSITStore:x.chm::/a.htm", L"mk:@MSITStore:x.chm::/a.htm"},
        {L"mailto:a@b.c", L"mailto:a@b.c"},
        {L"tel:+861012345", L"tel:+861012345"},
        {L"javascript:void(0)", L"javascript:void(0)"},
        {L"ftp://f/x", L"ftp://f/x"},
        {L"file://server/share/x", L"file://server/share/x"},
        // Not a scheme: the colon comes after a slash.
        {L"a/b:c", root + L"/docs/guide/a/b:c"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveURL(c.address, root, path), c.resolved) << c.address;
    EXPECT_EQ(ResolveURL(L"//h/x", L"file:///C:", L"tmp/"), L"file://h/x");
}

TEST(UrlFixing, RewritesOnlyDoubleQuotedValuesOfTheThreePairs) {
    const std::wstring root = L"http://example.com:8080/docs/guide/";
    struct Case {
        const char* why;
        std::wstring html, fixed;
    };
    const Case cases[] = {
        {"img src", L"<img src=\"pic.png\">", L"<img src=\"" + root + L"pic.png\">"},
        {"upper-case tag and attribute", L"<A HREF=\"b.htm\">x</A>", L"<A HREF=\"" + root + L"b.htm\">x</A>"},
        {"embed", L"<embed  src = \"m.swf\" >", L"<embed  src = \"" + root + L"m.swf\" >"},
        {"single quotes left alone", L"<a href='b.htm'>", L"<a href='b.htm'>"},
        {"no quotes left alone", L"<a href=b.htm>", L"<a href=b.htm>"},
        {"abbr is not a", L"<abbr href=\"b.htm\">", L"<abbr href=\"b.htm\">"},
        {"data-href skipped, href fixed", L"<a data-href=\"x\" href=\"y\">",
         L"<a data-href=\"x\" href=\"" + root + L"y\">"},
        {"same tag twice", L"<img src=\"p.png\"><i></i><img src=\"p.png\">",
         L"<img src=\"" + root + L"p.png\"><i></i><img src=\"" + root + L"p.png\">"},
        {"absolute stays", L"<a href=\"https://x/\">", L"<a href=\"https://x/\">"},
        {"tag without its end", L"<img src=\"pic.png\"", L"<img src=\"pic.png\""},
        {"empty value", L"<img src=\"\">", L"<img src=\"\">"},
    };
    for (const Case& c : cases) EXPECT_EQ(FixRelativeURLs(c.html, kPage), c.fixed) << c.why;
}

TEST(UrlFixing, UnusableSourceLeavesTheHtml) {
    const std::wstring html = L"<img src=\"pic.png\">";
    for (const wchar_t* source : {L"", L"http://host", L"ftp://h/a/b", L"about:blank"})
        EXPECT_EQ(FixRelativeURLs(html, source), html) << source;
}
