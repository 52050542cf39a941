#pragma once
// The three Office document families as the application choice and the registration repair see
// them, and the texts they compare and write. No Windows API here.
#include <string>

namespace quorallion::office {

struct OfficeFamily {
    const wchar_t* classId;        // automation class of the application ("{000209FF-...}")
    const wchar_t* wpsProgram;     // "wps.exe"
    const wchar_t* officeProgram;  // "Winword.exe"
};

// Excel for "xls", "xlsx", "et"; PowerPoint for "ppt", "pptx", "dps"; Word for every other word.
// Exact, case-sensitive comparison.
const OfficeFamily& FamilyOf(const std::wstring& typeWord);

// The LocalServer32 value to write: the program path, in double quotes when it holds a blank,
// followed by " /Automation".
std::wstring AutomationServerValue(const std::wstring& programPath);

// True when the value, lower-cased, holds "\" followed by the family's WPS program name.
bool NamesWpsProgram(const std::wstring& localServerValue, const OfficeFamily& family);

// The two families repaired after a successful repair of the first ("doc" -> "xls", "ppt"; ...);
// empty texts for any other word.
struct OtherFamilies {
    const wchar_t* first;
    const wchar_t* second;
};
OtherFamilies OtherFamiliesAfter(const std::wstring& typeWord);

}  // namespace quorallion::office

namespace quorallion::basPublic {

// "Word.Application" for "doc" (any case), "KWPS.Application" for "wps", ... ; "" otherwise.
std::wstring GetOfficeProgID(const std::wstring& typeWord);

}  // namespace quorallion::basPublic
