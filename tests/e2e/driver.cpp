// Black-box tests of the real kuvex.exe, started as a player starts it: games
// read from the screen and played with real clicks to their records from a
// program folder made unwritable (where the system allows), the accelerators
// and Alt+F4, and a table of hostile surroundings. The release zip is
// scripts/release-check.sh's.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "game/moves.h"
#include "res/resource.h"
#include "tests/common/files.h"

namespace {

const char PLAIN_INI[] = "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=1\r\n"; // pieces in their exact colours
const char OVER[] = "Конец игры";                                        // the game-over dialog
const std::string GOOD = "\1good", NONE = "\1none", FOLDER = "\1folder"; // not file contents

// Presses and releases vk, with Ctrl and/or Alt held around it.
void SendKey(WORD vk, bool ctrl, bool alt)
{
    const WORD keys[6] = {VK_CONTROL, VK_MENU, vk, vk, VK_MENU, VK_CONTROL};
    const bool used[6] = {ctrl, alt, true, true, alt, ctrl};
    INPUT in[6] = {};
    UINT n = 0;
    for (int i = 0; i < 6; ++i)
        if (used[i])
            in[n].type = INPUT_KEYBOARD, in[n].ki.wVk = keys[i],
            in[n++].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    SendInput(n, in, sizeof(INPUT));
}

template <class Done> bool Until(const Done &done, DWORD timeoutMs)
{
    for (DWORD end = GetTickCount() + timeoutMs; !done(); Sleep(20))
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    return true;
}

std::string Record(const char *name, int score)
{
    unsigned char b[RECORD_MAX];
    return std::string(reinterpret_cast<char *>(b),
                       EncodeRecord(name, score, {2002, 12, 4, 5, 9, 3, 7, 0}, b));
}

// Folders of the tests, all named e2e-* beside the driver (drive Z: is the
// Linux root, C: the Wine prefix's drive_c).
struct Disk
{
    static std::string Build() { return Dir(_pgmptr); }
    static std::string Dir(const std::string &path) { return path.substr(0, path.rfind('\\')); }
    static std::string AppData() { return std::getenv("APPDATA") + std::string("\\Kuvex 2002"); }
    static std::string Unix(std::string path)
    {
        std::replace(path.begin(), path.end(), '\\', '/');
        return (path[0] == 'C' ? "$WINEPREFIX/drive_c'" : "'") + path.substr(2) + "'";
    }
    // Runs a shell command line; true once it has succeeded. Wine starts a
    // Linux program as it does its own but cannot wait for it: it leaves a mark.
    static bool Sh(const std::string &line)
    {
        WinExec(("/bin/sh -c \"" + line + " && mkdir " + Unix(Build()) + "/e2e.done\"").c_str(), SW_HIDE);
        return Until([] { return RemoveDirectoryA((Build() + "\\e2e.done").c_str()); }, 9000);
    }
    // Removes every e2e-* folder (unlocked first) and the game's folder in AppData.
    static void Sweep()
    {
        Sh("cd " + Unix(Build()) + "; chattr -R -i e2e-* 2>/dev/null; rm -rf e2e-* " + Unix(AppData()));
    }
    static void Put(const std::string &path, const std::string &bytes)
    {
        if (bytes == FOLDER) CreateDirectoryA(path.c_str(), nullptr);
        if (bytes == GOOD) CopyFileA((Build() + "\\ball.bmp").c_str(), path.c_str(), FALSE);
        if (bytes[0] != '\1') WriteFileBytes(path, bytes);
    }
    // Folder e2e-<dir> with the game and its files; the path of kuvex.exe.
    static std::string Game(std::string dir, const std::string &ini, const std::string &rec,
                            const std::string &bmp)
    {
        SHCreateDirectoryExA(nullptr, (dir = Build() + "\\e2e-" + dir).c_str(), nullptr);
        CopyFileA((Build() + "\\kuvex.exe").c_str(), (dir + "\\kuvex.exe").c_str(), FALSE);
        Put(dir + "\\ball.bmp", bmp), Put(dir + "\\kuvex.ini", ini), Put(dir + "\\kuvex.rec", rec);
        return dir + "\\kuvex.exe";
    }
};

// The real game in a process of its own, seen through its windows.
struct Game
{
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
    int clicks = 0;
    DWORD code = 99;
    mutable char title[512] = "";
    ~Game() { TerminateProcess(pi.hProcess, 99), CloseHandle(pi.hProcess), CloseHandle(pi.hThread); }
    // Starts the command line and waits for the shown main window, or the
    // game-over dialog of an opening without a move.
    bool Start(const std::string &exe, std::string line)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(exe.c_str(), &line[0], 0, 0, 0, 0, 0, Disk::Dir(exe).c_str(), &si, &pi))
            return false;
        return Until([&] { return (main = Find(nullptr)) && (IsWindowVisible(main) || Find(OVER)); }, 30000);
    }
    // The shown dialog of the game with that caption (the main window, shown
    // or not, for null), waiting up to ms for it.
    HWND Find(const char *caption, DWORD ms = 0) const
    {
        for (DWORD end = GetTickCount() + ms;; Sleep(20)) {
            for (HWND w = 0; (w = FindWindowExA(0, w, caption ? "#32770" : "ViewerClass", caption));)
                if (GetWindowThreadProcessId(w, nullptr) == pi.dwThreadId && (!caption || IsWindowVisible(w)))
                    return w;
            if (static_cast<int>(end - GetTickCount()) <= 0) return nullptr;
        }
    }
    bool Gone(const char *caption) const
    {
        return Until([&] { return !Find(caption); }, 5000);
    }
    // OK to the dialog; with none up, the post goes to this thread's own
    // queue, which nothing reads.
    void Close(const char *caption) const { PostMessageA(Find(caption), WM_COMMAND, IDOK, 0), Gone(caption); }
    // The captions of the game's shown windows, to tell why it did not end.
    std::string Windows() const
    {
        std::string out;
        EnumThreadWindows(
            pi.dwThreadId,
            [](HWND w, LPARAM to) {
                char text[80] = "";
                if (IsWindowVisible(w) && GetWindowTextA(w, text, sizeof text) >= 0)
                    *reinterpret_cast<std::string *>(to) += std::string(" \"") + text + "\"";
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&out));
        return out;
    }
    bool Answering() const { return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr); }
    int Score() const { return GetWindowTextA(main, title, 512) ? atoi(strrchr(title, ':') + 1) : -1; }
    int Exit()
    {
        WaitForSingleObject(pi.hProcess, 20000); // still running: STILL_ACTIVE
        return GetExitCodeProcess(pi.hProcess, &code), static_cast<int>(code);
    }
    void Key(WORD vk, bool ctrl = false, bool alt = false) const { SendKey(vk, ctrl, alt), Sleep(150); }
    // The centre of cell (c, r) in the main window's client area, which the
    // field fills, moved dx to the right; on the screen if asked.
    POINT Cell(int c, int r, int dx = 0, bool screen = true) const
    {
        RECT f = {};
        GetClientRect(main, &f);
        POINT p = {(2 * c + 1) * f.right / 16 + dx, (2 * r + 1) * f.bottom / 16};
        return screen && ClientToScreen(main, &p), p;
    }
    // The board as the screen shows it; false unless every cell shows a piece.
    bool Read(Board &b) const
    {
        HDC dc = GetDC(nullptr);
        const POINT at = Cell(0, 0), d = {Cell(1, 1).x - at.x, Cell(1, 1).y - at.y};
        int known = 0;
        for (int i = 0; i < 64; ++i)
            for (COLORREF k = 0, px = GetPixel(dc, at.x + d.x * (i / 8), at.y + d.y * (i % 8)); k < 8; ++k)
                if (px == b.colors[k]) b.grid[i / 8][i % 8] = static_cast<int32_t>(k), ++known;
        return ReleaseDC(nullptr, dc), known == 64;
    }
    // A real click in cell (c, r), off its centre to the left and the right
    // by turns so that two on one cell never make a double click. The press
    // carries its own place: no wait for the pointer to get there.
    void Click(int c, int r)
    {
        const POINT p = Cell(c, r, ++clicks % 2 ? 8 : -8);
        mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN,
                    (p.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN),
                    (p.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN), 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    // Reads the settled board and makes its first move; false when the game
    // is over or the board unreadable. gained gets the points the move won.
    bool Turn(Board &seen, int *gained)
    {
        int m[4] = {-1}, before = Score();
        if (!Until([&] { return Answering() && (Find(OVER) || Read(seen)); }, 5000) || Find(OVER))
            return false;
        ForEachMove(seen, [&](int c1, int r1, int c2, int r2) {
            if (m[0] < 0) m[0] = c1, m[1] = r1, m[2] = c2, m[3] = r2;
        });
        if (m[0] < 0) return false;
        Click(m[2], m[3]), Click(m[0], m[1]);
        return Until([&] { return Score() != before; }, 30000), *gained = Score() - before, true;
    }
};

