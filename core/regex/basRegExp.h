#pragma once
// Regular-expression replacement and test over the platform's "VBScript.RegExp" object:
// every pattern is case-insensitive and global.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorallion {

// The engine refused the pattern, or the platform has no regular-expression object.
class RegExpError : public std::runtime_error {
public:
    RegExpError(long hr, const std::string& what) : std::runtime_error(what), hr_(hr) {}
    long HResult() const { return hr_; }

private:
    long hr_;
};

// One match of RegExpExecute: its text, where it starts (0-based, in UTF-16 units) and its groups
// ($1 first; a group that took no part is the empty text).
struct RegExpMatch {
    std::wstring Value;
    int32_t FirstIndex = 0;
    std::vector<std::wstring> SubMatches;
};

namespace basRegExp {
// The most passes RegExpReplaceAll makes: enough for any clean-up pattern that converges; a
// pattern that keeps growing the text must not hold the single-threaded server for ever.
inline constexpr int kMaxReplacePasses = 1000;

// Lets pending window messages run first, then replaces every match ($1, $& ... in replacement).
std::wstring RegExpReplace(const std::wstring& text, const std::wstring& pattern,
                           const std::wstring& replacement);
// Repeats RegExpReplace until the text stops changing (and at most a bounded number of passes).
std::wstring RegExpReplaceAll(const std::wstring& text, const std::wstring& pattern,
                              const std::wstring& replacement);
// Note the argument order: pattern first.
bool RegExpTest(const std::wstring& pattern, const std::wstring& text);
// The result of RegExpReplace, built from the engine's matches ($1 to $99, $&, $`, $', $$ in
// the replacement) instead of its Replace, which under Wine costs about 0.2 ms per match: for
// whole-document passes with many matches.
std::wstring RegExpReplaceByMatches(const std::wstring& text, const std::wstring& pattern,
                                    const std::wstring& replacement);
// Repeats RegExpReplaceByMatches until the text stops changing (bounded like RegExpReplaceAll).
std::wstring RegExpReplaceAllByMatches(const std::wstring& text, const std::wstring& pattern,
                                       const std::wstring& replacement);
// Every match of the pattern in the text, in order, with its groups. Lets pending window
// messages run first, as RegExpReplace does.
std::vector<RegExpMatch> RegExpExecute(const std::wstring& text, const std::wstring& pattern);
}  // namespace basRegExp

}  // namespace quorallion
