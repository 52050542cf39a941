#include <cwctype>
#include <vector>

#include "public/basPublic.h"

namespace quorallion::basPublic {
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
        if (at == std::wstring::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

std::wstring TrimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
        else if (c > 127) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    }
    return text;
}

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    size_t at = 0;
    while ((at = text.find(from, at)) != std::wstring::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

}  // namespace

std::wstring GetParamValue(const std::wstring& text, const std::wstring& key,
                           const std::wstring& defaultValue, const std::wstring& itemSeparator,
                           const std::wstring& keyValueSeparator) {
    if (text.empty()) return defaultValue;
    const std::wstring wanted = Lower(key);
    for (const std::wstring& item : Split(text, itemSeparator)) {
        std::vector<std::wstring> parts = Split(item, keyValueSeparator);
        if (parts.size() != 2) continue;
        if (Lower(TrimSpaces(parts[0])) != wanted) continue;
        std::wstring value = TrimSpaces(parts[1]);
        if (itemSeparator == L";" && keyValueSeparator == L":") {
            ReplaceAll(value, L"&maohao#", L":");
            ReplaceAll(value, L"&fenhao#", L";");
            ReplaceAll(value, L"&amp#", L"&");
        }
        return value;
    }
    return defaultValue;
}

std::wstring StrBefore(const std::wstring& text, const std::wstring& delimiter) {
    if (delimiter.empty()) return std::wstring();
    size_t at = text.find(delimiter);
    return at == std::wstring::npos ? text : text.substr(0, at);
}

std::wstring PadZero(long long number, int width, long long maximum, const std::wstring& /*text*/) {
    if (maximum > 0) {
        int maxWidth = static_cast<int>(std::to_wstring(maximum).size());
        if (maxWidth > width) width = maxWidth;
    }
    if (width <= 0) return std::wstring();
    std::wstring padded = std::wstring(static_cast<size_t>(width), L'0') + std::to_wstring(number);
    return padded.substr(padded.size() - static_cast<size_t>(width));
}

}  // namespace quorallion::basPublic
