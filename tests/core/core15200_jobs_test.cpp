// Jobs of Core15200: the wait reply, the worker's reply through "asyncresult", replacement and
// cancelling while a worker runs, and objects sharing the process's timers.
#include "core_doubles.h"
#include "public/basPublic_win.h"
#include "support/flat_json.h"
#include "win/message_pump.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

Members ParseReply(const std::wstring& reply) {
    std::optional<Members> members = StrictJson::ParseFlatObject(reply);
    EXPECT_TRUE(members) << ::testing::PrintToString(reply);
    return members.value_or(Members{});
}

}  // namespace

TEST_F(CoreFixture, PdfJobAnswersWaitThenFileKeyActKeyAndRawSize) {
    wordPdf = [](const JobContext& job, std::wstring& name, std::wstring&) {
        name = L"20240101000000000.pdf";
        WriteFile(job.jobFolder + name, 1234);
        return true;
    };
    Core15200* core = NewCore();
    EXPECT_EQ(Call(core, L"word2pdf", L"C:\\a.docx"), Core15200::kWaitReply);
    const std::wstring key = Process().actKey;
    std::wstring reply = Await(core);
    EXPECT_EQ(reply, L"{\"state\":\"ok\",\"filekey\":\"" + key + L"/20240101000000000.pdf\",\"actkey\":\"" +
                         key + L"\",\"filesize\":1234}");
    EXPECT_EQ(Call(core, L"asyncresult"), reply) << "the final reply stays";
}

TEST_F(CoreFixture, FailedWorkerAnswersItsErrflagAndMissingFileGivesSizeZero) {
    Core15200* core = NewCore();
    wordPdf = [](const JobContext&, std::wstring&, std::wstring& errflag) {
        errflag = L"wordopen";
        return false;
    };
    Call(core, L"word2pdf");
    EXPECT_EQ(Await(core), L"{\"state\":\"err\",\"errflag\":\"wordopen\"}");
    EXPECT_EQ(Call(core, L"word2image"), Core15200::kWaitReply);
    EXPECT_EQ(Await(core), L"{\"state\":\"err\",\"errflag\":\"gsdll\"}");
    wordPdf = [](const JobContext&, std::wstring& name, std::wstring&) {
        name = L"never-written.pdf";
        return true;
    };
    Call(core, L"word2pdf");
    Members members = ParseReply(Await(core));
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(members[3], (std::pair<std::wstring, std::wstring>{L"filesize", L"0"}));
}

TEST_F(CoreFixture, UnbuiltWorkersAnswerErrWithEmptyErrflag) {
    Core15200* core = NewCore();
    for (const wchar_t* action : {L"ppt2pdf", L"excel2html", L"pdf2image", L"excelsheetname"}) {
        EXPECT_EQ(Call(core, action), Core15200::kWaitReply) << action;
        EXPECT_EQ(Await(core), L"{\"state\":\"err\",\"errflag\":\"\"}") << action;
    }
}

TEST_F(CoreFixture, PasteJobsAndImmediateClipboardReplies) {
    Core15200* core = NewCore();
    EXPECT_EQ(Call(core, L"wordpaste2html", L"cmode:1"), Core15200::kWaitReply);
    const std::wstring key = Process().actKey;
    EXPECT_EQ(Await(core), L"{\"state\":\"ok\",\"html\":\"optimised:<html>doc</html>\",\"actkey\":\"" + key + L"\"}");
    EXPECT_EQ(Call(core, L"wordpaste2html", L"cmode:2"), Core15200::kWaitReply);
    EXPECT_EQ(Await(core), L"{\"state\":\"ok\",\"html\":\"<p>word</p>\",\"actkey\":\"" + Process().actKey + L"\"}");

    EXPECT_EQ(Call(core, L"gcbformat"),
              L"{\"text\":\"1\",\"html\":\"1\",\"source\":\"word\",\"state\":\"ok\"}");
    EXPECT_EQ(Call(core, L"gcbimage"), L"{\"image\":\"\",\"state\":\"ok\"}");
    EXPECT_EQ(Call(core, L"gcbtext"), L"{\"state\":\"ok\",\"text\":\"a\\u000b\\u000c\\u0007\"}");
    EXPECT_EQ(Call(core, L"gcbfilelist"),
              L"{\"state\":\"ok\",\"filelist\":\"C:\\\\a.png|C:\\\\b.png\"}");

    std::wstring reply = Call(core, L"wordpaste2image");
    EXPECT_EQ(reply, L"{\"state\":\"ok\",\"image\":\"" +
                         clsJSON::EncodeJS(Process().jobFolder + L"1.png") + L"\",\"actkey\":\"" +
                         Process().actKey + L"\"}");
}

