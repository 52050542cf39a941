// At most one job runs at a time in the process, seen from two pages: a second client starts a
// job while the first client's Word worker waits on a slow export and lets messages run. The
// second worker must not run inside the first; it starts once the first has returned. The Word
// stand-in's journal shows the order of what each worker asked of Word.
#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

// The position in the journal of the first line of that object and member whose arguments hold
// the text, from the position given; the journal's size when there is none.
size_t FindCall(const JournalLines& journal, const std::wstring& object, const std::wstring& member,
                const std::wstring& argument = L"", size_t from = 0) {
    for (size_t i = from; i < journal.size(); ++i) {
        const auto& line = journal[i];
        if (line.size() < 3 || line[0] != object || line[1] != member) continue;
        if (argument.empty() || std::find(line.begin() + 3, line.end(), argument) != line.end()) return i;
    }
    return journal.size();
}

using OneJobAtATime = WordActions;

TEST_F(OneJobAtATime, ASecondClientsJobStartsOnlyAfterTheRunningWorkerReturns) {
    Settings(L"Winword", "savedelay=3000\nfastpdf=1\n");
    const std::wstring firstDocument = Fixture(L"Table Doc.DOCX");
    const std::wstring secondDocument = Fixture(L"\u5b63\u5ea6 \u62a5\u544a.docx");
    ASSERT_EQ(core_.Core(L"word2pdf", firstDocument, L""), kWait);
    bool exporting = false;
    for (int i = 0; i < 600 && !exporting; ++i) {
        PumpFor(100);
        exporting = FindCall(Journal(L"Winword"), L"Document", L"ExportAsFixedFormat") < Journal(L"Winword").size();
    }
    ASSERT_TRUE(exporting) << "the first worker never reached its export";

    // The second page starts its job while the first export waits (three seconds, serving messages).
    DispatchClient second;
    ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
    ASSERT_EQ(second.Core(L"word2pdf", secondDocument, L""), kWait);
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait) << "the first job is still running";

    const Reply firstReply = Finish(kWait);
    std::wstring secondRaw = kWait;
    for (int i = 0; i < 1800 && secondRaw == kWait; ++i) {
        PumpFor(100);
        secondRaw = second.Core(L"asyncresult");
    }
    second.Reset();

    // Both replies are right, each with its own job folder and file.
    const std::optional<Members> secondMembers = StrictJson::ParseFlatObject(secondRaw);
    ASSERT_TRUE(secondMembers.has_value()) << ::testing::PrintToString(secondRaw);
    const Reply secondReply{*secondMembers, secondRaw};
    for (const Reply* reply : {&firstReply, &secondReply}) {
        ASSERT_EQ(reply->Get(L"state"), L"ok") << reply->raw;
        const std::wstring key = reply->Get(L"actkey");
        const std::wstring filekey = reply->Get(L"filekey");
        ASSERT_EQ(filekey.substr(0, key.size() + 1), key + L"/") << reply->raw;
        EXPECT_TRUE(Exists(ClientTempRoot() + key + L"\\" + filekey.substr(key.size() + 1))) << reply->raw;
        EXPECT_NE(reply->Get(L"filesize"), L"0") << reply->raw;
    }
    EXPECT_NE(firstReply.Get(L"actkey"), secondReply.Get(L"actkey"));

    // The first worker closed its document and quit Word before the second opened its own.
    const JournalLines journal = Journal(L"Winword");
    const size_t firstOpen = FindCall(journal, L"Documents", L"Open", L"BSTR:" + firstDocument);
    const size_t secondOpen = FindCall(journal, L"Documents", L"Open", L"BSTR:" + secondDocument);
    ASSERT_LT(firstOpen, journal.size());
    ASSERT_LT(secondOpen, journal.size()) << "the second document was never opened";
    const size_t firstClose = FindCall(journal, L"Document", L"Close", L"", firstOpen);
    const size_t firstQuit = FindCall(journal, L"Application", L"Quit", L"", firstOpen);
    EXPECT_LT(firstClose, secondOpen) << "the second worker ran inside the first";
    EXPECT_LT(firstQuit, secondOpen) << "the second worker ran inside the first";
}

}  // namespace
