// Centring and caption scaling for the dialog helpers.
#include "ui/dialog_math.h"

int32_t CenteredStart(int32_t ownerStart, int32_t ownerEnd, int32_t size)
{
    // 64-bit so absurd rectangles cannot overflow; C++ division truncates
    // toward zero, which is the rounding wanted.
    const int64_t start = int64_t(ownerStart) + (int64_t(ownerEnd) - ownerStart - size) / 2;
    if (start > INT32_MAX) return INT32_MAX;
    if (start < INT32_MIN) return INT32_MIN;
    return int32_t(start);
}

int32_t StartInside(int32_t start, int32_t size, int32_t lo, int32_t hi)
{
    // 64-bit: between lo and the given start, so back in range at the end.
    int64_t s = start;
    if (s + size > hi) s = int64_t(hi) - size;
    return s < lo ? lo : int32_t(s);
}

double CaptionScale(const CaptionMeasure &m)
{
    // An empty text measures 0 wide; nothing sensible can be fitted to it.
    if (m.textWidth <= 0 || m.textHeight <= 0 || m.clientWidth <= 0 || m.clientHeight <= 0) return 1.0;
    const double ry = double(m.clientHeight) / m.textHeight;
    const double rx = double(m.clientWidth) / m.textWidth;
    // In this order so that at 96 every height is the one it always was.
    return 96.0 * (ry <= rx ? ry : rx) * (1.0 / 71.0);
}

int32_t ScaledFontHeight(int32_t stockHeight, double scale)
{
    const double h = stockHeight * scale;
    if (h != h) // NaN: nothing to scale by
        return stockHeight;
    if (h >= 2147483647.0) return INT32_MAX;
    if (h <= -2147483647.0) return -INT32_MAX;
    return int32_t(h); // truncates toward zero
}
