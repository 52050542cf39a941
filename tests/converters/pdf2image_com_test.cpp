// "pdf2image" from the page's side: a client calls QuorallionCore2 over COM and polls
// "asyncresult". Pages are compared with Poppler's pdftoppm and counted by pdfinfo; the options
// are checked through the arguments the Ghostscript stand-in logged beside the pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "file/basFile.h"
#include "pdf_samples.h"
#include "picture_file.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/temp_root.h"
#include "tests/scratch_folder.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";

struct JobReply {
    Members members;
    std::wstring Get(const std::wstring& key) const { return Member(members, key).value_or(L"<missing>"); }
    std::wstring Folder() const { return ClientTempRoot() + Get(L"actkey") + L"\\"; }
};

class Pdf2Image : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        samples_ = new ScratchFolder;
        threePages_ = samples_->path() + L"three.pdf";
        made_ = MakeSamplePdf(threePages_, 3);
    }
    static void TearDownTestSuite() {
        delete samples_;
        samples_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made_) << "ps2pdf could not make the sample PDF";
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }

    // Starts the job and polls until its reply is there.
    JobReply Run(const std::wstring& pdfPath, const std::wstring& options) {
        const std::wstring first = core_.Core(L"pdf2image", pdfPath, options);
        EXPECT_EQ(first, L"{\"state\":\"wait\"}");
        std::wstring reply = first;
        for (int i = 0; i < 1200 && reply == L"{\"state\":\"wait\"}"; ++i) {
            PumpFor(100);
            reply = core_.Core(L"asyncresult");
        }
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << ::testing::PrintToString(reply);
        return JobReply{members.value_or(Members{})};
    }
    static std::wstring Tags(const std::wstring& key, const std::vector<std::wstring>& names) {
        std::wstring html;
        for (const std::wstring& name : names) {
            if (!html.empty()) html += L"<br>";
            html += L"<img src=\"file:///" + key + L"/" + name + L"\">";
        }
        return html;
    }

    static ScratchFolder* samples_;
    static std::wstring threePages_;
    static bool made_;
    ComApartment apartment_;
    DispatchClient core_;
};

ScratchFolder* Pdf2Image::samples_ = nullptr;
std::wstring Pdf2Image::threePages_;
bool Pdf2Image::made_ = false;

}  // namespace

TEST_F(Pdf2Image, DefaultOptionsGiveShrunkPagesOnly) {
    JobReply reply = Run(threePages_, L"");
    ASSERT_EQ(reply.Get(L"state"), L"ok");
    EXPECT_EQ(reply.Get(L"html"), Tags(reply.Get(L"actkey"), {L"1s.png", L"2s.png", L"3s.png"}));
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(basFile::FileExists(reply.Folder() + std::to_wstring(page) + L"s.png"));
        EXPECT_FALSE(basFile::FileExists(reply.Folder() + std::to_wstring(page) + L".png"));
    }
    std::optional<Picture> shrunk = ReadPicture(reply.Folder() + L"1s.png");
    ASSERT_TRUE(shrunk);
    EXPECT_NEAR(shrunk->width, 794, 1);  // A4 at 96 dots per inch
}

TEST_F(Pdf2Image, FullScalePagesMatchPdftoppm) {
    JobReply reply = Run(threePages_, L"bl:200");
    ASSERT_EQ(reply.Get(L"state"), L"ok");
    const std::optional<int> pages = PdfInfoPages(threePages_);
    ASSERT_EQ(pages.value_or(-1), 3) << "pdfinfo";
    std::vector<std::wstring> names;
    for (int page = 1; page <= *pages; ++page) names.push_back(std::to_wstring(page) + L".png");
    EXPECT_EQ(reply.Get(L"html"), Tags(reply.Get(L"actkey"), names));
    EXPECT_FALSE(basFile::FileExists(reply.Folder() + L"4.png"));
    for (int page = 1; page <= *pages; ++page) {
        std::optional<Picture> ours = ReadPicture(reply.Folder() + std::to_wstring(page) + L".png");
        std::optional<std::wstring> referencePath = PdftoppmPage(threePages_, page, 192);
        ASSERT_TRUE(ours && referencePath) << page;
        std::optional<Picture> reference = ReadPicture(*referencePath);
        ASSERT_TRUE(reference) << page;
        EXPECT_NEAR(ours->width, reference->width, 1) << page;
        EXPECT_NEAR(ours->height, reference->height, 1) << page;
        // Two renderers smooth text edges their own ways.
        EXPECT_LT(MismatchShare(*ours, *reference, 64), 0.01) << page;
    }
}

