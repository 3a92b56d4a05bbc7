// The piece generator: each colour index 0..7 with the same probability.
// Program-wide state; the board reseeds it from the tick count at every new
// game, tests seed it directly so that every run can be replayed.
#pragma once
#include <cstdint>

void SeedRandom(uint32_t seed);
// A colour index 0..7, uniformly distributed.
int RandomPiece();
// The generator's whole state, so that a test can replay a sequence.
uint32_t GetRandomState();
void SetRandomState(uint32_t state);
