// "wordeqshow" as the page uses it: this process asks QuorallionCore2 over COM, the core opens
// the equation window around the tests' equation control (registered by the test set-up), the
// test drives the window with the mouse and keys and reads the control's call log, and polls
// "asyncresult" for the outcome.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "converters/picture_file.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/golden_image.h"
#include "support/local_servers.h"
#include "support/send_input.h"
#include "support/temp_root.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kServerExe[] = L"QuorallionCore2.exe";
constexpr wchar_t kCaption[] = L"WordEQ_Quorallion";
constexpr wchar_t kStandinKey[] = L"Software\\Quorallion\\WordEqStandin";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";
constexpr wchar_t kCancel[] = L"{\"state\":\"err\",\"errflag\":\"cancel\"}";
constexpr wchar_t kError[] = L"{\"state\":\"err\",\"errflag\":\"\"}";
constexpr wchar_t kOptions[] = L"width:800;height:500;ver:1.0.2;eqtype:omath";
constexpr wchar_t kEnglish[] = L"{\"lang\":\"en\"}";

// The window's places, relative to its top-left corner, for an 800 x 500 control.
constexpr POINT kOkButton{621 + 40, 535 + 12}, kCancelButton{712 + 40, 535 + 12};
constexpr POINT kControlOrigin{3, 30};
constexpr POINT kBackstageOk{kControlOrigin.x + 50, kControlOrigin.y + 25};
constexpr POINT kBackstageCancel{kControlOrigin.x + 160, kControlOrigin.y + 25};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring GoldenPath(const std::wstring& name) {
    std::wstring folder;
    for (const char* c = QUORALLION_WORDEQ_GOLDEN; *c; ++c) folder += *c == '/' ? L'\\' : wchar_t(*c);
    return L"Z:" + folder + L"\\" + name;
}

// A visible top-level window of that caption, waited for up to the time given.
HWND WaitForWindow(const wchar_t* caption, const wchar_t* className = nullptr, DWORD milliseconds = 10000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        HWND window = ::FindWindowW(className, caption);
        if (window && ::IsWindowVisible(window)) return window;
        ::Sleep(50);
    } while (::GetTickCount64() < end);
    return nullptr;
}

bool WaitUntilGone(const wchar_t* caption, DWORD milliseconds = 10000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        if (!::FindWindowW(nullptr, caption)) return true;
        ::Sleep(50);
    } while (::GetTickCount64() < end);
    return false;
}

