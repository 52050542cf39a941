// OleControlSite hosting the tests' equation control under Xvfb: creation by either versioned
// ProgID, the site's ambient UserMode, InitNew, in-place activation at the asked rectangle,
// SetObjectRects, late-bound calls with by-reference strings, the PNG the control writes, its
// event raised by a real click and found through its class information, and the teardown order,
// also when the handler asks for the teardown inside the control's own event call.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ole_site_win.h"
#include "screen_input.h"

using namespace quorallion::controls;
using namespace quorallion::controls::testing;

namespace {

constexpr wchar_t kStandinKey[] = L"Software\\Quorallion\\WordEqStandin";
constexpr int kX = 100, kY = 80, kW = 820, kH = 580;
const RECT kControl{3, 30, 803, 530};

std::wstring TempFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"ole_site_test_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + name;
}

void SetSwitch(const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStandinKey, name, REG_DWORD, &value, sizeof(value));
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(text);
    return v;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeHost() {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = L"OleSiteTestHost";
        return ::RegisterClassW(&windowClass);
    }();
    if (!atom) return nullptr;
    HWND window = ::CreateWindowExW(0, L"OleSiteTestHost", L"ole site host", WS_POPUP | WS_VISIBLE,
                                    kX, kY, kW, kH, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return window;
}

