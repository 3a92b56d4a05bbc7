// The rules as tables of pictured boards; the move patterns against a
// brute-force search over seeded boards; the turn controller's outward
// calls against the recorder, as scenes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "game/moves.h"
#include "game/random.h"
#include "recorder.h"

namespace {

TEST(Rules, ClearRefillSwapAndUndo)
{
    // Before; runs emptied; the board after the clear and a refill, '*' a
    // new piece (null: no change). Crossing runs: the column pass empties
    // the shared cell before the row pass looks (L, T, plus). Pieces fall in
    // order.
    const std::tuple<const char *, int, const char *> rows[] = {
        {"aa-aa--- ---aa-a-", 0, nullptr},
        {"--a----- --a----- --aaa---", 1, "--*----- --*----- --*aa---"},
        {"----aaa- -----a-- -----a--", 1, "----a*a- -----*-- -----*--"},
        {"--a----- -aaa---- --a-----", 1, "--*----- -a*a---- --*-----"},
        {"--aaaa-- -----a-- -----a--", 2, "--****-- -----*-- -----*--"},
        {"---a---- -aaaaa-- ---a----", 1, "---*---- -aa*aa-- ---*----"},
        {"-bbbcccc -------- -------- a------- a------- a------- a------- a-------", 3,
         "******** *------- *------- *------- *-------"},
        {"--a---.- --b---.- --.---.- --c---.- --.---.- --d---.- --e---.- --f---.-", 0,
         "--*---*- --*---*- --a---*- --b---*- --c---*- --d---*- --e---*- --f---*-"}};
    for (auto [before, runs, after] : rows) {
        Board b = Draw(before);
        EXPECT_EQ(b.ClearMatches(), runs) << before;
        EXPECT_EQ(b.Refill(), after ? std::count(after, after + strlen(after), '*') : 0);
        std::string picture = Picture(b);
        std::replace_if(picture.begin(), picture.end(), isdigit, '*');
        EXPECT_EQ(picture, after ? after : before);
    }
    // Swaps: kept only with a run, and undone to the board before.
    const auto swap = [](const char *before, int sc, int sr, int c, int r, int kept, const char *after) {
        Board b = Draw(before);
        std::tie(b.selCol, b.selRow) = std::make_pair(sc, sr);
        EXPECT_EQ(b.TrySwap(c, r), kept) << sc << sr << c << r;
        EXPECT_EQ(Picture(b), after);
        EXPECT_EQ(b.Undo(), kept) << "a refused swap takes no snapshot";
        EXPECT_EQ(Picture(b), before);
    };
    swap(kNoMoves, 2, 2, 3, 2, 0, kNoMoves);
    swap("ba------ a------- a-------", 1, 0, 0, 0, 1, ".b------ .------- .-------");
    // The caller guarantees two cells on the board; anything else is refused.
    const int off[][4] = {{8, 8, 0, 0}, {8, 3, 7, 3}, {3, 8, 3, 7},  {-1, 3, 0, 3}, {3, -1, 3, 0},
                          {0, 2, 8, 2}, {0, 2, 0, 8}, {0, 2, -1, 2}, {0, 2, 0, -1}};
    for (auto o : off)
        swap(kOneMove, o[0], o[1], o[2], o[3], 0, kOneMove);
}

// Settled boards from the test seed, from no move to many: the patterns
// name exactly the swaps that form a run.
TEST(Rules, MovePatternsEqualBruteForceSwaps)
{
    const uint32_t seed = ::testing::UnitTest::GetInstance()->random_seed();
    std::mt19937 gen(seed);
    g_host = nullptr; // the refills draw from the generator itself
    for (int i = 0; i < 1500; ++i) { // every 40th board left without a move
        Board b = Draw(kNoMoves);
        for (int k = i % 40; k > 0; --k)
            b.grid[gen() % 8][gen() % 8] = int(gen() % (2 + i % 7));
        for (SeedRandom(gen()); b.ClearMatches();)
            b.Refill();
        std::set<std::pair<int, int>> patterns, brute; // the two cells, column * 8 + row, lower first
        ForEachMove(b, [&](int c1, int r1, int c2, int r2) {
            patterns.insert(std::minmax(c1 * 8 + r1, c2 * 8 + r2));
        });
        for (int k = 0; k < 112; ++k) { // 56 pairs one above the other, then 56 side by side
            Board t = b;
            const int down = k < 56, c = down ? k / 7 : k % 7, r = down ? k % 7 : k / 7 - 8;
            std::swap(t.grid[c][r], t.grid[c + !down][r + down]);
            if (t.ClearMatches()) brute.emplace(c * 8 + r, (c + !down) * 8 + r + down);
        }
        ASSERT_EQ(patterns, brute) << "seed " << seed << ", board " << i << ": " << Picture(b);
        ASSERT_EQ(b.CountMoves() == 0, brute.empty());
    }
}

// A settled board with one move: kOneMove after its swap took column 0's
// three top pieces, refilled with 1, 1 and 4 from the top, which form no
// run and leave the swap of (0, 2) with (0, 3).
constexpr const char *kAfterOneMove =
    "11234567 14567012 46012345 12345670 45670123 70123456 23456701 56701234";
// The pieces that refill: the first drawn falls lowest.
constexpr const char *kRefillOneMove = "411";
// kOneMove after its swap, when the refill's 1 and 1 formed a run with the
// 1 below them and 0, 1 and 1 came after.
constexpr const char *kAfterCascade =
    "01234567 14567012 16012345 42345670 45670123 70123456 23456701 56701234";

// The 64 pieces of a board as a new game draws them: column by column, each
// from the top.
std::string FillOf(const char *picture)
{
    const Board b = Draw(picture);
    std::string pieces;
    for (int i = 0; i < 64; ++i)
        pieces += char('0' + b.grid[i / 8][i % 8]);
    return pieces;
}

TEST(Turn, Scenes)
{
    // A board (score 10, the game on, anim 50, no selection, no pieces to
    // hand in) and a script: "aN" anim N, "pDIGITS" pieces the next drops
    // take, "sCR" selects (C, R), "cX,Y" clicks (X, Y) on a 400 x 400 field
    // (cells of 50), "cX,Y,W,H" on a W x H field, "r" resolves, "u" undoes,
    // "kL", "kR", "kU", "kD" arrows, "kA" Space or Enter, "n" a new game. Then the calls, and
    // "|score selection", "^CR" a cursor shown at (C, R), "over" when the
    // game ended, "=" when the board is as drawn, "#" as kAfterOneMove, "~"
    // as kAfterCascade.
    // Every piece handed in must have been dropped.
    const std::string refill = "p" + std::string(kRefillOneMove);
    // A new game whose fill is kOneMove as its swap left it (column 0's top
    // three alike), and the refill after them.
    const std::string opening =
        "p" + FillOf("01234567 04567012 06012345 12345670 45670123 70123456 23456701 56701234") + kRefillOneMove + " n";
    const std::tuple<const char *, std::string, const char *> rows[] = {
        {kNoMoves, "c125,175", "P |10 23 ="},
        {kNoMoves, "s23 c125,175", "P |10 88 ="}, // the same cell: deselect
        {kNoMoves, "s23 c175,225", "P |10 34 ="}, // diagonal: the selection moves
        {kNoMoves, "s23 c175,175", "|10 23 ="},   // a neighbour, no run: nothing at all
        {kNoMoves, "c399,399 c100,100,800,200", "P P |10 14 ="},
        {kNoMoves, "c400,10 c10,400 c10,10,0,400 c10,10,400,0", "|10 88 ="}, // off the field
        // A kept swap: with anim a pause after the emptied cells, the refill
        // and the last clear; without, nothing between clear and refill.
        {kOneMove, refill + " s02 c75,125", "P t t P t t P t t P T |13 88 #"},
        {kOneMove, refill + " a0 s02 c75,125", "P t t P T |13 88 #"},
        // A refill that forms a run: 1 and 1 over column 0's 1 go too, the 4
        // falls in their place, and three more pieces come.
        {kOneMove, "a0 p114110 s02 c75,125", "P t t P t t P T |16 88 ~"},
        // A new game fills the board column by column, makes the field once,
        // and clears and scores its opening runs from 0.
        {kNoMoves, opening + " " + opening, "F t P t t P t t P t t P T t P t t P t t P t t P T |3 88 #"},
        // A new game after one ended is on again.
        {kNoMoves, "r " + opening, "P t t P T G AИнкогнито:10 F t P t t P t t P t t P T |3 88 #"},
        // No move left: the dialog, the record with the final score, score 0.
        {kNoMoves, "r c125,175 u kA", "P t t P T G AИнкогнито:10 |0 88 over ="}, // then nothing answers
        {kNoMoves, "a0 r", "P T G AИнкогнито:10 |0 88 over ="},
        // Undo: nothing before a kept swap, then the board before it, twice.
        {kOneMove, refill + " a0 u s02 c75,125 c225,225 u u", "P t t P T P P P |13 44 ="},
        // Keys: the first only shows the cursor, on the selection or at the
        // top left; arrows stop at the edges; a click moves and hides it.
        {kNoMoves, "kR", "P |10 88 ^00 ="},
        {kNoMoves, "s23 kL kU", "P P |10 23 ^22 ="},
        {kNoMoves, "s77 kA kR kD kL kL kU", "P P P P |10 77 ^56 ="},
        {kNoMoves, "s11 kA kL kU", "P P P |10 11 ^00 ="}, // into the first column and row
        {kNoMoves, "kD kL kU kD kD kR kA kA kR kA", "P P P P P P P P |10 22 ^22 ="},
        {kNoMoves, "kA c125,175 kL c175,225 c375,25 kA", "P P P P P P P P |10 70 ^70 ="},
        // Space swaps as a click does; the cursor stays through Undo.
        {kOneMove, refill + " a0 kA kD kD kA kR kA u kD", "P P P P P P t t P T P P |13 88 ^13 ="}};
    for (const auto &[board, script, calls] : rows) {
        ResetWorld();
        g_board = Draw(board);
        g_board.active = 1;
        score = 10;
        std::istringstream commands(script);
        for (std::string c; commands >> c;) {
            int v[4] = {0, 0, 400, 400};
            sscanf(c.c_str() + 1, "%d,%d,%d,%d", v, v + 1, v + 2, v + 3);
            if (c[0] == 'a') g_settings.anim = v[0];
            if (c[0] == 'p') rec.pieces += c.substr(1);
            if (c[0] == 's') std::tie(g_board.selCol, g_board.selRow) = std::make_tuple(v[0] / 10, v[0] % 10);
            if (c[0] == 'c') HandleCellClick(nullptr, uint16_t(v[0]), uint16_t(v[1]), v[2], v[3]);
            if (c[0] == 'r') ResolveBoard(nullptr);
            if (c[0] == 'n') StartNewGame(nullptr);
            if (c[0] == 'u') UndoMove();
            if (c[0] == 'k') HandleCellKey(nullptr, CellKey(std::string("LRUDA").find(c[1])));
        }
        const std::string picture = Picture(g_board);
        rec.Add("|" + std::to_string(score) + " " + std::to_string(g_board.selCol * 10 + g_board.selRow) +
                (g_cursor.shown ? std::string{' ', '^', char('0' + g_cursor.col), char('0' + g_cursor.row)}
                                : "") +
                (g_board.IsActive() ? "" : " over") + (picture == board ? " =" : "") +
                (picture == kAfterOneMove ? " #" : "") + (picture == kAfterCascade ? " ~" : ""));
        EXPECT_EQ(rec.log, calls) << board << " " << script;
        EXPECT_EQ(rec.pieces, "") << "handed in, never dropped: " << script;
    }
}

// The generator's own promises, which no scene relies on: colour indices
// 0..7 only, each colour's share within 5 sigma of an eighth, a seed
// replays its sequence, and games started at other ticks are other games.
TEST(Generator, EachColourAlikeAndTheSeedReplays)
{
    const int draws = 80000;
    const double expected = draws / 8.0, sigma = std::sqrt(draws * (1.0 / 8) * (7.0 / 8));
    int counts[8] = {};
    std::string first, again;
    SeedRandom(12345);
    for (int i = 0; i < draws; ++i) {
        const int piece = RandomPiece();
        ASSERT_TRUE(piece >= 0 && piece < 8) << piece;
        ++counts[piece];
        if (i < 64) first += char('0' + piece);
    }
    for (int colour = 0; colour < 8; ++colour)
        EXPECT_NEAR(counts[colour], expected, 5 * sigma) << "colour " << colour;
    SeedRandom(12345);
    for (int i = 0; i < 64; ++i)
        again += char('0' + RandomPiece());
    EXPECT_EQ(again, first);
    // No pieces handed in: a new game's are the generator's, reseeded from
    // the clock, so games started at other ticks are other games.
    ResetWorld();
    std::set<std::string> boards;
    for (uint32_t tick : {0u, 1u, 2u, 3u}) {
        rec.clock = tick;
        g_board.NewGame(nullptr);
        boards.insert(Picture(g_board));
    }
    EXPECT_EQ(boards.size(), 4u);
}

TEST(Turn, PauseHeldInRangeAndDelayAcrossTheWrap)
{
    ResetWorld();
    const int64_t pauses[][2] = {{-1, 0}, {0, 0}, {50, 50}, {1000, 1000}, {1001, 1000}};
    for (auto p : pauses)
        EXPECT_EQ(PauseFor(int32_t(p[0])), p[1]) << p[0];
    // Across the counter's wrap, a wait ends at the first read more than 50
    // after the first.
    std::tie(rec.clock, rec.step) = std::make_pair(0xFFFFFFF0u, 10u);
    Delay(50);
    EXPECT_EQ(rec.clock, 0xFFFFFFF0u + 70);
}

// The eight piece colours, grey to black; the settings a first start has
// (the release check reads the file such a start writes, but no mutation
// run reaches it), with the keyboard cursor hidden and never placed; and
// the background's bytes: blue, green, red from the lowest.
TEST(Values, PieceColoursAndInitialSettings)
{
    const uint32_t colours[8] = {0xA4A4A4, 0xFF, 0xFF00, 0xFF0000, 0xFFFF, 0xFFFF00, 0xFF00FF, 0};
    const Settings &s = kInitialSettings;
    EXPECT_EQ(std::make_tuple(s.anim, s.gamma, s.satur, s.back, std::string(s.name)),
              std::make_tuple(50, 6, 2, 0xC800u, std::string("Инкогнито")));
    const KeyCursor &k = kInitialCursor;
    EXPECT_EQ(std::make_tuple(k.col, k.row, k.shown), std::make_tuple(NO_SELECTION, NO_SELECTION, 0));
    const uint32_t back = 0x00E19131; // red E1, green 91, blue 31: each byte's lowest bit set
    EXPECT_EQ(std::make_tuple(BackRed(back), BackGreen(back), BackBlue(back), BackToColorref(back)),
              std::make_tuple(0xE1u, 0x91u, 0x31u, 0x3191E1u));
    EXPECT_EQ(0, memcmp(Board().colors, colours, sizeof colours));
}

} // namespace
