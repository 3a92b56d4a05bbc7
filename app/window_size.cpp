// The main window's first place and size.
#include "app/window_size.h"

#include <algorithm>

#include "ui/dialog_math.h"

namespace {

// size * dpi / 96; 64-bit so that an absurd resolution cannot overflow.
int64_t Scaled(int32_t size, int32_t dpi)
{
    return int64_t(size) * dpi / 96;
}

} // namespace

Box FirstWindowBox(int32_t dpi, int32_t desktopWidth, int32_t desktopHeight, const Box &work,
                   int32_t frameWidth, int32_t frameHeight)
{
    if (dpi <= 0) dpi = 96;
    const int64_t w = Scaled(450, dpi), h = Scaled(480, dpi);
    const int64_t workWidth = int64_t(work.right) - work.left, workHeight = int64_t(work.bottom) - work.top;
    const bool fits = w <= workWidth && h <= workHeight;
    int64_t side = std::min(w - frameWidth, h - frameHeight);
    if (!fits) side = std::min(side, std::min(workWidth - frameWidth, workHeight - frameHeight));
    if (side < 0) side = 0;
    const int32_t outerWidth = int32_t(side + frameWidth), outerHeight = int32_t(side + frameHeight);
    int32_t x, y;
    if (fits) {
        x = StartInside(int32_t((desktopWidth - w) / 2), int32_t(w), work.left, work.right);
        y = StartInside(int32_t((desktopHeight - h) / 2), int32_t(h), work.top, work.bottom);
    } else {
        x = StartInside(CenteredStart(work.left, work.right, outerWidth), outerWidth, work.left, work.right);
        y = StartInside(CenteredStart(work.top, work.bottom, outerHeight), outerHeight, work.top,
                        work.bottom);
    }
    return {x, y, x + outerWidth, y + outerHeight};
}
