// The hand-back form: each timer reports its text once per enabling, from the message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "frmHidden.h"
#include "process_state.h"

using quorallion::frmHidden;
using quorallion::Process;

namespace {

void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

struct TimerCase {
    const char* name;
    std::wstring* text;
    void (frmHidden::*enable)(bool);
    bool (frmHidden::*enabled)() const;
};

std::vector<TimerCase> Timers() {
    auto& p = Process();
    return {{"CaptureTimer", &p.captureResult, &frmHidden::SetCaptureTimerEnabled, &frmHidden::CaptureTimerEnabled},
            {"ShowEQTimer", &p.showEQResult, &frmHidden::SetShowEQTimerEnabled, &frmHidden::ShowEQTimerEnabled},
            {"ShowWordEqTimer", &p.wordEqResult, &frmHidden::SetShowWordEqTimerEnabled,
             &frmHidden::ShowWordEqTimerEnabled}};
}

void ClearTexts() {
    for (const TimerCase& t : Timers()) t.text->clear();
}

}  // namespace

TEST(frmHidden, EachTimerReportsItsOwnTextOncePerEnabling) {
    for (const TimerCase& t : Timers()) {
        SCOPED_TRACE(t.name);
        ClearTexts();
        frmHidden form;
        int raised = 0;
        form.CaptureReturn = [&] { ++raised; };
        EXPECT_FALSE(form.Loaded());
        (form.*t.enable)(true);
        EXPECT_TRUE(form.Loaded());
        // The other texts do not concern this timer.
        for (const TimerCase& other : Timers())
            if (other.text != t.text) *other.text = L"ok";
        PumpFor(350);
        EXPECT_EQ(raised, 0);
        *t.text = L"ok";
        const DWORD set = ::GetTickCount();
        while (raised == 0 && ::GetTickCount() - set < 2000) PumpFor(5);
        EXPECT_EQ(raised, 1);
        EXPECT_LE(::GetTickCount() - set, 400u) << "within a tick or two";
        EXPECT_FALSE((form.*t.enabled)()) << "stopped before raising";
        PumpFor(350);
        EXPECT_EQ(raised, 1) << "one enabling, one event, although the text stays set";
        EXPECT_EQ(*t.text, L"ok") << "the form neither copies nor clears the text";
        (form.*t.enable)(true);  // again with the text still set: reported at the next tick
        PumpFor(300);
        EXPECT_EQ(raised, 2);
    }
    ClearTexts();
}

TEST(frmHidden, ATextSetAndEmptiedBetweenTicksIsNeverReported) {
    ClearTexts();
    frmHidden form;
    int raised = 0;
    form.CaptureReturn = [&] { ++raised; };
    form.SetCaptureTimerEnabled(true);
    for (int i = 0; i < 10; ++i) {  // set and cleared again without the loop running between
        Process().captureResult = L"cancel";
        Process().captureResult.clear();
        PumpFor(30);
    }
    EXPECT_EQ(raised, 0);
    EXPECT_TRUE(form.CaptureTimerEnabled());
}

TEST(frmHidden, TimersNeverEnabledRaiseNothing) {
    for (const TimerCase& t : Timers()) *t.text = L"ok";
    frmHidden form;
    int raised = 0;
    form.CaptureReturn = [&] { ++raised; };
    PumpFor(300);
    EXPECT_EQ(raised, 0);
    EXPECT_FALSE(form.Loaded()) << "nothing touched a timer";
    // Unloading stops a running timer.
    form.SetShowWordEqTimerEnabled(false);
    EXPECT_TRUE(form.Loaded());
    Process().wordEqResult.clear();
    form.SetShowWordEqTimerEnabled(true);
    form.Unload();
    Process().wordEqResult = L"ok";
    PumpFor(300);
    EXPECT_EQ(raised, 0);
    ClearTexts();
}

TEST(frmHidden, TheHandlerMayDestroyTheForm) {
    ClearTexts();
    auto form = std::make_unique<frmHidden>();
    int raised = 0;
    form->CaptureReturn = [&] {
        ++raised;
        form.reset();  // the owner goes, and the form with it, inside its own tick
    };
    Process().captureResult = L"ok";
    form->SetCaptureTimerEnabled(true);
    PumpFor(400);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(form, nullptr);
    ClearTexts();
}

TEST(frmHidden, TwoFormsWatchingOneTextAreBothTold) {
    ClearTexts();
    frmHidden first, second;
    int a = 0, b = 0;
    first.CaptureReturn = [&] { ++a; };
    second.CaptureReturn = [&] { ++b; };
    first.SetCaptureTimerEnabled(true);
    second.SetCaptureTimerEnabled(true);
    Process().captureResult = L"cancel";
    PumpFor(400);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    ClearTexts();
}