std::string Noise(size_t n, uint32_t seed)
{
    std::string out(n, '\0');
    for (char &c : out)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    return out;
}

// How a row sets up its folder beyond its files, arguments and the path
// below e2e-<row>: another program holds kuvex.rec open (no sharing); the
// folder and both files read-only; args is the whole command line; the
// arguments end in a folder that does not exist (the files go to AppData).
const int AS_IS = 0, HELD = 1, READ_ONLY = 2, WHOLE = 3, MISREAD = 4;
const std::string THREE = Record("Аня", 5) + Record("Борис", 12) + Record("", 7), NEXT = Record("Вера", 300);
struct Row
{
    const char *name;
    std::string ini = PLAIN_INI, rec = THREE, ball = GOOD, args = "";
    int setup = AS_IS;
    std::string sub = "";
};

// Damaged and hostile surroundings, each taken through the same steps: the
// game starts, answers after 16 swap attempts, lists at least every whole
// record and keeps them, and ends with exit code 0, by menu Exit and by the
// close box in turn.
std::vector<Row> Catalogue()
{
    const std::string plain = PLAIN_INI, gamma = "[Kuvex]\r\nanim=0\r\ngamma=";
    const size_t build = Disk::Build().size(); // kuvex.exe's path below e2e-<two digits>: 259 characters
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += Record(i % 2 ? "Игрок" : "", i + 1);
    return {
        {"ini: binary garbage", Noise(4000, 1)},
        {"ini: empty file", ""},
        {"ini: a folder of that name", FOLDER},
        {"ini: numbers past 32 bits", "[Kuvex]\r\nanim=-1\r\ngamma=2147483648\r\nsatur=-2147483649\r\n"},
        {"ini: gamma 0", gamma + "0\r\nsatur=1\r\n"},
        {"ini: satur 0", gamma + "14\r\nsatur=0\r\n"},
        {"ini: name of 10000 bytes", plain + "name=" + std::string(10000, '\xDF') + "\r\n"},
        {"ini: back of 5000 digits", plain + "back=" + std::string(5000, 'F') + "\r\n"},
        {"rec: none", plain, NONE},
        {"rec: 300-byte name between records", plain, THREE + std::string(300, 'N') + NEXT.substr(4) + NEXT},
        {"rec: random bytes", plain, Noise(5000, 3)},
        {"rec: 10000 records", plain, many},
        {"rec: a folder of that name", plain, FOLDER},
        {"rec: held open by another program", plain, THREE, GOOD, "", HELD},
        {"bmp: missing", plain, THREE, NONE},
        {"bmp: random bytes", plain, THREE, Noise(3000, 4)},
        {"bmp: truncated", plain, THREE, BitmapFile(32, 32, 4, 7).substr(0, 300)},
        {"bmp: 0 x 0", plain, THREE, BitmapFile(0, 0, 4, 7)},
        {"bmp: header of 30000 x 30000", plain, THREE,
         BitmapFile(30000, 30000, 4, 7, false) + Noise(5000, 5)},
        {"bmp: 4-bit of 3 x 2", plain, THREE, BitmapFile(3, 2, 4, 7)},
        {"cmd: 30000 characters of arguments", plain, THREE, GOOD, std::string(30000, 'x')},
        {"cmd: arguments with backslashes", plain, THREE, GOOD, "a\\b\\c \\\\server\\share", MISREAD},
        {"cmd: quotes and blanks only", plain, THREE, GOOD, "  \"\"  \"  ", WHOLE},
        {"cmd: bare program name", plain, THREE, GOOD, "kuvex.exe", WHOLE},
        {"dir: read-only folder and files", plain, THREE, GOOD, "", READ_ONLY},
        {"dir: path of 259 characters", plain, THREE, GOOD, "", AS_IS, "\\" + std::string(241 - build, 'd')},
        {"dir: Russian name with blanks", plain, THREE, GOOD, "", AS_IS, "\\Мои игры\\Кувекс 2002 (копия)"},
    };
}

