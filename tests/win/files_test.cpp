// What only the real platform shows of the files: the settings file's bytes
// and what loading it sets, record appends that are whole or nothing and keep
// every byte, listings that keep no append out, and where the files live,
// held to a model over starts from a Cyrillic folder.
#include "tests/core/records.h"
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
    // A name the file does not hold stays whole (nine letters: under 936 a
    // last lone lead byte; a picture's bytes hold no settings), one in a
    // file with a byte-order mark is read and saved as its letters, under any
    // code page, one standing far into its file is read as its own bytes
    // alone, and one whose bytes 936 pairs into no letter ("с " in "Борис 2")
    // is kept byte for byte: {file, name loaded}.
    for (const auto &[file, name] :
         {std::make_pair(S("[Kuvex]\r\ngamma=11\r\n"), S("Инкогнито")),
          std::make_pair(S("[Kuvex]\r\nname=Борис 2\r\ngamma=11\r\n"), S("Борис 2")),
          std::make_pair("[Other]\r\nx=" + S(300, 'p') + "\r\n[Kuvex]\r\nname=Вера\r\ngamma=11\r\n",
                         S("Вера")),
          std::make_pair(S("\xEF\xBB\xBF[Kuvex]\r\nname=\xD0\x92\xD0\xB5\xD1\x80\xD0\xB0\r\n"), S("Вера")),
          std::make_pair(BitmapFile(64, 64, 4, '\x66'), S("Инкогнито"))}) {
        lstrcpyA(g_settings.name, "Инкогнито");
        WriteFileBytes(g_settingsPath, file);
        LoadSettings(g_settingsPath);
        EXPECT_EQ(S(g_settings.name), name);
        SaveSettings(g_settingsPath);
        lstrcpyA(g_settings.name, "x");
        LoadSettings(g_settingsPath);
        EXPECT_EQ(S(g_settings.name), name) << "saved and read back";
    }
    // No file is told apart from one without keys (a first start then
    // writes the defaults), and loads nothing.
    DeleteFileW(g_settingsPath);
    g_settings = kFixture;
    EXPECT_EQ(LoadSettings(g_settingsPath), 1);
    EXPECT_EQ(Fields(g_settings), Fields(kFixture));
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

// Record appends are whole or nothing, remove no byte and read back whole
// and last, whatever the file ends in and however its reading fails; a score
// of 0 is not recorded.
TEST(Files, WholeRecords)
{
    // 1000 records, and a write cut short after them. (What the reader makes
    // of damage is the native tests' and the fuzzer's: an append only asks it
    // whether a separator is needed.)
    S old;
    for (int i = 0; i <= 1000; ++i)
        old += Record("Player " + std::to_string(i), uint16_t(i + 1), {2002, 12, 4, 5, 9, 3, 7, 250});
    const S tail = old.substr(0, 28900);
    old.resize(28890);
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        const DWORD at = SetFilePointer(f, 0, nullptr, FILE_CURRENT);
        *got = 0;
        return at < g_readable ? ReadFile(f, to, std::min(n, g_readable - at), got, o) : g_mode == 3;
    };
    g_recordWrite = [](HANDLE f, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED o) -> BOOL {
        return WriteFile(f, data, size - (g_mode % 3 > 0), done, o) && g_mode != 2;
    };
    // {bytes read, mode, file}: every byte stays, the rows listed before
    // stay, and the new record is listed last (a write that falls short
    // leaves the file as it was), also when reading fails or stops at once.
    for (const auto &[readable, mode, before] :
         {std::make_tuple(0u, 0, old), std::make_tuple(0u, 3, old), std::make_tuple(MAXDWORD, 0, tail),
          std::make_tuple(MAXDWORD, 1, tail), std::make_tuple(MAXDWORD, 2, tail)}) {
        WriteFileBytes(g_recordPath, before);
        std::tie(g_readable, g_mode) = std::tie(readable, mode);
        EXPECT_EQ(ScoreFile().Append("Аня", 5), mode % 3 ? 0 : 16);
        const S now = ReadFileBytes(g_recordPath), listed = List(before, RECORD_WINDOW);
        EXPECT_EQ(now.compare(0, before.size(), before), 0) << readable;
        EXPECT_EQ(List(now, RECORD_WINDOW),
                  mode % 3 ? listed : listed.substr(0, listed.find('|')) + "Аня:5~ |")
            << readable;
        EXPECT_EQ(now.size() == before.size(), mode % 3 > 0) << readable;
    }
    g_recordRead = ReadFile;
    g_recordWrite = WriteFile;
    // A score of 0 is not recorded at all (what a record holds, and its
    // time, the black-box game reads from a real game's end).
    DeleteFileA(g_recordPath);
    EXPECT_EQ(ScoreFile().Append("Аня", 0) + ReadFileBytes(g_recordPath).size(), 0u);
    DeleteFileA(g_recordPath);
}

