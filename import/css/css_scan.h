#pragma once
// The inliner's tag matching as plain scans over the text, in one pass each: every function here
// gives what the platform's regular-expression engine gives for the pattern named above it
// (case ignored, every match), with the engine's own notion of white space, letters and case
// handed in as EngineChars. Portable, so that it builds natively and is fuzzed.
//
// All the patterns stop at the first ">" after a "<": a match lies inside one "chunk", the text
// from just after one ">" to the next ">" inclusive, and a chunk holds at most one match of
// each global pass. The scans below walk the chunks and decide each one on its own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion::css {

// What the engine takes each UTF-16 unit for when case is ignored.
struct EngineChars {
    enum : uint8_t {
        kSpace = 1,      // \s
        kLetter = 2,     // [a-zA-Z]
        kWord = 4,       // \w
        kClassName = 8,  // [a-zA-Z0-9\_\-]
        kAlnum = 16,     // [a-zA-Z0-9]
    };
    std::vector<uint8_t> classes = std::vector<uint8_t>(65536, 0);
    // The other units that an ASCII literal of a pattern matches, once known; among the ASCII
    // characters a letter's other case and nothing else.
    std::array<std::vector<wchar_t>, 128> literal;
    std::array<bool, 128> literalKnown{};

    bool Is(wchar_t c, uint8_t cls) const { return (classes[static_cast<uint16_t>(c)] & cls) != 0; }
    // The text unit matches the pattern's literal (ASCII and known).
    bool Same(wchar_t text, wchar_t lit) const {
        if (text == lit) return true;
        for (wchar_t c : literal[static_cast<size_t>(lit)])
            if (c == text) return true;
        return false;
    }
    // Every character of the text is ASCII and its literal known.
    bool Knows(const std::wstring& text) const;
};

// The platform engine's classes as measured, with case folding of the ASCII letters only: for
// native tests and fuzzing. The Windows code asks the engine itself (EngineCharsOfPlatform).
EngineChars AsciiEngineChars();

// The characters every scan below compares as literals.
inline constexpr wchar_t kScanLiterals[] = L"<>\"'=classtyleQUORALLIONQUOT";

// One match of a whole-text pass: where it starts, its length, and the replacement.
struct Replacement {
    size_t start = 0;
    size_t length = 0;
    std::wstring text;
};

// Applies non-overlapping replacements, sorted by start, in one pass.
std::wstring ApplyReplacements(const std::wstring& text, const std::vector<Replacement>& replacements);

// A start tag with one class name:
// <([a-zA-Z]+?)(?=\s)([^>]*)(\sclass\s*=\s*)(["']?)([\w]+)\4([^>]*?)>
struct ClassedTag {
    size_t start = 0, length = 0;
    std::wstring name;       // group 1
    std::wstring className;  // group 5
    std::wstring withoutClass;  // "<", groups 1, 2 and 6, ">"
};
std::vector<ClassedTag> FindClassedTags(const EngineChars& chars, const std::wstring& html);

// Start tags of one name followed by white space: "<" + key + "(?=\s)[^>]*?>" with the key
// literal (Knows(key), no ">").
struct Span {
    size_t start = 0, length = 0;
};
std::vector<Span> FindElementTags(const EngineChars& chars, const std::wstring& html, const std::wstring& key);

// The declarations put in front of the tag's own style, or a new style attribute: the result
// of the inliner's MergeStyleIntoTag for any tag text.
std::wstring MergeStyleIntoTag(const EngineChars& chars, const std::wstring& tag, const std::wstring& declarations);

// The normalising replacements of the quick way, in order; passes repeated until stable stop
// after maxPasses, as the replacement loop does.
// (<[^>]*?)(\sclass\s*=\s*)('?)([a-zA-Z0-9\_\-]+)\3(?=[\s>])([^>]*?>)  ->  $1 class="$4"$5
std::wstring QuoteClassValues(const EngineChars& chars, const std::wstring& html);
// until stable: (<[^>]*?\sstyle\s*=\s*'[^>']*?)"([^>']*?'[^>]*?>)  ->  $1QUORALLIONQUOT$2
std::wstring HideQuotesInStyles(const EngineChars& chars, const std::wstring& html, int maxPasses);
// (<[^>]*?)(\sstyle\s*=\s*)'([^>']*?)'([^>]*?>)  ->  $1 style="$3"$4
std::wstring DoubleQuoteStyles(const EngineChars& chars, const std::wstring& html);
// until stable: (<[^>]*?)QUORALLIONQUOT([^>]*?>)  ->  $1'$2
std::wstring RestoreHiddenQuotes(const EngineChars& chars, const std::wstring& html, int maxPasses);

// One rule of the quick way's three passes, in the order they run.
struct QuickRule {
    enum Kind { kTagClass, kClass, kElement } kind = kElement;
    std::wstring tag;           // kTagClass, kElement
    std::wstring className;     // kTagClass, kClass
    std::wstring declarations;  // put in as they stand
};
// Whether the rule list can go through ApplyQuickRules: literals known, and nothing in names or
// declarations that could make one rule's new attribute change where a later rule matches.
bool QuickRulesApply(const EngineChars& chars, const std::vector<QuickRule>& rules);
// Each rule in turn as its whole-text replacement:
//   (<tag)(?=\s)([^>]*\sclass="name"[^>]*?>)      kTagClass
//   (<[a-zA-Z]+?)(?=\s)([^>]*\sclass="name"[^>]*?>) kClass
//   (<tag)(?=[\s>])([^>]*?>)                     kElement
// each by $1 style="declarations"$2.
std::wstring ApplyQuickRules(const EngineChars& chars, const std::wstring& html, const std::vector<QuickRule>& rules);
// until stable:
// (<[a-zA-Z]+?)(?=\s)([^>]*)\sstyle="([^">]*?)"([^>]*)\sstyle="([^">]*?)"([^>]*>)
//   ->  $1$2 style="$3;$5" $4 $6
std::wstring JoinStyles(const EngineChars& chars, const std::wstring& html, int maxPasses);
// (<[^>]*?)\sclass="[^">]*"([^>]*>)  ->  $1$2
std::wstring RemoveClasses(const EngineChars& chars, const std::wstring& html);

}  // namespace quorallion::css
