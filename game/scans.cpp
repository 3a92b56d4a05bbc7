// The three scans of the grid: clear runs, refill, count possible moves.
#include "game/board.h"
#include "game/moves.h"
#include "game/random.h"

int Board::ClearMatches()
{
    int runs = 0;
    // Column pass. Cells are emptied as soon as a run is found, so the row
    // pass below no longer sees the cells a column run took.
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int k = 0; k + 2 < BOARD_SIZE; ++k) {
            int32_t v = grid[c][k];
            if (v == EMPTY || grid[c][k + 1] != v || grid[c][k + 2] != v) continue;
            for (int r = k; r < BOARD_SIZE && grid[c][r] == v; ++r)
                grid[c][r] = EMPTY;
            ++runs;
        }
    // Row pass.
    for (int r = 0; r < BOARD_SIZE; ++r)
        for (int k = 0; k + 2 < BOARD_SIZE; ++k) {
            int32_t v = grid[k][r];
            if (v == EMPTY || grid[k + 1][r] != v || grid[k + 2][r] != v) continue;
            for (int c = k; c < BOARD_SIZE && grid[c][r] == v; ++c)
                grid[c][r] = EMPTY;
            ++runs;
        }
    return runs;
}

int Board::Refill()
{
    int count = 0;
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            if (grid[c][r] != EMPTY) continue;
            // Everything above the gap drops one row; the new piece enters
            // at the top, so the first one drawn ends lowest.
            for (int k = r; k > 0; --k)
                grid[c][k] = grid[c][k - 1];
            grid[c][0] = NextPiece();
            ++count;
        }
    return count;
}

int Board::CountMoves() const
{
    int n = 0;
    ForEachMove(*this, [&n](int, int, int, int) { ++n; });
    return n;
}