// A child window of that title anywhere below parent.
HWND FindChild(HWND parent, const std::wstring& title) {
    struct Search {
        std::wstring title;
        HWND found;
    } search{title, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t text[64] = {};
            ::GetWindowTextW(child, text, 64);
            if (s->title == text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            if (::lstrcmpW(name, s->className) == 0) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A window's rectangle relative to the top-left corner of another one.
RECT RelativeRect(HWND window, HWND origin) {
    RECT r{}, o{};
    ::GetWindowRect(window, &r);
    ::GetWindowRect(origin, &o);
    return RECT{r.left - o.left, r.top - o.top, r.right - o.left, r.bottom - o.top};
}

void SetSwitch(const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStandinKey, name, REG_DWORD, &value, sizeof(value));
}

class WordEqFromThePage : public ::testing::Test {
protected:
    void SetUp() override {
        HDC screen = ::GetDC(nullptr);
        if (!screen) GTEST_SKIP() << "no display";
        ::ReleaseDC(nullptr, screen);
        ASSERT_TRUE(EndLocalServers({kServerExe}, 10000).empty()) << "a core server of an earlier test was still running";
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        log_ = std::wstring(temp) + L"wordeq_com_test_" + std::to_wstring(::GetCurrentProcessId()) + L".log";
        ::DeleteFileW(log_.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kStandinKey);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kStandinKey, L"LogFile", REG_SZ, log_.c_str(),
                          static_cast<DWORD>((log_.size() + 1) * sizeof(wchar_t)));
        input_.MoveTo(5, 5);
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        // No window of a failed case is left for the next one.
        if (HWND box = ::FindWindowW(L"#32770", L"WordEQ")) ::PostMessageW(box, WM_CLOSE, 0, 0);
        if (HWND window = ::FindWindowW(nullptr, kCaption)) ::PostMessageW(window, WM_CLOSE, 0, 0);
        WaitUntilGone(kCaption, 3000);
        second_.Reset();
        core_.Reset();
        // The server ends once its last object is released: it must not outlive the test.
        EXPECT_TRUE(EndLocalServers({kServerExe}, 10000).empty()) << "the core server did not end";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kStandinKey);
        ::DeleteFileW(log_.c_str());
    }

    // Opens the window and waits until the control was started (WebNew answered).
    HWND Open(const std::wstring& options = kOptions, const std::wstring& code = L"QUJD+/=",
              const std::wstring& config = kEnglish) {
        EXPECT_EQ(core_.Core(L"wordeqshow", options, code, config), kWait);
        HWND window = WaitForWindow(kCaption);
        if (!window) {
            ADD_FAILURE() << "no equation window";
            return nullptr;
        }
        if (!WaitForLog("WebNew ")) ADD_FAILURE() << "the control was not started:\n" << LogText();
        ::Sleep(300);  // the buttons are enabled and painted right after
        return window;
    }

    // Polls "asyncresult" until it is no longer the wait reply.
    std::wstring Await(DispatchClient& core, DWORD milliseconds = 10000) {
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        std::wstring reply;
        do {
            reply = core.Core(L"asyncresult");
            if (reply != kWait) return reply;
            ::Sleep(50);
        } while (::GetTickCount64() < end);
        return reply;
    }

    void ClickAt(HWND window, POINT at) {
        RECT r{};
        ::GetWindowRect(window, &r);
        input_.Click(r.left + at.x, r.top + at.y);
        input_.MoveTo(5, 5);
    }

    std::vector<std::string> Log() const {
        std::ifstream in(log_.c_str(), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    int Find(const std::string& prefix) const {
        const auto lines = Log();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    bool WaitForLog(const std::string& prefix, DWORD milliseconds = 5000) const {
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        while (Find(prefix) < 0) {
            if (::GetTickCount64() >= end) return false;
            ::Sleep(50);
        }
        return true;
    }
    std::string LogText() const {
        std::string all;
        for (const auto& line : Log()) all += line.substr(0, 200) + "\n";
        return all;
    }

    Members Parse(const std::wstring& reply) {
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << "not strict JSON: " << Narrow(reply.substr(0, 300));
        return members.value_or(Members{});
    }

    ComApartment apartment_;
    DispatchClient core_, second_;
    UserInput input_;
    std::wstring log_;
};

}  // namespace

TEST_F(WordEqFromThePage, OpensAtItsSizeWithTheControlInPlaceAndStartsIt) {
    HWND window = Open(kOptions, L"QUJD+/=");
    ASSERT_NE(window, nullptr);
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 806);
    EXPECT_EQ(r.bottom - r.top, 568);
    EXPECT_FALSE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "left topmost";

    HWND control = FindChildOfClass(window, L"QuorallionWordEqStandin");
    ASSERT_NE(control, nullptr);
    const RECT c = RelativeRect(control, window);
    EXPECT_EQ(c.left, 3);
    EXPECT_EQ(c.top, 30);
    EXPECT_EQ(c.right - c.left, 800);
    EXPECT_EQ(c.bottom - c.top, 500);

    struct Place {
        const wchar_t* name;
        RECT rect;
    } places[] = {
        {L"cmdReset", {13, 535, 13 + 81, 535 + 25}},
        {L"cmdClear", {104, 535, 104 + 81, 535 + 25}},
        {L"cmdOK", {621, 535, 621 + 81, 535 + 25}},
        {L"cmdCancel", {712, 535, 712 + 81, 535 + 25}},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(Narrow(p.name));
        HWND button = FindChild(window, p.name);
        ASSERT_NE(button, nullptr);
        const RECT b = RelativeRect(button, window);
        EXPECT_EQ(b.left, p.rect.left);
        EXPECT_EQ(b.top, p.rect.top);
        EXPECT_EQ(b.right, p.rect.right);
        EXPECT_EQ(b.bottom, p.rect.bottom);
        EXPECT_TRUE(::IsWindowEnabled(button)) << "enabled once WebNew answered True";
    }

    // Created by the versioned ProgID, told the language, started, then shown the equation.
    const int create = Find("Create Quorallion.WordEq102"), lang = Find("Lang=en"), webNew = Find("WebNew True"),
              setEq = Find("SetEQ code=QUJD+/= type=omath");
    EXPECT_TRUE(create >= 0 && create < lang && lang < webNew && webNew < setEq) << LogText();

    // Clear empties the control; Reset shows the equation it was opened with again.
    ClickAt(window, POINT{104 + 40, 535 + 12});
    ASSERT_TRUE(WaitForLog("SetEQ code= type=")) << LogText();
    ::DeleteFileW(log_.c_str());
    ClickAt(window, POINT{13 + 40, 535 + 12});
    EXPECT_TRUE(WaitForLog("SetEQ code=QUJD+/= type=omath")) << LogText();
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);

    ClickAt(window, kCancelButton);
    EXPECT_EQ(Await(core_), kCancel);
    EXPECT_TRUE(WaitUntilGone(kCaption));
    EXPECT_GE(Find("Quit"), 0) << LogText();
}

