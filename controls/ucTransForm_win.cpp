#include "ucTransForm_win.h"

#include <commctrl.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "win/handles.h"

namespace quorallion::controls {

namespace {
constexpr UINT_PTR kParentHookId = 0x7A45F0;
}

HRGN MaskRegionOf(const Picture& picture, Colour mask, int dx, int dy) {
    const int w = picture.Width(), h = picture.Height();
    if (!picture.Bitmap() || w <= 0 || h <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc || !::GetDIBits(dc.get(), picture.Bitmap(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS))
        return nullptr;
    // A system colour code or any value above 0xFFFFFF matches no pixel.
    const bool anyMask = (mask & 0xFF000000u) == 0;
    const uint32_t key = ((mask & 0xFF) << 16) | (mask & 0xFF00) | ((mask >> 16) & 0xFF);
    std::vector<RECT> runs;
    for (int y = 0; y < h; ++y) {
        int start = -1;
        for (int x = 0; x <= w; ++x) {
            const bool opaque = x < w && (!anyMask || (pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != key);
            if (opaque && start < 0) start = x;
            if (!opaque && start >= 0) {
                runs.push_back(RECT{dx + start, dy + y, dx + x, dy + y + 1});
                start = -1;
            }
        }
    }
    if (runs.empty()) return nullptr;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->rcBound = RECT{dx, dy, dx + w, dy + h};
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

ucTransForm::ucTransForm() = default;

ucTransForm::~ucTransForm() { Destroy(); }

void ucTransForm::InitProperties() {
    autoDrag_ = 2;
    transparent_ = true;
    maskColor_ = 0xC0C0C0;
}

void ucTransForm::ReadProperties(const PropertyBag& bag) {
    autoDrag_ = static_cast<int>(bag.ReadInt(L"AutoDrag", 2));
    transparent_ = bag.ReadBool(L"Transparent", true);
    maskColor_ = static_cast<Colour>(bag.ReadInt(L"MaskColor", 0xC0C0C0));
    if (UserMode() && Parent()) {
        parent_ = Parent()->Window();
        int count = 0;
        for (Control* c : Parent()->Controls()) {
            if (std::wstring_view(c->TypeNameOf()) != L"ucTransForm") continue;
            if (count == 1) {
                Parent()->ShowMessage(L"Only one TransForm control is allowed or needed on a single form.\r\n\r\n"
                                      L"All TransForm functionality will be disabled for this form.",
                                      L"Multiple TransForm Controls", MB_ICONEXCLAMATION | MB_OK);
                inert_ = true;
                break;
            }
            ++count;
        }
        if (parent_ && ::SetWindowSubclass(parent_, &ucTransForm::ParentHook, kParentHookId + reinterpret_cast<UINT_PTR>(this),
                                           reinterpret_cast<DWORD_PTR>(this)))
            hooked_ = true;
    }
    // The control itself stays out of the way of the presses (and out of sight, OnMessage).
    ::EnableWindow(hWnd(), FALSE);
    Rebuild();
}

void ucTransForm::WriteProperties(PropertyBag& bag) const {
    bag.WriteInt(L"AutoDrag", autoDrag_, 2);
    bag.WriteBool(L"Transparent", transparent_, true);
    bag.WriteInt(L"MaskColor", maskColor_, 0xC0C0C0);
}

// At run time the control is never shown: the window's own picture shows where it lies.
bool ucTransForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_WINDOWPOSCHANGING && UserMode()) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
        return false;  // the default handling goes on
    }
    return false;
}

void ucTransForm::OnTerminate() {
    if (hooked_ && parent_)
        ::RemoveWindowSubclass(parent_, &ucTransForm::ParentHook, kParentHookId + reinterpret_cast<UINT_PTR>(this));
    hooked_ = false;
}

void ucTransForm::SetMaskColor(Colour value) {
    maskColor_ = value;
    NotifyChanged(L"MaskColor");
}

void ucTransForm::SetTransparent(bool value) {
    transparent_ = value;
    Rebuild();
    NotifyChanged(L"Transparent");
}

void ucTransForm::SetAutoDrag(int value) {
    autoDrag_ = value;
    NotifyChanged(L"AutoDrag");
}

void ucTransForm::Refresh() { Rebuild(); }

HRGN ucTransForm::RegionFromPicture() const {
    const PicturePtr& picture = Parent()->Picture();
    return picture ? MaskRegionOf(*picture, maskColor_) : nullptr;
}

void ucTransForm::Rebuild() {
    if (!UserMode() || !Parent()) return;
    HWND parent = parent_;
    if (!parent) return;
    const PicturePtr picture = Parent()->Picture();
    auto plain = [&] { ::SetWindowRgn(parent, nullptr, TRUE); };
    if (inert_ || !transparent_ || !picture || !picture->Bitmap()) return plain();
    // The control takes the picture's size.
    const double ux = Parent()->UnitsPerPixelX(), uy = Parent()->UnitsPerPixelY();
    SetSize(picture->Width() * ux, picture->Height() * uy);
    const std::weak_ptr<const char> alive = Lifetime();
    Parent()->DoEvents();
    // A pending message may have unloaded the window, and this control with it.
    if (alive.expired() || !hWnd() || !::IsWindow(parent)) return;
    HRGN region = RegionFromPicture();
    if (!region) return plain();
    // The window's client area takes the picture's size.
    RECT window{}, client{};
    ::GetWindowRect(parent, &window);
    ::GetClientRect(parent, &client);
    const int width = (window.right - window.left) - (client.right - client.left) + picture->Width();
    const int height = (window.bottom - window.top) - (client.bottom - client.top) + picture->Height();
    ::SetWindowPos(parent, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Frame and title bar thickness: the client origin against the window's corner.
    ::GetWindowRect(parent, &window);
    POINT origin{0, 0};
    ::ClientToScreen(parent, &origin);
    ::OffsetRgn(region, origin.x - window.left, origin.y - window.top);
    if (!::SetWindowRgn(parent, region, TRUE)) ::DeleteObject(region);
}

void ucTransForm::Drag(int x, int y) {
    if (inert_ || !(autoDrag_ == 1 || (autoDrag_ == 2 && transparent_))) return;
    HWND parent = parent_;
    ::ReleaseCapture();
    ::SendMessageW(parent, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    if (!::IsWindow(parent)) return;
    ::SetCapture(parent);
    ::PostMessageW(parent, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(x, y));
}

void ucTransForm::PopupSysMenu(UINT flags, std::optional<double> x, std::optional<double> y) {
    if (inert_ || !parent_) return;
    POINT at{};
    if (x || y) {
        const double ux = Parent()->UnitsPerPixelX(), uy = Parent()->UnitsPerPixelY();
        at.x = NearestEven(x.value_or(0) / ux);
        at.y = NearestEven(y.value_or(0) / uy);
        ::ClientToScreen(parent_, &at);
    } else {
        ::GetCursorPos(&at);
    }
    HMENU menu = ::GetSystemMenu(parent_, FALSE);
    if (!menu) return;
    const int command = ::TrackPopupMenu(menu, flags | TPM_RETURNCMD, at.x, at.y, 0, parent_, nullptr);
    if (command) ::PostMessageW(parent_, WM_SYSCOMMAND, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(menu));
}

LRESULT CALLBACK ucTransForm::ParentHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data) {
    auto* self = reinterpret_cast<ucTransForm*>(data);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, &ucTransForm::ParentHook, id);
        self->hooked_ = false;
        self->parent_ = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    // The window's own handlers run first; the drag follows a left press on its own surface.
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) self->Rebuild();
    else if (message == WM_LBUTTONDOWN) self->Drag(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return result;
}

}  // namespace quorallion::controls
