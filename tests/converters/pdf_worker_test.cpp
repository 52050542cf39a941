// clsPdf in-process, with QuorallionPdf and the Ghostscript stand-in beside this program: job
// folders whose names Ghostscript could misread, failed shrinks, and every way the libraries can
// be missing. The stand-in logs the arguments it decoded to "gs-args.log" beside the pages.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "file/basFile.h"
#include "gsapi.h"
#include "pdf/ResizeImageFile.h"
#include "pdf/clsPdf.h"
#include "c32bppDIB.h"
#include "pdf_samples.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"
#include "support/utf8.h"
#include "tests/scratch_folder.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

const std::wstring kChinese = L"\x4E2D\x6587";  // 中文
const std::wstring kUmlaut = L"\x00FC";          // ü

class PdfPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        samples_ = new ScratchFolder;
        threePages_ = samples_->path() + L"three.pdf";
        twoPages_ = samples_->path() + L"two.pdf";
        made_ = MakeSamplePdf(threePages_, 3) && MakeSamplePdf(twoPages_, 2);
    }
    static void TearDownTestSuite() {
        delete samples_;
        samples_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(made_) << "ps2pdf could not make the sample PDFs"; }

    // A new job folder (with "\" at the end) whose name ends with `name`. One scratch folder for
    // the whole program: its name is made from the clock.
    static std::wstring JobFolder(const std::wstring& name) {
        static int count = 0;
        const std::wstring folder = samples_->path() + std::to_wstring(++count) + L" " + name + L"\\";
        EXPECT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << Utf8(folder);
        return folder;
    }
    static JobContext Context(const std::wstring& folder) {
        return JobContext{L"20240102030405006789", folder, std::make_shared<JobToken>()};
    }
    static std::wstring Tags(const std::vector<std::wstring>& names) {
        std::wstring html;
        for (const std::wstring& name : names) {
            if (!html.empty()) html += L"<br>";
            html += L"<img src=\"file:///20240102030405006789/" + name + L"\">";
        }
        return html;
    }
    static std::string ArgsLog(const std::wstring& folder) {
        return ReadBytes(folder + L"gs-args.log").value_or("<no log>");
    }

    static ScratchFolder* samples_;
    static std::wstring threePages_, twoPages_;
    static bool made_;
};

// The stand-in bound by name for a direct look at it (not linked: see MissingGhostscriptLibrary).
struct StandIn {
    HMODULE module = ::LoadLibraryW(L"gsdll64.dll");
    template <typename F>
    F Find(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
    decltype(&gsapi_new_instance) newInstance = Find<decltype(&gsapi_new_instance)>("gsapi_new_instance");
    decltype(&gsapi_set_arg_encoding) setArgEncoding = Find<decltype(&gsapi_set_arg_encoding)>("gsapi_set_arg_encoding");
    decltype(&gsapi_init_with_args) initWithArgs = Find<decltype(&gsapi_init_with_args)>("gsapi_init_with_args");
    decltype(&gsapi_exit) exit = Find<decltype(&gsapi_exit)>("gsapi_exit");
    decltype(&gsapi_delete_instance) deleteInstance = Find<decltype(&gsapi_delete_instance)>("gsapi_delete_instance");
};

ScratchFolder* PdfPages::samples_ = nullptr;
std::wstring PdfPages::threePages_, PdfPages::twoPages_;
bool PdfPages::made_ = false;

}  // namespace

TEST_F(PdfPages, JobFoldersWithUmlautChineseAndPercentGetTheirPages) {
    // "%" in the folder must reach Ghostscript as "%%", or it reads a placeholder and draws nothing.
    for (const std::wstring& name : std::vector<std::wstring>{L"job " + kUmlaut + kChinese, L"100%d %s 50%", L"it's [q] & {x}"}) {
        const std::wstring folder = JobFolder(name);
        std::wstring escaped;
        for (wchar_t c : folder) escaped += c == L'%' ? std::wstring(L"%%") : std::wstring(1, c);
        clsPdf worker(Context(folder));
        std::wstring html = L"<untouched>", errflag;
        ASSERT_TRUE(worker.Pdf2Html(threePages_, L"bl:200", html, errflag)) << Utf8(name);
        EXPECT_EQ(html, Tags({L"1.png", L"2.png", L"3.png"})) << Utf8(name);
        for (const wchar_t* page : {L"1.png", L"2.png", L"3.png"})
            EXPECT_TRUE(basFile::FileExists(folder + page)) << Utf8(name + L" " + page);
        EXPECT_FALSE(basFile::FileExists(folder + L"4.png"));
        EXPECT_EQ(errflag, L"");
        const std::string log = ArgsLog(folder);
        EXPECT_NE(log.find("\n-sOutputFile=" + Utf8(escaped) + "%d.png\n"), std::string::npos) << log;
    }
}

