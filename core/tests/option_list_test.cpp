#include <gtest/gtest.h>

#include "public/basPublic.h"

using namespace quorallion::basPublic;

TEST(GetParamValue, Table) {
    struct Case {
        std::wstring text, key, def, itemSep, kvSep, expected;
    } cases[] = {
        {L" Api : 2 ;imgtype:png", L"api", L"", L";", L":", L"2"},
        {L" Api : 2 ;imgtype:png", L"API", L"", L";", L":", L"2"},
        {L" Api : 2 ;imgtype:png", L"bl", L"100", L";", L":", L"100"},
        {L"title:a:b;title:c", L"title", L"", L";", L":", L"c"},          // two colons: skipped
        {L"title:a&maohao#b", L"title", L"", L";", L":", L"a:b"},
        {L"t:a&fenhao#b&amp#c", L"t", L"", L";", L":", L"a;b&c"},
        {L"t:&amp#maohao#", L"t", L"", L";", L":", L"&maohao#"},          // &amp# undone last
        {L"k:1;k:2", L"k", L"", L";", L":", L"1"},
        {L"k:;x:1", L"k", L"dflt", L";", L":", L""},
        {L"", L"k", L" dflt ", L";", L":", L" dflt "},                     // default unchanged
        {L"k=a&maohao#b|x=1", L"k", L"", L"|", L"=", L"a&maohao#b"},      // other separators
        {L"\tk:1", L"k", L"none", L";", L":", L"none"},                     // only spaces trimmed
        {L";;k:1;", L"k", L"", L";", L":", L"1"},
        {L"cmode:1", L" cmode", L"z", L";", L":", L"z"},                    // key not trimmed
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetParamValue(c.text, c.key, c.def, c.itemSep, c.kvSep), c.expected)
            << "text=" << testing::PrintToString(c.text) << " key=" << testing::PrintToString(c.key);
}

TEST(StrBefore, Table) {
    EXPECT_EQ(StrBefore(L"abc", L"x"), L"abc");
    EXPECT_EQ(StrBefore(L"ab|c|d", L"|"), L"ab");
    EXPECT_EQ(StrBefore(L"abc", L""), L"");
    EXPECT_EQ(StrBefore(std::wstring(L"ab\0cd", 5), std::wstring(1, L'\0')), L"ab");
}

TEST(PadZero, Table) {
    EXPECT_EQ(PadZero(5, 3), L"005");
    EXPECT_EQ(PadZero(1234, 3), L"234");
    EXPECT_EQ(PadZero(97, 8), L"00000097");
    EXPECT_EQ(PadZero(7, 2, 1000), L"0007");
    // The fourth argument changes nothing.
    EXPECT_EQ(PadZero(5, 3, 0, L"99999"), L"005");
    EXPECT_EQ(PadZero(1234, 3, 0, L"x"), L"234");
}
