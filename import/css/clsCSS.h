#pragma once
// Moves the rules of a style sheet into the style attributes of an HTML text's elements, so that
// the HTML keeps its look without the sheet. Rules are kept in a clsCollection keyed by the
// lower-cased selector. Selectors and class names enter the patterns as literal text, and "$"
// in declarations stays literal in replacements.
//
// The tag patterns run as plain one-pass scans (css_scan.h) that give what the platform's
// regular-expression engine gives, told by the engine itself what it takes characters for; a
// sheet whose names or declarations the scans cannot follow goes through the engine pattern by
// pattern instead.
#include <string>

#include "collection/clsCollection.h"

namespace quorallion {

class clsCSS {
public:
    // Walks the tags that carry one class, then the element rules, merging declarations in
    // front of each tag's own style.
    std::wstring MergeCss(const std::wstring& html, const std::wstring& css);
    // The same work as whole-text replacements; doubled style attributes are joined and class
    // attributes removed afterwards.
    std::wstring MergeCssQuick(const std::wstring& html, const std::wstring& css);

    // The declarations put in front of the tag's own style attribute, or a new one added.
    static std::wstring MergeStyleIntoTag(const std::wstring& tag, const std::wstring& declarations);

private:
    clsCollection rules_;
};

namespace css {
// The text as a pattern that matches exactly itself.
std::wstring EscapePattern(const std::wstring& text);
// The text as a replacement that inserts exactly itself ("$" doubled).
std::wstring EscapeReplacement(const std::wstring& text);

// Both ways with every pattern run by the platform's engine: the reference the scans are held to.
std::wstring MergeCssByEngine(const std::wstring& html, const std::wstring& css);
std::wstring MergeCssQuickByEngine(const std::wstring& html, const std::wstring& css);
std::wstring MergeStyleIntoTagByEngine(const std::wstring& tag, const std::wstring& declarations);
}  // namespace css

}  // namespace quorallion
