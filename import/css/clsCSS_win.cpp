#include "css/clsCSS.h"

#include <windows.h>

#include <cwchar>
#include <unordered_map>
#include <vector>

#include "css/css_scan.h"
#include "css/engine_chars_win.h"
#include "regex/basRegExp.h"

namespace quorallion {
namespace {

std::wstring Lower(std::wstring text) {
    if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Blanks off both ends, as the run-time's Trim does (spaces only).
std::wstring Trim(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring ReplaceChar(std::wstring text, wchar_t from, wchar_t to) {
    for (wchar_t& c : text)
        if (c == from) c = to;
    return text;
}

std::wstring RemoveChars(const std::wstring& text, const wchar_t* chars) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (!std::wcschr(chars, c)) out += c;
    return out;
}

std::wstring Text(const CollectionValue& value) { return clsCollection::ValueText(value); }

// Rebuilds the text with each match (start and length, in order) replaced by what make() gives
// for its text, in one pass; with remember set, a text met again is not worked out again.
template <class Match, class Make>
std::wstring ReplaceMatches(const std::wstring& html, const std::vector<Match>& matches, Make make,
                            bool remember = true) {
    if (matches.empty()) return html;
    std::unordered_map<std::wstring, std::wstring> done;
    std::vector<css::Replacement> replacements;
    replacements.reserve(matches.size());
    size_t at = 0;
    for (const Match& match : matches) {
        const size_t start = match.start;
        if (start < at || start + match.length > html.size()) continue;  // cannot happen
        std::wstring text = html.substr(start, match.length);
        if (!remember) {
            std::wstring replaced = make(match, text);
            replacements.push_back({start, match.length, std::move(replaced)});
        } else {
            auto known = done.find(text);
            if (known == done.end()) known = done.emplace(text, make(match, text)).first;
            replacements.push_back({start, match.length, known->second});
        }
        at = start + match.length;
    }
    return css::ApplyReplacements(html, replacements);
}

// A match of the engine as start and length.
struct EngineMatch {
    size_t start = 0, length = 0;
    const RegExpMatch* match = nullptr;
};

std::vector<EngineMatch> Positions(const std::vector<RegExpMatch>& matches) {
    std::vector<EngineMatch> out;
    out.reserve(matches.size());
    for (const RegExpMatch& m : matches) out.push_back({static_cast<size_t>(m.FirstIndex), m.Value.size(), &m});
    return out;
}

void ReadRules(std::wstring sheet, bool quick, clsCollection& rules) {
    rules.RemoveAll();
    sheet = basRegExp::RegExpReplaceByMatches(sheet, L"</?style>", L"");
    if (quick) sheet = ReplaceChar(std::move(sheet), L'"', L'\'');
    const std::vector<RegExpMatch> found =
        basRegExp::RegExpExecute(sheet, L"([a-zA-Z\\.\\#][^\\{\\}]*?)\\{([^\\}]+?)\\}");
    for (const RegExpMatch& rule : found) {
        if (rule.SubMatches.size() < 2) continue;
        std::wstring declarations = Trim(RemoveChars(rule.SubMatches[1], L"\r\n\t"));
        if (!declarations.empty() && declarations.back() == L';') declarations.pop_back();
        const std::wstring& list = rule.SubMatches[0];
        size_t from = 0;
        while (from <= list.size()) {
            size_t comma = list.find(L',', from);
            if (comma == std::wstring::npos) comma = list.size();
            std::wstring selector = list.substr(from, comma - from);
            from = comma + 1;
            // Runs of tabs become one blank, line breaks go.
            std::wstring spaced;
            for (size_t i = 0; i < selector.size(); ++i) {
                if (selector[i] == L'\t') {
                    if (i == 0 || selector[i - 1] != L'\t') spaced += L' ';
                } else if (selector[i] != L'\r' && selector[i] != L'\n') {
                    spaced += selector[i];
                }
            }
            selector = Lower(Trim(spaced));
            if (selector.empty()) continue;
            const CollectionValue key{selector};
            const int32_t index = rules.KeyIndex(key);
            if (index != -1)
                rules.item(index, CollectionValue{Text(rules.item(index)) + L";" + declarations});
            else
                rules.Add(CollectionValue{declarations}, key);
        }
    }
}

// The class walk's new tag: the tag.class rule, then the .class rule. find gives a key's index
// as KeyIndex does.
template <class Find, class Merge>
std::wstring StyleClassedTag(const clsCollection& rules, Find find, std::wstring tag, const std::wstring& name,
                             const std::wstring& className, Merge merge) {
    const std::wstring lowerName = Lower(name), lowerClass = Lower(className);
    const int32_t both = find(lowerName + L"." + lowerClass);
    if (both != -1) tag = merge(tag, Text(rules.item(both)));
    const int32_t classOnly = find(L"." + lowerClass);
    if (classOnly != -1) tag = merge(tag, Text(rules.item(classOnly)));
    return tag;
}

std::wstring MergeWithEngine(const clsCollection& rules, const std::wstring& html) {
    // Start tags with one class name, quoted either way or not at all: the class goes, the
    // rules for tag.class and then .class come in.
    const std::vector<RegExpMatch> classed = basRegExp::RegExpExecute(
        html, L"<([a-zA-Z]+?)(?=\\s)([^>]*)(\\sclass\\s*=\\s*)([\"']?)([\\w]+)\\4([^>]*?)>");
    std::wstring out = ReplaceMatches(html, Positions(classed), [&](const EngineMatch& m, const std::wstring&) {
        const std::vector<std::wstring>& g = m.match->SubMatches;
        auto find = [&](const std::wstring& key) { return rules.KeyIndex(CollectionValue{key}); };
        return StyleClassedTag(rules, find, L"<" + g[0] + g[1] + g[5] + L">", g[0], g[4],
                               css::MergeStyleIntoTagByEngine);
    });
    // Element rules: start tags of that name followed by white space.
    for (int32_t i = 1; i <= rules.Count(); ++i) {
        const std::wstring key = Text(rules.key(i));
        if (key.find(L'.') != std::wstring::npos) continue;
        const std::wstring declarations = Text(rules.item(i));
        const std::vector<RegExpMatch> tags =
            basRegExp::RegExpExecute(out, L"<" + css::EscapePattern(key) + L"(?=\\s)[^>]*?>");
        out = ReplaceMatches(out, Positions(tags), [&](const EngineMatch&, const std::wstring& text) {
            return css::MergeStyleIntoTagByEngine(text, declarations);
        });
    }
    return out;
}

std::wstring MergeWithScans(const css::EngineChars& chars, const clsCollection& rules, const std::wstring& html) {
    auto merge = [&](const std::wstring& tag, const std::wstring& declarations) {
        return css::MergeStyleIntoTag(chars, tag, declarations);
    };
    // KeyIndex once per key: the first record with that key (the rules compare texts exactly).
    std::unordered_map<std::wstring, int32_t> keys;
    for (int32_t i = 1; i <= rules.Count(); ++i) keys.emplace(Text(rules.key(i)), i);
    auto find = [&](const std::wstring& key) {
        const auto found = keys.find(key);
        return found == keys.end() ? -1 : found->second;
    };
    std::wstring out = ReplaceMatches(
        html, css::FindClassedTags(chars, html),
        [&](const css::ClassedTag& t, const std::wstring&) {
            return StyleClassedTag(rules, find, t.withoutClass, t.name, t.className, merge);
        },
        false);
    for (int32_t i = 1; i <= rules.Count(); ++i) {
        const std::wstring key = Text(rules.key(i));
        if (key.find(L'.') != std::wstring::npos) continue;
        const std::wstring declarations = Text(rules.item(i));
        out = ReplaceMatches(
            out, css::FindElementTags(chars, out, key),
            [&](const css::Span&, const std::wstring& text) { return merge(text, declarations); }, false);
    }
    return out;
}

std::wstring MergeQuickWithEngine(clsCollection& rules, const std::wstring& html) {
    std::wstring out = basRegExp::RegExpReplaceByMatches(
        html, L"(<[^>]*?)(\\sclass\\s*=\\s*)('?)([a-zA-Z0-9\\_\\-]+)\\3(?=[\\s>])([^>]*?>)", L"$1 class=\"$4\"$5");
    out = basRegExp::RegExpReplaceAllByMatches(out, L"(<[^>]*?\\sstyle\\s*=\\s*'[^>']*?)\"([^>']*?'[^>]*?>)",
                                               L"$1QUORALLIONQUOT$2");
    out = basRegExp::RegExpReplaceByMatches(out, L"(<[^>]*?)(\\sstyle\\s*=\\s*)'([^>']*?)'([^>]*?>)",
                                            L"$1 style=\"$3\"$4");
    out = basRegExp::RegExpReplaceAllByMatches(out, L"(<[^>]*?)QUORALLIONQUOT([^>]*?>)", L"$1'$2");

    auto styleReplacement = [](const std::wstring& declarations) {
        return L"$1 style=\"" + css::EscapeReplacement(declarations) + L"\"$2";
    };
    // tag.class rules
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        const size_t dot = selector.find(L'.', 1);
        if (dot == std::wstring::npos) continue;
        const std::wstring pattern = L"(<" + css::EscapePattern(selector.substr(0, dot)) +
                                     L")(?=\\s)([^>]*\\sclass=\"" + css::EscapePattern(selector.substr(dot + 1)) +
                                     L"\"[^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules.item(i))));
        rules.RemoveItem(i);
    }
    // .class rules
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        if (selector.empty() || selector[0] != L'.') continue;
        const std::wstring pattern = L"(<[a-zA-Z]+?)(?=\\s)([^>]*\\sclass=\"" +
                                     css::EscapePattern(selector.substr(1)) + L"\"[^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules.item(i))));
        rules.RemoveItem(i);
    }
    // element rules: letters and digits only
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        if (basRegExp::RegExpTest(L"[^a-zA-Z0-9]+", selector)) continue;
        const std::wstring pattern = L"(<" + css::EscapePattern(selector) + L")(?=[\\s>])([^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules.item(i))));
        rules.RemoveItem(i);
    }
    out = basRegExp::RegExpReplaceAllByMatches(
        out, L"(<[a-zA-Z]+?)(?=\\s)([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*>)",
        L"$1$2 style=\"$3;$5\" $4 $6");
    return basRegExp::RegExpReplaceByMatches(out, L"(<[^>]*?)\\sclass=\"[^\">]*\"([^>]*>)", L"$1$2");
}

