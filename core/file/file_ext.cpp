#include "file/basFile.h"

namespace quorallion {
namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return text;
}

std::wstring TrimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::wstring basFile::GetExtInList(const std::wstring& path, const std::wstring& extensionList) {
    const std::wstring lowerPath = Lower(path);
    if (extensionList.empty()) {
        size_t dot = lowerPath.rfind(L'.');
        return dot == std::wstring::npos ? std::wstring() : lowerPath.substr(dot + 1);
    }
    const std::wstring list = Lower(extensionList);
    size_t start = 0;
    while (start <= list.size()) {
        size_t bar = list.find(L'|', start);
        if (bar == std::wstring::npos) bar = list.size();
        std::wstring entry = TrimSpaces(list.substr(start, bar - start));
        if (!entry.empty() && EndsWith(lowerPath, L"." + entry)) return entry;
        start = bar + 1;
    }
    return {};
}

bool basFile::HasExtInList(const std::wstring& path, const std::wstring& extensionList) {
    return !GetExtInList(path, extensionList).empty();
}

std::wstring basFile::GetFileExt(const std::wstring& path) {
    size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot + 1);
}

void basFile::DebugTrace(const std::wstring&) {}

}  // namespace quorallion
