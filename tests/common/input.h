// Real mouse and keyboard input through SendInput, for the in-process and
// the black-box Windows tests alike. `wait` lets the caller's own loop run
// while the input travels (pumping messages, or just sleeping).
#pragma once
#include <windows.h>

// A left click at a screen point; the pointer moves there first.
inline void SendClick(int x, int y, void (*wait)(DWORD ms))
{
    SetCursorPos(x, y);
    wait(30);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    wait(60);
}

// Presses and releases vk, with Ctrl and/or Alt held around it.
inline void SendKey(WORD vk, bool ctrl, bool alt)
{
    INPUT in[6] = {};
    int n = 0;
    auto key = [&](WORD k, bool up) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = k;
        in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++n;
    };
    if (ctrl) key(VK_CONTROL, false);
    if (alt) key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (alt) key(VK_MENU, true);
    if (ctrl) key(VK_CONTROL, true);
    SendInput(n, in, sizeof(INPUT));
}
