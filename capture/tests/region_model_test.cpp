// The region window's arithmetic: new rectangles, handles, edge and handle drags, moves bounded
// by the screen, and the ways the window ends.
#include <gtest/gtest.h>

#include "region_model.h"

using namespace quorallion::capture;

namespace {

constexpr int kLabelHeight = 13;

RegionSelection Fresh() { return RegionSelection(1280, 800, kLabelHeight); }

// Presses at (x1,y1), moves to (x2,y2) and releases: a selected region.
RegionSelection Selected(int x1, int y1, int x2, int y2) {
    RegionSelection model = Fresh();
    model.ScreenDown(kLeftButton, x1, y1);
    model.ScreenMove(kLeftButton, x2, y2, L"en");
    model.ScreenUp(kLeftButton, x2, y2);
    return model;
}

struct Frame {
    int x1, y1, x2, y2;
};

// The region read back from the edges, as the window does.
Frame FrameOf(const RegionSelection& m) {
    return {m.line[0].left, m.line[0].top, m.line[3].left, m.line[2].top};
}

void ExpectConsistent(const RegionSelection& m, const char* where) {
    SCOPED_TRACE(where);
    const Frame f = FrameOf(m);
    EXPECT_EQ(m.line[0].width, f.x2 - f.x1);
    EXPECT_EQ(m.line[1].height, f.y2 - f.y1);
    EXPECT_EQ(m.line[1].left, f.x1);
    EXPECT_EQ(m.line[2].left, f.x1);
    EXPECT_EQ(m.line[2].width, f.x2 - f.x1);
    EXPECT_EQ(m.line[3].top, f.y1);
    EXPECT_EQ(m.line[3].height, f.y2 - f.y1);
    const int l = f.x1 - 2, r = f.x2 - 2, t = f.y1 - 2, b = f.y2 - 2;
    const int mx = l + (r - l) / 2, my = t + (b - t) / 2;
    const int places[8][2] = {{l, t}, {l, my}, {l, b}, {mx, b}, {r, b}, {r, my}, {r, t}, {mx, t}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m.corner[i].left, places[i][0]) << "handle " << i;
        EXPECT_EQ(m.corner[i].top, places[i][1]) << "handle " << i;
    }
}

}  // namespace

TEST(RegionModel, NewRectangleWhicheverWayThePointerWent) {
    struct Case {
        int fromX, fromY, toX, toY;
        Frame frame;
        const wchar_t* size;
        int labelLeft, labelTop;
    };
    const Case cases[] = {
        {130, 100, 10, 20, {10, 20, 130, 100}, L"120x80", 12, 20 - kLabelHeight - 2},
        {10, 20, 130, 100, {10, 20, 130, 100}, L"120x80", 12, 5},
        {10, 100, 130, 20, {10, 20, 130, 100}, L"120x80", 12, 5},
        {0, 15, 7, 16, {0, 15, 7, 16}, L"7x1", 2, 0},          // exactly room above
        {0, 14, 7, 16, {0, 14, 7, 16}, L"7x2", 2, 16},         // no room: inside, 2 below
        {1279, 799, 0, 0, {0, 0, 1279, 799}, L"1279x799", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY);
        RegionSelection m = Selected(c.fromX, c.fromY, c.toX, c.toY);
        const Frame f = FrameOf(m);
        EXPECT_EQ(f.x1, c.frame.x1);
        EXPECT_EQ(f.y1, c.frame.y1);
        EXPECT_EQ(f.x2, c.frame.x2);
        EXPECT_EQ(f.y2, c.frame.y2);
        ExpectConsistent(m, "after release");
        EXPECT_EQ(m.sizeText, c.size);
        EXPECT_EQ(m.sizeLabel.left, c.labelLeft);
        EXPECT_EQ(m.sizeLabel.top, c.labelTop);
        EXPECT_TRUE(m.isSelected);
        EXPECT_FALSE(m.isDragging);
        EXPECT_EQ(m.selection, (Box{f.x1, f.y1, f.x2 - f.x1, f.y2 - f.y1, true}));
    }
}

TEST(RegionModel, HandlesOfTheEdgeCaseDragSitAtTheIntegerMidpoints) {
    RegionSelection m = Selected(130, 100, 10, 20);
    const int expected[8][2] = {{8, 18}, {8, 58}, {8, 98}, {68, 98}, {128, 98}, {128, 58}, {128, 18}, {68, 18}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m.corner[i], (Box{expected[i][0], expected[i][1], 5, 5, true})) << "handle " << i;
    }
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(m.line[i].visible);
    // An odd size: the middle handles round down.
    RegionSelection odd = Selected(10, 20, 131, 103);
    EXPECT_EQ(odd.corner[7].left, 8 + 121 / 2);
    EXPECT_EQ(odd.corner[1].top, 18 + 83 / 2);
}

