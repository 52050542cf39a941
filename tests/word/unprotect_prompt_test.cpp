// The password prompt of a protected document, from the user's side: the page asks the core for
// "word2html" of a document with editing protection, and this process, as the user, answers the
// prompt and the message boxes at the screen (Xvfb) with SendInput: typed passwords, the buttons,
// the frame's close button. What the worker then asked of Word is read from the stand-in's journal.
#include <set>

#include "support/send_input.h"
#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

constexpr wchar_t kPromptTitle[] = L"Unprotect_Quorallion";
constexpr int kIdMessage = 101, kIdPasswordLabel = 102, kIdPassword = 103;

HWND VisibleTopLevel(const wchar_t* className, const wchar_t* title) {
    HWND window = ::FindWindowW(className, title);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND window = VisibleTopLevel(className, title)) {
            PumpFor(300);  // painted and brought to the front (the prompt's timer runs after 100 ms)
            if (VisibleTopLevel(className, title) == window) return window;
        }
        if (::GetTickCount() - start > milliseconds) return nullptr;
        PumpFor(50);
    }
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 511);
    return text;
}

// The message of a message box: its static text that is not empty.
std::wstring BoxText(HWND box) {
    std::wstring found;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t cls[32] = {};
            ::GetClassNameW(child, cls, 31);
            const std::wstring text = TextOf(child);
            if (::lstrcmpiW(cls, L"Static") == 0 && !text.empty()) {
                *reinterpret_cast<std::wstring*>(out) = text;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

POINT Centre(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wScan = keys[1].ki.wScan = c;
        keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        PumpFor(20);
    }
}

enum class Press { Ok, Cancel, Close };

// One answer of the user: what is typed into the prompt, what is pressed, and the message box
// that must follow (nullptr: none).
struct Answer {
    std::wstring typed;
    Press press;
    const wchar_t* box;
};

struct Texts {
    std::wstring message, passwordLabel, wrongPassword, emptyInput;
};

class PasswordPrompt : public WordActions {
protected:
    void TearDown() override {
        DismissAll(L"");
        WordActions::TearDown();
    }

    // After a failed step: closes whatever prompt or box is still up until the job has ended.
    std::wstring DismissAll(std::wstring reply) {
        for (int i = 0; i < 300 && (reply.empty() || reply == kWait); ++i) {
            for (HWND window : {VisibleTopLevel(L"#32770", L"Quorallion"), VisibleTopLevel(nullptr, kPromptTitle)})
                if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
            PumpFor(100);
            if (!core_.get()) break;
            reply = core_.Core(L"asyncresult");
        }
        return reply;
    }

    // Answers the prompts of one conversion in order; returns the job's reply.
    Reply Convert(const std::wstring& config, const std::vector<Answer>& answers, const Texts& texts) {
        const std::wstring first = core_.Core(L"word2html", Fixture(L"protected.docx"), L"", config);
        EXPECT_EQ(first, kWait);
        const UserInput user(60);
        for (const Answer& answer : answers) {
            HWND prompt = WaitForWindow(nullptr, kPromptTitle, 60000);
            EXPECT_NE(prompt, nullptr) << "no prompt for " << ::testing::PrintToString(answer.typed);
            if (!prompt) break;
            prompts_.insert(prompt);
            EXPECT_EQ(TextOf(::GetDlgItem(prompt, kIdMessage)), texts.message);
            EXPECT_EQ(TextOf(::GetDlgItem(prompt, kIdPasswordLabel)), texts.passwordLabel);
            HWND password = ::GetDlgItem(prompt, kIdPassword);
            EXPECT_TRUE(::GetWindowLongPtrW(password, GWL_STYLE) & ES_PASSWORD) << "typed characters are masked";
            if (!answer.typed.empty()) {
                const POINT box = Centre(password);
                user.Click(box.x, box.y);
                PumpFor(100);
                TypeText(answer.typed);
            }
            if (answer.press == Press::Close) {
                RECT r{};
                ::GetWindowRect(prompt, &r);
                user.MoveTo(r.right - 29 + 8, r.top + 5 + 9);  // the frame's close button
                PumpFor(100);
                user.Click(r.right - 29 + 9, r.top + 5 + 9);
            } else {
                const POINT button =
                    Centre(::FindWindowExW(prompt, nullptr, nullptr, answer.press == Press::Ok ? L"cmdOK" : L"cmdCancel"));
                user.MoveTo(button.x - 1, button.y);
                PumpFor(100);
                user.Click(button.x, button.y);
            }
            if (answer.box) {
                HWND box = WaitForWindow(L"#32770", L"Quorallion", 20000);
                EXPECT_NE(box, nullptr) << "no message box after " << ::testing::PrintToString(answer.typed);
                if (!box) break;
                boxes_.push_back(BoxText(box));
                const POINT ok = Centre(::GetDlgItem(box, IDOK));
                user.Click(ok.x, ok.y);
                PumpFor(200);
            }
        }
        if (::testing::Test::HasFailure()) return Finish(DismissAll(first));
        return Finish(first);
    }

    std::vector<std::wstring> UnprotectPasswords() {
        std::vector<std::wstring> out;
        for (const auto& line : Calls(Journal(L"Winword"), L"Document", L"Unprotect")) out.push_back(line.back());
        return out;
    }

    std::set<HWND> prompts_;
    std::vector<std::wstring> boxes_;
};

const Texts kEnglish{L"This File is protected. Input password to unprotect.", L"Password:",
                     L"Invalid password, input again.", L"Please enter password."};
const Texts kSimplified{
    L"\u6b64\u6587\u6863\u53d7\u5bc6\u7801\u4fdd\u62a4\uff01\u8f93\u5165\u5bc6\u7801\uff0c\u7136\u540e\u70b9\u3010"
    L"\u786e\u5b9a\u3011\u89e3\u9501\u6b64\u6587\u6863\uff0c\u4ee5\u8fbe\u5230\u66f4\u597d\u7684\u8f6c\u6362\u6548"
    L"\u679c\u3002\u6216\u76f4\u63a5\u70b9\u3010\u53d6\u6d88\u3011\uff0c\u4ee5\u53ea\u8bfb\u65b9\u5f0f\u8f6c\u6362"
    L"\u3002",
    L"\u5bc6\u7801\uff1a", L"\u5bc6\u7801\u9519\u8bef\uff0c\u8bf7\u91cd\u65b0\u8f93\u5165\uff01",
    L"\u8bf7\u8f93\u5165\u5bc6\u7801\uff01"};
const Texts kTraditional{
    L"\u6b64\u6587\u6a94\u53d7\u5bc6\u78bc\u4fdd\u8b77\uff01\u8f38\u5165\u5bc6\u78bc\uff0c\u7136\u5f8c\u9ede\u3010"
    L"\u78ba\u5b9a\u3011\u89e3\u9396\u6b64\u6587\u6a94\uff0c\u4ee5\u9054\u5230\u66f4\u597d\u7684\u8f49\u63db\u6548"
    L"\u679c\u3002\u6216\u76f4\u63a5\u9ede\u3010\u53d6\u6d88\u3011\uff0c\u4ee5\u552f\u8b80\u65b9\u5f0f\u8f49\u63db"
    L"\u3002",
    L"\u5bc6\u78bc\uff1a", L"\u5bc6\u78bc\u932f\u8aa4\uff0c\u8acb\u91cd\u65b0\u8f38\u5165\uff01",
    L"\u8acb\u8f38\u5165\u5bc6\u78bc\uff01"};

TEST_F(PasswordPrompt, TwoWrongPasswordsThenTheRightOneWithBlanksAround) {
    Settings(L"Winword", "password=se cret\n");
    const Reply reply = Convert(L"{\"lang\":\"en\"}",
                                {{L"wrong1", Press::Ok, kEnglish.wrongPassword.c_str()},
                                 {L"wrong2", Press::Ok, kEnglish.wrongPassword.c_str()},
                                 {L"  se cret  ", Press::Ok, nullptr}},
                                kEnglish);
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(prompts_.size(), 3u) << "the prompt is shown three times";
    EXPECT_EQ(boxes_, std::vector<std::wstring>(2, kEnglish.wrongPassword));
    EXPECT_EQ(UnprotectPasswords(), (std::vector<std::wstring>{L"BSTR:wrong1", L"BSTR:wrong2", L"BSTR:se cret"}));
    // Unprotected, the document gets the equation treatment before its save.
    EXPECT_FALSE(Calls(Journal(L"Winword"), L"Document", L"OMaths").empty());
    EXPECT_NE(VisibleText(reply.Get(L"html")).find(L"January"), std::wstring::npos);
}

TEST_F(PasswordPrompt, BlanksAreNoPasswordAndCancelConvertsReadOnly) {
    Settings(L"Winword", "password=secret\n");
    const Reply reply = Convert(L"{\"lang\":\"zh-tw\"}",
                                {{L"   ", Press::Ok, kTraditional.emptyInput.c_str()}, {L"", Press::Cancel, nullptr}},
                                kTraditional);
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(prompts_.size(), 1u) << "an empty password keeps the prompt open";
    EXPECT_EQ(boxes_, std::vector<std::wstring>{kTraditional.emptyInput});
    EXPECT_TRUE(UnprotectPasswords().empty());
    EXPECT_TRUE(Calls(Journal(L"Winword"), L"Document", L"OMaths").empty()) << "no treatment of a protected document";
    EXPECT_NE(VisibleText(reply.Get(L"html")).find(L"January"), std::wstring::npos);
}

TEST_F(PasswordPrompt, CloseButtonConvertsReadOnlyLikeCancel) {
    Settings(L"Winword", "password=secret\n");
    const Reply reply = Convert(L"{}", {{L"typed but not sent", Press::Close, nullptr}}, kSimplified);
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(prompts_.size(), 1u);
    EXPECT_TRUE(UnprotectPasswords().empty());
    EXPECT_TRUE(Calls(Journal(L"Winword"), L"Document", L"OMaths").empty());
}

// Releasing any core object unloads every form of the process, the password prompt among them;
// the conversion that waited on it goes on read-only, as after the frame's close button.
TEST_F(PasswordPrompt, AnotherClientsReleaseClosesThePromptAndTheJobConvertsReadOnly) {
    Settings(L"Winword", "password=secret\n");
    ASSERT_EQ(core_.Core(L"word2html", Fixture(L"protected.docx"), L"", L"{\"lang\":\"en\"}"), kWait);
    HWND prompt = WaitForWindow(nullptr, kPromptTitle, 60000);
    ASSERT_NE(prompt, nullptr);
    {
        DispatchClient second;
        ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
        EXPECT_EQ(second.Core(L"config").substr(0, 14), L"{\"state\":\"ok\",");
    }  // released here, while the prompt is up
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        PumpFor(100);
        gone = !VisibleTopLevel(nullptr, kPromptTitle);
    }
    EXPECT_TRUE(gone) << "the prompt stays after the release";
    const Reply reply = gone ? Finish(kWait) : Finish(DismissAll(kWait));
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_TRUE(UnprotectPasswords().empty());
    EXPECT_TRUE(Calls(Journal(L"Winword"), L"Document", L"OMaths").empty()) << "converted read-only";
    EXPECT_NE(VisibleText(reply.Get(L"html")).find(L"January"), std::wstring::npos);
}

TEST_F(PasswordPrompt, WrongPasswordMessageInSimplifiedChinese) {
    Settings(L"Winword", "password=secret\n");
    const Reply reply = Convert(L"{\"lang\":\"zh-cn\"}",
                                {{L"nope", Press::Ok, kSimplified.wrongPassword.c_str()}, {L"", Press::Cancel, nullptr}},
                                kSimplified);
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(boxes_, std::vector<std::wstring>{kSimplified.wrongPassword});
    EXPECT_EQ(prompts_.size(), 2u);
}

}  // namespace
