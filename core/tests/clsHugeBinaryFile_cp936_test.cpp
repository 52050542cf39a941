// Texts in a double-byte ANSI code page: run with a zh_CN.UTF-8 locale, under which Wine's ANSI
// code page is 936. Skips, saying so, under any other code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "hugefile/clsHugeBinaryFile.h"
#include "scratch_folder.h"

namespace {

using quorallion::clsHugeBinaryFile;

TEST(clsHugeBinaryFileCp936, StringsAreWrittenWhole) {
    if (::GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << ::GetACP() << ", not 936: no zh_CN locale";
    quorallion::testing::ScratchFolder folder;
    const std::wstring path = folder.path() + L"gbk.bin";
    clsHugeBinaryFile file;
    ASSERT_TRUE(file.OpenFile(path, true, false));
    const std::wstring text = L"\u4e2d\u6587abc";  // 2 characters of 2 bytes, 3 of 1
    EXPECT_EQ(file.PutDataString(text), 7) << "the whole ANSI form, not one byte per character";
    EXPECT_EQ(file.FileSize(), 7);
    EXPECT_EQ(file.SeekRelative(0), 7);

    std::wstring back(7, L'.');
    EXPECT_EQ(file.GetDataStringFromPosition(0, back), 7);
    EXPECT_EQ(back, text);

    std::wstring half(3, L'.');
    EXPECT_EQ(file.GetDataStringFromPosition(0, half), 3);
    EXPECT_EQ(half.substr(0, 1), L"\u4e2d");
}

}  // namespace
