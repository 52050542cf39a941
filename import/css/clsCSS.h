#pragma once
// Moves the rules of a style sheet into the style attributes of an HTML text's elements, so that
// the HTML keeps its look without the sheet. Rules are kept in a clsCollection keyed by the
// lower-cased selector; the matching goes through basRegExp. Selectors and class names enter the
// patterns as literal text, and "$" in declarations stays literal in replacements.
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
    void ReadRules(std::wstring css, bool quick);

    clsCollection rules_;
};

namespace css {
// The text as a pattern that matches exactly itself.
std::wstring EscapePattern(const std::wstring& text);
// The text as a replacement that inserts exactly itself ("$" doubled).
std::wstring EscapeReplacement(const std::wstring& text);
}  // namespace css

}  // namespace quorallion
