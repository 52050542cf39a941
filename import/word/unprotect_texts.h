#pragma once
// The password prompt's texts in the process's three languages, and its trimming of the typed
// password. No Windows API: tested natively.
#include <string>

namespace quorallion {

struct UnprotectFormTexts {
    const wchar_t* caption;      // the skinned frame's title
    const wchar_t* ok;           // cmdOK
    const wchar_t* cancel;       // cmdCancel
    const wchar_t* password;     // lblPassword
    const wchar_t* message;      // lblMsg
    const wchar_t* emptyInput;   // the box shown for an empty or blank-only password
};

// "zh-cn", "zh-tw", anything else English.
const UnprotectFormTexts& UnprotectFormTextsFor(const std::wstring& language);

// The text without the blanks at both ends (blanks inside stay).
std::wstring TrimBlanks(const std::wstring& text);

}  // namespace quorallion
