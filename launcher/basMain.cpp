#include "basMain.h"

#include <cwctype>
#include <vector>

namespace quorallion::basMain {
namespace {

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
    std::vector<std::wstring> parts;
    if (separator.empty()) {
        parts.push_back(text);
        return parts;
    }
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::wstring::npos) return parts;
        start = at + separator.size();
    }
}

std::wstring TrimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

void RemoveAll(std::wstring& text, wchar_t c) { std::erase(text, c); }

}  // namespace

std::wstring CleanCommandText(const std::wstring& commandText) {
    std::wstring text = commandText;
    size_t colon = text.find(L':');
    if (colon != std::wstring::npos) text.erase(0, colon + 1);
    size_t question = text.find(L'?');
    if (question != std::wstring::npos) text.erase(question);
    RemoveAll(text, L'/');
    RemoveAll(text, L'"');
    RemoveAll(text, L'?');
    return text;
}

std::wstring GetUrlParam(const std::wstring& text, const std::wstring& key,
                         const std::wstring& defaultValue, const std::wstring& itemSeparator,
                         const std::wstring& keySeparator) {
    if (text.empty()) return defaultValue;
    const std::wstring wanted = Lower(key);
    for (const std::wstring& item : Split(text, itemSeparator)) {
        std::vector<std::wstring> parts = Split(item, keySeparator);
        if (parts.size() != 2) continue;
        if (Lower(TrimSpaces(parts[0])) == wanted) return TrimSpaces(parts[1]);
    }
    return defaultValue;
}

bool IsQuitRequest(const std::wstring& cleanedText) {
    return Lower(GetUrlParam(cleanedText, L"quit", L"", L"&", L"=")) == L"1";
}

}  // namespace quorallion::basMain
