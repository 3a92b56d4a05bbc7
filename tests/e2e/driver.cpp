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
    if (!Writable(dir)) SetImmutable(dir, false);
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
    // The field control's client area on the screen.
    RECT Field() const
    {
        HWND field = FindWindowExA(main, nullptr, "Static", "field");
        RECT rc = {};
        GetClientRect(field, &rc);
        MapWindowPoints(field, nullptr, reinterpret_cast<POINT *>(&rc), 2);
        return rc;
    }
    static POINT Centre(const RECT &f, int c, int r)
    {
        return {f.left + (2 * c + 1) * (f.right - f.left) / 16,
                f.top + (2 * r + 1) * (f.bottom - f.top) / 16};
    }
    // The board as the screen shows it; false unless every cell shows a piece.
    bool Read(Board &b) const
    {
        const RECT field = Field();
        HDC screen = GetDC(nullptr);
        int known = 0;
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r) {
                const POINT p = Centre(field, c, r);
                const COLORREF px = GetPixel(screen, p.x, p.y);
                for (int k = 0; k < 8; ++k)
                    if (b.colors[k] == px) b.grid[c][r] = k, ++known;
            }
        ReleaseDC(nullptr, screen);
        return known == 64;
    }
    // A real click in cell (c, r), off its centre by turns to the left and
    // the right, so that two on one cell never make a double click.
    void Click(int c, int r)
    {
        const POINT p = Centre(Field(), c, r);
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        // Each press carries its own place: no wait for the pointer to get there.
        in[0].mi.dx = ((p.x + (++clicks % 2 ? 8 : -8)) * 65536 + w / 2) / w;
        in[0].mi.dy = (p.y * 65536 + h / 2) / h;
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
    }
    int clicks = 0;
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

std::string Noise(size_t n, uint32_t seed)
{
    std::string out(n, '\0');
    for (char &c : out)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    return out;
}
// A bitmap file of width x height at bits per pixel, grey colours up to 8
// bits, pixel rows only when withRows.
std::string Bmp(uint32_t width, uint32_t height, uint32_t bits, bool withRows = true)
{
    const uint32_t colours = bits <= 8 ? 1u << bits : 0, rows = (width * bits + 31) / 32 * 4 * height;
    const uint32_t offset = 54 + 4 * colours,
                   fields[] = {offset + rows, 0,    offset, 40,      width, height, 1 | bits << 16, 0,
                               rows,          2835, 2835,   colours, 0};
    std::string out = "BM" + std::string(reinterpret_cast<const char *>(fields), sizeof fields);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t grey = i * 255 / (colours - 1) * 0x010101u;
        out.append(reinterpret_cast<const char *>(&grey), 4);
    }
    return out + (withRows ? Noise(rows, 7) : "");
}

// How a row of the table sets up its folder beyond its three files.
enum Setup
{
    NONE,
    REC_HELD,      // another program holds kuvex.rec open (no sharing)
    REC_READ_ONLY, // kuvex.rec read-only
    DIR_READ_ONLY, // the folder and both files read-only
    DIR_LONG,      // kuvex.exe's path is 259 characters long
    DIR_RUSSIAN,   // a Russian folder name with blanks
    WHOLE_LINE,    // args is the whole command line
    MISREAD,       // the arguments name a folder that does not exist: files go to AppData
};
struct Row
{
    const char *name;
    std::string ini, rec, ball, args;
    Setup setup;
};

