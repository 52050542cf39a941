#include "clipboard/file_list_html.h"

#include <cwctype>

namespace quorallion::clipboard {

namespace {

std::wstring Trimmed(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

}  // namespace

bool HasAcceptedExtension(const std::wstring& path, const std::wstring& extensions) {
    const std::wstring lowerPath = Lowered(path);
    size_t start = 0;
    for (;;) {
        size_t bar = extensions.find(L'|', start);
        std::wstring extension =
            Lowered(Trimmed(extensions.substr(start, bar == std::wstring::npos ? bar : bar - start)));
        if (!extension.empty()) {
            const std::wstring ending = L"." + extension;
            if (lowerPath.size() >= ending.size() &&
                lowerPath.compare(lowerPath.size() - ending.size(), ending.size(), ending) == 0)
                return true;
        }
        if (bar == std::wstring::npos) return false;
        start = bar + 1;
    }
}

bool FitsSizeLimit(unsigned long long sizeInBytes, long maxKB) {
    if (maxKB < 0) return false;
    return sizeInBytes <= static_cast<unsigned long long>(maxKB) * 1024ULL;
}

std::wstring ImageTag(const std::wstring& path) {
    return L"<img src=\"" + path + L"\" border=0><br>";
}

}  // namespace quorallion::clipboard