// The quick way's rules in the order its three passes use them (each pass from the last rule
// down), the element pass taking selectors of letters and digits only.
std::vector<css::QuickRule> QuickRulesInOrder(const css::EngineChars& chars, const clsCollection& rules) {
    std::vector<css::QuickRule> ordered;
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        const size_t dot = selector.find(L'.', 1);
        if (dot != std::wstring::npos)
            ordered.push_back({css::QuickRule::kTagClass, selector.substr(0, dot), selector.substr(dot + 1),
                               Text(rules.item(i))});
    }
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        if (selector.empty() || selector[0] != L'.' || selector.find(L'.', 1) != std::wstring::npos) continue;
        ordered.push_back({css::QuickRule::kClass, L"", selector.substr(1), Text(rules.item(i))});
    }
    for (int32_t i = rules.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules.key(i));
        if (selector.find(L'.') != std::wstring::npos) continue;
        // Beyond ASCII the rule goes in either way: its name then sends the sheet to the engine.
        bool alnum = true;
        for (wchar_t c : selector) alnum = alnum && (c >= 128 || chars.Is(c, css::EngineChars::kAlnum));
        if (alnum) ordered.push_back({css::QuickRule::kElement, selector, L"", Text(rules.item(i))});
    }
    return ordered;
}

}  // namespace