TEST(RegionModel, EdgeAndHandleDrags) {
    // From the region (10,20)-(130,100); each drag is one move of (dx, dy) inside the control.
    struct Case {
        bool handle;
        int index, dx, dy;
        Frame after;
        const wchar_t* size;
    };
    const Case cases[] = {
        {false, 0, 0, -5, {10, 15, 130, 100}, L"120x85"},
        {false, 2, 0, 7, {10, 20, 130, 107}, L"120x87"},
        {false, 1, 4, 0, {14, 20, 130, 100}, L"116x80"},
        {false, 3, -30, 0, {10, 20, 100, 100}, L"90x80"},
        {false, 1, 0, 9, {10, 20, 130, 100}, L"120x80"},  // an edge follows one axis only
        {true, 0, -3, -4, {7, 16, 130, 100}, L"123x84"},
        {true, 1, 5, 5, {15, 20, 130, 100}, L"115x80"},
        {true, 2, 1, 2, {11, 20, 130, 102}, L"119x82"},
        {true, 3, 9, 3, {10, 20, 130, 103}, L"120x83"},
        {true, 4, 10, 10, {10, 20, 140, 110}, L"130x90"},
        {true, 5, -10, 6, {10, 20, 120, 100}, L"110x80"},
        {true, 6, 2, 3, {10, 23, 132, 100}, L"122x77"},
        {true, 7, 8, -6, {10, 14, 130, 100}, L"120x86"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.handle ? "handle " : "edge ") << c.index);
        RegionSelection m = Selected(10, 20, 130, 100);
        const FramePart part{c.handle, c.index};
        EXPECT_EQ(m.FrameDown(part, kLeftButton, 0, 0), DragOwner::Frame);
        m.FrameMove(part, kLeftButton, c.dx, c.dy);
        m.FrameUp(part, kLeftButton);
        const Frame f = FrameOf(m);
        EXPECT_EQ(f.x1, c.after.x1);
        EXPECT_EQ(f.y1, c.after.y1);
        EXPECT_EQ(f.x2, c.after.x2);
        EXPECT_EQ(f.y2, c.after.y2);
        EXPECT_EQ(m.sizeText, c.size);
        ExpectConsistent(m, "after release");
        EXPECT_EQ(m.selection, (Box{f.x1, f.y1, f.x2 - f.x1, f.y2 - f.y1, true}));
        EXPECT_TRUE(m.isSelected);
        EXPECT_FALSE(m.isDragging);
    }
}

TEST(RegionModel, LeftEdgeDraggedPastTheRightOneIsSwappedOnRelease) {
    RegionSelection m = Selected(10, 20, 130, 100);
    const FramePart left{false, 1};
    m.FrameDown(left, kLeftButton, 0, 0);
    m.FrameMove(left, kLeftButton, 200, 0);
    // While dragging: the frame lies between the edges, handles 0-2 stay on the dragged edge.
    EXPECT_EQ(m.line[1].left, 210);
    EXPECT_EQ(m.line[0].left, 130);
    EXPECT_EQ(m.line[0].width, 80);
    EXPECT_EQ(m.sizeText, L"80x80");
    EXPECT_EQ(m.sizeLabel.left, 132);
    for (int i : {0, 1, 2}) EXPECT_EQ(m.corner[i].left, 208) << i;
    for (int i : {4, 5, 6}) EXPECT_EQ(m.corner[i].left, 128) << i;
    m.FrameUp(left, kLeftButton);
    EXPECT_EQ(m.line[1].left, 130);
    EXPECT_EQ(m.line[3].left, 210);
    EXPECT_EQ(m.corner[0], (Box{128, 18, 5, 5, true}));
    ExpectConsistent(m, "after release");
    EXPECT_EQ(m.selection, (Box{130, 20, 80, 80, true}));

    // The same on the other axis, by the top handle past the bottom edge.
    const FramePart top{true, 7};
    m.FrameDown(top, kLeftButton, 0, 0);
    m.FrameMove(top, kLeftButton, 0, 100);
    EXPECT_EQ(m.corner[7].top, 118);  // still on the dragged edge, now below
    EXPECT_EQ(m.corner[3].top, 98);
    m.FrameUp(top, kLeftButton);
    EXPECT_EQ(FrameOf(m).y1, 100);
    EXPECT_EQ(FrameOf(m).y2, 120);
    ExpectConsistent(m, "after the vertical swap");
}

