// What only the real platform shows of the files: the settings file's bytes
// and what loading it sets, record appends that are whole or nothing and what
// they hold, where the files live, and a start from a Cyrillic folder.
#include "tests/win/win_test.h"

namespace {

// Each key is read (a long name cut to 254 bytes, every high byte as it is,
// under any code page) and kept where it stands; a missing one keeps its
// value and a save adds it after them, in the keys' own order. FF80010080: blue 255, green 128, red 1,
// and their sum 384 % 256.
TEST(Files, SettingsLoadedAndSaved)
{
    S high, z(300, 'z'), some = "[Kuvex]\r\nsatur=3\r\nback=FF80010080\r\nanim=321\r\nname=";
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    high += '\xEE'; // and a lone lead byte of code page 936 at the end
    // {file, settings loaded over the fixture's, file after a save}
    for (const auto &[before, loaded, after] :
         {std::make_tuple(some + z + "\r\n", std::make_tuple(321, 9, 3, 0x000180FFu, z.substr(0, 254)),
                          some + z.substr(0, 254) + "\r\ngamma=9\r\n"),
          std::make_tuple(some + high, std::make_tuple(321, 9, 3, 0x000180FFu, high),
                          some + high + "\r\ngamma=9\r\n"),
          std::make_tuple(
              S("[Kuvex]\r\ngamma=11\r\n"), std::make_tuple(7, 11, 13, kBack, S("Тестер")),
              S("[Kuvex]\r\ngamma=11\r\nanim=7\r\nsatur=13\r\nname=Тестер\r\nback=3090E000A0\r\n"))}) {
        g_settings = kFixture;
        WriteFileBytes(g_settingsPath, before);
        EXPECT_EQ(LoadSettings(g_settingsPath), 0);
        EXPECT_EQ(Fields(g_settings), loaded);
        SaveSettings(g_settingsPath);
        EXPECT_EQ(ReadFileBytes(g_settingsPath), after);
    }
    // A file that the name would grow past what the program reads whole is
    // left to the profile functions (under 936 they drop a last lone lead byte).
    WriteFileBytes(g_settingsPath, "[Kuvex]\r\nname=a\r\n[Other]\r\nx=" + S(32600, 'p') + "\r\n");
    lstrcpynA(g_settings.name, high.c_str(), NAME_SIZE);
    SaveSettings(g_settingsPath);
    const S kept = "name=" + high.substr(0, 128) + (GetACP() == 936 ? "?" : "\xEE") + "\r\n";
    EXPECT_NE(ReadFileBytes(g_settingsPath).find(kept), S::npos);
}

// Where reads stop, and the mode: 0 all well, 1 a write a byte short, 2 that
// and failed, 3 reads stop without failing.
DWORD g_readable, g_mode;

// Record appends are whole or nothing and never cut records after a read
// failure; a score of 0 is not recorded.
TEST(Files, WholeRecords)
{
    // 1000 records, and a write cut short after them.
    S old;
    for (int i = 0; i <= 1000; ++i)
        old += Record("Player " + std::to_string(i), uint16_t(i + 1), {2002, 12, 4, 5, 9, 3, 7, 250});
    const S tail = old.substr(0, 28900), damage(300, 'N'); // no NUL: no record
    old.resize(28890);
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        const DWORD at = SetFilePointer(f, 0, nullptr, FILE_CURRENT);
        *got = 0;
        return at < g_readable ? ReadFile(f, to, std::min(n, g_readable - at), got, o) : g_mode == 3;
    };
    g_recordWrite = [](HANDLE f, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED o) -> BOOL {
        return WriteFile(f, data, size - (g_mode % 3 > 0), done, o) && g_mode != 2;
    };
    // Only a tail read to the file's proven end is cut, and a write that falls
    // short leaves nothing: {bytes read, mode, file, bytes kept}.
    for (const auto &[readable, mode, before, kept] :
         {std::make_tuple(0u, 0, old, old), std::make_tuple(4096u, 0, old, old),
          std::make_tuple(4096u, 3, old, old), std::make_tuple(28900u, 0, tail, tail),
          std::make_tuple(MAXDWORD, 0, tail, old), std::make_tuple(MAXDWORD, 1, tail, old),
          std::make_tuple(MAXDWORD, 2, tail, old),
          std::make_tuple(MAXDWORD, 0, damage + tail, damage + old)}) {
        WriteFileBytes(g_recordPath, before);
        std::tie(g_readable, g_mode) = std::tie(readable, mode);
        EXPECT_EQ(ScoreFile().Append("Аня", 5), mode % 3 ? 0 : 16);
        const S now = ReadFileBytes(g_recordPath);
        EXPECT_EQ(now.compare(0, kept.size(), kept), 0) << readable;
        EXPECT_EQ(now.size() - kept.size(), mode % 3 ? 0 : 3 + RECORD_MIN) << readable; // "Аня", whole
    }
    g_recordRead = ReadFile;
    g_recordWrite = WriteFile;
    // A score of 0 is not recorded at all (what a record holds, and its
    // time, the black-box game reads from a real game's end).
    DeleteFileA(g_recordPath);
    EXPECT_EQ(ScoreFile().Append("Аня", 0) + ReadFileBytes(g_recordPath).size(), 0u);
    DeleteFileA(g_recordPath);
}

