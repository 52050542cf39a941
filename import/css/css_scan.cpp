#include "css/css_scan.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace quorallion::css {
namespace {

constexpr size_t kNone = std::wstring::npos;

// The text from just after one ">" up to the next ">" (at end).
struct Chunk {
    size_t begin = 0, end = 0;
};

template <typename Visit>
void ForEachChunk(const std::wstring& text, Visit visit) {
    size_t begin = 0;
    for (size_t end = text.find(L'>'); end != kNone; end = text.find(L'>', begin)) {
        visit(Chunk{begin, end});
        begin = end + 1;
    }
}

size_t FindIn(const std::wstring& text, wchar_t c, size_t from, size_t end) {
    const size_t at = text.find(c, from);
    return at < end ? at : kNone;
}

// The pattern's literal word (ASCII) at pos, before end.
bool WordAt(const EngineChars& chars, const std::wstring& text, size_t pos, size_t end, const wchar_t* word) {
    for (; *word; ++word, ++pos)
        if (pos >= end || !chars.Same(text[pos], *word)) return false;
    return true;
}

bool LiteralAt(const EngineChars& chars, const std::wstring& text, size_t pos, size_t end, const std::wstring& word) {
    if (pos > end || end - pos < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (!chars.Same(text[pos + k], word[k])) return false;
    return true;
}

size_t SkipSpaces(const EngineChars& chars, const std::wstring& text, size_t pos, size_t end) {
    while (pos < end && chars.Is(text[pos], EngineChars::kSpace)) ++pos;
    return pos;
}

size_t SkipClass(const EngineChars& chars, const std::wstring& text, size_t pos, size_t end, uint8_t cls) {
    while (pos < end && chars.Is(text[pos], cls)) ++pos;
    return pos;
}

bool IsSpace(const EngineChars& chars, const std::wstring& text, size_t pos, size_t end) {
    return pos < end && chars.Is(text[pos], EngineChars::kSpace);
}

// "\s" + word + "\s*=\s*" at j: the position after the last blank, or kNone.
size_t AttributeValueAt(const EngineChars& chars, const std::wstring& text, size_t j, size_t end,
                        const wchar_t* word, size_t wordLength) {
    if (!IsSpace(chars, text, j, end) || !WordAt(chars, text, j + 1, end, word)) return kNone;
    size_t k = SkipSpaces(chars, text, j + 1 + wordLength, end);
    if (k >= end || text[k] != L'=') return kNone;
    return SkipSpaces(chars, text, k + 1, end);
}

// "\s" + word + "=\"" at j, then everything up to the next double quote before end: the quote's
// position, or kNone.
size_t DoubleQuotedAttributeAt(const EngineChars& chars, const std::wstring& text, size_t j, size_t end,
                               const wchar_t* word, size_t wordLength) {
    if (!IsSpace(chars, text, j, end) || !WordAt(chars, text, j + 1, end, word)) return kNone;
    const size_t equals = j + 1 + wordLength;
    if (equals + 1 >= end || text[equals] != L'=' || text[equals + 1] != L'"') return kNone;
    return FindIn(text, L'"', equals + 2, end);
}

std::wstring SingleQuotes(std::wstring text) {
    std::replace(text.begin(), text.end(), L'"', L'\'');
    return text;
}

// A "\sstyle\s*=\s*'...'" at j (no ">" inside): the positions of its two single quotes.
bool SingleQuotedStyleAt(const EngineChars& chars, const std::wstring& text, size_t j, size_t end, size_t& open,
                         size_t& close) {
    open = AttributeValueAt(chars, text, j, end, L"style", 5);
    if (open == kNone || open >= end || text[open] != L'\'') return false;
    close = FindIn(text, L'\'', open + 1, end);
    return close != kNone;
}

// For each chunk, the first position after its first "<" where at(j, chunk end) gives a
// replacement: the lazy "(<[^>]*?)" patterns that make one replacement per chunk.
template <class At>
std::wstring ReplaceFirstPerChunk(const std::wstring& html, At at) {
    std::vector<Replacement> replacements;
    ForEachChunk(html, [&](Chunk c) {
        const size_t first = FindIn(html, L'<', c.begin, c.end);
        if (first == kNone) return;
        for (size_t j = first + 1; j < c.end; ++j) {
            if (std::optional<Replacement> found = at(j, c.end)) {
                replacements.push_back(std::move(*found));
                return;
            }
        }
    });
    return ApplyReplacements(html, replacements);
}

}  // namespace

bool EngineChars::Knows(const std::wstring& text) const {
    for (wchar_t c : text)
        if (c >= 128 || !literalKnown[static_cast<size_t>(c)]) return false;
    return true;
}

EngineChars AsciiEngineChars() {
    EngineChars chars;
    // The platform engine's white space as measured (html/pattern_syntax.cpp).
    for (wchar_t c : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0x85, 0xA0, 0x1680, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000})
        chars.classes[c] |= EngineChars::kSpace;
    for (wchar_t c = 0x2000; c <= 0x200A; ++c) chars.classes[c] |= EngineChars::kSpace;
    for (wchar_t c = 0; c < 128; ++c) {
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool digit = c >= L'0' && c <= L'9';
        if (letter) chars.classes[c] |= EngineChars::kLetter;
        if (letter || digit) chars.classes[c] |= EngineChars::kAlnum;
        if (letter || digit || c == L'_') chars.classes[c] |= EngineChars::kWord;
        if (letter || digit || c == L'_' || c == L'-') chars.classes[c] |= EngineChars::kClassName;
        chars.literalKnown[c] = true;
        if (c >= L'a' && c <= L'z') chars.literal[c] = {static_cast<wchar_t>(c - 32)};
        if (c >= L'A' && c <= L'Z') chars.literal[c] = {static_cast<wchar_t>(c + 32)};
    }
    return chars;
}

