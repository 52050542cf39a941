// The clipboard image road of the spreadsheet worker, which nothing in the program calls: run
// in-process against the Excel stand-in, whose Range.Copy() puts a bitmap of the range on the
// clipboard (64 x 20 pixels a cell). The picture sizes tell which range was copied.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "excel/clsOfficeExcel.h"
#include "office_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::office;

namespace {

struct PngSize {
    uint32_t width = 0, height = 0;
};

std::optional<PngSize> PngSizeOf(const std::wstring& path) {
    const std::string bytes = ReadBytes(path).value_or("");
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return std::nullopt;
    auto be32 = [&](size_t at) {
        return (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24) |
               (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16) |
               (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8) | static_cast<uint8_t>(bytes[at + 3]);
    };
    return PngSize{be32(16), be32(20)};
}

class ExcelClipboardImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        context_.actKey = L"00000000000000000077";
        context_.jobFolder = std::wstring(temp) + L"quorallion-excel-images-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(context_.jobFolder.c_str(), nullptr);
        ::DeleteFileW((ProgramFolder() + L"office\\excel.settings").c_str());
    }
    void TearDown() override {
        EXPECT_TRUE(EndsOrIsEnded(L"excel.exe", 60000)) << "an Excel stand-in was left running";
        ::OleUninitialize();
    }

    // The file names of the img tags, in order, split at "<br>".
    std::vector<std::wstring> Pictures(const std::wstring& html) {
        std::vector<std::wstring> names;
        const std::wstring prefix = L"<img src=\"file:///" + context_.actKey + L"/";
        size_t at = 0;
        for (size_t tag = 0;; ++tag) {
            EXPECT_EQ(html.compare(at, prefix.size(), prefix), 0) << ::testing::PrintToString(html);
            const size_t end = html.find(L"\">", at);
            if (end == std::wstring::npos) break;
            names.push_back(html.substr(at + prefix.size(), end - at - prefix.size()));
            at = end + 2;
            if (at == html.size()) break;
            EXPECT_EQ(html.compare(at, 4, L"<br>"), 0) << ::testing::PrintToString(html);
            at += 4;
        }
        return names;
    }

    quorallion::JobContext context_;
    InstalledOffice installed_{L"excel.exe"};
};

TEST_F(ExcelClipboardImages, EachVisibleSheetsValuesBecomeOnePicture) {
    quorallion::clsOfficeExcel worker(context_);
    std::wstring html, errflag = L"untouched";
    ASSERT_TRUE(worker.Excel2ImageByClipboard(Fixture(L"Book One.xlsx"), L"imgtype:bmp", html, errflag)) << errflag;
    const std::vector<std::wstring> names = Pictures(html);
    ASSERT_EQ(names.size(), 2u) << ::testing::PrintToString(html);
    // Time stamp, the sheet number in three digits, the type ("bmp" is not one: PNG).
    EXPECT_EQ(names[0].size(), 17u + 3u + 4u);
    EXPECT_EQ(names[0].substr(17), L"001.png");
    EXPECT_EQ(names[1].substr(17), L"003.png");
    EXPECT_EQ(names[0].substr(0, 17), names[1].substr(0, 17));
    // Sheet 1: A5:B20, two columns of sixteen rows (not the formatted rows below them).
    const std::optional<PngSize> first = PngSizeOf(context_.jobFolder + names[0]);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->width, 128u);
    EXPECT_EQ(first->height, 320u);
    const std::optional<PngSize> third = PngSizeOf(context_.jobFolder + names[1]);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->width, 128u);
    EXPECT_EQ(third->height, 20u);
    EXPECT_EQ(errflag, L"untouched");
}

TEST_F(ExcelClipboardImages, OneSheetAndFailures) {
    struct Case {
        const wchar_t* file;
        const wchar_t* options;
        bool result;
        const wchar_t* errflag;
        const wchar_t* ending;  // of the only picture's name
    } cases[] = {
        {L"Book One.xlsx", L"sheetindex:3;imgtype:gif", true, L"", L"003.gif"},
        {L"Book One.xlsx", L"sheetindex:2", true, L"", L""},  // hidden: no picture, still success
        {L"notes.txt", L"", false, L"ext", L""},
        {L"random.xlsx", L"", false, L"xlsopen", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.file) + L" " + c.options));
        quorallion::clsOfficeExcel worker(context_);
        std::wstring html = L"stale", errflag;
        EXPECT_EQ(worker.Excel2ImageByClipboard(Fixture(c.file), c.options, html, errflag), c.result);
        EXPECT_EQ(errflag, c.errflag);
        if (*c.ending) {
            const std::vector<std::wstring> names = Pictures(html);
            ASSERT_EQ(names.size(), 1u);
            EXPECT_EQ(names[0].substr(17), c.ending);
            EXPECT_TRUE(Exists(context_.jobFolder + names[0]));
        } else {
            EXPECT_EQ(html, L"");
        }
        // A stand-in that set the clipboard was once seen taking more than 20 s to leave
        // Wine while other tests ran: a generous bound before it counts as left running.
        EXPECT_TRUE(EndsOrIsEnded(L"excel.exe", 60000));
    }
}

}  // namespace
