// The board's rules: run clearing shapes, refill order, move patterns,
// swap and undo.
#include <gtest/gtest.h>

#include "game/board.h"
#include "game/moves.h"
#include "game/random.h"
#include "recorder.h"

namespace {

// A background of values no piece has, distinct per cell: it forms no run
// and no move pattern, so only what a test places counts.
void SetInertBoard(Board &b)
{
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            b.grid[c][r] = 100 + c * 8 + r;
}

int EmptyCount(const Board &b)
{
    int n = 0;
    for (auto &col : b.grid)
        for (int v : col)
            n += v == EMPTY;
    return n;
}

class Rules : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        rec.Install();
        ResetBoard();
        SetInertBoard(b);
    }
    Recorder rec;
    Board &b = g_board;
};

TEST_F(Rules, CrossingRunsKeepOnlyTheColumnRun)
{
    // L: column 2 rows 0..2, row 2 columns 2..4, sharing (2, 2).
    // T: row 0 columns 4..6, column 5 rows 0..2.
    // Plus: column 2 rows 4..6, row 5 columns 1..3.
    struct Shape
    {
        int cells[5][2];
        int keep[2][2];
    } shapes[] = {
        {{{2, 0}, {2, 1}, {2, 2}, {3, 2}, {4, 2}}, {{3, 2}, {4, 2}}},
        {{{4, 0}, {5, 0}, {6, 0}, {5, 1}, {5, 2}}, {{4, 0}, {6, 0}}},
        {{{2, 4}, {2, 5}, {2, 6}, {1, 5}, {3, 5}}, {{1, 5}, {3, 5}}},
    };
    for (const Shape &s : shapes) {
        SetInertBoard(b);
        for (auto &cell : s.cells)
            b.grid[cell[0]][cell[1]] = 4;
        EXPECT_EQ(b.ClearMatches(), 1);
        EXPECT_EQ(EmptyCount(b), 3);
        for (auto &k : s.keep)
            EXPECT_EQ(b.grid[k[0]][k[1]], 4) << k[0] << "," << k[1];
        EXPECT_EQ(b.ClearMatches(), 0) << "a second pass finds nothing";
    }
}

TEST_F(Rules, RowOfFourWithColumnAtItsEndAndRowOfFiveWithMiddleColumn)
{
    for (int c = 2; c <= 5; ++c)
        b.grid[c][3] = 1;
    b.grid[5][4] = b.grid[5][5] = 1; // column 5 rows 3..5 shares the end (5, 3)
    EXPECT_EQ(b.ClearMatches(), 2);
    EXPECT_EQ(EmptyCount(b), 6);

    SetInertBoard(b);
    for (int c = 1; c <= 5; ++c)
        b.grid[c][3] = 2;
    b.grid[3][2] = b.grid[3][4] = 2;
    EXPECT_EQ(b.ClearMatches(), 1);
    EXPECT_EQ(EmptyCount(b), 3);
    for (int c : {1, 2, 4, 5})
        EXPECT_EQ(b.grid[c][3], 2);
}

TEST_F(Rules, RunsOfAnyLengthTouchingRunsAndTheEdges)
{
    for (int r = 3; r < 8; ++r)
        b.grid[0][r] = 5; // column run of five ending at row 7
    for (int c = 1; c <= 3; ++c)
        b.grid[c][0] = 6; // two touching row runs of different colours
    for (int c = 4; c <= 7; ++c)
        b.grid[c][0] = 7; // ... the second ending at column 7
    EXPECT_EQ(b.ClearMatches(), 3);
    EXPECT_EQ(EmptyCount(b), 12);
    for (int r = 3; r < 8; ++r)
        EXPECT_EQ(b.grid[0][r], EMPTY);
    EXPECT_EQ(b.grid[0][2], 100 + 2) << "nothing above the run changes";
}

TEST_F(Rules, RefillDropsInOrderAndDrawsLowestFirst)
{
    // Column 3 top to bottom: 10 11 . 12 . 13 14 15; column 6 all EMPTY.
    int32_t col[8] = {10, 11, EMPTY, 12, EMPTY, 13, 14, 15};
    for (int r = 0; r < 8; ++r) {
        b.grid[3][r] = col[r];
        b.grid[6][r] = EMPTY;
    }
    SeedRandom(77);
    int drawn[10];
    for (int &d : drawn)
        d = RandomPiece();
    SeedRandom(77);
    EXPECT_EQ(b.Refill(), 10);
    int32_t want3[8] = {drawn[1], drawn[0], 10, 11, 12, 13, 14, 15};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(b.grid[3][r], want3[r]) << "row " << r;
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(b.grid[6][r], drawn[9 - r]) << "row " << r;
    EXPECT_EQ(b.Refill(), 0) << "a full board draws nothing";
}

