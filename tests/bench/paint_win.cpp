// Board painting cost: the median of 200 whole-board paints at two sizes
// against one plain BitBlt of a ready picture of the same size to the same
// control, and the median sprite build at the larger size. Run with
// ball.bmp in the current folder and a screen that holds an 800 x 800
// client area (the part of a window off screen costs nothing to draw).
// Targets: a paint within 3 plain copies, a sprite build within 10 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "game/board.h"
#include "view/field_view.h"
#include "view/gdi.h"

namespace {

constexpr int kRuns = 200;
constexpr uint32_t kBack = 0x0000C800;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        g_board.Paint(6, 2, kBack);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Median in milliseconds of kRuns calls of f.
template <class F> double Median(F f)
{
    static double ms[kRuns];
    for (double &m : ms) {
        double start = Now();
        f();
        GdiFlush();
        m = Now() - start;
    }
    std::nth_element(ms, ms + kRuns / 2, ms + kRuns);
    return ms[kRuns / 2];
}

void Resize(HWND parent, int side)
{
    RECT rc = {0, 0, side, side};
    AdjustWindowRect(&rc, kStyle, FALSE);
    SetWindowPos(parent, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KuvexPaintBench";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "paint bench", kStyle, 0, 0, 300, 300, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    Resize(parent, 400);
    g_board.fieldWnd = CreateFieldControl(parent);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UpdateWindow(parent);
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r)
            g_board.grid[c][r] = (c * 3 + r * 5) % BOARD_SIZE;
    g_board.selCol = 3;
    g_board.selRow = 4;

    if (g_board.BuildSprites(6, 2, kBack) != 0) {
        std::printf("ball.bmp missing from the current folder\n");
        return 1;
    }
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    std::printf("%-26s %5s %10s\n", "median of 200", "side", "ms");
    for (int side : {400, 800}) {
        Resize(parent, side);
        g_board.BuildSprites(6, 2, kBack);
        RECT rc;
        GetClientRect(g_board.fieldWnd, &rc);
        if (rc.right != side || rc.bottom != side) std::printf("(field is %ldx%ld)\n", rc.right, rc.bottom);
        if (side + 60 > screenH)
            std::printf("(screen %d px high: part of the field is off screen)\n", screenH);

        double paint = Median([] { g_board.Paint(6, 2, kBack); });
        WindowDc dc(g_board.fieldWnd);
        MemoryDc mem(dc.get());
        GdiObject<HBITMAP> picture(CreateCompatibleBitmap(dc.get(), side, side));
        Selection sel(mem.get(), picture.get());
        double blit = Median([&] { BitBlt(dc.get(), 0, 0, side, side, mem.get(), 0, 0, SRCCOPY); });
        double ratio = paint / blit;
        std::printf("%-26s %5d %10.3f\n", "Paint", side, paint);
        std::printf("%-26s %5d %10.3f\n", "plain BitBlt", side, blit);
        std::printf("%-26s %5d %10.2f  (target <= 3)\n", "Paint / BitBlt", side, ratio);
    }
    double build = Median([] { g_board.BuildSprites(6, 2, kBack); });
    std::printf("%-26s %5d %10.3f  (target <= 10)\n", "BuildSprites", 800, build);

    for (HBITMAP &s : g_board.sprites)
        GdiDelete(s);
    DestroyWindow(parent);
    g_board.fieldWnd = nullptr;
    return 0;
}
