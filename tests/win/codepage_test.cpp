// A game started from a folder named in Cyrillic, under whichever code page
// the run has (the suite runs it under 1252 as well).
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/common/files.h"

namespace {

using S = std::string;
using W = std::wstring;

// The game makes its settings in that folder and finds them there on a later
// start: its title shows the name they hold.
TEST(CodePage, CyrillicFolder)
{
    wchar_t exe[MAX_PATH], temp[MAX_PATH], data[MAX_PATH], title[512] = L"";
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    lstrcpyW(wcsrchr(exe, L'\\'), L"\\kuvex.exe");
    GetTempPathW(MAX_PATH, temp);
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data);
    DeleteFileW((data + W(L"\\Kuvex 2002\\kuvex.ini")).c_str()); // files there would be used instead
    DeleteFileW((data + W(L"\\Kuvex 2002\\kuvex.rec")).c_str());
    const W dir = temp + W(L"Мои игры"), game = dir + L"\\kuvex.exe", ini = dir + L"\\kuvex.ini";
    CreateDirectoryW(dir.c_str(), nullptr);
    DeleteFileW(ini.c_str());
    ASSERT_TRUE(CopyFileW(exe, game.c_str(), FALSE));
    // {the title's start, what the file holds then}; the second start finds
    // the file the test wrote after the first.
    for (const auto &[shown, kept] :
         {std::make_pair(L"Kuvex 2002         Инкогнито ", S("name=Инкогнито\r\n")),
          std::make_pair(L"Kuvex 2002         Иван ", S("name=Иван\r\n"))}) {
        STARTUPINFOW start = {};
        start.cb = sizeof start;
        PROCESS_INFORMATION p;
        ASSERT_TRUE(
            CreateProcessW(game.c_str(), nullptr, nullptr, nullptr, 0, 0, nullptr, dir.c_str(), &start, &p));
        WaitForInputIdle(p.hProcess, 20000);
        const HWND window = FindWindowW(L"ViewerClass", nullptr);
        GetWindowTextW(window, title, 512);
        EXPECT_EQ(W(title).find(shown), 0u);
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(p.hProcess, 20000);
        CloseHandle(p.hThread);
        CloseHandle(p.hProcess);
        EXPECT_NE(ReadFileBytes(ini.c_str()).find(kept), S::npos);
        WriteFileBytes(ini.c_str(), "[Kuvex]\r\nname=Иван\r\n");
    }
}

} // namespace
