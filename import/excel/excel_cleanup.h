#pragma once
// A spreadsheet's HTML (a page the spreadsheet application published, or the clipboard's "HTML
// Format" of copied cells) reduced to one style element and one container element:
//   <style id="ID_Styles"> CRLF rules CRLF </style><div id="ID" align="center"> body </div>
// The style rules lose the Office-only rules and properties; the body loses conditional
// comments, Office attributes of cells and pictures, and mso- properties of style attributes.
//
// A fixed sequence of replacements, the order mattering as each step relies on what the earlier
// ones left. Every step runs in one pass over its text (or one per pass of an until-stable step)
// and gives, character for character, what the platform's "VBScript.RegExp" gave for its pattern.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "html/replace_step.h"

namespace quorallion::excel {

// The part of the page a replacement step works on.
enum class StepText { kStyles, kBody };

// A replacement step as the platform's engine ran it, numbered 1 to 36 in running order, for the
// tests that hold the two side by side.
struct PlatformStep {
    int number;
    StepText on;
    const wchar_t* pattern;
    const wchar_t* replacement;
    bool untilStable;
};
const std::vector<PlatformStep>& PlatformSteps();

// Steps 2 and 3 run only when these do not match the body: the ruby rules stay while the body
// has ruby text.
extern const wchar_t kRubyElementPattern[];
extern const wchar_t kRtElementPattern[];

// The cuts made before the steps, as the platform patterns they stand for (replacement "$1", the
// container's "$2" for its content).
extern const wchar_t kHeadContentPattern[];
extern const wchar_t kBodyContentPattern[];
extern const wchar_t kSheetContainerPattern[];
extern const wchar_t kStyleElementPattern[];

// The pieces the steps work on, as the cuts leave them.
struct SheetParts {
    std::wstring id;      // the container's id; empty when none was found
    std::wstring styles;  // the head's style elements joined by CRLF
    std::wstring body;
};
SheetParts CutSheetParts(const std::wstring& html, bool published, const html::Pump& pump);

// One replacement step (a number from PlatformSteps) on our own matcher. `body` is the body text
// at that point, looked at by steps 2 and 3 only.
std::wstring RunStep(int number, std::wstring text, std::wstring_view body, const html::Pump& pump);
// The same with the caller's buffer for new text (html::ReplaceStep).
std::wstring RunStep(int number, std::wstring text, std::wstring_view body, const html::Pump& pump,
                     std::wstring& scratch);

// Told after each named part of the clean-up how long it took, for the benchmark: "cuts", then
// the step numbers.
using StepObserver = std::function<void(const std::string& step, double seconds)>;

// The whole clean-up. `published` for a page the application wrote (its container gives the id),
// false for clipboard HTML. `randomDigits` gives the digits of an id made up when there is no
// container.
std::wstring OptimizeExcelHtml(const std::wstring& html, bool published,
                               const std::function<std::wstring()>& randomDigits,
                               const html::Pump& pump, const StepObserver& observer);

// The fragment from its parts.
std::wstring SheetFragment(const std::wstring& id, const std::wstring& styles,
                           const std::wstring& body);

}  // namespace quorallion::excel
