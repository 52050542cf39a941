#pragma once
// The region selection window's state and arithmetic, free of any window: the four edges, the
// eight handles, the move area, the size label and the hint, in screen pixels. The window
// (frmCaptureRectangle) feeds it the mouse events of its controls and mirrors the boxes into
// child windows; everything it decides is here, so it is tested natively.
#include <array>
#include <optional>
#include <string>

namespace quorallion::capture {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = false;

    bool operator==(const Box&) const = default;
};

// Mouse buttons as the events name them; a move gives the buttons held, as a mask.
enum MouseButton : int { kNoButton = 0, kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// How the window ends.
enum class Outcome { None, Finish, Cancel };

// The control that follows a drag begun by a press.
enum class DragOwner { None, Screen, Frame, Selection };

// A frame control: an edge (0 top, 1 left, 2 bottom, 3 right) or a handle (0-7, counter-clockwise
// from the top-left corner).
struct FramePart {
    bool handle = false;
    int index = 0;
};

// The region to copy, right and bottom exclusive.
struct Region {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int Width() const { return x2 - x1; }
    int Height() const { return y2 - y1; }
};

// The two hint lines (joined by CR LF) by language and selection; languages other than exactly
// "zh-cn" and "zh-tw" give English.
std::wstring HintText(const std::wstring& language, bool selected);

class RegionSelection {
public:
    // The screen's size in pixels bounds moves; labelHeight is the size label's height (one line
    // of its font), which places it above or below the top edge.
    RegionSelection(int screenWidth, int screenHeight, int labelHeight);

    std::array<Box, 4> line;    // picLine(0..3): 1 pixel thick
    std::array<Box, 8> corner;  // picCorner(0..7): 5 x 5
    Box selection;              // imgSelection, the move area
    Box sizeLabel;              // lblSize: only left, top and visibility; its text below
    std::wstring sizeText = L"0x0";
    Box hint;                   // lblAlt: only left, top and visibility
    std::wstring hintText;

    bool isDragging = false;
    bool isSelected = false;
    bool isMoved = false;
    int anchorX = 0;
    int anchorY = 0;

    void ResetSelection();

    // The screen picture. Positions are screen pixels.
    DragOwner ScreenDown(int button, int x, int y);
    void ScreenMove(int buttons, int x, int y, const std::wstring& language);
    Outcome ScreenUp(int button, int x, int y);
    Outcome ScreenDblClick() const { return isSelected ? Outcome::Finish : Outcome::Cancel; }

    // An edge or handle; positions relative to the control. A left press on the mark that a click
    // without motion leaves (nothing selected) starts a new rectangle there instead of a resize.
    DragOwner FrameDown(FramePart part, int button, int x, int y);
    void FrameMove(FramePart part, int buttons, int x, int y);
    void FrameUp(FramePart, int button) { EndFrameDrag(button); }

    // The move area; positions relative to it, in whole pixels.
    DragOwner SelectionDown(int button, int x, int y);
    void SelectionMove(int buttons, int x, int y);
    void SelectionUp(int button);
    Outcome SelectionDblClick() const { return Outcome::Finish; }

    void SizeLabelMove() { hint.visible = false; }

    // The region read back from the edges at finish; nothing when it is empty.
    std::optional<Region> FinishRegion() const;

    void MoveVerticalEdge(int index, int dx);
    void MoveHorizontalEdge(int index, int dy);
    void EndFrameDrag(int button);
    void PlaceHandles(int x1, int y1, int x2, int y2);

private:
    void SetSizeText(int width, int height);
    void PlaceSizeLabelTop(int y1);

    int screenWidth_;
    int screenHeight_;
    int labelHeight_;
};

}  // namespace quorallion::capture
