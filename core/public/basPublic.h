#pragma once
// Small procedures used all over the program: option lists, text cuts, numbers and dates.
// This header holds the parts that need no Windows API; basPublic_win.h adds the clock,
// the random key digits and the job folders.
#include <optional>
#include <string>

namespace quorallion::basPublic {

// Reads one key of an option list such as "imgtype:png;bl:100". The first item whose trimmed key
// equals key (ignoring case) wins; items that do not split into exactly two parts are skipped.
// With ";" and ":" the value's escapes "&maohao#", "&fenhao#" and "&amp#" are undone.
std::wstring GetParamValue(const std::wstring& text, const std::wstring& key,
                           const std::wstring& defaultValue = L"",
                           const std::wstring& itemSeparator = L";",
                           const std::wstring& keyValueSeparator = L":");

// The part of text before the first delimiter, or the whole text when it does not occur.
std::wstring StrBefore(const std::wstring& text, const std::wstring& delimiter);

// The last width characters of zeros followed by the number: PadZero(1234, 3) is "234".
// text is accepted for the callers that pass one and changes nothing.
std::wstring PadZero(long long number, int width, long long maximum = 0, const std::wstring& text = L"");

// A broken-down local time.
struct DateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Automation dates: days since 30 December 1899, the fraction the time of day.
double ToAutomationDate(const DateTime& value);
std::optional<DateTime> FromAutomationDate(double value);

// Styles 1 "yyyy-mm-dd hh:nn:ss", 2 "yyyy-mm-dd", 3 "hh:nn:ss", 4 "yyyymmdd",
// 5 "yyyymmddhhnnss"; any other style, or a value that is no date, gives the empty text.
std::wstring FormatDateTime(double value, int style);
std::wstring FormatDateTime(const DateTime& value, int style);

// The 17-digit time stamp text of a reading: yyyymmddhhnnss and three millisecond digits.
std::wstring TimeStampText(const DateTime& local, int milliseconds);

// "en" or "zh-tw" when the configuration's "lang" key says so, otherwise "zh-cn".
std::wstring LanguageFromConfig(const std::wstring& config);

}  // namespace quorallion::basPublic
