// The turn controller's outward calls against the recorder: clicks, the
// cascade with and without pauses, the end of a game, undo, new games; and
// the settings' initial values.
#include <gtest/gtest.h>

#include "game/host.h"
#include "game/random.h"
#include "game/turn.h"
#include "recorder.h"

namespace {

const std::string kTitle = "Kuvex 2002         Инкогнито            Очки: ";

TEST(Turn, ClicksSelectMoveAndDeselect)
{
    const struct
    {
        int selCol, selRow, active, x, y, width, height, col, row;
        const char *log;
    } rows[] = {
        {8, 8, 1, 125, 175, 400, 400, 2, 3, "P"}, // select
        {2, 3, 1, 125, 175, 400, 400, 8, 8, "P"}, // the same cell: deselect
        {2, 3, 1, 175, 225, 400, 400, 3, 4, "P"}, // diagonal: the selection moves
        {2, 3, 1, 325, 175, 400, 400, 6, 3, "P"}, // far
        {2, 3, 1, 175, 175, 400, 400, 2, 3, ""},  // a neighbour, no run: nothing at all
        {8, 8, 0, 125, 175, 400, 400, 8, 8, ""},  // no game
        {8, 8, 1, 399, 399, 400, 400, 7, 7, "P"}, {8, 8, 1, 100, 100, 800, 200, 1, 4, "P"},
        {8, 8, 1, 400, 10, 400, 400, 8, 8, ""}, // off the field
        {8, 8, 1, 10, 400, 400, 400, 8, 8, ""},   {8, 8, 1, 10, 10, 0, 400, 8, 8, ""},
        {8, 8, 1, 10, 10, 400, 0, 8, 8, ""},
    };
    for (const auto &row : rows) {
        ResetWorld();
        Draw(g_board, kNoMoves);
        g_board.active = row.active, g_board.selCol = row.selCol, g_board.selRow = row.selRow;
        HandleCellClick(nullptr, uint16_t(row.x), uint16_t(row.y), row.width, row.height);
        EXPECT_EQ(rec.log, row.log) << row.x << "," << row.y;
        EXPECT_EQ(g_board.selCol * 10 + g_board.selRow, row.col * 10 + row.row) << row.x << "," << row.y;
        EXPECT_EQ(Picture(g_board), kNoMoves);
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

TEST(Turn, KeptSwapCascadeWithAndWithoutPauses)
{
    // With anim: shown emptied and paused, refilled and paused, the last
    // clear (nothing) paused. Without: nothing between clear and refill.
    const struct
    {
        int32_t anim;
        const char *log;
    } rows[] = {{50, "P t t P t t P t t P T"}, {0, "P t t P T"}, {-5, "P t t P T"}};
    for (const auto &row : rows) {
        ResetWorld();
        Draw(g_board, kOneMove);
        g_board.active = 1, g_board.selCol = 0, g_board.selRow = 2;
        g_settings.anim = row.anim;
        score = 10;
        SeedRandom(QuietSeed());
        HandleCellClick(nullptr, 75, 125, 400, 400);
        EXPECT_EQ(rec.log, row.log) << "anim " << row.anim;
        EXPECT_EQ(score, 13);
        EXPECT_EQ(rec.title, kTitle + "13");
        EXPECT_EQ(g_board.selCol * 10 + g_board.selRow, 88);
    }
}

TEST(Turn, NoMoveLeftEndsTheGame)
{
    const struct
    {
        int32_t anim;
        const char *log;
    } rows[] = {{50, "P t t P T G AИнкогнито:5"}, {0, "P T G AИнкогнито:5"}};
    for (const auto &row : rows) {
        ResetWorld();
        Draw(g_board, kNoMoves);
        g_board.active = 1;
        g_settings.anim = row.anim;
        score = 5;
        ResolveBoard(nullptr);
        EXPECT_EQ(rec.log, row.log) << "anim " << row.anim;
        EXPECT_EQ(rec.title, kTitle + "5") << "the title keeps the final score";
        EXPECT_EQ(score, 0);
        EXPECT_EQ(g_board.IsActive(), 0);
        EXPECT_EQ(Picture(g_board), kNoMoves);
    }
}

TEST(Turn, UndoBringsBackTheBoardAndKeepsScoreAndSelection)
{
    ResetWorld();
    Draw(g_board, kOneMove);
    g_board.active = 1;
    SeedRandom(QuietSeed());
    UndoMove();
    EXPECT_EQ(rec.log, "") << "no kept swap yet";
    g_board.selCol = 0, g_board.selRow = 2;
    HandleCellClick(nullptr, 75, 125, 400, 400);
    HandleCellClick(nullptr, 225, 225, 400, 400);
    const int32_t earned = score;
    rec.log.clear();
    UndoMove();
    EXPECT_EQ(rec.log, "P");
    EXPECT_EQ(Picture(g_board), kOneMove);
    EXPECT_GE(earned, 3);
    EXPECT_EQ(score, earned);
    EXPECT_EQ(g_board.selCol * 10 + g_board.selRow, 44);
    g_board.active = 0;
    UndoMove();
    EXPECT_EQ(rec.log, "P") << "nothing while no game runs";
}

TEST(Turn, NewGameStartsFromTheTickCountWithScore0)
{
    ResetWorld();
    rec.clock = 77;
    score = 500;
    StartNewGame(nullptr);
    ASSERT_EQ(g_board.IsActive(), 1) << "tick 77 leaves a move";
    EXPECT_EQ(rec.log.substr(0, 4), "F t ") << "the field control first, then the counter";
    const std::string board = Picture(g_board);
    const int32_t opening = score;
    for (uint32_t tick : {77u, 78u}) {
        rec.log.clear(), rec.clock = tick, score = 900;
        SeedRandom(tick * 7);
        StartNewGame(nullptr);
        EXPECT_EQ(rec.log.substr(0, 2), "t ") << "the field control is made once";
        EXPECT_EQ(Picture(g_board) == board, tick == 77) << "the board comes from the tick count";
        EXPECT_TRUE(tick != 77 || score == opening) << "a new game starts from 0, not " << score;
    }
    int seen[8] = {};
    for (uint32_t tick = 0; tick < 20; ++tick) {
        rec.clock = tick;
        g_board.NewGame(nullptr);
        for (auto &col : g_board.grid)
            for (int v : col) {
                ASSERT_TRUE(v >= 0 && v < 8) << v;
                ++seen[v];
            }
    }
    for (int k = 0; k < 8; ++k)
        EXPECT_GT(seen[k], 100) << "colour " << k; // of 1280 cells, 160 expected
}

TEST(Turn, WithoutAHostNothingGoesOut)
{
    ResetWorld();
    g_host = nullptr;
    StartNewGame(nullptr);
    EXPECT_EQ(g_board.fieldWnd, nullptr);
    Draw(g_board, kNoMoves);
    g_board.active = 1;
    ResolveBoard(nullptr);
    EXPECT_EQ(g_board.IsActive(), 0);
    {
        Board b;
        b.fieldWnd = reinterpret_cast<HWND>(0x55);
    }
    ResetWorld();
    {
        Board b;
        b.fieldWnd = reinterpret_cast<HWND>(0x55);
    }
    EXPECT_EQ(rec.log, "D") << "the board destroys its field control";
}

TEST(Turn, PausesAreBoundedAndWaitPastTheCounterWrap)
{
    const int32_t anims[][2] = {{INT32_MIN, 0}, {-1, 0},      {0, 0},           {50, 50},
                                {1000, 1000},   {1001, 1000}, {INT32_MAX, 1000}};
    for (auto a : anims)
        EXPECT_EQ(PauseFor(a[0]), uint32_t(a[1])) << a[0];
    // {start, step, milliseconds, reads}: the wait ends at the first read
    // more than the milliseconds after the first.
    const uint32_t waits[][4] = {{0xFFFFFFF0u, 3, 20, 8}, {0xFFFFFFFFu, 1, 0, 2}, {5, 10, 50, 7}};
    for (auto w : waits) {
        ResetWorld();
        rec.clock = w[0], rec.step = w[1];
        Delay(w[2]);
        EXPECT_EQ(rec.clock, w[0] + w[1] * w[3]) << w[0];
    }
}

TEST(Settings, StaticInitialValuesAndBackBytes)
{
    EXPECT_EQ(kInitialSettings.anim, 50);
    EXPECT_EQ(kInitialSettings.gamma, 6);
    EXPECT_EQ(kInitialSettings.satur, 2);
    EXPECT_EQ(kInitialSettings.back, 0x0000C800u); // blue 0, green 200, red 0
    EXPECT_STREQ(kInitialSettings.name, "Инкогнито");
    EXPECT_EQ(BackToColorref(0x7F112131u), 0x312111u);
}

} // namespace
