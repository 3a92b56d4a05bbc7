// The field control and the board's drawing: building the eight piece
// sprites and composing the whole board off screen in one copy.
#include "view/field_view.h"

#include "game/board.h"
#include "game/turn.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "view/gdi.h"
#include "view/sprite.h"

static_assert((WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW) == 0x5000010D, "field control style");

namespace {

// The square that the parent's client area holds.
int ClientSide(HWND window)
{
    RECT rc = {};
    GetClientRect(window, &rc);
    return rc.right < rc.bottom ? rc.right : rc.bottom;
}

// A memory DC holding one sprite for the whole of a paint. Selecting a
// bitmap is the dearest step of a paint on some systems (about 75 us under
// Wine), so each sprite is selected once rather than once per cell; the
// cells are still drawn in their order.
class SpriteSource
{
  public:
    SpriteSource(HDC compatible, HBITMAP sprite) : dc_(compatible), sel_(dc_.get(), sprite)
    {
        BITMAP bm = {};
        if (sprite && GetObjectA(sprite, sizeof bm, &bm)) size_ = {bm.bmWidth, bm.bmHeight};
    }
    HDC dc() const { return dc_.get(); }
    // The sprite's own size: the side / 8 of its build, which after a
    // resize without a rebuild differs from the cells. 0 x 0 without one.
    SIZE size() const { return size_; }

  private:
    MemoryDc dc_;
    Selection sel_;
    SIZE size_ = {0, 0};
};

// The keyboard cursor: a solid black ring around a white one, inside the
// cell's edge where the dotted selection frame runs, so it shows on every
// background and piece and is never taken for the selection. The rings
// thicken with the cell.
void DrawKeyCursor(HDC dc, RECT cell)
{
    const int t = (cell.right - cell.left) / 27 > 1 ? (cell.right - cell.left) / 27 : 1;
    InflateRect(&cell, -t, -t);
    for (int i = 0; i < 2 * t; ++i) {
        FrameRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(i < t ? BLACK_BRUSH : WHITE_BRUSH)));
        InflateRect(&cell, -1, -1);
    }
}

} // namespace

HWND CreateFieldControl(HWND mainWindow)
{
    const int side = ClientSide(mainWindow);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    return CreateWindowExA(0, "STATIC", "field", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW, 0, 0, side,
                           side, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIELD)),
                           instance, nullptr);
}

int Board::BuildSprites(int32_t gamma, int32_t satur, uint32_t back)
{
    if (!fieldWnd) return 1; // nothing to size nor to draw for
    const int side = ClientSide(GetParent(fieldWnd));
    MoveWindow(fieldWnd, 0, 0, side, side, FALSE);
    WindowDc dc(fieldWnd);
    HBITMAP ball = LoadBallBitmap();
    if (!ball) return 1; // old sprites stay
    for (int k = 0; k < BOARD_SIZE; ++k) {
        GdiDelete(sprites[k]);
        sprites[k] = MakeTintedSprite(ball, dc.get(), colors[k], side / 8, side / 8, gamma, satur, back);
    }
    GdiDelete(ball);
    return 0;
}

int Board::Paint(int32_t gamma, int32_t satur, uint32_t back)
{
    if (!fieldWnd) return 0;
    if (!sprites[0]) BuildSprites(gamma, satur, back);

    RECT client = {};
    GetClientRect(fieldWnd, &client);
    const int w = client.right, h = client.bottom;

    WindowDc dc(fieldWnd);
    MemoryDc pictureDc(dc.get());
    GdiObject<HBITMAP> picture(CreateCompatibleBitmap(dc.get(), w, h));
    Selection pictureSel(pictureDc.get(), picture.get());
    GdiObject<HBRUSH> background(CreateSolidBrush(BackToColorref(back)));
    FillRect(pictureDc.get(), &client, background.get());
    const SpriteSource source[BOARD_SIZE] = {
        {dc.get(), sprites[0]}, {dc.get(), sprites[1]}, {dc.get(), sprites[2]}, {dc.get(), sprites[3]},
        {dc.get(), sprites[4]}, {dc.get(), sprites[5]}, {dc.get(), sprites[6]}, {dc.get(), sprites[7]},
    };

    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            RECT cell = {c * w / 8, r * h / 8, (c + 1) * w / 8, (r + 1) * h / 8};
            const int32_t v = grid[c][r];
            // An empty cell keeps the background the whole picture has.
            if (v != EMPTY) {
                // A value off the colour range, or a piece before any sprite
                // exists (no ball.bmp yet), leaves the background showing.
                if (v >= 0 && v < BOARD_SIZE && sprites[v]) {
                    const SIZE size = source[v].size();
                    BitBlt(pictureDc.get(), cell.left, cell.top, size.cx, size.cy, source[v].dc(), 0, 0,
                           SRCCOPY);
                }
                if (c == selCol && r == selRow) DrawFocusRect(pictureDc.get(), &cell);
            }
            if (g_cursor.shown && c == g_cursor.col && r == g_cursor.row)
                DrawKeyCursor(pictureDc.get(), cell);
        }

    BitBlt(dc.get(), 0, 0, w, h, pictureDc.get(), 0, 0, SRCCOPY);
    return 0;
}

void RebuildAndPaintIfActive()
{
    if (g_board.IsActive()) {
        g_board.BuildSprites(g_settings.gamma, g_settings.satur, g_settings.back);
        g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
    }
}
