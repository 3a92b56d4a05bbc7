// Board painting cost: medians of 200 whole-board paints at 400 and 800
// pixels a side against one plain BitBlt of a ready picture of that size to
// the same control, and of sprite builds at 800. Run with ball.bmp in the
// current folder on a screen over 800 pixels high (what lies off screen costs
// nothing to draw). Targets: a paint within 3 plain copies, a build in 10 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "game/board.h"
#include "view/field_view.h"
#include "view/gdi.h"

// Milliseconds that half of 200 calls of f stay within.
template <class F> double Median(F f)
{
    double ms[200];
    LARGE_INTEGER hz, start, end;
    QueryPerformanceFrequency(&hz);
    for (double &m : ms) {
        QueryPerformanceCounter(&start), f(), GdiFlush(), QueryPerformanceCounter(&end);
        m = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(hz.QuadPart);
    }
    std::nth_element(ms, ms + 100, ms + 200);
    return ms[100];
}

int main()
{
    // A frameless parent: its client area is its size.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, {}, {}, {}, {});
    g_board.fieldWnd = CreateFieldControl(parent);
    for (int side : {400, 800}) {
        SetWindowPos(parent, nullptr, 0, 0, side, side, SWP_NOZORDER);
        if (g_board.BuildSprites(6, 2, 0xC800))
            return std::puts("ball.bmp missing from the current folder"), 1;
        WindowDc dc(g_board.fieldWnd);
        MemoryDc mem(dc.get());
        GdiObject<HBITMAP> picture(CreateCompatibleBitmap(dc.get(), side, side));
        Selection selection(mem.get(), picture.get());
        const double paint = Median([] { g_board.Paint(6, 2, 0xC800); }),
                     blit = Median([&] { BitBlt(dc.get(), 0, 0, side, side, mem.get(), 0, 0, SRCCOPY); });
        std::printf("side %d: Paint %.3f ms, plain BitBlt %.3f ms, %.1f times (target <= 3)\n", side, paint,
                    blit, paint / blit);
    }
    std::printf("side 800: BuildSprites %.3f ms (target <= 10)\n",
                Median([] { g_board.BuildSprites(6, 2, 0xC800); }));
}
