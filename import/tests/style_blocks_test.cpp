#include <gtest/gtest.h>

#include "word/style_blocks.h"

using quorallion::word::CollectStyleElements;

TEST(StyleBlocks, CollectsWholeStyleElementsInOrder) {
    struct Case {
        const char* why;
        std::wstring text;
        std::vector<std::wstring> elements;
    };
    const Case cases[] = {
        {"two elements", L"<meta><style>a{}</style>x<STYLE type=x>b{}</Style>",
         {L"<style>a{}</style>", L"<STYLE type=x>b{}</Style>"}},
        {"styles is another tag", L"<styles>a</style>", {}},
        {"empty element needs content", L"<style></style>b</style>", {L"<style></style>b</style>"}},
        {"no end tag", L"<style>a{}", {}},
        {"no closing bracket", L"<style", {}},
        {"tag at the very end", L"x<style>", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(CollectStyleElements(c.text), c.elements) << c.why;
}
