// The application shell: main window class and window, the message
// procedure, the menu dispatch, and the Win32 implementation of the game's
// outward operations.
#pragma once
#include <windows.h>

// The main window, once created.
extern HWND g_mainWindow;

// Registers "ViewerClass"; 0 on failure.
ATOM RegisterMainClass(HINSTANCE instance);
// Creates the main window centred on the desktop (not shown); the first game
// starts during creation. Null on failure.
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the name and the score in the title, in the longest form the title
// bar has room for; the score always shows.
void ShowTitle(HWND window);
void HandleMenuCommand(HWND mainWindow, int commandId);
// Installs the Win32 GameHost (painting, title, tick count, field control,
// game-over dialog, record file).
void InstallWin32Host();