TEST(RegionModel, RightClickOnTheFrameAndAPressWithoutMotionChangeNothing) {
    RegionSelection m = Selected(10, 20, 130, 100);
    const RegionSelection before = m;
    EXPECT_EQ(m.FrameDown({true, 4}, kRightButton, 0, 0), DragOwner::None);
    m.FrameMove({true, 4}, kRightButton, 30, 30);
    m.FrameUp({true, 4}, kRightButton);
    EXPECT_EQ(m.line, before.line);
    m.FrameDown({false, 3}, kLeftButton, 0, 0);
    m.FrameMove({false, 3}, kLeftButton, 0, 0);  // a move of 0 is no move
    m.FrameUp({false, 3}, kLeftButton);
    EXPECT_EQ(m.line, before.line);
    EXPECT_EQ(m.corner, before.corner);
    EXPECT_FALSE(m.isDragging);
}

TEST(RegionModel, MovesStopAtTheScreenEdgesAndFollowThePointerBack) {
    RegionSelection m = Selected(10, 20, 130, 100);
    // Positions relative to the move area, which stays put during the drag.
    EXPECT_EQ(m.SelectionDown(kLeftButton, 50, 50), DragOwner::Selection);
    m.SelectionMove(kLeftButton, -100, 50);
    EXPECT_EQ(FrameOf(m).x1, 0) << "stops at x = 0";
    EXPECT_EQ(FrameOf(m).x2, 120);
    m.SelectionMove(kLeftButton, -150, 50);
    EXPECT_EQ(FrameOf(m).x1, 0) << "pushing further changes nothing";
    m.SelectionMove(kLeftButton, -149, 50);
    EXPECT_EQ(FrameOf(m).x1, 1) << "moving back moves at once";
    ExpectConsistent(m, "after moving left");
    EXPECT_EQ(m.selection.left, 10) << "the move area waits for the release";
    m.SelectionUp(kLeftButton);
    EXPECT_EQ(m.selection, (Box{1, 20, 120, 80, true}));

    struct Case {
        int toX, toY;
        Frame after;
    };
    const Case cases[] = {
        {5000, 50, {1280 - 120, 20, 1280, 100}},
        {50, 5000, {1, 800 - 80, 121, 800}},
        {50, -5000, {1, 0, 121, 80}},
        {-5000, -5000, {0, 0, 120, 80}},
        {60, 45, {11, 15, 131, 95}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.toX << "," << c.toY);
        RegionSelection moved = m;
        moved.SelectionDown(kLeftButton, 50, 50);
        moved.SelectionMove(kLeftButton, c.toX, c.toY);
        moved.SelectionUp(kLeftButton);
        const Frame f = FrameOf(moved);
        EXPECT_EQ(f.x1, c.after.x1);
        EXPECT_EQ(f.y1, c.after.y1);
        EXPECT_EQ(f.x2, c.after.x2);
        EXPECT_EQ(f.y2, c.after.y2);
        EXPECT_EQ(moved.sizeLabel.left, f.x1 + 2) << "the label moves with the frame";
        ExpectConsistent(moved, "moved");
    }
}

TEST(RegionModel, WaysTheWindowEnds) {
    {
        RegionSelection m = Fresh();
        EXPECT_EQ(m.ScreenUp(kRightButton, 5, 5), Outcome::Cancel) << "right-up, nothing selected";
        EXPECT_EQ(m.ScreenDblClick(), Outcome::Cancel) << "double-click, nothing selected";
    }
    {
        RegionSelection m = Selected(10, 20, 130, 100);
        EXPECT_EQ(m.ScreenDblClick(), Outcome::Finish);
        EXPECT_EQ(m.SelectionDblClick(), Outcome::Finish);
        const std::optional<Region> region = m.FinishRegion();
        ASSERT_TRUE(region);
        EXPECT_EQ(region->x1, 10);
        EXPECT_EQ(region->y1, 20);
        EXPECT_EQ(region->Width(), 120);
        EXPECT_EQ(region->Height(), 80);
    }
    {
        RegionSelection m = Selected(10, 40, 200, 40);  // a straight horizontal drag
        EXPECT_TRUE(m.isSelected);
        EXPECT_EQ(m.ScreenDblClick(), Outcome::Finish);
        EXPECT_FALSE(m.FinishRegion()) << "zero height: empty, so the window cancels";
    }
    {
        RegionSelection m = Selected(0, 0, 1280, 800);  // the full screen
        ASSERT_TRUE(m.FinishRegion());
        EXPECT_EQ(m.FinishRegion()->Width(), 1280);
        EXPECT_EQ(m.FinishRegion()->Height(), 800);
    }
}

