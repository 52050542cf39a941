#include "form/windowless_win.h"

#include "win/handles.h"

namespace quorallion::controls {

void WindowlessItem::AutoSize(HDC dc) {
    if (isLabel) {
        RECT r{0, 0, 0, 0};
        HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (old) ::SelectObject(dc, old);
        SetSize(r.right, r.bottom);
    } else if (picture) {
        SetSize(picture->Width(), picture->Height());
    }
}

void WindowlessLayer::Paint(HDC dc) const {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        const WindowlessItem& item = **it;
        if (!item.visible || item.Width() <= 0 || item.Height() <= 0) continue;
        if (item.isLabel) {
            HGDIOBJ old = item.font ? ::SelectObject(dc, item.font) : nullptr;
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, item.textColour & 0xFFFFFF);
            RECT r = item.rect;
            ::DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
            if (old) ::SelectObject(dc, old);
        } else if (item.picture && item.picture->Bitmap()) {
            win::UniqueMemoryDC source(::CreateCompatibleDC(dc));
            win::SelectGuard select(source.get(), item.picture->Bitmap());
            if (item.stretch) {
                ::SetStretchBltMode(dc, COLORONCOLOR);
                ::StretchBlt(dc, item.rect.left, item.rect.top, item.Width(), item.Height(), source.get(), 0, 0,
                             item.picture->Width(), item.picture->Height(), SRCCOPY);
            } else {
                ::BitBlt(dc, item.rect.left, item.rect.top, item.picture->Width(), item.picture->Height(), source.get(),
                         0, 0, SRCCOPY);
            }
        } else if (item.picture && item.picture->Icon()) {
            ::DrawIconEx(dc, item.rect.left, item.rect.top, item.picture->Icon(), 0, 0, 0, nullptr, DI_NORMAL);
        }
    }
}

WindowlessItem* WindowlessLayer::HitTest(int x, int y) const {
    POINT p{x, y};
    for (WindowlessItem* item : items_)
        if (item->visible && ::PtInRect(&item->rect, p)) return item;
    return nullptr;
}

}  // namespace quorallion::controls