TEST_F(PdfPages, PdfPathsWithUmlautChineseAndQuotesReachGhostscriptWhole) {
    const std::wstring odd = samples_->path() + L"r" + kUmlaut + L"ckblick " + kChinese + L" 'x'.pdf";
    ASSERT_TRUE(::CopyFileW(threePages_.c_str(), odd.c_str(), FALSE));
    const std::wstring folder = JobFolder(L"paths");
    std::wstring html, errflag;
    ASSERT_TRUE(clsPdf(Context(folder)).Pdf2Html(odd, L"bl:250", html, errflag));
    EXPECT_EQ(html, Tags({L"1.png", L"2.png", L"3.png"}));
    EXPECT_NE(ArgsLog(folder).find("\n" + Utf8(odd) + "\n"), std::string::npos) << ArgsLog(folder);
}

TEST_F(PdfPages, ShrinkKeepsTheRenderedPageWhereItFails) {
    // A folder in the way of 1s.png: that page cannot be shrunk and keeps 1.png.
    const std::wstring folder = JobFolder(L"blocked");
    ASSERT_TRUE(::CreateDirectoryW((folder + L"1s.png").c_str(), nullptr));
    std::wstring html, errflag;
    ASSERT_TRUE(clsPdf(Context(folder)).Pdf2Html(threePages_, L"", html, errflag));
    EXPECT_NE(ArgsLog(folder).find("\n-r192\n"), std::string::npos);
    EXPECT_TRUE(basFile::FileExists(folder + L"1.png"));
    EXPECT_EQ(html, Tags({L"1.png", L"2s.png", L"3s.png"}));
    EXPECT_FALSE(basFile::FileExists(folder + L"2.png"));
    EXPECT_TRUE(basFile::FileExists(folder + L"3s.png"));
}

TEST_F(PdfPages, DefaultOptionsShrinkEveryPageAndLeaveNoRenderedOne) {
    const std::wstring folder = JobFolder(L"shrunk");
    std::wstring html, errflag;
    ASSERT_TRUE(clsPdf(Context(folder)).Pdf2Html(threePages_, L"imgtype:jpg", html, errflag));
    EXPECT_EQ(html, Tags({L"1s.jpg", L"2s.jpg", L"3s.jpg"}));
    for (int page = 1; page <= 3; ++page) {
        EXPECT_FALSE(basFile::FileExists(folder + std::to_wstring(page) + L".png"));
        EXPECT_TRUE(basFile::FileExists(folder + std::to_wstring(page) + L"s.jpg"));
    }
}

TEST_F(PdfPages, PageNumbersStopAtTheFirstMissingOne) {
    const std::wstring folder = JobFolder(L"gap");
    ASSERT_TRUE(::CopyFileW(threePages_.c_str(), (folder + L"4.png").c_str(), FALSE));  // stray, not a page
    std::wstring html, errflag;
    ASSERT_TRUE(clsPdf(Context(folder)).Pdf2Html(twoPages_, L"bl:300", html, errflag));
    EXPECT_EQ(html, Tags({L"1.png", L"2.png"}));
    EXPECT_NE(ArgsLog(folder).find("\n-r288\n"), std::string::npos);
}

TEST_F(PdfPages, InputsWithoutPagesGiveSuccessAndAnEmptyFragment) {
    const std::wstring text = samples_->Write(L"notes.pdf", {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't'});
    const std::wstring empty = samples_->Write(L"empty.pdf", {});
    const std::wstring locked = samples_->path() + L"locked.pdf";
    ASSERT_TRUE(MakeSamplePdf(locked, 2, "-sOwnerPassword=owner -sUserPassword=user"));
    for (const std::wstring& pdf : {text, empty, locked, samples_->path() + L"missing.pdf"}) {
        const std::wstring folder = JobFolder(L"no pages");
        std::wstring html = L"<untouched>", errflag;
        EXPECT_TRUE(clsPdf(Context(folder)).Pdf2Html(pdf, L"bl:200", html, errflag)) << Utf8(pdf);
        EXPECT_EQ(html, L"") << Utf8(pdf);
        EXPECT_EQ(errflag, L"");
        EXPECT_FALSE(basFile::FileExists(folder + L"1.png")) << Utf8(pdf);
    }
}

