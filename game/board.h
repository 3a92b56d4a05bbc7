// The one game object: the 8x8 field, the selection, the active flag, the
// undo snapshot and the drawing resources that belong to the field.
// The rules (this file, board.cpp, scans.cpp) build and run without any
// window; the drawing members BuildSprites and Paint are defined by the view
// (view/field_view_win.cpp) and exist only in the Windows build.
#pragma once
#include <cstdint>

#include "game/handles.h"

constexpr int BOARD_SIZE = 8;
constexpr int32_t EMPTY = -1;
// NO_SELECTION is column 8 with row 8.
constexpr int32_t NO_SELECTION = 8;

class Board
{
  public:
    // No game on: every cell 0, no snapshot to undo to, nothing selected.
    Board();
    // Destroys the field control if one was created; nothing else.
    virtual ~Board();
    // A copy is a copy of the game (grid, snapshot, selection, flag), never of
    // the field control or the sprites, which have one owner: the copy has
    // none, and assignment keeps the target's own.
    Board(const Board &other);
    Board &operator=(const Board &other);

    // Starts a game: active, field control created through the host when
    // missing, generator reseeded from the tick count, all 64 cells random.
    // Runs are not avoided; the caller's cascade clears them.
    void NewGame(HWND mainWindow);
    int IsActive() const;
    void EndGame();
    // Swaps the selected cell with (col, row); keeps it (1) only if a run
    // forms, with the runs already EMPTY and the snapshot holding the board
    // from before. Refused (0): grid and snapshot exactly as before.
    // The caller guarantees a selection and orthogonal adjacency.
    int TrySwap(int32_t col, int32_t row);
    // 1 and the snapshot copied into the grid; 0 when there is none.
    int Undo();

    // Scans (scans.cpp).
    int ClearMatches();
    int Refill();
    int CountMoves() const;

    // Drawing (view/field_view_win.cpp). back: byte 0 blue, 1 green, 2 red.
    int BuildSprites(int32_t gamma, int32_t satur, uint32_t back);
    int Paint(int32_t gamma, int32_t satur, uint32_t back);

    int32_t selCol;
    int32_t selRow;
    int32_t active;
    HBITMAP sprites[BOARD_SIZE];
    uint32_t colors[BOARD_SIZE];              // COLORREF 0x00BBGGRR
    int32_t grid[BOARD_SIZE][BOARD_SIZE];     // [column][row], column-major
    int32_t snapshot[BOARD_SIZE][BOARD_SIZE]; // undo copy; [0][0] EMPTY = none
    HWND fieldWnd;
};

// The program's one board, constructed before WinMain and destroyed at exit.
extern Board g_board;
