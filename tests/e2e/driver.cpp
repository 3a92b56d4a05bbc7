// Black-box tests of the real kuvex.exe, started as a player starts it: one
// game read from the screen and played with real clicks to its record (from a
// program folder made unwritable when the system allows), the accelerators,
// the ways out, a table of hostile surroundings, and the unpacked release.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "game/moves.h"
#include "res/resource.h"
#include "tests/common/files.h"
#include "tests/common/input.h"

namespace {

const char PLAIN_INI[] = "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=1\r\n"; // pieces in their exact colours
const char GAME_OVER[] = "Конец игры";

std::string BuildDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *std::strrchr(path, '\\') = '\0';
    return path;
}

bool Until(const std::function<bool()> &done, DWORD timeoutMs)
{
    for (DWORD end = GetTickCount() + timeoutMs;; Sleep(20)) {
        if (done()) return true;
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    }
}

// Wine starts a Linux program as it would a Windows one, but its process
// cannot be waited for: callers poll for its effect. "" when the folder has
// no Linux path (drive Z: is the Linux root).
std::string UnixPath(const std::string &path)
{
    std::string out = path.compare(0, 3, "Z:\\") ? "" : path.substr(2);
    for (char &c : out)
        if (c == '\\') c = '/';
    return out;
}
bool Launch(const char *exe, std::string line, const char *cwd, PROCESS_INFORMATION *pi)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, cwd, &si, pi);
}
void RunLinux(const std::string &line)
{
    PROCESS_INFORMATION pi = {};
    if (Launch(nullptr, line, nullptr, &pi)) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
}
bool Writable(const std::string &dir)
{
    HANDLE f = CreateFileA((dir + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return f != INVALID_HANDLE_VALUE && CloseHandle(f);
}
// chattr -R +i (lock) or -i; true once the folder is as asked.
bool SetImmutable(const std::string &dir, bool lock)
{
    if (UnixPath(dir).empty()) return false;
    RunLinux(std::string("/usr/bin/chattr -R ") + (lock ? "+i \"" : "-i \"") + UnixPath(dir) + "\"");
    return Until([&] { return Writable(dir) != lock; }, 3000);
}
void Remove(const std::string &dir)
{
    if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    SetImmutable(dir, false);
    std::string list = dir + '\0'; // the second NUL ends the list
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationA(&op);
}
void Put(const std::string &path, const std::string &bytes)
{
    if (bytes == "\1folder") CreateDirectoryA(path.c_str(), nullptr);
    if (bytes[0] != '\1') WriteFileBytes(path, bytes);
}
// A fresh folder holding the game, ball.bmp and the given files.
std::string GameFolder(const char *tag, const std::string &ini, const std::string &rec,
                       const std::string &ball = "\1good")
{
    const std::string dir = BuildDir() + "\\e2e-" + tag;
    Remove(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    CopyFileA((BuildDir() + "\\kuvex.exe").c_str(), (dir + "\\kuvex.exe").c_str(), FALSE);
    Put(dir + "\\ball.bmp", ball == "\1good" ? ReadFileBytes(BuildDir() + "\\ball.bmp") : ball);
    Put(dir + "\\kuvex.ini", ini);
    Put(dir + "\\kuvex.rec", rec);
    return dir;
}
std::string AppDataFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\Kuvex 2002";
}
std::string Record(const char *name, int score)
{
    unsigned char bytes[RECORD_MAX];
    const RecordTime t = {2002, 12, 4, 5, 9, 3, 7, 250};
    return std::string(reinterpret_cast<char *>(bytes), EncodeRecord(name, score, t, bytes));
}
void Wait(DWORD ms)
{
    Sleep(ms);
}
void Key(WORD vk, bool ctrl = false, bool alt = false)
{
    SendKey(vk, ctrl, alt);
    Sleep(150);
}
// A picture of the whole screen by ImageMagick, as <build>\shots\<name>.png.
std::string Shot(const char *name)
{
    const std::string dir = BuildDir() + "\\shots", path = dir + "\\" + name + ".png";
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA(path.c_str());
    RunLinux("/usr/bin/import -window root \"" + UnixPath(path) + "\"");
    // import writes the file while it encodes: wait until its size holds.
    size_t size = 0;
    Until(
        [&] {
            const size_t last = size;
            size = ReadFileBytes(path).size();
            return size && size == last;
        },
        10000);
    return path;
}

struct Game
{
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
    ~Game()
    {
        if (!pi.hProcess) return;
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    }
    // Starts the whole command line and waits for the shown main window, or
    // the game-over dialog of an opening without a move.
    bool Start(const std::string &exe, const std::string &cwd, const std::string &line)
    {
        if (!Launch(exe.c_str(), line, cwd.c_str(), &pi)) return false;
        return Until(
            [&] {
                return (main = Find("ViewerClass", nullptr, false)) &&
                       (IsWindowVisible(main) || Find("#32770", GAME_OVER));
            },
            30000);
    }
    HWND Find(const char *cls, const char *caption, bool shown = true) const
    {
        struct Query
        {
            DWORD pid;
            const char *cls, *caption;
            bool shown;
            HWND found;
        } q = {pi.dwProcessId, cls, caption, shown, nullptr};
        EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
                Query &query = *reinterpret_cast<Query *>(lp);
                DWORD pid = 0;
                char wcls[64] = "", text[256] = "";
                GetWindowThreadProcessId(w, &pid);
                GetClassNameA(w, wcls, sizeof wcls);
                GetWindowTextA(w, text, sizeof text);
                if (pid != query.pid || std::strcmp(wcls, query.cls) ||
                    (query.shown && !IsWindowVisible(w)) ||
                    (query.caption && std::strcmp(text, query.caption)))
                    return TRUE;
                query.found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&q));
        return q.found;
    }
    HWND Dialog(const char *caption, DWORD timeoutMs = 0) const
    {
        HWND found = nullptr;
        Until([&] { return (found = Find("#32770", caption)) != nullptr; }, timeoutMs);
        return found;
    }
    bool Gone(const char *caption) const
    {
        return Until([&] { return !Find("#32770", caption); }, 5000);
    }
    bool Answering() const
    {
        DWORD_PTR r = 0;
        return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &r) != 0;
    }
    int Score() const
    {
        char title[512] = "";
        GetWindowTextA(main, title, sizeof title);
        const char *colon = std::strrchr(title, ':');
        return colon ? std::atoi(colon + 1) : -1;
    }
    int Exit()
    {
        DWORD code = 99;
        if (WaitForSingleObject(pi.hProcess, 20000)) return -1;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<int>(code);
    }
    // The screen point at the centre of cell (c, r).
    POINT Cell(int c, int r) const
    {
        HWND field = FindWindowExA(main, nullptr, "Static", "field");
        RECT rc = {};
        GetClientRect(field, &rc);
        POINT p = {(2 * c + 1) * rc.right / 16, (2 * r + 1) * rc.bottom / 16};
        ClientToScreen(field, &p);
        return p;
    }
    // The board as the screen shows it; false unless every cell shows a piece.
    bool Read(Board &b) const
    {
        HDC screen = GetDC(nullptr);
        int known = 0;
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r) {
                const POINT p = Cell(c, r);
                const COLORREF px = GetPixel(screen, p.x, p.y);
                for (int k = 0; k < 8; ++k)
                    if (b.colors[k] == px) b.grid[c][r] = k, ++known;
            }
        ReleaseDC(nullptr, screen);
        return known == 64;
    }
    void Click(int c, int r) const
    {
        const POINT p = Cell(c, r);
        SendClick(p.x, p.y, Wait);
    }
    // Reads the settled board and makes its first move with real clicks.
    // false when the board could not be read or offers no move (the
    // game-over dialog is then up, or expected); gained gets the score won.
    bool Turn(Board &seen, int *gained)
    {
        if (!Until([&] { return Answering() && (Dialog(GAME_OVER) || Read(seen)); }, 5000) ||
            Dialog(GAME_OVER))
            return false;
        int m[4] = {-1};
        ForEachMove(seen, [&](int c1, int r1, int c2, int r2) {
            if (m[0] < 0) m[0] = c1, m[1] = r1, m[2] = c2, m[3] = r2;
        });
        if (m[0] < 0) return false;
        const int before = Score();
        Click(m[2], m[3]);
        Click(m[0], m[1]);
        Until([&] { return Score() != before; }, 30000);
        *gained = Score() - before;
        return true;
    }
};

