#include "like_pattern.h"

#include <gtest/gtest.h>

using quorallion::basFindWindowLike::IsLike;

TEST(LauncherLikePattern, WindowSearchPatterns) {
    struct Case {
        const wchar_t* text;
        const wchar_t* pattern;
        bool match;
    } cases[] = {
        {L"C:\\bin\\QuorallionCWS.exe", L"*\\QuorallionCWS.exe", true},
        {L"\\QuorallionCWS.exe", L"*\\QuorallionCWS.exe", true},
        {L"C:\\bin\\quorallioncws.exe", L"*\\QuorallionCWS.exe", false},  // case-sensitive
        {L"QuorallionCWS.exe", L"*\\QuorallionCWS.exe", false},
        {L"C:\\bin\\QuorallionCWS.exe2", L"*\\QuorallionCWS.exe", false},
        {L"Quorallion Core V15200", L"Quorallion Core V*", true},
        {L"Quorallion Core V", L"Quorallion Core V*", true},
        {L"Quorallion Core 15200", L"Quorallion Core V*", false},
        {L"Quorallion ICore", L"Quorallion ICore", true},
        {L"Quorallion ICore ", L"Quorallion ICore", false},
        {L"a1b", L"a#b", true},
        {L"axb", L"a#b", false},
        {L"axb", L"a?b", true},
        {L"ab", L"a?b", false},
        {L"b", L"[a-c]", true},
        {L"d", L"[a-c]", false},
        {L"d", L"[!a-c]", true},
        {L"[", L"[", false},  // an unclosed list matches nothing
        {L"abcabd", L"*ab?", true},
        {L"", L"*", true},
        {L"", L"", true},
        {L"x", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLike(c.text, c.pattern), c.match) << c.text << " like " << c.pattern;
}
