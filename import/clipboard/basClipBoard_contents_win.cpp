// What the clipboard holds: text, a report of its kinds, the program that put it there, the file
// list and the image.
#include <windows.h>

#include <cwctype>

#include "c32bppDIB.h"
#include "clipboard/basClipBoard.h"
#include "clipboard/clsClipboard.h"
#include "json/clsJSON.h"

#ifdef QUORALLION_HAS_BASE64
#include "base64/basBase64.h"
#endif

namespace quorallion::basClipBoard {

namespace {

std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool IsFormatAvailable(UINT id) { return ::IsClipboardFormatAvailable(id) != FALSE; }

}  // namespace

std::wstring GetClipboardText() {
    clsClipboard clipboard;
    std::wstring text;
    if (clipboard.ClipboardOpen(nullptr)) {
        if (!clipboard.GetTextData(CF_UNICODETEXT, text) && !clipboard.GetTextData(CF_TEXT, text))
            text.clear();
    }
    clipboard.ClipboardClose();
    return text;
}

void GetClipboardTypes(clsJSON& reply) {
    const bool hasText = IsFormatAvailable(CF_TEXT);
    const bool hasHtml = ClipboardHasFormatName(L"HTML Format", false);
    const bool hasFileList = IsFormatAvailable(CF_HDROP);
    const bool hasImage = IsFormatAvailable(CF_BITMAP) || IsFormatAvailable(CF_ENHMETAFILE) ||
                          ClipboardHasFormatName(L"PNG", false);
    if (hasText) reply.AddItemString(L"text", L"1");
    if (hasHtml) {
        reply.AddItemString(L"html", L"1");
        reply.AddItemString(L"source", GetClipboardSourceApp());
    }
    if (hasFileList) reply.AddItemString(L"filelist", L"1");
    if (hasImage) reply.AddItemString(L"image", L"1");
}

bool ClipboardHasFormatName(const std::wstring& name, bool prefix) {
    const std::wstring wanted = Lowered(name);
    clsClipboard clipboard;
    const int count = clipboard.GetCurrentFormats(nullptr);
    for (int i = 1; i <= count; ++i) {
        const std::wstring formatName = Lowered(clipboard.GetCurrentFormatName(i));
        if (formatName.size() < wanted.size()) continue;
        if (prefix ? formatName.compare(0, wanted.size(), wanted) == 0 : formatName == wanted)
            return true;
    }
    return false;
}

std::wstring GetClipboardTextByFormatName(const std::wstring& formatName) {
    clsClipboard clipboard;
    UINT id = 0;
    const int count = clipboard.GetCurrentFormats(nullptr);
    for (int i = 1; i <= count && id == 0; ++i)
        if (clipboard.GetCurrentFormatName(i) == formatName) id = clipboard.GetCurrentFormatID(i);
    std::wstring text;
    if (clipboard.ClipboardOpen(nullptr) && id != 0) {
        if (!clipboard.GetTextData(id, text)) text.clear();
    }
    clipboard.ClipboardClose();
    return text;
}

bool StartsWithText(const std::wstring& prefix, const std::wstring& text, bool caseSensitive) {
    if (prefix.size() > text.size()) return false;
    if (caseSensitive) return text.compare(0, prefix.size(), prefix) == 0;
    return Lowered(text.substr(0, prefix.size())) == Lowered(prefix);
}

std::wstring GetClipboardSourceApp() {
    if (ClipboardHasFormatName(L"Kingsoft WPS", true)) return L"wps";
    if (ClipboardHasFormatName(L"Kingsoft ET", true)) return L"et";
    if (ClipboardHasFormatName(L"WPS Spreadsheets", true)) return L"et";
    const std::wstring ownerLink = GetClipboardTextByFormatName(L"OwnerLink");
    const std::wstring objectLink = GetClipboardTextByFormatName(L"ObjectLink");
    auto eitherStartsWith = [&](const wchar_t* prefix) {
        return StartsWithText(prefix, ownerLink, true) || StartsWithText(prefix, objectLink, true);
    };
    if (eitherStartsWith(L"Word.Document") || eitherStartsWith(L"WPS.Doc")) return L"word";
    const std::wstring link = GetClipboardTextByFormatName(L"Link");
    if (link == L"Excel" || eitherStartsWith(L"Excel.Sheet") || eitherStartsWith(L"ET.Xls"))
        return L"excel";
    return L"";
}

std::wstring GetClipboardFileList() {
    clsClipboard clipboard;
    std::vector<std::wstring> files;
    int count = 0;
    bool ok = false;
    if (clipboard.ClipboardOpen(nullptr)) ok = clipboard.GetFileList(files, count);
    clipboard.ClipboardClose();
    if (!ok) return L"";
    std::wstring joined;
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) joined += L'|';
        joined += files[i];
    }
    return joined;
}

std::wstring GetClipboardImage() {
#ifdef QUORALLION_HAS_BASE64
    std::vector<uint8_t> png;
    if (GetClipboardBinary(L"PNG", png, 0) && !png.empty()) return basBase64::EncodeBytes(png);
    // A bitmap (the system makes one from a device-independent bitmap too) becomes PNG through the
    // image object. A metafile alone gives no image.
    if (IsFormatAvailable(CF_BITMAP)) {
        c32bppDIB image;
        if (image.LoadPicture_ClipBoard() && image.SaveToStream_PNG(png) && !png.empty())
            return basBase64::EncodeBytes(png);
    }
#endif
    return L"";
}

}  // namespace quorallion::basClipBoard
