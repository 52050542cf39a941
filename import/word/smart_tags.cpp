#include "word/smart_tags.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace quorallion::word {

namespace {

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsWordChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || IsDigit(c) || c == L'_';
}

// A smart-tag name "st" digits ":" word characters, starting at `at`: where its word characters
// start and end (both 0 when there is no such name there).
struct Name {
    size_t wordStart = 0, wordEnd = 0;
    explicit operator bool() const { return wordEnd > wordStart; }
};

Name ReadName(std::wstring_view text, size_t at) {
    Name name;
    if (text.size() - at < 5 || Lower(text[at]) != L's' || Lower(text[at + 1]) != L't') return name;
    size_t p = at + 2;
    while (p < text.size() && IsDigit(text[p])) ++p;
    if (p == at + 2 || p >= text.size() || text[p] != L':') return name;
    const size_t wordStart = ++p;
    while (p < text.size() && IsWordChar(text[p])) ++p;
    if (p == wordStart) return name;
    name.wordStart = wordStart;
    name.wordEnd = p;
    return name;
}

// The closing tags "</name>" of the text, by name without regard to case, in a trie over the
// names' characters (all ASCII), each name's node holding its closing tags' positions in order.
class ClosingTags {
public:
    explicit ClosingTags(std::wstring_view text) {
        nodes_.emplace_back();
        for (size_t at = text.find(L"</"); at != std::wstring_view::npos; at = text.find(L"</", at + 1)) {
            const Name name = ReadName(text, at + 2);
            if (!name || name.wordEnd >= text.size() || text[name.wordEnd] != L'>') continue;
            int node = 0;
            for (size_t i = at + 2; i < name.wordEnd; ++i) node = Child(node, text[i], true);
            nodes_[node].positions.push_back(at);
        }
    }

    // The first closing tag at or after `from` for the longest name `text[nameStart, end)` with
    // wordStart < end <= wordEnd that has one there; its position and the name's length.
    bool FindFirst(std::wstring_view text, size_t nameStart, const Name& name, size_t from,
                   size_t& position, size_t& nameLength) const {
        // The nodes along the name, deepest (longest name) tried first, as the pattern's greedy
        // \w+ gives back one character at a time.
        std::vector<std::pair<int, size_t>> path;
        int node = 0;
        for (size_t i = nameStart; i < name.wordEnd && node >= 0; ++i) {
            node = Child(node, text[i], false);
            if (node >= 0 && i >= name.wordStart) path.emplace_back(node, i + 1 - nameStart);
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            const std::vector<size_t>& positions = nodes_[it->first].positions;
            auto found = std::lower_bound(positions.begin(), positions.end(), from);
            if (found != positions.end()) {
                position = *found;
                nameLength = it->second;
                return true;
            }
        }
        return false;
    }

private:
    struct Node {
        std::vector<size_t> positions;
    };

    int Child(int node, wchar_t c, bool add) const {
        const uint64_t key = (static_cast<uint64_t>(node) << 8) | static_cast<uint8_t>(Lower(c));
        auto it = children_.find(key);
        if (it != children_.end()) return it->second;
        if (!add) return -1;
        nodes_.emplace_back();
        const int child = static_cast<int>(nodes_.size()) - 1;
        children_.emplace(key, child);
        return child;
    }

    mutable std::vector<Node> nodes_;
    mutable std::unordered_map<uint64_t, int> children_;
};

}  // namespace

bool UnwrapSmartTags(std::wstring_view text, std::wstring& out) {
    if (text.find(L"</") == std::wstring_view::npos) return false;
    const ClosingTags closers(text);
    bool found = false;
    size_t last = 0;      // text before this is written out
    size_t gt = 0;        // the first '>' at or after the last place asked, or npos
    bool gtKnown = false;
    for (size_t open = text.find(L'<'); open != std::wstring_view::npos;) {
        const Name name = ReadName(text, open + 1);
        if (!name) {
            open = text.find(L'<', open + 1);
            continue;
        }
        // The start tag ends at the first '>' after the name, whatever name length is tried.
        if (!gtKnown || (gt != std::wstring_view::npos && gt < name.wordEnd)) {
            gt = text.find(L'>', name.wordEnd);
            gtKnown = true;
        }
        if (gt == std::wstring_view::npos) break;  // no later start tag ends either
        size_t close = 0, nameLength = 0;
        if (!closers.FindFirst(text, open + 1, name, gt + 1, close, nameLength)) {
            open = text.find(L'<', open + 1);
            continue;
        }
        if (!found) {
            out.clear();
            out.reserve(text.size());
            found = true;
        }
        out.append(text.substr(last, open - last));
        out.append(text.substr(gt + 1, close - gt - 1));
        last = close + 2 + nameLength + 1;  // "</" name ">"
        open = text.find(L'<', last);
    }
    if (!found) return false;
    out.append(text.substr(last));
    return true;
}

}  // namespace quorallion::word
