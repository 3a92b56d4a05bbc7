// The main window as the program creates it: class, size, title, the field
// control, squaring, real clicks, and resizing after a game has ended.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "app/app.h"
#include "settings/program_path.h"
#include "app_fixture.h"
#include "game/board.h"
#include "game/title.h"
#include "game/turn.h"
#include "harness.h"
#include "settings/settings.h"
#include "view/gdi.h"

namespace {

TEST_F(MainWindow, ClassPlacementTitleAndFieldControl)
{
    char cls[64];
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "ViewerClass");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & 0x02CF0000u, 0x02CF0000u);

    RECT desk, outer;
    GetClientRect(GetDesktopWindow(), &desk);
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, (desk.right - 450) / 2);
    EXPECT_EQ(outer.top, (desk.bottom - 480) / 2);
    RECT rc = Client();
    EXPECT_EQ(rc.right, rc.bottom) << "the first WM_SIZE squares the client area";
    // Created 450 x 480; squaring pulled the right edge in, never the left.
    EXPECT_LE(outer.right - outer.left, 450);
    EXPECT_EQ(outer.bottom - outer.top, 480);

    char want[TITLE_CAP];
    ComposeTitle(want, sizeof want, "Инкогнито", score);
    EXPECT_EQ(TextOf(window), want);
    EXPECT_EQ(TextOf(window).substr(0, 19 + 9), "Kuvex 2002         Инкогнито");

    HWND field = g_board.fieldWnd;
    ASSERT_NE(field, nullptr);
    GetClassNameA(field, cls, sizeof cls);
    EXPECT_STREQ(cls, "Static");
    EXPECT_EQ(TextOf(field), "field");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(field, GWL_STYLE)), 0x5000010Du);
    EXPECT_EQ(GetDlgCtrlID(field), 0);
    RECT fr;
    GetWindowRect(field, &fr);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&fr), 2);
    EXPECT_EQ(fr.left, 0);
    EXPECT_EQ(fr.top, 0);
    EXPECT_EQ(fr.right, rc.right);
    EXPECT_EQ(fr.bottom, rc.right);

    BITMAP bm = {};
    ASSERT_NE(g_board.sprites[0], nullptr);
    GetObjectA(g_board.sprites[0], sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, rc.right / 8);
    EXPECT_EQ(bm.bmHeight, rc.right / 8);
}

TEST_F(MainWindow, ResizingKeepsTheClientAreaSquare)
{
    RECT outer;
    GetWindowRect(window, &outer);
    // Wider by one side edge: the right edge is pulled back.
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    RECT rc = Client(), after;
    GetWindowRect(window, &after);
    EXPECT_EQ(rc.right, rc.bottom);
    EXPECT_EQ(after.right - after.left, outer.right - outer.left);
    // Taller: the bottom edge comes back.
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    rc = Client();
    EXPECT_EQ(rc.right, rc.bottom);
    // Smaller in both: the sprites follow the new cell size.
    SetWindowPos(window, nullptr, 0, 0, 300, 340, SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    rc = Client();
    EXPECT_EQ(rc.right, rc.bottom);
    BITMAP bm = {};
    GetObjectA(g_board.sprites[0], sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, rc.right / 8);
}

TEST_F(MainWindow, AfterTheGameEndsAResizeTouchesNeitherFieldNorSprites)
{
    g_board.EndGame();
    RECT before;
    GetClientRect(g_board.fieldWnd, &before);
    HBITMAP sprite0 = g_board.sprites[0];
    RECT outer;
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 120, outer.bottom - outer.top + 120,
                 SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    RECT rc = Client(), field;
    EXPECT_EQ(rc.right, rc.bottom);
    EXPECT_GT(rc.right, before.right);
    GetClientRect(g_board.fieldWnd, &field);
    EXPECT_EQ(field.right, before.right);
    EXPECT_EQ(g_board.sprites[0], sprite0);
    // Painting still happens (WM_DRAWITEM), with temporaries only.
    long live = g_gdiLive, created = g_gdiCreated;
    InvalidateRect(g_board.fieldWnd, nullptr, FALSE);
    UpdateWindow(g_board.fieldWnd);
    EXPECT_GT(g_gdiCreated, created);
    EXPECT_EQ(g_gdiLive, live);

    // A new game keeps the small control; clicks map onto its cells, so the
    // cell under the pointer is the one selected.
    SendMessageA(window, WM_COMMAND, 40001, 0);
    Pump(50);
    if (!g_board.IsActive()) GTEST_SKIP() << "the new game ended at once";
    GetClientRect(g_board.fieldWnd, &field);
    EXPECT_EQ(field.right, before.right);
    int cell = field.right / 8;
    g_board.selCol = g_board.selRow = NO_SELECTION;
    ClickAt(window, 6 * cell + cell / 2, 1 * cell + cell / 2);
    EXPECT_EQ(g_board.selCol, 6);
    EXPECT_EQ(g_board.selRow, 1);
}

} // namespace
