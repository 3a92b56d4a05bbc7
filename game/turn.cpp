// Turn controller and end of game.
#include "game/turn.h"

#include "game/board.h"
#include "game/host.h"
#include "game/title.h"
#include "settings/settings.h"

int32_t score = 0;
KeyCursor g_cursor = {NO_SELECTION, NO_SELECTION, 0};
const GameHost *g_host = nullptr;

static void Repaint()
{
    if (g_host && g_host->repaint) g_host->repaint();
}

uint32_t PauseFor(int32_t anim)
{
    if (anim < 0) return 0;
    if (anim > 1000) return 1000;
    return static_cast<uint32_t>(anim);
}

void StartNewGame(HWND mainWindow)
{
    g_board.NewGame(mainWindow);
    score = 0;
    ResolveBoard(mainWindow);
}

// What a click on (col, row) or a key on the cursor's cell does: select,
// deselect, reselect or swap.
static void ActOnCell(HWND mainWindow, int32_t col, int32_t row)
{
    if (!g_board.IsActive()) return;
    Board &b = g_board;
    if (b.selCol == NO_SELECTION && b.selRow == NO_SELECTION) {
        b.selCol = col;
        b.selRow = row;
        Repaint();
        return;
    }
    if (col == b.selCol && row == b.selRow) {
        b.selCol = b.selRow = NO_SELECTION;
        Repaint();
        return;
    }
    // Integer form of "distance > 1.0": anything but an orthogonal neighbour.
    int32_t dc = b.selCol - col, dr = b.selRow - row;
    if (dc * dc + dr * dr > 1) {
        b.selCol = col;
        b.selRow = row;
        Repaint();
        return;
    }
    if (!b.TrySwap(col, row)) return; // refused: board, selection and screen stay as they are
    b.selCol = b.selRow = NO_SELECTION;
    ResolveBoard(mainWindow);
}

void HandleCellClick(HWND mainWindow, uint16_t x, uint16_t y, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || x >= width || y >= height) return;
    const int32_t col = (static_cast<int32_t>(x) * BOARD_SIZE) / width;
    const int32_t row = (static_cast<int32_t>(y) * BOARD_SIZE) / height;
    const int32_t wasShown = g_cursor.shown;
    g_cursor = {col, row, 0};
    // The frame goes at once, also when the click itself draws nothing.
    if (wasShown) Repaint();
    ActOnCell(mainWindow, col, row);
}

void HandleCellKey(HWND mainWindow, CellKey key)
{
    if (!g_board.IsActive()) return;
    KeyCursor &k = g_cursor;
    if (!k.shown) {
        if (k.col == NO_SELECTION) {
            const bool selected = g_board.selCol != NO_SELECTION;
            k.col = selected ? g_board.selCol : 0;
            k.row = selected ? g_board.selRow : 0;
        }
        k.shown = 1;
        Repaint();
        return;
    }
    if (key == KEY_ACT) {
        ActOnCell(mainWindow, k.col, k.row);
        return;
    }
    const int32_t col = k.col + (key == KEY_RIGHT) - (key == KEY_LEFT);
    const int32_t row = k.row + (key == KEY_DOWN) - (key == KEY_UP);
    if (col < 0 || col >= BOARD_SIZE || row < 0 || row >= BOARD_SIZE) return; // at the edge
    k.col = col;
    k.row = row;
    Repaint();
}

void ResolveBoard(HWND mainWindow)
{
    uint32_t pause = PauseFor(g_settings.anim);
    for (;;) {
        g_board.ClearMatches();
        if (pause != 0) {
            Repaint();
            Delay(pause);
        }
        int n = g_board.Refill();
        if (n == 0) break;
        score += n;
        Repaint();
        Delay(pause);
    }
    Repaint();
    UpdateTitle(mainWindow);
    if (g_board.CountMoves() == 0) EndOfGame(mainWindow);
}

void UpdateTitle(HWND mainWindow)
{
    char title[TITLE_CAP];
    ComposeTitle(title, sizeof title, g_settings.name, score);
    if (g_host && g_host->setTitle) g_host->setTitle(mainWindow, title);
}

void UndoMove()
{
    if (!g_board.IsActive()) return;
    if (!g_board.Undo()) return;
    Repaint();
}

void Delay(uint32_t milliseconds)
{
    if (!g_host || !g_host->tickCount) return;
    uint32_t t0 = g_host->tickCount();
    // Unsigned difference: right across the wrap of the counter.
    while (static_cast<uint32_t>(g_host->tickCount() - t0) <= milliseconds) {}
}

void EndOfGame(HWND mainWindow)
{
    if (g_host && g_host->gameOverDialog) g_host->gameOverDialog(mainWindow);
    g_board.EndGame();
    // The name current after the dialog closed; the record file itself
    // writes nothing for a score of 0.
    if (g_host && g_host->appendRecord) g_host->appendRecord(g_settings.name, score);
    score = 0;
}
