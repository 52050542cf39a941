#pragma once
// A plain backtracking reading of a pattern tree, the way the platform's engine works: every
// start, every alternative in order, every repetition count, nothing remembered. Exponential at
// worst and slow on long texts: only for small texts, as the yardstick of html::Pattern.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "html/pattern_syntax.h"

namespace quorallion::html::testing {

class ReferenceMatcher {
public:
    explicit ReferenceMatcher(std::wstring_view pattern) : tree_(ParsePattern(pattern)) {}

    std::wstring Replace(std::wstring_view text, std::wstring_view replacement) {
        text_ = text;
        std::wstring out;
        size_t last = 0, from = 0;
        while (from <= text.size() && Search(from)) {
            const size_t start = captures_[0], end = captures_[1];
            out.append(text.substr(last, start - last));
            ExpandReplacement(out, text, replacement, captures_);
            last = end;
            from = end == start ? end + 1 : end;
        }
        out.append(text.substr(last));
        return out;
    }

    bool Test(std::wstring_view text) {
        text_ = text;
        return Search(0);
    }

private:
    using Next = std::function<bool(size_t)>;
    static constexpr size_t kNone = std::wstring_view::npos;

    bool Search(size_t from) {
        for (size_t start = from; start <= text_.size(); ++start) {
            captures_.assign(2 * (tree_.groups + 1), kNone);
            if (Match(tree_.root, start, [&](size_t end) {
                    captures_[0] = start;
                    captures_[1] = end;
                    return true;
                }))
                return true;
        }
        return false;
    }

    static wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

    bool Sequence(const PatternNode& node, size_t index, size_t pos, const Next& next) {
        if (index == node.children.size()) return next(pos);
        return Match(node.children[index], pos,
                     [&](size_t p) { return Sequence(node, index + 1, p, next); });
    }

    // Any number of further repetitions (the first `min` already taken), then `next`.
    bool More(const PatternNode& node, size_t pos, const Next& next) {
        const Next again = [&](size_t p) { return More(node, p, next); };
        if (node.greedy) return Match(node.children[0], pos, again) || next(pos);
        return next(pos) || Match(node.children[0], pos, again);
    }

    bool Match(const PatternNode& node, size_t pos, const Next& next) {
        using Kind = PatternNode::Kind;
        const size_t n = text_.size();
        switch (node.kind) {
        case Kind::kEmpty:
            return next(pos);
        case Kind::kChar:
            return pos < n && node.set.Has(static_cast<char32_t>(text_[pos])) && next(pos + 1);
        case Kind::kConcat:
            return Sequence(node, 0, pos, next);
        case Kind::kAlternation:
            for (const PatternNode& child : node.children)
                if (Match(child, pos, next)) return true;
            return false;
        case Kind::kRepeat:
            if (node.atMostOnce) {
                if (node.greedy) return Match(node.children[0], pos, next) || next(pos);
                return next(pos) || Match(node.children[0], pos, next);
            }
            if (node.min == 1)
                return Match(node.children[0], pos, [&](size_t p) { return More(node, p, next); });
            return More(node, pos, next);
        case Kind::kGroup:
            return Match(node.children[0], pos, [&](size_t end) {
                const size_t oldStart = captures_[2 * node.group], oldEnd = captures_[2 * node.group + 1];
                captures_[2 * node.group] = pos;
                captures_[2 * node.group + 1] = end;
                if (next(end)) return true;
                captures_[2 * node.group] = oldStart;
                captures_[2 * node.group + 1] = oldEnd;
                return false;
            });
        case Kind::kBeginText:
            return pos == 0 && next(pos);
        case Kind::kEndText:
            return pos == n && next(pos);
        case Kind::kWordBoundary: {
            const bool before = pos > 0 && IsPatternWordChar(text_[pos - 1]);
            const bool after = pos < n && IsPatternWordChar(text_[pos]);
            return ((before != after) != node.negated) && next(pos);
        }
        case Kind::kLookahead: {
            const bool has = pos < n && node.set.Has(static_cast<char32_t>(text_[pos]));
            return has != node.negated && next(pos);
        }
        case Kind::kBackReference: {
            const size_t start = captures_[2 * node.group], end = captures_[2 * node.group + 1];
            if (start == kNone) return next(pos);
            const size_t length = end - start;
            if (n - pos < length) return false;
            for (size_t i = 0; i < length; ++i)
                if (Lower(text_[start + i]) != Lower(text_[pos + i])) return false;
            return next(pos + length);
        }
        }
        return false;
    }

    PatternTree tree_;
    std::wstring_view text_;
    std::vector<size_t> captures_;
};

}  // namespace quorallion::html::testing
