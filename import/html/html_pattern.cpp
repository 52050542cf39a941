#include "html/html_pattern.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace quorallion::html {

namespace {

constexpr size_t kNone = std::wstring_view::npos;

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// An alternation of single characters is one character of their union: both try one character
// and go on the same way, so nothing else can tell them apart.
bool IsCharUnion(const PatternNode& node) {
    if (node.kind != PatternNode::Kind::kAlternation) return false;
    for (const PatternNode& child : node.children)
        if (child.kind != PatternNode::Kind::kChar) return false;
    return true;
}

}  // namespace

Pattern::Pattern(std::wstring_view pattern) {
    const PatternTree tree = ParsePattern(pattern);
    groups_ = tree.groups;
    hasBackReference_ = tree.hasBackReference;
    Compile(tree.root);
    Emit(Op::kMatch);
    for (const Inst& inst : program_) {
        if (inst.op != Op::kChar) break;
        prefix_.push_back(inst.arg);
    }
}

int Pattern::Emit(Op op, int arg) {
    Inst inst;
    inst.op = op;
    inst.arg = arg;
    inst.next = static_cast<int>(program_.size()) + 1;
    if (op == Op::kSplit) inst.memo = splits_++;
    program_.push_back(inst);
    return static_cast<int>(program_.size()) - 1;
}

void Pattern::Compile(const PatternNode& node) {
    using Kind = PatternNode::Kind;
    auto here = [this] { return static_cast<int>(program_.size()); };
    switch (node.kind) {
    case Kind::kEmpty:
        return;
    case Kind::kChar:
        sets_.push_back(node.set);
        Emit(Op::kChar, static_cast<int>(sets_.size()) - 1);
        return;
    case Kind::kConcat:
        for (const PatternNode& child : node.children) Compile(child);
        return;
    case Kind::kAlternation: {
        if (IsCharUnion(node)) {
            CharSet all;
            for (const PatternNode& child : node.children) all.AddSet(child.set);
            sets_.push_back(all);
            Emit(Op::kChar, static_cast<int>(sets_.size()) - 1);
            return;
        }
        std::vector<int> jumps;
        for (size_t i = 0; i + 1 < node.children.size(); ++i) {
            const int split = Emit(Op::kSplit);
            Compile(node.children[i]);
            jumps.push_back(Emit(Op::kJump));
            program_[split].alt = here();
        }
        Compile(node.children.back());
        for (int jump : jumps) program_[jump].next = here();
        return;
    }
    case Kind::kRepeat: {
        const PatternNode& body = node.children[0];
        if (node.atMostOnce) {  // x? and x??
            const int split = Emit(Op::kSplit);
            Compile(body);
            program_[split].alt = here();
            if (!node.greedy) std::swap(program_[split].next, program_[split].alt);
        } else if (node.min == 0) {  // x* and x*?
            const int loop = Emit(Op::kSplit);
            Compile(body);
            program_[Emit(Op::kJump)].next = loop;
            program_[loop].alt = here();
            if (!node.greedy) std::swap(program_[loop].next, program_[loop].alt);
        } else {  // x+ and x+?
            const int start = here();
            Compile(body);
            const int split = Emit(Op::kSplit);
            program_[split].next = start;
            program_[split].alt = here();
            if (!node.greedy) std::swap(program_[split].next, program_[split].alt);
        }
        return;
    }
    case Kind::kGroup:
        Emit(Op::kSave, 2 * node.group);
        Compile(node.children[0]);
        Emit(Op::kSave, 2 * node.group + 1);
        return;
    case Kind::kBeginText:
        Emit(Op::kBeginText);
        return;
    case Kind::kEndText:
        Emit(Op::kEndText);
        return;
    case Kind::kWordBoundary:
        Emit(Op::kWordBoundary, node.negated ? 1 : 0);
        return;
    case Kind::kLookahead: {
        sets_.push_back(node.set);
        const int inst = Emit(Op::kLookahead, static_cast<int>(sets_.size()) - 1);
        program_[inst].alt = node.negated ? 1 : 0;
        return;
    }
    case Kind::kBackReference:
        Emit(Op::kBackReference, node.group);
        return;
    }
}

// One pass over one text: the visited table lives as long as the pass.
class Pattern::Run {
public:
    Run(const Pattern& pattern, std::wstring_view text)
        : p_(pattern), text_(text), captures_(2 * (pattern.groups_ + 1), kNone) {
        if (text.size() >= std::numeric_limits<uint32_t>::max())
            throw std::length_error("text too long for the pattern matcher");
    }

    // The first match that starts at or after `from`, its groups in Captures().
    bool Search(size_t from) {
        const size_t n = text_.size();
        const std::vector<int>& prefix = p_.prefix_;
        for (size_t start = from; start <= n; ++start) {
            if (!prefix.empty()) {
                const CharSet& first = p_.sets_[prefix[0]];
                while (start < n && !first.Has(static_cast<char32_t>(text_[start]))) ++start;
                if (n - start < prefix.size()) return false;
                size_t i = 1;
                while (i < prefix.size() &&
                       p_.sets_[prefix[i]].Has(static_cast<char32_t>(text_[start + i])))
                    ++i;
                if (i < prefix.size()) continue;
            }
            if (TryAt(start)) return true;
        }
        return false;
    }

    // After a match that ended at `pos`: the branch points on its own path there did not fail.
    void ForgetAt(size_t pos) {
        if (pos > text_.size() || (pos >> kChunkShift) >= visited_.size()) return;
        std::vector<uint64_t>& chunk = visited_[pos >> kChunkShift];
        if (chunk.empty()) return;
        for (int memo = 0; memo < p_.splits_; ++memo) {
            const size_t bit = (pos & kChunkMask) * p_.splits_ + memo;
            chunk[bit >> 6] &= ~(uint64_t{1} << (bit & 63));
        }
    }

