// The turn controller's outward calls, selection rules, pauses, title and
// end of game, and whole games played by a seeded bot.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include "game/moves.h"
#include "game/random.h"
#include "game/title.h"
#include "game/turn.h"
#include "recorder.h"
#include "settings/settings.h"

namespace {

class Turn : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        rec.Install();
        ResetBoard();
        g_settings.anim = 50;
        std::strcpy(g_settings.name, "Инкогнито");
        score = 0;
        g_board.active = 1;
    }
    void TearDown() override { g_settings.anim = 50; }
    // The no-move board with (0,1) and (1,2) made 0: the swap (0,2)<->(1,2)
    // clears column 0 rows 0..2.
    void SetOneMoveBoard()
    {
        SetNoMoveBoard(g_board);
        g_board.grid[0][1] = 0;
        g_board.grid[1][2] = 0;
    }
    // Click the centre of a cell on a 400x400 field.
    void Click(int c, int r) { HandleCellClick(nullptr, c * 50 + 25, r * 50 + 25, 400, 400); }
    Recorder rec;
};

TEST_F(Turn, SelectionRules)
{
    SetNoMoveBoard(g_board);
    Click(2, 3);
    EXPECT_EQ(g_board.selCol, 2);
    EXPECT_EQ(g_board.selRow, 3);
    Click(2, 3); // same cell: deselect
    EXPECT_EQ(g_board.selCol, NO_SELECTION);
    EXPECT_EQ(g_board.selRow, NO_SELECTION);
    Click(2, 3);
    Click(3, 4); // diagonal: moves the selection
    EXPECT_EQ(g_board.selCol, 3);
    EXPECT_EQ(g_board.selRow, 4);
    Click(6, 4); // far: moves it
    EXPECT_EQ(g_board.selCol, 6);
    EXPECT_EQ(rec.Count("paint"), 5);

    auto before = GridRows(g_board);
    Click(5, 4); // refused neighbour: nothing at all
    EXPECT_EQ(g_board.selCol, 6);
    EXPECT_EQ(g_board.selRow, 4);
    EXPECT_EQ(GridRows(g_board), before);
    EXPECT_EQ(rec.calls.size(), 5u);
}

TEST_F(Turn, ClicksWhileInactiveAndOffTheFieldDoNothing)
{
    SetNoMoveBoard(g_board);
    g_board.active = 0;
    Click(2, 2);
    UndoMove();
    EXPECT_EQ(g_board.selCol, NO_SELECTION);
    EXPECT_TRUE(rec.calls.empty());

    g_board.active = 1;
    HandleCellClick(nullptr, 10, 10, 0, 400);
    HandleCellClick(nullptr, 10, 10, 400, 0);
    HandleCellClick(nullptr, 400, 10, 400, 400); // one past the right edge
    HandleCellClick(nullptr, 10, 65535, 400, 400);
    EXPECT_EQ(g_board.selCol, NO_SELECTION);
    EXPECT_TRUE(rec.calls.empty());
    HandleCellClick(nullptr, 399, 399, 400, 400);
    EXPECT_EQ(g_board.selCol, 7);
    EXPECT_EQ(g_board.selRow, 7);
}

TEST_F(Turn, KeptSwapWithAnimationPausesThreeTimes)
{
    SetOneMoveBoard();
    SeedRandom(1);
    // Make the refill drop pieces that form no run: try seeds until one does.
    uint32_t seed = 0;
    for (;; ++seed) {
        Board probe = g_board;
        probe.selCol = 0;
        probe.selRow = 2;
        SeedRandom(seed);
        probe.TrySwap(1, 2);
        probe.Refill();
        if (probe.ClearMatches() == 0 && probe.CountMoves() != 0) break;
    }
    g_board.selCol = 0;
    g_board.selRow = 2;
    SeedRandom(seed);
    rec.clockStep = 10; // each wait of 50 ms takes 6 reads after the first
    Click(1, 2);
    const std::vector<std::string> want = {"paint", "paint", "paint", "paint", "title"};
    EXPECT_EQ(rec.calls, want);
    EXPECT_EQ(score, 3);
    EXPECT_EQ(g_board.selCol, NO_SELECTION);
    // Three waits of just over 50 ms: 3 x 7 reads of 10 ms.
    EXPECT_EQ(rec.clock, 1000u + 3 * 70u);
    ASSERT_EQ(rec.titles.size(), 1u);
    EXPECT_STREQ(rec.titles[0].c_str(), "Kuvex 2002         Инкогнито            Очки: 3");
}

