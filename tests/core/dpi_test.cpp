// What grows with the screen's resolution: the first window and the fitted
// captions, at 96, 120, 144 and 192 dots per inch.
#include <gtest/gtest.h>

#include "app/window_size.h"
#include "ui/dialog_math.h"

namespace {

TEST(Dpi, FirstWindowBox)
{
    // dpi, desktop, work area; then the window's left, top, right, bottom:
    // 450 x 480 scaled, cut to the work area, centred, moved into it.
    const int32_t rows[][11] = {{96, 1024, 768, 0, 0, 1024, 768, 287, 144, 737, 624},
                                {0, 1024, 768, 0, 0, 1024, 768, 287, 144, 737, 624},
                                {120, 1024, 768, 0, 0, 1024, 768, 231, 84, 793, 684},
                                {144, 1024, 768, 0, 0, 1024, 768, 174, 24, 849, 744},
                                {192, 1024, 768, 0, 0, 1024, 740, 62, 0, 962, 740},
                                {192, 1920, 1080, 0, 0, 1920, 1080, 510, 60, 1410, 1020},
                                {96, 1024, 768, 600, 0, 1024, 768, 600, 144, 1024, 624},
                                {192, 1024, 768, 0, 300, 1024, 768, 62, 300, 962, 768}};
    for (auto r : rows) {
        const Box b = FirstWindowBox(r[0], r[1], r[2], {r[3], r[4], r[5], r[6]});
        EXPECT_EQ(std::vector<int32_t>({b.left, b.top, b.right, b.bottom}),
                  std::vector<int32_t>(r + 7, r + 11))
            << r[0] << " " << r[3] << " " << r[4];
    }
}

TEST(Dpi, CaptionGrowsOnceWithTheResolution)
{
    // The About title measured at each resolution (the text, the control and
    // the stock font all grown by dpi / 96, rounded): the font is the one of
    // 96 (-47) grown the same way, within what those roundings move it.
    const int32_t rows[][6] = {{96, 72, 16, 231, 52, -11},
                               {120, 90, 20, 289, 65, -14},
                               {144, 108, 24, 347, 78, -17},
                               {192, 144, 32, 462, 104, -22}};
    for (auto r : rows) {
        const int32_t h = ScaledFontHeight(r[5], CaptionScale({r[1], r[2], r[3], r[4]}));
        EXPECT_NEAR(h, -47.0 * r[0] / 96, 47.0 * r[0] / 96 * 0.04) << r[0];
    }
}

} // namespace
