#pragma once
// A pattern matcher with the platform's "VBScript.RegExp" meaning (IgnoreCase and Global set) for
// the language of pattern_syntax.h, in time linear in the text for patterns without
// back-references.
//
// It backtracks exactly as the platform's engine does, trying alternatives in the same order, so
// the first match and its groups are the same; but it remembers every (branch point, position)
// it has already tried. Without back-references, whether the rest of the pattern can match from
// a branch point at a position depends on nothing else, so a second visit is known to fail and is
// cut off: each branch point is tried at most once per position over a whole replacement, where
// the platform's engine can try it once per start (quadratic on an unclosed "<script>").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "html/pattern_syntax.h"

namespace quorallion::html {

class Pattern {
public:
    // Throws std::invalid_argument for a pattern outside the supported language.
    explicit Pattern(std::wstring_view pattern);

    // Every match replaced, left to right, as the platform's Replace with Global set.
    std::wstring Replace(std::wstring_view text, std::wstring_view replacement) const;
    // The same into `out` (not the storage of `text`); false, with `out` left alone, when nothing
    // matches (no copy made).
    bool ReplaceInto(std::wstring_view text, std::wstring_view replacement, std::wstring& out) const;
    // Whether the pattern matches anywhere.
    bool Test(std::wstring_view text) const;

    // Back-references make a pattern's cost depend on what its groups took: such a pattern is
    // still matched correctly, but without the cut-off, so not in linear time.
    bool IsLinear() const { return !hasBackReference_; }

private:
    enum class Op : uint8_t {
        kChar,         // text[pos] in sets_[arg]
        kSplit,        // try `next` first, then `alt`
        kJump,         // to `next`
        kSave,         // captures[arg] = pos
        kBeginText,
        kEndText,
        kWordBoundary,     // arg 1: not a boundary
        kLookahead,        // text[pos] in sets_[arg] (alt 1: not in it)
        kBackReference,    // group arg
        kMatch,
    };
    struct Inst {
        Op op;
        int arg = 0;
        int next = 0;
        int alt = 0;
        int memo = -1;  // a split's row in the visited table
    };

    class Run;

    int Emit(Op op, int arg = 0);
    void Compile(const PatternNode& node);

    std::vector<Inst> program_;
    std::vector<CharSet> sets_;
    int groups_ = 0;
    int splits_ = 0;
    bool hasBackReference_ = false;
    // The sets of the characters every match starts with, to pass over other starts quickly.
    std::vector<int> prefix_;
};

}  // namespace quorallion::html