std::wstring ApplyReplacements(const std::wstring& text, const std::vector<Replacement>& replacements) {
    if (replacements.empty()) return text;
    std::wstring out;
    out.reserve(text.size() + text.size() / 4);
    size_t at = 0;
    for (const Replacement& r : replacements) {
        out.append(text, at, r.start - at);
        out += r.text;
        at = r.start + r.length;
    }
    out.append(text, at, kNone);
    return out;
}

std::vector<ClassedTag> FindClassedTags(const EngineChars& chars, const std::wstring& html) {
    std::vector<ClassedTag> found;
    ForEachChunk(html, [&](Chunk c) {
        // The first "<" whose name is letters followed by white space; a later one has less room.
        size_t start = FindIn(html, L'<', c.begin, c.end), nameEnd = kNone;
        for (; start != kNone; start = FindIn(html, L'<', start + 1, c.end)) {
            const size_t end = SkipClass(chars, html, start + 1, c.end, EngineChars::kLetter);
            if (end > start + 1 && IsSpace(chars, html, end, c.end)) {
                nameEnd = end;
                break;
            }
        }
        if (nameEnd == kNone) return;
        // The greedy ([^>]*) takes the last class attribute that completes the match.
        size_t attribute = kNone, valueStart = 0, valueEnd = 0, after = 0;
        for (size_t j = nameEnd; j < c.end; ++j) {
            const size_t k = AttributeValueAt(chars, html, j, c.end, L"class", 5);
            if (k == kNone || k >= c.end) continue;
            const wchar_t quote = html[k];
            if (quote == L'"' || quote == L'\'') {
                const size_t run = SkipClass(chars, html, k + 1, c.end, EngineChars::kWord);
                if (run == k + 1 || run >= c.end || html[run] != quote) continue;
                attribute = j, valueStart = k + 1, valueEnd = run, after = run + 1;
            } else {
                const size_t run = SkipClass(chars, html, k, c.end, EngineChars::kWord);
                if (run == k) continue;
                attribute = j, valueStart = k, valueEnd = run, after = run;
            }
        }
        if (attribute == kNone) return;
        ClassedTag tag;
        tag.start = start;
        tag.length = c.end + 1 - start;
        tag.name = html.substr(start + 1, nameEnd - start - 1);
        tag.className = html.substr(valueStart, valueEnd - valueStart);
        tag.withoutClass = L"<" + tag.name + html.substr(nameEnd, attribute - nameEnd) +
                           html.substr(after, c.end - after) + L">";
        found.push_back(std::move(tag));
    });
    return found;
}

std::vector<Span> FindElementTags(const EngineChars& chars, const std::wstring& html, const std::wstring& key) {
    std::vector<Span> found;
    ForEachChunk(html, [&](Chunk c) {
        for (size_t start = FindIn(html, L'<', c.begin, c.end); start != kNone;
             start = FindIn(html, L'<', start + 1, c.end)) {
            if (LiteralAt(chars, html, start + 1, c.end, key) && IsSpace(chars, html, start + 1 + key.size(), c.end)) {
                found.push_back(Span{start, c.end + 1 - start});
                return;
            }
        }
    });
    return found;
}

