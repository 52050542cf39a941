#pragma once
// The option "sheetindex" of the spreadsheet worker as a number. No Windows API here.
#include <string>

namespace quorallion::excel {

// A 1-based sheet number, or 0 (every sheet, the whole workbook): a value holding anything but
// the digits 0-9, an empty value and one beyond a signed 32-bit integer all give 0.
long ParseSheetIndex(const std::wstring& value);

}  // namespace quorallion::excel
