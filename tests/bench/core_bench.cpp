// Speed of the rules on 256 settled boards that have a move: ClearMatches,
// Refill of three cells, CountMoves, and a whole turn (the first move's
// swap, the cascade to its end, the move count), without pauses or painting.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/board.h"
#include "game/moves.h"
#include "game/random.h"

// Runs `step` on a fresh copy of each board in turn; a board's first move
// goes from its selection to the cell paired with it.
template <class Step> void OnBoards(benchmark::State &state, Step step)
{
    static std::vector<std::pair<Board, std::pair<int, int>>> boards; // made before the timing starts
    for (uint32_t seed = 1; boards.size() < 256; ++seed) {
        Board b;
        SeedRandom(seed);
        for (auto &column : b.grid)
            for (int &v : column)
                v = RandomPiece();
        while (b.ClearMatches())
            b.Refill();
        std::pair<int, int> to(-1, -1);
        ForEachMove(b, [&](int c1, int r1, int c2, int r2) {
            if (to.first < 0) b.selCol = c1, b.selRow = r1, to = {c2, r2};
        });
        if (to.first >= 0) boards.emplace_back(b, to);
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