TEST(RegionModel, RightUpWithASelectionResetsItAndShowsTheHintWithItsOldText) {
    RegionSelection m = Selected(10, 20, 130, 100);
    m.ScreenMove(kNoButton, 300, 300, L"zh-tw");
    EXPECT_EQ(m.hintText, L"按兩下左鍵完成截圖\r\n按右鍵重選截圖區域");
    EXPECT_EQ(m.ScreenUp(kRightButton, 400, 410), Outcome::None);
    EXPECT_FALSE(m.isSelected);
    EXPECT_FALSE(m.selection.visible);
    for (const Box& edge : m.line) EXPECT_FALSE(edge.visible);
    for (const Box& handle : m.corner) EXPECT_FALSE(handle.visible);
    EXPECT_EQ(m.hint, (Box{400, 432, 0, 0, true}));
    EXPECT_EQ(m.hintText, L"按兩下左鍵完成截圖\r\n按右鍵重選截圖區域") << "until the next move";
    m.ScreenMove(kNoButton, 401, 410, L"zh-tw");
    EXPECT_EQ(m.hintText, L"按住左鍵不放選擇截圖區域\r\n按右鍵退出");
    // Right-up on the move area removes the selection too.
    RegionSelection other = Selected(10, 20, 130, 100);
    other.SelectionUp(kRightButton);
    EXPECT_FALSE(other.isSelected);
    EXPECT_FALSE(other.selection.visible);
}

TEST(RegionModel, AClickWithoutMotionLeavesAMarkAndAPressOnItStartsANewRectangle) {
    RegionSelection m = Fresh();
    m.ScreenDown(kLeftButton, 200, 150);
    m.ScreenUp(kLeftButton, 200, 150);
    EXPECT_FALSE(m.isSelected);
    EXPECT_FALSE(m.isDragging);
    EXPECT_EQ(m.corner[4], (Box{198, 148, 5, 5, true})) << "the 5 x 5 mark stays";
    m.ScreenMove(kNoButton, 250, 250, L"en");
    EXPECT_EQ(m.hintText, L"left-click and drag to select the region\r\nright-click to cancel");
    EXPECT_EQ(m.ScreenDblClick(), Outcome::Cancel);

    // A press on the mark's handle 0 at (1, 1) inside it starts a rectangle at (199, 149).
    EXPECT_EQ(m.FrameDown({true, 0}, kLeftButton, 1, 1), DragOwner::Screen);
    EXPECT_EQ(m.anchorX, 199);
    EXPECT_EQ(m.anchorY, 149);
    m.ScreenMove(kLeftButton, 260, 200, L"en");
    m.ScreenUp(kLeftButton, 260, 200);
    EXPECT_TRUE(m.isSelected);
    EXPECT_EQ(m.selection, (Box{199, 149, 61, 51, true}));
}

TEST(RegionModel, LeftPressesOutsideTheFrameAreIgnoredOnceSelected) {
    RegionSelection m = Selected(10, 20, 130, 100);
    EXPECT_EQ(m.ScreenDown(kLeftButton, 500, 500), DragOwner::None);
    m.ScreenMove(kLeftButton, 600, 600, L"en");
    EXPECT_EQ(m.ScreenUp(kLeftButton, 600, 600), Outcome::None);
    EXPECT_EQ(FrameOf(m).x1, 10);
    EXPECT_EQ(FrameOf(m).x2, 130);
    EXPECT_TRUE(m.isSelected);
}

TEST(RegionModel, HintTextsByLanguage) {
    EXPECT_EQ(HintText(L"zh-cn", false), L"按住左键不放选择截图区域\r\n按右键退出");
    EXPECT_EQ(HintText(L"zh-cn", true), L"双击左键完成截图\r\n按右键重选截图区域");
    EXPECT_EQ(HintText(L"zh-tw", true), L"按兩下左鍵完成截圖\r\n按右鍵重選截圖區域");
    EXPECT_EQ(HintText(L"ZH-CN", false), L"left-click and drag to select the region\r\nright-click to cancel");
    EXPECT_EQ(HintText(L"en", true), L"double left-click to finish\r\nright-click to cancel");
}
