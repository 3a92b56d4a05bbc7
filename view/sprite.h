// Piece sprites: ball.bmp tinted through its colour table and scaled.
#pragma once
#include <windows.h>

#include <cstdint>

// Loads ball.bmp from the current directory as a DIB section (its colour
// table replaceable). Null when missing or unreadable, and for anything but
// an uncompressed 4-bit picture (of any size) whose pixel rows the file
// wholly holds. The caller owns the result and frees it with GdiDelete
// (view/gdi.h).
HBITMAP LoadBallBitmap();

// A new bitmap of width x height compatible with dc, holding `bitmap` tinted
// for `colour` and stretched over the whole of it. `bitmap` must be a 4-bit
// DIB section selected into no DC; afterwards it is free again and its
// colour table holds this call's tint table. The caller owns the result
// (GdiDelete). A null `bitmap` gives a sprite filled with the background.
HBITMAP MakeTintedSprite(HBITMAP bitmap, HDC dc, COLORREF colour, int width, int height, int32_t gamma,
                         int32_t satur, uint32_t back);
