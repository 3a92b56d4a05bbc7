// The main window: its class, creation centred on the desktop, and the
// window procedure, each message handed to one named handler. A wide window,
// so its title reads right whatever the system's code page.
#include <windows.h>

#include "app/app.h"
#include "app/window_size.h"
#include "game/board.h"
#include "game/title.h"
#include "game/turn.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/cp1251.h"
#include "view/field_view.h"
#include "view/gdi.h"

HWND g_mainWindow = nullptr;

static const wchar_t kClassName[] = L"ViewerClass";
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
    RECT desk = {}, work = {};
    GetClientRect(GetDesktopWindow(), &desk);
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = desk;
    RECT frame = {};
    AdjustWindowRectEx(&frame, kWindowStyle, TRUE, 0);
    const Box box = FirstWindowBox(GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY), desk.right,
                                   desk.bottom, {work.left, work.top, work.right, work.bottom},
                                   frame.right - frame.left, frame.bottom - frame.top);
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAINMENU));
    return CreateWindowExW(0, kClassName, L"Kuvex 2002", kWindowStyle, box.left, box.top,
                           box.right - box.left, box.bottom - box.top, nullptr, menu, instance, nullptr);
}

// A title's width in the title bar's font.
static int32_t TitleTextWidth(const char *text, void *font)
{
    WindowDc dc(nullptr);
    Selection chosen(dc.get(), static_cast<HFONT>(font));
    const WideText wide(text);
    SIZE extent = {};
    GetTextExtentPoint32W(dc.get(), wide.text, lstrlenW(wide.text), &extent);
    return extent.cx;
}

void ShowTitle(HWND window)
{
    // The room is the title bar less its three buttons and a margin of two
    // edges; the icon lies outside what GetTitleBarInfo reports.
    TITLEBARINFO bar = {};
    bar.cbSize = sizeof bar;
    GetTitleBarInfo(window, &bar);
    const int32_t room = bar.rcTitleBar.right - bar.rcTitleBar.left - 3 * GetSystemMetrics(SM_CXSIZE) -
                         2 * GetSystemMetrics(SM_CXEDGE);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    GdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
    char title[TITLE_CAP];
    FitTitle(title, sizeof title, g_settings.name, score, room, TitleTextWidth, font.get());
    SetWindowTextW(window, WideText(title).text);
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
    ShowTitle(window); // fitted to the new width
    return 0;
}

// TRUE: the item is drawn, as the message asks of its handler.
static LRESULT OnDrawItem()
{
    g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
    return TRUE;
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

// Arrows, Space and Enter play on the board; the menu and the accelerators
// have taken their keys before this. A held Space or Enter acts once, not at
// every repeat.
static LRESULT OnKeyDown(HWND window, WPARAM key, LPARAM lParam)
{
    static const struct
    {
        WPARAM vk;
        CellKey key;
    } kKeys[] = {{VK_LEFT, KEY_LEFT}, {VK_RIGHT, KEY_RIGHT}, {VK_UP, KEY_UP},
                 {VK_DOWN, KEY_DOWN}, {VK_SPACE, KEY_ACT},   {VK_RETURN, KEY_ACT}};
    for (const auto &k : kKeys)
        if (k.vk == key) {
            if (k.key != KEY_ACT || !(lParam & (1 << 30))) HandleCellKey(window, k.key);
            return 0;
        }
    return DefWindowProcW(window, WM_KEYDOWN, key, lParam);
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
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam, lParam);
    case WM_PARENTNOTIFY:
        return OnParentNotify(wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
