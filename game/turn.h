// The turn controller: starts games, turns clicks into selections and swaps,
// runs the clear-and-refill cascade, keeps the score and the title, undoes,
// and ends the game when no move is left. It keeps no state of its own;
// everything outward goes through g_host (game/host.h).
#pragma once
#include <cstdint>

#include "game/handles.h"

// The running score, 0 between games; a record keeps its low 16 bits.
extern int32_t score;

void StartNewGame(HWND mainWindow);
// (x, y): the click in pixels from the field's top left corner; (width,
// height): the size of the area those pixels map onto 8x8 cells. A zero size
// or a position outside it is ignored.
void HandleCellClick(HWND mainWindow, uint16_t x, uint16_t y, int32_t width, int32_t height);
// The keyboard's stand-in for the pointer: a cell, and whether its frame is
// drawn. Column and row NO_SELECTION until it was first placed. A click puts
// it on the clicked cell, hidden; nothing else moves or hides it, so it
// keeps its cell across turns, Undo and new games.
struct KeyCursor
{
    int32_t col, row;
    int32_t shown;
};
extern KeyCursor g_cursor;

enum CellKey
{
    KEY_LEFT,
    KEY_RIGHT,
    KEY_UP,
    KEY_DOWN,
    KEY_ACT
};
// While the cursor is hidden, any key only shows it (on its cell, or the
// first time on the selection, else the top-left cell). Then the arrows move
// it one cell, stopping at the edges, and KEY_ACT does on its cell what a
// click there does. Ignored while no game is on.
void HandleCellKey(HWND mainWindow, CellKey key);
void UndoMove();
void UpdateTitle(HWND mainWindow);
void ResolveBoard(HWND mainWindow);
// Busy-waits until more than `milliseconds` have passed on the tick counter;
// correct across the counter's wrap at 2^32.
void Delay(uint32_t milliseconds);
// The end-of-game sequence: game-over dialog, EndGame, record, score = 0.
void EndOfGame(HWND mainWindow);

// The pause a cascade stage really waits for a given anim: values from an
// edited settings file outside 0..1000 are brought into that range, so a
// negative value cannot turn into a wait of 49 days.
uint32_t PauseFor(int32_t anim);
