#pragma once
// Each scan of css_scan.h beside the inliner's pattern run by html::Pattern (the platform
// engine's meaning, checked against it in html_pattern_test): the first difference, or nothing.
// Shared by the native test and the fuzz target.
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "css/css_scan.h"
#include "html/html_pattern.h"

namespace quorallion::css::testing {

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

// A name as a pattern that matches itself.
inline std::wstring Literal(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (std::wstring_view(L"\\^$.|?*+()[]{}/").find(c) != std::wstring_view::npos) out += L'\\';
        out += c;
    }
    return out;
}

inline std::wstring ReplaceAll(const html::Pattern& pattern, std::wstring text, const std::wstring& with, int maxPasses) {
    for (int pass = 0; pass < maxPasses; ++pass) {
        std::wstring next = pattern.Replace(text, with);
        if (next == text) break;
        text = std::move(next);
    }
    return text;
}

// The first match's groups 1, 3 and 4 of the tag pattern, by marking it in a replacement.
inline std::wstring MergeStyleIntoTagReference(const std::wstring& tag, const std::wstring& declarations) {
    std::wstring rule = declarations;
    for (wchar_t& c : rule)
        if (c == L'"') c = L'\'';
    static const html::Pattern hasStyle(L"\\sstyle\\s*=\\s*['\"]");
    if (!hasStyle.Test(tag)) return tag.empty() ? tag : tag.substr(0, tag.size() - 1) + L" style=\"" + rule + L"\">";
    static const html::Pattern groups(L"([^>]+?\\sstyle\\s*=)\\s*(['\"])([^>]*?)\\2([^>]*?>)");
    const std::wstring marked = groups.Replace(tag, L"\x01$1\x02$3\x02$4\x01");
    const size_t open = marked.find(L'\x01');
    if (open == std::wstring::npos) return tag;
    const size_t close = marked.find(L'\x01', open + 1);
    const std::wstring match = marked.substr(open + 1, close - open - 1);
    const size_t a = match.find(L'\x02'), b = match.find(L'\x02', a + 1);
    std::wstring own = match.substr(a + 1, b - a - 1);
    for (wchar_t& c : own)
        if (c == L'"') c = L'\'';
    return match.substr(0, a) + L"\"" + rule + L";" + own + L"\"" + match.substr(b + 1);
}

struct Difference {
    std::string step;
    std::wstring ours, reference;
};

inline std::wstring Marked(const std::wstring& html, const std::vector<Span>& spans) {
    std::vector<Replacement> marks;
    for (const Span& s : spans) marks.push_back({s.start, s.length, L"[" + html.substr(s.start, s.length) + L"]"});
    return ApplyReplacements(html, marks);
}

