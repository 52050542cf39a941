#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipboard/file_list_sort.h"

using namespace quorallion::clipboard;

TEST(FileListOrder, SortsByUtf16CodeUnits) {
    std::vector<std::wstring> files = {L"C:\\d\\c.txt", L"C:\\d\\b.txt", L"C:\\d\\A.txt",
                                       L"C:\\d\\a.txt", L"C:\\d\\B.txt"};
    SortFileList(files);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"C:\\d\\A.txt", L"C:\\d\\B.txt", L"C:\\d\\a.txt",
                                                L"C:\\d\\b.txt", L"C:\\d\\c.txt"}));
    // A character beyond the first plane sorts by its surrogate units (below U+E000).
    std::vector<std::wstring> wide = {std::wstring(1, static_cast<wchar_t>(0xE000)),
                                      sizeof(wchar_t) == 2 ? std::wstring(L"\xD83D\xDE00")
                                                           : std::wstring(1, static_cast<wchar_t>(0x1F600))};
    SortFileList(wide);
    EXPECT_EQ(static_cast<unsigned>(wide[1][0]), 0xE000u);
}
