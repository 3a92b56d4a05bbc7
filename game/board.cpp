// Board construction, new game, the validated swap and undo.
#include "game/board.h"

#include <cstring>

#include "game/host.h"
#include "game/random.h"

Board g_board;

static const uint32_t kPieceColors[BOARD_SIZE] = {
    0xA4A4A4, // grey
    0x0000FF, // red
    0x00FF00, // green
    0xFF0000, // blue
    0x00FFFF, // yellow
    0xFFFF00, // cyan
    0xFF00FF, // magenta
    0x000000, // black
};

Board::Board() : selCol(NO_SELECTION), selRow(NO_SELECTION), active(0), sprites(), colors(), fieldWnd(nullptr)
{
    std::memcpy(colors, kPieceColors, sizeof colors);
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            grid[c][r] = 0;
            snapshot[c][r] = EMPTY;
        }
}

Board::Board(const Board &other) : Board()
{
    *this = other;
}

Board &Board::operator=(const Board &other)
{
    selCol = other.selCol;
    selRow = other.selRow;
    active = other.active;
    std::memcpy(colors, other.colors, sizeof colors);
    std::memcpy(grid, other.grid, sizeof grid);
    std::memcpy(snapshot, other.snapshot, sizeof snapshot);
    return *this;
}

Board::~Board()
{
    // At a normal end the control died with its parent already; asking
    // again is harmless.
    if (fieldWnd && g_host && g_host->destroyField) g_host->destroyField(fieldWnd);
}

void Board::NewGame(HWND mainWindow)
{
    active = 1;
    if (!fieldWnd && g_host && g_host->createField) fieldWnd = g_host->createField(mainWindow);
    SeedRandom(g_host && g_host->tickCount ? g_host->tickCount() : 0);
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r)
            grid[c][r] = NextPiece();
}

int Board::IsActive() const
{
    return active ? 1 : 0;
}

void Board::EndGame()
{
    active = 0;
}

int Board::TrySwap(int32_t col, int32_t row)
{
    // The caller guarantees both cells; refuse rather than index off the grid.
    if (selCol < 0 || selCol >= BOARD_SIZE || selRow < 0 || selRow >= BOARD_SIZE || col < 0 ||
        col >= BOARD_SIZE || row < 0 || row >= BOARD_SIZE)
        return 0;

    int32_t saved[BOARD_SIZE][BOARD_SIZE];
    std::memcpy(saved, snapshot, sizeof saved);
    std::memcpy(snapshot, grid, sizeof snapshot);

    int32_t &a = grid[selCol][selRow];
    int32_t &b = grid[col][row];
    int32_t t = a;
    a = b;
    b = t;

    if (ClearMatches() != 0) return 1;

    // No run: nothing was emptied, so swapping back restores the grid.
    t = a;
    a = b;
    b = t;
    std::memcpy(snapshot, saved, sizeof snapshot);
    return 0;
}

int Board::Undo()
{
    if (snapshot[0][0] == EMPTY) return 0;
    std::memcpy(grid, snapshot, sizeof grid);
    return 1;
}