TEST_F(PdfPages, PathsThatAreNotAbsoluteNeverReachGhostscript) {
    for (const std::wstring& pdf : {std::wstring(L"-dNOSAFER"), std::wstring(L"@list.txt"), std::wstring(L"three.pdf")}) {
        const std::wstring folder = JobFolder(L"switch" + std::to_wstring(pdf.size()));
        std::wstring html = L"<untouched>", errflag;
        EXPECT_FALSE(clsPdf(Context(folder)).Pdf2Html(pdf, L"", html, errflag)) << Utf8(pdf);
        EXPECT_EQ(errflag, L"gsdll");
        EXPECT_EQ(html, L"<untouched>");
        EXPECT_FALSE(basFile::FileExists(folder + L"gs-args.log")) << "Ghostscript was called for " << Utf8(pdf);
    }
}

TEST_F(PdfPages, FailingInstanceAndMissingLibrariesGiveGsdll) {
    struct Case {
        const char* what;
        std::wstring library;
        bool failNewInstance;
    };
    const Case cases[] = {
        {"gsapi_new_instance fails", L"QuorallionPdf.dll", true},
        {"no QuorallionPdf.dll", L"NoSuchQuorallionPdf.dll", false},
        {"no QUORALLION_P2J entry", L"QuorallionEmf.dll", false},
    };
    for (const Case& c : cases) {
        const std::wstring folder = JobFolder(L"fail");
        ::SetEnvironmentVariableW(L"QUORALLION_GS_FAIL_NEW", c.failNewInstance ? L"1" : nullptr);
        std::wstring html = L"<untouched>", errflag;
        bool ok = true;
        EXPECT_NO_THROW(ok = clsPdf(Context(folder), c.library).Pdf2Html(threePages_, L"", html, errflag)) << c.what;
        EXPECT_FALSE(ok) << c.what;
        EXPECT_EQ(errflag, L"gsdll") << c.what;
        EXPECT_EQ(html, L"<untouched>") << c.what;
        EXPECT_FALSE(basFile::FileExists(folder + L"gs-args.log")) << c.what;
    }
    ::SetEnvironmentVariableW(L"QUORALLION_GS_FAIL_NEW", nullptr);
}

