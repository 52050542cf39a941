#pragma once
// The pattern language of the clipboard and Office HTML clean-ups, read into a tree. It is the
// part of the platform's "VBScript.RegExp" dialect those patterns use, with its case rules:
// every pattern ignores case, and only the ASCII letters have another case (measured on the
// platform: "s" matches neither U+017F nor "k" U+212A; a back-reference ignores case too).
//
//   literals and escapes       a  \<  \/  \{  \r \n \t \f \v
//   classes                    [a-z\s\-]  [^>]  \s \S \w \W \d \D  (\w is [A-Za-z0-9_] only)
//   groups                     ( )  (?: )
//   look-ahead at one char     (?=[\s>])  (?!x)
//   quantifiers                * + ?  and lazy *? +? ??
//   alternation, anchors       a|b   ^ $ (ends of the whole text)   \b \B
//   back-references            \1 .. \9
//
// Anything else ('.', counted repetition, a look-ahead longer than one character, a repeated
// part that can match nothing) is refused with std::invalid_argument, so that a pattern never
// runs with a meaning other than the platform's.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorallion::html {

// A set of characters, already folded for case.
class CharSet {
public:
    void AddRange(char32_t low, char32_t high);  // with the other case of ASCII letters
    void AddSet(const CharSet& other);            // `other` already folded
    void Negate() { negated_ = !negated_; }
    bool Has(char32_t c) const {
        const bool in = c < 128 ? ((ascii_[c >> 6] >> (c & 63)) & 1) != 0 : InRanges(c);
        return in != negated_;
    }

    // The shorthand classes \s, \w, \d (negated: \S, \W, \D).
    static CharSet Space();
    static CharSet Word();
    static CharSet Digit();

private:
    bool InRanges(char32_t c) const;
    void AddExact(char32_t low, char32_t high);

    uint64_t ascii_[2] = {0, 0};
    std::vector<std::pair<char32_t, char32_t>> ranges_;  // beyond ASCII, sorted, not merged
    bool negated_ = false;
};

// The platform's \w, for word boundaries.
inline bool IsPatternWordChar(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') ||
           c == U'_';
}

struct PatternNode {
    enum class Kind {
        kEmpty,        // matches nothing, always succeeds
        kChar,         // one character of `set`
        kConcat,       // children in order
        kAlternation,  // children, the first that leads to a match wins
        kRepeat,       // children[0], at least `min` (0 or 1), at most once when `atMostOnce`
        kGroup,        // capturing group `group` around children[0]
        kBeginText,    // ^
        kEndText,      // $
        kWordBoundary, // \b (\B when `negated`)
        kLookahead,    // (?=set) ((?!set) when `negated`)
        kBackReference // \group
    };
    Kind kind = Kind::kEmpty;
    CharSet set;
    std::vector<PatternNode> children;
    int min = 0;
    bool atMostOnce = false;
    bool greedy = true;
    bool negated = false;
    int group = 0;
};

struct PatternTree {
    PatternNode root;
    int groups = 0;  // capturing groups, numbered from 1
    bool hasBackReference = false;
};

// Reads a pattern; throws std::invalid_argument for what the language above leaves out.
PatternTree ParsePattern(std::wstring_view pattern);

// Whether a node can match without taking a character.
bool CanMatchEmpty(const PatternNode& node);

// The replacement text for one match, as the platform expands it: $$ is "$", $& the match,
// $` and $' the text before and after it,
// $1..$99 a group that exists (two digits when that group exists, else one), an unmatched
// group nothing; any other "$" stays as it is.
// `captures` holds 2 * (groups + 1) positions, npos for a group that took no part.
void ExpandReplacement(std::wstring& out, std::wstring_view text, std::wstring_view replacement,
                       const std::vector<size_t>& captures);

}  // namespace quorallion::html