// A listing keeps no append out, however long it reads: a game that ends
// while another copy fills its list of 10000 records (here, inside the
// list's first read) is recorded at once.
int g_appended;
TEST(Files, AListingKeepsNoAppendOut)
{
    S many; // 10000 records, every other name empty
    for (int i = 0; i < 10000; ++i)
        many += Record(i % 2 ? "Игрок" : "", uint16_t(i + 1));
    WriteFileBytes(g_recordPath, many);
    g_appended = -1;
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        if (g_appended < 0) {
            g_appended = 0; // the append reads the file as well
            g_appended = ScoreFile().Append("Борис", 7);
        }
        return ReadFile(f, to, n, got, o);
    };
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 640, 400, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
    ScoreFile().FillList(list);
    g_recordRead = ReadFile;
    EXPECT_EQ(g_appended, 16);
    EXPECT_EQ(ListView_GetItemCount(list), 10001); // that its bytes land whole is Files.WholeRecords'
    DestroyWindow(list);
    DeleteFileA(g_recordPath);
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

// The program's folder from its command line: the first token, quoted or up
// to a blank, made absolute; arguments never move it, and a folder too long
// for the program's files is none.
TEST(Files, ProgramFolderFromTheCommandLine)
{
    wchar_t current[MAX_PATH], folder[PATH_CAP], temp[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring games = L"C:\\Мои игры", d(245, L'd'), here = current, none;
    // A program with two blanks in its folder's path, for a command line without quotes.
    const std::wstring spaced = temp + std::wstring(L"a b\\c d"), exe = spaced + L"\\kuvex.exe";
    CreateDirectoryW((temp + std::wstring(L"a b")).c_str(), nullptr);
    CreateDirectoryW(spaced.c_str(), nullptr);
    WriteFileBytes(exe.c_str(), "MZ");
    // {command line, the folder}
    for (const auto &[line, expected] :
         {std::make_pair(L"\"" + games + L"\\kuvex.exe\" a\\b\\c \\\\server\\share", games),
          std::make_pair(std::wstring(L"C:\\Games\\kuvex.exe C:\\Users\\Player\\dropped.txt"),
                         std::wstring(L"C:\\Games")),
          std::make_pair(L"  \"" + games + L"\\kuvex.exe\" " + std::wstring(30000, L'x'), games),
          std::make_pair(L"\"" + games + L"\\kuvex.exe", games),
          std::make_pair(std::wstring(L"kuvex.exe"), here),
          std::make_pair(std::wstring(L"  \"\"  \"  "), here),
          std::make_pair(L"C:\\" + d + L"\\kuvex.exe", L"C:\\" + d),
          std::make_pair(L"C:\\" + d + d + L"\\kuvex.exe", none),
          std::make_pair(exe + L" x y", spaced)}) {
        folder[0] = L'\0';
        EXPECT_EQ(ProgramFolder(folder, line.c_str()) ? std::wstring(folder) : none, expected)
            << line.substr(0, 80).c_str();
    }
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(spaced.c_str());
    RemoveDirectoryW((temp + std::wstring(L"a b")).c_str());
}

// A folder standing where a file of the game's should be beside the program:
// the files go to AppData, the other one copied there.
TEST(Files, AFolderWhereAFileShouldBe)
{
    const S names[] = {"kuvex.ini", "kuvex.rec"};
    for (int i = 0; i < 2; ++i) {
        Clear();
        CreateDirectoryA(Beside(names[i]).c_str(), nullptr);
        WriteFileBytes(Beside(names[1 - i]), kIni);
        ChooseDataFolder();
        EXPECT_EQ(Chosen(), InAppData("kuvex.rec")) << names[i];
        EXPECT_EQ(ReadFileBytes(InAppData(names[1 - i])), kIni) << names[i];
        RemoveDirectoryA(Beside(names[i]).c_str());
    }
    Clear();
}

// Runs a command line as a process of its own; its exit code once it has ended.
DWORD RunProcess(const wchar_t *program, const std::wstring &line, const wchar_t *current)
{
    PROCESS_INFORMATION p = {};
    DWORD code = 1;
    if (!Launch(&p, program, line, current)) return code;
    WaitForSingleObject(p.hProcess, 60000);
    GetExitCodeProcess(p.hProcess, &code);
    CloseHandle(p.hThread);
    CloseHandle(p.hProcess);
    return code;
}

// Sets (+i) or clears (-i) the immutable flag of a file or folder through
// Linux's chattr, the path named whatever the code page; true once it has taken.
bool Chattr(const wchar_t *flag, const std::wstring &path)
{
    return SetLinuxPath(L"KUVEX_LOCK", path) &&
           LinuxShell(L"chattr " + std::wstring(flag) + L" \\\"$KUVEX_LOCK\\\"");
}

// One start of the game for the model below, a process of its own: the
// program's own start-up, which ends here before its window because this
// test program has taken the window's class (with, when KUVEX_HOLD names a
// file, that file held without sharing meanwhile, as another copy of the game
// holds it for seconds while it fills its list); then, as start number
// KUVEX_START, it must load the settings the start before saved (at first the
// defaults, the nine-letter name whole) and list every record so far; last a
// game recorded under the name loaded, with 100 + that number of points, and
// settings saved from the Options.
TEST(Files, DISABLED_OneStart)
{
    wchar_t hold[MAX_PATH] = L"", number[16] = L"";
    GetEnvironmentVariableW(L"KUVEX_HOLD", hold, MAX_PATH);
    GetEnvironmentVariableW(L"KUVEX_START", number, 16);
    HANDLE held = CreateFileW(hold, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(held != INVALID_HANDLE_VALUE, hold[0] != L'\0') << "the file to hold";
    EXPECT_EQ(StartProgram(), 1);
    CloseHandle(held); // a game's end comes later
    const int start = _wtoi(number);
    const auto name = [](int k) { return k ? "Игрок" + std::to_string(k - 1) : S("Инкогнито"); };
    EXPECT_EQ(std::to_string(g_settings.anim) + " " + g_settings.name,
              std::to_string(start ? start : 50) + " " + name(start));
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 640, 400, HWND_MESSAGE,
                                HMENU(IDC_BEST_LIST), nullptr, nullptr);
    ScoreFile().FillList(list);
    const S shown = Shown(list);
    for (int k = 0; k < start; ++k)
        EXPECT_NE(shown.find("\n" + name(k) + "|" + std::to_string(100 + k) + "|"), S::npos) << "start " << k;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), start + 1) << "rows:" << shown;
    EXPECT_EQ(ScoreFile().Append(g_settings.name, 100 + start), 16);
    g_settings.anim = start + 1;
    wsprintfA(g_settings.name, "Игрок%d", start);
    SaveSettings(g_settingsPath);
    DestroyWindow(list);
}

