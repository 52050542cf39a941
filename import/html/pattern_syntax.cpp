#include "html/pattern_syntax.h"

#include <algorithm>
#include <stdexcept>

namespace quorallion::html {

namespace {

constexpr char32_t kLastChar = 0x10FFFF;

[[noreturn]] void Refuse(const char* why) {
    throw std::invalid_argument(std::string("pattern not supported: ") + why);
}

}  // namespace

void CharSet::AddExact(char32_t low, char32_t high) {
    for (char32_t c = low; c <= high && c < 128; ++c) ascii_[c >> 6] |= uint64_t{1} << (c & 63);
    if (high >= 128) {
        ranges_.emplace_back(std::max<char32_t>(low, 128), high);
        std::sort(ranges_.begin(), ranges_.end());
    }
}

void CharSet::AddRange(char32_t low, char32_t high) {
    AddExact(low, high);
    // The other case of the ASCII letters in the range, and only of those.
    for (char32_t c = std::max<char32_t>(low, U'A'); c <= std::min<char32_t>(high, U'Z'); ++c)
        AddExact(c + 32, c + 32);
    for (char32_t c = std::max<char32_t>(low, U'a'); c <= std::min<char32_t>(high, U'z'); ++c)
        AddExact(c - 32, c - 32);
}

void CharSet::AddSet(const CharSet& other) {
    // Only the un-negated form is merged directly; a negated one is turned into ranges.
    if (!other.negated_) {
        ascii_[0] |= other.ascii_[0];
        ascii_[1] |= other.ascii_[1];
        for (const auto& r : other.ranges_) ranges_.push_back(r);
        std::sort(ranges_.begin(), ranges_.end());
        return;
    }
    for (char32_t c = 0; c < 128; ++c)
        if (other.Has(c)) ascii_[c >> 6] |= uint64_t{1} << (c & 63);
    // The gaps between the other set's ranges beyond ASCII.
    std::vector<std::pair<char32_t, char32_t>> sorted = other.ranges_;
    char32_t next = 128;
    for (const auto& [low, high] : sorted) {
        if (low > next) ranges_.emplace_back(next, low - 1);
        next = std::max<char32_t>(next, high + 1);
    }
    if (next <= kLastChar) ranges_.emplace_back(next, kLastChar);
    std::sort(ranges_.begin(), ranges_.end());
}

bool CharSet::InRanges(char32_t c) const {
    for (const auto& [low, high] : ranges_) {
        if (c < low) return false;
        if (c <= high) return true;
    }
    return false;
}

CharSet CharSet::Space() {
    // The platform's white space, measured character by character.
    CharSet set;
    set.AddExact(0x09, 0x0D);
    set.AddExact(0x20, 0x20);
    set.AddExact(0x85, 0x85);
    set.AddExact(0xA0, 0xA0);
    set.AddExact(0x1680, 0x1680);
    set.AddExact(0x2000, 0x200A);
    set.AddExact(0x2028, 0x2029);
    set.AddExact(0x202F, 0x202F);
    set.AddExact(0x205F, 0x205F);
    set.AddExact(0x3000, 0x3000);
    return set;
}

CharSet CharSet::Word() {
    CharSet set;
    set.AddExact(U'0', U'9');
    set.AddExact(U'A', U'Z');
    set.AddExact(U'a', U'z');
    set.AddExact(U'_', U'_');
    return set;
}

CharSet CharSet::Digit() {
    CharSet set;
    set.AddExact(U'0', U'9');
    return set;
}

namespace {

class Parser {
public:
    explicit Parser(std::wstring_view pattern) : p_(pattern) {}

    PatternTree Run() {
        PatternTree tree;
        tree.root = Alternation();
        if (at_ != p_.size()) Refuse("unbalanced ')'");
        tree.groups = groups_;
        tree.hasBackReference = maxBackReference_ > 0;
        if (maxBackReference_ > groups_) Refuse("back-reference to a missing group");
        return tree;
    }

private:
    bool More() const { return at_ < p_.size(); }
    wchar_t Peek() const { return p_[at_]; }

    PatternNode Alternation() {
        PatternNode first = Concat();
        if (!More() || Peek() != L'|') return first;
        PatternNode alt;
        alt.kind = PatternNode::Kind::kAlternation;
        alt.children.push_back(std::move(first));
        while (More() && Peek() == L'|') {
            ++at_;
            alt.children.push_back(Concat());
        }
        return alt;
    }

