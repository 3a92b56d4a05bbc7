// Where the main window first opens: its size follows the screen's
// resolution, and it stays on the part of the screen windows may use.
#pragma once
#include <cstdint>

struct Box
{
    int32_t left, top, right, bottom;
};

// 450 x 480 at 96 dots per inch, scaled by dpi / 96 (truncated; a dpi of 0
// or less counts as 96) and cut to the work area's size; centred on the
// desktop (0, 0, width, height) and then moved, only as far as needed, into
// the work area. Returned as left, top, right, bottom.
Box FirstWindowBox(int32_t dpi, int32_t desktopWidth, int32_t desktopHeight, const Box &work);