TEST_F(WordEqFromThePage, ControlThatIsNotReadyLeavesOnlyCancel) {
    SetSwitch(L"WebNewFalse", 1);
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    for (const wchar_t* name : {L"cmdReset", L"cmdClear", L"cmdOK"}) {
        HWND button = FindChild(window, name);
        ASSERT_NE(button, nullptr) << Narrow(name);
        EXPECT_FALSE(::IsWindowEnabled(button)) << Narrow(name);
    }
    EXPECT_EQ(Find("SetEQ"), -1) << LogText();
    ClickAt(window, kOkButton);
    ::Sleep(300);
    EXPECT_EQ(Find("GetEQ"), -1) << "a disabled OK asked the control:\n" << LogText();
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);
    ClickAt(window, kCancelButton);
    EXPECT_EQ(Await(core_), kCancel);
    EXPECT_TRUE(WaitUntilGone(kCaption));
}

TEST_F(WordEqFromThePage, OkHandsBackTheImgTagOfAPngInTheJobFolder) {
    const std::wstring code = L"a\"b<c>d&e";
    HWND window = Open(kOptions, code);
    ASSERT_NE(window, nullptr);
    // Another client's action makes a newer job folder meanwhile: the picture still goes into
    // the folder of the job that opened the window.
    ASSERT_TRUE(SUCCEEDED(second_.Create(kProgId)));
    const std::vector<std::wstring> before = ListNames(ClientTempRoot());
    second_.Core(L"nosuchaction", L"", L"", kEnglish);
    EXPECT_GT(ListNames(ClientTempRoot()).size(), before.size()) << "no newer job folder was made";

    ClickAt(window, kOkButton);
    const std::wstring reply = Await(core_);
    EXPECT_TRUE(WaitUntilGone(kCaption));
    Members members = Parse(reply);
    ASSERT_EQ(Keys(members), (std::vector<std::wstring>{L"state", L"html", L"actkey"})) << Narrow(reply);
    EXPECT_EQ(members[0].second, L"ok");
    const std::wstring html = members[1].second, actKey = members[2].second;
    ASSERT_EQ(actKey.size(), 20u);

    const std::wstring head = L"<img style=\"vertical-align:middle\" src=\"file:///" + actKey + L"/";
    ASSERT_EQ(html.substr(0, head.size()), head) << Narrow(html);
    const std::wstring fileName = html.substr(head.size(), 21);
    EXPECT_EQ(fileName.find_first_not_of(L"0123456789"), 17u) << Narrow(fileName);
    EXPECT_EQ(fileName.substr(17), L".png");
    EXPECT_EQ(html.substr(head.size() + 21),
              L"\" _tag=\"wordeq\" _eqcode=\"a&quot;b&lt;c&gt;d&amp;e\" _eqtype=\"omath\">");

    const std::wstring png = ClientTempRoot() + actKey + L"\\" + fileName;
    std::optional<Picture> picture = ReadPicture(png);
    ASSERT_TRUE(picture.has_value()) << "no PNG at " << Narrow(png);
    EXPECT_EQ(picture->width, 800);
    EXPECT_EQ(picture->height, 500);
    EXPECT_GE(Find("GetEQ byref=yes file=" + Narrow(png)), 0) << LogText();
}