    PatternNode Concat() {
        PatternNode seq;
        seq.kind = PatternNode::Kind::kConcat;
        while (More() && Peek() != L'|' && Peek() != L')') {
            PatternNode atom = Atom();
            if (More() && (Peek() == L'*' || Peek() == L'+' || Peek() == L'?')) {
                const wchar_t q = p_[at_++];
                if (atom.kind == PatternNode::Kind::kBeginText ||
                    atom.kind == PatternNode::Kind::kEndText ||
                    atom.kind == PatternNode::Kind::kWordBoundary ||
                    atom.kind == PatternNode::Kind::kLookahead)
                    Refuse("quantified assertion");
                PatternNode rep;
                rep.kind = PatternNode::Kind::kRepeat;
                rep.min = q == L'+' ? 1 : 0;
                rep.atMostOnce = q == L'?';
                if (More() && Peek() == L'?') {
                    rep.greedy = false;
                    ++at_;
                }
                if (!rep.atMostOnce && CanMatchEmpty(atom)) Refuse("repeated part can be empty");
                rep.children.push_back(std::move(atom));
                atom = std::move(rep);
            }
            if (More() && Peek() == L'{' && at_ + 1 < p_.size() && p_[at_ + 1] >= L'0' &&
                p_[at_ + 1] <= L'9')
                Refuse("counted repetition");
            seq.children.push_back(std::move(atom));
        }
        if (seq.children.size() == 1) return std::move(seq.children[0]);
        return seq;
    }

    PatternNode Single(const CharSet& set) {
        PatternNode node;
        node.kind = PatternNode::Kind::kChar;
        node.set = set;
        return node;
    }

    PatternNode Atom() {
        const wchar_t c = p_[at_++];
        switch (c) {
        case L'(':
            return Group();
        case L'[':
            return Single(Class());
        case L'^': {
            PatternNode node;
            node.kind = PatternNode::Kind::kBeginText;
            return node;
        }
        case L'$': {
            PatternNode node;
            node.kind = PatternNode::Kind::kEndText;
            return node;
        }
        case L'.':
            Refuse("'.'");
        case L'*':
        case L'+':
        case L'?':
            Refuse("quantifier without a part");
        case L'\\':
            return Escape();
        default: {
            CharSet set;
            set.AddRange(c, c);
            return Single(set);
        }
        }
    }

    PatternNode Group() {
        PatternNode node;
        if (More() && Peek() == L'?') {
            if (at_ + 1 >= p_.size()) Refuse("'(?' at the end");
            const wchar_t kind = p_[at_ + 1];
            at_ += 2;
            if (kind == L':') {
                node = Alternation();
            } else if (kind == L'=' || kind == L'!') {
                // One character ahead: enough for "a tag name ends here" and linear to run.
                PatternNode inner = Alternation();
                if (inner.kind != PatternNode::Kind::kChar) Refuse("look-ahead of more than one character");
                node.kind = PatternNode::Kind::kLookahead;
                node.set = inner.set;
                node.negated = kind == L'!';
            } else {
                Refuse("unknown group kind");
            }
        } else {
            node.kind = PatternNode::Kind::kGroup;
            node.group = ++groups_;
            node.children.push_back(Alternation());
        }
        if (!More() || Peek() != L')') Refuse("missing ')'");
        ++at_;
        return node;
    }

    // One escaped character outside or inside a class: a set, or a single character.
    bool EscapedSet(wchar_t e, CharSet& set) {
        switch (e) {
        case L's': set = CharSet::Space(); return true;
        case L'w': set = CharSet::Word(); return true;
        case L'd': set = CharSet::Digit(); return true;
        case L'S': set = CharSet::Space(); set.Negate(); return true;
        case L'W': set = CharSet::Word(); set.Negate(); return true;
        case L'D': set = CharSet::Digit(); set.Negate(); return true;
        default: return false;
        }
    }

    char32_t EscapedChar(wchar_t e) {
        switch (e) {
        case L'r': return U'\r';
        case L'n': return U'\n';
        case L't': return U'\t';
        case L'f': return U'\f';
        case L'v': return U'\v';
        default:
            if ((e >= L'a' && e <= L'z') || (e >= L'A' && e <= L'Z') || (e >= L'0' && e <= L'9'))
                Refuse("unknown escape");
            return static_cast<char32_t>(e);  // escaped punctuation stands for itself
        }
    }

