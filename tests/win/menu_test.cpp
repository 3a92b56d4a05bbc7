// Every menu command through WM_COMMAND, and the shortcuts as real key
// presses translated by the accelerator table, the way the message loop does.
#include <windows.h>

#include "app_fixture.h"
#include "game/title.h"
#include "res/resource.h"

namespace {

class Menu : public MainWindow
{
  protected:
    // The main loop's handling of pending input: accelerators first.
    void PumpKeys(DWORD ms = 150)
    {
        HACCEL accel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDA_ACCEL));
        DWORD end = GetTickCount() + ms;
        MSG msg;
        do {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchWithAccelerators(window, accel, &msg);
            Sleep(1);
        } while (static_cast<int>(end - GetTickCount()) > 0);
    }
    std::string Title() const
    {
        char t[TITLE_CAP];
        ComposeTitle(t, sizeof t, g_settings.name, score);
        return t;
    }
};

TEST_F(Menu, EachDialogCommandOpensItsDialog)
{
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
    for (int id : {IDM_OPTIONS, IDM_RULES, IDM_ABOUT, IDM_BEST})
        SendMessageA(window, WM_COMMAND, id, 0);
    EXPECT_EQ(driver.captions, "Опции;Правила;О программе;Лучшие;");
}

TEST_F(Menu, ChangeNameRewritesTheTitleAfterOkAndAfterCancel)
{
    driver.Push([](HWND d) {
        SetDlgItemTextA(d, IDC_NAME_EDIT, "Ира");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_NAME, 0);
    EXPECT_STREQ(g_settings.name, "Ира");
    EXPECT_EQ(TextOf(window), Title());

    SetWindowTextA(window, "stale");
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    SendMessageA(window, WM_COMMAND, IDM_NAME, 0);
    EXPECT_STREQ(g_settings.name, "Ира");
    EXPECT_EQ(TextOf(window), Title());

    // After a game has ended, the title then shows the score 0.
    g_board.EndGame();
    score = 0;
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
    SendMessageA(window, WM_COMMAND, IDM_NAME, 0);
    EXPECT_EQ(TextOf(window).substr(TextOf(window).size() - 7), "Очки: 0");
}

TEST_F(Menu, NewAbandonsWithoutARecordAndUndoDoesNothingBetweenGames)
{
    DeleteFileA(RecordPath().c_str());
    int dialogs = driver.seen;
    SendMessageA(window, WM_COMMAND, IDM_NEW, 0);
    if (driver.seen == dialogs) { // unless the new game ended at once, by the rules
        EXPECT_EQ(GetFileAttributesA(RecordPath().c_str()), INVALID_FILE_ATTRIBUTES);
    }

    g_board.EndGame();
    int32_t before[8][8];
    std::memcpy(before, g_board.grid, sizeof before);
    g_board.snapshot[0][0] = 0; // an undo would have something to restore
    SendMessageA(window, WM_COMMAND, IDM_UNDO, 0);
    EXPECT_EQ(std::memcmp(before, g_board.grid, sizeof before), 0);

    // Other ids (the field's click notification is 0) do nothing.
    std::string title = TextOf(window);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), 0);
    SendMessageA(window, WM_COMMAND, 40003, 0);
    EXPECT_EQ(TextOf(window), title);
    EXPECT_TRUE(IsWindow(window));

    SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Menu, ShortcutsWorkAsRealKeyPresses)
{
    SetForegroundWindow(window);
    SetFocus(window);
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });     // Rules
    driver.Push([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }); // Options
    PressKey(VK_F1);
    PumpKeys();
    PressKey(VK_F4);
    PumpKeys();
    EXPECT_EQ(driver.captions.substr(0, std::string("Правила;Опции;").size()), "Правила;Опции;");

    // F2: a new game (a fresh random board).
    int32_t old[8][8];
    std::memcpy(old, g_board.grid, sizeof old);
    int seen = driver.seen;
    PressKey(VK_F2);
    PumpKeys();
    EXPECT_TRUE(std::memcmp(old, g_board.grid, sizeof old) != 0 || driver.seen > seen);

    // Ctrl+Z after a kept swap restores the board from before it.
    if (!g_board.IsActive()) GTEST_SKIP() << "the new game ended at once";
    int m[4] = {-1, -1, -1, -1};
    for (int c = 0; c < 8 && m[0] < 0; ++c)
        for (int r = 0; r < 8 && m[0] < 0; ++r)
            for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
                if (c + dc > 7 || r + dr > 7 || m[0] >= 0) continue;
                Board probe = g_board;
                probe.selCol = c;
                probe.selRow = r;
                if (probe.TrySwap(c + dc, r + dr)) m[0] = c, m[1] = r, m[2] = c + dc, m[3] = r + dr;
            }
    ASSERT_GE(m[0], 0);
    std::memcpy(old, g_board.grid, sizeof old);
    g_board.selCol = m[0];
    g_board.selRow = m[1];
    ClickCell(m[2], m[3]);
    if (!g_board.IsActive()) GTEST_SKIP() << "that swap ended the game";
    ASSERT_NE(std::memcmp(old, g_board.grid, sizeof old), 0);
    SetForegroundWindow(window);
    PressKey('Z', true);
    PumpKeys();
    EXPECT_EQ(std::memcmp(old, g_board.grid, sizeof old), 0);
}

} // namespace