std::wstring css::EscapePattern(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() * 2);
    for (wchar_t c : text) {
        if (std::wcschr(L"\\^$.|?*+()[]{}/", c) && c != L'\0') out += L'\\';
        out += c;
    }
    return out;
}

std::wstring css::EscapeReplacement(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'$') out += L'$';
        out += c;
    }
    return out;
}

std::wstring css::MergeStyleIntoTagByEngine(const std::wstring& tag, const std::wstring& declarations) {
    const std::wstring rule = ReplaceChar(declarations, L'"', L'\'');
    if (basRegExp::RegExpTest(L"\\sstyle\\s*=\\s*['\"]", tag)) {
        const std::vector<RegExpMatch> found =
            basRegExp::RegExpExecute(tag, L"([^>]+?\\sstyle\\s*=)\\s*(['\"])([^>]*?)\\2([^>]*?>)");
        if (found.empty() || found.front().SubMatches.size() < 4) return tag;
        const std::vector<std::wstring>& g = found.front().SubMatches;
        return g[0] + L"\"" + rule + L";" + ReplaceChar(g[2], L'"', L'\'') + L"\"" + g[3];
    }
    if (tag.empty()) return tag;
    return tag.substr(0, tag.size() - 1) + L" style=\"" + rule + L"\">";
}