TEST_F(Turn, WithAnimOffEveryRefillIsPaintedAndNothingBetweenClearAndRefill)
{
    g_settings.anim = 0;
    SeedRandom(5);
    g_board.NewGame(nullptr);
    rec.calls.clear();
    uint32_t before = rec.clock;
    ResolveBoard(nullptr);
    // Shape: (paint)* once per refill, then the final paint and the title.
    int refills = static_cast<int>(rec.calls.size()) - 2;
    ASSERT_GE(refills, 0);
    for (int i = 0; i < refills + 1; ++i)
        EXPECT_EQ(rec.calls[i], "paint");
    EXPECT_EQ(rec.calls[refills + 1], "title");
    // Every refill still waits for the counter to move on: two reads each.
    EXPECT_EQ(rec.clock - before, 2u * refills);
    EXPECT_EQ(rec.Count("gameOver"), 0) << "seed 5 leaves a move";
}

TEST_F(Turn, NegativeOrHugeAnimCannotHang)
{
    EXPECT_EQ(PauseFor(-1), 0u);
    EXPECT_EQ(PauseFor(INT32_MIN), 0u);
    EXPECT_EQ(PauseFor(5000), 1000u);
    EXPECT_EQ(PauseFor(50), 50u);
    g_settings.anim = -1;
    SetOneMoveBoard();
    g_board.selCol = 0;
    g_board.selRow = 2;
    Click(1, 2);
    EXPECT_LT(rec.clock - 1000u, 100u) << "a few reads, not 2^32";
}

TEST_F(Turn, DelayAcrossTheCounterWrap)
{
    rec.clock = 0xFFFFFFF0u;
    rec.clockStep = 3;
    Delay(20);
    // It stops at the first read more than 20 past the start, across 2^32.
    EXPECT_EQ(rec.clock, 0xFFFFFFF0u + 3u * 8u); // start + 7 reads
    rec.clock = 0xFFFFFFFFu;
    rec.clockStep = 1;
    Delay(0);
    EXPECT_EQ(rec.clock, 1u) << "0 still waits for one step";
}

TEST_F(Turn, OpeningCascadeAndAGameThatEndsAtOnce)
{
    g_settings.anim = 0;
    // Search for a tick whose board holds runs, and one whose settled board
    // has no move.
    bool sawScore = false, sawEnd = false;
    for (uint32_t t = 0; t < 20000 && !(sawScore && sawEnd); ++t) {
        rec.calls.clear();
        rec.records.clear();
        rec.clock = t;
        rec.clockStep = 0x10000; // far enough for a wait in one read
        g_board.fieldWnd = nullptr;
        StartNewGame(nullptr);
        EXPECT_EQ(rec.calls.front(), "createField");
        if (rec.Count("gameOver") == 0) {
            if (score > 0 && !sawScore) {
                sawScore = true;
                ASSERT_FALSE(rec.titles.empty());
                std::string want = "            Очки: " + std::to_string(score);
                EXPECT_EQ(rec.titles.back().substr(rec.titles.back().size() - want.size()), want);
            }
            continue;
        }
        sawEnd = true;
        // dialog, then the record with the final score, then score 0.
        auto it = std::find(rec.calls.begin(), rec.calls.end(), "gameOver");
        EXPECT_EQ(*(it - 1), "title");
        EXPECT_EQ(*(it + 1), "append");
        EXPECT_EQ(g_board.IsActive(), 0);
        EXPECT_EQ(score, 0);
        ASSERT_EQ(rec.records.size(), 1u);
        EXPECT_STREQ(rec.records[0].first.c_str(), "Инкогнито");
        ResetBoard();
    }
    EXPECT_TRUE(sawScore);
    EXPECT_TRUE(sawEnd);
}

