// The inliner's tag scans against its patterns run by html::Pattern: generated tag soup from the
// pieces the patterns care about, and the texts where a scan is easiest to get wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "css_scan_reference.h"

namespace {

using namespace quorallion::css;
using quorallion::css::testing::CompareScans;
using quorallion::css::testing::Narrow;

void ExpectSame(const std::wstring& html, const std::vector<QuickRule>& rules, int maxPasses, const std::string& why) {
    static const EngineChars chars = AsciiEngineChars();
    for (const auto& d : CompareScans(chars, html, rules, maxPasses))
        ADD_FAILURE() << why << ", " << d.step << " on " << Narrow(html) << "\n  ours:      " << Narrow(d.ours)
                      << "\n  reference: " << Narrow(d.reference);
}

TEST(CssScan, AgreesWithThePatternsOnGeneratedText) {
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<size_t>(state >> 8);
    };
    for (int round = 0; round < 4000; ++round) {
        const std::wstring html = quorallion::css::testing::PiecesText(next, 1 + next() % 40);
        const std::vector<QuickRule> rules = quorallion::css::testing::PiecesRules(next);
        // A small pass limit as well, where the repeated replacements stop before they are done.
        ExpectSame(html, rules, round % 4 == 0 ? 2 : 1000, "round " + std::to_string(round));
        if (::testing::Test::HasFailure()) break;
    }
}

TEST(CssScan, TextsWhereScansGoWrongEasily) {
    const std::vector<QuickRule> rules = {
        {QuickRule::kTagClass, L"p", L"a", L"t:1"},
        {QuickRule::kClass, L"", L"a", L"c:2"},
        {QuickRule::kElement, L"p", L"", L"e:3"},
        {QuickRule::kElement, L"b", L"", L"f:4"},
    };
    const struct {
        const char* why;
        const wchar_t* html;
    } cases[] = {
        {"a later < in the same tag", L"<x <p class=\"a\" id=1>"},
        {"the last class attribute wins the greedy group", L"<p class=a class='b' class=\"c\">"},
        {"a quoted class that does not close", L"<p class='a x>t</p>"},
        {"three styles join from the right", L"<p style=\"a\" id=1 style=\"b\" style=\"c\">"},
        {"a style inside another style's value", L"<p style=\"a style=\"b\" x>"},
        {"double quotes inside single-quoted styles", L"<p style='a:\"1\";b:\"2\"' x style='\"'>"},
        {"hidden-quote marker in any case", L"<p quorallionquot Quorallionquot>QUORALLIONQUOT"},
        {"no > at all", L"<p class=a style='x'"},
        {"tag name ended by >", L"<p><b>"},
        {"white space beyond ASCII", L"<p\u3000class=a\u00A0style='x'>"},
        {"letters that are not ASCII", L"<p cla\u017Fs=a \u017Ftyle='x'>"},
        {"empty tag", L"<>"},
    };
    for (const auto& c : cases) {
        ExpectSame(c.html, rules, 1000, c.why);
        ExpectSame(c.html, rules, 1, std::string(c.why) + " (one pass)");
    }
}

}  // namespace
