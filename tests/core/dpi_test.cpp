// What grows with the screen's resolution: the first window and the fitted
// captions, at 96, 120, 144 and 192 dots per inch.
#include <gtest/gtest.h>

#include "app/window_size.h"
#include "ui/dialog_math.h"

namespace {

TEST(Dpi, FirstWindowAndCaptions)
{
    // dpi, desktop width and height, work area; then the window's left,
    // top, right, bottom: 450 x 480 scaled, cut to the work area, centred,
    // moved into it.
    // clang-format off
    const int32_t boxes[][11] = {
        {96, 800, 600, 0, 0, 800, 600, 175, 60, 625, 540},   {0, 800, 600, 0, 0, 800, 600, 175, 60, 625, 540},
        {120, 800, 600, 0, 0, 800, 600, 119, 0, 681, 600},   {144, 800, 600, 0, 0, 800, 600, 62, 0, 737, 600},
        {192, 800, 600, 0, 0, 800, 600, 0, 0, 800, 600},     {192, 999, 999, 0, 0, 999, 999, 49, 19, 949, 979},
        {96, 800, 600, 400, 0, 800, 600, 400, 60, 800, 540}, {120, 800, 600, 0, 50, 800, 560, 119, 50, 681, 560},
        {96, 800, 600, 0, 0, 700, 500, 175, 20, 625, 500}};
    // clang-format on
    for (auto v : boxes) {
        const Box b = FirstWindowBox(v[0], v[1], v[2], {v[3], v[4], v[5], v[6]});
        EXPECT_EQ(std::vector<int32_t>({b.left, b.top, b.right, b.bottom}),
                  std::vector<int32_t>(v + 7, v + 11));
    }
    // The About title measured at each resolution (text, control and stock
    // font all grown by dpi / 96, rounded): the font is the one of 96 (-47)
    // grown the same way, within what those roundings move it.
    // clang-format off
    const int32_t captions[][6] = {{96, 72, 16, 231, 52, -11},   {120, 90, 20, 289, 65, -14},
                                   {144, 108, 24, 347, 78, -17}, {192, 144, 32, 462, 104, -22}};
    // clang-format on
    for (auto r : captions)
        EXPECT_NEAR(ScaledFontHeight(r[5], CaptionScale({r[1], r[2], r[3], r[4]})), -47.0 * r[0] / 96,
                    47.0 * r[0] / 96 * 0.04)
            << r[0];
}

} // namespace
