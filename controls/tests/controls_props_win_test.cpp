// Property round trips of the frame, the masked picture and the form-transparency control: stored
// values come back, defaults are left out of the store, missing keys read as the defaults.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ucSkinForm_win.h"
#include "ucTransForm_win.h"
#include "ucTransPicture_win.h"

using namespace quorallion::controls;

namespace {

HWND MakeHidden() {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ControlsPropsHost";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"ControlsPropsHost", L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 300, 200, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

struct Quiet : Container {
    using Container::Container;
    int ShowMessage(std::wstring_view, std::wstring_view, UINT) override { return IDOK; }
};

struct RoundTrip {
    const char* control;
    std::function<std::unique_ptr<Control>()> make;
    std::vector<std::pair<std::wstring, PropertyValue>> stored;    // non-default values
    std::vector<std::pair<std::wstring, PropertyValue>> defaults;  // write defaults: left out
};

}  // namespace

TEST(ControlProperties, RoundTripTable) {
    const std::vector<RoundTrip> cases = {
        {"ucSkinForm", [] { return std::make_unique<ucSkinForm>(); },
         {{L"BtnMaximize", true}, {L"BtnMinimize", true}, {L"BtnClose", false}, {L"Caption", std::wstring(L"标题")},
          {L"Skin", std::wstring(L"Green")}, {L"IconVisible", false}, {L"AllowResizing", true}},
         {{L"BtnMaximize", false}, {L"BtnClose", true}, {L"Caption", std::wstring(L"Caption")},
          {L"Skin", std::wstring(L"Blue")}, {L"IconVisible", true}}},
        {"ucTransPicture", [] { return std::make_unique<ucTransPicture>(); },
         {{L"BackStyle", int64_t{1}}, {L"BorderStyle", int64_t{2}}, {L"StretchMode", int64_t{3}},
          {L"MaskColor", int64_t{0xFF}}, {L"MousePointer", int64_t{2}}, {L"BorderColor", int64_t{0x123456}}},
         {{L"BackStyle", int64_t{0}}, {L"BorderStyle", int64_t{1}}, {L"StretchMode", int64_t{1}},
          {L"MaskColor", int64_t{0xFFFFFF}}, {L"BorderColor", int64_t{0xFF00FF}}}},
        {"ucTransForm", [] { return std::make_unique<ucTransForm>(); },
         {{L"AutoDrag", int64_t{1}}, {L"Transparent", false}, {L"MaskColor", int64_t{0xFF}}},
         {{L"AutoDrag", int64_t{2}}, {L"Transparent", true}, {L"MaskColor", int64_t{0xC0C0C0}}}},
    };
    HWND window = MakeHidden();
    ASSERT_NE(window, nullptr);
    for (const RoundTrip& c : cases) {
        Quiet form(window);
        PropertyBag in;
        for (const auto& [key, value] : c.stored) in.Set(key, value);
        auto control = c.make();
        ASSERT_TRUE(control->Create(form, L"ctl", 0, 0, 300, 300, &in)) << c.control;
        PropertyBag out;
        control->Save(out);
        for (const auto& [key, value] : c.stored) {
            const PropertyValue* got = out.Find(key);
            ASSERT_NE(got, nullptr) << c.control << " " << std::string(key.begin(), key.end());
            EXPECT_TRUE(*got == value) << c.control << " " << std::string(key.begin(), key.end());
        }
        control->Destroy();

        PropertyBag defaults;
        for (const auto& [key, value] : c.defaults) defaults.Set(key, value);
        auto plain = c.make();
        ASSERT_TRUE(plain->Create(form, L"ctl2", 0, 0, 300, 300, &defaults)) << c.control;
        PropertyBag saved;
        plain->Save(saved);
        for (const auto& [key, value] : c.defaults)
            EXPECT_FALSE(saved.Has(key)) << c.control << " writes its default " << std::string(key.begin(), key.end());
        plain->Destroy();

        // Missing keys and wrong kinds read as the defaults.
        PropertyBag odd;
        for (const auto& [key, value] : c.defaults) odd.Set(key, std::vector<uint8_t>{1, 2, 3});
        auto third = c.make();
        ASSERT_TRUE(third->Create(form, L"ctl3", 0, 0, 300, 300, &odd)) << c.control;
        PropertyBag back;
        third->Save(back);
        for (const auto& [key, value] : c.defaults)
            EXPECT_FALSE(back.Has(key)) << c.control << " " << std::string(key.begin(), key.end());
        third->Destroy();
    }
    ::DestroyWindow(window);
}

TEST(ControlProperties, NewControlsTakeTheirStartingValues) {
    HWND window = MakeHidden();
    Quiet form(window);
    ucTransPicture picture;
    ASSERT_TRUE(picture.Create(form, L"img", 0, 0, 300, 300));
    EXPECT_EQ(picture.BackStyle(), 0);
    EXPECT_EQ(picture.BorderStyle(), 1);
    EXPECT_EQ(picture.StretchMode(), 0);
    picture.SetBorderStyle(3);  // any other value leaves the outline as it was
    EXPECT_EQ(picture.BorderStyle(), 3);
    ucSkinForm frame;
    ASSERT_TRUE(frame.Create(form, L"ucSkinForm1", 0, 0, 300, 300));
    EXPECT_TRUE(frame.BtnClose());
    EXPECT_FALSE(frame.BtnMaximize());
    EXPECT_EQ(frame.Caption(), L"Caption");
    EXPECT_EQ(frame.Skin(), L"Blue");
    ucTransForm shape;
    ASSERT_TRUE(shape.Create(form, L"ucTransForm1", 0, 0, 480, 480));
    EXPECT_EQ(shape.AutoDrag(), 2);
    EXPECT_TRUE(shape.Transparent());
    EXPECT_EQ(shape.MaskColor(), 0xC0C0C0u);
    shape.Destroy();
    frame.Destroy();
    picture.Destroy();
    ::DestroyWindow(window);
}
