// The board view on a real window: background and piece corners, the cell
// geometry's one-pixel strips, empty cells, the focus frame, painting without
// ball.bmp, hostile ball.bmp files, the GDI tally and the DC guards; and the
// drawn icon and pointer. Runs with ball.bmp in the current directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/board.h"
#include "harness.h"
#include "res/resource.h"
#include "view/field_view.h"
#include "view/gdi.h"
#include "view/sprite.h"
#include "view/tint.h"

namespace {

constexpr uint32_t kBack = 0x0000C800; // blue 0, green 200, red 0
constexpr COLORREF kBackRgb = RGB(0, 200, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class FieldView : public ::testing::Test
{
  protected:
    // One parent for the whole suite: Wine takes seconds to withdraw a shown
    // top-level window from X, a child goes at once. The tests paint the
    // field themselves, so a plain static window does.
    static void SetUpTestSuite()
    {
        GetCurrentDirectoryA(MAX_PATH, home);
        parent = CreateWindowExA(0, "STATIC", "view test", kStyle, 20, 20, 300, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }
    void SetUp() override
    {
        ASSERT_NE(parent, nullptr);
        for (int c = 0; c < BOARD_SIZE; ++c)
            for (int r = 0; r < BOARD_SIZE; ++r)
                b.grid[c][r] = (c + r) % BOARD_SIZE;
    }
    void TearDown() override
    {
        Close();
        SetCurrentDirectoryA(home); // before `empty` goes
    }

    // The parent's client area sized to w x h, with a new field control.
    void Open(int w, int h)
    {
        RECT rc = {0, 0, w, h};
        AdjustWindowRect(&rc, kStyle, FALSE);
        SetWindowPos(parent, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        b.fieldWnd = CreateFieldControl(parent);
        ASSERT_NE(b.fieldWnd, nullptr);
        Pump(0);
    }
    void Close()
    {
        FreeSprites();
        if (b.fieldWnd) DestroyWindow(b.fieldWnd);
        b.fieldWnd = nullptr;
        b.selCol = b.selRow = NO_SELECTION;
    }
    void Paint() { b.Paint(6, 2, kBack); }
    void FreeSprites()
    {
        for (HBITMAP &s : b.sprites) {
            GdiDelete(s);
            s = nullptr;
        }
    }
    // Sprites of one flat colour, so that any background pixel in the
    // picture is a place no sprite covered.
    void UseSolidSprites(int size, COLORREF colour)
    {
        FreeSprites();
        WindowDc dc(b.fieldWnd);
        MemoryDc mem(dc.get());
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        RECT all = {0, 0, size, size};
        for (HBITMAP &s : b.sprites) {
            s = GdiTrack(CreateCompatibleBitmap(dc.get(), size, size));
            Selection sel(mem.get(), s);
            FillRect(mem.get(), &all, brush.get());
        }
    }

    static constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static HWND parent;
    static char home[MAX_PATH]; // the current folder, with ball.bmp
    TempDir empty;              // for tests that make it the current folder
    Board &b = g_board;
};
HWND FieldView::parent = nullptr;
char FieldView::home[MAX_PATH];

TEST_F(FieldView, BackgroundAndPieceCornersShowTheBackColour)
{
    Open(400, 430); // the field is the smaller side square
    ASSERT_EQ(b.BuildSprites(6, 2, kBack), 0);
    Paint();
    const Capture cap = Grab(b.fieldWnd);
    ASSERT_EQ(cap.w, 400);
    ASSERT_EQ(cap.h, 400);
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            // The picture's corners are index 15: the field colour.
            EXPECT_EQ(cap.At(c * 50, r * 50), kBackRgb);
            EXPECT_EQ(cap.At(c * 50 + 49, r * 50 + 49), kBackRgb);
            // Equal pieces show equal sprites.
            EXPECT_EQ(cap.At(c * 50 + 25, r * 50 + 25), cap.At((c + 1) % 8 * 50 + 25, (r + 7) % 8 * 50 + 25));
        }
    const COLORREF red = cap.At(50 + 25, 25); // cell (1, 0) holds red
    EXPECT_GT(GetRValue(red), GetGValue(red) + 60);
    EXPECT_GT(GetRValue(red), GetBValue(red) + 60);
}

// Cells run from c * side / 8: at 405 columns and rows 1, 3, 4, 6 and 7 are
// 51 pixels and show one of background after a 50-pixel sprite. 50-pixel
// sprites in 60-pixel cells (a resize without a rebuild) stand at their
// cells' corners, 10 pixels of background after each.
TEST_F(FieldView, CellsWiderThanTheSpritesShowTheBackground)
{
    for (int side : {405, 400, 480}) {
        Open(side, side);
        UseSolidSprites(50, kWhite);
        Paint();
        const Capture cap = Grab(b.fieldWnd);
        ASSERT_EQ(cap.w, side);
        std::vector<int> cols, rows, want;
        for (int i = 0; i < side; ++i) {
            if (cap.At(i, 25) == kBackRgb) cols.push_back(i);
            if (cap.At(25, i) == kBackRgb) rows.push_back(i);
            if (side == 480 && i % 60 >= 50) want.push_back(i);
        }
        if (side == 405) want = {100, 201, 252, 353, 404};
        EXPECT_EQ(cols, want) << side;
        EXPECT_EQ(rows, want) << side;
        Close();
    }
}

TEST_F(FieldView, EmptyCellsAreBackgroundAndOnlyTheSelectedPieceIsFramed)
{
    Open(400, 400);
    UseSolidSprites(50, kWhite);
    // The pixels that are not white, and the box around them.
    auto marks = [&](RECT &box) {
        const Capture cap = Grab(b.fieldWnd);
        int n = 0;
        box = {400, 400, -1, -1};
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                if (cap.At(x, y) != kWhite) {
                    ++n;
                    box = {std::min<LONG>(x, box.left), std::min<LONG>(y, box.top),
                           std::max<LONG>(x, box.right), std::max<LONG>(y, box.bottom)};
                }
        return n;
    };
    RECT box;
    const RECT cell = {100, 250, 149, 299}; // (2, 5), edges included
    Paint();
    EXPECT_EQ(marks(box), 0) << "no frame without a selection";
    b.selCol = 2;
    b.selRow = 5;
    Paint();
    EXPECT_GT(marks(box), 40);
    EXPECT_TRUE(EqualRect(&box, &cell)) << "the frame runs along the cell, inside it";

    b.grid[2][5] = EMPTY;
    Paint();
    EXPECT_EQ(marks(box), 50 * 50) << "only the empty cell differs";
    const Capture cap = Grab(b.fieldWnd);
    for (int y = 250; y < 300; ++y)
        for (int x = 100; x < 150; ++x)
            ASSERT_EQ(cap.At(x, y), kBackRgb) << x << "," << y;
}

TEST_F(FieldView, WithoutBallBmpEachPaintTriesAgainAndShowsTheBackground)
{
    SetCurrentDirectoryA(empty.path());
    Open(300, 360);
    b.selCol = b.selRow = 0;
    for (int i = 0; i < 2; ++i) {
        MoveWindow(b.fieldWnd, 0, 0, 120, 120, FALSE);
        Paint(); // tries to build first, which squares the field again
        RECT rc;
        GetClientRect(b.fieldWnd, &rc);
        EXPECT_EQ(rc.right, 300);
        EXPECT_EQ(rc.bottom, 300);
        EXPECT_EQ(b.sprites[0], nullptr);
    }
    EXPECT_EQ(b.BuildSprites(6, 2, kBack), 1);
    const Capture cap = Grab(b.fieldWnd);
    bool frame = false; // the selection on cell (0, 0), 37 pixels
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (x > 37 || y > 37) {
                ASSERT_EQ(cap.At(x, y), kBackRgb) << x << "," << y;
            } else {
                frame |= cap.At(x, y) != kBackRgb;
            }
    EXPECT_TRUE(frame);
}

// Files that are not a usable 16-colour picture load as nothing; the board
// then paints as without ball.bmp.
TEST_F(FieldView, HostileBallFilesLoadAsNothing)
{
    const std::string good = ReadFileBytes("ball.bmp");
    ASSERT_GT(good.size(), 118u) << "run with ball.bmp in the current folder";
    auto patched = [&](size_t at, std::initializer_list<unsigned char> bytes) {
        std::string s = good;
        for (unsigned char v : bytes)
            s[at++] = static_cast<char>(v);
        return s;
    };
    const std::string cases[] = {
        good.substr(0, good.size() - 10), // truncated pixel rows
        good.substr(0, 20),               // truncated header
        patched(28, {8}),                 // 8 bits per pixel claimed
        patched(28, {24}),
        patched(28, {1}),
        patched(18, {0, 0, 0, 0}),       // 0 wide
        patched(18, {0x30, 0x75, 0, 0}), // 30000 x 30000
        patched(22, {0x30, 0x75, 0, 0}),
        patched(22, {0, 0, 0, 0x80}), // height INT_MIN
        patched(30, {2}),             // RLE4
        std::string(3000, '\x5A'),    // noise
    };
    SetCurrentDirectoryA(empty.path());
    Open(200, 200);
    for (const std::string &bytes : cases) {
        WriteFileBytes("ball.bmp", bytes);
        const long live = g_gdiLive;
        EXPECT_EQ(LoadBallBitmap(), nullptr) << &bytes - cases;
        EXPECT_EQ(g_gdiLive, live);
    }
    // The picture comes from the current folder, not the program's.
    WriteFileBytes("ball.bmp", patched(18, {8, 0, 0, 0, 8, 0, 0, 0}));
    HBITMAP small = LoadBallBitmap();
    BITMAP bm = {};
    GetObjectA(small, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 8);
    GdiDelete(small);
    DeleteFileA("ball.bmp");
    CreateDirectoryA("ball.bmp", nullptr);
    EXPECT_EQ(LoadBallBitmap(), nullptr) << "a folder";
    EXPECT_EQ(b.BuildSprites(6, 2, kBack), 1);
}

TEST_F(FieldView, RebuildsAndPaintsLeaveNoGdiObjectBehind)
{
    Open(400, 400);
    ASSERT_EQ(b.BuildSprites(6, 2, kBack), 0);
    const long live = g_gdiLive, created = g_gdiCreated;
    for (int i = 0; i < 1000; ++i)
        Paint();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(b.BuildSprites(i % 14 + 1, i % 20 + 1, kBack), 0);
    EXPECT_EQ(g_gdiLive, live);
    EXPECT_GE(g_gdiCreated - created, 1000 * 4 + 100 * 8); // the work was done
}

// The tinted sprite holds exactly the tint table's colours (an enlargement
// copies pixels); no picture at all gives a sprite of background. Each
// Selection puts the DC's bitmap back, so both sprites and the picture can
// be deleted afterwards.
TEST_F(FieldView, TintedSpritesAndTheSelectionGuard)
{
    Open(200, 200);
    WindowDc dc(b.fieldWnd);
    HBITMAP ball = LoadBallBitmap();
    ASSERT_NE(ball, nullptr);
    const uint32_t back = 0x00102030;
    HBITMAP sprite = MakeTintedSprite(ball, dc.get(), RGB(255, 0, 0), 96, 96, 6, 2, back);
    HBITMAP none = MakeTintedSprite(nullptr, dc.get(), RGB(255, 0, 0), 30, 20, 6, 2, back);
    TintEntry table[16];
    ComputeTintTable(RGB(255, 0, 0), 6, 2, back, table);

    MemoryDc mem(dc.get());
    const HGDIOBJ original = GetCurrentObject(mem.get(), OBJ_BITMAP);
    {
        Selection sel(mem.get(), sprite);
        EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), sprite) << "the sprite was selected nowhere else";
        int seen[16] = {};
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x) {
                const COLORREF p = GetPixel(mem.get(), x, y);
                int i = 0;
                while (i < 16 && p != RGB(table[i].red, table[i].green, table[i].blue))
                    ++i;
                ASSERT_LT(i, 16) << x << "," << y;
                ++seen[i];
            }
        for (int i = 0; i < 16; ++i)
            EXPECT_GT(seen[i], 0) << "index " << i;
    }
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), original);
    {
        Selection sel(mem.get(), none);
        BITMAP bm;
        GetObjectA(none, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 30);
        EXPECT_EQ(bm.bmHeight, 20);
        EXPECT_EQ(GetPixel(mem.get(), 0, 0), RGB(0x10, 0x20, 0x30));
        EXPECT_EQ(GetPixel(mem.get(), 29, 19), RGB(0x10, 0x20, 0x30));
    }
    const long live = g_gdiLive; // a bitmap still in a DC cannot be deleted
    GdiDelete(ball);
    GdiDelete(sprite);
    GdiDelete(none);
    EXPECT_EQ(g_gdiLive, live - 3);
}

} // namespace

// The drawn icon and pointer load from the resources; the pointer's hot spot
// is its tip at the top left.
TEST(Art, IconAndPointerLoad)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(IDI_KUVEX)), nullptr);
    HCURSOR cursor =
        static_cast<HCURSOR>(LoadImageA(self, MAKEINTRESOURCEA(IDC_KUVEX_CURSOR), IMAGE_CURSOR, 48, 48, 0));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}