// The catalogue of damaged and hostile surroundings. Every row goes through
// the same steps: the game starts and answers after a row of swap attempts,
// lists at least every whole record, leaves them in place, and ends with
// exit code 0 (menu Exit and the close box in turn).
std::vector<Row> Catalogue()
{
    const std::string plain = PLAIN_INI, three = Record("Аня", 5) + Record("Борис", 12) + Record("", 7);
    const std::string next = Record("Вера", 300), good = "\1good", none = "\1none", folder = "\1folder";
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += Record(i % 2 ? "Игрок" : "", i + 1);
    std::string utf16 = "\xFF\xFE";
    for (char ch : plain)
        utf16 += std::string(1, ch) + '\0';
    return {
        {"ini: binary garbage", Noise(4000, 1), three, good, "", NONE},
        {"ini: section then garbage", "[Kuvex]\r\n" + Noise(4000, 2), three, good, "", NONE},
        {"ini: empty file", "", three, good, "", NONE},
        {"ini: a folder of that name", folder, three, good, "", NONE},
        {"ini: keys without a section", plain.substr(9), three, good, "", NONE},
        {"ini: UTF-16 text", utf16, three, good, "", NONE},
        {"ini: numbers past 32 bits",
         "[Kuvex]\r\nanim=99999999999\r\ngamma=2147483648\r\nsatur=-2147483649\r\n", three, good, "", NONE},
        {"ini: negative numbers", "[Kuvex]\r\nanim=-1\r\ngamma=-5\r\nsatur=-7\r\n", three, good, "", NONE},
        {"ini: gamma 0", "[Kuvex]\r\nanim=0\r\ngamma=0\r\nsatur=1\r\n", three, good, "", NONE},
        {"ini: gamma 99", "[Kuvex]\r\nanim=0\r\ngamma=99\r\nsatur=1\r\n", three, good, "", NONE},
        {"ini: satur 0", "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=0\r\n", three, good, "", NONE},
        {"ini: anim 5000", "[Kuvex]\r\nanim=5000\r\n", three, good, "", NONE},
        {"ini: name of 10000 bytes", plain + "name=" + std::string(10000, '\xDF') + "\r\n", three, good, "",
         NONE},
        {"ini: empty name", plain + "name=\r\n", three, good, "", NONE},
        {"ini: back with a wrong checksum", plain + "back=0000FF00AA\r\n", three, good, "", NONE},
        {"ini: back not hexadecimal", plain + "back=ZZZZZZZZZZ\r\n", three, good, "", NONE},
        {"ini: back of 5000 digits", plain + "back=" + std::string(5000, 'F') + "\r\n", three, good, "",
         NONE},
        {"ini: back of 2 digits", plain + "back=00\r\n", three, good, "", NONE},
        {"ini: one line of 100000 bytes", plain + std::string(100000, 'x') + "\r\n", three, good, "", NONE},
        {"rec: empty file", plain, "", good, "", NONE},
        {"rec: none", plain, none, good, "", NONE},
        {"rec: cut inside a name", plain, three + next.substr(0, 2), good, "", NONE},
        {"rec: cut after the name's NUL", plain, three + next.substr(0, 5), good, "", NONE},
        {"rec: cut inside the score", plain, three + next.substr(0, 6), good, "", NONE},
        {"rec: cut inside the time", plain, three + next.substr(0, 14), good, "", NONE},
        {"rec: one byte short", plain, three + next.substr(0, next.size() - 1), good, "", NONE},
        {"rec: name without NUL to the end", plain, three + std::string(300, 'N'), good, "", NONE},
        {"rec: 300-byte name between records", plain,
         three + std::string(300, 'N') + '\0' + next.substr(next.size() - 18) + next, good, "", NONE},
        {"rec: 255-byte name", plain, three + Record(std::string(255, 'L').c_str(), 9) + next, good, "",
         NONE},
        {"rec: random bytes", plain, Noise(5000, 3), good, "", NONE},
        {"rec: 10000 records", plain, many, good, "", NONE},
        {"rec: a folder of that name", plain, folder, good, "", NONE},
        {"rec: held open by another program", plain, three, good, "", REC_HELD},
        {"rec: read-only file", plain, three, good, "", REC_READ_ONLY},
        {"bmp: missing", plain, three, none, "", NONE},
        {"bmp: empty file", plain, three, "", "", NONE},
        {"bmp: a folder of that name", plain, three, folder, "", NONE},
        {"bmp: random bytes", plain, three, Noise(3000, 4), "", NONE},
        {"bmp: truncated to half", plain, three, Bmp(32, 32, 4).substr(0, 300), "", NONE},
        {"bmp: headers only", plain, three, Bmp(32, 32, 4, false), "", NONE},
        {"bmp: 1-bit", plain, three, Bmp(32, 32, 1), "", NONE},
        {"bmp: 8-bit", plain, three, Bmp(32, 32, 8), "", NONE},
        {"bmp: 24-bit", plain, three, Bmp(32, 32, 24), "", NONE},
        {"bmp: 0 x 0", plain, three, Bmp(0, 0, 4), "", NONE},
        {"bmp: header of 30000 x 30000", plain, three, Bmp(30000, 30000, 4, false) + Noise(5000, 5), "",
         NONE},
        {"bmp: 4-bit of 3 x 2", plain, three, Bmp(3, 2, 4), "", NONE},
        {"cmd: 30000 characters of arguments", plain, three, good, std::string(30000, 'x'), NONE},
        {"cmd: unbalanced quote", plain, three, good, "\"a b", NONE},
        {"cmd: arguments with backslashes", plain, three, good, "a\\b\\c \\\\server\\share", MISREAD},
        {"cmd: quotes and blanks only", plain, three, good, "  \"\"  \"  ", WHOLE_LINE},
        {"cmd: bare program name", plain, three, good, "kuvex.exe", WHOLE_LINE},
        {"dir: read-only folder and files", plain, three, good, "", DIR_READ_ONLY},
        {"dir: path of 259 characters", plain, three, good, "", DIR_LONG},
        {"dir: Russian name with blanks", plain, three, good, "", DIR_RUSSIAN},
    };
}

