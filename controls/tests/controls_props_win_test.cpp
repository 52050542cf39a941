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

// A 16 x 16 icon: a colour gradient with a see-through diagonal, as a picture's stored bytes.
std::vector<uint8_t> IconBytes() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t* bits = nullptr;
    HBITMAP colour = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    std::vector<uint8_t> maskBits(16 * 2, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bits[y * 16 + x] = static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16) << 8 | 0x40;
            if (x == y) maskBits[y * 2 + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmColor = colour;
    icon.hbmMask = mask;
    PicturePtr picture = Picture::FromIcon(::CreateIconIndirect(&icon));
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return SavePictureBytes(picture);
}

struct RoundTrip {
    const char* control;
    std::function<std::unique_ptr<Control>()> make;
    std::vector<std::pair<std::wstring, PropertyValue>> stored;    // non-default values
    std::vector<std::pair<std::wstring, PropertyValue>> defaults;  // write defaults: left out
};

}  // namespace

TEST(ControlProperties, RoundTripTable) {
    const std::vector<uint8_t> icon = IconBytes();
    ASSERT_FALSE(icon.empty());
    const std::vector<RoundTrip> cases = {
        {"ucSkinForm", [] { return std::make_unique<ucSkinForm>(); },
         {{L"BtnMaximize", true}, {L"BtnMinimize", true}, {L"BtnClose", false}, {L"Caption", std::wstring(L"标题")},
          {L"Skin", std::wstring(L"Green")}, {L"IconVisible", false}, {L"AllowResizing", true}},
         {{L"BtnMaximize", false}, {L"BtnClose", true}, {L"Caption", std::wstring(L"Caption")},
          {L"Skin", std::wstring(L"Blue")}, {L"IconVisible", true}}},
        {"ucTransPicture", [] { return std::make_unique<ucTransPicture>(); },
         {{L"BackStyle", int64_t{1}}, {L"BorderStyle", int64_t{2}}, {L"StretchMode", int64_t{3}},
          {L"MaskColor", int64_t{0xFF}}, {L"MouseIcon", icon}, {L"MousePointer", int64_t{2}},
          {L"BorderColor", int64_t{0x123456}}},
         {{L"BackStyle", int64_t{0}}, {L"BorderStyle", int64_t{1}}, {L"StretchMode", int64_t{1}},
          {L"MaskColor", int64_t{0xFFFFFF}}, {L"MouseIcon", std::vector<uint8_t>{}},
          {L"BorderColor", int64_t{0xFF00FF}}}},
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
    EXPECT_EQ(picture.MouseIcon(), nullptr);
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

TEST(ControlProperties, MaskedPictureMouseIconIsReadThroughItsSetterAndWrittenInItsPlace) {
    struct Recording : Container {
        using Container::Container;
        std::vector<std::wstring> changes;
        void PropertyChanged(Control&, std::wstring_view name) override { changes.emplace_back(name); }
    };
    HWND window = MakeHidden();
    Recording form(window);
    PropertyBag in;
    in.Set(L"MaskColor", int64_t{0xFF});
    in.Set(L"mouseicon", IconBytes());  // keys match in any case
    in.Set(L"BorderColor", int64_t{0x123456});
    in.Set(L"MousePointer", int64_t{ucTransPicture::kCustomPointer});
    ucTransPicture picture;
    ASSERT_TRUE(picture.Create(form, L"img", 0, 0, 300, 300, &in));
    ASSERT_NE(picture.MouseIcon(), nullptr);
    EXPECT_NE(picture.MouseIcon()->Icon(), nullptr) << "an icon stays an icon";
    EXPECT_EQ(picture.MouseIcon()->Width(), 16);
    EXPECT_EQ(form.changes, std::vector<std::wstring>{L"MouseIcon"}) << "only the setters of the read tell the host";

    PropertyBag out;
    picture.Save(out);
    EXPECT_EQ(out.Order(), (std::vector<std::wstring>{L"MaskColor", L"MouseIcon", L"MousePointer", L"BorderColor"}));

    form.changes.clear();
    picture.SetMouseIcon(nullptr);
    EXPECT_EQ(form.changes, std::vector<std::wstring>{L"MouseIcon"});
    PropertyBag none;
    picture.Save(none);
    EXPECT_FALSE(none.Has(L"MouseIcon")) << "no cursor picture is the default and stays out";
    picture.Destroy();
    ::DestroyWindow(window);
}