// Where the files live, held to a model: starts of the game from a folder
// named in Cyrillic under changing conditions, each a process of its own
// that records a game and saves its settings, and checks that it lists every
// record so far and loads the settings saved last (see OneStart), under
// whichever code page the run has (the suite runs it under 1252 and 936 as well).
TEST(Files, WhereTheFilesLiveHeldToAModel)
{
    wchar_t exe[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = temp + std::wstring(L"Мои игры"), game = dir + L"\\kuvex.exe",
                       deep = dir + L"\\" + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'd'),
                       appData = _wgetenv(L"APPDATA") + std::wstring(L"\\Kuvex 2002\\");
    const auto clean = [&] {
        Chattr(L"-i", dir);
        Chattr(L"-i", appData + L"kuvex.rec");
        for (const wchar_t *name : {L"\\kuvex.ini", L"\\kuvex.rec", L"\\kuvex.exe"}) {
            SetFileAttributesW((dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((dir + name).c_str());
        }
        Clear();
    };
    clean();
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(exe, game.c_str(), FALSE));
    const std::wstring ini = dir + L"\\kuvex.ini";
    // Each start: its conditions, the file held while the home is chosen,
    // whether its command line names it in a folder longer than MAX_PATH
    // (where Wine starts no program), and its current folder when not the
    // program's own. Every start has arguments (that they never move the
    // program's folder is Files.ProgramFolderFromTheCommandLine's).
    struct Start
    {
        const char *what;
        std::function<bool()> set = nullptr; // none: nothing to set
        std::wstring held = L"";
        bool tooLong = false;
        const wchar_t *current = nullptr;
    };
    const Start starts[] = {
        {"a first start"},
        {"kuvex.rec held", {}, dir + L"\\kuvex.rec"},
        {"read-only settings beside the program",
         [&] { return SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY) != 0; }},
        {"AppData's kuvex.rec refusing writes",
         [&] {
             return SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL) &&
                    Chattr(L"+i", appData + L"kuvex.rec");
         }},
        {"the program's folder refusing writes, AppData taking them again",
         [&] { return Chattr(L"-i", appData + L"kuvex.rec") && Chattr(L"+i", dir); }},
        {"AppData's kuvex.rec held", {}, appData + L"kuvex.rec"},
        {"both homes taking writes", [&] { return Chattr(L"-i", dir); }},
        {"a folder too long", {}, L"", true, dir.c_str()},
        {"a folder too long, another current folder", {}, L"", true, temp},
        {"a start to check the last"},
    };
    for (int i = 0; i < int(std::size(starts)); ++i) {
        const Start &start = starts[i];
        ASSERT_TRUE(!start.set || start.set()) << start.what << ": the condition did not take";
        SetEnvironmentVariableW(L"KUVEX_HOLD", start.held.c_str());
        SetEnvironmentVariableW(L"KUVEX_START", std::to_wstring(i).c_str());
        const std::wstring line = L"\"" + (start.tooLong ? deep + L"\\kuvex.exe" : game) +
                                  L"\" --gtest_filter=Files.DISABLED_OneStart " +
                                  L"--gtest_also_run_disabled_tests --gtest_repeat=1 --gtest_brief=1";
        EXPECT_EQ(RunProcess(game.c_str(), line, start.current ? start.current : dir.c_str()), 0u)
            << "start " << i << ", " << start.what << ": its failures are above";
    }
    clean();
}

} // namespace