TEST_F(CoreFixture, ReplacedJobKeepsItsFolderAndDoesNotOverwriteTheNewReply) {
    Core15200* core = NewCore();
    std::wstring firstFolder, secondFolder;
    bool cancelledSeen = false;
    int calls = 0;
    wordPdf = [&](const JobContext& job, std::wstring& name, std::wstring& errflag) {
        if (++calls == 1) {
            firstFolder = job.jobFolder;
            // While the first worker lets messages run, the page cancels and starts a new job.
            EXPECT_EQ(Call(core, L"cancel"), L"{\"state\":\"ok\"}");
            EXPECT_EQ(Call(core, L"asyncresult"), Core15200::kCancelReply);
            EXPECT_EQ(Call(core, L"word2pdf"), Core15200::kWaitReply);
            // One worker at a time: the new job waits while this one lets its ticks run.
            PumpFor(100);
            EXPECT_EQ(calls, 1) << "the new job's worker ran inside the running one";
            cancelledSeen = job.Cancelled();
            name = L"first.pdf";
            WriteFile(job.jobFolder + name, 1);
            return true;
        }
        secondFolder = job.jobFolder;
        name = L"second.pdf";
        WriteFile(job.jobFolder + name, 2);
        return true;
    };
    Call(core, L"word2pdf");
    std::wstring reply = Await(core);
    ASSERT_EQ(calls, 2);
    EXPECT_TRUE(cancelledSeen) << "the replaced worker is told to stop";
    EXPECT_NE(firstFolder, secondFolder);
    EXPECT_NE(reply.find(L"second.pdf"), std::wstring::npos) << ::testing::PrintToString(reply);
    EXPECT_EQ(Call(core, L"asyncresult"), reply);
    EXPECT_EQ(::GetFileAttributesW((secondFolder + L"first.pdf").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CoreFixture, ReleasingOneObjectDoesNotStrandAnothersJob) {
    wordPdf = [](const JobContext& job, std::wstring& name, std::wstring&) {
        name = L"x.pdf";
        WriteFile(job.jobFolder + name, 3);
        return true;
    };
    Core15200* first = NewCore();
    Core15200* second = NewCore();
    EXPECT_EQ(Call(first, L"word2pdf"), Core15200::kWaitReply);
    ReleaseCore(second);  // unloads the timer form before the job's tick
    std::wstring reply = Await(first);
    EXPECT_NE(reply.find(L"\"filesize\":3"), std::wstring::npos) << ::testing::PrintToString(reply);
}

TEST_F(CoreFixture, JobsOfTwoObjectsBothRun) {
    wordPdf = [](const JobContext& job, std::wstring& name, std::wstring&) {
        name = L"y.pdf";
        WriteFile(job.jobFolder + name, 5);
        return true;
    };
    Core15200* first = NewCore();
    Core15200* second = NewCore();
    Call(first, L"word2pdf");
    Call(second, L"word2pdf");
    EXPECT_NE(Await(first).find(L"\"filesize\":5"), std::wstring::npos);
    EXPECT_NE(Await(second).find(L"\"filesize\":5"), std::wstring::npos);
}

TEST_F(CoreFixture, AnotherObjectsJobWaitsForTheRunningWorkerThenRuns) {
    Core15200* first = NewCore();
    Core15200* second = NewCore();
    std::vector<std::wstring> steps;
    int calls = 0;
    wordPdf = [&](const JobContext& job, std::wstring& name, std::wstring&) {
        const std::wstring call = std::to_wstring(++calls);
        steps.push_back(L"start " + call);
        if (calls == 1) {
            // Another page starts a job while this worker lets messages run.
            EXPECT_EQ(Call(second, L"word2pdf"), Core15200::kWaitReply);
            PumpFor(100);
        }
        steps.push_back(L"end " + call);
        name = L"z.pdf";
        WriteFile(job.jobFolder + name, static_cast<size_t>(calls));
        return true;
    };
    Call(first, L"word2pdf");
    EXPECT_NE(Await(first).find(L"\"filesize\":1"), std::wstring::npos);
    EXPECT_NE(Await(second).find(L"\"filesize\":2"), std::wstring::npos);
    EXPECT_EQ(steps, (std::vector<std::wstring>{L"start 1", L"end 1", L"start 2", L"end 2"}));
}

TEST_F(CoreFixture, ACaptureWaitingForTheUserHoldsNoOtherJob) {
    Core15200* first = NewCore();
    Core15200* second = NewCore();
    wordPdf = [](const JobContext& job, std::wstring& name, std::wstring&) {
        name = L"w.pdf";
        WriteFile(job.jobFolder + name, 7);
        return true;
    };
    EXPECT_EQ(Call(first, L"capture"), Core15200::kWaitReply);
    for (int i = 0; i < 50 && !lastCapture; ++i) PumpFor(10);
    ASSERT_NE(lastCapture, nullptr);
    Call(second, L"word2pdf");
    EXPECT_NE(Await(second).find(L"\"filesize\":7"), std::wstring::npos);
    EXPECT_EQ(Call(first, L"asyncresult"), Core15200::kWaitReply) << "the capture still waits for its hand-back";
    lastCapture->handler(L"cancel");
    EXPECT_EQ(Call(first, L"asyncresult"), Core15200::kCancelReply);
}

TEST_F(CoreFixture, LanguageIsReadFromConfigAndResetByANewObject) {
    Core15200* core = NewCore();
    Call(core, L"config", L"", L"", L"{\"lang\":\"en\"}");
    EXPECT_EQ(Process().language, L"en");
    Call(core, L"cancel", L"", L"", L"{\"lang\":\"zh-tw\"}");  // not read for cancel
    EXPECT_EQ(Process().language, L"en");
    Call(core, L"gcbtext", L"", L"", L"{\"lang\":\"zh-tw\"}");
    EXPECT_EQ(Process().language, L"zh-tw");
    NewCore();
    EXPECT_EQ(Process().language, L"zh-cn");
}

TEST_F(CoreFixture, FolderThatCannotBeMadeFailsTheCall) {
    Core15200* core = NewCore();
    const std::wstring saved = Process().tempRoot;
    Process().tempRoot = L"C:\\no-such-folder-for-quorallion\\deeper\\";
    EXPECT_THROW(Call(core, L"word2pdf"), basPublic::JobFolderError);
    EXPECT_EQ(Call(core, L"config").substr(0, 15), L"{\"state\":\"ok\",\"");  // no folder needed
    Process().tempRoot = saved;
}
