#pragma once
// The clipboard questions and answers of the page: "HTML Format" written and read in its shapes,
// text, the formats report, the source application, the file list and the image. Every operation
// makes its own clsClipboard, holds the clipboard open only for its own reads or writes, and
// answers empty (never an error) when there is nothing of that kind.
#include <cstdint>
#include <string>
#include <vector>

#include "clipboard/cf_html.h"
#include "clipboard/url_fixing.h"

namespace quorallion {
class clsJSON;
}

namespace quorallion::basClipBoard {

// Clipboard HTML
// Empties the clipboard, then puts the HTML as "HTML Format" (unless it is too long for the
// header's offsets), the text as Unicode text and the text in the ANSI code page.
void SetClipboardHTML(const std::wstring& html, const std::wstring& text);
std::wstring GetClipboardHTMLRaw();
// From the first "<html" start tag to the last "</html>"; the raw text when there is none.
std::wstring GetClipboardHTMLDocument();
// Scripts removed, the first html element, addresses made absolute against SourceURL.
std::wstring GetClipboardHTMLForPaste();
// The marked fragment; a lone row or cell gets its table back. Addresses are fixed unless the
// source is "et" or "wps".
std::wstring GetClipboardHTMLFragment(const std::wstring& sourceApp);
bool IsClipboardHTMLInline();
// The bytes of a format by exact name (id below 1) or by id.
bool GetClipboardBinary(const std::wstring& formatName, std::vector<uint8_t>& bytes, long id);

// Inspection
std::wstring GetClipboardText();
void GetClipboardTypes(clsJSON& reply);
std::wstring GetClipboardSourceApp();
bool ClipboardHasFormatName(const std::wstring& name, bool prefix);
std::wstring GetClipboardTextByFormatName(const std::wstring& formatName);
bool StartsWithText(const std::wstring& prefix, const std::wstring& text, bool caseSensitive);
// Full paths joined by "|", ascending.
std::wstring GetClipboardFileList();
// Base64 of PNG bytes, or empty.
std::wstring GetClipboardImage();

}  // namespace quorallion::basClipBoard
