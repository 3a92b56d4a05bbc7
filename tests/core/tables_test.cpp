// Tables of the pure arithmetic: the tint of a piece sprite, the dialog
// helpers' centring and caption scale, and the main window's title.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/title.h"
#include "ui/dialog_math.h"
#include "view/tint.h"

namespace {

TEST(Tint, WorkedRampsAndTheBackgroundEntry)
{
    const uint32_t kRed = 0x0000FF, kGrey = 0xA4A4A4, kBack = 0x7F112131;
    const struct
    {
        uint32_t colour;
        int32_t gamma, satur;
        uint8_t TintEntry::*channel;
        int want[15];
    } rows[] = {
        {kRed,
         6,
         2,
         &TintEntry::red,
         {127, 148, 169, 190, 211, 232, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        {kRed, 6, 2, &TintEntry::green, {0, 0, 0, 0, 0, 0, 0, 28, 56, 85, 113, 141, 170, 198, 226}},
        {kGrey,
         6,
         2,
         &TintEntry::blue,
         {82, 95, 109, 123, 136, 150, 164, 174, 184, 194, 204, 214, 224, 234, 244}},
        {kRed,
         14,
         2,
         &TintEntry::red,
         {127, 136, 145, 154, 163, 172, 181, 190, 199, 208, 217, 226, 235, 244, 255}},
        {kRed,
         1,
         20,
         &TintEntry::red,
         {12, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        {kRed, 1, 20, &TintEntry::green, {0, 0, 18, 36, 54, 72, 91, 109, 127, 145, 163, 182, 200, 218, 236}},
        {kRed,
         6,
         1,
         &TintEntry::red,
         {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        // Only an edited settings file brings these; clamped to 1..14 and 1..
        {kGrey,
         0,
         0,
         &TintEntry::red,
         {164, 164, 170, 177, 183, 190, 196, 203, 209, 216, 222, 229, 235, 242, 248}},
        {kGrey,
         INT32_MIN,
         INT32_MIN,
         &TintEntry::red,
         {164, 164, 170, 177, 183, 190, 196, 203, 209, 216, 222, 229, 235, 242, 248}},
        {kGrey,
         15,
         2,
         &TintEntry::red,
         {82, 87, 93, 99, 105, 111, 117, 123, 128, 134, 140, 146, 152, 158, 164}},
        {kGrey,
         INT32_MAX,
         2,
         &TintEntry::red,
         {82, 87, 93, 99, 105, 111, 117, 123, 128, 134, 140, 146, 152, 158, 164}},
    };
    for (const auto &row : rows) {
        TintEntry t[16];
        ComputeTintTable(row.colour | 0xFF000000u, row.gamma, row.satur, kBack, t);
        for (int i = 0; i < 15; ++i) {
            EXPECT_EQ(t[i].*row.channel, row.want[i]) << row.gamma << " " << row.satur << " entry " << i;
            EXPECT_EQ(t[i].reserved, 0);
        }
        EXPECT_EQ(t[15].blue | t[15].green << 8 | t[15].red << 16 | uint32_t(t[15].reserved) << 24, kBack);
    }
}

TEST(DialogMath, CentringTruncatesTowardZeroAndStaysInRange)
{
    const int32_t rows[][4] = {
        {0, 100, 105, -2}, // -5 / 2 is -2, not -3
        {0, 100, 95, 2},
        {-300, -100, 50, -225},
        {INT32_MAX - 10, INT32_MAX, -INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN + 10, INT32_MAX, INT32_MIN},
    };
    for (auto r : rows)
        EXPECT_EQ(CenteredStart(r[0], r[1], r[2]), r[3]) << r[0] << " " << r[1] << " " << r[2];
}

TEST(DialogMath, CaptionScaleCrossesResolutionsWithRatios)
{
    const struct
    {
        CaptionMeasure m;
        double scale;
    } rows[] = {
        {{72, 16, 231, 52, 96, 96}, 96 * (231.0 / 72) / 71}, // the width bound is the smaller
        {{10, 10, 40, 20, 142, 71}, 4.0},                    // height ratio with dpiX, width ratio with dpiY
        {{10, 10, 40, 30, 142, 71}, 4.0},
        {{1, 2, 3, 5, 71, 71}, 2.5},
        {{2, 1, 5, 3, 71, 71}, 2.5}, // extents of 1 are measured
        {{2, 2, 1, 5, 71, 71}, 0.5},
        {{2, 2, 5, 1, 71, 71}, 0.5},
        {{0, 16, 231, 52, 96, 96}, 1.0}, // an empty text keeps the stock height
        {{72, 0, 231, 52, 96, 96}, 1.0},
        {{72, 16, 0, 52, 96, 96}, 1.0},
        {{72, 16, 231, 0, 96, 96}, 1.0},
        {{-1, -1, -1, -1, 96, 96}, 1.0},
    };
    for (const auto &row : rows)
        EXPECT_DOUBLE_EQ(CaptionScale(row.m), row.scale) << row.m.textWidth << " " << row.m.textHeight;
    const double heights[][3] = {{-11, 96 * (231.0 / 72) / 71, -47}, // -47.7 truncated toward zero
                                 {11, 2, 22},
                                 {-11, NAN, -11},
                                 {-11, INFINITY, -INT32_MAX},
                                 {-11, 1e300, -INT32_MAX},
                                 {11, 1e300, INT32_MAX}};
    for (auto h : heights)
        EXPECT_EQ(ScaledFontHeight(int32_t(h[0]), h[1]), int32_t(h[2])) << h[1];
}

TEST(Title, ComposedWithinItsBuffer)
{
    const std::string x254(254, 'x'), y300(300, 'y');
    const std::string head = "Kuvex 2002         ", gap = "            Очки: ";
    const struct
    {
        size_t cap;
        const char *name;
        int32_t score;
        std::string text;
    } rows[] = {
        {TITLE_CAP, "Инкогнито", 37, head + "Инкогнито" + gap + "37"},
        {TITLE_CAP, x254.c_str(), INT32_MIN, head + x254 + gap + "-2147483648"}, // the longest: 302
        {TITLE_CAP, y300.c_str(), 0, head + std::string(254, 'y') + gap + "0"},  // no NUL in 254
        {TITLE_CAP, nullptr, 0, head + gap + "0"},
        {38, "", 0, head + gap}, // one short of the whole text
        {16, "Инкогнито", 5, "Kuvex 2002     "},
        {1, "Инкогнито", 5, ""},
        {0, "Инкогнито", 5, "unwritten"},
    };
    for (const auto &row : rows) {
        char out[TITLE_CAP] = "unwritten";
        EXPECT_EQ(ComposeTitle(out, row.cap, row.name, row.score), row.cap ? row.text.size() : 0) << row.cap;
        EXPECT_EQ(out, row.text) << row.cap;
    }
    EXPECT_EQ(ComposeTitle(nullptr, 5, "a", 1), 0u);
}

} // namespace
