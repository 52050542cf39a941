#pragma once
// Word's HTML (a filtered-HTML file, or the clipboard's "HTML Format") reduced to what the editor
// page needs: the document's own style rules without Office-only rules and properties, and the
// body without conditional comments, Office markup and empty wrappers. A fixed sequence of
// replacements; the order matters, as each step relies on what the earlier ones left.
//
// Every step runs in one pass over its text (or one per pass of an until-stable step) and gives,
// character for character, what the platform's "VBScript.RegExp" gave for the step's pattern.
#include <functional>
#include <string>
#include <vector>

#include "html/replace_step.h"

namespace quorallion::word {

// A replacement step as the platform's engine ran it, for the tests that hold the two side by
// side. Steps 2, 3 and 20 cut the text (element_extract.h, style_blocks.h) and are not listed.
struct PlatformStep {
    int number;
    const wchar_t* pattern;
    const wchar_t* replacement;
    bool untilStable;
};
const std::vector<PlatformStep>& PlatformSteps();

// Step 30 runs only when this platform pattern does not match the body: named anchors are the
// targets of a table of contents' links, kept while the body links to a place inside itself.
extern const wchar_t kInternalLinkPattern[];

// One replacement step (a number from PlatformSteps) on our own matcher.
std::wstring RunStep(int number, std::wstring text, const html::Pump& pump);

// Told after each numbered step how long it took, for the benchmark.
using StepObserver = std::function<void(int step, double seconds)>;

// The whole clean-up: "<style>" CRLF css CRLF "</style><body>" body "</body>".
std::wstring OptimizeWordHtml(std::wstring html, const html::Pump& pump,
                              const StepObserver& observer);

}  // namespace quorallion::word
