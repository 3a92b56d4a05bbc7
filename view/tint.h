// The tint table: the 16 colours a piece sprite's pixel indices show, from
// the piece colour and the shading settings. Pure arithmetic, no platform.
#pragma once
#include <cstdint>

// One entry in RGBQUAD byte order.
struct TintEntry
{
    uint8_t blue, green, red, reserved;
};

// colour: COLORREF 0x00BBGGRR. back: byte 0 blue, 1 green, 2 red, 3 reserved.
// Entries 0..gamma-1 shade from colour/satur up towards the colour, entry
// gamma is the colour, gamma+1..14 lighten towards white, 15 is back.
// gamma outside 1..14 and satur below 1 (only an edited settings file brings
// them) are clamped for the arithmetic: no division by zero, no write
// outside the table.
void ComputeTintTable(uint32_t colour, int32_t gamma, int32_t satur, uint32_t back, TintEntry table[16]);
