// The three ways out of the game end the process with exit code 0, and the
// settings file appears with the defaults on the first start.
#include <gtest/gtest.h>

#include "player.h"

namespace {

TEST(Exit, MenuAltF4AndCloseBoxAllEndWithCodeZero)
{
    for (int way = 0; way < 3; ++way) {
        Folder dir("exit");
        dir.AddGame();
        // Plain colours and no pauses, so no stray cascade delays the exit.
        WriteFileBytes(dir.File("kuvex.ini"), "[Kuvex]\r\nanim=0\r\n");
        Game game;
        ASSERT_TRUE(game.Start(dir.File("kuvex.exe"), dir.path())) << "way " << way;
        if (HWND over = game.WaitDialog("Конец игры", 300))
            PostMessageA(over, WM_COMMAND, IDOK, 0); // a game that ended at once
        ASSERT_TRUE(game.Answering());
        if (way == 0) {
            PostMessageA(game.main, WM_COMMAND, 40002, 0); // Exit
        } else if (way == 1) {
            game.Focus();
            Key(VK_F4, false, true);
        } else {
            PostMessageA(game.main, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
        }
        EXPECT_EQ(game.WaitExit(), 0) << "way " << way;
    }
}

} // namespace
