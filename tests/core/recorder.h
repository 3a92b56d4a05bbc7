// The test world: a GameHost that writes every outward call into one line
// of text, a fake millisecond counter, and boards drawn as eight strings.
#pragma once
#include <cstdint>
#include <string>

#include "game/board.h"
#include "settings/settings.h"

// The settings' static initial values, copied before any test runs.
extern const Settings kInitialSettings;

// Outward calls in order: "F" create field, "t" one read of the counter,
// "P" repaint, "T" title (its text in `title`), "G" game-over dialog,
// "A<name>:<score>" record, "D" destroy field.
struct Recorder
{
    std::string log, title;
    uint32_t clock, step; // every read of the counter advances it by step
};
extern Recorder rec;

// Everything a test relies on, afresh: the recorder installed with clock
// 1000 and a step that ends any wait in two reads, the board as
// constructed, score 0, the initial settings, the generator seeded with 1.
void ResetWorld();

// A board as 8 rows, top to bottom, separated by blanks; a cell is '0'..'7',
// '.' EMPTY, '-' a piece unlike any other (never part of a run or move), or
// a letter (a piece of its own colour, unlike 0..7).
void Draw(Board &b, const char *picture);
std::string Picture(const Board &b);

// Cell (c, r) holds (c + 3r) mod 8: no run and no move.
constexpr const char *kNoMoves = "01234567 34567012 67012345 12345670 45670123 70123456 23456701 56701234";
// The same with (0, 1) and (1, 2) made 0: still no run; two patterns name
// one swap, (0, 2) with (1, 2), which empties column 0 rows 0..2.
constexpr const char *kOneMove = "01234567 04567012 60012345 12345670 45670123 70123456 23456701 56701234";