    PatternNode Escape() {
        if (!More()) Refuse("'\\' at the end");
        const wchar_t e = p_[at_++];
        PatternNode node;
        if (e == L'b' || e == L'B') {
            node.kind = PatternNode::Kind::kWordBoundary;
            node.negated = e == L'B';
            return node;
        }
        if (e >= L'1' && e <= L'9') {
            node.kind = PatternNode::Kind::kBackReference;
            node.group = e - L'0';
            maxBackReference_ = std::max(maxBackReference_, node.group);
            return node;
        }
        CharSet set;
        if (!EscapedSet(e, set)) {
            const char32_t c = EscapedChar(e);
            set.AddRange(c, c);
        }
        return Single(set);
    }

    // After '[': the class through its ']'.
    CharSet Class() {
        CharSet set;
        bool negate = false;
        if (More() && Peek() == L'^') {
            negate = true;
            ++at_;
        }
        bool first = true;
        while (true) {
            if (!More()) Refuse("missing ']'");
            wchar_t c = p_[at_++];
            if (c == L']' && !first) break;
            first = false;
            char32_t low;
            if (c == L'\\') {
                if (!More()) Refuse("'\\' at the end");
                const wchar_t e = p_[at_++];
                CharSet shorthand;
                if (EscapedSet(e, shorthand)) {
                    set.AddSet(shorthand);
                    continue;
                }
                if (e == L'b') Refuse("\\b in a class");
                low = EscapedChar(e);
            } else {
                low = c;
            }
            // A range "a-z"; a '-' first, last or after a range stands for itself.
            if (at_ + 1 < p_.size() && p_[at_] == L'-' && p_[at_ + 1] != L']') {
                ++at_;
                wchar_t h = p_[at_++];
                char32_t high;
                if (h == L'\\') {
                    if (!More()) Refuse("'\\' at the end");
                    const wchar_t e = p_[at_++];
                    CharSet shorthand;
                    if (EscapedSet(e, shorthand)) Refuse("class shorthand as a range end");
                    high = EscapedChar(e);
                } else {
                    high = h;
                }
                if (high < low) Refuse("range out of order");
                set.AddRange(low, high);
            } else {
                set.AddRange(low, low);
            }
        }
        if (negate) set.Negate();
        return set;
    }

    std::wstring_view p_;
    size_t at_ = 0;
    int groups_ = 0;
    int maxBackReference_ = 0;
};

}  // namespace

PatternTree ParsePattern(std::wstring_view pattern) { return Parser(pattern).Run(); }

bool CanMatchEmpty(const PatternNode& node) {
    using Kind = PatternNode::Kind;
    switch (node.kind) {
    case Kind::kChar:
        return false;
    case Kind::kConcat:
        for (const PatternNode& child : node.children)
            if (!CanMatchEmpty(child)) return false;
        return true;
    case Kind::kAlternation:
        for (const PatternNode& child : node.children)
            if (CanMatchEmpty(child)) return true;
        return false;
    case Kind::kRepeat:
        return node.min == 0 || CanMatchEmpty(node.children[0]);
    case Kind::kGroup:
        return CanMatchEmpty(node.children[0]);
    case Kind::kBackReference:
        return true;  // the group may have matched nothing
    default:
        return true;  // assertions take no character
    }
}

void ExpandReplacement(std::wstring& out, std::wstring_view text, std::wstring_view replacement,
                       const std::vector<size_t>& captures) {
    const size_t groups = captures.size() / 2 - 1;
    auto appendGroup = [&](size_t g) {
        const size_t start = captures[2 * g], end = captures[2 * g + 1];
        if (start != std::wstring_view::npos && end != std::wstring_view::npos && end >= start)
            out.append(text.substr(start, end - start));
    };
    for (size_t i = 0; i < replacement.size(); ++i) {
        const wchar_t c = replacement[i];
        if (c != L'$' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const wchar_t n = replacement[i + 1];
        if (n == L'$') {
            out += L'$';
            ++i;
        } else if (n == L'&') {
            appendGroup(0);
            ++i;
        } else if (n == L'`') {
            out.append(text.substr(0, captures[0]));
            ++i;
        } else if (n == L'\'') {
            out.append(text.substr(captures[1]));
            ++i;
        } else if (n >= L'0' && n <= L'9') {
            size_t g = n - L'0';
            size_t used = 1;
            if (i + 2 < replacement.size() && replacement[i + 2] >= L'0' &&
                replacement[i + 2] <= L'9') {
                const size_t two = g * 10 + (replacement[i + 2] - L'0');
                if (two >= 1 && two <= groups) {
                    g = two;
                    used = 2;
                }
            }
            if (g >= 1 && g <= groups) {
                appendGroup(g);
                i += used;
            } else {
                out += c;
            }
        } else {
            out += c;
        }
    }
}

}  // namespace quorallion::html