TEST_F(WordEqFromThePage, EveryWayOfClosingEndsTheJobOnce) {
    enum class Way { CancelButton, CloseButton, BackstageOk, BackstageCancel, AltF4, OtherObjectReleased };
    struct Case {
        const char* name;
        Way way;
        const wchar_t* state;  // "ok" or the whole reply
    } cases[] = {
        {"Cancel", Way::CancelButton, kCancel},
        {"frame's close button", Way::CloseButton, kCancel},
        {"backstage_ok", Way::BackstageOk, L"ok"},
        {"backstage_cancel", Way::BackstageCancel, kCancel},
        {"Alt+F4", Way::AltF4, kCancel},
        {"another core object released", Way::OtherObjectReleased, kCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileW(log_.c_str());
        if (c.way == Way::OtherObjectReleased) ASSERT_TRUE(SUCCEEDED(second_.Create(kProgId)));
        HWND window = Open();
        ASSERT_NE(window, nullptr);
        RECT r{};
        ::GetWindowRect(window, &r);
        switch (c.way) {
        case Way::CancelButton: ClickAt(window, kCancelButton); break;
        case Way::CloseButton: ClickAt(window, POINT{(r.right - r.left) - 29 + 10, 5 + 9}); break;
        case Way::BackstageOk: ClickAt(window, kBackstageOk); break;
        case Way::BackstageCancel: ClickAt(window, kBackstageCancel); break;
        case Way::AltF4: input_.AltF4(); break;  // the window came to the front when it started
        case Way::OtherObjectReleased: second_.Reset(); break;
        }
        const std::wstring reply = Await(core_);
        if (std::wstring(c.state) == L"ok")
            EXPECT_EQ(reply.rfind(L"{\"state\":\"ok\",\"html\":\"<img ", 0), 0u) << Narrow(reply.substr(0, 200));
        else
            EXPECT_EQ(reply, c.state);
        EXPECT_TRUE(WaitUntilGone(kCaption));
        // The control was let go in order, after its own call had returned.
        const int unadvise = Find("Unadvise"), destroyed = Find("Destroyed");
        EXPECT_TRUE(unadvise >= 0 && unadvise < destroyed) << LogText();
        if (c.way == Way::BackstageOk || c.way == Way::BackstageCancel)
            EXPECT_LT(Find("Fired OnMyAction"), unadvise) << LogText();
        // The reply stays as it is.
        ::Sleep(300);
        EXPECT_EQ(core_.Core(L"asyncresult"), reply);
    }
}

TEST_F(WordEqFromThePage, SecondObjectIsRefusedWhileTheWindowIsOpen) {
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SUCCEEDED(second_.Create(kProgId)));
    EXPECT_EQ(second_.Core(L"wordeqshow", kOptions, L"other", kEnglish), kWait);
    EXPECT_EQ(Await(second_, 3000), kCancel);
    EXPECT_EQ(::FindWindowW(nullptr, kCaption), window) << "the open window stays, no second one";
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);
    EXPECT_EQ(Find("SetEQ code=other"), -1) << LogText();
    // The first window still answers its own job.
    ClickAt(window, kOkButton);
    EXPECT_EQ(Await(core_).rfind(L"{\"state\":\"ok\"", 0), 0u);
    EXPECT_EQ(second_.Core(L"asyncresult"), kCancel);
}

