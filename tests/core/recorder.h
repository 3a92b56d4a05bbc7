// A GameHost for tests: records every outward call as a line of text, runs a
// fake millisecond counter, and lets a test script the board's generator.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/host.h"

struct Recorder
{
    std::vector<std::string> calls;
    std::vector<std::string> titles;
    std::vector<std::pair<std::string, int32_t>> records;
    uint32_t clock = 1000;
    uint32_t clockStep = 1; // every read of the counter advances it this much
    int delays = 0;         // completed waits, counted from tick reads

    void Install();
    static Recorder *current;
    // Count of a given call.
    int Count(const std::string &what) const;
};

// Fills the grid from rows of text, one char a cell, '0'..'7' or '.' (EMPTY);
// rows[r][c] is the cell (c, r).
void SetGrid(Board &b, const char *const rows[8]);
// The grid as 8 rows of text in the same form.
std::vector<std::string> GridRows(const Board &b);
// A board with no runs and no moves: cell (c, r) = (c + 3r) mod 8.
void SetNoMoveBoard(Board &b);
// Resets the global board to its constructed state (no field, no sprites).
void ResetBoard();