TEST_F(Pdf2Image, OptionTableReachesGhostscript) {
    struct Case {
        const wchar_t* options;
        const char* resolution;
        bool shrunk;
        bool jpg;
    };
    const Case cases[] = {
        {L"bl:150%", "-r288", true, false},   {L"bl:10", "-r19", true, false},
        {L"bl:abc", "-r192", true, false},    {L"bl:1e9", "-r192", true, false},
        {L"bl:99999999999", "-r192", true, false}, {L"bl:300;imgtype:jpg", "-r288", false, false},
        {L"imgtype:jpg;bl:10", "-r19", true, true}, {L"imgtype:JPG;bl:10", "-r19", true, false},
    };
    for (const Case& c : cases) {
        JobReply reply = Run(threePages_, c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << ::testing::PrintToString(std::wstring(c.options));
        const std::string log = ReadBytes(reply.Folder() + L"gs-args.log").value_or("<no log>");
        EXPECT_NE(log.find(std::string("\n") + c.resolution + "\n"), std::string::npos)
            << ::testing::PrintToString(std::wstring(c.options)) << log;
        std::vector<std::wstring> names;
        const bool shrunk = c.shrunk;
        for (int page = 1; page <= 3; ++page)
            names.push_back(std::to_wstring(page) + (shrunk ? (c.jpg ? L"s.jpg" : L"s.png") : L".png"));
        EXPECT_EQ(reply.Get(L"html"), Tags(reply.Get(L"actkey"), names))
            << ::testing::PrintToString(std::wstring(c.options));
    }
}

TEST_F(Pdf2Image, PathsAndInputsFromTheEdges) {
    // A PDF path with "ü" and Chinese: every page.
    const std::wstring odd = samples_->path() + L"\x00FC\x4E2D\x6587 file.pdf";
    ASSERT_TRUE(::CopyFileW(threePages_.c_str(), odd.c_str(), FALSE));
    JobReply reply = Run(odd, L"bl:200");
    ASSERT_EQ(reply.Get(L"state"), L"ok");
    EXPECT_EQ(reply.Get(L"html"), Tags(reply.Get(L"actkey"), {L"1.png", L"2.png", L"3.png"}));

    // Not a PDF: success with no pages.
    reply = Run(samples_->Write(L"text.pdf", {'n', 'o', 't', ' ', 'a', ' ', 'P', 'D', 'F'}), L"");
    EXPECT_EQ(reply.Get(L"state"), L"ok");
    EXPECT_EQ(reply.Get(L"html"), L"");
    EXPECT_EQ(reply.Get(L"actkey").size(), 20u);

    // A switch in place of a path never reaches Ghostscript.
    reply = Run(L"-dNOSAFER", L"");
    EXPECT_EQ(reply.Get(L"state"), L"err");
    EXPECT_EQ(reply.Get(L"errflag"), L"gsdll");
    // The error reply names no folder: the job's is the newest (keys are time stamps).
    const std::vector<std::wstring> folders = ListNames(ClientTempRoot());
    ASSERT_FALSE(folders.empty());
    const std::wstring newest = *std::max_element(folders.begin(), folders.end());
    EXPECT_FALSE(basFile::FileExists(ClientTempRoot() + newest + L"\\gs-args.log")) << "Ghostscript was called";
}
