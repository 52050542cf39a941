#include "basMain.h"

#include <gtest/gtest.h>

using namespace quorallion::basMain;

TEST(LauncherCommandText, CleaningAndQuitDecision) {
    struct Case {
        const wchar_t* commandText;
        const wchar_t* cleaned;
        bool quit;
    } cases[] = {
        {L"quorallion://quit=1/", L"quit=1", true},
        {L"quorallion://Quit=1/", L"Quit=1", true},
        {L"x:QUIT=1", L"QUIT=1", true},
        {L"s: quit = 1 ", L" quit = 1 ", true},
        {L"s:\"quit=1\"", L"quit=1", true},
        {L"s:a=2&quit=1", L"a=2&quit=1", true},
        {L"s:quit=2&quit=1", L"quit=2&quit=1", false},  // the first pair decides
        {L"s:quit=1=2", L"quit=1=2", false},              // three parts: skipped
        {L"s:a?quit=1", L"a", false},                     // after "?" is cut off
        {L"a?quit=1", L"a", false},
        {L"quit=1", L"quit=1", true},                     // no colon: used whole
        {L"C:\\x\\QuorallionWS.exe quit=1", L"\\x\\QuorallionWS.exe quit=1", false},
        {L"", L"", false},
        {L"s:", L"", false},
        {L"s:port=8080&token=a:b", L"port=8080&token=a:b", false},
    };
    for (const Case& c : cases) {
        std::wstring cleaned = CleanCommandText(c.commandText);
        EXPECT_EQ(cleaned, c.cleaned) << c.commandText;
        EXPECT_EQ(IsQuitRequest(cleaned), c.quit) << c.commandText;
    }
}

TEST(LauncherCommandText, GetUrlParamRules) {
    EXPECT_EQ(GetUrlParam(L"", L"k", L"def", L"&", L"="), L"def");
    EXPECT_EQ(GetUrlParam(L"a=1&K = v w &k=2", L"k", L"", L"&", L"="), L"v w");
    EXPECT_EQ(GetUrlParam(L"k&k=a=b&k=3", L"k", L"", L"&", L"="), L"3");
    EXPECT_EQ(GetUrlParam(L"k=%41+", L"k", L"", L"&", L"="), L"%41+");  // no decoding
    EXPECT_EQ(GetUrlParam(L"k=", L"k", L"d", L"&", L"="), L"");
}
