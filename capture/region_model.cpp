#include "region_model.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace quorallion::capture {

std::wstring HintText(const std::wstring& language, bool selected) {
    if (language == L"zh-cn")
        return selected ? L"双击左键完成截图\r\n按右键重选截图区域" : L"按住左键不放选择截图区域\r\n按右键退出";
    if (language == L"zh-tw")
        return selected ? L"按兩下左鍵完成截圖\r\n按右鍵重選截圖區域" : L"按住左鍵不放選擇截圖區域\r\n按右鍵退出";
    return selected ? L"double left-click to finish\r\nright-click to cancel"
                    : L"left-click and drag to select the region\r\nright-click to cancel";
}

RegionSelection::RegionSelection(int screenWidth, int screenHeight, int labelHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight), labelHeight_(labelHeight) {
    for (Box& edge : line) edge.width = edge.height = 1;
    for (Box& handle : corner) handle.width = handle.height = 5;
    ResetSelection();
}

void RegionSelection::ResetSelection() {
    for (Box& edge : line) edge.visible = false;
    for (Box& handle : corner) handle.visible = false;
    selection.visible = false;
    sizeLabel.visible = false;
    isDragging = isSelected = isMoved = false;
}

void RegionSelection::SetSizeText(int width, int height) {
    sizeText = std::to_wstring(width) + L"x" + std::to_wstring(height);
}

void RegionSelection::PlaceSizeLabelTop(int y1) {
    const int above = y1 - labelHeight_ - 2;
    sizeLabel.top = above >= 0 ? above : y1 + 2;
}

DragOwner RegionSelection::ScreenDown(int button, int x, int y) {
    if (button != kLeftButton || isSelected) return DragOwner::None;
    hint.visible = false;
    isDragging = true;
    isMoved = false;
    for (Box& edge : line) edge = Box{x, y, 1, 1, true};
    for (Box& handle : corner) handle = Box{x - 2, y - 2, 5, 5, true};
    sizeText.clear();
    sizeLabel.visible = true;
    anchorX = x;
    anchorY = y;
    return DragOwner::Screen;
}

void RegionSelection::ScreenMove(int buttons, int x, int y, const std::wstring& language) {
    if (!isDragging) {
        hintText = HintText(language, isSelected);
        hint.left = x;
        hint.top = y + 22;
        hint.visible = true;
        return;
    }
    if (!(buttons & kLeftButton) || isSelected) return;
    isMoved = true;
    const int x1 = std::min(x, anchorX), x2 = std::max(x, anchorX);
    const int y1 = std::min(y, anchorY), y2 = std::max(y, anchorY);
    const int w = x2 - x1, h = y2 - y1;
    line[0].left = x1, line[0].top = y1, line[0].width = w;
    line[1].left = x1, line[1].top = y1, line[1].height = h;
    line[2].left = x1, line[2].top = y2, line[2].width = w;
    line[3].left = x2, line[3].top = y1, line[3].height = h;
    PlaceHandles(x1, y1, x2, y2);
    SetSizeText(w, h);
    sizeLabel.left = x1 + 2;
    PlaceSizeLabelTop(y1);
}

Outcome RegionSelection::ScreenUp(int button, int x, int y) {
    if (button == kRightButton) {
        if (!isSelected) return Outcome::Cancel;
        ResetSelection();
        hint.left = x;
        hint.top = y + 22;
        hint.visible = true;  // with the text it had until the next move
        return Outcome::None;
    }
    if (button != kLeftButton || !isDragging || isSelected) return Outcome::None;
    if (!isMoved) {
        isDragging = false;  // a click without motion leaves its mark
        return Outcome::None;
    }
    selection = Box{line[0].left, line[0].top, line[0].width, line[1].height, true};
    isSelected = true;
    isDragging = false;
    return Outcome::None;
}

void RegionSelection::PlaceHandles(int x1, int y1, int x2, int y2) {
    int l = x1 - 2, r = x2 - 2, t = y1 - 2, b = y2 - 2;
    const int mx = l + (r - l) / 2, my = t + (b - t) / 2;
    // While an edge is dragged across the opposite one, its handles stay with it.
    if (line[0].top > line[2].top) std::swap(t, b);
    if (line[1].left > line[3].left) std::swap(l, r);
    const int places[8][2] = {{l, t}, {l, my}, {l, b}, {mx, b}, {r, b}, {r, my}, {r, t}, {mx, t}};
    for (int i = 0; i < 8; ++i) corner[i].left = places[i][0], corner[i].top = places[i][1];
}

DragOwner RegionSelection::FrameDown(FramePart part, int button, int x, int y) {
    if (button != kLeftButton) return DragOwner::None;
    if (!isSelected) {
        const Box& box = part.handle ? corner[part.index] : line[part.index];
        return ScreenDown(button, box.left + x, box.top + y);
    }
    isDragging = true;
    isMoved = false;
    return DragOwner::Frame;
}

