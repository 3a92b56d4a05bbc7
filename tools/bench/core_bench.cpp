// Speed of the rules on a settled board that has a move (kOneMove, copied
// afresh each time): ClearMatches, Refill of three cells, CountMoves, and a
// whole turn (the kept swap, the cascade to its end, the move count),
// without pauses or painting.
#include <benchmark/benchmark.h>

#include "tests/core/recorder.h"

template <class Step> void OnBoards(benchmark::State &state, Step step)
{
    const Board start = Draw(kOneMove);
    for (auto _ : state) {
        Board b = start;
        benchmark::DoNotOptimize(step(b));
    }
}

BENCHMARK_CAPTURE(OnBoards, ClearMatches, [](Board &b) { return b.ClearMatches(); });
BENCHMARK_CAPTURE(OnBoards, Refill,
                  [](Board &b) { return b.grid[3][3] = b.grid[3][4] = b.grid[3][5] = EMPTY, b.Refill(); });
BENCHMARK_CAPTURE(OnBoards, CountMoves, [](Board &b) { return b.CountMoves(); });
BENCHMARK_CAPTURE(OnBoards, WholeTurn, [](Board &b) {
    int gained = (b.selCol = 0, b.selRow = 2, b.TrySwap(1, 2));
    for (int n = 1; n != 0; gained += n)
        b.ClearMatches(), n = b.Refill();
    return gained + b.CountMoves();
});
BENCHMARK_MAIN();