std::wstring css::MergeCssByEngine(const std::wstring& html, const std::wstring& sheet) {
    clsCollection rules;
    ReadRules(sheet, false, rules);
    return MergeWithEngine(rules, html);
}

std::wstring css::MergeCssQuickByEngine(const std::wstring& html, const std::wstring& sheet) {
    clsCollection rules;
    ReadRules(sheet, true, rules);
    return MergeQuickWithEngine(rules, html);
}

std::wstring clsCSS::MergeStyleIntoTag(const std::wstring& tag, const std::wstring& declarations) {
    if (const css::EngineChars* chars = css::EngineCharsOfPlatform(css::kScanLiterals))
        return css::MergeStyleIntoTag(*chars, tag, declarations);
    return css::MergeStyleIntoTagByEngine(tag, declarations);
}

std::wstring clsCSS::MergeCss(const std::wstring& html, const std::wstring& css) {
    ReadRules(css, false, rules_);
    // The element rules' names are compared as literals: printable ASCII the engine was asked
    // about, and no ">" (the scans' tags end at the first one).
    std::wstring literals = css::kScanLiterals;
    bool scannable = true;
    for (int32_t i = 1; i <= rules_.Count(); ++i) {
        const std::wstring key = Text(rules_.key(i));
        if (key.find(L'.') != std::wstring::npos) continue;
        scannable = scannable && key.find(L'>') == std::wstring::npos;
        literals += key;
    }
    const css::EngineChars* chars = scannable ? css::EngineCharsOfPlatform(literals) : nullptr;
    if (!chars) return MergeWithEngine(rules_, html);
    return MergeWithScans(*chars, rules_, html);
}

std::wstring clsCSS::MergeCssQuick(const std::wstring& html, const std::wstring& css) {
    ReadRules(css, true, rules_);
    const css::EngineChars* chars = css::EngineCharsOfPlatform(css::kScanLiterals);
    if (!chars) return MergeQuickWithEngine(rules_, html);
    const std::vector<css::QuickRule> ordered = QuickRulesInOrder(*chars, rules_);
    // The names the rules compare as literals must be known to the table as well.
    std::wstring literals = css::kScanLiterals;
    for (const css::QuickRule& rule : ordered) literals += rule.tag + rule.className;
    chars = css::EngineCharsOfPlatform(literals);
    if (!chars || !css::QuickRulesApply(*chars, ordered)) return MergeQuickWithEngine(rules_, html);
    constexpr int kPasses = basRegExp::kMaxReplacePasses;
    std::wstring out = css::QuoteClassValues(*chars, html);
    out = css::HideQuotesInStyles(*chars, out, kPasses);
    out = css::DoubleQuoteStyles(*chars, out);
    out = css::RestoreHiddenQuotes(*chars, out, kPasses);
    out = css::ApplyQuickRules(*chars, out, ordered);
    out = css::JoinStyles(*chars, out, kPasses);
    return css::RemoveClasses(*chars, out);
}

}  // namespace quorallion
