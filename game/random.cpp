// xorshift32 with a splitmix-style seed scrambler: small, fast and with good
// high bits, which is all the board needs (3 bits a piece).
#include "game/random.h"

#include "game/host.h"

static uint32_t g_rngState = 0x9E3779B9u;

void SeedRandom(uint32_t seed)
{
    // Scramble so that neighbouring tick counts give unrelated sequences, and
    // avoid the one state (0) that xorshift never leaves.
    uint32_t z = seed + 0x9E3779B9u;
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    z ^= z >> 16;
    g_rngState = z ? z : 0x9E3779B9u;
}

int RandomPiece()
{
    uint32_t x = g_rngState;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    g_rngState = x;
    return static_cast<int>(x >> 29); // top 3 bits: 0..7, equally likely
}

int NextPiece()
{
    return g_host && g_host->nextPiece ? g_host->nextPiece() : RandomPiece();
}