// Every scan on the text, with these rules; the text is expected to hold no U+0001 or U+0002.
inline std::vector<Difference> CompareScans(const EngineChars& chars, const std::wstring& html,
                                            const std::vector<QuickRule>& rules, int maxPasses) {
    std::vector<Difference> found;
    auto check = [&](const char* step, const std::wstring& ours, const std::wstring& reference) {
        if (ours != reference) found.push_back({step, ours, reference});
    };

    static const html::Pattern classed(L"<([a-zA-Z]+?)(?=\\s)([^>]*)(\\sclass\\s*=\\s*)([\"']?)([\\w]+)\\4([^>]*?)>");
    std::vector<Replacement> marks;
    for (const ClassedTag& t : FindClassedTags(chars, html))
        marks.push_back({t.start, t.length, L"\x01" + t.name + L"\x02" + t.className + L"\x02" + t.withoutClass + L"\x01"});
    check("class walk", ApplyReplacements(html, marks), classed.Replace(html, L"\x01$1\x02$5\x02<$1$2$6>\x01"));

    for (const QuickRule& rule : rules) {
        if (rule.kind != QuickRule::kElement) continue;
        const html::Pattern element(L"<" + Literal(rule.tag) + L"(?=\\s)[^>]*?>");
        check("element walk", Marked(html, FindElementTags(chars, html, rule.tag)), element.Replace(html, L"[$&]"));
        check("MergeStyleIntoTag", MergeStyleIntoTag(chars, html, rule.declarations),
              MergeStyleIntoTagReference(html, rule.declarations));
    }

    static const html::Pattern quoteClasses(L"(<[^>]*?)(\\sclass\\s*=\\s*)('?)([a-zA-Z0-9_\\-]+)\\3(?=[\\s>])([^>]*?>)");
    static const html::Pattern hideQuotes(L"(<[^>]*?\\sstyle\\s*=\\s*'[^>']*?)\"([^>']*?'[^>]*?>)");
    static const html::Pattern doubleQuote(L"(<[^>]*?)(\\sstyle\\s*=\\s*)'([^>']*?)'([^>]*?>)");
    static const html::Pattern restoreQuotes(L"(<[^>]*?)QUORALLIONQUOT([^>]*?>)");
    static const html::Pattern join(
        L"(<[a-zA-Z]+?)(?=\\s)([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*>)");
    static const html::Pattern removeClasses(L"(<[^>]*?)\\sclass=\"[^\">]*\"([^>]*>)");

    check("QuoteClassValues", QuoteClassValues(chars, html), quoteClasses.Replace(html, L"$1 class=\"$4\"$5"));
    check("HideQuotesInStyles", HideQuotesInStyles(chars, html, maxPasses),
          ReplaceAll(hideQuotes, html, L"$1QUORALLIONQUOT$2", maxPasses));
    check("DoubleQuoteStyles", DoubleQuoteStyles(chars, html), doubleQuote.Replace(html, L"$1 style=\"$3\"$4"));
    check("RestoreHiddenQuotes", RestoreHiddenQuotes(chars, html, maxPasses),
          ReplaceAll(restoreQuotes, html, L"$1'$2", maxPasses));

    if (QuickRulesApply(chars, rules)) {
        std::wstring reference = html;
        for (const QuickRule& rule : rules) {
            std::wstring pattern;
            switch (rule.kind) {
            case QuickRule::kTagClass:
                pattern = L"(<" + Literal(rule.tag) + L")(?=\\s)([^>]*\\sclass=\"" + Literal(rule.className) + L"\"[^>]*?>)";
                break;
            case QuickRule::kClass:
                pattern = L"(<[a-zA-Z]+?)(?=\\s)([^>]*\\sclass=\"" + Literal(rule.className) + L"\"[^>]*?>)";
                break;
            case QuickRule::kElement: pattern = L"(<" + Literal(rule.tag) + L")(?=[\\s>])([^>]*?>)"; break;
            }
            std::wstring with = L"$1 style=\"";
            for (wchar_t c : rule.declarations) with += c == L'$' ? std::wstring(L"$$") : std::wstring(1, c);
            reference = html::Pattern(pattern).Replace(reference, with + L"\"$2");
        }
        check("ApplyQuickRules", ApplyQuickRules(chars, html, rules), reference);
    }
    check("JoinStyles", JoinStyles(chars, html, maxPasses), ReplaceAll(join, html, L"$1$2 style=\"$3;$5\" $4 $6", maxPasses));
    check("RemoveClasses", RemoveClasses(chars, html), removeClasses.Replace(html, L"$1$2"));
    return found;
}

// Text and rules from a small alphabet of the pieces that matter to the patterns, picked by a
// byte source (a seeded generator or the fuzzer's bytes).
template <typename NextByte>
std::wstring PiecesText(NextByte next, size_t pieces) {
    static const wchar_t* const kPieces[] = {
        L"<", L">", L"<p", L"<P", L"<div", L"<b", L"<p>", L" ", L"\t", L"\u00A0", L"\u3000", L"\u0085", L"\uFEFF",
        L"class", L"CLASS", L"cla\u017Fs", L"style", L"Style", L"\u017Ftyle", L"=", L" = ", L"'", L"\"",
        L"a", L"b", L"c1", L"x-y", L"\u212A", L"\u0130", L";", L"color:red", L"QUORALLIONQUOT", L"quorallionquot",
        L"$1", L"\u4e2d", L" class=\"a\"", L" class='b'", L" style='c:1'", L" style=\"d:2\"", L" class=a",
        L"<span", L" id=x",
    };
    std::wstring text;
    for (size_t i = 0; i < pieces; ++i) text += kPieces[next() % std::size(kPieces)];
    return text;
}

template <typename NextByte>
std::vector<QuickRule> PiecesRules(NextByte next) {
    static const wchar_t* const kNames[] = {L"p", L"div", L"b", L"span", L"a", L"c1", L"x-y", L"", L"p q", L"k"};
    static const wchar_t* const kDeclarations[] = {L"c:1", L"x:'y'", L"$1", L"m:0;n:1", L"q:\"r\"", L"a<b", L"a>b"};
    std::vector<QuickRule> rules;
    const size_t count = next() % 5;
    for (size_t i = 0; i < count; ++i) {
        QuickRule rule;
        rule.kind = static_cast<QuickRule::Kind>(next() % 3);
        rule.tag = kNames[next() % std::size(kNames)];
        rule.className = kNames[next() % std::size(kNames)];
        if (rule.kind == QuickRule::kClass) rule.tag.clear();
        if (rule.kind == QuickRule::kElement) rule.className.clear();
        if (rule.kind != QuickRule::kClass && rule.tag.empty()) rule.tag = L"p";
        rule.declarations = kDeclarations[next() % std::size(kDeclarations)];
        rules.push_back(rule);
    }
    return rules;
}

}  // namespace quorallion::css::testing
