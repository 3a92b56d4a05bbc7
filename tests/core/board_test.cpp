// The rules as tables of pictured boards; the move patterns against a
// brute-force search over seeded boards; the turn controller's outward
// calls against the recorder, as scenes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "game/moves.h"
#include "recorder.h"

namespace {

TEST(Rules, ClearMatchesAndCountMoves)
{
    // Before, runs emptied, after (null: unchanged), moves counted before
    // (-1: not looked at). Crossing runs: the column pass empties the
    // shared cell before the row pass looks (L, T, plus).
    const std::tuple<const char *, int, const char *, int> rows[] = {
        {kNoMoves, 0, nullptr, 0},
        {kOneMove, 0, nullptr, 2},
        {"---1---- ---1---- ---21--- ---1----", 0, nullptr, 3}, // with multiplicity
        {"-3-3---- 33-3---- -------- -------- -------- -------- 3-55-5-- 3-55-5--", 0, nullptr, -1},
        {"--4----- --4----- --444---", 1, "--.----- --.----- --.44---", -1},
        {"----444- -----4-- -----4--", 1, "----4.4- -----.-- -----.--", -1},
        {"--4----- -444---- --4-----", 1, "--.----- -4.4---- --.-----", -1},
        {"--1111-- -----1-- -----1--", 2, "--....-- -----.-- -----.--", -1},
        {"---2---- -22222-- ---2----", 1, "---.---- -22.22-- ---.----", -1},
        {"-6667777 -------- -------- 5------- 5------- 5------- 5------- 5-------", 3,
         "-....... -------- -------- .------- .------- .------- .------- .-------", -1}};
    for (auto [before, runs, after, moves] : rows) {
        Board b;
        Draw(b, before);
        EXPECT_EQ(moves < 0 ? moves : b.CountMoves(), moves) << before;
        EXPECT_EQ(b.ClearMatches(), runs) << before;
        EXPECT_EQ(Picture(b), after ? after : before);
        EXPECT_EQ(b.ClearMatches(), 0) << "a second pass finds nothing";
    }
}

TEST(Rules, RefillLetsPiecesFallInOrderAndFillsTheTop)
{
    Board b;
    Draw(b, "--a---.- --b---.- --.---.- --c---.- --.---.- --d---.- --e---.- --f---.-");
    EXPECT_EQ(b.Refill(), 10);
    EXPECT_EQ(b.Refill(), 0) << "a full board draws nothing";
    std::string after = Picture(b);
    std::replace_if(
        after.begin(), after.end(), [](char c) { return c >= '0' && c <= '7'; }, '?');
    EXPECT_EQ(after, "--?---?- --?---?- --a---?- --b---?- --c---?- --d---?- --e---?- --f---?-");
}

TEST(Rules, SwapKeptOnlyWithARunAndUndoneToTheBoardBefore)
{
    // Before, selected cell, second cell, kept, after (null: unchanged).
    // The caller guarantees two cells on the board; anything else is refused.
    const std::tuple<const char *, int, int, int, int, int, const char *> rows[] = {
        {kNoMoves, 2, 2, 3, 2, 0, nullptr},
        {"--66----", 2, 0, 3, 0, 0, nullptr},
        {kOneMove, 0, 2, 1, 2, 1, ".1234567 .4567012 .6012345 12345670 45670123 70123456 23456701 56701234"},
        {"110100--", 2, 0, 3, 0, 1, "......--"}, // both pieces complete a run
        {kOneMove, 8, 8, 0, 0, 0, nullptr},
        {kOneMove, 8, 3, 7, 3, 0, nullptr},
        {kOneMove, 3, 8, 3, 7, 0, nullptr},
        {kOneMove, -1, 3, 0, 3, 0, nullptr},
        {kOneMove, 3, -1, 3, 0, 0, nullptr},
        {kOneMove, 0, 2, 8, 2, 0, nullptr},
        {kOneMove, 0, 2, 0, 8, 0, nullptr},
        {kOneMove, 0, 2, -1, 2, 0, nullptr},
        {kOneMove, 0, 2, 0, -1, 0, nullptr}};
    for (auto [before, selCol, selRow, col, row, kept, after] : rows) {
        Board b;
        Draw(b, before);
        b.selCol = selCol, b.selRow = selRow;
        EXPECT_EQ(b.TrySwap(col, row), kept) << selCol << selRow << col << row;
        EXPECT_EQ(Picture(b), after ? after : before);
        EXPECT_EQ(b.selCol * 10 + b.selRow, selCol * 10 + selRow);
        EXPECT_EQ(b.Undo(), kept) << "a refused swap takes no snapshot";
        EXPECT_EQ(Picture(b), before);
    }
    const uint32_t colours[8] = {0xA4A4A4, 0x0000FF, 0x00FF00, 0xFF0000,
                                 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x000000};
    EXPECT_EQ(0, memcmp(Board().colors, colours, sizeof colours));
}

// Settled boards from the test seed, from no move to many.
TEST(Rules, MovePatternsEqualBruteForceSwaps)
{
    const uint32_t seed = ::testing::UnitTest::GetInstance()->random_seed();
    std::mt19937 gen(seed);
    for (int i = 0, ended = 0; i <= 1500; ++i) {
        Board b;
        Draw(b, kNoMoves);
        SeedRandom(gen());
        for (int k = i % 40; k > 0; --k)
            b.grid[gen() % 8][gen() % 8] = RandomPiece() % (2 + i % 7);
        while (b.ClearMatches())
            b.Refill();
        std::set<std::tuple<int, int, int, int>> patterns, brute;
        ForEachMove(b, [&](int c1, int r1, int c2, int r2) {
            patterns.insert(std::min(std::make_tuple(c1, r1, c2, r2), std::make_tuple(c2, r2, c1, r1)));
        });
        for (int k = 0, c, r, c2, r2; k < 128; ++k) {
            Board t = b;
            c = k / 16, r = k / 2 % 8, c2 = c + k % 2, r2 = r + 1 - k % 2;
            if (c2 < 8 && r2 < 8 && (std::swap(t.grid[c][r], t.grid[c2][r2]), t.ClearMatches()))
                brute.emplace(c, r, c2, r2);
        }
        ASSERT_EQ(patterns, brute) << "seed " << seed << ", board " << i << ": " << Picture(b);
        ASSERT_EQ(b.CountMoves() == 0, brute.empty());
        ended += brute.empty();
        EXPECT_TRUE(i < 1500 || ended > 0) << "the sample includes ended games";
    }
}

// A generator seed whose refill after kOneMove's swap forms no run.
uint32_t QuietSeed()
{
    for (uint32_t seed = 0;; ++seed) {
        Board b;
        Draw(b, kOneMove);
        b.selCol = 0, b.selRow = 2;
        SeedRandom(seed);
        b.TrySwap(1, 2);
        b.Refill();
        if (!b.ClearMatches() && b.CountMoves()) return seed;
    }
}

TEST(Turn, Scenes)
{
    // A board (score 10, the game on, anim 50, no selection) and a script:
    // "aN" anim N, "sCR" selects (C, R), "i" ends the game, "cCR" clicks
    // the middle of cell (C, R) on a 400 x 400 field, "xX,Y,W,H" clicks
    // (X, Y) on a W x H field, "r" resolves, "u" undoes. Then the calls, and
    // "|score selection", "over" when the game ended, "=" when the board is
    // as drawn.
    const std::tuple<const char *, const char *, const char *> rows[] = {
        {kNoMoves, "c23", "P |10 23 ="},
        {kNoMoves, "s23 c23", "P |10 88 ="}, // the same cell: deselect
        {kNoMoves, "s23 c34", "P |10 34 ="}, // diagonal: the selection moves
        {kNoMoves, "s23 c63", "P |10 63 ="}, // far
        {kNoMoves, "s23 c33", "|10 23 ="},   // a neighbour, no run: nothing at all
        {kNoMoves, "i c23 u", "|10 88 over ="},
        {kNoMoves, "x399,399,400,400 x100,100,800,200", "P P |10 14 ="},
        {kNoMoves, "x400,10,400,400 x10,400,400,400 x10,10,0,400 x10,10,400,0", "|10 88 ="},
        // A kept swap: with anim a pause after the emptied cells, the refill
        // and the last clear; without, nothing between clear and refill.
        {kOneMove, "s02 c12", "P t t P t t P t t P T |13 88"},
        {kOneMove, "a0 s02 c12", "P t t P T |13 88"},
        {kOneMove, "a-5 s02 c12", "P t t P T |13 88"},
        // No move left: the dialog, the record with the final score, score 0.
        {kNoMoves, "r", "P t t P T G AИнкогнито:10 |0 88 over ="},
        {kNoMoves, "a0 r", "P T G AИнкогнито:10 |0 88 over ="},
        // Undo: nothing before a kept swap, then the board before it, twice.
        {kOneMove, "a0 u s02 c12 c44 u u", "P t t P T P P P |13 44 ="}};
    for (auto [board, script, calls] : rows) {
        ResetWorld();
        Draw(g_board, board);
        g_board.active = 1, score = 10;
        SeedRandom(QuietSeed());
        for (int x, y, w, h, n = 0; *script; script += n + (script[n] == ' ')) {
            if (sscanf(script, "a%d%n", &x, &n) == 1)
                g_settings.anim = x;
            else if (sscanf(script, "s%1d%1d%n", &x, &y, &n) == 2)
                g_board.selCol = x, g_board.selRow = y;
            else if (sscanf(script, "c%1d%1d%n", &x, &y, &n) == 2)
                HandleCellClick(nullptr, uint16_t(x * 50 + 25), uint16_t(y * 50 + 25), 400, 400);
            else if (sscanf(script, "x%d,%d,%d,%d%n", &x, &y, &w, &h, &n) == 4)
                HandleCellClick(nullptr, uint16_t(x), uint16_t(y), w, h);
            else
                n = 1, *script == 'i'   ? g_board.EndGame()
                       : *script == 'r' ? ResolveBoard(nullptr)
                                        : UndoMove();
        }
        const std::string selection = std::to_string(g_board.selCol * 10 + g_board.selRow);
        rec.Add("|" + std::to_string(score) + " " + selection + (g_board.IsActive() ? "" : " over") +
                (Picture(g_board) == board ? " =" : ""));
        EXPECT_EQ(rec.log, calls) << board << " " << script;
    }
}

TEST(Turn, NewGameFromTheTickCountWithScore0AndItsTitle)
{
    ResetWorld();
    std::string games[3];         // board, score, on
    for (int k = 0; k < 3; ++k) { // ticks 77, 77, 78; score 0, 500, 1000 before; the generator elsewhere
        rec.log.clear(), rec.clock = 77 + k / 2, score = 500 * k;
        SeedRandom(k);
        StartNewGame(nullptr);
        EXPECT_EQ(rec.log.substr(0, k ? 2 : 4), k ? "t " : "F t ")
            << "the field control once, then the counter";
        EXPECT_EQ(rec.title, "Kuvex 2002         Инкогнито            Очки: " + std::to_string(score));
        games[k] = Picture(g_board) + " " + std::to_string(score) + " " + std::to_string(g_board.IsActive());
    }
    EXPECT_EQ(games[0].back(), '1') << "tick 77 leaves a move";
    EXPECT_EQ(games[1], games[0]) << "the same tick, the same game, scored from 0";
    EXPECT_NE(games[2].substr(0, 71), games[0].substr(0, 71));
    const std::string boards = games[0].substr(0, 71) + games[2].substr(0, 71);
    EXPECT_EQ(boards.find_first_not_of("01234567 "), std::string::npos);
    for (char colour = '0'; colour <= '7'; ++colour)
        EXPECT_NE(boards.find(colour), std::string::npos) << colour;
}

TEST(Turn, WithoutAHostNothingGoesOut)
{
    ResetWorld();
    g_host = nullptr;
    StartNewGame(nullptr);
    Draw(g_board, kNoMoves);
    ResolveBoard(nullptr);
    EXPECT_EQ(g_board.fieldWnd, nullptr);
    EXPECT_EQ(g_board.IsActive(), 0);
}

TEST(Turn, PausesAreBoundedAndWaitPastTheCounterWrap)
{
    const std::pair<int32_t, uint32_t> pauses[] = {{INT32_MIN, 0}, {-1, 0},      {0, 0},           {50, 50},
                                                   {1000, 1000},   {1001, 1000}, {INT32_MAX, 1000}};
    for (auto [anim, pause] : pauses)
        EXPECT_EQ(PauseFor(anim), pause) << anim;
    // Start, step, milliseconds, reads: the wait ends at the first read
    // more than the milliseconds after the first.
    const uint32_t waits[][4] = {{0xFFFFFFF0u, 3, 20, 8}, {0xFFFFFFFFu, 1, 0, 2}, {5, 10, 50, 7}};
    for (auto w : waits) {
        ResetWorld();
        rec.clock = w[0], rec.step = w[1];
        Delay(w[2]);
        EXPECT_EQ(rec.clock, w[0] + w[1] * w[3]) << w[0];
    }
}

TEST(Turn, InitialValues)
{
    const Settings &s = kInitialSettings;
    EXPECT_EQ(std::make_tuple(s.anim, s.gamma, s.satur, s.back, kInitialScore),
              std::make_tuple(50, 6, 2, 0x0000C800u, 0));
    EXPECT_STREQ(s.name, "Инкогнито");
    EXPECT_EQ(BackToColorref(0x7F112131u), 0x312111u);
    const uint32_t colours[8] = {0xA4A4A4, 0x0000FF, 0x00FF00, 0xFF0000,
                                 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x000000};
    EXPECT_EQ(0, memcmp(Board().colors, colours, sizeof colours));
}

} // namespace
