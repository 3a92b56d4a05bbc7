// The main window's first place and size.
#include "app/window_size.h"

namespace {

// size * dpi / 96, no larger than limit; 64-bit so that an absurd
// resolution cannot overflow.
int32_t ScaledAtMost(int32_t size, int32_t dpi, int32_t limit)
{
    const int64_t scaled = int64_t(size) * dpi / 96;
    return scaled < limit ? int32_t(scaled) : limit;
}

// The start that keeps [start, start + size) inside [lo, hi); size was cut
// to the span already.
int32_t KeepInside(int32_t start, int32_t size, int32_t lo, int32_t hi)
{
    if (start + size > hi) start = hi - size;
    return start < lo ? lo : start;
}

} // namespace

Box FirstWindowBox(int32_t dpi, int32_t desktopWidth, int32_t desktopHeight, const Box &work)
{
    if (dpi <= 0) dpi = 96;
    const int32_t w = ScaledAtMost(450, dpi, work.right - work.left);
    const int32_t h = ScaledAtMost(480, dpi, work.bottom - work.top);
    const int32_t x = KeepInside((desktopWidth - w) / 2, w, work.left, work.right);
    const int32_t y = KeepInside((desktopHeight - h) / 2, h, work.top, work.bottom);
    return {x, y, x + w, y + h};
}