std::wstring MergeStyleIntoTag(const EngineChars& chars, const std::wstring& tag, const std::wstring& declarations) {
    const std::wstring rule = SingleQuotes(declarations);
    const size_t size = tag.size();
    bool quotedStyle = false;  // \sstyle\s*=\s*['"] anywhere
    for (size_t j = 0; j < size && !quotedStyle; ++j) {
        const size_t k = AttributeValueAt(chars, tag, j, size, L"style", 5);
        quotedStyle = k != kNone && k < size && (tag[k] == L'\'' || tag[k] == L'"');
    }
    if (!quotedStyle) {
        if (tag.empty()) return tag;
        return tag.substr(0, size - 1) + L" style=\"" + rule + L"\">";
    }
    // The first match of ([^>]+?\sstyle\s*=)\s*(['"])([^>]*?)\2([^>]*?>): it starts where a run
    // without ">" starts, and its groups end at the run's ">".
    for (size_t begin = 0; begin < size;) {
        const size_t close = tag.find(L'>', begin);
        if (close == kNone) break;  // no ">" to end a match
        for (size_t j = begin + 1; j < close; ++j) {
            if (!IsSpace(chars, tag, j, close) || !WordAt(chars, tag, j + 1, close, L"style")) continue;
            size_t k = SkipSpaces(chars, tag, j + 6, close);
            if (k >= close || tag[k] != L'=') continue;
            const size_t groupEnd = k + 1;
            k = SkipSpaces(chars, tag, groupEnd, close);
            if (k >= close || (tag[k] != L'\'' && tag[k] != L'"')) continue;
            const size_t quoteEnd = FindIn(tag, tag[k], k + 1, close);
            if (quoteEnd == kNone) continue;
            return tag.substr(begin, groupEnd - begin) + L"\"" + rule + L";" +
                   SingleQuotes(tag.substr(k + 1, quoteEnd - k - 1)) + L"\"" +
                   tag.substr(quoteEnd + 1, close - quoteEnd);
        }
        begin = close + 1;
    }
    return tag;
}

std::wstring QuoteClassValues(const EngineChars& chars, const std::wstring& html) {
    return ReplaceFirstPerChunk(html, [&](size_t j, size_t end) -> std::optional<Replacement> {
        const size_t k = AttributeValueAt(chars, html, j, end, L"class", 5);
        if (k == kNone || k >= end) return std::nullopt;
        const bool quoted = html[k] == L'\'';
        const size_t valueStart = quoted ? k + 1 : k;
        const size_t run = SkipClass(chars, html, valueStart, end, EngineChars::kClassName);
        if (run == valueStart) return std::nullopt;
        size_t after = run;
        if (quoted) {
            if (run >= end || html[run] != L'\'') return std::nullopt;
            after = run + 1;
        }
        if (after != end && !IsSpace(chars, html, after, end)) return std::nullopt;  // (?=[\s>])
        return Replacement{j, after - j, L" class=\"" + html.substr(valueStart, run - valueStart) + L"\""};
    });
}

std::wstring HideQuotesInStyles(const EngineChars& chars, const std::wstring& html, int maxPasses) {
    // Each pass hides the first double quote of the first single-quoted style value that still
    // holds one; the values do not move, so the passes come to hiding them in order.
    std::vector<Replacement> replacements;
    ForEachChunk(html, [&](Chunk c) {
        const size_t first = FindIn(html, L'<', c.begin, c.end);
        if (first == kNone) return;
        int left = maxPasses;
        for (size_t j = first + 1; j < c.end && left > 0; ++j) {
            size_t open = 0, close = 0;
            if (!SingleQuotedStyleAt(chars, html, j, c.end, open, close)) continue;
            for (size_t q = FindIn(html, L'"', open + 1, close); q != kNone && left > 0;
                 q = FindIn(html, L'"', q + 1, close), --left)
                replacements.push_back({q, 1, L"QUORALLIONQUOT"});
        }
    });
    return ApplyReplacements(html, replacements);
}

std::wstring DoubleQuoteStyles(const EngineChars& chars, const std::wstring& html) {
    return ReplaceFirstPerChunk(html, [&](size_t j, size_t end) -> std::optional<Replacement> {
        size_t open = 0, close = 0;
        if (!SingleQuotedStyleAt(chars, html, j, end, open, close)) return std::nullopt;
        return Replacement{j, close + 1 - j, L" style=\"" + html.substr(open + 1, close - open - 1) + L"\""};
    });
}

