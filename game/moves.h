// The move patterns of the board: every swap that would complete a triple,
// named once per triple it completes (so with multiplicity). CountMoves
// counts them; the tests and the play driver list them.
#pragma once
#include "game/board.h"

// Calls visit(c1, r1, c2, r2) for each pattern found: swapping the piece at
// (c2, r2) into the target (c1, r1) completes a triple. Meant for a full
// board without runs.
template <class Visit> void ForEachMove(const Board &b, Visit &&visit)
{
    auto g = [&b](int c, int r) { return b.grid[c][r]; };
    auto test = [&](int tc, int tr, int nc, int nr, int32_t v) {
        if (g(nc, nr) == v) visit(tc, tr, nc, nr);
    };
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int j = 0; j + 2 < BOARD_SIZE; ++j) {
            // Column triple (c, j), (c, j+1), (c, j+2).
            int32_t a = g(c, j), m = g(c, j + 1), z = g(c, j + 2);
            if (a == m) { // target (c, j+2)
                if (c > 0) test(c, j + 2, c - 1, j + 2, a);
                if (j < 5) test(c, j + 2, c, j + 3, a);
                if (c < 7) test(c, j + 2, c + 1, j + 2, a);
            }
            if (a == z) { // target (c, j+1)
                if (c > 0) test(c, j + 1, c - 1, j + 1, a);
                if (c < 7) test(c, j + 1, c + 1, j + 1, a);
            }
            if (m == z) { // target (c, j)
                if (c > 0) test(c, j, c - 1, j, m);
                if (c < 7) test(c, j, c + 1, j, m);
                if (j > 0) test(c, j, c, j - 1, m);
            }
        }
    for (int r = 0; r < BOARD_SIZE; ++r)
        for (int k = 0; k + 2 < BOARD_SIZE; ++k) {
            // Row triple (k, r), (k+1, r), (k+2, r).
            int32_t a = g(k, r), m = g(k + 1, r), z = g(k + 2, r);
            if (a == m) { // target (k+2, r)
                if (r > 0) test(k + 2, r, k + 2, r - 1, a);
                if (k < 5) test(k + 2, r, k + 3, r, a);
                if (r < 7) test(k + 2, r, k + 2, r + 1, a);
            }
            if (a == z) { // target (k+1, r)
                if (r > 0) test(k + 1, r, k + 1, r - 1, a);
                if (r < 7) test(k + 1, r, k + 1, r + 1, a);
            }
            if (m == z) { // target (k, r)
                if (r > 0) test(k, r, k, r - 1, m);
                if (r < 7) test(k, r, k, r + 1, m);
                if (k > 0) test(k, r, k - 1, r, m);
            }
        }
}
