// The one-element cuts against a plain backtracking reading of the patterns they replace: every
// start, every '<name', every closing tag, nothing skipped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "html/element_extract.h"

namespace {

using quorallion::html::ElementCut;

bool SameLetters(const std::wstring& text, size_t at, const std::wstring& word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        wchar_t c = text[at + i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != word[i]) return false;
    }
    return true;
}

bool IsWordChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'_';
}

std::wstring Reference(const std::wstring& text, const ElementCut& cut) {
    const std::wstring name(cut.name), open = L"<" + name, close = L"</" + name + L">";
    for (size_t p = 0; p < text.size(); ++p) {
        if (!SameLetters(text, p, open)) continue;
        size_t gt = p + open.size();
        if (cut.wholeName && gt < text.size() && IsWordChar(text[gt])) continue;
        while (gt < text.size() && text[gt] != L'>') ++gt;
        if (gt == text.size()) continue;
        const size_t contentStart = gt + 1;
        size_t found = std::wstring::npos;
        for (size_t c = contentStart; c < text.size(); ++c) {
            if (!SameLetters(text, c, close)) continue;
            found = c;
            if (!cut.toLastClose) break;
        }
        if (found == std::wstring::npos) continue;
        if (cut.contentOnly) return text.substr(contentStart, found - contentStart);
        return text.substr(p, found + close.size() - p);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorallion::html;
    // Bytes as characters, so that short inputs reach the tags; a few wide ones too.
    std::wstring text;
    for (size_t i = 0; i < size; ++i)
        text += data[i] == 0xff ? L'\x4e2d' : static_cast<wchar_t>(data[i]);
    for (const ElementCut& cut : {kHtmlElementToLastClose, kHtmlElementToFirstClose,
                                  kBodyContentAnyName, kBodyContent, kHeadContent})
        if (ExtractElement(text, cut) != Reference(text, cut)) std::abort();
    return 0;
}