// Runs row i in folder e2e-<i>; prints and returns its line of the table
// (name, rows listed, exit code, and "ok" or what went wrong).
std::string RunRow(const Row &row, int i)
{
    std::string problems;
    const std::string exe = Disk::Game(std::to_string(i) + row.sub, row.ini, row.rec, row.ball);
    const std::string dir = Disk::Dir(exe), rec = dir + "\\kuvex.rec";
    if (row.setup == READ_ONLY)
        for (const std::string &path : {rec, dir + "\\kuvex.ini", dir})
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileA(row.setup == HELD ? rec.c_str() : "", GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    size_t whole = 0;
    const int least = row.setup == MISREAD ? 0 : static_cast<int>(Records(row.rec, &whole).size());
    int rows = -1;
    Game game;
    const bool started = game.Start(exe, row.setup == WHOLE ? row.args : "\"" + exe + "\" " + row.args);
    game.Close(OVER); // an opening without a move
    // Swap attempts as the field reports clicks: a cell, then each of its
    // neighbours (a refused swap keeps the cell selected), for four cells.
    for (int k = 0; k < 20; ++k) {
        const POINT p = game.Cell(k / 10 * 3 + 2 + (k % 5 == 1) - (k % 5 == 3),
                                  k / 5 % 2 * 3 + 2 + (k % 5 == 2) - (k % 5 == 4), 0, false);
        PostMessageA(game.main, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(p.x, p.y));
    }
    // The list opens once the clicks queued before it are handled.
    PostMessageA(game.main, WM_COMMAND, IDM_BEST, 0);
    if (HWND best = game.Find("Лучшие", 30000)) rows = ListView_GetItemCount(GetDlgItem(best, IDC_BEST_LIST));
    game.Close("Лучшие"), game.Close(OVER); // and a game the swaps ended
    if (!started || !game.Answering()) problems += " no answer;";
    PostMessageA(game.main, i % 2 ? WM_COMMAND : WM_SYSCOMMAND, i % 2 ? IDM_EXIT : SC_CLOSE, 0);
    const int code = game.Exit();
    CloseHandle(held);
    // A game the swaps ended is recorded after the list was read.
    if (row.setup == HELD || row.rec == FOLDER ? rows != 0 : rows < least) problems += " rows;";
    if (ReadFileBytes(rec).compare(0, whole, row.rec, 0, whole)) problems += " records lost;";
    if (code != 0) problems += " exit code (windows up:" + game.Windows() + ");";
    char line[200];
    std::snprintf(line, sizeof line, "%-36s %6d %5d %s", row.name, rows, code,
                  problems.empty() ? "ok" : problems.c_str());
    return SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL), std::printf("%s\n", line), line;
}