// Runs one row in folder e2e-<index>; "" when all went as it should, else
// what did not. line gets the row of the printed table.
std::string RunRow(const Row &row, int index, std::string *line)
{
    const DWORD t0 = GetTickCount();
    std::string dir = GameFolder(std::to_string(index).c_str(), row.ini, row.rec, row.ball);
    if (row.setup == DIR_LONG || row.setup == DIR_RUSSIAN) {
        std::string to = dir + "\\Мои игры\\Кувекс 2002 (копия)";
        if (row.setup == DIR_LONG) to = dir + "\\" + std::string(248 - dir.size(), 'd');
        SHCreateDirectoryExA(nullptr, to.c_str(), nullptr);
        for (const char *name : {"\\kuvex.exe", "\\ball.bmp", "\\kuvex.ini", "\\kuvex.rec"})
            MoveFileA((dir + name).c_str(), (to + name).c_str());
        dir = to;
    }
    const std::string rec = dir + "\\kuvex.rec", exe = dir + "\\kuvex.exe";
    if (row.setup == REC_READ_ONLY || row.setup == DIR_READ_ONLY)
        SetFileAttributesA(rec.c_str(), FILE_ATTRIBUTE_READONLY);
    if (row.setup == DIR_READ_ONLY) {
        SetFileAttributesA((dir + "\\kuvex.ini").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    HANDLE held = row.setup == REC_HELD
                      ? CreateFileA(rec.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    size_t whole = 0;
    const int wholeRecords = static_cast<int>(Records(row.rec, &whole).size());
    std::string problems;
    int rows = -1, code = -2, gained = -1;
    {
        Game game;
        const std::string cmd = row.setup == WHOLE_LINE ? row.args : "\"" + exe + "\" " + row.args;
        if (!game.Start(exe, dir, cmd)) problems += " did not start;";
        if (HWND over = game.Dialog(GAME_OVER))
            PostMessageA(over, WM_COMMAND, IDOK, 0); // no move at the opening
        const int before = game.Score();
        // Swap attempts as the field reports clicks: a cell, then each of its
        // neighbours (a refused swap keeps the cell selected), for nine cells.
        for (int cell = 0; cell < 45; ++cell) {
            const int c = cell / 15 * 3 + 1, r = cell / 5 % 3 * 3 + 1, k = cell % 5;
            POINT p = Game::Centre(game.Field(), c + (k == 1) - (k == 3), r + (k == 2) - (k == 4));
            ScreenToClient(game.main, &p);
            PostMessageA(game.main, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(p.x, p.y));
        }
        // The list opens once the clicks before it in the queue are handled.
        PostMessageA(game.main, WM_COMMAND, IDM_BEST, 0);
        if (HWND best = game.Dialog("Лучшие", 20000)) {
            gained = game.Score() - before;
            DWORD_PTR n = 0;
            SendMessageTimeoutA(GetDlgItem(best, IDC_BEST_LIST), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000,
                                &n);
            rows = static_cast<int>(n);
            PostMessageA(best, WM_COMMAND, IDOK, 0);
            if (!game.Gone("Лучшие")) problems += " list not closed;";
        }
        if (HWND over = game.Dialog(GAME_OVER, 300)) PostMessageA(over, WM_COMMAND, IDOK, 0);
        if (!game.Gone(GAME_OVER) || !game.Answering()) problems += " no answer;";
        if (index % 2)
            PostMessageA(game.main, WM_COMMAND, IDM_EXIT, 0);
        else
            PostMessageA(game.main, WM_SYSCOMMAND, SC_CLOSE, 0);
        code = game.Exit();
    }
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    // A game ended by the swaps is recorded after the list has been read.
    const bool listable = held == INVALID_HANDLE_VALUE && row.rec != "\1folder";
    const int least = row.setup == MISREAD ? 0 : wholeRecords;
    if (listable ? rows < least : rows != 0) problems += " rows;";
    if (ReadFileBytes(rec).compare(0, whole, row.rec, 0, whole)) problems += " records lost;";
    if (code != 0) problems += " exit code;";
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    char text[200];
    std::snprintf(text, sizeof text, "%-36s %+6d %6d %5d %6lu %s", row.name, gained, rows, code,
                  GetTickCount() - t0, problems.empty() ? "ok" : problems.c_str());
    *line = text;
    return problems;
}

// The rows run side by side, each in its own folder, by posted messages
// (real input has one pointer and one focus).
TEST(BlackBox, HostileSurroundingsTable)
{
    std::vector<Row> rows = Catalogue();
    if (getenv("TMPROW")) rows = {rows[atoi(getenv("TMPROW"))]};
    std::vector<std::string> problems(rows.size()), lines(rows.size());
    std::atomic<int> next(0);
    std::vector<std::thread> workers;
    for (int w = 0; w < 6; ++w)
        workers.emplace_back([&] {
            for (int i; (i = next++) < static_cast<int>(rows.size());)
                problems[i] = RunRow(rows[i], i, &lines[i]);
        });
    for (std::thread &w : workers)
        w.join();
    std::printf("%-36s %6s %6s %5s %6s\n", "case", "points", "rows", "exit", "ms");
    for (size_t i = 0; i < rows.size(); ++i) {
        std::printf("%s\n", lines[i].c_str());
        EXPECT_EQ(problems[i], "") << rows[i].name;
        Remove(BuildDir() + "\\e2e-" + std::to_string(i));
    }
}

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
