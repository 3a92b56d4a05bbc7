// The field control and the board's drawing: building the eight piece
// sprites and composing the whole board off screen in one copy.
#include "view/field_view.h"

#include "game/board.h"
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

    // Each sprite is copied at its own size, the side / 8 of its build,
    // which after a resize without a rebuild differs from the cells.
    SIZE spriteSize[BOARD_SIZE] = {};
    for (int k = 0; k < BOARD_SIZE; ++k) {
        BITMAP bm = {};
        if (sprites[k] && GetObjectA(sprites[k], sizeof bm, &bm)) spriteSize[k] = {bm.bmWidth, bm.bmHeight};
    }

    WindowDc dc(fieldWnd);
    MemoryDc spriteDc(dc.get()), pictureDc(dc.get());
    GdiObject<HBITMAP> picture(CreateCompatibleBitmap(dc.get(), w, h));
    Selection pictureSel(pictureDc.get(), picture.get());
    GdiObject<HBRUSH> background(CreateSolidBrush(BackToColorref(back)));
    FillRect(pictureDc.get(), &client, background.get());

    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) {
            RECT cell = {c * w / 8, r * h / 8, (c + 1) * w / 8, (r + 1) * h / 8};
            const int32_t v = grid[c][r];
            if (v == EMPTY) {
                FillRect(pictureDc.get(), &cell, background.get());
                continue;
            }
            // A value off the colour range, or a piece before any sprite
            // exists (no ball.bmp yet), leaves the background showing.
            if (v >= 0 && v < BOARD_SIZE && sprites[v]) {
                Selection sel(spriteDc.get(), sprites[v]);
                BitBlt(pictureDc.get(), cell.left, cell.top, spriteSize[v].cx, spriteSize[v].cy,
                       spriteDc.get(), 0, 0, SRCCOPY);
            }
            if (c == selCol && r == selRow) DrawFocusRect(pictureDc.get(), &cell);
        }

    BitBlt(dc.get(), 0, 0, w, h, pictureDc.get(), 0, 0, SRCCOPY);
    return 0;
}
