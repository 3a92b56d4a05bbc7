// Real mouse and keyboard input through SendInput, for the in-process and
// the black-box Windows tests alike. `wait` lets the caller's own loop run
// while the input travels (pumping messages, or just sleeping).
#pragma once
#include <windows.h>

// A left click at a screen point; the pointer moves there first.
inline void SendClick(int x, int y, void (*wait)(DWORD ms))
{
    SetCursorPos(x, y), wait(30);
    INPUT in[2] = {{INPUT_MOUSE, {{0, 0, 0, MOUSEEVENTF_LEFTDOWN, 0, 0}}},
                   {INPUT_MOUSE, {{0, 0, 0, MOUSEEVENTF_LEFTUP, 0, 0}}}};
    SendInput(2, in, sizeof(INPUT)), wait(60);
}

// Presses and releases vk, with Ctrl and/or Alt held around it.
inline void SendKey(WORD vk, bool ctrl, bool alt)
{
    const WORD keys[6] = {VK_CONTROL, VK_MENU, vk, vk, VK_MENU, VK_CONTROL};
    const bool used[6] = {ctrl, alt, true, true, alt, ctrl};
    INPUT in[6] = {};
    UINT n = 0;
    for (int i = 0; i < 6; ++i)
        if (used[i])
            in[n].type = INPUT_KEYBOARD, in[n].ki.wVk = keys[i],
            in[n++].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    SendInput(n, in, sizeof(INPUT));
}
