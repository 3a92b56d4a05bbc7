// Speed of the rules on 256 settled boards that have a move: ClearMatches,
// Refill of three cells, CountMoves, and a whole turn (the first move's
// swap, the cascade to its end, the move count), without pauses or painting.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/moves.h"
#include "game/random.h"

// Runs `step` on a fresh copy of each board in turn; its first move goes
// from the selection to the cell kept with it.
template <class Step> void OnBoards(benchmark::State &state, Step step)
{
    static std::vector<std::pair<Board, std::pair<int, int>>> boards; // made before the timing starts
    for (uint32_t seed = 1; boards.size() < 256; ++seed) {
        std::pair<Board, std::pair<int, int>> p = {Board(), {-1, -1}};
        for (int i = (SeedRandom(seed), 0); i < 64; ++i)
            p.first.grid[i / 8][i % 8] = RandomPiece();
        while (p.first.ClearMatches())
            p.first.Refill();
        ForEachMove(p.first, [&p](int c1, int r1, int c2, int r2) {
            if (p.second.first < 0) p.first.selCol = c1, p.first.selRow = r1, p.second = {c2, r2};
        });
        if (p.second.first >= 0) boards.push_back(p);
    }
    size_t i = 0;
    for (auto _ : state) {
        Board b = boards[i & 255].first;
        benchmark::DoNotOptimize(step(b, boards[i++ & 255].second));
    }
}

using To = std::pair<int, int>;
BENCHMARK_CAPTURE(OnBoards, ClearMatches, [](Board &b, To) { return b.ClearMatches(); });
BENCHMARK_CAPTURE(OnBoards, Refill, [](Board &b, To) {
    return b.grid[3][3] = b.grid[3][4] = b.grid[3][5] = EMPTY, b.Refill();
});
BENCHMARK_CAPTURE(OnBoards, CountMoves, [](Board &b, To) { return b.CountMoves(); });
BENCHMARK_CAPTURE(OnBoards, WholeTurn, [](Board &b, To to) {
    int gained = b.TrySwap(to.first, to.second);
    for (int n = 1; n != 0; gained += n)
        b.ClearMatches(), n = b.Refill();
    return gained + b.CountMoves();
});
BENCHMARK_MAIN();
