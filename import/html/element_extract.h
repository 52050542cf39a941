#pragma once
// Cuts an HTML text down to one element (or to the content of one element) in a single pass.
// Gives exactly what the case-insensitive whole-text replacement
//   ^[\s\S]*?(<name\b[^>]*?>[\s\S]*?</name>)[\s\S]*$  ->  $1
// and its variants give (greedy closing tag, content only, no \b after the name), which
// backtrack over megabytes of Word HTML for seconds.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorallion::html {

struct ElementCut {
    // Lower-case ASCII tag name, e.g. L"body". Matched without regard to ASCII case.
    std::wstring_view name;
    // The name must not run on into [A-Za-z0-9_] ("<htmlx" is no html tag); off, "<bodyx" counts.
    bool wholeName;
    // The last closing tag after the opening one instead of the first.
    bool toLastClose;
    // The content between the tags instead of the element with its tags.
    bool contentOnly;
};

// Start and length of the part that is kept.
struct TextRange {
    size_t start;
    size_t length;
};

// The kept part; nothing where the replacement would leave the text unchanged.
std::optional<TextRange> FindElementCut(std::wstring_view text, const ElementCut& cut);

// The kept part, or the text itself when there is no such element.
std::wstring ExtractElement(const std::wstring& text, const ElementCut& cut);

// The cuts the clipboard and the Word clean-up make.
inline constexpr ElementCut kHtmlElementToLastClose{L"html", true, true, false};
inline constexpr ElementCut kHtmlElementToFirstClose{L"html", true, false, false};
inline constexpr ElementCut kBodyContentAnyName{L"body", false, false, true};
inline constexpr ElementCut kBodyContent{L"body", true, false, true};
inline constexpr ElementCut kHeadContent{L"head", true, false, true};

}  // namespace quorallion::html
