// The field control: the owner-drawn static child that shows the board.
// Board::BuildSprites and Board::Paint are defined in field_view_win.cpp.
#pragma once
#include <windows.h>

// Creates the field control as a child of mainWindow, square, at 0,0, side
// = the smaller client dimension. Null on failure.
HWND CreateFieldControl(HWND mainWindow);
