#pragma once
// Regular-expression replacement and test over the platform's "VBScript.RegExp" object:
// every pattern is case-insensitive and global.
#include <stdexcept>
#include <string>

namespace quorallion {

// The engine refused the pattern, or the platform has no regular-expression object.
class RegExpError : public std::runtime_error {
public:
    RegExpError(long hr, const std::string& what) : std::runtime_error(what), hr_(hr) {}
    long HResult() const { return hr_; }

private:
    long hr_;
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
}  // namespace basRegExp

}  // namespace quorallion
