// The field control: the owner-drawn static child that shows the board.
// Board::BuildSprites and Board::Paint are defined in field_view_win.cpp.
#pragma once
#include <windows.h>

// Creates the field control as a child of mainWindow, square, at 0,0, side
// = the smaller client dimension. Null on failure.
HWND CreateFieldControl(HWND mainWindow);

// During a game: sprites rebuilt for the current settings and size, then the
// board painted (after a resize, and after OK in the Options dialog).
void RebuildAndPaintIfActive();
