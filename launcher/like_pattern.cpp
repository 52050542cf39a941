#include "like_pattern.h"

namespace quorallion::basFindWindowLike {
namespace {

// Matches one pattern element at pattern[p] against c; advances p past the element. A "["
// without its "]" matches nothing.
bool MatchOne(std::wstring_view pattern, size_t& p, wchar_t c) {
    wchar_t element = pattern[p];
    if (element == L'?') {
        ++p;
        return true;
    }
    if (element == L'#') {
        ++p;
        return c >= L'0' && c <= L'9';
    }
    if (element != L'[') {
        ++p;
        return c == element;
    }
    size_t close = pattern.find(L']', p + 1);
    if (close == std::wstring_view::npos) {
        p = pattern.size();
        return false;
    }
    size_t i = p + 1;
    bool negate = i < close && pattern[i] == L'!';
    if (negate) ++i;
    bool inList = false;
    for (; i < close; ++i) {
        if (i + 2 < close && pattern[i + 1] == L'-') {
            if (c >= pattern[i] && c <= pattern[i + 2]) inList = true;
            i += 2;
        } else if (pattern[i] == c) {
            inList = true;
        }
    }
    p = close + 1;
    return inList != negate;
}

}  // namespace

bool IsLike(std::wstring_view text, std::wstring_view pattern) {
    size_t t = 0, p = 0;
    // Where to resume after the last "*": the pattern after it and the text it has swallowed.
    size_t starPattern = std::wstring_view::npos, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starPattern = ++p;
            starText = t;
            continue;
        }
        size_t next = p;
        if (p < pattern.size() && MatchOne(pattern, next, text[t])) {
            p = next;
            ++t;
            continue;
        }
        if (starPattern == std::wstring_view::npos) return false;
        p = starPattern;
        t = ++starText;
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

}  // namespace quorallion::basFindWindowLike
