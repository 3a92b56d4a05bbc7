// The end of a game through the real window: the game-over dialog, the
// record it announces, the name current when it closed, the score after it,
// and the best-results list.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "app_fixture.h"
#include "game/moves.h"
#include "res/resource.h"
#include "scores/record.h"
#include "scores/score_file.h"

namespace {

std::vector<ScoreRecord> Records(const std::string &path)
{
    std::string bytes = ReadFileBytes(path);
    std::vector<ScoreRecord> out;
    size_t at = 0;
    ScoreRecord rec;
    int n;
    while ((n = DecodeRecord(reinterpret_cast<const unsigned char *>(bytes.data()) + at, bytes.size() - at,
                             &rec)) > 0) {
        out.push_back(rec);
        at += static_cast<size_t>(n);
    }
    EXPECT_EQ(at, bytes.size()) << "only whole records";
    return out;
}

using EndOfGameTest = MainWindow;

TEST_F(EndOfGameTest, AGamePlayedWithRealClicksEndsWithTheRecordTheDialogAnnounced)
{
    DeleteFileA(RecordPath().c_str());
    std::string announced, shownName;
    bool over = false;
    driver.Push([&](HWND d) {
        announced = TextOf(GetDlgItem(d, IDC_GAMEOVER_SCORE));
        shownName = TextOf(GetDlgItem(d, IDC_GAMEOVER_NAME));
        over = true;
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_NEW, 0);
    Pump(50);
    int titleScore = -1;
    for (int turn = 0; turn < 600 && !over; ++turn) {
        if (!g_board.IsActive()) break;
        int m[4] = {-1, -1, -1, -1};
        ForEachMove(g_board, [&](int a, int b, int c, int d) {
            if (m[0] < 0) m[0] = a, m[1] = b, m[2] = c, m[3] = d;
        });
        ASSERT_GE(m[0], 0) << "an active game always offers a move";
        g_board.selCol = g_board.selRow = NO_SELECTION;
        ClickCell(m[0], m[1]);
        ClickCell(m[2], m[3]);
        std::string title = TextOf(window);
        titleScore = std::atoi(title.c_str() + title.rfind(' ') + 1);
        if (g_board.IsActive()) {
            EXPECT_EQ(titleScore, score) << "the title follows the score";
        }
    }
    Pump(100);
    ASSERT_TRUE(over) << "the game-over dialog appeared";
    EXPECT_EQ(announced, "Твои очки: " + std::to_string(titleScore));
    EXPECT_EQ(shownName, "Инкогнито");
    EXPECT_EQ(score, 0);
    EXPECT_FALSE(g_board.IsActive());
    EXPECT_EQ(std::atoi(TextOf(window).c_str() + TextOf(window).rfind(' ') + 1), titleScore)
        << "the title keeps the final score";
    auto recs = Records(RecordPath());
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_STREQ(recs[0].name, "Инкогнито");
    EXPECT_EQ(recs[0].score, static_cast<uint16_t>(titleScore));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(recs[0].time.year, now.wYear);
    EXPECT_EQ(recs[0].time.day, now.wDay);
}

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
    auto recs = Records(RecordPath());
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
