// A style-5 button under Xvfb driven by SendInput: hover, leave, clicks, a press dragged away,
// the space key, the focus ring and the disabled look, read from the screen.
#include <gtest/gtest.h>

#include "screen_input.h"
#include "ucButton_win.h"

using namespace quorallion::controls;
using namespace quorallion::controls::testing;

namespace {

constexpr int kHostX = 100, kHostY = 100, kLeft = 50, kTop = 50, kW = 81, kH = 25;
constexpr int kX = kHostX + kLeft, kY = kHostY + kTop;  // the button's screen origin

class StyleFiveButton : public ::testing::Test {
protected:
    void SetUp() override {
        MoveTo(5, 5);
        host_ = MakeHostWindow(L"buttons", kHostX, kHostY, 300, 200);
        ASSERT_NE(host_, nullptr);
        form_ = std::make_unique<Container>(host_);  // measured in twips, like a form
        button_ = std::make_unique<ucButton>();
        const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
        ASSERT_TRUE(button_->Create(*form_, L"cmdOk", kLeft * tx, kTop * ty, kW * tx, kH * ty));
        button_->SetStyle(5);
        button_->SetCaption(L"OK");
        button_->SetToolTipText(L"Take the picture");
        button_->Click = [this] { ++clicks_; };
        button_->MouseEnter = [this] { ++enters_; };
        button_->MouseLeave = [this] { ++leaves_; };
        Pump(150);
        ASSERT_EQ(button_->ScaleWidth(), kW);
        ASSERT_EQ(button_->ScaleHeight(), kH);
    }
    void TearDown() override {
        button_.reset();
        form_.reset();
        ::DestroyWindow(host_);
        MoveTo(5, 5);
    }
    // Waits for the leave notice, which Wine sends from a timer about 400 ms later.
    bool WaitForLeave() {
        return PumpUntil([this] { return !button_->PointerOver(); }, 2000);
    }

    HWND host_ = nullptr;
    std::unique_ptr<Container> form_;
    std::unique_ptr<ucButton> button_;
    int clicks_ = 0, enters_ = 0, leaves_ = 0;
};

}  // namespace

TEST_F(StyleFiveButton, HoverLightsTheRingAndLeaveTakesItAway) {
    EXPECT_EQ(ScreenPixel(kX + 40, kY), 0x743C00u) << "border";
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 1), 0xFBFCFCu) << "face at rest";
    MoveTo(kX + 40, kY + 12);
    MoveTo(kX + 41, kY + 12);
    ASSERT_TRUE(PumpUntil([this] { return enters_ == 1; }, 1000));
    EXPECT_EQ(button_->ButtonState(), kStateHot);
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 1), 0xCFF0FFu) << "hot ring";
    EXPECT_EQ(ScreenPixel(kX + 40, kY + kH - 2), 0x1097E5u);
    EXPECT_NE(button_->ToolTipWindow(), nullptr);
    EXPECT_EQ(enters_, 1) << "further moves raise nothing";

    MoveTo(kX + 200, kY + 100);
    ASSERT_TRUE(WaitForLeave());
    Pump(50);
    EXPECT_EQ(leaves_, 1);
    EXPECT_EQ(button_->ButtonState(), kStateNormal);
    EXPECT_EQ(button_->ToolTipWindow(), nullptr);
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 1), 0xFBFCFCu);
    // The window is cut at its corners: the host's white shows there.
    EXPECT_EQ(ScreenPixel(kX, kY), 0xFFFFFFu);
}

TEST_F(StyleFiveButton, ClickRaisesOneClickAndAPressDraggedAwayNone) {
    ClickAt(kX + 40, kY + 12);
    Pump(100);
    EXPECT_EQ(clicks_, 1);

    MoveTo(kX + 30, kY + 10);
    LeftDown();
    EXPECT_EQ(button_->ButtonState(), kStatePressed);
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 1), 0xC1CCD1u) << "pressed face";
    MoveTo(kX + 200, kY + 120);
    ASSERT_TRUE(WaitForLeave());
    LeftUp();
    Pump(100);
    EXPECT_EQ(clicks_, 1) << "a press released outside raises no Click";
}

TEST_F(StyleFiveButton, SpaceClicksAndFocusShowsTheBlueRing) {
    ::SetForegroundWindow(host_);
    ::SetFocus(button_->hWnd());
    Pump(100);
    EXPECT_TRUE(button_->HasFocus());
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 1), 0xFFE7CEu) << "focus ring";
    EXPECT_EQ(ScreenPixel(kX + 40, kY + kH - 2), 0xEE8269u);
    Key(VK_SPACE, false);
    EXPECT_EQ(button_->ButtonState(), kStatePressed);
    Key(VK_SPACE, true);
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(button_->ButtonState(), kStateNormal);
}

TEST_F(StyleFiveButton, DisabledShowsItsLookAndTakesNoClick) {
    button_->SetEnabled(false);
    Pump(50);
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 10), 0xEAF4F5u);
    EXPECT_EQ(ScreenPixel(kX + 40, kY), 0xBAC7C9u);
    ClickAt(kX + 40, kY + 12);
    Pump(100);
    EXPECT_EQ(clicks_, 0);
    button_->SetEnabled(true);
    Pump(50);
    EXPECT_EQ(ScreenPixel(kX + 40, kY + 10) != 0xEAF4F5u, true);
}