TEST_F(WordEqFromThePage, BadOptionsAnswerAnErrorAndLeaveNoWindow) {
    const std::wstring big(1 << 20, L'x');
    struct Case {
        const wchar_t* options;
        std::wstring code;
    } cases[] = {
        {L"width:800;height:500;ver:9.9", L"c"},  // no such control
        {L"width:abc;ver:1.0.2", L"c"},
        {L"width:-5;ver:1.0.2", L"c"},
        {L"width:0;ver:1.0.2", L"c"},
        {L"height:99999999;ver:1.0.2", L"c"},
        {L"width:800;;;:;height;ver:1.0.2:x", big + std::wstring(L"\0\xD800", 2)},  // no control by that name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.options));
        EXPECT_EQ(core_.Core(L"wordeqshow", c.options, c.code, kEnglish), kWait);
        EXPECT_EQ(Await(core_, 5000), kError);
        EXPECT_EQ(::FindWindowW(nullptr, kCaption), nullptr);
    }
    // The next one opens as usual, even with a code of a megabyte, a NUL and a lone surrogate.
    HWND window = Open(kOptions, big + std::wstring(L"\0\xD800", 2));
    ASSERT_NE(window, nullptr);
    ClickAt(window, kOkButton);
    const std::wstring reply = Await(core_, 15000);
    EXPECT_EQ(reply.rfind(L"{\"state\":\"ok\"", 0), 0u) << Narrow(reply.substr(0, 200));
    EXPECT_GT(reply.size(), big.size());
    EXPECT_NE(reply.find(L"xxx\\u0000"), std::wstring::npos) << "the code's NUL";
}

TEST_F(WordEqFromThePage, ControlErrorsKeepTheWindowOpen) {
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    // The control answers an error text: nothing happens, nothing is shown.
    SetSwitch(L"GetEQError", 1);
    ClickAt(window, kOkButton);
    ASSERT_TRUE(WaitForLog("GetEQ byref=yes")) << LogText();
    ::Sleep(300);
    EXPECT_EQ(::FindWindowW(L"#32770", L"WordEQ"), nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);

    // No picture written: the one message of the window, which the user closes.
    SetSwitch(L"GetEQError", 0);
    SetSwitch(L"NoFile", 1);
    ClickAt(window, kOkButton);
    HWND box = WaitForWindow(L"WordEQ", L"#32770", 5000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_NE(FindChild(box, L"Error: MakeFile"), nullptr);
    // The core still answers while the box is up.
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntilGone(L"WordEQ", 5000));
    EXPECT_EQ(::FindWindowW(nullptr, kCaption), window);
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);

    // The control writes its picture again: OK now ends the job.
    SetSwitch(L"NoFile", 0);
    ClickAt(window, kOkButton);
    EXPECT_EQ(Await(core_).rfind(L"{\"state\":\"ok\"", 0), 0u);
}

TEST_F(WordEqFromThePage, InstallCheckFindsTheControlByItsVersion) {
    struct Case {
        const wchar_t* version;
        const wchar_t* reply;
    } cases[] = {
        {L"1.0.2", L"{\"state\":\"ok\",\"installed\":\"yes\"}"},
        {L"102", L"{\"state\":\"ok\",\"installed\":\"yes\"}"},
        {L"9.9", L"{\"state\":\"ok\",\"installed\":\"no\"}"},
    };
    for (const Case& c : cases) EXPECT_EQ(core_.Core(L"wordeqinstall", c.version), c.reply) << Narrow(c.version);
    EXPECT_GE(Find("Create Quorallion.WordEqV102"), 0) << LogText();
}

