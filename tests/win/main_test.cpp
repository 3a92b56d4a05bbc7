// Entry of the in-process Windows tests: common controls ready, the Win32
// game host installed, then GoogleTest.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/app.h"

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    InstallWin32Host();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