// Ghostscript's library missing: a copy of QuorallionPdf alone in a folder, bound in a fresh
// process (a process that has loaded gsdll64.dll once finds it again by name wherever it is).
TEST_F(PdfPages, MissingGhostscriptLibraryGivesGsdll) {
    const std::wstring lonely = JobFolder(L"lonely");
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin(self);
    bin.resize(bin.find_last_of(L'\\') + 1);
    ASSERT_TRUE(::CopyFileW((bin + L"QuorallionPdf.dll").c_str(), (lonely + L"QuorallionPdf.dll").c_str(), FALSE));
    ::SetEnvironmentVariableW(L"QUORALLION_LONELY_PDF_LIBRARY", (lonely + L"QuorallionPdf.dll").c_str());
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=PdfLibraryAlone.DISABLED_GsdllMissing";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    ::SetEnvironmentVariableW(L"QUORALLION_LONELY_PDF_LIBRARY", nullptr);
    ASSERT_EQ(::WaitForSingleObject(child.hProcess, 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(child.hProcess, &code);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(child.hThread);
    EXPECT_EQ(code, 0u) << "the fresh process's check failed (its output is above)";
    EXPECT_TRUE(basFile::FileExists(lonely + L"QuorallionPdf.dll.checked")) << "the fresh process ran no check";
}

// Run only by the test above, in its own process.
TEST(PdfLibraryAlone, DISABLED_GsdllMissing) {
    wchar_t library[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"QUORALLION_LONELY_PDF_LIBRARY", library, MAX_PATH), 0u);
    ASSERT_EQ(::GetModuleHandleW(L"gsdll64.dll"), nullptr);
    std::wstring html = L"<untouched>", errflag;
    bool ok = true;
    EXPECT_NO_THROW(ok = clsPdf(JobContext{L"1", L"C:\\", nullptr}, library).Pdf2Html(L"C:\\x.pdf", L"", html, errflag));
    EXPECT_FALSE(ok);
    EXPECT_EQ(errflag, L"gsdll");
    EXPECT_EQ(html, L"<untouched>");
    WriteBytes(std::wstring(library) + L".checked", "checked");
}

// The stand-in reads arguments as Ghostscript's Windows library does. Local encoding means the
// ANSI code page: a path in the OEM code page (what the library once sent) loses its pages.
TEST_F(PdfPages, StandInDecodesEachArgumentEncoding) {
    const StandIn gs;
    ASSERT_TRUE(gs.module) << "gsdll64.dll";
    const std::wstring pdf = samples_->path() + L"m" + kUmlaut + L"ller.pdf";
    ASSERT_TRUE(::CopyFileW(twoPages_.c_str(), pdf.c_str(), FALSE));
    auto encoded = [](const std::wstring& text, UINT codePage) {
        const int n = ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
        return out;
    };
    constexpr UINT kUtf16 = 1200;
    struct Case {
        const char* what;
        int encoding;
        UINT codePage;  // kUtf16: sent as UTF-16
        bool pages;
    };
    const Case cases[] = {
        {"UTF-8", 1, CP_UTF8, true},
        {"UTF-16", 2, kUtf16, true},
        {"local: ANSI code page", 0, CP_ACP, true},
        {"local, but sent in the OEM code page", 0, CP_OEMCP, false},
    };
    for (const Case& c : cases) {
        const std::wstring folder = JobFolder(L"enc" + std::to_wstring(c.encoding) + L"-" + std::to_wstring(c.codePage));
        const std::vector<std::wstring> args = {L"pdf2img", L"-dNOPAUSE", L"-dBATCH", L"-sDEVICE=png16m", L"-r20",
                                                L"-sOutputFile=" + folder + L"%d.png", pdf};
        std::vector<std::string> narrow;
        std::vector<std::wstring> wide = args;
        std::vector<char*> argv;
        for (const std::wstring& a : args) narrow.push_back(c.codePage != kUtf16 ? encoded(a, c.codePage) : std::string());
        for (size_t i = 0; i < args.size(); ++i)
            argv.push_back(c.codePage != kUtf16 ? narrow[i].data() : reinterpret_cast<char*>(wide[i].data()));
        void* instance = nullptr;
        ASSERT_EQ(gs.newInstance(&instance, nullptr), 0);
        ASSERT_EQ(gs.setArgEncoding(instance, c.encoding), 0);
        const int run = gs.initWithArgs(instance, static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(gs.exit(instance), 0);
        gs.deleteInstance(instance);
        EXPECT_EQ(basFile::FileExists(folder + L"2.png"), c.pages) << c.what;
        EXPECT_EQ(run == 0, c.pages) << c.what << ": " << run << ", ANSI " << ::GetACP() << ", OEM " << ::GetOEMCP();
        if (c.pages) {
            EXPECT_NE(ArgsLog(folder).find("\n" + Utf8(pdf) + "\n"), std::string::npos) << c.what;
        }
    }
    void* instance = nullptr;
    ASSERT_EQ(gs.newInstance(&instance, nullptr), 0);
    EXPECT_NE(gs.setArgEncoding(instance, 3), 0);
    gs.deleteInstance(instance);
}

// The shrink on its own: sizes by the two rules, and the file type by the target's extension.
TEST(ResizeImageFile, SizesAndFileTypesFollowTheTarget) {
    ScratchFolder folder;
    const std::wstring source = folder.path() + L"wide.png";
    {
        c32bppDIB picture;
        ASSERT_TRUE(picture.InitializeDIB(1000, 500));
        ASSERT_TRUE(picture.SaveToFile_PNG(source));
    }
    struct Case {
        const wchar_t* target;
        int32_t width, height;
        double factor;
        int32_t expectedWidth, expectedHeight;
        uint8_t firstByte;  // 0x89 PNG, 0xFF JPEG, 'B' BMP
    };
    const Case cases[] = {
        {L"by-height.png", -1, 300, -1, 600, 300, 0x89},
        {L"half.png", 0, 0, 0.5, 500, 250, 0x89},
        {L"capitals.JPG", 0, 0, 0.5, 500, 250, 0xFF},
        {L"no-extension", 0, 0, 0.25, 250, 125, 0x89},
        {L"plain.bmp", 200, 100, -1, 200, 100, 'B'},
    };
    for (const Case& c : cases) {
        const std::wstring target = folder.path() + c.target;
        ASSERT_TRUE(basPublic::ResizeImageFile(source, target, c.width, c.height, c.factor)) << Utf8(target);
        c32bppDIB shrunk;
        ASSERT_TRUE(shrunk.LoadPicture_File(target)) << Utf8(target);
        EXPECT_EQ(shrunk.Width(), c.expectedWidth) << Utf8(target);
        EXPECT_EQ(shrunk.Height(), c.expectedHeight) << Utf8(target);
        HANDLE file = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        uint8_t first = 0;
        DWORD read = 0;
        ::ReadFile(file, &first, 1, &read, nullptr);
        ::CloseHandle(file);
        EXPECT_EQ(first, c.firstByte) << Utf8(target);
    }
    // Nothing to load: false, and no target.
    EXPECT_FALSE(basPublic::ResizeImageFile(folder.path() + L"missing.png", folder.path() + L"x.png", -1, -1, 0.5));
    EXPECT_FALSE(basFile::FileExists(folder.path() + L"x.png"));
}
