// ucButton's persisted properties: a new control's bag, stored bags read back, keys in any case,
// wrong kinds, sizes from 0 and huge captions; the redraw into the control's own window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ucButton_win.h"

#include <commctrl.h>

using namespace quorallion::controls;

namespace {

class HostWindow {
public:
    HostWindow() {
        static ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ButtonPropsHost";
            return ::RegisterClassW(&wc);
        }();
        (void)atom;
        window_ = ::CreateWindowExW(0, L"ButtonPropsHost", L"host", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

struct RecordingContainer : Container {
    using Container::Container;
    std::vector<std::wstring> changes;
    void PropertyChanged(Control&, std::wstring_view name) override { changes.emplace_back(name); }
};

Colour Sys(int index) { return ::GetSysColor(index) & 0xFFFFFF; }

}  // namespace

TEST(ButtonProperties, NewControlWritesItsStartingValues) {
    HostWindow host;
    RecordingContainer form(host.get());
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmdOk", 0, 0, 81 * 15, 25 * 15));
    EXPECT_EQ(button.Caption(), L"cmdOk");
    EXPECT_EQ(button.Style(), 0);
    EXPECT_EQ(button.BackColor(), Sys(15));
    PropertyBag bag;
    button.Save(bag);
    // Keys that differ from their write defaults are present, the others left out.
    EXPECT_EQ(bag.ReadInt(L"Style", 3), 0);
    EXPECT_TRUE(bag.Has(L"Style"));
    EXPECT_TRUE(bag.Has(L"iNonThemeStyle"));
    EXPECT_FALSE(bag.Has(L"Enabled"));
    EXPECT_FALSE(bag.Has(L"IconSize"));
    EXPECT_TRUE(bag.Has(L"Icon"));
    EXPECT_TRUE(bag.Has(L"ToolTipTitle"));
    EXPECT_TRUE(bag.Has(L"ToolTipType"));
    // A new control has both tooltip colours 0: ttForeColor is written when the tooltip
    // background colour is not 0, ttBackColor left out when the tooltip-text colour is 0, and
    // read back as system colour 23.
    EXPECT_EQ(button.ToolTipForeColor(), Sys(24) != 0 ? 0u : SystemColour(24));
    EXPECT_EQ(button.ToolTipBackColor(), Sys(23) != 0 ? 0u : SystemColour(23));
    EXPECT_TRUE(bag.Has(L"MaskColor"));  // 0 against the default silver
    EXPECT_TRUE(bag.Has(L"RoundedBordersByTheme"));
    EXPECT_FALSE(bag.Has(L"bRTLText"));
    // The order of writing.
    const auto& order = bag.Order();
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], L"Icon");
    EXPECT_EQ(order[1], L"Style");
    EXPECT_EQ(order[2], L"Caption");
}

TEST(ButtonProperties, StoredBagsReadBackWithDefaultsAndAnyCase) {
    HostWindow host;
    Container form(host.get());
    PropertyBag bag;
    bag.Set(L"style", int64_t{5});
    bag.Set(L"CAPTION", std::wstring(L"确定"));
    bag.Set(L"tooltiptitle", std::wstring(L"Title"));
    bag.Set(L"bRTLText", int64_t{3});
    bag.Set(L"IconSize", std::wstring(L"not a number"));
    bag.Set(L"Enabled", std::wstring(L"yes"));
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmdX", 0, 0, 81 * 15, 25 * 15, &bag));
    EXPECT_EQ(button.Style(), 5);
    EXPECT_EQ(button.Caption(), L"确定");
    EXPECT_EQ(button.ToolTipTitle(), L"Title");
    EXPECT_TRUE(button.RightToLeft());
    EXPECT_EQ(button.IconSize(), 16);
    EXPECT_TRUE(button.Enabled());
    // Missing tooltip colours: ttBackColor from system colour 23, ttForeColor from 24.
    EXPECT_EQ(button.ToolTipBackColor(), SystemColour(23));
    EXPECT_EQ(button.ToolTipForeColor(), SystemColour(24));
    EXPECT_EQ(button.MaskColor(), 0xC0C0C0u);
    EXPECT_TRUE(button.RoundedBordersByTheme());
    // Hooked at loading.
    EXPECT_TRUE(button.Hook().IsHooked(button.hWnd()));

    // Round trip: what one control writes, another reads to the same values.
    button.SetBackColor(0x336699);
    button.SetUseCustomColors(true);
    button.SetCaptionAlign(2);
    button.SetToolTipText(L"tip");
    PropertyBag saved;
    button.Save(saved);
    EXPECT_TRUE(saved.Has(L"ToolTipTitle"));
    ucButton copy;
    ASSERT_TRUE(copy.Create(form, L"cmdY", 0, 0, 81 * 15, 25 * 15, &saved));
    EXPECT_EQ(copy.Style(), 5);
    EXPECT_EQ(copy.BackColor(), 0x336699u);
    EXPECT_TRUE(copy.UseCustomColors());
    EXPECT_EQ(copy.CaptionAlign(), 2);
    EXPECT_EQ(copy.Caption(), L"确定");
    EXPECT_EQ(copy.ToolTipText(), L"tip");
    EXPECT_EQ(copy.ToolTipTitle(), L"Title");
    EXPECT_TRUE(copy.RightToLeft());
}

