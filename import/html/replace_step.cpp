#include "html/replace_step.h"

#include "regex/basRegExp.h"

namespace quorallion::html {

std::wstring ReplaceStep(std::wstring text, const std::function<std::wstring(std::wstring_view)>& pass,
                         Passes passes, const Pump& pump) {
    const int most = passes == Passes::kOnce ? 1 : basRegExp::kMaxReplacePasses;
    for (int i = 0; i < most; ++i) {
        if (pump) pump();
        std::wstring next = pass(text);
        if (next == text) break;
        text = std::move(next);
    }
    return text;
}

std::wstring ReplaceStep(std::wstring text, const Pattern& pattern, std::wstring_view replacement,
                         Passes passes, const Pump& pump) {
    return ReplaceStep(
        std::move(text), [&](std::wstring_view t) { return pattern.Replace(t, replacement); },
        passes, pump);
}

}  // namespace quorallion::html
