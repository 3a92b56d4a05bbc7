// The tint table of a piece sprite: shadow ramp, pure colour, highlight ramp
// and the field's background, in plain integer arithmetic.
#include "view/tint.h"

namespace {

// One channel of entries 0..14. 64-bit products: an edited settings file can
// bring any satur, and c * (satur - 1) must not overflow.
uint8_t ChannelValue(int64_t c, int64_t gamma, int64_t satur, int64_t index)
{
    if (index < gamma) {
        int64_t base = c / satur;
        int64_t span = c * (satur - 1) / satur;
        return static_cast<uint8_t>(base + index * span / gamma);
    }
    return static_cast<uint8_t>(c + (255 - c) * (index - gamma) / (15 - gamma));
}

} // namespace

void ComputeTintTable(uint32_t colour, int32_t gamma, int32_t satur, uint32_t back, TintEntry table[16])
{
    const int64_t g = gamma < 1 ? 1 : gamma > 14 ? 14 : gamma;
    const int64_t s = satur < 1 ? 1 : satur;
    const int64_t red = colour & 0xFFu;
    const int64_t green = (colour >> 8) & 0xFFu;
    const int64_t blue = (colour >> 16) & 0xFFu;
    for (int64_t i = 0; i < 15; ++i) {
        table[i].blue = ChannelValue(blue, g, s, i);
        table[i].green = ChannelValue(green, g, s, i);
        table[i].red = ChannelValue(red, g, s, i);
        table[i].reserved = 0;
    }
    table[15].blue = static_cast<uint8_t>(back & 0xFFu);
    table[15].green = static_cast<uint8_t>((back >> 8) & 0xFFu);
    table[15].red = static_cast<uint8_t>((back >> 16) & 0xFFu);
    table[15].reserved = static_cast<uint8_t>((back >> 24) & 0xFFu);
}