TEST(ButtonProperties, SetsNotifyUnderTheirNames) {
    HostWindow host;
    RecordingContainer form(host.get());
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmd", 0, 0, 81 * 15, 25 * 15));
    form.changes.clear();
    button.SetToolTipTitle(L"t");
    button.SetToolTipIcon(1);
    button.SetRightToLeft(false);
    button.SetEnabled(false);
    button.SetPointer(2);
    EXPECT_EQ(form.changes, (std::vector<std::wstring>{L"TooltipTitle", L"TooltipIcon", L"bRTLText", L"Enabled",
                                                       L"MousePointer"}));
    EXPECT_EQ(button.ButtonState(), kStateDisabled);  // the redraw settles a disabled button
}

TEST(ButtonProperties, SmallSizesAndHugeCaptionsAreSafe) {
    HostWindow host;
    Container form(host.get());
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmd", 0, 0, 0, 0));
    // Enlarged to 300 x 300 container units (twips).
    EXPECT_GE(button.Width(), 299);
    EXPECT_GE(button.Height(), 299);
    button.SetCaption(std::wstring(200000, L'W'));
    for (int style = 0; style <= 12; ++style) button.SetStyle(style);
    button.SetCaptionAlign(9);
    EXPECT_EQ(button.CaptionRect(), (IntRect{4, 4, button.ScaleWidth() - 4, button.ScaleHeight() - 4}));
    Container pixels(host.get(), Container::Units::Pixels);
    ucButton big;
    ASSERT_TRUE(big.Create(pixels, L"big", 0, 0, 5, 5));
    EXPECT_EQ(big.ScaleWidth(), 300);  // 300 pixels on a container measured in pixels
}

TEST(ButtonProperties, CaptionAlignSevenKeepsTheFlags) {
    HostWindow host;
    Container form(host.get());
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmd", 0, 0, 81 * 15, 25 * 15));
    button.SetCaptionAlign(1);
    EXPECT_EQ(button.CaptionFormat(), 20u);
    button.SetCaptionAlign(7);
    EXPECT_EQ(button.CaptionFormat(), 20u);
    EXPECT_EQ(button.CaptionRect(), (IntRect{4, 4, 77, 21}));
}

namespace {
// Tooltip windows of this thread (the other tests' are gone by now).
int CountToolTipsOf(HWND owner) {
    struct Count {
        HWND owner;
        int n;
    } count{owner, 0};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<Count*>(data);
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (std::wstring(name) == L"tooltips_class32") ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}
}  // namespace

TEST(ButtonProperties, SettingToolTipTextReplacesTheTooltipWindow) {
    HostWindow host;
    Container form(host.get());
    ucButton button;
    ASSERT_TRUE(button.Create(form, L"cmd", 0, 0, 81 * 15, 25 * 15));
    button.SetToolTipText(L"first");
    HWND first = button.ToolTipWindow();
    ASSERT_NE(first, nullptr);
    button.SetToolTipText(L"second");
    EXPECT_FALSE(::IsWindow(first)) << "the earlier tooltip window is destroyed first";
    EXPECT_EQ(CountToolTipsOf(button.hWnd()), 1);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    wchar_t text[80] = {};
    tool.lpszText = text;
    tool.hwnd = button.hWnd();
    ::SendMessageW(button.ToolTipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"second");
    button.SetEnabled(false);
    button.SetToolTipText(L"third");
    EXPECT_EQ(button.ToolTipWindow(), nullptr) << "a disabled button makes no tooltip";
    EXPECT_EQ(CountToolTipsOf(button.hWnd()), 0);
}
