// The test world: a GameHost that writes every outward call into one line
// of text, a fake millisecond counter, and boards drawn as eight strings.
#pragma once
#include <cstring>
#include <string>

#include "game/board.h"
#include "game/host.h"
#include "game/random.h"
#include "game/turn.h"
#include "settings/settings.h"

// Calls in order: "F" create field, "t" a read of the counter (each read
// advances clock by step), "P" repaint, "T" title (its text in title), "G"
// game-over dialog, "A<name>:<score>" record, "?" a piece drawn when none
// was left in pieces (it gets the generator's).
inline struct Recorder
{
    std::string log, title;
    uint32_t clock, step;
    std::string pieces; // the pieces to hand in, '0'..'7', in the order drawn
    Recorder &Add(const std::string &call)
    {
        log += log.empty() ? call : " " + call;
        return *this;
    }
} rec;

// The settings and the keyboard cursor as the program starts, copied before any test.
inline const Settings kInitialSettings = g_settings;
inline const KeyCursor kInitialCursor = g_cursor;
// A clock step that ends any wait in two reads.
constexpr uint32_t kLongStep = 0x10000;

inline int HandInPiece()
{
    if (rec.pieces.empty()) return rec.Add("?"), RandomPiece(); // a cascade of 0s would never end
    const int piece = rec.pieces[0] - '0';
    rec.pieces.erase(0, 1);
    return piece;
}

// Everything a test relies on, afresh: the recorder installed with clock
// 1000, kLongStep and no pieces to hand in; the board as constructed, score
// 0, the keyboard cursor as the program starts, the initial settings.
inline void ResetWorld()
{
    static const GameHost host = {
        [] { rec.Add("P"); },
        [](HWND, const char *text) { rec.Add("T").title = text; },
        [] { return (rec.Add("t").clock += rec.step) - rec.step; },
        [](HWND) {
            rec.Add("F");
            return reinterpret_cast<HWND>(0x1234);
        },
        [](HWND) {},
        [](HWND) { rec.Add("G"); },
        [](const char *name, int32_t s) { rec.Add("A" + std::string(name) + ":" + std::to_string(s)); },
        HandInPiece};
    rec = {"", "", 1000, kLongStep, ""};
    g_host = &host;
    score = 0;
    g_settings = kInitialSettings;
    g_cursor = kInitialCursor;
    g_board.fieldWnd = nullptr; // the fake control needs no destroying
    g_board = Board();
}

// A board as 8 rows, top to bottom, separated by blanks; a cell is '0'..'7',
// '.' EMPTY, '-' a piece unlike any other (never in a run or move), or a
// letter (a piece of its own colour, unlike 0..7). Rows left out at the
// bottom are all '-'; Picture leaves them out too.
inline Board Draw(const char *picture)
{
    Board b;
    for (size_t i = 0, n = strlen(picture); i < 71; ++i) {
        const char ch = i < n ? picture[i] : '-';
        const int v = ch == '.' ? EMPTY : ch == '-' ? 1000 + int(i) : ch <= '7' ? ch - '0' : 100 + ch;
        if (i % 9 < 8) b.grid[i % 9][i / 9] = v;
    }
    return b;
}

inline std::string Picture(const Board &b)
{
    std::string s(71, ' ');
    for (int i = 0; i < 71; ++i) {
        const int v = i % 9 < 8 ? b.grid[i % 9][i / 9] : 1000;
        s[i] = i % 9 == 8 ? ' ' : v >= 1000 ? '-' : v >= 100 ? char(v - 100) : ".01234567"[v + 1];
    }
    while (s.size() > 8 && s.compare(s.size() - 9, 9, " --------") == 0)
        s.resize(s.size() - 9);
    return s;
}

// Cell (c, r) holds (c + 3r) mod 8: no run and no move.
constexpr const char *kNoMoves = "01234567 34567012 67012345 12345670 45670123 70123456 23456701 56701234";
// The same with (0, 1) and (1, 2) made 0: no run; two patterns name one
// swap, (0, 2) with (1, 2), which empties column 0 rows 0..2.
constexpr const char *kOneMove = "01234567 04567012 60012345 12345670 45670123 70123456 23456701 56701234";