// Private bytes of the game; Wine reports them as the pagefile usage.
size_t PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&pmc), sizeof pmc);
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// One game to its record through the screen, mouse and keyboard, from a
// folder the program may not write: the record and the settings land in the
// application-data folder, which starts from copies of the old files, and
// the program's folder stays as it was. KUVEX_SOAK=<n> plays n games in the
// one run and checks that memory and handles stay flat.
TEST(BlackBox, GamesPlayedToTheirRecordsThenTheAcceleratorsAndAltF4)
{
    const std::string old = Record("Аня", 5), dir = GameFolder("play", PLAIN_INI, old);
    const std::string data = AppDataFolder();
    Remove(data);
    const bool locked = SetImmutable(dir, true);
    if (!locked) std::printf("chattr +i does not take here: the program's folder stays writable\n");
    const std::string rec = (locked ? data : dir) + "\\kuvex.rec";
    Game game;
    ASSERT_TRUE(game.Start(dir + "\\kuvex.exe", dir, "\"" + dir + "\\kuvex.exe\""));
    const int games = std::getenv("KUVEX_SOAK") ? std::atoi(std::getenv("KUVEX_SOAK")) : 1;
    std::string expected = old;
    size_t memory[2] = {};
    DWORD handles[2] = {};
    Board seen;
    DWORD t0 = GetTickCount();
    for (int g = 0; g < games; ++g) {
        int gained = 0, turns = 0;
        while (game.Turn(seen, &gained) && ++turns < 1000)
            ASSERT_GE(gained, 3) << "a kept swap removes three pieces or more (turn " << turns << ")";
        HWND over = game.Dialog(GAME_OVER, 5000);
        ASSERT_TRUE(over) << "game " << g + 1 << " never ended; " << turns << " turns";
        std::printf("TMP game %d: %d turns, %lu ms\n", g, turns, GetTickCount() - t0);
        if (g == 0) Shot("game-over");
        std::printf("TMP shot %lu ms\n", GetTickCount() - t0);
        const int score = game.Score();
        RECT rc;
        GetWindowRect(GetDlgItem(over, IDOK), &rc);
        SendClick((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, Wait);
        ASSERT_TRUE(game.Gone(GAME_OVER) && game.Answering());
        if (score > 0) expected += Record("Инкогнито", score);
        const std::string now = ReadFileBytes(rec);
        ASSERT_EQ(now.size(), expected.size()) << "game " << g + 1 << " scored " << score;
        EXPECT_EQ(now.substr(0, old.size()), old);
        if (g == 0 || g == games - 1) {
            memory[g > 0] = PrivateBytes(game.pi.hProcess);
            GetProcessHandleCount(game.pi.hProcess, &handles[g > 0]);
            std::printf("after game %d: %zu private bytes, %lu handles\n", g + 1, memory[g > 0],
                        handles[g > 0]);
        }
        SetForegroundWindow(game.main);
        Key(VK_F2);
        if (HWND early = game.Dialog(GAME_OVER, 300)) PostMessageA(early, WM_COMMAND, IDOK, 0), Key(VK_F2);
    }
    // A leak of a few hundred bytes a game would pass 1 MB in 200 games.
    EXPECT_LT(memory[1], memory[0] + (1 << 20));
    EXPECT_LE(handles[1], handles[0] + 5);
    if (locked) {
        EXPECT_EQ(ReadFileBytes(dir + "\\kuvex.ini"), PLAIN_INI);
        EXPECT_EQ(ReadFileBytes(dir + "\\kuvex.rec"), old);
        EXPECT_EQ(ReadFileBytes(data + "\\kuvex.ini"), PLAIN_INI);
    }

    // F1 and F4 open Rules and Options; after a move, Ctrl+Z shows the board
    // from before it, with the points kept.
    SetForegroundWindow(game.main);
    for (const char *caption : {"Правила", "Опции"}) {
        Key(caption[0] == 'П' ? VK_F1 : VK_F4);
        EXPECT_TRUE(game.Dialog(caption, 5000)) << caption;
        Key(VK_RETURN);
        EXPECT_TRUE(game.Gone(caption));
    }
    Board before, undone;
    int gained = 0;
    ASSERT_TRUE(game.Turn(before, &gained) && gained >= 3);
    if (!game.Dialog(GAME_OVER, 300)) {
        const int score = game.Score();
        Key('Z', true);
        EXPECT_TRUE(Until(
            [&] { return game.Read(undone) && !std::memcmp(undone.grid, before.grid, sizeof before.grid); },
            5000));
        EXPECT_EQ(game.Score(), score);
    }
    SetForegroundWindow(game.main);
    Key(VK_F4, false, true);
    EXPECT_EQ(game.Exit(), 0);
    Remove(dir);
    Remove(data);
    if (!locked) GTEST_SKIP() << "the unwritable folder was not tried";
}

} // namespace
