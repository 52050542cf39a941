#include "html/replace_step.h"

#include "regex/basRegExp.h"

namespace quorallion::html {

std::wstring ReplaceStep(std::wstring text, const ScanPass& pass, Passes passes, const Pump& pump) {
    const int most = passes == Passes::kOnce ? 1 : basRegExp::kMaxReplacePasses;
    std::wstring next;
    for (int i = 0; i < most; ++i) {
        if (pump) pump();
        // Nothing found leaves the text as it is; so may a replacement that gives the same text.
        if (!pass(text, next) || next == text) break;
        text.swap(next);
    }
    return text;
}

std::wstring ReplaceStep(std::wstring text, const Pattern& pattern, std::wstring_view replacement,
                         Passes passes, const Pump& pump) {
    return ReplaceStep(
        std::move(text),
        [&](std::wstring_view t, std::wstring& out) { return pattern.ReplaceInto(t, replacement, out); },
        passes, pump);
}

}  // namespace quorallion::html
