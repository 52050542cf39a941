#include "word/style_blocks.h"

namespace quorallion::word {

namespace {

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool MatchesAt(const std::wstring& text, size_t pos, const wchar_t* word) {
    for (size_t i = 0; word[i]; ++i)
        if (pos + i >= text.size() || Lower(text[pos + i]) != word[i]) return false;
    return true;
}

bool IsWordChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'_';
}

}  // namespace

std::vector<std::wstring> CollectStyleElements(const std::wstring& text) {
    std::vector<std::wstring> elements;
    constexpr size_t kOpenLength = 6;  // "<style"
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(L'<', pos);
        if (open == std::wstring::npos) break;
        const size_t afterName = open + kOpenLength;
        if (!MatchesAt(text, open, L"<style") ||
            (afterName < text.size() && IsWordChar(text[afterName]))) {
            pos = open + 1;
            continue;
        }
        const size_t gt = text.find(L'>', afterName);
        if (gt == std::wstring::npos) break;  // no start tag can close after this one either
        size_t close = std::wstring::npos;
        for (size_t at = text.find(L'<', gt + 2); at != std::wstring::npos;
             at = text.find(L'<', at + 1)) {
            if (MatchesAt(text, at, L"</style>")) {
                close = at;
                break;
            }
        }
        if (close == std::wstring::npos) break;  // nor for any later start tag
        const size_t end = close + 8;
        elements.push_back(text.substr(open, end - open));
        pos = end;
    }
    return elements;
}

}  // namespace quorallion::word