    const std::vector<size_t>& Captures() const { return captures_; }

private:
    // A branch still to try (instruction >= 0), or a group position to put back (~slot).
    struct Entry {
        int32_t what;
        uint32_t value;
    };

    // Whether the branch point is tried at `pos` for the first time (and marks it tried). The
    // table comes in chunks of positions, made when first needed: on most texts only a few
    // starts ever get as far as a branch point.
    bool Visit(int memo, size_t pos) {
        if (!p_.IsLinear()) return true;
        if (visited_.empty()) visited_.resize((text_.size() >> kChunkShift) + 1);
        std::vector<uint64_t>& chunk = visited_[pos >> kChunkShift];
        if (chunk.empty()) chunk.assign((static_cast<size_t>(p_.splits_) << kChunkShift) / 64 + 1, 0);
        const size_t bit = (pos & kChunkMask) * p_.splits_ + memo;
        uint64_t& word = chunk[bit >> 6];
        const uint64_t mask = uint64_t{1} << (bit & 63);
        if (word & mask) return false;
        word |= mask;
        return true;
    }

    bool BackReferenceAt(int group, size_t& pos) const {
        const size_t start = captures_[2 * group], end = captures_[2 * group + 1];
        if (start == kNone || end == kNone || end < start) return true;  // matches nothing
        const size_t length = end - start;
        if (text_.size() - pos < length) return false;
        for (size_t i = 0; i < length; ++i)
            if (AsciiLower(text_[start + i]) != AsciiLower(text_[pos + i])) return false;
        pos += length;
        return true;
    }

    bool TryAt(size_t start) {
        const size_t n = text_.size();
        std::fill(captures_.begin(), captures_.end(), kNone);
        captures_[0] = start;
        stack_.clear();
        stack_.push_back({0, static_cast<uint32_t>(start)});
        while (!stack_.empty()) {
            const Entry entry = stack_.back();
            stack_.pop_back();
            if (entry.what < 0) {
                const uint32_t value = entry.value;
                captures_[~entry.what] = value == std::numeric_limits<uint32_t>::max() ? kNone : value;
                continue;
            }
            int pc = entry.what;
            size_t pos = entry.value;
            bool alive = true;
            while (alive) {
                const Inst& inst = p_.program_[pc];
                switch (inst.op) {
                case Op::kChar:
                    alive = pos < n && p_.sets_[inst.arg].Has(static_cast<char32_t>(text_[pos]));
                    ++pos;
                    pc = inst.next;
                    break;
                case Op::kSplit:
                    alive = Visit(inst.memo, pos);
                    if (alive) stack_.push_back({inst.alt, static_cast<uint32_t>(pos)});
                    pc = inst.next;
                    break;
                case Op::kJump:
                    pc = inst.next;
                    break;
                case Op::kSave: {
                    const size_t old = captures_[inst.arg];
                    stack_.push_back({~inst.arg, old == kNone ? std::numeric_limits<uint32_t>::max()
                                                              : static_cast<uint32_t>(old)});
                    captures_[inst.arg] = pos;
                    pc = inst.next;
                    break;
                }
                case Op::kBeginText:
                    alive = pos == 0;
                    pc = inst.next;
                    break;
                case Op::kEndText:
                    alive = pos == n;
                    pc = inst.next;
                    break;
                case Op::kWordBoundary: {
                    const bool before = pos > 0 && IsPatternWordChar(text_[pos - 1]);
                    const bool after = pos < n && IsPatternWordChar(text_[pos]);
                    alive = (before != after) == (inst.arg == 0);
                    pc = inst.next;
                    break;
                }
                case Op::kLookahead: {
                    const bool has =
                        pos < n && p_.sets_[inst.arg].Has(static_cast<char32_t>(text_[pos]));
                    alive = has == (inst.alt == 0);
                    pc = inst.next;
                    break;
                }
                case Op::kBackReference:
                    alive = BackReferenceAt(inst.arg, pos);
                    pc = inst.next;
                    break;
                case Op::kMatch:
                    captures_[1] = pos;
                    return true;
                }
            }
        }
        return false;
    }

    const Pattern& p_;
    std::wstring_view text_;
    std::vector<size_t> captures_;
    static constexpr int kChunkShift = 12;
    static constexpr size_t kChunkMask = (size_t{1} << kChunkShift) - 1;
    // (position, branch point) pairs already tried, by chunks of 4096 positions.
    std::vector<std::vector<uint64_t>> visited_;
    std::vector<Entry> stack_;
};

std::wstring Pattern::Replace(std::wstring_view text, std::wstring_view replacement) const {
    std::wstring out;
    if (!ReplaceInto(text, replacement, out)) out = text;
    return out;
}

bool Pattern::ReplaceInto(std::wstring_view text, std::wstring_view replacement,
                          std::wstring& result) const {
    Run run(*this, text);
    std::wstring& out = result;  // touched only once there is a match
    bool found = false;
    size_t last = 0, from = 0;
    while (from <= text.size() && run.Search(from)) {
        const std::vector<size_t>& captures = run.Captures();
        const size_t start = captures[0], end = captures[1];
        if (!found) {
            out.clear();
            out.reserve(text.size());
        }
        found = true;
        out.append(text.substr(last, start - last));
        ExpandReplacement(out, text, replacement, captures);
        last = end;
        // After an empty match the next one starts a character later (the character stays).
        from = end == start ? end + 1 : end;
        run.ForgetAt(end);
    }
    if (!found) return false;
    out.append(text.substr(last));
    return true;
}

bool Pattern::Test(std::wstring_view text) const {
    Run run(*this, text);
    return run.Search(0);
}

}  // namespace quorallion::html