class OleSite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        log_ = TempFile(L"standin.log");
        ::DeleteFileW(log_.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kStandinKey);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kStandinKey, L"LogFile", REG_SZ, log_.c_str(),
                          static_cast<DWORD>((log_.size() + 1) * sizeof(wchar_t)));
        MoveTo(5, 5);
        host_ = MakeHost();
        ASSERT_NE(host_, nullptr);
        Pump(100);
    }
    void TearDown() override {
        site_.Destroy();
        Pump(50);
        if (host_) ::DestroyWindow(host_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kStandinKey);
        ::DeleteFileW(log_.c_str());
        ::OleUninitialize();
    }

    HRESULT Create(const wchar_t* progId) {
        return site_.Create(host_, progId, kControl, [this](const std::wstring& name, DISPPARAMS* params) {
            std::wstring arg;
            if (params && params->cArgs >= 1 && params->rgvarg[params->cArgs - 1].vt == VT_BSTR)
                arg = params->rgvarg[params->cArgs - 1].bstrVal;
            events_.push_back(name + L" " + arg);
            if (destroyInEvent_) site_.Destroy();
        });
    }

    std::vector<std::string> Log() const {
        std::ifstream in(log_.c_str(), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // Index of the first log line starting with prefix, or -1.
    int Find(const std::string& prefix) const {
        const auto lines = Log();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    std::string LogText() const {
        std::string all;
        for (const auto& line : Log()) all += line + "\n";
        return all;
    }

    void ClickControlAt(int x, int y) {
        MoveTo(kX + kControl.left + x, kY + kControl.top + y);
        Button(MOUSEEVENTF_LEFTDOWN);
        Button(MOUSEEVENTF_LEFTUP);
        Pump(150);
    }

    std::wstring log_;
    HWND host_ = nullptr;
    OleControlSite site_;
    std::vector<std::wstring> events_;
    bool destroyInEvent_ = false;
};

TEST_F(OleSite, CreatesBothVersionedProgIdsAndActivatesInPlace) {
    for (const wchar_t* progId : {L"Quorallion.WordEq102", L"Quorallion.WordEqV102"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(progId)));
        ::DeleteFileW(log_.c_str());
        ASSERT_EQ(Create(progId), S_OK);
        Pump(100);
        const std::string created = "Create " + std::string(progId, progId + wcslen(progId));
        EXPECT_EQ(Find(created), 0) << LogText();
        // The client site comes first, with the ambient UserMode True, then InitNew, then the verb.
        const int setSite = Find("SetClientSite"), userMode = Find("UserMode True"), initNew = Find("InitNew"),
                  verb = Find("DoVerb -5"), advise = Find("Advise");
        EXPECT_TRUE(setSite > 0 && setSite < userMode && userMode < initNew && initNew < verb && verb < advise)
            << LogText();
        EXPECT_GE(Find("GetClassInfo"), 0) << LogText();
        EXPECT_GE(Find("GetWindowContext frame"), 0) << LogText();
        EXPECT_GE(Find("InPlace 3,30 800x500"), 0) << LogText();

        HWND control = site_.ControlWindow();
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(::GetParent(control), host_);
        RECT r{};
        ::GetWindowRect(control, &r);
        EXPECT_EQ(r.left, kX + 3);
        EXPECT_EQ(r.top, kY + 30);
        EXPECT_EQ(r.right - r.left, 800);
        EXPECT_EQ(r.bottom - r.top, 500);

        site_.SetRect(RECT{3, 30, 603, 430});
        Pump(50);
        EXPECT_GE(Find("SetObjectRects 3,30 600x400"), 0) << LogText();
        ::GetWindowRect(control, &r);
        EXPECT_EQ(r.right - r.left, 600);
        EXPECT_EQ(r.bottom - r.top, 400);
        site_.Destroy();
        EXPECT_FALSE(site_.IsCreated());
    }
}

TEST_F(OleSite, UnregisteredProgIdFailsAndLeavesNothing) {
    EXPECT_EQ(Create(L"Quorallion.WordEq99"), CO_E_CLASSSTRING);
    EXPECT_FALSE(site_.IsCreated());
    EXPECT_EQ(site_.ControlWindow(), nullptr);
    EXPECT_EQ(::GetWindow(host_, GW_CHILD), nullptr);
    EXPECT_EQ(Find("Create"), -1) << LogText();
}

TEST_F(OleSite, LateBoundCallsPassByReferenceStringsAndTheControlWritesItsPng) {
    ASSERT_EQ(Create(L"Quorallion.WordEq102"), S_OK);
    Pump(100);
    VARIANT lang = Text(L"zh-cn");
    EXPECT_EQ(site_.PutProperty(L"Lang", lang), S_OK);
    ::VariantClear(&lang);

    std::vector<VARIANT> none;
    VARIANT ready;
    EXPECT_EQ(site_.CallMethod(L"WebNew", none, &ready), S_OK);
    EXPECT_EQ(ready.vt, VT_BOOL);
    EXPECT_EQ(ready.boolVal, VARIANT_TRUE);

    std::vector<VARIANT> set{Text(L"AbC+/=\"<>&\u4e2d"), Text(L"omath")};
    EXPECT_EQ(site_.CallMethod(L"SetEQ", set), S_OK);
    for (auto& v : set) ::VariantClear(&v);

    const std::wstring png = TempFile(L"eq.png");
    ::DeleteFileW(png.c_str());
    BSTR code = ::SysAllocString(L"");
    BSTR type = ::SysAllocString(L"");
    std::vector<VARIANT> get(3);
    get[0].vt = VT_BYREF | VT_BSTR;
    get[0].pbstrVal = &code;
    get[1].vt = VT_BYREF | VT_BSTR;
    get[1].pbstrVal = &type;
    get[2] = Text(png.c_str());
    VARIANT error;
    EXPECT_EQ(site_.CallMethod(L"GetEQ", get, &error), S_OK);
    ::VariantClear(&get[2]);
    ASSERT_EQ(error.vt, VT_BSTR);
    EXPECT_EQ(::SysStringLen(error.bstrVal), 0u);
    ::VariantClear(&error);
    EXPECT_EQ(std::wstring(code), L"AbC+/=\"<>&\u4e2d");
    EXPECT_EQ(std::wstring(type), L"omath");
    ::SysFreeString(code);
    ::SysFreeString(type);

    std::ifstream in(png.c_str(), std::ios::binary);
    std::string head(8, '\0');
    in.read(head.data(), 8);
    EXPECT_EQ(head, std::string("\x89PNG\r\n\x1a\n", 8));
    in.close();
    ::DeleteFileW(png.c_str());

    EXPECT_GE(Find("Lang=zh-cn"), 0) << LogText();
    EXPECT_GE(Find("WebNew True"), 0) << LogText();
    EXPECT_GE(Find("SetEQ code=AbC+/=\"<>&\xe4\xb8\xad type=omath"), 0) << LogText();
    EXPECT_GE(Find("GetEQ byref=yes"), 0) << LogText();
}

TEST_F(OleSite, StandinSwitchesChangeItsAnswers) {
    SetSwitch(L"WebNewFalse", 1);
    SetSwitch(L"GetEQError", 1);
    ASSERT_EQ(Create(L"Quorallion.WordEq102"), S_OK);
    std::vector<VARIANT> none;
    VARIANT ready;
    EXPECT_EQ(site_.CallMethod(L"WebNew", none, &ready), S_OK);
    EXPECT_EQ(ready.boolVal, VARIANT_FALSE);

    const std::wstring png = TempFile(L"switch.png");
    for (const bool noFile : {false, true}) {
        if (noFile) {
            SetSwitch(L"GetEQError", 0);
            SetSwitch(L"NoFile", 1);
        }
        ::DeleteFileW(png.c_str());
        std::vector<VARIANT> get{Text(L""), Text(L""), Text(png.c_str())};
        VARIANT error;
        EXPECT_EQ(site_.CallMethod(L"GetEQ", get, &error), S_OK);
        for (auto& v : get) ::VariantClear(&v);
        ASSERT_EQ(error.vt, VT_BSTR);
        EXPECT_EQ(std::wstring(error.bstrVal), noFile ? L"" : L"standin error");
        ::VariantClear(&error);
        EXPECT_EQ(::GetFileAttributesW(png.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(OleSite, ClickRaisesTheEventByNameAndTeardownRunsInOrder) {
    ASSERT_EQ(Create(L"Quorallion.WordEq102"), S_OK);
    Pump(200);
    // The control's marked areas on the screen: green at (10,10)-(110,40), red beside it.
    HDC screen = ::GetDC(nullptr);
    const COLORREF green = ::GetPixel(screen, kX + kControl.left + 50, kY + kControl.top + 25);
    const COLORREF red = ::GetPixel(screen, kX + kControl.left + 160, kY + kControl.top + 25);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(green, RGB(0, 160, 0));
    EXPECT_EQ(red, RGB(200, 0, 0));

    ClickControlAt(160, 25);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0], L"OnMyAction backstage_cancel");

    site_.Destroy();
    const int unadvise = Find("Unadvise"), deactivate = Find("InPlaceDeactivate"), close = Find("Close"),
              noSite = Find("SetClientSite(null)"), destroyed = Find("Destroyed");
    EXPECT_TRUE(unadvise > 0 && unadvise < deactivate && deactivate < close && close < noSite &&
                noSite < destroyed)
        << LogText();
    EXPECT_EQ(::GetWindow(host_, GW_CHILD), nullptr);
}

TEST_F(OleSite, TeardownAskedInsideTheEventRunsAfterTheEventReturns) {
    ASSERT_EQ(Create(L"Quorallion.WordEq102"), S_OK);
    Pump(200);
    destroyInEvent_ = true;
    ClickControlAt(50, 25);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0], L"OnMyAction backstage_ok");
    ASSERT_TRUE(PumpUntil([&] { return Find("Destroyed") >= 0; }, 2000)) << LogText();
    const int fired = Find("Fired OnMyAction backstage_ok"), unadvise = Find("Unadvise"),
              destroyed = Find("Destroyed");
    EXPECT_TRUE(fired > 0 && fired < unadvise && unadvise < destroyed) << LogText();
    EXPECT_FALSE(site_.IsCreated());
    // A second click reaches no control.
    ClickControlAt(50, 25);
    EXPECT_EQ(events_.size(), 1u);
}

}  // namespace