TEST(Files, RefusingFilesMoveTheGameAndAppDataKeepsIt)
{
    const S old = "[Kuvex]\r\nname=Аня\r\n";
    char stale[16]; // a probe's name left by an earlier process with this id
    wsprintfA(stale, "~%08lX", GetCurrentProcessId());
    const DWORD plain = FILE_ATTRIBUTE_NORMAL, locked = FILE_ATTRIBUTE_READONLY;
    const std::tuple<const char *, DWORD, bool, bool> rows[] = {
        {"kuvex.ini", plain, false, false}, {stale, plain, false, false},
        {"kuvex.ini", locked, false, true}, {"kuvex.rec", locked, false, true},
        {"kuvex.rec", plain, true, true},   {"appdata", plain, false, true}};
    for (const auto &[file, attributes, held, moved] : rows) {
        Clear();
        CreateDirectoryA(InAppData("").c_str(), nullptr);
        const bool appData = !strcmp(file, "appdata");
        const S path = appData ? InAppData("kuvex.rec") : Beside(file), row = path + (held ? " held" : "");
        WriteFileBytes(path, old);
        SetFileAttributesA(path.c_str(), attributes);
        HANDLE holder =
            CreateFileA(held ? path.c_str() : "", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ChooseDataFolder();
        CloseHandle(holder);
        EXPECT_EQ(Chosen(), moved ? InAppData("kuvex.rec") : Beside("kuvex.rec")) << row;
        EXPECT_EQ(ReadFileBytes(path), old) << row;
        EXPECT_EQ(ReadFileBytes(InAppData(file)), moved && !appData && !held ? old : "") << row;
        SetFileAttributesA(path.c_str(), plain);
        DeleteFileA(path.c_str());
        EXPECT_EQ(GetFileAttributesA(Beside("kuvex.ini").c_str()) & GetFileAttributesA(Beside(stale).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << row;
    }
    // A file where AppData's folder would be: the files stay beside the program.
    Clear();
    const S blocker = InAppData("").substr(0, InAppData("").size() - 1);
    WriteFileBytes(blocker, old);
    WriteFileBytes(Beside("kuvex.ini"), old);
    SetFileAttributesA(Beside("kuvex.ini").c_str(), locked);
    ChooseDataFolder();
    EXPECT_EQ(Chosen(), Beside("kuvex.rec"));
    DeleteFileA(blocker.c_str());
    Clear();
}

// Four games at once end on a record file of 10 MB that another program
// holds for 2.5 s: each waits longer for a longer file (a second and 4 ms a
// KB), and all four records land whole after the old ones, beside the
// program (each builds its own path). A holder that never lets go of a
// short file costs the record after about a second.
TEST(Files, FourAppendsAtOnceToALargeFileAllLand)
{
    Clear();
    ASSERT_EQ(Chosen(), Beside("kuvex.rec")) << "the records must go beside the program";
    S old;
    for (uint16_t i = 0; old.size() < 10000000; ++i)
        old += Record(i % 3 ? "Игрок" : "", uint16_t(i + 1),
                      {2025, uint16_t(1 + i % 12), 3, 9, 10, 20, 30, 400});
    WriteFileBytes(g_recordPath, old);
    HANDLE holder = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const S names[4] = {"Аня", "Борис", "Вера", "Глеб"};
    int results[4] = {};
    std::vector<std::thread> games;
    for (int i = 0; i < 4; ++i)
        games.emplace_back([&, i] { results[i] = ScoreFile().Append(names[i].c_str(), 1001 + i); });
    Sleep(2500);
    CloseHandle(holder);
    for (std::thread &game : games)
        game.join();
    const S now = ReadFileBytes(g_recordPath);
    ASSERT_EQ(now.compare(0, old.size(), old), 0);
    S added = now.substr(old.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[i], 16) << names[i];
        const size_t at = added.find(names[i] + '\0' + char(0xE9 + i) + char(0x03)); // 1001 + i, whole
        ASSERT_NE(at, S::npos) << names[i];
        added.erase(at, names[i].size() + RECORD_MIN);
    }
    EXPECT_EQ(added, "");
    WriteFileBytes(g_recordPath, old.substr(0, 1000));
    holder = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_EQ(ScoreFile().Append("Аня", 5), 0);
    EXPECT_LT(GetTickCount() - start, 5000u);
    CloseHandle(holder);
    Clear();
}

// A game started from a folder named in Cyrillic, under whichever code page
// the run has (the suite runs it under 1252 and 936 as well, and KUVEX_ACP
// names the one expected), makes its settings in that folder, its
// nine-letter default name whole, and finds them there on a later start:
// its title shows the name they hold.
TEST(CodePage, CyrillicFolder)
{
    const char *asked = getenv("KUVEX_ACP");
    ASSERT_EQ(GetACP(), asked ? UINT(atoi(asked)) : GetACP()) << "not the code page asked for";
    Clear(); // files in AppData would be used instead
    wchar_t exe[MAX_PATH], temp[MAX_PATH], title[512] = L"";
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    lstrcpyW(wcsrchr(exe, L'\\'), L"\\kuvex.exe");
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = temp + std::wstring(L"Мои игры"), game = dir + L"\\kuvex.exe",
                       ini = dir + L"\\kuvex.ini";
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
        EXPECT_EQ(std::wstring(title).find(shown), 0u);
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(p.hProcess, 20000);
        CloseHandle(p.hThread);
        CloseHandle(p.hProcess);
        EXPECT_NE(ReadFileBytes(ini.c_str()).find(kept), S::npos);
        WriteFileBytes(ini.c_str(), "[Kuvex]\r\nname=Иван\r\n");
    }
}

} // namespace
