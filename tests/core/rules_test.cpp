// The board's rules as tables of pictured boards, and the move patterns
// against a brute-force search over seeded boards.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>

#include "game/moves.h"
#include "game/random.h"
#include "recorder.h"

namespace {

TEST(Rules, ClearMatchesEmptiesRunsAsFound)
{
    const struct
    {
        const char *before;
        int runs;
        const char *after;
    } rows[] = {
        {"-3-3---- 33-3---- -------- -------- -------- -------- 3-55-5-- 3-55-5--", 0, nullptr},
        {"--4----- --4----- --444--- -------- -------- -------- -------- --------", 1, // L: the column only
         "--.----- --.----- --.44--- -------- -------- -------- -------- --------"},
        {"----444- -----4-- -----4-- -------- -------- -------- -------- --------", 1, // T
         "----4.4- -----.-- -----.-- -------- -------- -------- -------- --------"},
        {"-------- -------- -------- -------- --4----- -444---- --4----- --------", 1, // plus
         "-------- -------- -------- -------- --.----- -4.4---- --.----- --------"},
        {"-------- -------- -------- --1111-- -----1-- -----1-- -------- --------",
         2, // four, column at its end
         "-------- -------- -------- --....-- -----.-- -----.-- -------- --------"},
        {"-------- -------- ---2---- -22222-- ---2---- -------- -------- --------",
         1, // five, column in the middle
         "-------- -------- ---.---- -22.22-- ---.---- -------- -------- --------"},
        {"-6667777 -------- -------- 5------- 5------- 5------- 5------- 5-------", 3, // to the edges
         "-....... -------- -------- .------- .------- .------- .------- .-------"},
    };
    for (const auto &row : rows) {
        Board b;
        Draw(b, row.before);
        EXPECT_EQ(b.ClearMatches(), row.runs) << row.before;
        EXPECT_EQ(Picture(b), row.after ? row.after : row.before);
        EXPECT_EQ(b.ClearMatches(), 0) << "a second pass finds nothing";
    }
}

TEST(Rules, RefillDropsInOrderAndDrawsTheLowestFirst)
{
    Board b;
    Draw(b, "--a---.- --b---.- --.---.- --c---.- --.---.- --d---.- --e---.- --f---.-");
    SeedRandom(7);
    int drawn[10];
    for (int &d : drawn)
        d = RandomPiece();
    SeedRandom(7);
    EXPECT_EQ(b.Refill(), 10);
    const int want[8] = {drawn[1], drawn[0], 'a', 'b', 'c', 'd', 'e', 'f'};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(b.grid[2][r], r < 2 ? want[r] : 100 + want[r]) << "row " << r;
        EXPECT_EQ(b.grid[6][r], drawn[9 - r]) << "row " << r;
    }
    EXPECT_EQ(b.Refill(), 0) << "a full board draws nothing";
}

TEST(Rules, CountMovesWorkedPatterns)
{
    const struct
    {
        const char *board;
        int moves;
    } rows[] = {
        {kNoMoves, 0},
        {kOneMove, 2},
        {"---1---- ---1---- ---21--- -------- -------- -------- -------- --------", 1},
        {"---1---- ---1---- ---21--- ---1---- -------- -------- -------- --------", 3}, // with multiplicity
        {"-------- -------- -------- -------- ---3---- --343--- -------- --------", 1},
        {"-------- -------- -------- -------- -------- -5------ 5------- 5-------", 1}, // edges
    };
    for (const auto &row : rows) {
        Board b;
        Draw(b, row.board);
        EXPECT_EQ(b.CountMoves(), row.moves) << row.board;
    }
}

TEST(Rules, SwapIsKeptOnlyWithARun)
{
    const struct
    {
        const char *before;
        int selCol, selRow, col, row, kept;
        const char *after;
    } rows[] = {
        {kNoMoves, 2, 2, 3, 2, 0, kNoMoves},
        {"--66---- -------- -------- -------- -------- -------- -------- --------", 2, 0, 3, 0, 0, nullptr},
        {kOneMove, 0, 2, 1, 2, 1, ".1234567 .4567012 .6012345 12345670 45670123 70123456 23456701 56701234"},
        {"110100-- -------- -------- -------- -------- -------- -------- --------", 2, 0, 3, 0,
         1, // both complete
         "......-- -------- -------- -------- -------- -------- -------- --------"},
        // The caller guarantees two cells on the board; anything else is refused.
        {kOneMove, 8, 8, 0, 0, 0, kOneMove},
        {kOneMove, 8, 3, 7, 3, 0, kOneMove},
        {kOneMove, 3, 8, 3, 7, 0, kOneMove},
        {kOneMove, -1, 3, 0, 3, 0, kOneMove},
        {kOneMove, 3, -1, 3, 0, 0, kOneMove},
        {kOneMove, 0, 2, 8, 2, 0, kOneMove},
        {kOneMove, 0, 2, 0, 8, 0, kOneMove},
        {kOneMove, 0, 2, -1, 2, 0, kOneMove},
        {kOneMove, 0, 2, 0, -1, 0, kOneMove},
    };
    for (const auto &row : rows) {
        Board b;
        Draw(b, row.before);
        b.selCol = row.selCol, b.selRow = row.selRow;
        EXPECT_EQ(b.TrySwap(row.col, row.row), row.kept) << row.selCol << row.selRow << row.col << row.row;
        EXPECT_EQ(Picture(b), row.after ? row.after : row.before);
        EXPECT_EQ(b.Undo(), row.kept) << "a refused swap leaves no snapshot";
        EXPECT_TRUE(!row.kept || Picture(b) == row.before) << "undone: " << Picture(b);
    }
}

