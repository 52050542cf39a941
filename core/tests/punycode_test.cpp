// Domain names to and from their ASCII form: RFC 3492's samples, the class's domain rules and
// broken Punycode.
#include <gtest/gtest.h>

#include "encoding/utf_units.h"
#include "punycode/clsPunyCode.h"

using namespace quorallion;

namespace {

struct Sample {
    const char* name;
    std::u32string unicode;
    const wchar_t* punycode;
};

// RFC 3492 section 7.1 (the ASCII capitals of the samples are given in lower case here, since
// the encoder copies basic code points as they stand).
const Sample kRfcSamples[] = {
    {"(A) Arabic",
     U"\u0644\u064A\u0647\u0645\u0627\u0628\u062A\u0643\u0644\u0645\u0648\u0634\u0639\u0631\u0628\u064A\u061F",
     L"egbpdaj6bu4bxfgehfvwxn"},
    {"(B) Chinese simplified", U"\u4ED6\u4EEC\u4E3A\u4EC0\u4E48\u4E0D\u8BF4\u4E2D\u6587",
     L"ihqwcrb4cv8a8dqg056pqjye"},
    {"(C) Chinese traditional", U"\u4ED6\u5011\u7232\u4EC0\u9EBD\u4E0D\u8AAA\u4E2D\u6587",
     L"ihqwctvzc91f659drss3x8bo0yb"},
    {"(D) Czech",
     U"\u0050\u0072\u006F\u010D\u0070\u0072\u006F\u0073\u0074\u011B\u006E\u0065\u006D\u006C\u0075\u0076\u00ED\u010D\u0065\u0073\u006B\u0079",
     L"Proprostnemluvesky-uyb24dma41a"},
    {"(E) Hebrew",
     U"\u05DC\u05DE\u05D4\u05D4\u05DD\u05E4\u05E9\u05D5\u05D8\u05DC\u05D0\u05DE\u05D3\u05D1\u05E8\u05D9\u05DD\u05E2\u05D1\u05E8\u05D9\u05EA",
     L"4dbcagdahymbxekheh6e0a7fei0b"},
    {"(I) Russian",
     U"\u043F\u043E\u0447\u0435\u043C\u0443\u0436\u0435\u043E\u043D\u0438\u043D\u0435\u0433\u043E\u0432\u043E\u0440\u044F\u0442\u043F\u043E\u0440\u0443\u0441\u0441\u043A\u0438",
     L"b1abfaaepdrnnbgefbadotcwatmq2g4l"},
    {"(L) Japanese 3B", U"\u0033\u5E74\u0042\u7D44\u91D1\u516B\u5148\u751F", L"3B-ww4c5e180e575a65lsy2b"},
    {"(O) Japanese with hyphens",
     U"\u0068\u0065\u006C\u006C\u006F\u002D\u0061\u006E\u006F\u0074\u0068\u0065\u0072\u002D\u0077\u0061\u0079\u002D\u305D\u308C\u305E\u308C\u306E\u5834\u6240",
     L"hello-another-way--fc4qua05auwb3674vfr0b"},
    {"(S) ASCII only", U"-> $1.00 <-", L"-> $1.00 <--"},
    {"outside the BMP", U"\U0001F600", L"e28h"},
};

TEST(PunyCode, RfcSamplesBothWays) {
    for (const Sample& s : kRfcSamples) {
        std::wstring encoded;
        ASSERT_TRUE(punycode::EncodeLabel(s.unicode, encoded)) << s.name;
        EXPECT_EQ(encoded, s.punycode) << s.name;
        EXPECT_EQ(punycode::DecodeLabel(s.punycode), s.unicode) << s.name;
    }
}

struct DomainCase {
    const wchar_t* name;
    std::wstring unicode;   // argument of DomainPunyEncode
    std::wstring ascii;     // its result
};

TEST(PunyCode, DomainsEncodeAndDecode) {
    clsPunyCode puny;
    const DomainCase cases[] = {
        {L"umlaut, blanks and capitals", L"  B\u00FCcher.example ", L"xn--bcher-kva.example"},
        {L"ASCII labels pass", L"www.example.com", L"www.example.com"},
        {L"capitals lower-cased, trailing dot dropped", L"A.B.", L"a.b"},
        {L"outside the BMP", L"\U0001F600.com", L"xn--e28h.com"},
        {L"Chinese label", L"\u4E2D\u6587.cn", L"xn--fiq228c.cn"},
    };
    for (const DomainCase& c : cases)
        EXPECT_EQ(puny.DomainPunyEncode(c.unicode), c.ascii) << ::testing::PrintToString(std::wstring(c.name));
    EXPECT_EQ(puny.DomainPunyDecode(L"xn--bcher-kva.example"), L"b\u00FCcher.example");
    EXPECT_EQ(puny.DomainPunyDecode(L"xn--e28h.com"), L"\U0001F600.com");
    EXPECT_EQ(puny.DomainPunyDecode(L"XN--FIQ228C.CN"), L"\u4E2D\u6587.cn");
    EXPECT_EQ(puny.DomainPunyDecode(L"A.B."), L"a.b");
}

TEST(PunyCode, InvalidDomainsComeBackUntouched) {
    clsPunyCode puny;
    const std::wstring invalid[] = {
        L" Under_Score.com ", L"a..b", L".a", std::wstring(64, L'a') + L".com",
        L"a b.com", L"",
        // 62 Chinese characters encode to a label longer than 63.
        std::wstring(62, L'\u4E2D') + L".cn",
    };
    for (const std::wstring& domain : invalid) {
        EXPECT_EQ(puny.DomainPunyEncode(domain), domain) << ::testing::PrintToString(domain);
        EXPECT_EQ(puny.DomainPunyDecode(domain), domain) << ::testing::PrintToString(domain);
    }
    EXPECT_EQ(puny.DomainPunyDecode(L"B\u00FCcher.de"), L"B\u00FCcher.de");  // non-ASCII
    EXPECT_EQ(puny.DomainPunyEncode(std::wstring(63, L'a')), std::wstring(63, L'a'));
}

TEST(PunyCode, DelimiterAndEmptyPayload) {
    clsPunyCode puny;
    EXPECT_EQ(puny.DomainPunyDecode(L"xn---abc"), puny.DomainPunyDecode(L"xn--abc"));
    EXPECT_EQ(puny.DomainPunyDecode(L"xn--.com"), L"com");
    EXPECT_EQ(puny.DomainPunyDecode(L"xn--a"), L"\u0080");
}

TEST(PunyCode, BrokenPunycodeRaisesBadInput) {
    clsPunyCode puny;
    const wchar_t* broken[] = {
        L"xn--b",              // number cut off after its first digit
        L"xn--99999999999",    // overflows 32 bits
    };
    for (const wchar_t* domain : broken) {
        try {
            puny.DomainPunyDecode(domain);
            ADD_FAILURE() << "no error for " << ::testing::PrintToString(std::wstring(domain));
        } catch (const PunyCodeError& e) {
            EXPECT_EQ(e.Number(), -2147221503);
            EXPECT_STREQ(e.what(), "Not a valid punycode domain. Bad input.");
        }
    }
    // Labels that decode to values which are no characters: a surrogate, beyond U+10FFFF.
    for (char32_t notCharacter : {char32_t(0xD800), char32_t(0x110000)}) {
        std::wstring label;
        ASSERT_TRUE(punycode::EncodeLabel(std::u32string{U'a', notCharacter}, label));
        EXPECT_THROW(puny.DomainPunyDecode(L"xn--" + label), PunyCodeError) << std::hex << uint32_t(notCharacter);
    }
}

}  // namespace
