#include "json/clsJSON.h"

#include <gtest/gtest.h>

using quorallion::clsJSON;

TEST(clsJSON, EmptyBuilderGivesEmptyObject) { EXPECT_EQ(clsJSON().GetJsonString(), L"{}"); }

TEST(clsJSON, ItemsInCallOrderWithoutSpaces) {
    clsJSON json;
    json.AddItemString(L"state", L"ok");
    json.AddItemString(L"html", L"<p>x</p>");
    json.AddItemString(L"filesize", L"1234", false);
    json.AddItemBool(L"flag", false);
    json.AddItemBool(L"other", true);
    EXPECT_EQ(json.GetJsonString(),
              L"{\"state\":\"ok\",\"html\":\"<p>x</p>\",\"filesize\":1234,\"flag\":false,\"other\":true}");
}

TEST(clsJSON, EmptyRawValueIsWrittenAsZero) {
    clsJSON json;
    json.AddItemString(L"filesize", L"", false);
    EXPECT_EQ(json.GetJsonString(), L"{\"filesize\":0}");
}

TEST(clsJSON, EncodeJS) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"a\\\"b", L"a\\\\\\\"b"},                 // backslash then quote: three backslashes, quote
        {L"l1\r\nl2", L"l1\\r\\nl2"},                // Base64 line breaks
        {L"a\tb", L"a\\tb"},
        {L"/é中文😀", L"/é中文😀"},                  // slash and non-ASCII pass unchanged
        {std::wstring(L"a\x0b\x0c\x07", 4), L"a\\u000b\\u000c\\u0007"},
        {std::wstring(L"\0x", 2), L"\\u0000x"},
        {std::wstring(L"\x1f", 1), L"\\u001f"},
    };
    for (const Case& c : cases) EXPECT_EQ(clsJSON::EncodeJS(c.in), c.out) << c.out.size();
}

TEST(clsJSON, SetJsonStringDropsOneBraceEachSide) {
    clsJSON json;
    json.SetJsonString(L"{}");
    EXPECT_EQ(json.GetJsonString(), L"{}");
    json.SetJsonString(L"\"a\":\"b\"");
    EXPECT_EQ(json.GetJsonString(), L"{\"a\":\"b\"}");
    json.SetJsonString(L"{{\"a\":1}}");
    EXPECT_EQ(json.GetJsonString(), L"{{\"a\":1}}");
    json.AddItemString(L"k", L"v");
    json.Reset();
    EXPECT_EQ(json.GetJsonString(), L"{}");
}
