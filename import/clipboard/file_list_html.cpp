#include "clipboard/file_list_html.h"

namespace quorallion::clipboard {

bool FitsSizeLimit(int64_t sizeInBytes, long maxKB) {
    if (maxKB < 0 || sizeInBytes < 0) return false;
    return sizeInBytes <= static_cast<int64_t>(maxKB) * 1024;
}

std::wstring ImageTag(const std::wstring& path) {
    return L"<img src=\"" + path + L"\" border=0><br>";
}

}  // namespace quorallion::clipboard
