// Centring and caption-font arithmetic of the dialog helpers, and the fixed
// rules text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ui/dialog_math.h"
#include "ui/help_texts.h"

namespace {

TEST(DialogMath, CentringTruncatesTowardZero)
{
    EXPECT_EQ(CenteredStart(0, 100, 105), -2); // -5 / 2, not -3
    EXPECT_EQ(CenteredStart(0, 100, 95), 2);
    EXPECT_EQ(CenteredStart(-300, -100, 50), -225);
    EXPECT_EQ(CenteredStart(INT32_MAX - 10, INT32_MAX, -INT32_MAX), INT32_MAX); // clamped, no overflow
}

TEST(DialogMath, CaptionHeightOfTheWorkedCase)
{
    const CaptionMeasure m = {72, 16, 231, 52, 96, 96};
    const double s = CaptionScale(m);
    EXPECT_NEAR(s, 96 * (231.0 / 72) / 71, 1e-12); // b, the width bound, is smaller
    EXPECT_EQ(ScaledFontHeight(-11, s), -47);      // -47.718 truncated toward zero
}

TEST(DialogMath, ResolutionsCrossWithRatios)
{
    // Height ratio 2 goes with dpiX, width ratio 4 with dpiY: a = 142*2/71 = 4,
    // b = 71*4/71 = 4 when crossed; uncrossed it would be min(2, 8) = 2.
    const CaptionMeasure m = {10, 10, 40, 20, 142, 71};
    EXPECT_DOUBLE_EQ(CaptionScale(m), 4.0); // a equals b: a is taken, same value
    const CaptionMeasure tall = {10, 10, 40, 30, 142, 71};
    EXPECT_DOUBLE_EQ(CaptionScale(tall), 4.0); // now b is the smaller
}

TEST(DialogMath, ZeroExtentsKeepTheStockHeight)
{
    const CaptionMeasure cases[] = {
        {0, 16, 231, 52, 96, 96}, // empty text
        {0, 0, 231, 52, 96, 96},  // empty text, no height either
        {72, 0, 231, 52, 96, 96}, {72, 16, 0, 52, 96, 96}, {72, 16, 231, 0, 96, 96}, {0, 0, 0, 0, 0, 0},
    };
    for (const CaptionMeasure &m : cases) {
        const double s = CaptionScale(m);
        EXPECT_TRUE(std::isfinite(s));
        EXPECT_EQ(ScaledFontHeight(-11, s), -11);
    }
    EXPECT_EQ(ScaledFontHeight(-11, NAN), -11);
    EXPECT_EQ(ScaledFontHeight(-11, INFINITY), -INT32_MAX);
    EXPECT_EQ(ScaledFontHeight(-11, 1e300), -INT32_MAX);
}

TEST(HelpTexts, RulesTextIsTheFixed257Bytes)
{
    ASSERT_EQ(std::strlen(RULES_TEXT), 257u);
    // Two CR LF line breaks, at the ends of the first two paragraphs.
    EXPECT_EQ(std::strstr(RULES_TEXT, "\r\n") - RULES_TEXT, 72);
    EXPECT_EQ(std::strstr(RULES_TEXT + 74, "\r\n") - RULES_TEXT, 222);
    // Windows-1251 "Цель" at the start, "ходов." at the end.
    EXPECT_EQ(std::memcmp(RULES_TEXT, "\xD6\xE5\xEB\xFC", 4), 0);
    EXPECT_STREQ(RULES_TEXT + 251, "\xF5\xEE\xE4\xEE\xE2.");
}

} // namespace
