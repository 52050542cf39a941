// "HTML Format" on the clipboard: the writer for the page and the readers of its shapes.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "clipboard/basClipBoard.h"
#include "clipboard/clipboard_bytes.h"
#include "clipboard/clsClipboard.h"
#include "encoding/basUTF8ToUnicode.h"
#include "html/element_extract.h"
#include "html/script_removal.h"
#include "regex/basRegExp.h"
#include "win/message_pump.h"

namespace quorallion::basClipBoard {

namespace {

constexpr wchar_t kHtmlFormat[] = L"HTML Format";
constexpr wchar_t kFragmentPattern[] =
    L"(^[\\s\\S]*?)<!--StartFragment\\s*?-->([\\s\\S]*)<!--EndFragment-->([\\s\\S]*?$)";

std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Every script element out, in one pass; pending window messages run first, as they did before
// the pattern replacement this stands for.
std::wstring WithoutScripts(const std::wstring& raw) {
    const std::wstring text = raw;
    win::DoEvents();
    return html::RemoveScriptElements(text);
}

// The one-element cut, with the same chance for pending window messages to run first that a
// pattern replacement gives. The text is our own copy: a request run meanwhile cannot change it.
std::wstring CutToElement(std::wstring text, const html::ElementCut& cut) {
    win::DoEvents();
    return html::ExtractElement(text, cut);
}

UINT FirstFormatNamed(clsClipboard& clipboard, const std::wstring& name) {
    const int count = clipboard.GetCurrentFormats(nullptr);
    for (int i = 1; i <= count; ++i)
        if (clipboard.GetCurrentFormatName(i) == name) return clipboard.GetCurrentFormatID(i);
    return 0;
}

}  // namespace

void SetClipboardHTML(const std::wstring& html, const std::wstring& text) {
    clsClipboard clipboard;
    const UINT htmlFormat = clipboard.AddFormat(kHtmlFormat);
    if (!clipboard.ClipboardOpen(nullptr)) return;
    clipboard.ClearClipboard();
    if (htmlFormat != 0) {
        std::vector<uint8_t> utf8 = basUTF8ToUnicode::StringToUTF8Bytes(html);
        // HTML too long for the header's 8-digit offsets is left off rather than written wrong.
        if (std::optional<std::string> block =
                BuildCFHtml(std::string(utf8.begin(), utf8.end())))
            clipboard.SetBinaryData(htmlFormat, block->data(), block->size());
    }
    // The text as Unicode too, so that it survives whatever the system's code page is.
    std::string unicode = clipboard::TextToUtf16LeBytes(text);
    unicode.append(2, '\0');
    clipboard.SetBinaryData(CF_UNICODETEXT, unicode.data(), unicode.size());
    std::vector<uint8_t> ansi =
        basUTF8ToUnicode::StringToCharsetBytes(text + std::wstring(1, L'\0'), L"");
    clipboard.SetBinaryData(CF_TEXT, ansi);
    clipboard.ClipboardClose();
}

std::wstring GetClipboardHTMLRaw() {
    clsClipboard clipboard;
    const UINT id = FirstFormatNamed(clipboard, kHtmlFormat);
    std::wstring text;
    if (clipboard.ClipboardOpen(nullptr) && id != 0) {
        if (!clipboard.GetTextData(id, text)) text.clear();
    }
    clipboard.ClipboardClose();
    return text;
}

std::wstring GetClipboardHTMLDocument() {
    return CutToElement(GetClipboardHTMLRaw(), html::kHtmlElementToLastClose);
}

std::wstring GetClipboardHTMLForPaste() {
    const std::wstring raw = GetClipboardHTMLRaw();
    if (raw.empty()) return raw;
    std::wstring s = WithoutScripts(raw);
    s = CutToElement(std::move(s), html::kHtmlElementToFirstClose);
    return FixRelativeURLs(s, GetCFHTMLHeaderValue(raw, L"SourceURL"));
}

std::wstring GetClipboardHTMLFragment(const std::wstring& sourceApp) {
    const std::wstring raw = GetClipboardHTMLRaw();
    if (raw.empty()) return raw;
    std::wstring s = WithoutScripts(raw);
    s = CutToElement(std::move(s), html::kBodyContentAnyName);
    if (s == raw) return raw;

    std::wstring fragment = basRegExp::RegExpReplace(s, kFragmentPattern, L"$2");
    if (fragment != s) {
        if (basRegExp::RegExpTest(L"^\\s*?<(col|td|tr)(?=[\\s>])[^>]*?>[\\s\\S]*?</\\1>\\s*?$",
                                  fragment)) {
            // A lone row or cell gets the table around it back.
            const std::wstring before = basRegExp::RegExpReplace(s, kFragmentPattern, L"$1");
            const std::wstring after = basRegExp::RegExpReplace(s, kFragmentPattern, L"$3");
            const size_t tableStart = Lowered(before).rfind(L"<table");
            const size_t tableEnd = Lowered(after).find(L"</table>");
            if (tableStart != std::wstring::npos && tableEnd != std::wstring::npos)
                fragment = before.substr(tableStart) + fragment + after.substr(0, tableEnd + 8);
        }
        s = fragment;
    }
    if (sourceApp != L"et" && sourceApp != L"wps")
        s = FixRelativeURLs(s, GetCFHTMLHeaderValue(raw, L"SourceURL"));
    return s;
}

bool IsClipboardHTMLInline() {
    return !basRegExp::RegExpTest(L"<(p|div|table|h[0-9])(?=[\\s>])[^>]*?>",
                                  GetClipboardHTMLFragment(L"html"));
}

bool GetClipboardBinary(const std::wstring& formatName, std::vector<uint8_t>& bytes, long id) {
    clsClipboard clipboard;
    UINT format = static_cast<UINT>(id);
    if (id < 1) {
        format = FirstFormatNamed(clipboard, formatName);
        if (format == 0) return false;
    }
    bool ok = false;
    if (clipboard.ClipboardOpen(nullptr)) ok = clipboard.GetBinaryData(format, bytes);
    clipboard.ClipboardClose();
    return ok;
}

}  // namespace quorallion::basClipBoard
