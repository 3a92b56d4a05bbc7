// The main window: its class, creation centred on the desktop, and the
// window procedure, each message handed to one named handler. A wide window,
// so its title reads right whatever the system's code page.
#include <windows.h>

#include "app/app.h"
#include "game/board.h"
#include "game/turn.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "view/field_view.h"

HWND g_mainWindow = nullptr;

static const wchar_t kClassName[] = L"ViewerClass";
static const int kWindowWidth = 450;
static const int kWindowHeight = 480;
static const DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; // 0x02CF0000

ATOM RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KUVEX));
    wc.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_KUVEX_CURSOR));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INACTIVEBORDER + 1));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
}

HWND CreateMainWindow(HINSTANCE instance)
{
    RECT desk;
    GetClientRect(GetDesktopWindow(), &desk);
    int x = (desk.right - kWindowWidth) / 2;
    int y = (desk.bottom - kWindowHeight) / 2;
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAINMENU));
    return CreateWindowExW(0, kClassName, L"Kuvex 2002", kWindowStyle, x, y, kWindowWidth, kWindowHeight,
                           nullptr, menu, instance, nullptr);
}

static LRESULT OnCreate(HWND window)
{
    g_mainWindow = window;
    StartNewGame(window);
    return 0;
}

// Brings the larger client dimension down to the smaller by moving the
// right or bottom edge; the nested WM_SIZE this causes rebuilds at the new
// size, and so does this one when it finishes.
static LRESULT OnSize(HWND window)
{
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    int w = client.right, h = client.bottom;
    if (w != h) {
        if (h > w)
            outer.bottom -= h - w;
        else
            outer.right -= w - h;
        SetWindowPos(window, nullptr, outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOSENDCHANGING);
    }
    RebuildAndPaintIfActive();
    return 0;
}

static LRESULT OnDrawItem()
{
    g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
    return 0;
}

// Clicks are mapped with the field control's own size, so the cell under
// the pointer is the one acted on even after a resize between games left the
// control smaller than the client area. The control sits at 0,0, so client
// coordinates are the control's own.
static LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != WM_LBUTTONDOWN || !g_board.fieldWnd) return 0;
    RECT field;
    GetClientRect(g_board.fieldWnd, &field);
    HandleCellClick(g_mainWindow, LOWORD(lParam), HIWORD(lParam), field.right, field.bottom);
    return 0;
}

static LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    PostQuitMessage(0);
    return DefWindowProcW(window, WM_DESTROY, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    case WM_SIZE:
        return OnSize(window);
    case WM_DRAWITEM:
        return OnDrawItem();
    case WM_COMMAND:
        HandleMenuCommand(window, LOWORD(wParam));
        return 0;
    case WM_PARENTNOTIFY:
        return OnParentNotify(wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
