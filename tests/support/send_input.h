#pragma once
// The user's mouse and keyboard through SendInput, with a pause after each step so that the
// receiving thread sees every message before the next one.
#include <windows.h>

namespace quorallion::testing {

class UserInput {
public:
    explicit UserInput(DWORD pauseMs = 40) : pause_(pauseMs) {}

    void MoveTo(int x, int y) const {
        const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        // The system takes the pixel as floor(normalized x size / 65536): round up here.
        input.mi.dx = static_cast<LONG>((LONGLONG(x) * 65536 + w - 1) / w);
        input.mi.dy = static_cast<LONG>((LONGLONG(y) * 65536 + h - 1) / h);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        Send(input);
    }
    void LeftDown() const { Mouse(MOUSEEVENTF_LEFTDOWN); }
    void LeftUp() const { Mouse(MOUSEEVENTF_LEFTUP); }
    void RightDown() const { Mouse(MOUSEEVENTF_RIGHTDOWN); }
    void RightUp() const { Mouse(MOUSEEVENTF_RIGHTUP); }

    void Click(int x, int y) const {
        MoveTo(x, y);
        LeftDown();
        LeftUp();
    }
    void RightClick(int x, int y) const {
        MoveTo(x, y);
        RightDown();
        RightUp();
    }
    void DoubleClick(int x, int y) const {
        MoveTo(x, y);
        LeftDown();
        LeftUp();
        LeftDown();
        LeftUp();
    }
    // Press at (x1, y1), move in a few steps to (x2, y2) and release there.
    void Drag(int x1, int y1, int x2, int y2, bool release = true) const {
        MoveTo(x1, y1);
        LeftDown();
        for (int step = 1; step <= 4; ++step)
            MoveTo(x1 + (x2 - x1) * step / 4, y1 + (y2 - y1) * step / 4);
        if (release) LeftUp();
    }

    void Key(WORD vk) const {
        KeyEvent(vk, 0);
        KeyEvent(vk, KEYEVENTF_KEYUP);
    }
    void AltF4() const {
        KeyEvent(VK_MENU, 0);
        KeyEvent(VK_F4, 0);
        KeyEvent(VK_F4, KEYEVENTF_KEYUP);
        KeyEvent(VK_MENU, KEYEVENTF_KEYUP);
    }

private:
    void Mouse(DWORD flags) const {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        Send(input);
    }
    void KeyEvent(WORD vk, DWORD flags) const {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        Send(input);
    }
    void Send(INPUT& input) const {
        ::SendInput(1, &input, sizeof input);
        ::Sleep(pause_);
    }
    DWORD pause_;
};

}  // namespace quorallion::testing
