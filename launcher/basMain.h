#pragma once
// The launcher's reading of its command text. Free of Windows, so it is tested natively.
#include <string>

namespace quorallion::basMain {

// After the first ":" and before the first "?", without "/", double quotes and "?".
std::wstring CleanCommandText(const std::wstring& commandText);

// The trimmed value of the first item "key<kvSep>value" whose trimmed key equals key ignoring
// case; items that do not split into exactly two parts are skipped; otherwise the default.
std::wstring GetUrlParam(const std::wstring& text, const std::wstring& key,
                         const std::wstring& defaultValue, const std::wstring& itemSeparator,
                         const std::wstring& keySeparator);

// True when the cleaned text asks the system's processes to end (quit=1, any letter case).
bool IsQuitRequest(const std::wstring& cleanedText);

}  // namespace quorallion::basMain
