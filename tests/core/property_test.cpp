// On many random settled boards the move patterns name exactly the swaps
// that a brute-force search finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "game/moves.h"
#include "game/random.h"
#include "recorder.h"

namespace {

using Swap = std::tuple<int, int, int, int>; // normalised: first cell < second

Swap Norm(int a, int b, int c, int d)
{
    return std::make_pair(a, b) < std::make_pair(c, d) ? Swap{a, b, c, d} : Swap{c, d, a, b};
}

bool HasRun(const Board &b)
{
    Board probe = b;
    return probe.ClearMatches() != 0;
}

TEST(Property, MovePatternsEqualBruteForceSwaps)
{
    const uint32_t seed = ::testing::UnitTest::GetInstance()->random_seed();
    std::mt19937 gen(seed);
    Board b;
    int withNoMove = 0;
    for (int i = 0; i < 4000; ++i) {
        SeedRandom(gen());
        // A settled random board (as a cascade leaves it). Every fourth
        // starts near the no-move pattern, so that ended games occur too.
        if (i % 4 == 0) {
            int perm[8] = {0, 1, 2, 3, 4, 5, 6, 7};
            std::shuffle(perm, perm + 8, gen);
            SetNoMoveBoard(b);
            for (auto &col : b.grid)
                for (int &v : col)
                    v = perm[v];
            for (int k = static_cast<int>(gen() % 4); k > 0; --k)
                b.grid[gen() % 8][gen() % 8] = static_cast<int>(gen() % 8);
        } else {
            int colours = 3 + static_cast<int>(gen() % 6);
            for (auto &col : b.grid)
                for (int &v : col)
                    v = static_cast<int>(gen() % colours);
        }
        while (b.ClearMatches())
            b.Refill();

        std::set<Swap> patterns;
        int count = 0;
        ForEachMove(b, [&](int a, int r, int c, int d) {
            patterns.insert(Norm(a, r, c, d));
            ++count;
        });
        std::set<Swap> brute;
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
                    if (c + dc > 7 || r + dr > 7) continue;
                    Board t = b;
                    std::swap(t.grid[c][r], t.grid[c + dc][r + dr]);
                    if (HasRun(t)) brute.insert(Norm(c, r, c + dc, r + dr));
                }
        ASSERT_EQ(patterns, brute) << "seed " << seed << ", board " << i;
        ASSERT_EQ(b.CountMoves(), count);
        ASSERT_EQ(b.CountMoves() == 0, brute.empty()) << "seed " << seed << ", board " << i;
        withNoMove += brute.empty();
    }
    EXPECT_GT(withNoMove, 0) << "the sample should include ended games";
}

} // namespace
