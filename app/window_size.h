// Where the main window first opens: its size follows the screen's
// resolution, and it stays on the part of the screen windows may use.
#pragma once
#include <cstdint>

struct Box
{
    int32_t left, top, right, bottom;
};

// The main window's first box, made at the square size its client area
// settles at. 450 x 480 at 96 dots per inch is scaled by dpi / 96
// (truncated; a dpi of 0 or less counts as 96); frameWidth and frameHeight
// are what the frame, title and menu add around the client area. Where the
// scaled box fits the work area it keeps the top left it always had: centred
// on the desktop (0, 0, width, height), then moved into the work area, the
// right or bottom edge pulled in to square the client. Where it does not,
// the client's side is cut to what the work area holds and the square window
// is centred in the work area.
Box FirstWindowBox(int32_t dpi, int32_t desktopWidth, int32_t desktopHeight, const Box &work,
                   int32_t frameWidth, int32_t frameHeight);
