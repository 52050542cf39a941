#include "css/clsCSS.h"

#include <windows.h>

#include <cwchar>
#include <unordered_map>
#include <vector>

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

// Rebuilds the text with each match replaced by what make() gives for its text, in one pass; a
// text met again is not worked out again.
template <class Make>
std::wstring ReplaceMatches(const std::wstring& html, const std::vector<RegExpMatch>& matches, Make make) {
    if (matches.empty()) return html;
    std::unordered_map<std::wstring, std::wstring> done;
    std::wstring out;
    out.reserve(html.size() + html.size() / 8);
    size_t at = 0;
    for (const RegExpMatch& match : matches) {
        const size_t start = static_cast<size_t>(match.FirstIndex);
        if (start < at || start + match.Value.size() > html.size()) continue;  // cannot happen
        out.append(html, at, start - at);
        auto known = done.find(match.Value);
        if (known == done.end()) known = done.emplace(match.Value, make(match)).first;
        out += known->second;
        at = start + match.Value.size();
    }
    out.append(html, at, std::wstring::npos);
    return out;
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

void clsCSS::ReadRules(std::wstring sheet, bool quick) {
    rules_.RemoveAll();
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
            const int32_t index = rules_.KeyIndex(key);
            if (index != -1)
                rules_.item(index, CollectionValue{Text(rules_.item(index)) + L";" + declarations});
            else
                rules_.Add(CollectionValue{declarations}, key);
        }
    }
}

std::wstring clsCSS::MergeStyleIntoTag(const std::wstring& tag, const std::wstring& declarations) {
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

std::wstring clsCSS::MergeCss(const std::wstring& html, const std::wstring& css) {
    ReadRules(css, false);
    // Start tags with one class name, quoted either way or not at all: the class goes, the
    // rules for tag.class and then .class come in.
    const std::vector<RegExpMatch> classed = basRegExp::RegExpExecute(
        html, L"<([a-zA-Z]+?)(?=\\s)([^>]*)(\\sclass\\s*=\\s*)([\"']?)([\\w]+)\\4([^>]*?)>");
    std::wstring out = ReplaceMatches(html, classed, [&](const RegExpMatch& m) {
        const std::vector<std::wstring>& g = m.SubMatches;
        std::wstring tag = L"<" + g[0] + g[1] + g[5] + L">";
        const std::wstring name = Lower(g[0]), cls = Lower(g[4]);
        const int32_t both = rules_.KeyIndex(CollectionValue{name + L"." + cls});
        if (both != -1) tag = MergeStyleIntoTag(tag, Text(rules_.item(both)));
        const int32_t classOnly = rules_.KeyIndex(CollectionValue{L"." + cls});
        if (classOnly != -1) tag = MergeStyleIntoTag(tag, Text(rules_.item(classOnly)));
        return tag;
    });
    // Element rules: start tags of that name followed by white space.
    for (int32_t i = 1; i <= rules_.Count(); ++i) {
        const std::wstring key = Text(rules_.key(i));
        if (key.find(L'.') != std::wstring::npos) continue;
        const std::wstring declarations = Text(rules_.item(i));
        const std::vector<RegExpMatch> tags =
            basRegExp::RegExpExecute(out, L"<" + css::EscapePattern(key) + L"(?=\\s)[^>]*?>");
        out = ReplaceMatches(out, tags, [&](const RegExpMatch& m) { return MergeStyleIntoTag(m.Value, declarations); });
    }
    return out;
}

std::wstring clsCSS::MergeCssQuick(const std::wstring& html, const std::wstring& css) {
    ReadRules(css, true);
    std::wstring out = basRegExp::RegExpReplaceByMatches(
        html, L"(<[^>]*?)(\\sclass\\s*=\\s*)('?)([a-zA-Z0-9\\_\\-]+)\\3(?=[\\s>])([^>]*?>)", L"$1 class=\"$4\"$5");
    out = basRegExp::RegExpReplaceAllByMatches(out, L"(<[^>]*?\\sstyle\\s*=\\s*'[^>']*?)\"([^>']*?'[^>]*?>)",
                                      L"$1QUORALLIONQUOT$2");
    out = basRegExp::RegExpReplaceByMatches(out, L"(<[^>]*?)(\\sstyle\\s*=\\s*)'([^>']*?)'([^>]*?>)", L"$1 style=\"$3\"$4");
    out = basRegExp::RegExpReplaceAllByMatches(out, L"(<[^>]*?)QUORALLIONQUOT([^>]*?>)", L"$1'$2");

    auto styleReplacement = [](const std::wstring& declarations) {
        return L"$1 style=\"" + css::EscapeReplacement(declarations) + L"\"$2";
    };
    // tag.class rules
    for (int32_t i = rules_.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules_.key(i));
        const size_t dot = selector.find(L'.', 1);
        if (dot == std::wstring::npos) continue;
        const std::wstring pattern = L"(<" + css::EscapePattern(selector.substr(0, dot)) +
                                     L")(?=\\s)([^>]*\\sclass=\"" + css::EscapePattern(selector.substr(dot + 1)) +
                                     L"\"[^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules_.item(i))));
        rules_.RemoveItem(i);
    }
    // .class rules
    for (int32_t i = rules_.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules_.key(i));
        if (selector.empty() || selector[0] != L'.') continue;
        const std::wstring pattern = L"(<[a-zA-Z]+?)(?=\\s)([^>]*\\sclass=\"" +
                                     css::EscapePattern(selector.substr(1)) + L"\"[^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules_.item(i))));
        rules_.RemoveItem(i);
    }
    // element rules: letters and digits only
    for (int32_t i = rules_.Count(); i >= 1; --i) {
        const std::wstring selector = Text(rules_.key(i));
        if (basRegExp::RegExpTest(L"[^a-zA-Z0-9]+", selector)) continue;
        const std::wstring pattern = L"(<" + css::EscapePattern(selector) + L")(?=[\\s>])([^>]*?>)";
        out = basRegExp::RegExpReplaceByMatches(out, pattern, styleReplacement(Text(rules_.item(i))));
        rules_.RemoveItem(i);
    }
    out = basRegExp::RegExpReplaceAllByMatches(
        out, L"(<[a-zA-Z]+?)(?=\\s)([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*)\\sstyle=\"([^\">]*?)\"([^>]*>)",
        L"$1$2 style=\"$3;$5\" $4 $6");
    return basRegExp::RegExpReplaceByMatches(out, L"(<[^>]*?)\\sclass=\"[^\">]*\"([^>]*>)", L"$1$2");
}

}  // namespace quorallion