TEST_F(Rules, CountMovesPatternsAndEdges)
{
    SetNoMoveBoard(b);
    EXPECT_EQ(b.CountMoves(), 0);
    b.grid[0][1] = 0;
    b.grid[1][2] = 0;
    EXPECT_EQ(b.ClearMatches(), 0) << "the two changes form no run";
    EXPECT_EQ(b.CountMoves(), 2);

    // Red pair above green with red to the right: 1. Red below green adds
    // the swap with (3, 3), and the right-hand red now also completes the
    // triple of rows 1..3 (counted again, with multiplicity): 3.
    SetInertBoard(b);
    b.grid[3][0] = b.grid[3][1] = 1;
    b.grid[3][2] = 2;
    b.grid[4][2] = 1;
    EXPECT_EQ(b.CountMoves(), 1);
    b.grid[3][3] = 1;
    EXPECT_EQ(b.CountMoves(), 3);

    // Blue at columns 2 and 4 of row 5, yellow between, blue above it.
    SetInertBoard(b);
    b.grid[2][5] = b.grid[4][5] = 3;
    b.grid[3][5] = 4;
    b.grid[3][4] = 3;
    EXPECT_EQ(b.CountMoves(), 1);

    // Pairs at the edges have no neighbours off the board.
    SetInertBoard(b);
    b.grid[0][6] = b.grid[0][7] = 5; // target (0, 5): only up and right
    b.grid[1][5] = 5;
    EXPECT_EQ(b.CountMoves(), 1);
}

TEST_F(Rules, SwapKeptRefusedAndUndo)
{
    SetNoMoveBoard(b);
    EXPECT_EQ(b.Undo(), 0) << "no snapshot yet";

    // Refused: grid and (absent) snapshot unchanged.
    auto before = GridRows(b);
    b.selCol = 2;
    b.selRow = 2;
    EXPECT_EQ(b.TrySwap(3, 2), 0);
    EXPECT_EQ(GridRows(b), before);
    EXPECT_EQ(b.Undo(), 0);

    // Equal colours swapped: nothing changes, refused.
    b.grid[2][2] = b.grid[3][2] = 6;
    before = GridRows(b);
    EXPECT_EQ(b.TrySwap(3, 2), 0);
    EXPECT_EQ(GridRows(b), before);

    // Kept: (0, 1) and (1, 2) made 0 allow (0, 2) <-> (1, 2).
    SetNoMoveBoard(b);
    b.grid[0][1] = 0;
    b.grid[1][2] = 0;
    auto original = GridRows(b);
    b.selCol = 0;
    b.selRow = 2;
    EXPECT_EQ(b.TrySwap(1, 2), 1);
    EXPECT_EQ(b.grid[1][2], 6) << "the two pieces stand exchanged";
    EXPECT_EQ(b.grid[0][0], EMPTY);
    EXPECT_EQ(b.grid[0][1], EMPTY);
    EXPECT_EQ(b.grid[0][2], EMPTY);
    EXPECT_EQ(b.selCol, 0) << "TrySwap leaves the selection";

    // Refused after kept keeps the kept snapshot; Undo twice gives it twice.
    b.Refill();
    while (b.ClearMatches())
        b.Refill();
    b.selCol = 7;
    b.selRow = 7;
    b.grid[7][7] = b.grid[7][6] = 50;
    b.grid[6][7] = 51;
    EXPECT_EQ(b.TrySwap(6, 7), 0);
    EXPECT_EQ(b.Undo(), 1);
    EXPECT_EQ(GridRows(b), original);
    b.grid[4][4] = 3;
    EXPECT_EQ(b.Undo(), 1);
    EXPECT_EQ(GridRows(b), original);
}

TEST_F(Rules, ACopyIsTheGameWithoutTheFieldControlOrSprites)
{
    b.NewGame(nullptr);
    b.sprites[3] = reinterpret_cast<HBITMAP>(0x77);
    Board copy = b;
    EXPECT_EQ(GridRows(copy), GridRows(b));
    EXPECT_EQ(copy.fieldWnd, nullptr) << "a copy must never destroy the real control";
    EXPECT_EQ(copy.sprites[3], nullptr);
    Board other;
    other.fieldWnd = reinterpret_cast<HWND>(0x99);
    other = b;
    EXPECT_EQ(other.fieldWnd, reinterpret_cast<HWND>(0x99)) << "assignment keeps its own";
    other.fieldWnd = nullptr;
    b.sprites[3] = nullptr;
}

TEST_F(Rules, NewGameFillsEveryCellWithEveryColourOverGames)
{
    int seen[8] = {};
    for (int game = 0; game < 20; ++game) {
        b.NewGame(nullptr);
        EXPECT_EQ(b.IsActive(), 1);
        for (auto &col : b.grid)
            for (int v : col) {
                ASSERT_GE(v, 0);
                ASSERT_LE(v, 7);
                ++seen[v];
            }
    }
    for (int k = 0; k < 8; ++k)
        EXPECT_GT(seen[k], 100) << "colour " << k; // 1280 cells, 160 expected
    EXPECT_EQ(rec.Count("createField"), 1) << "the field control is made once";
    b.EndGame();
    EXPECT_EQ(b.IsActive(), 0);
}

} // namespace
