// A long session of the real kuvex.exe: many games in one run, played
// through the screen. Its private memory and handle count must stay flat
// after the first game, and every game that scored must be in the record
// file. Run only on request: KUVEX_SOAK=<number of games>.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "player.h"
#include "res/resource.h"

#include <psapi.h>

namespace {

struct Usage
{
    long long privateBytes;
    long long workingSet;
    long long handles;
};

// Under Wine another process's private bytes and handle count read as 0; its
// Linux side then tells the same through /proc (reached as drive Z:): the
// anonymous resident memory, and the open descriptors that Wine keeps for
// the file and other kernel handles of the process.
std::string LinuxProcFolder(const std::string &needle)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
    std::string found;
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
        if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9') continue;
        const std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
        if (ReadFileBytes(dir + "\\cmdline").find(needle) != std::string::npos) found = dir;
    } while (found.empty() && FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

long long StatusKb(const std::string &status, const char *key)
{
    const size_t at = status.find(key);
    return at == std::string::npos ? -1 : std::atoll(status.c_str() + at + std::strlen(key) + 1);
}

long long CountEntries(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    long long n = 0;
    if (h == INVALID_HANDLE_VALUE) return -1;
    do
        n += fd.cFileName[0] != '.';
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

Usage Measure(HANDLE process, const std::string &procFolder)
{
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&pmc), sizeof pmc);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    Usage u = {static_cast<long long>(pmc.PrivateUsage), static_cast<long long>(pmc.WorkingSetSize), handles};
    if (!procFolder.empty()) {
        if (u.privateBytes == 0)
            u.privateBytes = StatusKb(ReadFileBytes(procFolder + "\\status"), "RssAnon:") * 1024;
        if (u.handles == 0) u.handles = CountEntries(procFolder + "\\fd");
    }
    return u;
}

bool Checkpoint(int game, int games)
{
    return game == 1 || game == 10 || game == 50 || game == 100 || game == 200 || game == games;
}

TEST(Soak, ManyGamesInOneRunKeepMemoryAndHandlesFlat)
{
    const char *env = std::getenv("KUVEX_SOAK");
    if (!env || std::atoi(env) <= 0)
        GTEST_SKIP() << "a long run: set KUVEX_SOAK to a number of games (e.g. 200)";
    const int games = std::atoi(env);
    Folder dir("soak");
    dir.AddGame();
    WriteFileBytes(dir.File("kuvex.ini"), PLAIN_INI);
    Game game;
    ASSERT_TRUE(game.Start(dir.File("kuvex.exe"), dir.path()));

    // The folder's name is unique to this run and appears in the program's
    // command line.
    const std::string tag = dir.path().substr(dir.path().rfind('\\') + 1);
    const std::string proc = LinuxProcFolder(tag);
    std::printf("counters from %s\n", proc.empty() ? "the system" : ("the system, else " + proc).c_str());
    std::vector<int> scored;
    Usage first = {}, last = {};
    const DWORD t0 = GetTickCount();
    std::printf("%6s %8s %14s %12s %8s %8s\n", "game", "turns", "private bytes", "working set", "handles",
                "seconds");
    for (int g = 1; g <= games; ++g) {
        int turns = 0;
        std::string why;
        HWND over = game.PlayGame(&turns, &why);
        ASSERT_TRUE(over) << "game " << g << ": " << why;
        const int final = game.TitleScore();
        if (final != 0) scored.push_back(final);
        PostMessageA(over, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(game.WaitDialogGone("Конец игры"));
        ASSERT_TRUE(game.Answering());
        if (Checkpoint(g, games)) {
            last = Measure(game.pi.hProcess, proc);
            if (g == 1) first = last;
            std::printf("%6d %8d %14lld %12lld %8lld %8lu\n", g, turns, last.privateBytes, last.workingSet,
                        last.handles, static_cast<unsigned long>((GetTickCount() - t0) / 1000));
            std::fflush(stdout);
        }
        game.Focus();
        Key(VK_F2);
    }
    // Flat: a leak of a few hundred bytes a game would pass 1 MB in 200 games.
    EXPECT_LT(static_cast<long long>(last.privateBytes) - static_cast<long long>(first.privateBytes),
              1 << 20);
    EXPECT_LE(static_cast<long>(last.handles) - static_cast<long>(first.handles), 5);

    std::vector<int> recorded;
    for (const ScoreRecord &r : Records(ReadFileBytes(dir.File("kuvex.rec")))) {
        EXPECT_STREQ(r.name, "Инкогнито");
        recorded.push_back(r.score);
    }
    EXPECT_EQ(recorded, scored) << "every game that scored, in order";
    game.Focus();
    Key(VK_F4, false, true);
    EXPECT_EQ(game.WaitExit(), 0);
}

} // namespace
