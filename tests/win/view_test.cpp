// The board view on a real window: background and piece corners, the cell
// geometry's one-pixel strips, empty cells, the focus frame, painting without
// ball.bmp, sprites from hostile files, the GDI tally and the DC guards;
// and the drawn icon and pointer.
// Runs with ball.bmp in the current directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/board.h"
#include "res/resource.h"
#include "view/field_view.h"
#include "view/gdi.h"
#include "view/sprite.h"
#include "view/tint.h"

namespace {

constexpr uint32_t kDefaultBack = 0x0000C800; // blue 0, green 200, red 0
constexpr COLORREF kDefaultBackRgb = RGB(0, 200, 0);
const char kParentClass[] = "KuvexViewTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        g_board.Paint(6, 2, kDefaultBack);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A picture of a window's client area, read back through its DC.
struct Capture
{
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    COLORREF At(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

Capture Grab(HWND window)
{
    Capture cap;
    RECT rc;
    GetClientRect(window, &rc);
    cap.w = rc.right;
    cap.h = rc.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cap.w, -cap.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC dc = GetDC(window);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, cap.w, cap.h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD *p = static_cast<const DWORD *>(bits);
    for (int i = 0; i < cap.w * cap.h; ++i) // 0x00RRGGBB in memory order B, G, R
        cap.px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(window, dc);
    return cap;
}

class FieldView : public ::testing::Test
{
  protected:
    // One parent for the whole suite: Wine takes seconds to withdraw a
    // shown top-level window from X, a child goes at once.
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kParentClass;
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, kParentClass, "view test", kParentStyle, 20, 20, 300, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        parent = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(parent, nullptr);
        for (int c = 0; c < BOARD_SIZE; ++c)
            for (int r = 0; r < BOARD_SIZE; ++r)
                b.grid[c][r] = (c + r) % BOARD_SIZE;
        b.selCol = b.selRow = NO_SELECTION;
    }
    void TearDown() override
    {
        FreeSprites();
        if (b.fieldWnd) DestroyWindow(b.fieldWnd);
        b.fieldWnd = nullptr;
        b.selCol = b.selRow = NO_SELECTION;
    }

    // The parent's client area sized to w x h, with a new field control.
    void Open(int w, int h)
    {
        RECT rc = {0, 0, w, h};
        AdjustWindowRect(&rc, kParentStyle, FALSE);
        SetWindowPos(parent, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        GetClientRect(parent, &client);
        ASSERT_EQ(client.right, w);
        ASSERT_EQ(client.bottom, h);
        b.fieldWnd = CreateFieldControl(parent);
        ASSERT_NE(b.fieldWnd, nullptr);
        UpdateWindow(parent);
        Pump();
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    void Paint() { b.Paint(6, 2, kDefaultBack); }
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

    static constexpr DWORD kParentStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static HWND parent;
    Board &b = g_board;
};
HWND FieldView::parent = nullptr;

// Runs a test body inside a fresh empty folder, the old current folder back
// afterwards.
class InTempFolder
{
  public:
    InTempFolder()
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        GetCurrentDirectoryA(MAX_PATH, old_);
        dir_ = std::string(tmp) + "kuvex_view_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        SetCurrentDirectoryA(dir_.c_str());
    }
    ~InTempFolder()
    {
        SetCurrentDirectoryA(old_);
        RemoveDirectoryA((dir_ + "\\ball.bmp").c_str());
        DeleteFileA((dir_ + "\\ball.bmp").c_str());
        RemoveDirectoryA(dir_.c_str());
    }

  private:
    char old_[MAX_PATH];
    std::string dir_;
};

TEST_F(FieldView, BackgroundAndPieceCornersShowTheBackColour)
{
    Open(400, 430);
    EXPECT_EQ(b.BuildSprites(6, 2, kDefaultBack), 0);
    Paint();
    Capture cap = Grab(b.fieldWnd);
    ASSERT_EQ(cap.w, 400);
    ASSERT_EQ(cap.h, 400);
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            // The picture's corners are index 15: the field colour.
            EXPECT_EQ(cap.At(c * 50, r * 50), kDefaultBackRgb);
            EXPECT_EQ(cap.At(c * 50 + 49, r * 50 + 49), kDefaultBackRgb);
            // Equal pieces show equal sprites.
            EXPECT_EQ(cap.At(c * 50 + 25, r * 50 + 25),
                      cap.At(((c + 1) % 8) * 50 + 25, ((r + 7) % 8) * 50 + 25));
        }
    COLORREF red = cap.At(50 + 25, 25); // cell (1, 0) holds red
    EXPECT_GT(GetRValue(red), GetGValue(red) + 60);
    EXPECT_GT(GetRValue(red), GetBValue(red) + 60);
}

TEST_F(FieldView, CellsWiderThanTheSpritesShowOnePixelStrips)
{
    for (int side : {405, 400}) {
        Open(side, side + 20);
        EXPECT_EQ(b.BuildSprites(6, 2, kDefaultBack), 0);
        BITMAP bm;
        ASSERT_TRUE(GetObjectA(b.sprites[0], sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, 50);
        UseSolidSprites(50, RGB(255, 255, 255));
        Paint();
        Capture cap = Grab(b.fieldWnd);
        ASSERT_EQ(cap.w, side);
        std::vector<int> cols, rows;
        for (int i = 0; i < side; ++i) {
            if (cap.At(i, 25) == kDefaultBackRgb) cols.push_back(i);
            if (cap.At(25, i) == kDefaultBackRgb) rows.push_back(i);
        }
        // The right / bottom pixel of columns and rows 1, 3, 4, 6, 7.
        const std::vector<int> want =
            side == 405 ? std::vector<int>{100, 201, 252, 353, 404} : std::vector<int>{};
        EXPECT_EQ(cols, want) << side;
        EXPECT_EQ(rows, want) << side;
        TearDown();
    }
    // 50-pixel sprites in 60-pixel cells (a resize without a rebuild): each
    // stands at its cell's corner, 10 pixels of background after it.
    Open(480, 480);
    UseSolidSprites(50, RGB(255, 255, 255));
    Paint();
    Capture cap = Grab(b.fieldWnd);
    for (int x = 0; x < 480; ++x)
        EXPECT_EQ(cap.At(x, 30) == kDefaultBackRgb, x % 60 >= 50) << x;
}

TEST_F(FieldView, EmptyCellsAreBackgroundAndOnlySelectedPiecesAreFramed)
{
    Open(400, 400);
    UseSolidSprites(50, RGB(255, 255, 255));
    const COLORREF white = RGB(255, 255, 255);
    auto changed = [&](const Capture &cap, RECT &box) {
        int n = 0;
        box = {400, 400, -1, -1};
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                if (cap.At(x, y) != white) {
                    ++n;
                    box = {x < box.left ? x : box.left, y < box.top ? y : box.top,
                           x > box.right ? x : box.right, y > box.bottom ? y : box.bottom};
                }
        return n;
    };
    RECT box;
    Paint();
    EXPECT_EQ(changed(Grab(b.fieldWnd), box), 0) << "no frame without a selection";

    b.selCol = 2;
    b.selRow = 5;
    Paint();
    EXPECT_GT(changed(Grab(b.fieldWnd), box), 40);
    // The frame runs along the whole cell rectangle, inside it.
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.top, 250);
    EXPECT_EQ(box.right, 149);
    EXPECT_EQ(box.bottom, 299);

    b.grid[2][5] = EMPTY;
    Paint();
    Capture cap = Grab(b.fieldWnd);
    EXPECT_EQ(changed(cap, box), 50 * 50) << "only the empty cell differs";
    for (int y = 250; y < 300; ++y)
        for (int x = 100; x < 150; ++x)
            ASSERT_EQ(cap.At(x, y), kDefaultBackRgb) << x << "," << y;
}

TEST_F(FieldView, WithoutBallBmpEveryPaintRetriesAndShowsBackground)
{
    InTempFolder empty;
    Open(300, 360);
    MoveWindow(b.fieldWnd, 0, 0, 120, 120, FALSE);
    b.selCol = b.selRow = 0;
    for (int i = 0; i < 3; ++i) {
        long created = g_gdiCreated;
        Paint(); // tries to build first
        EXPECT_EQ(b.sprites[0], nullptr);
        EXPECT_EQ(b.BuildSprites(6, 2, kDefaultBack), 1);
        EXPECT_GT(g_gdiCreated, created); // the paint did its work
    }
    RECT rc;
    GetClientRect(b.fieldWnd, &rc);
    EXPECT_EQ(rc.right, 300) << "squared all the same";
    EXPECT_EQ(rc.bottom, 300);
    Paint();
    Capture cap = Grab(b.fieldWnd);
    int other = 0;
    for (COLORREF p : cap.px)
        other += p != kDefaultBackRgb;
    EXPECT_GT(other, 0) << "the selection frame on (0, 0)";
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (x > 37 || y > 37) {
                ASSERT_EQ(cap.At(x, y), kDefaultBackRgb) << x << "," << y;
            }
}

// Files that are not a usable 16-colour picture load as nothing; the board
// then paints as without ball.bmp.
TEST_F(FieldView, HostileBallFilesLoadAsNothing)
{
    std::ifstream in("ball.bmp", std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(good.size(), 118u) << "run with ball.bmp in the current folder";
    auto put = [](const std::string &bytes) { std::ofstream("ball.bmp", std::ios::binary) << bytes; };
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
    Open(200, 200);
    InTempFolder folder;
    for (const std::string &bytes : cases) {
        put(bytes);
        long live = g_gdiLive;
        EXPECT_EQ(LoadBallBitmap(), nullptr) << &bytes - cases;
        EXPECT_EQ(g_gdiLive, live);
    }
    // The picture comes from the current folder, not the program's.
    put(patched(18, {8, 0, 0, 0, 8, 0, 0, 0}));
    HBITMAP loaded = LoadBallBitmap();
    BITMAP bm = {};
    GetObjectA(loaded, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 8);
    GdiDelete(loaded);
    DeleteFileA("ball.bmp");
    CreateDirectoryA("ball.bmp", nullptr);
    EXPECT_EQ(LoadBallBitmap(), nullptr) << "a folder";
    EXPECT_EQ(b.BuildSprites(6, 2, kDefaultBack), 1);
}

TEST_F(FieldView, RebuildsAndPaintsLeaveNoGdiObjectBehind)
{
    Open(400, 400);
    ASSERT_EQ(b.BuildSprites(6, 2, kDefaultBack), 0);
    const long live = g_gdiLive, created = g_gdiCreated;
    for (int i = 0; i < 1000; ++i)
        Paint();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(b.BuildSprites(i % 14 + 1, i % 20 + 1, kDefaultBack), 0);
    EXPECT_EQ(g_gdiLive, live);
    EXPECT_GE(g_gdiCreated - created, 1000 * 4 + 100 * 8);
}

// The tinted sprite holds exactly the tint table's colours (an enlargement
// copies pixels), the loaded picture is free again afterwards, and no
// picture at all gives a sprite of background.
TEST_F(FieldView, TintedSpritesAndFreedSelections)
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
    HGDIOBJ original = GetCurrentObject(mem.get(), OBJ_BITMAP);
    {
        Selection sel(mem.get(), sprite);
        EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), sprite) << "the sprite was selected nowhere else";
        int seen[16] = {};
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x) {
                COLORREF p = GetPixel(mem.get(), x, y);
                int i = 0;
                while (i < 16 && p != RGB(table[i].red, table[i].green, table[i].blue))
                    ++i;
                ASSERT_LT(i, 16) << x << "," << y;
                ++seen[i];
            }
        for (int i = 0; i < 16; ++i)
            EXPECT_GT(seen[i], 0) << "index " << i;
    }
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), original) << "Selection put the original back";
    {
        Selection sel(mem.get(), none);
        BITMAP bm;
        GetObjectA(none, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 30);
        EXPECT_EQ(bm.bmHeight, 20);
        EXPECT_EQ(GetPixel(mem.get(), 0, 0), RGB(0x10, 0x20, 0x30));
        EXPECT_EQ(GetPixel(mem.get(), 29, 19), RGB(0x10, 0x20, 0x30));
    }
    // Each was deselected by its guard: a bitmap still in a DC cannot be
    // deleted.
    const long live = g_gdiLive;
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
    HICON icon = LoadIconA(self, MAKEINTRESOURCEA(IDI_KUVEX));
    EXPECT_NE(icon, nullptr);
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