TEST_F(Turn, UndoRestoresAndKeepsScoreAndSelection)
{
    SetOneMoveBoard();
    auto original = GridRows(g_board);
    UndoMove();
    EXPECT_TRUE(rec.calls.empty()) << "no kept swap yet";
    g_board.selCol = 0;
    g_board.selRow = 2;
    Click(1, 2);
    int32_t after = score;
    EXPECT_GE(after, 3);
    Click(4, 4);
    rec.calls.clear();
    UndoMove();
    EXPECT_EQ(rec.calls, std::vector<std::string>{"paint"});
    EXPECT_EQ(GridRows(g_board), original);
    EXPECT_EQ(score, after);
    EXPECT_EQ(g_board.selCol, 4);
}

TEST(Title, ComposedWithinItsBufferAtFullLength)
{
    char name[255];
    std::memset(name, 'x', 254);
    name[254] = '\0';
    char out[TITLE_CAP];
    size_t n = ComposeTitle(out, sizeof out, name, INT32_MIN);
    EXPECT_EQ(n, 10u + 9 + 254 + 12 + 6 + 11);
    EXPECT_EQ(std::strlen(out), n);
    EXPECT_STREQ(out + n - 17, "Очки: -2147483648");

    // A small buffer cuts, never overflows; a name without NUL stops at 254.
    char small[16];
    EXPECT_EQ(ComposeTitle(small, sizeof small, name, 5), 15u);
    EXPECT_STREQ(small, "Kuvex 2002     ");
    char unterminated[300];
    std::memset(unterminated, 'y', sizeof unterminated);
    EXPECT_EQ(ComposeTitle(out, sizeof out, unterminated, 0), 10u + 9 + 254 + 12 + 6 + 1);
}

// Plays whole games through clicks only, choosing swaps with the rules'
// own move list; checks the board and the score after every turn.
TEST(Bot, SeededGamesPlayedToTheEnd)
{
    Recorder rec;
    rec.Install();
    g_settings.anim = 0;
    rec.clockStep = 0x10000;
    const uint32_t seed = ::testing::UnitTest::GetInstance()->random_seed() + 12345u;
    std::mt19937 pick(seed);
    for (int game = 0; game < 30; ++game) {
        SCOPED_TRACE("bot seed " + std::to_string(seed) + ", game " + std::to_string(game));
        ResetBoard();
        rec.clock = seed * 7919u + game;
        StartNewGame(nullptr);
        int turns = 0;
        while (g_board.IsActive() && turns < 5000) {
            std::vector<std::array<int, 4>> moves;
            ForEachMove(g_board, [&](int a, int b, int c, int d) { moves.push_back({a, b, c, d}); });
            ASSERT_FALSE(moves.empty());
            auto m = moves[pick() % moves.size()];
            int32_t before = score;
            rec.records.clear();
            // Replay the turn on a copy with the same generator state: the
            // score must grow by exactly the sum of the Refill counts.
            uint32_t state = GetRandomState();
            Board copy = g_board;
            copy.selCol = m[0];
            copy.selRow = m[1];
            ASSERT_EQ(copy.TrySwap(m[2], m[3]), 1);
            int32_t refilled = 0;
            for (;;) {
                copy.ClearMatches();
                int n = copy.Refill();
                if (n == 0) break;
                refilled += n;
            }
            SetRandomState(state);
            g_board.selCol = NO_SELECTION;
            g_board.selRow = NO_SELECTION;
            HandleCellClick(nullptr, m[0] * 50 + 1, m[1] * 50 + 1, 400, 400);
            HandleCellClick(nullptr, m[2] * 50 + 49, m[3] * 50 + 49, 400, 400);
            ++turns;
            EXPECT_EQ(GridRows(g_board), GridRows(copy));
            for (auto &col : g_board.grid)
                for (int v : col)
                    ASSERT_NE(v, EMPTY);
            Board probe = g_board;
            ASSERT_EQ(probe.ClearMatches(), 0);
            int32_t gained = g_board.IsActive() ? score - before : rec.records.back().second - before;
            ASSERT_EQ(gained, refilled);
        }
        EXPECT_FALSE(g_board.IsActive()) << "the game ends";
    }
    g_settings.anim = 50;
}

} // namespace
