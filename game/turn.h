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
