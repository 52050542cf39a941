#pragma once
// Windowless labels and images: drawn by the window that holds them, below its child windows, in
// their stacking order, and hit by the mouse topmost first. An image may be stretched or drawn at
// its natural size, or have no picture at all (an invisible area that still takes the mouse).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "colour_math.h"
#include "form/picture_win.h"

namespace quorallion::controls {

struct WindowlessItem {
    std::wstring name;
    RECT rect{};  // pixels of the holding window
    bool visible = true;
    // Image: picture (may be empty), stretched to rect or drawn at its own size.
    PicturePtr picture;
    bool stretch = false;
    // Label: text drawn in font and colour, transparent background.
    bool isLabel = false;
    std::wstring text;
    HFONT font = nullptr;
    Colour textColour = 0;
    HCURSOR cursor = nullptr;  // nullptr: the holder's own
    // Mouse: button (1 left, 2 right, 4 middle; for moves the buttons held), shift, x, y.
    std::function<void(int, int, int, int)> mouseDown;
    std::function<void(int, int, int, int)> mouseMove;
    std::function<void()> dblClick;

    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    void Move(int left, int top) { OffsetRect(&rect, left - rect.left, top - rect.top); }
    void SetSize(int width, int height) {
        rect.right = rect.left + (width < 0 ? 0 : width);
        rect.bottom = rect.top + (height < 0 ? 0 : height);
    }
    // A picture's or a label's own size (labels measure their text on dc).
    void AutoSize(HDC dc);
};

// Items listed from the top of the stacking order to the bottom.
class WindowlessLayer {
public:
    void Add(WindowlessItem* item) { items_.push_back(item); }
    void Paint(HDC dc) const;
    WindowlessItem* HitTest(int x, int y) const;

private:
    std::vector<WindowlessItem*> items_;
};

}  // namespace quorallion::controls
