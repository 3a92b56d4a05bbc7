// The tint table: worked tables, the ramps' ends, the background entry and
// settings that only an edited settings file can bring.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "view/tint.h"

namespace {

constexpr uint32_t kDefaultBack = 0x00C800; // blue 0, green 200, red 0
constexpr uint32_t kRed = 0x0000FF, kGrey = 0xA4A4A4, kBlack = 0x000000;

struct Table
{
    TintEntry e[16];
};

Table Tint(uint32_t colour, int32_t gamma, int32_t satur, uint32_t back = kDefaultBack)
{
    Table t;
    ComputeTintTable(colour, gamma, satur, back, t.e);
    return t;
}

void ExpectChannel(const Table &t, uint8_t TintEntry::*channel, const int (&want)[15])
{
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(t.e[i].*channel, want[i]) << "entry " << i;
}

void ExpectBack(const TintEntry &e, uint32_t back)
{
    EXPECT_EQ(e.blue, back & 0xFF);
    EXPECT_EQ(e.green, (back >> 8) & 0xFF);
    EXPECT_EQ(e.red, (back >> 16) & 0xFF);
    EXPECT_EQ(e.reserved, back >> 24);
}

TEST(TintTable, WorkedTablesAtDefaultShading)
{
    Table red = Tint(kRed, 6, 2);
    ExpectChannel(red, &TintEntry::red,
                  {127, 148, 169, 190, 211, 232, 255, 255, 255, 255, 255, 255, 255, 255, 255});
    const int redLight[15] = {0, 0, 0, 0, 0, 0, 0, 28, 56, 85, 113, 141, 170, 198, 226};
    ExpectChannel(red, &TintEntry::green, redLight);
    ExpectChannel(red, &TintEntry::blue, redLight);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(red.e[i].reserved, 0);
    ExpectBack(red.e[15], kDefaultBack);

    Table grey = Tint(kGrey, 6, 2);
    const int greys[15] = {82, 95, 109, 123, 136, 150, 164, 174, 184, 194, 204, 214, 224, 234, 244};
    ExpectChannel(grey, &TintEntry::red, greys);
    ExpectChannel(grey, &TintEntry::green, greys);
    ExpectChannel(grey, &TintEntry::blue, greys);

    Table black = Tint(kBlack, 6, 2);
    ExpectChannel(black, &TintEntry::green, redLight);
}

TEST(TintTable, RampEnds)
{
    // satur 1: no shading, every shadow entry is the pure colour.
    Table flat = Tint(kRed, 6, 1);
    for (int i = 0; i <= 6; ++i)
        EXPECT_EQ(flat.e[i].red, 255);

    // gamma 14: the shadow ramp fills 0..13, 14 is pure, no highlight.
    ExpectChannel(Tint(kRed, 14, 2), &TintEntry::red,
                  {127, 136, 145, 154, 163, 172, 181, 190, 199, 208, 217, 226, 235, 244, 255});
    EXPECT_EQ(Tint(kRed, 14, 2).e[14].green, 0);

    // gamma 1, satur 20: one dark entry, then pure red lightening to 236.
    Table steep = Tint(kRed, 1, 20);
    EXPECT_EQ(steep.e[0].red, 12);
    EXPECT_EQ(steep.e[1].red, 255);
    EXPECT_EQ(steep.e[1].green, 0);
    EXPECT_EQ(steep.e[2].green, 18);
    EXPECT_EQ(steep.e[14].green, 236);
    EXPECT_EQ(steep.e[14].blue, 236);
}

// The shadow ramp computed the other documented way, in double precision,
// agrees for every channel value and every offered setting; every ramp is
// non-decreasing, pure at gamma, and entry 15 is always the background.
TEST(TintTable, AgreesWithDoublePrecisionRampOverOfferedSettings)
{
    const uint32_t back = 0x7F102030; // fourth byte carried into reserved
    for (int32_t gamma = 1; gamma <= 14; ++gamma)
        for (int32_t satur = 1; satur <= 20; ++satur)
            for (int c = 0; c < 256; ++c) {
                uint32_t colour = static_cast<uint32_t>(c) | 0xFF000000u; // high byte ignored
                Table t = Tint(colour, gamma, satur, back);
                int span = static_cast<int>(c * (satur - 1.0) / satur);
                for (int i = 0; i < gamma; ++i) {
                    int want = static_cast<int>((i * span) / gamma + static_cast<double>(c) / satur);
                    ASSERT_EQ(t.e[i].red, want) << c << " " << gamma << " " << satur << " " << i;
                }
                ASSERT_EQ(t.e[gamma].red, c);
                for (int i = 1; i < 15; ++i)
                    ASSERT_LE(t.e[i - 1].red, t.e[i].red);
                ASSERT_EQ(t.e[0].green, 0);
                ExpectBack(t.e[15], back);
            }
}

TEST(TintTable, OutOfRangeSettingsAreClampedForTheArithmetic)
{
    const int32_t gammas[] = {INT32_MIN, -7, 0, 15, 100, INT32_MAX};
    const int32_t saturs[] = {INT32_MIN, -1, 0, 21, INT32_MAX};
    for (int32_t g : gammas)
        for (int32_t s : saturs) {
            Table t = Tint(kGrey, g, s, 0x00112233);
            Table want = Tint(kGrey, g < 1 ? 1 : 14, s < 1 ? 1 : s);
            for (int i = 0; i < 15; ++i)
                EXPECT_EQ(t.e[i].red, want.e[i].red) << g << " " << s << " " << i;
            ExpectBack(t.e[15], 0x00112233);
        }
}

} // namespace
