// Every menu command through WM_COMMAND. The shortcuts, as real key presses
// through the accelerator table, are played by the black-box session test.
#include <windows.h>

#include "app_fixture.h"
#include "game/title.h"
#include "res/resource.h"

namespace {

class Menu : public MainWindow
{
  protected:
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

} // namespace
