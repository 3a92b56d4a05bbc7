// A whole session as a player has it, through the real kuvex.exe: a game
// played to its end by reading the screen and clicking, the game-over dialog
// and the record it leaves, the best results, a new game, the Options, the
// name, undo, the rules, the credits, and the way out. Pictures of the
// window and of every dialog are kept in shots\ beside the driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "player.h"
#include "res/resource.h"

namespace {

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// Seconds between a record's time and now (local clock).
long long SecondsFromNow(const RecordTime &t)
{
    SYSTEMTIME st = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
    FILETIME then, now;
    SYSTEMTIME local;
    GetLocalTime(&local);
    if (!SystemTimeToFileTime(&st, &then) || !SystemTimeToFileTime(&local, &now)) return 1LL << 40;
    const long long a = static_cast<long long>(then.dwHighDateTime) << 32 | then.dwLowDateTime;
    const long long b = static_cast<long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return (b - a) / 10000000;
}

std::string IniValue(const std::string &ini, const char *key)
{
    const std::string line = std::string("\r\n") + key + "=";
    const size_t at = ini.find(line);
    if (at == std::string::npos) return "<missing>";
    const size_t from = at + line.size();
    return ini.substr(from, ini.find("\r\n", from) - from);
}

bool SameGrid(const Board &a, const Board &b)
{
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (a.grid[c][r] != b.grid[c][r]) return false;
    return true;
}

// Opens a command by the real menu, else by the command itself; says which
// way in the test output.
void MenuCommand(const Game &game, int popup, int item, int command, const char *what, const char *shot)
{
    game.Focus();
    switch (game.ClickMenu(popup, item, shot)) {
    case Game::MENU_MOUSE:
        std::printf("    %s: mouse on the menu bar and the pop-up\n", what);
        return;
    case Game::MENU_MOUSE_AND_KEYS:
        std::printf("    %s: mouse on the menu bar, arrow keys in the pop-up\n", what);
        return;
    case Game::MENU_FAILED:
        std::printf("    %s: the menu did not open; sent as WM_COMMAND\n", what);
        PostMessageA(game.main, WM_COMMAND, command, 0);
    }
}

TEST(Play, AWholeSessionThroughTheScreenMouseAndKeyboard)
{
    Folder dir("play");
    dir.AddGame();
    WriteFileBytes(dir.File("kuvex.ini"), PLAIN_INI);
    Game game;
    ASSERT_TRUE(game.Start(dir.File("kuvex.exe"), dir.path()));
    EXPECT_EQ(ReadFileBytes(dir.File("kuvex.ini")), PLAIN_INI)
        << "an existing file is not completed at start-up";
    EXPECT_NE(game.Title().find("Kuvex 2002         Инкогнито            Очки: "), std::string::npos)
        << game.Title();

    // One game to its end, move by move as the screen shows it.
    HWND over = game.WaitDialog("Конец игры", 0);
    if (!over) Shot(game.main, "main-window");
    int shown = game.TitleScore(), turns = 0;
    ASSERT_GE(shown, 0) << game.Title();
    while (!over && turns < 3000) {
        int before = -1, after = -1;
        std::string why;
        const Game::Turn turn = game.PlayTurn(&before, &after, &why);
        ASSERT_NE(turn, Game::FAILED) << why << " (turn " << turns << ")";
        if (turn == Game::NO_MOVE) {
            over = game.WaitDialog("Конец игры");
            break;
        }
        ++turns;
        EXPECT_EQ(before, shown) << "the score changed between turns";
        EXPECT_GE(after, before + 3) << "a kept swap removes at least three pieces";
        shown = after;
        over = game.GameOverAfterTurn();
    }
    ASSERT_TRUE(over) << "no game-over dialog after " << turns << " turns";
    std::printf("    game over after %d turns with %d points\n", turns, shown);
    EXPECT_EQ(ItemText(over, IDC_GAMEOVER_SCORE), "Твои очки: " + std::to_string(shown));
    EXPECT_EQ(ItemText(over, IDC_GAMEOVER_NAME), "Инкогнито");
    Shot(over, "game-over");
    ClickWindow(GetDlgItem(over, IDOK));
    ASSERT_TRUE(game.WaitDialogGone("Конец игры"));
    ASSERT_TRUE(game.Answering());
    EXPECT_EQ(game.TitleScore(), shown) << "the title keeps the final score";

    const std::vector<ScoreRecord> recs = Records(ReadFileBytes(dir.File("kuvex.rec")));
    if (shown == 0) {
        EXPECT_TRUE(recs.empty()) << "a game of 0 points is not recorded";
    } else {
        ASSERT_EQ(recs.size(), 1u);
        EXPECT_STREQ(recs[0].name, "Инкогнито");
        EXPECT_EQ(recs[0].score, static_cast<uint16_t>(shown));
        EXPECT_LE(std::llabs(SecondsFromNow(recs[0].time)), 60);
    }

    // Best results, with two more records around the game's own.
    {
        std::string more;
        unsigned char bytes[RECORD_MAX];
        const RecordTime t = {2002, 12, 4, 5, 9, 3, 7, 250};
        more.append(reinterpret_cast<char *>(bytes), EncodeRecord("Аня", 65535, t, bytes));
        more.append(reinterpret_cast<char *>(bytes), EncodeRecord("Борис", 1, t, bytes));
        WriteFileBytes(dir.File("kuvex.rec"), ReadFileBytes(dir.File("kuvex.rec")) + more);
    }
    MenuCommand(game, 0, 2, IDM_BEST, "best results", "menu-game");
    HWND best = game.WaitDialog("Лучшие");
    ASSERT_TRUE(best);
    Shot(best, "best-results");
    const ListContents list = ReadListView(GetDlgItem(best, IDC_BEST_LIST));
    EXPECT_EQ(list.headers, (std::vector<std::string>{"Имя", "Очки", "Дата"}));
    std::vector<std::string> order;
    for (const auto &row : list.rows)
        order.push_back(row[0] + " " + row[1]);
    std::vector<std::string> expected = {"Аня 65535"};
    if (shown) expected.push_back("Инкогнито " + std::to_string(static_cast<uint16_t>(shown)));
    expected.push_back("Борис 1");
    EXPECT_EQ(order, expected);
    if (!list.rows.empty()) {
        EXPECT_EQ(list.rows[0][2], "5.12.2002 в 9:3:7");
    }
    ClickWindow(GetDlgItem(best, IDOK));
    ASSERT_TRUE(game.WaitDialogGone("Лучшие"));

    // A new game by F2.
    game.Focus();
    Key(VK_F2);
    Board board;
    ASSERT_TRUE(game.ReadWholeBoard(board)) << "the new game's board";
    if (HWND early = game.WaitDialog("Конец игры", 0)) { // an opening without a move: once more
        PostMessageA(early, WM_COMMAND, IDOK, 0);
        game.WaitDialogGone("Конец игры");
        game.Focus();
        Key(VK_F2);
    }

    // Options by F4: R up to 255 and G down to 0 by the keyboard on the
    // sliders (a click gives one the focus), then Enter.
    game.Focus();
    Key(VK_F4);
    HWND options = game.WaitDialog("Опции");
    ASSERT_TRUE(options);
    Shot(options, "options-before");
    ClickWindow(GetDlgItem(options, IDC_RED));
    Key(VK_END);
    ClickWindow(GetDlgItem(options, IDC_GREEN));
    Key(VK_HOME);
    Wait(100);
    Shot(options, "options-red");
    Key(VK_RETURN);
    ASSERT_TRUE(game.WaitDialogGone("Опции"));
    ASSERT_TRUE(game.Answering());
    const std::string ini = ReadFileBytes(dir.File("kuvex.ini"));
    EXPECT_EQ(IniValue(ini, "back"), "0000FF00FF") << ini;
    EXPECT_EQ(IniValue(ini, "anim"), "0");
    EXPECT_EQ(IniValue(ini, "gamma"), "14");
    EXPECT_EQ(IniValue(ini, "satur"), "1");
    EXPECT_EQ(IniValue(ini, "name"), "Инкогнито") << "a key not given is written with its default";
    // The board's background (a cell's corner) is red now.
    Wait(100);
    const RECT field = game.FieldRect();
    EXPECT_EQ(CaptureScreen(field).At(1, 1), 0x0000FFu);
    ASSERT_TRUE(game.ReadWholeBoard(board)) << "pieces keep their colours";
    Shot(game.main, "main-red-background");

    // A new name from the menu; the title follows.
    MenuCommand(game, 1, 1, IDM_NAME, "change name", "menu-settings");
    HWND name = game.WaitDialog("Поменять имя на");
    ASSERT_TRUE(name);
    EXPECT_EQ(ItemText(name, IDC_NAME_EDIT), "Инкогнито");
    SetForegroundWindow(name);
    Type("Тестер");
    Shot(name, "change-name");
    Key(VK_RETURN);
    ASSERT_TRUE(game.WaitDialogGone("Поменять имя на"));
    ASSERT_TRUE(game.Answering());
    EXPECT_EQ(game.Title(),
              "Kuvex 2002         Тестер            Очки: " + std::to_string(game.TitleScore()));

    // A swap, then Ctrl+Z brings the board from before it back.
    Board before;
    ASSERT_TRUE(game.ReadWholeBoard(before));
    int s0 = 0, s1 = 0;
    std::string why;
    ASSERT_EQ(game.PlayTurn(&s0, &s1, &why), Game::PLAYED) << why;
    if (HWND end = game.GameOverAfterTurn()) { // the swap ended the game: undo has nothing to act on
        PostMessageA(end, WM_COMMAND, IDOK, 0);
        game.WaitDialogGone("Конец игры");
    } else {
        game.Focus();
        Key('Z', true);
        Board undone;
        DWORD until = GetTickCount() + 5000;
        while (!(game.ReadWholeBoard(undone) && SameGrid(undone, before)) &&
               static_cast<int>(until - GetTickCount()) > 0)
            Wait(20);
        EXPECT_TRUE(SameGrid(undone, before)) << "Ctrl+Z restores the board";
        EXPECT_EQ(game.TitleScore(), s1) << "undo keeps the points";
    }

    // The rules by F1.
    game.Focus();
    Key(VK_F1);
    HWND rules = game.WaitDialog("Правила");
    ASSERT_TRUE(rules);
    EXPECT_FALSE(ItemText(rules, IDC_RULES_TEXT).empty());
    Shot(rules, "rules");
    ClickWindow(GetDlgItem(rules, IDOK));
    ASSERT_TRUE(game.WaitDialogGone("Правила"));

    // About, from the help menu.
    MenuCommand(game, 2, 1, IDM_ABOUT, "about", "menu-help");
    HWND about = game.WaitDialog("О программе");
    ASSERT_TRUE(about);
    Shot(about, "about");
    ClickWindow(GetDlgItem(about, IDOK));
    ASSERT_TRUE(game.WaitDialogGone("О программе"));

    game.Focus();
    Key(VK_F4, false, true);
    EXPECT_EQ(game.WaitExit(), 0);
    EXPECT_EQ(Records(ReadFileBytes(dir.File("kuvex.rec"))).size(), shown ? 3u : 2u)
        << "nothing recorded on the way out";
}

} // namespace
