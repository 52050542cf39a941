#include "html/element_extract.h"

namespace quorallion::html {

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool IsWordChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'_';
}

// Whether text holds the lower-case ASCII `word` at `at`, ignoring ASCII case.
bool HasWordAt(std::wstring_view text, size_t at, std::wstring_view word) {
    if (at > text.size() || text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (AsciiLower(text[at + i]) != word[i]) return false;
    return true;
}

// Where `lead` + `word` first starts at or after `from`; npos if nowhere.
size_t FindTag(std::wstring_view text, size_t from, wchar_t lead, std::wstring_view word) {
    for (size_t at = text.find(lead, from); at != std::wstring_view::npos;
         at = text.find(lead, at + 1))
        if (HasWordAt(text, at + 1, word)) return at;
    return std::wstring_view::npos;
}

// Where "</" + name + ">" first (or last) starts at or after `from`; npos if nowhere.
size_t FindClosingTag(std::wstring_view text, size_t from, std::wstring_view name, bool last) {
    if (!last) {
        for (size_t at = text.find(L"</", from); at != std::wstring_view::npos;
             at = text.find(L"</", at + 1))
            if (HasWordAt(text, at + 2, name) && HasWordAt(text, at + 2 + name.size(), L">"))
                return at;
        return std::wstring_view::npos;
    }
    if (from >= text.size()) return std::wstring_view::npos;
    for (size_t at = text.rfind(L"</"); at != std::wstring_view::npos && at >= from;
         at = at == 0 ? std::wstring_view::npos : text.rfind(L"</", at - 1))
        if (HasWordAt(text, at + 2, name) && HasWordAt(text, at + 2 + name.size(), L">"))
            return at;
    return std::wstring_view::npos;
}

}  // namespace

std::optional<TextRange> FindElementCut(std::wstring_view text, const ElementCut& cut) {
    // The pattern tries each "<name" in turn. One whose name runs on is skipped; for the others
    // the '>' is the first one after the name and the closing tag is searched from there on.
    // When either is missing, a later "<name" cannot do better (its '>' is no earlier), so the
    // whole pattern fails there.
    for (size_t open = FindTag(text, 0, L'<', cut.name); open != std::wstring_view::npos;
         open = FindTag(text, open + 1, L'<', cut.name)) {
        const size_t nameEnd = open + 1 + cut.name.size();
        if (cut.wholeName && nameEnd < text.size() && IsWordChar(text[nameEnd])) continue;
        const size_t gt = text.find(L'>', nameEnd);
        if (gt == std::wstring_view::npos) return std::nullopt;
        const size_t contentStart = gt + 1;
        const size_t close = FindClosingTag(text, contentStart, cut.name, cut.toLastClose);
        if (close == std::wstring_view::npos) return std::nullopt;
        if (cut.contentOnly) return TextRange{contentStart, close - contentStart};
        const size_t closeEnd = close + cut.name.size() + 3;  // "</" name ">"
        return TextRange{open, closeEnd - open};
    }
    return std::nullopt;
}

std::wstring ExtractElement(const std::wstring& text, const ElementCut& cut) {
    const std::optional<TextRange> kept = FindElementCut(text, cut);
    if (!kept) return text;
    return text.substr(kept->start, kept->length);
}

}  // namespace quorallion::html
