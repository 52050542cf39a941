#pragma once
// The application choice of the spreadsheet and presentation workers, and the option texts they
// hand on to a second operation.
#include <string>

namespace quorallion::office {

// By the option "api": "2" chooses the WPS word; "1" repairs the Office registration of the
// family and chooses the Office word; anything else does the same as "1" when the family's Office
// program is installed and chooses the WPS word when it is not. "" when the repair rewrote a
// registration or failed while writing (the worker then fails with "wpscompat").
// officeWord: "xls" or "ppt"; wpsWord: "et" or "dps".
std::wstring ChooseDocumentApplication(const std::wstring& api, const std::wstring& officeWord,
                                       const std::wstring& wpsWord);

// The sheet-name listing's choice: as above, except that "1" chooses "xls" without a repair.
std::wstring ChooseSheetNameApplication(const std::wstring& api);

// "&", ":" and ";" of an option value escaped, so that it stands as one value in a new list.
std::wstring EscapeOptionValue(const std::wstring& value);

// The leading number of a version text ("16.0", "12.0 (SP1)"), or -1 when there is none.
double VersionNumber(const std::wstring& version);

}  // namespace quorallion::office
