#pragma once
// One step of a clean-up: a pattern replaced everywhere in a text, once or until the text stops
// changing, on our own matcher (html_pattern.h). Pending window messages get the chance to run
// before every pass, where the platform's replacement let them run.
#include <functional>
#include <string>
#include <string_view>

#include "html/html_pattern.h"

namespace quorallion::html {

// Lets pending window messages run (the server's DoEvents); empty in tests.
using Pump = std::function<void()>;

enum class Passes { kOnce, kUntilStable };

// `text` with every match replaced. Until stable: repeated while the text changes, at most
// basRegExp::kMaxReplacePasses passes, as basRegExp::RegExpReplaceAll does.
std::wstring ReplaceStep(std::wstring text, const Pattern& pattern, std::wstring_view replacement,
                         Passes passes, const Pump& pump);

// The same for a step that is no pattern: a hand-written scan of one pass that writes the new
// text into its second argument and answers false when it found nothing to replace.
using ScanPass = std::function<bool(std::wstring_view, std::wstring&)>;
std::wstring ReplaceStep(std::wstring text, const ScanPass& pass, Passes passes, const Pump& pump);

}  // namespace quorallion::html
