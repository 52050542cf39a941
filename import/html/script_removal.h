#pragma once
// The clipboard readers' first step: every script element out of the clipboard's HTML.
#include <string>
#include <string_view>

namespace quorallion::html {

// The platform pattern the step stands for (replaced by nothing, ignoring case).
extern const wchar_t kScriptElementPattern[];

// Each "<script" (any case, any name after it: "<scripts" too) through its first '>' and the
// first "</script>" after that, removed; the same text the platform pattern gives, in linear
// time also where the pattern backtracks for minutes (thousands of unclosed "<script>").
std::wstring RemoveScriptElements(std::wstring_view text);

}  // namespace quorallion::html
