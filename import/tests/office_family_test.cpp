// The texts of the Office application choice: ProgIDs, families, the value written by the repair
// and the test of a value that names the WPS program.
#include <gtest/gtest.h>

#include "office/office_family.h"

namespace {

using namespace quorallion;

TEST(OfficeFamily, ProgIdsByTypeWordInAnyCase) {
    const struct {
        const wchar_t* word;
        const wchar_t* progId;
    } cases[] = {{L"doc", L"Word.Application"}, {L"DOC", L"Word.Application"}, {L"xls", L"Excel.Application"},
                 {L"ppt", L"PowerPoint.Application"}, {L"wps", L"KWPS.Application"}, {L"et", L"KET.Application"},
                 {L"Dps", L"KWPP.Application"}, {L"vsd", L"Visio.Application"}, {L"docx", L""}, {L"", L""}};
    for (const auto& c : cases) EXPECT_EQ(basPublic::GetOfficeProgID(c.word), c.progId) << c.word;
}

TEST(OfficeFamily, FamiliesCompareExactly) {
    EXPECT_STREQ(office::FamilyOf(L"xlsx").officeProgram, L"excel.exe");
    EXPECT_STREQ(office::FamilyOf(L"dps").wpsProgram, L"wpp.exe");
    EXPECT_STREQ(office::FamilyOf(L"XLS").officeProgram, L"Winword.exe");  // case matters here
    EXPECT_STREQ(office::FamilyOf(L"anything").classId, L"{000209FF-0000-0000-C000-000000000046}");
}

TEST(OfficeFamily, ServerValueQuotesOnlyPathsWithBlanks) {
    EXPECT_EQ(office::AutomationServerValue(L"C:\\Office\\WINWORD.EXE"), L"C:\\Office\\WINWORD.EXE /Automation");
    EXPECT_EQ(office::AutomationServerValue(L"C:\\Program Files\\Office\\WINWORD.EXE"),
              L"\"C:\\Program Files\\Office\\WINWORD.EXE\" /Automation");
}

TEST(OfficeFamily, WpsProgramFoundInAnyCaseBehindABackslash) {
    const office::OfficeFamily& word = office::FamilyOf(L"doc");
    EXPECT_TRUE(office::NamesWpsProgram(L"\"C:\\Kingsoft\\WPS Office\\WPS.EXE\" /Automation", word));
    EXPECT_TRUE(office::NamesWpsProgram(L"c:\\wps\\wps.exe", word));
    EXPECT_FALSE(office::NamesWpsProgram(L"C:\\Office\\WINWORD.EXE /Automation", word));
    EXPECT_FALSE(office::NamesWpsProgram(L"wps.exe /Automation", word));  // no folder before it
    EXPECT_FALSE(office::NamesWpsProgram(L"C:\\wps\\wps.exe", office::FamilyOf(L"xls")));
}

TEST(OfficeFamily, OtherFamiliesRepairedAfterOne) {
    EXPECT_STREQ(office::OtherFamiliesAfter(L"doc").first, L"xls");
    EXPECT_STREQ(office::OtherFamiliesAfter(L"doc").second, L"ppt");
    EXPECT_STREQ(office::OtherFamiliesAfter(L"ppt").first, L"doc");
    EXPECT_STREQ(office::OtherFamiliesAfter(L"ppt").second, L"xls");
    EXPECT_STREQ(office::OtherFamiliesAfter(L"wps").first, L"");
}

}  // namespace
