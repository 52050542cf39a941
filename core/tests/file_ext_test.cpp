// Extension tests on paths as the document import passes them.
#include <gtest/gtest.h>

#include "file/basFile.h"

using namespace quorallion;

namespace {

struct ExtCase {
    const wchar_t* path;
    const wchar_t* list;
    const wchar_t* expected;
};

const ExtCase kExtInListCases[] = {
    {L"C:\\In\\Report.DOCX", L"doc|docx|wps", L"docx"},
    {L"C:\\In\\report.docx", L"doc|docx|wps", L"docx"},  // "doc" is no match: needs ".doc" at the end
    {L"C:\\In\\a.wps", L" doc | WPS ", L"wps"},           // entries trimmed and lower-cased
    {L"C:\\In\\a.tar.gz", L"gz|tar.gz", L"gz"},           // first matching entry wins
    {L"C:\\In\\a.xlsx", L"doc|docx|wps", L""},
    {L"C:\\In\\docx", L"doc|docx", L""},                  // no dot before it
    {L"C:\\In\\a.doc", L"||doc|", L"doc"},                // empty entries skipped
    {L"C:\\In\\A.PNG", L"", L"png"},
    {L"C:\\my.folder\\file", L"", L"folder\\file"},       // a folder's dot counts
    {L"C:\\In\\noext", L"", L""},
};

TEST(FileExt, GetExtInListTable) {
    for (const ExtCase& c : kExtInListCases) {
        EXPECT_EQ(basFile::GetExtInList(c.path, c.list), c.expected)
            << ::testing::PrintToString(std::wstring(c.path)) << " in "
            << ::testing::PrintToString(std::wstring(c.list));
        EXPECT_EQ(basFile::HasExtInList(c.path, c.list), *c.expected != L'\0');
    }
}

TEST(FileExt, GetFileExtKeepsCase) {
    EXPECT_EQ(basFile::GetFileExt(L"C:\\x\\Shot.PNG"), L"PNG");
    EXPECT_EQ(basFile::GetFileExt(L"C:\\x\\name."), L"");
    EXPECT_EQ(basFile::GetFileExt(L"C:\\x\\name"), L"");
    EXPECT_EQ(basFile::GetFileExt(L"C:\\v1.2\\name"), L"2\\name");
}

}  // namespace
