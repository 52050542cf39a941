#pragma once
// An equation or embedded object that Word copied to the clipboard, read back from its
// "HTML Format": the Office Math markup with its picture, the cleaned fragment, or an embedded
// object's HTML with its OLE data and picture files, each Base64-encoded.
#include <string>

namespace quorallion::basClipBoard {

// mode "omath", "formula" or "embed" (exact case); any other gives "". For "omath" the
// fragment's first picture is written as a trimmed PNG at pngPath.
std::wstring GetClipboardOfficeObject(const std::wstring& mode, const std::wstring& pngPath);

// The same over a given "HTML Format" text (the clipboard's, or a test's).
std::wstring OfficeObjectFromHtml(const std::wstring& raw, const std::wstring& mode, const std::wstring& pngPath);

}  // namespace quorallion::basClipBoard
