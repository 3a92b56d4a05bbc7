// The Options dialog in the running program: sliders and their ranges,
// cancelling, OK during and between games, the preview's pixels.
#include <windows.h>

#include <commctrl.h>

#include "app_fixture.h"
#include "res/resource.h"
#include "settings/options_dialog.h"
#include "settings/settings_store.h"

namespace {

int Pos(HWND d, int id)
{
    return static_cast<int>(SendDlgItemMessageA(d, id, TBM_GETPOS, 0, 0));
}
int Min(HWND d, int id)
{
    return static_cast<int>(SendDlgItemMessageA(d, id, TBM_GETRANGEMIN, 0, 0));
}
int Max(HWND d, int id)
{
    return static_cast<int>(SendDlgItemMessageA(d, id, TBM_GETRANGEMAX, 0, 0));
}
// What a player's Home or End key does on a slider: it moves and notifies.
void SliderKey(HWND d, int id, WPARAM vk)
{
    HWND s = GetDlgItem(d, id);
    SendMessageA(s, WM_KEYDOWN, vk, 0);
    SendMessageA(s, WM_KEYUP, vk, 0);
}

// The pixel of ball.bmp's index layout: a point (as fractions of the
// picture) well inside an area of one index, found in the file itself.
struct BallSpot
{
    double fx, fy;
    bool found;
};

BallSpot FindIndex(int index)
{
    std::string bmp = ReadFileBytes("ball.bmp");
    BallSpot none = {0, 0, false};
    if (bmp.size() < 118) return none;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bmp[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bmp[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(bmp[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(bmp[at + 3])) << 24;
    };
    int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
    size_t bits = u32(10), stride = ((static_cast<size_t>(w) * 4 + 31) / 32) * 4;
    auto at = [&](int x, int y) { // top-down y; the file is bottom-up
        unsigned char b =
            static_cast<unsigned char>(bmp[bits + static_cast<size_t>(h - 1 - y) * stride + x / 2]);
        return x % 2 ? b & 15 : b >> 4;
    };
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            bool all = true;
            for (int dy = -1; dy <= 1 && all; ++dy)
                for (int dx = -1; dx <= 1 && all; ++dx)
                    all = at(x + dx, y + dy) == index;
            if (all) return {(x + 0.5) / w, (y + 0.5) / h, true};
        }
    return none;
}

COLORREF PreviewPixel(HWND d, BallSpot spot)
{
    HWND p = GetDlgItem(d, IDC_PREVIEW);
    RECT rc;
    GetClientRect(p, &rc);
    HDC dc = GetDC(p);
    COLORREF c = GetPixel(dc, static_cast<int>(spot.fx * rc.right), static_cast<int>(spot.fy * rc.bottom));
    ReleaseDC(p, dc);
    return c;
}

using Options = MainWindow;

TEST_F(Options, OpensWithTheSettingsOnItsSliders)
{
    int pos[6] = {}, lo[6] = {}, hi[6] = {}, ticks[3] = {};
    const int ids[6] = {IDC_ANIM, IDC_GAMMA, IDC_SATUR, IDC_RED, IDC_GREEN, IDC_BLUE};
    g_settings.anim = 50;
    driver.Push([&](HWND d) {
        for (int i = 0; i < 6; ++i) {
            pos[i] = Pos(d, ids[i]);
            lo[i] = Min(d, ids[i]);
            hi[i] = Max(d, ids[i]);
        }
        for (int i = 0; i < 3; ++i)
            ticks[i] = static_cast<int>(SendDlgItemMessageA(d, ids[i], TBM_GETNUMTICS, 0, 0));
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(driver.captions, "Опции;");
    const int wantPos[6] = {50, 6, 2, 0, 200, 0};
    const int wantLo[6] = {0, 1, 1, 0, 0, 0}, wantHi[6] = {1000, 14, 20, 255, 255, 255};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pos[i], wantPos[i]) << ids[i];
        EXPECT_EQ(lo[i], wantLo[i]) << ids[i];
        EXPECT_EQ(hi[i], wantHi[i]) << ids[i];
    }
    // Tick marks every 100, every 1 and every 2 (both ends included).
    EXPECT_EQ(ticks[0], 11);
    EXPECT_EQ(ticks[1], 14);
    EXPECT_EQ(ticks[2], 11);
}

TEST_F(Options, CancelEscapeAndTheCloseBoxChangeAndWriteNothing)
{
    SaveSettings(g_settingsPath);
    std::string before = ReadFileBytes(g_settingsPath);
    WIN32_FILE_ATTRIBUTE_DATA t0;
    GetFileAttributesExA(g_settingsPath, GetFileExInfoStandard, &t0);
    Sleep(50);
    for (int way = 0; way < 3; ++way) {
        int moved = 0;
        driver.Push([&](HWND d) {
            SliderKey(d, IDC_GAMMA, VK_END);
            moved = workGamma;
            if (way == 0)
                SendMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
            else if (way == 1)
                PostMessageA(GetDlgItem(d, IDC_GAMMA), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
        EXPECT_EQ(moved, 14) << "way " << way;
        EXPECT_EQ(g_settings.gamma, 6) << "way " << way;
    }
    EXPECT_EQ(driver.seen, 3);
    WIN32_FILE_ATTRIBUTE_DATA t1;
    GetFileAttributesExA(g_settingsPath, GetFileExInfoStandard, &t1);
    EXPECT_EQ(ReadFileBytes(g_settingsPath), before);
    EXPECT_EQ(CompareFileTime(&t0.ftLastWriteTime, &t1.ftLastWriteTime), 0);
}

TEST_F(Options, RedBackgroundDuringAGameRepaintsBoardAndPieceCornersAtOnce)
{
    ASSERT_TRUE(g_board.IsActive());
    HBITMAP oldSprite = g_board.sprites[0];
    long live = g_gdiLive;
    COLORREF corner = CLR_INVALID;
    driver.Push([&](HWND d) {
        SliderKey(d, IDC_RED, VK_HOME); // vertical: Home is the top, the range's minimum
        SliderKey(d, IDC_RED, VK_END);
        SliderKey(d, IDC_GREEN, VK_HOME);
        SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        // Still inside the dialog's life: the board was rebuilt and painted.
        HDC dc = GetDC(g_board.fieldWnd);
        corner = GetPixel(dc, 0, 0);
        ReleaseDC(g_board.fieldWnd, dc);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(g_settings.back, 0x00FF0000u) << "blue 0, green 0, red 255";
    EXPECT_NE(ReadFileBytes(g_settingsPath).find("back=0000FF00FF\r\n"), std::string::npos);
    EXPECT_EQ(corner, RGB(255, 0, 0));
    EXPECT_NE(g_board.sprites[0], oldSprite) << "rebuilt";
    EXPECT_EQ(g_gdiLive, live) << "the old sprites were released";
    HDC dc = GetDC(g_board.fieldWnd);
    RECT f;
    GetClientRect(g_board.fieldWnd, &f);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(GetPixel(dc, c * f.right / 8, r * f.bottom / 8), RGB(255, 0, 0)) << c << "," << r;
    ReleaseDC(g_board.fieldWnd, dc);
}

TEST_F(Options, OkBetweenGamesStoresAndWritesWithoutRebuilding)
{
    g_board.EndGame();
    HBITMAP oldSprite = g_board.sprites[0];
    driver.Push([&](HWND d) {
        SliderKey(d, IDC_RED, VK_END);
        SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(BackRed(g_settings.back), 255u);
    EXPECT_NE(ReadFileBytes(g_settingsPath).find("back=00C8FF00C7\r\n"), std::string::npos);
    EXPECT_EQ(g_board.sprites[0], oldSprite);
    // A repaint now uses the new background, but the pieces keep their old
    // corners until the next build.
    InvalidateRect(g_board.fieldWnd, nullptr, FALSE);
    UpdateWindow(g_board.fieldWnd);
    HDC dc = GetDC(g_board.fieldWnd);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 200, 0));
    ReleaseDC(g_board.fieldWnd, dc);
}

TEST_F(Options, AnimationSliderAndValuesFromAnEditedFile)
{
    long draws = 0;
    driver.Push([&](HWND d) {
        draws = g_previewDraws;
        SliderKey(d, IDC_ANIM, VK_END);
        draws = g_previewDraws - draws;
        SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(draws, 0) << "the animation slider does not touch the preview";
    EXPECT_EQ(g_settings.anim, 1000);

    g_settings.anim = 5000;
    g_settings.gamma = 0;
    g_settings.satur = 0;
    driver.Push([](HWND d) { SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(g_settings.anim, 1000) << "read back from its slider";
    EXPECT_EQ(g_settings.gamma, 0) << "kept unless its slider moved";
    EXPECT_EQ(g_settings.satur, 0);

    driver.Push([](HWND d) {
        // A drag reports the thumb's position in the high word.
        SendMessageA(d, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 9),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_GAMMA)));
        SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(g_settings.gamma, 9);
    EXPECT_EQ(g_settings.satur, 0);
}

TEST_F(Options, PreviewShowsAGreenPieceOnTheBackgroundAndFollowsShading)
{
    BallSpot pure = FindIndex(6), shade = FindIndex(2);
    ASSERT_TRUE(pure.found);
    ASSERT_TRUE(shade.found);
    COLORREF corner = 0, atGamma = 0, shaded = 0, unshaded = 0, repainted = 0;
    driver.Push([&](HWND d) {
        Pump(50);
        corner = PreviewPixel(d, {0.01, 0.01, true});
        atGamma = PreviewPixel(d, pure);
        shaded = PreviewPixel(d, shade);
        // Covered and uncovered: the control repaints, the preview stays.
        InvalidateRect(GetDlgItem(d, IDC_PREVIEW), nullptr, TRUE);
        UpdateWindow(GetDlgItem(d, IDC_PREVIEW));
        repainted = PreviewPixel(d, pure);
        SliderKey(d, IDC_SATUR, VK_HOME); // "Затенение" down to 1
        unshaded = PreviewPixel(d, shade);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(corner, RGB(0, 200, 0));
    EXPECT_EQ(atGamma, RGB(0, 255, 0));
    EXPECT_EQ(repainted, RGB(0, 255, 0));
    EXPECT_EQ(shaded, RGB(0, 127 + 2 * 128 / 6, 0)) << "entry 2 of the shadow ramp";
    EXPECT_EQ(unshaded, RGB(0, 255, 0)) << "satur 1: no shading";
    EXPECT_EQ(g_settings.satur, 2) << "cancelled";
}

} // namespace