// The rows run side by side, each in its own folder, driven by posted
// messages (real input has one pointer and one focus).
TEST(BlackBox, HostileSurroundingsTable)
{
    const std::vector<Row> rows = Catalogue();
    std::vector<std::string> lines(rows.size());
    LONG next = -1;
    std::vector<std::thread> workers;
    Disk::Sweep();
    for (int w = 0; w < 6; ++w)
        workers.emplace_back([&] {
            for (LONG i; (i = InterlockedIncrement(&next)) < static_cast<LONG>(rows.size());)
                lines[i] = RunRow(rows[i], i);
        });
    for (std::thread &w : workers)
        w.join();
    for (const std::string &line : lines)
        EXPECT_EQ(line.substr(line.size() - 3), " ok") << line;
}

// Games to their records through the screen, mouse and keyboard, from a
// folder the program may not write: records and settings land in the
// application-data folder, which starts from copies of the old files, and the
// program's folder stays as it was. KUVEX_SOAK=<n> plays n games in the one
// run and checks that memory stays flat.
TEST(BlackBox, GamesPlayedToTheirRecordsThenTheAcceleratorsAndAltF4)
{
    Disk::Sweep();
    const std::string old = Record("Аня", 5), exe = Disk::Game("play", PLAIN_INI, old, GOOD),
                      dir = Disk::Dir(exe);
    const bool locked = Disk::Sh("chattr -R +i " + Disk::Unix(dir)); // the folder and its files
    const std::string rec = (locked ? Disk::AppData() : dir) + "\\kuvex.rec";
    Game game;
    ASSERT_TRUE(game.Start(exe, "\"" + exe + "\""));
    std::string expected = old;
    PROCESS_MEMORY_COUNTERS memory[2] = {};
    Board seen;
    for (int g = 0, games = std::getenv("KUVEX_SOAK") ? std::atoi(std::getenv("KUVEX_SOAK")) : 1; g < games;
         ++g) {
        int gained = 0, turns = 0;
        while (game.Turn(seen, &gained) && ++turns < 1000)
            ASSERT_GE(gained, 3) << "a kept swap removes three pieces or more (turn " << turns << ")";
        ASSERT_TRUE(game.Find(OVER, 5000)) << "game " << g + 1 << " never ended; " << turns << " turns";
        const int score = game.Score();
        game.Key(VK_RETURN); // OK
        ASSERT_TRUE(game.Gone(OVER) && game.Answering());
        expected += score > 0 ? Record("Инкогнито", score) : "";
        ASSERT_EQ(ReadFileBytes(rec).size(), expected.size()) << "game " << g + 1 << " scored " << score;
        EXPECT_EQ(ReadFileBytes(rec).substr(0, old.size()), old);
        GetProcessMemoryInfo(game.pi.hProcess, &memory[g > 0], sizeof memory[0]);
        game.Key(VK_F2), game.Close(OVER); // a new game, perhaps without a move at its opening
    }
    // Private bytes (Wine reports them as the pagefile usage; it shows no
    // handle counts). A leak of a few hundred bytes a game would pass 1 MB in
    // 200 games.
    EXPECT_LT(memory[1].PagefileUsage, memory[0].PagefileUsage + (1 << 20));
    EXPECT_EQ(ReadFileBytes(dir + "\\kuvex.rec").substr(0, locked ? std::string::npos : old.size()), old);
    EXPECT_EQ(ReadFileBytes(dir + "\\kuvex.ini") + ReadFileBytes(Disk::AppData() + "\\kuvex.ini"),
              PLAIN_INI + std::string(locked ? PLAIN_INI : ""));
    // F1 and F4 open Rules and Options; after a move Ctrl+Z shows the board
    // from before it and keeps the points.
    for (const char *caption : {"Правила", "Опции"}) {
        game.Key(caption[1] == 'р' ? VK_F1 : VK_F4);
        EXPECT_TRUE(game.Find(caption, 5000)) << caption;
        game.Key(VK_RETURN);
        EXPECT_TRUE(game.Gone(caption));
    }
    Board before, undone;
    int gained = 0, score = 0;
    ASSERT_TRUE(game.Turn(before, &gained) && gained >= 3 && (score = game.Score()) > 0);
    if (!game.Find(OVER, 300)) {
        game.Key('Z', true);
        EXPECT_TRUE(Until([&] { return game.Read(undone) && !memcmp(undone.grid, before.grid, 256); }, 5000));
        EXPECT_EQ(game.Score(), score);
    }
    game.Key(VK_F4, false, true);
    EXPECT_EQ(game.Exit(), 0);
    Disk::Sweep();
    if (!locked) GTEST_SKIP() << "chattr +i did not take here: the unwritable folder was not tried";
}

} // namespace