void RegionSelection::FrameMove(FramePart part, int buttons, int x, int y) {
    hint.visible = false;
    if (!(buttons & kLeftButton) || !isDragging) return;
    if (!part.handle) {
        if (part.index == 0 || part.index == 2)
            MoveHorizontalEdge(part.index, y);
        else
            MoveVerticalEdge(part.index, x);
        return;
    }
    switch (part.index) {
    case 0: MoveVerticalEdge(1, x), MoveHorizontalEdge(0, y); break;
    case 1: MoveVerticalEdge(1, x); break;
    case 2: MoveVerticalEdge(1, x), MoveHorizontalEdge(2, y); break;
    case 3: MoveHorizontalEdge(2, y); break;
    case 4: MoveVerticalEdge(3, x), MoveHorizontalEdge(2, y); break;
    case 5: MoveVerticalEdge(3, x); break;
    case 6: MoveVerticalEdge(3, x), MoveHorizontalEdge(0, y); break;
    case 7: MoveHorizontalEdge(0, y); break;
    default: break;
    }
}

void RegionSelection::MoveVerticalEdge(int index, int dx) {
    if (dx == 0) return;
    isMoved = true;
    line[index].left += dx;
    const int x1 = std::min(line[1].left, line[3].left), x2 = std::max(line[1].left, line[3].left);
    const int w = x2 - x1;
    line[0].left = x1, line[0].width = w;
    line[2].left = x1, line[2].width = w;
    SetSizeText(w, line[1].height);
    sizeLabel.left = x1 + 2;
    const int y1 = std::min(line[0].top, line[2].top), y2 = std::max(line[0].top, line[2].top);
    PlaceHandles(x1, y1, x2, y2);
}

void RegionSelection::MoveHorizontalEdge(int index, int dy) {
    if (dy == 0) return;
    isMoved = true;
    line[index].top += dy;
    const int y1 = std::min(line[0].top, line[2].top), y2 = std::max(line[0].top, line[2].top);
    const int h = y2 - y1;
    line[1].top = y1, line[1].height = h;
    line[3].top = y1, line[3].height = h;
    SetSizeText(line[0].width, h);
    PlaceSizeLabelTop(y1);
    const int x1 = std::min(line[1].left, line[3].left), x2 = std::max(line[1].left, line[3].left);
    PlaceHandles(x1, y1, x2, y2);
}

void RegionSelection::EndFrameDrag(int button) {
    if (button != kLeftButton || !isDragging) return;
    if (!isMoved) {
        isDragging = false;
        return;
    }
    int x1 = line[1].left, x2 = line[3].left, y1 = line[0].top, y2 = line[2].top;
    if (x1 > x2) {
        std::swap(x1, x2);
        line[1].left = x1;
        line[3].left = x2;
        for (int i : {0, 1, 2}) corner[i].left = x1 - 2;
        for (int i : {4, 5, 6}) corner[i].left = x2 - 2;
    }
    if (y1 > y2) {
        std::swap(y1, y2);
        line[0].top = y1;
        line[2].top = y2;
        for (int i : {0, 6, 7}) corner[i].top = y1 - 2;
        for (int i : {2, 3, 4}) corner[i].top = y2 - 2;
    }
    selection.left = x1, selection.top = y1;
    selection.width = x2 - x1, selection.height = y2 - y1;
    isDragging = isMoved = false;
}

DragOwner RegionSelection::SelectionDown(int button, int x, int y) {
    if (button != kLeftButton) return DragOwner::None;
    isDragging = true;
    isMoved = false;
    anchorX = x;
    anchorY = y;
    return DragOwner::Selection;
}

void RegionSelection::SelectionMove(int buttons, int x, int y) {
    hint.visible = false;
    if (!(buttons & kLeftButton) || !isDragging) return;
    isMoved = true;
    int dx = x - anchorX;
    if (dx <= 0 && line[1].left + dx < 0) dx = -line[1].left;
    if (dx > 0 && line[3].left + dx > screenWidth_) dx = screenWidth_ - line[3].left;
    int dy = y - anchorY;
    if (dy <= 0 && line[0].top + dy < 0) dy = -line[0].top;
    if (dy > 0 && line[2].top + dy > screenHeight_) dy = screenHeight_ - line[2].top;
    sizeLabel.left += dx, sizeLabel.top += dy;
    for (Box& edge : line) edge.left += dx, edge.top += dy;
    for (Box& handle : corner) handle.left += dx, handle.top += dy;
    anchorX = x;  // the pointer, not the region: moving back moves at once
    anchorY = y;
}

void RegionSelection::SelectionUp(int button) {
    if (button == kRightButton) {
        ResetSelection();
        return;
    }
    if (button != kLeftButton || !isDragging) return;
    isDragging = false;
    if (isMoved) selection.left = line[0].left, selection.top = line[0].top;
}

std::optional<Region> RegionSelection::FinishRegion() const {
    Region region{line[0].left, line[0].top, line[3].left, line[2].top};
    if (region.x1 == region.x2 || region.y1 == region.y2) return std::nullopt;
    if (region.x1 > region.x2) std::swap(region.x1, region.x2);
    if (region.y1 > region.y2) std::swap(region.y1, region.y2);
    return region;
}

}  // namespace quorallion::capture