TEST(Rules, UndoGoesBackToBeforeTheLastKeptSwap)
{
    Board b;
    Draw(b, kOneMove);
    b.selCol = 0, b.selRow = 2;
    ASSERT_EQ(b.TrySwap(1, 2), 1);
    Draw(b, kNoMoves);          // stands for the board the cascade left
    b.selCol = 6, b.selRow = 7; // refused: the snapshot stays
    ASSERT_EQ(b.TrySwap(7, 7), 0);
    EXPECT_EQ(b.Undo(), 1);
    b.grid[4][4] = 3;
    EXPECT_EQ(b.Undo(), 1) << "the snapshot stays for a second undo";
    EXPECT_EQ(Picture(b), kOneMove);
    EXPECT_EQ(b.selCol, 6) << "the selection is the caller's";
}

TEST(Rules, ACopyIsTheGameWithoutTheFieldControlOrSprites)
{
    Board b;
    Draw(b, kOneMove);
    b.selCol = 1, b.selRow = 2, b.active = 1, b.snapshot[3][3] = 5;
    b.fieldWnd = reinterpret_cast<HWND>(0x99), b.sprites[3] = reinterpret_cast<HBITMAP>(0x77);
    Board copy = b;
    b.fieldWnd = nullptr;
    EXPECT_EQ(Picture(copy), kOneMove);
    EXPECT_EQ(copy.selCol * 100 + copy.selRow * 10 + copy.active, 121);
    EXPECT_EQ(copy.snapshot[3][3], 5);
    EXPECT_EQ(copy.fieldWnd, nullptr) << "a copy must never destroy the real control";
    EXPECT_EQ(copy.sprites[3], nullptr);
    copy.fieldWnd = reinterpret_cast<HWND>(0x99);
    copy = Board();
    EXPECT_EQ(copy.fieldWnd, reinterpret_cast<HWND>(0x99)) << "assignment keeps its own";
    EXPECT_EQ(copy.selCol * 100 + copy.selRow * 10 + copy.active + copy.snapshot[0][0], 879);
    copy.fieldWnd = nullptr;
}

TEST(Rules, PieceColours)
{
    const uint32_t want[8] = {0xA4A4A4, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x000000};
    const Board b;
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(b.colors[k], want[k]) << "colour " << k;
}

using Swap = std::tuple<int, int, int, int>;

// Settled boards, seeded, a quarter of them close to having no move; the
// patterns name exactly the swaps that form a run, and 0 means none.
TEST(Rules, MovePatternsEqualBruteForceSwaps)
{
    const uint32_t seed = ::testing::UnitTest::GetInstance()->random_seed();
    std::mt19937 gen(seed);
    int ended = 0;
    for (int i = 0; i < 1500; ++i) {
        Board b;
        SeedRandom(gen());
        Draw(b, kNoMoves);
        for (auto &col : b.grid)
            for (int &v : col)
                v = i % 4 ? RandomPiece() % (3 + i % 5) : (v + i) % 8;
        for (int k = i % 4 ? 0 : gen() % 4; k > 0; --k)
            b.grid[gen() % 8][gen() % 8] = RandomPiece();
        while (b.ClearMatches())
            b.Refill();
        std::set<Swap> patterns, brute;
        int count = 0;
        ForEachMove(b, [&](int c1, int r1, int c2, int r2) {
            patterns.insert(std::min(Swap{c1, r1, c2, r2}, Swap{c2, r2, c1, r1}));
            ++count;
        });
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                for (int d = 0; d < 2; ++d) {
                    Board t = b;
                    const int c2 = c + d, r2 = r + 1 - d;
                    if (c2 > 7 || r2 > 7) continue;
                    std::swap(t.grid[c][r], t.grid[c2][r2]);
                    if (t.ClearMatches()) brute.insert(Swap{c, r, c2, r2});
                }
        ASSERT_EQ(patterns, brute) << "seed " << seed << ", board " << i << "\n" << Picture(b);
        ASSERT_EQ(b.CountMoves(), count) << "seed " << seed << ", board " << i;
        ended += brute.empty();
    }
    EXPECT_GT(ended, 0) << "the sample includes ended games";
}

} // namespace
