#include "clipboard/file_list_sort.h"

#include <algorithm>

#include "clipboard/clipboard_bytes.h"

namespace quorallion::clipboard {

namespace {

// The comparison key of a path: its UTF-16 code units.
std::u16string Utf16Units(const std::wstring& text) {
    std::string bytes = TextToUtf16LeBytes(text);
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                         (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return units;
}

}  // namespace

void SortFileList(std::vector<std::wstring>& files) {
    std::stable_sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        if constexpr (sizeof(wchar_t) == 2) return a < b;
        return Utf16Units(a) < Utf16Units(b);
    });
}

}  // namespace quorallion::clipboard
