// A style-5 button under Xvfb driven by SendInput: hover, leave, clicks, a press dragged away,
// the space key, the focus ring and the disabled look, read from the screen.
#include <gtest/gtest.h>

#include <vector>

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

namespace {

Colour Sys(int index) { return ::GetSysColor(index) & 0xFFFFFF; }

struct Probe {
    int x, y;  // negative: from the right / bottom (-1 is W-1)
    Colour expected;
    const char* what;
};

}  // namespace

// Styles 0 to 4 and 6, which the redraw paints itself, read from the screen: the background, the
// edge of each kind and style 0's black frame. Custom colours keep the face apart from the
// system's button face.
TEST(ButtonFaces, StylesZeroToSixShowTheirBackgroundsEdgesAndFrames) {
    constexpr Colour kBack = 0x336699, kHighlight = 0x40C020;
    // LightenColor per channel: min(255, ((255 - amount) * c) \ 255 + amount).
    constexpr Colour kBackLightened32 = Rgb(165, 121, 76), kHighlightLightened176 = Rgb(185, 235, 195);
    enum class Look { Normal, Hot, Disabled };
    struct Case {
        const char* what;
        int style;
        Look look;
        bool isDefault;
        int styleBefore;  // painted first (its background stays), or -1
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"0 normal: raised edge on BackColor", 0, Look::Normal, false, -1,
         {{40, 0, Sys(COLOR_3DLIGHT), "outer top"}, {-1, 12, Sys(COLOR_3DDKSHADOW), "outer right"},
          {40, 1, Sys(COLOR_BTNHIGHLIGHT), "inner top"}, {40, -2, Sys(COLOR_BTNSHADOW), "inner bottom"},
          {6, 12, kBack, "background"}}},
        {"0 default without focus: black frame over the edge", 0, Look::Normal, true, -1,
         {{40, 0, 0, "top"}, {0, 12, 0, "left"}, {-1, 12, 0, "right"}, {40, -1, 0, "bottom"},
          {40, 1, Sys(COLOR_BTNHIGHLIGHT), "inner top"}, {6, 12, kBack, "background"}}},
        {"0 hot: HighlightColor", 0, Look::Hot, false, -1,
         {{40, 0, Sys(COLOR_3DLIGHT), "outer top"}, {6, 12, kHighlight, "background"}}},
        {"1 normal: raised inner edge", 1, Look::Normal, false, -1,
         {{40, 0, Sys(COLOR_BTNHIGHLIGHT), "top"}, {0, 12, Sys(COLOR_BTNHIGHLIGHT), "left"},
          {40, -1, Sys(COLOR_BTNSHADOW), "bottom"}, {40, 1, kBack, "inside the edge"}, {6, 12, kBack, "background"}}},
        {"1 disabled: no edge", 1, Look::Disabled, false, -1,
         {{40, 0, kBack, "top"}, {-1, 12, kBack, "right"}, {6, 12, kBack, "background"}}},
        {"2 normal: no edge", 2, Look::Normal, false, -1,
         {{40, 0, kBack, "top"}, {0, 12, kBack, "left"}, {40, -1, kBack, "bottom"}, {6, 12, kBack, "background"}}},
        {"2 hot: raised inner edge on HighlightColor", 2, Look::Hot, false, -1,
         {{40, 0, Sys(COLOR_BTNHIGHLIGHT), "top"}, {40, -1, Sys(COLOR_BTNSHADOW), "bottom"},
          {6, 12, kHighlight, "background"}}},
        {"3 normal: etched frame", 3, Look::Normal, false, -1,
         {{40, 0, Sys(COLOR_BTNSHADOW), "shadow top"}, {0, 12, Sys(COLOR_BTNSHADOW), "shadow left"},
          {-2, 12, Sys(COLOR_BTNSHADOW), "shadow right"}, {40, 1, Sys(COLOR_WINDOW), "light top"},
          {-1, 12, Sys(COLOR_WINDOW), "light right"}, {40, -1, Sys(COLOR_WINDOW), "light bottom"},
          {-1, 0, kBack, "top-right corner"}, {0, -1, kBack, "bottom-left corner"}, {6, 12, kBack, "face"}}},
        {"4 normal: BackColor lightened by 32, edge to edge", 4, Look::Normal, false, -1,
         {{0, 0, kBackLightened32, "corner"}, {-1, -1, kBackLightened32, "corner"}, {6, 12, kBackLightened32, "face"}}},
        {"4 hot: HighlightColor frame around it lightened by 176", 4, Look::Hot, false, -1,
         {{40, 0, kHighlight, "top"}, {-1, 12, kHighlight, "right"}, {40, -1, kHighlight, "bottom"},
          {6, 12, kHighlightLightened176, "face"}}},
        {"6: no face, the background left by style 3", 6, Look::Normal, false, 3,
         {{0, 0, kBack, "corner"}, {40, 0, kBack, "top"}, {-1, 12, kBack, "right"}, {40, -1, kBack, "bottom"},
          {6, 12, kBack, "middle"}}},
    };
    MoveTo(5, 5);
    HWND host = MakeHostWindow(L"faces", kHostX, kHostY, 300, 200);
    ASSERT_NE(host, nullptr);
    const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Container form(host);
        ucButton button;
        ASSERT_TRUE(button.Create(form, L"cmd", kLeft * tx, kTop * ty, kW * tx, kH * ty));
        button.SetCaption(L"");
        button.SetUseCustomColors(true);
        button.SetBackColor(kBack);
        button.SetHighlightColor(kHighlight);
        if (c.isDefault) form.SetDefaultControl(&button);
        if (c.styleBefore >= 0) {
            button.SetStyle(c.styleBefore);
            Pump(30);
        }
        button.SetStyle(c.style);
        if (c.look == Look::Hot) {
            MoveTo(kX + 40, kY + 12);
            MoveTo(kX + 41, kY + 12);
            ASSERT_TRUE(PumpUntil([&] { return button.ButtonState() == kStateHot; }, 1000));
        } else if (c.look == Look::Disabled) {
            button.SetEnabled(false);
        }
        Pump(80);
        for (const Probe& p : c.probes) {
            const int x = p.x < 0 ? kW + p.x : p.x, y = p.y < 0 ? kH + p.y : p.y;
            const Colour got = ScreenPixel(kX + x, kY + y);
            EXPECT_EQ(got, p.expected) << p.what << " at (" << x << ", " << y << "): got " << std::hex << got;
        }
        if (c.look == Look::Hot) {
            MoveTo(5, 5);
            PumpUntil([&] { return !button.PointerOver(); }, 2000);
        }
        form.SetDefaultControl(nullptr);
        button.Destroy();
    }
    ::DestroyWindow(host);
}
