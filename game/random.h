// The piece generator: each colour index 0..7 with the same probability.
// Program-wide state; the board reseeds it from the tick count at every new
// game, tests seed it directly so that every run can be replayed.
#pragma once
#include <cstdint>

void SeedRandom(uint32_t seed);
// A colour index 0..7, uniformly distributed.
int RandomPiece();
// The piece a new board or a refill drops: the host's, or the generator's
// where no host hands one in.
int NextPiece();
