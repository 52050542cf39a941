#pragma once
// The "HTML Format" text: the header with its byte offsets, as written, and its values, as read.
#include <optional>
#include <string>

namespace quorallion::basClipBoard {

// The largest HTML (in UTF-8 bytes) whose offsets still fit the header's 8 digits.
constexpr size_t kMaxCFHtmlFragmentBytes = 99'999'999 - 167;

// The whole "HTML Format" block for HTML given as UTF-8: header, html and body wrappers and the
// fragment comments, with no terminating zero. Nothing when the HTML is too long for the header.
std::optional<std::string> BuildCFHtml(const std::string& htmlUtf8);

// A header value, read the way the clipboard's readers have always read it: the header is the text
// before the first "<html" or "<body" (any case); the value follows the first "key:" (any case)
// that has something on its line, and runs to the end of that line. Empty when there is none.
std::wstring GetCFHTMLHeaderValue(const std::wstring& cfHtml, const std::wstring& key);

}  // namespace quorallion::basClipBoard