std::wstring RestoreHiddenQuotes(const EngineChars& chars, const std::wstring& html, int maxPasses) {
    static const std::wstring kHidden = L"QUORALLIONQUOT";  // no prefix of it is also its suffix
    std::vector<Replacement> replacements;
    ForEachChunk(html, [&](Chunk c) {
        const size_t first = FindIn(html, L'<', c.begin, c.end);
        if (first == kNone) return;
        int left = maxPasses;
        for (size_t p = first + 1; p < c.end && left > 0; ++p) {
            if (!LiteralAt(chars, html, p, c.end, kHidden)) continue;
            replacements.push_back({p, kHidden.size(), L"'"});
            p += kHidden.size() - 1;
            --left;
        }
    });
    return ApplyReplacements(html, replacements);
}

bool QuickRulesApply(const EngineChars& chars, const std::vector<QuickRule>& rules) {
    auto plainName = [&](const std::wstring& name) {
        if (!chars.Knows(name)) return false;
        for (wchar_t c : name)
            if (c == L'<' || c == L'>' || c == L'"' || chars.Is(c, EngineChars::kSpace)) return false;
        return true;
    };
    for (const QuickRule& rule : rules) {
        if (rule.declarations.find_first_of(L"<>\"") != kNone) return false;
        if (rule.kind != QuickRule::kClass && (rule.tag.empty() || !plainName(rule.tag))) return false;
        if (rule.kind != QuickRule::kElement && !plainName(rule.className)) return false;
    }
    return true;
}

std::wstring ApplyQuickRules(const EngineChars& chars, const std::wstring& html, const std::vector<QuickRule>& rules) {
    // A new attribute goes right after a tag name and holds no "<", ">" or double quote, so it
    // changes neither which tag names nor which class attributes a later rule finds: each rule
    // is decided on the text as it stands before the first one. Attributes put at the same place
    // end up in the reverse order of their rules.
    //
    // Only the rules named by a chunk's class values and tag names are tried on it. The names
    // are ASCII, where the engine's case is ASCII case (EngineChars says so for every literal it
    // knows), so a value or name in ASCII finds its rules by its lower-case form; a chunk with
    // anything else in them tries every rule.
    auto lower = [](std::wstring text, bool& ascii) {
        for (wchar_t& c : text) {
            if (c >= 128) ascii = false;
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
        }
        return text;
    };
    std::unordered_map<std::wstring, std::vector<size_t>> byClass, byTag;
    for (size_t r = 0; r < rules.size(); ++r) {
        bool ascii = true;
        if (rules[r].kind == QuickRule::kElement)
            byTag[lower(rules[r].tag, ascii)].push_back(r);
        else
            byClass[lower(rules[r].className, ascii)].push_back(r);
    }
    struct Insertion {
        size_t at;
        size_t rule;
    };
    std::vector<Insertion> insertions;
    std::vector<size_t> starts, candidates;
    struct ClassValue {
        size_t attribute, begin, end;
    };
    std::vector<ClassValue> classes;
    ForEachChunk(html, [&](Chunk c) {
        starts.clear();
        classes.clear();
        candidates.clear();
        for (size_t s = FindIn(html, L'<', c.begin, c.end); s != kNone; s = FindIn(html, L'<', s + 1, c.end))
            starts.push_back(s);
        if (starts.empty()) return;
        for (size_t j = starts.front(); j < c.end; ++j) {
            const size_t quote = DoubleQuotedAttributeAt(chars, html, j, c.end, L"class", 5);
            if (quote != kNone) classes.push_back({j, j + 8, quote});
        }
        bool ascii = true;
        auto collect = [&](const std::unordered_map<std::wstring, std::vector<size_t>>& index, std::wstring name) {
            const auto found = index.find(lower(std::move(name), ascii));
            if (found != index.end()) candidates.insert(candidates.end(), found->second.begin(), found->second.end());
        };
        for (const ClassValue& v : classes) collect(byClass, html.substr(v.begin, v.end - v.begin));
        for (size_t s : starts) {
            size_t end = s + 1;
            while (end < c.end && !chars.Is(html[end], EngineChars::kSpace)) ++end;
            collect(byTag, html.substr(s + 1, end - s - 1));
        }
        if (!ascii) {
            candidates.resize(rules.size());
            for (size_t r = 0; r < rules.size(); ++r) candidates[r] = r;
        } else {
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        }
        auto hasClassFrom = [&](size_t from, const std::wstring& name) {
            for (const ClassValue& v : classes)
                if (v.attribute >= from && v.end - v.begin == name.size() && LiteralAt(chars, html, v.begin, v.end, name))
                    return true;
            return false;
        };
        const size_t chunkInsertions = insertions.size();
        for (size_t r : candidates) {
            const QuickRule& rule = rules[r];
            for (size_t s : starts) {
                size_t nameEnd = kNone;
                if (rule.kind == QuickRule::kClass) {
                    const size_t end = SkipClass(chars, html, s + 1, c.end, EngineChars::kLetter);
                    if (end > s + 1 && IsSpace(chars, html, end, c.end)) nameEnd = end;
                } else if (LiteralAt(chars, html, s + 1, c.end, rule.tag)) {
                    const size_t end = s + 1 + rule.tag.size();
                    const bool endsName = rule.kind == QuickRule::kElement ? (end == c.end || IsSpace(chars, html, end, c.end))
                                                                           : IsSpace(chars, html, end, c.end);
                    if (endsName) nameEnd = end;
                }
                if (nameEnd == kNone) continue;
                if (rule.kind != QuickRule::kElement && !hasClassFrom(nameEnd, rule.className)) continue;
                insertions.push_back({nameEnd, r});
                break;
            }
        }
        // Later rules first at one place; places in text order.
        std::sort(insertions.begin() + static_cast<std::ptrdiff_t>(chunkInsertions), insertions.end(),
                  [](const Insertion& a, const Insertion& b) { return a.at != b.at ? a.at < b.at : a.rule > b.rule; });
    });
    std::vector<Replacement> replacements;
    replacements.reserve(insertions.size());
    for (const Insertion& i : insertions)
        replacements.push_back({i.at, 0, L" style=\"" + rules[i.rule].declarations + L"\""});
    return ApplyReplacements(html, replacements);
}

