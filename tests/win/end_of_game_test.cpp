// The end of a game in the real window: the game-over dialog, the name
// current when it closed, the score after it, and the best-results list. A
// whole game played by real clicks is the black-box session test's.
#include <windows.h>

#include <vector>

#include "app_fixture.h"
#include "res/resource.h"
#include "scores/score_file.h"

namespace {

using EndOfGameTest = MainWindow;

TEST_F(EndOfGameTest, TheRecordCarriesTheNameCurrentWhenTheDialogClosed)
{
    DeleteFileA(RecordPath().c_str());
    std::string title = TextOf(window);
    HWND gameOver = nullptr;
    std::string caption, scoreText;
    driver.Push([&](HWND d) {
        gameOver = d;
        caption = TextOf(d);
        scoreText = TextOf(GetDlgItem(d, IDC_GAMEOVER_SCORE));
        PostMessageA(d, WM_COMMAND, IDC_GAMEOVER_RENAME, 0);
    });
    driver.Push([&](HWND nameDialog) {
        SetDlgItemTextA(nameDialog, IDC_NAME_EDIT, "Тестер");
        PostMessageA(nameDialog, WM_COMMAND, IDOK, 0);
        PostMessageA(gameOver, WM_COMMAND, IDOK, 0);
    });
    score = 70000; // shown in full, recorded as its low 16 bits
    EndOfGame(window);
    EXPECT_EQ(caption, "Конец игры");
    EXPECT_EQ(scoreText, "Твои очки: 70000");
    const std::string bytes = ReadFileBytes(RecordPath());
    size_t whole = 0;
    auto recs = Records(bytes, &whole);
    EXPECT_EQ(whole, bytes.size()) << "only whole records";
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_STREQ(recs[0].name, "Тестер");
    EXPECT_EQ(recs[0].score, 4464);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(TextOf(window), title) << "the title is not rewritten";

    // A game that ends at 0 writes nothing, not even an empty file.
    DeleteFileA(RecordPath().c_str());
    g_board.active = 1;
    score = 0;
    EndOfGame(window);
    EXPECT_EQ(GetFileAttributesA(RecordPath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(driver.seen, 3);
}

TEST_F(EndOfGameTest, BestResultsListEveryRecordHighestFirst)
{
    DeleteFileA(RecordPath().c_str());
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> empty, full;
    bool escapeKeptItOpen = false;
    driver.Push([&](HWND d) {
        headers = ListHeaders(GetDlgItem(d, IDC_BEST_LIST));
        empty = ListRows(GetDlgItem(d, IDC_BEST_LIST));
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_BEST, 0);
    EXPECT_EQ(headers, (std::vector<std::string>{"Имя", "Очки", "Дата"}));
    EXPECT_TRUE(empty.empty());
    EXPECT_NE(GetFileAttributesA(RecordPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "an empty file is created";
    EXPECT_TRUE(ReadFileBytes(RecordPath()).empty());

    ScoreFile file;
    EXPECT_EQ(file.Append("Аня", 5), 16);
    EXPECT_EQ(file.Append("Борис", 12), 16);
    EXPECT_EQ(file.Append("Вера", 7), 16);
    driver.Push([&](HWND d) {
        full = ListRows(GetDlgItem(d, IDC_BEST_LIST));
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
        Pump(30);
        escapeKeptItOpen = IsWindow(d) != FALSE;
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_BEST, 0);
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(full[0][0], "Борис");
    EXPECT_EQ(full[0][1], "12");
    EXPECT_EQ(full[1][1], "7");
    EXPECT_EQ(full[2][1], "5");
    EXPECT_NE(full[0][2].find(" в "), std::string::npos);
    EXPECT_TRUE(escapeKeptItOpen);
}

} // namespace
