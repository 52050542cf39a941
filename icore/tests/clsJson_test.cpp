#include "clsJson.h"

#include <gtest/gtest.h>

using quorallion::icore::clsJson;

TEST(IcoreJson, EmptyBuilderAndOrderAndReplace) {
    clsJson json;
    EXPECT_EQ(json.GetJsonObjectString(), L"{}");
    json.SetItem(L"state", L"err");
    json.SetItem(L"errflag", L"x");
    json.SetItem(L"state", L"ok");  // replaced in place, order kept
    json.SetItem(L"State", L"other");  // keys compare case-sensitively
    EXPECT_EQ(json.GetJsonObjectString(), L"{\"state\":\"ok\",\"errflag\":\"x\",\"State\":\"other\"}");
}

TEST(IcoreJson, EscapesOnlyBackslashQuoteCrLf) {
    struct Case {
        const wchar_t* value;
        const wchar_t* written;
    } cases[] = {
        {L"a\\b", L"a\\\\b"},
        {L"say \"hi\"", L"say \\\"hi\\\""},
        {L"l1\r\nl2", L"l1\\r\\nl2"},
        {L"tab\there", L"tab\there"},            // TAB raw
        {L"\x4e2d\x6587 \x1F", L"\x4e2d\x6587 \x1F"},  // non-ASCII and other controls raw
        {L"\\\"", L"\\\\\\\""},                  // backslash first, so the quote's is not doubled
    };
    for (const Case& c : cases) {
        clsJson json;
        json.SetItem(L"k", c.value);
        EXPECT_EQ(json.GetJsonObjectString(), std::wstring(L"{\"k\":\"") + c.written + L"\"}")
            << ::testing::PrintToString(std::wstring(c.value));
    }
    clsJson keys;
    keys.SetItem(L"a\"b", L"v");  // keys are written as they are
    EXPECT_EQ(keys.GetJsonObjectString(), L"{\"a\"b\":\"v\"}");
}