std::wstring JoinStyles(const EngineChars& chars, const std::wstring& html, int maxPasses) {
    std::vector<Replacement> replacements;
    ForEachChunk(html, [&](Chunk c) {
        // Quick look: fewer than two double-quoted style attributes leave the chunk alone.
        int styles = 0;
        for (size_t j = c.begin; j < c.end && styles < 2; ++j)
            if (DoubleQuotedAttributeAt(chars, html, j, c.end, L"style", 5) != kNone) ++styles;
        if (styles < 2) return;
        std::wstring text = html.substr(c.begin, c.end + 1 - c.begin);
        bool changed = false;
        for (int pass = 0; pass < maxPasses; ++pass) {
            const size_t end = text.size() - 1;  // the ">"
            size_t nameEnd = kNone;
            for (size_t s = FindIn(text, L'<', 0, end); s != kNone; s = FindIn(text, L'<', s + 1, end)) {
                const size_t e = SkipClass(chars, text, s + 1, end, EngineChars::kLetter);
                if (e > s + 1 && IsSpace(chars, text, e, end)) {
                    nameEnd = e;
                    break;
                }
            }
            if (nameEnd == kNone) break;
            // The greedy groups take the last attribute as the second and the last one that
            // closes before it as the first.
            size_t last = kNone, lastClose = 0;
            for (size_t j = nameEnd; j < end; ++j) {
                const size_t close = DoubleQuotedAttributeAt(chars, text, j, end, L"style", 5);
                if (close != kNone) last = j, lastClose = close;
            }
            if (last == kNone) break;
            size_t first = kNone, firstClose = 0;
            for (size_t j = nameEnd; j < last; ++j) {
                const size_t close = DoubleQuotedAttributeAt(chars, text, j, end, L"style", 5);
                if (close != kNone && close < last) first = j, firstClose = close;
            }
            if (first == kNone) break;
            text = text.substr(0, first) + L" style=\"" + text.substr(first + 8, firstClose - first - 8) + L";" +
                   text.substr(last + 8, lastClose - last - 8) + L"\" " +
                   text.substr(firstClose + 1, last - firstClose - 1) + L" " + text.substr(lastClose + 1);
            changed = true;
        }
        if (changed) replacements.push_back({c.begin, c.end + 1 - c.begin, std::move(text)});
    });
    return ApplyReplacements(html, replacements);
}

std::wstring RemoveClasses(const EngineChars& chars, const std::wstring& html) {
    return ReplaceFirstPerChunk(html, [&](size_t j, size_t end) -> std::optional<Replacement> {
        const size_t quote = DoubleQuotedAttributeAt(chars, html, j, end, L"class", 5);
        if (quote == kNone) return std::nullopt;
        return Replacement{j, quote + 1 - j, L""};
    });
}

}  // namespace quorallion::css
