// Speed of the rules: the three scans and one whole turn (swap, cascade to
// the end, move count), without pauses or painting.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/board.h"
#include "game/moves.h"
#include "game/random.h"

namespace {

// Settled boards that still have a move, each with one kept swap to play.
struct Position
{
    Board board;
    int c1, r1, c2, r2;
};

std::vector<Position> MakePositions(int n)
{
    std::vector<Position> out;
    for (uint32_t seed = 1; static_cast<int>(out.size()) < n; ++seed) {
        Position p;
        SeedRandom(seed);
        for (auto &col : p.board.grid)
            for (int &v : col)
                v = RandomPiece();
        while (p.board.ClearMatches())
            p.board.Refill();
        bool found = false;
        ForEachMove(p.board, [&](int a, int b, int c, int d) {
            if (!found) {
                p.c1 = a, p.r1 = b, p.c2 = c, p.r2 = d;
                found = true;
            }
        });
        if (found)
            out.push_back(p);
    }
    return out;
}

const std::vector<Position> &Positions()
{
    static const std::vector<Position> positions = MakePositions(256);
    return positions;
}

void BM_ClearMatchesSettled(benchmark::State &state)
{
    const auto &ps = Positions();
    size_t i = 0;
    for (auto _ : state) {
        Board b = ps[i++ & 255].board;
        benchmark::DoNotOptimize(b.ClearMatches());
    }
}

void BM_Refill(benchmark::State &state)
{
    const auto &ps = Positions();
    size_t i = 0;
    for (auto _ : state) {
        Board b = ps[i & 255].board;
        // A typical clear: three cells of one column.
        int c = static_cast<int>(i++ & 7);
        b.grid[c][3] = b.grid[c][4] = b.grid[c][5] = EMPTY;
        benchmark::DoNotOptimize(b.Refill());
    }
}

void BM_CountMoves(benchmark::State &state)
{
    const auto &ps = Positions();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ps[i++ & 255].board.CountMoves());
}

void BM_WholeTurn(benchmark::State &state)
{
    const auto &ps = Positions();
    size_t i = 0;
    for (auto _ : state) {
        const Position &p = ps[i++ & 255];
        Board b = p.board;
        b.selCol = p.c1;
        b.selRow = p.r1;
        int kept = b.TrySwap(p.c2, p.r2);
        int gained = 0;
        for (;;) {
            b.ClearMatches();
            int n = b.Refill();
            if (n == 0)
                break;
            gained += n;
        }
        benchmark::DoNotOptimize(kept + gained + b.CountMoves());
    }
}

BENCHMARK(BM_ClearMatchesSettled);
BENCHMARK(BM_Refill);
BENCHMARK(BM_CountMoves);
BENCHMARK(BM_WholeTurn);

} // namespace

BENCHMARK_MAIN();