TEST_F(WordEqFromThePage, LooksAsItsGoldenScreenshotsInEnglishAndChinese) {
    struct Case {
        const wchar_t* config;
        const wchar_t* golden;
    } cases[] = {
        {kEnglish, L"wordeq_en.png"},
        {L"{\"lang\":\"zh-cn\"}", L"wordeq_zh-cn.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.golden));
        HWND window = Open(L"width:400;height:120;ver:1.0.2;eqtype:omath", L"E=mc2", c.config);
        ASSERT_NE(window, nullptr);
        RECT r{};
        ::GetWindowRect(window, &r);
        ASSERT_EQ(r.right - r.left, 406);
        ASSERT_EQ(r.bottom - r.top, 188);
        // Below the cut top corners, which show whatever lies behind the window.
        std::string difference;
        const ULONGLONG end = ::GetTickCount64() + 2000;
        do {
            ::Sleep(100);
            difference = CompareWithGolden(ScreenCrop(r.left, r.top + 5, 406, 188 - 5), GoldenPath(c.golden));
        } while (!difference.empty() && ::GetTickCount64() < end);
        EXPECT_EQ(difference, "");
        ClickAt(window, POINT{406 - 94 + 40, 155 + 12});  // Cancel
        EXPECT_EQ(Await(core_), kCancel);
        EXPECT_TRUE(WaitUntilGone(kCaption));
    }
}

TEST_F(WordEqFromThePage, NarrowControlsKeepTheirSizeAndEveryButtonAnswers) {
    // The window grows to hold its four buttons side by side; the control stays as asked.
    for (int width : {1, 100, 300}) {
        SCOPED_TRACE(width);
        ::DeleteFileW(log_.c_str());
        HWND window = Open(L"width:" + std::to_wstring(width) + L";height:120;ver:1.0.2;eqtype:omath");
        ASSERT_NE(window, nullptr);
        RECT r{};
        ::GetWindowRect(window, &r);
        EXPECT_EQ(r.right - r.left, 380);
        EXPECT_EQ(r.bottom - r.top, 188);
        HWND control = FindChildOfClass(window, L"QuorallionWordEqStandin");
        ASSERT_NE(control, nullptr);
        const RECT c = RelativeRect(control, window);
        EXPECT_EQ(c.left, 3);
        EXPECT_EQ(c.top, 30);
        EXPECT_EQ(c.right - c.left, width);
        EXPECT_EQ(c.bottom - c.top, 120);

        // Left to right, apart, inside the window, below the control.
        RECT places[4]{};
        const wchar_t* names[4] = {L"cmdReset", L"cmdClear", L"cmdOK", L"cmdCancel"};
        for (int i = 0; i < 4; ++i) {
            HWND button = FindChild(window, names[i]);
            ASSERT_NE(button, nullptr) << Narrow(names[i]);
            places[i] = RelativeRect(button, window);
            EXPECT_EQ(places[i].right - places[i].left, 81) << Narrow(names[i]);
            EXPECT_GE(places[i].top, c.bottom) << Narrow(names[i]);
            EXPECT_LE(places[i].bottom, r.bottom - r.top) << Narrow(names[i]);
        }
        EXPECT_GE(places[0].left, 0);
        for (int i = 0; i + 1 < 4; ++i)
            EXPECT_GE(places[i + 1].left, places[i].right + 10) << Narrow(names[i]) << " and " << Narrow(names[i + 1]);
        EXPECT_LE(places[3].right, r.right - r.left);

        // The pointer at OK's place reaches OK: the job answers with the control's picture.
        const POINT ok{(places[2].left + places[2].right) / 2, (places[2].top + places[2].bottom) / 2};
        ClickAt(window, ok);
        const std::wstring reply = Await(core_);
        EXPECT_TRUE(WaitUntilGone(kCaption));
        Members members = Parse(reply);
        ASSERT_EQ(Keys(members), (std::vector<std::wstring>{L"state", L"html", L"actkey"})) << Narrow(reply);
        EXPECT_EQ(members[0].second, L"ok");
        const std::wstring head = L"<img style=\"vertical-align:middle\" src=\"file:///" + members[2].second + L"/";
        ASSERT_EQ(members[1].second.substr(0, head.size()), head) << Narrow(members[1].second);
        const std::wstring png =
            ClientTempRoot() + members[2].second + L"\\" + members[1].second.substr(head.size(), 21);
        std::optional<Picture> picture = ReadPicture(png);
        ASSERT_TRUE(picture.has_value()) << "no PNG at " << Narrow(png);
        EXPECT_EQ(picture->width, width);
        EXPECT_EQ(picture->height, 120);
    }
}
