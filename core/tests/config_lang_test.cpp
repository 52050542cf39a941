#include <gtest/gtest.h>

#include "public/basPublic.h"

using quorallion::basPublic::LanguageFromConfig;

TEST(LanguageFromConfig, Table) {
    struct Case {
        std::wstring config, lang;
    } cases[] = {
        {L"{\"lang\":\"en\"}", L"en"},
        {L" { \"x\" : [1, {\"lang\":\"en\"}], \"lang\" : \"zh-tw\" } ", L"zh-tw"},
        {L"{\"lang\":\"EN\"}", L"zh-cn"},
        {L"{\"lang\":\"fr\"}", L"zh-cn"},
        {L"{\"la\\u006eg\":\"en\"}", L"en"},
        {L"{\"lang\":\"en\",\"lang\":\"zh-tw\"}", L"zh-tw"},
        {L"lang=en", L"zh-cn"},
        {L"", L"zh-cn"},
        {L"{\"lang\":", L"zh-cn"},
        {L"{\"lang\":\"en", L"zh-cn"},
        {std::wstring(100000, L'['), L"zh-cn"},
        {L"{\"a\":" + std::wstring(100000, L'[') + L"}", L"zh-cn"},
        {L"{\"lang\":true}", L"zh-cn"},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageFromConfig(c.config), c.lang) << c.config.substr(0, 60).size();
}
