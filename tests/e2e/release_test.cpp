// The shipped program as a file and as a start: what it imports, how big it
// is, how fast it shows its window and how much memory it takes against a
// bare Win32 window, and the release package started from a fresh unpack.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "player.h"

#include <psapi.h>

namespace {

// The DLL names in a PE file's import table, upper case; empty if the file
// is no PE image.
std::vector<std::string> ImportedDlls(const std::string &image)
{
    std::vector<std::string> out;
    auto u32 = [&](size_t at) -> uint32_t {
        if (at + 4 > image.size()) return 0;
        uint32_t v;
        std::memcpy(&v, image.data() + at, 4);
        return v;
    };
    auto u16 = [&](size_t at) -> uint16_t { return static_cast<uint16_t>(u32(at) & 0xFFFF); };
    if (image.size() < 64 || image.compare(0, 2, "MZ") != 0) return out;
    const size_t nt = u32(0x3C);
    if (u32(nt) != 0x00004550) // "PE\0\0"
        return out;
    const size_t file = nt + 4, optional = file + 20;
    const unsigned sections = u16(file + 2), optionalSize = u16(file + 16);
    const bool pe32plus = u16(optional) == 0x20B;
    const uint32_t importRva = u32(optional + (pe32plus ? 112 : 96) + 8);
    auto offsetOf = [&](uint32_t rva) -> size_t {
        for (unsigned i = 0; i < sections; ++i) {
            const size_t s = optional + optionalSize + i * 40;
            const uint32_t va = u32(s + 12), size = std::max(u32(s + 8), u32(s + 16)), raw = u32(s + 20);
            if (rva >= va && rva < va + size) return rva - va + raw;
        }
        return 0;
    };
    for (size_t d = offsetOf(importRva); d && u32(d + 12); d += 20) {
        const size_t name = offsetOf(u32(d + 12));
        std::string dll;
        for (size_t i = name; i < image.size() && image[i]; ++i)
            dll += static_cast<char>(std::toupper(static_cast<unsigned char>(image[i])));
        out.push_back(dll);
    }
    return out;
}

TEST(Release, TheProgramImportsOnlySystemLibraries)
{
    const std::string image = ReadFileBytes(BuildDir() + "\\kuvex.exe");
    const std::vector<std::string> dlls = ImportedDlls(image);
    ASSERT_FALSE(dlls.empty()) << "kuvex.exe is a PE image with imports";
    std::printf("    kuvex.exe: %zu bytes, imports", image.size());
    for (const std::string &dll : dlls) {
        std::printf(" %s", dll.c_str());
        const bool system = dll == "KERNEL32.DLL" || dll == "USER32.DLL" || dll == "GDI32.DLL" ||
                            dll == "COMCTL32.DLL" || dll == "SHLWAPI.DLL" || dll == "MSVCRT.DLL" ||
                            dll == "UCRTBASE.DLL" || dll.compare(0, 8, "API-MS-W") == 0;
        EXPECT_TRUE(system) << dll << " is not a system library";
    }
    std::printf("\n");
}

// One start: milliseconds from CreateProcess to the first shown top-level
// window of the process, and its peak working set once it has settled.
struct StartFigures
{
    double ms = -1;
    size_t peak = 0;
};

StartFigures TimeStart(const std::string &exe, const std::string &cwd)
{
    StartFigures out;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + exe + "\"";
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return out;
    HWND shown = nullptr;
    for (int i = 0; i < 20000 && !shown; ++i) {
        shown = FindProcessWindow(pi.dwProcessId, nullptr, nullptr, true);
        if (!shown) Sleep(1);
    }
    QueryPerformanceCounter(&t1);
    if (shown) {
        out.ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
        DWORD_PTR r = 0;
        SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
        Wait(300);
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc);
        out.peak = pmc.PeakWorkingSetSize;
        PostMessageA(shown, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return out;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Figures only: the timing of a shared machine is no pass mark.
TEST(Release, StartUpAndPeakMemoryAgainstABareWindow)
{
    const std::string bare = BuildDir() + "\\bare_window.exe";
    if (GetFileAttributesA(bare.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "bare_window.exe is not beside the driver";
    std::printf("    sizes: kuvex.exe %zu bytes, bare_window.exe %zu bytes\n",
                ReadFileBytes(BuildDir() + "\\kuvex.exe").size(), ReadFileBytes(bare).size());
    const char *env = std::getenv("KUVEX_BENCH_STARTS");
    const int starts = env && std::atoi(env) > 0 ? std::atoi(env) : 10;
    struct Subject
    {
        const char *label;
        const char *ini; // null: no settings file (the game writes its defaults)
        bool game;
    };
    const Subject subjects[] = {
        {"bare Win32 window", nullptr, false},
        {"kuvex.exe, first start (defaults, anim 50)", nullptr, true},
        {"kuvex.exe, anim 0", "[Kuvex]\r\nanim=0\r\n", true},
    };
    for (const Subject &s : subjects) {
        std::vector<double> ms, peak;
        for (int i = 0; i < starts; ++i) {
            Folder dir("bench");
            std::string exe = dir.File("kuvex.exe");
            if (s.game) {
                dir.AddGame();
            } else {
                exe = dir.File("bare_window.exe");
                CopyFileA(bare.c_str(), exe.c_str(), FALSE);
            }
            if (s.ini) WriteFileBytes(dir.File("kuvex.ini"), s.ini);
            const StartFigures f = TimeStart(exe, dir.path());
            ASSERT_GE(f.ms, 0) << s.label << " showed no window";
            ms.push_back(f.ms);
            peak.push_back(static_cast<double>(f.peak) / 1024.0);
        }
        std::printf("    %-44s median of %d: %7.1f ms to the first shown window, peak working set %8.0f KB\n",
                    s.label, starts, Median(ms), Median(peak));
    }
}

// The unpacked release zip (scripts/release-check.sh names its folder):
// exactly its three files, and the game from there starts, writes its
// default settings beside itself, draws, and ends with exit code 0.
TEST(Release, TheUnpackedPackageRuns)
{
    const char *env = std::getenv("KUVEX_RELEASE_DIR");
    if (!env) GTEST_SKIP() << "run by scripts/release-check.sh with the unpacked package";
    char full[MAX_PATH];
    ASSERT_TRUE(GetFullPathNameA(env, MAX_PATH, full, nullptr));
    const std::string dir = full;
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do
        if (fd.cFileName[0] != '.') files.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"ball.bmp", "how-to-play.txt", "kuvex.exe"}));
    EXPECT_EQ(ReadFileBytes(dir + "\\ball.bmp"), ReadFileBytes(BuildDir() + "\\ball.bmp"));

    Game game;
    ASSERT_TRUE(game.Start(dir + "\\kuvex.exe", dir));
    if (HWND over = game.WaitDialog("Конец игры", 0)) PostMessageA(over, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(game.Answering());
    EXPECT_EQ(ReadFileBytes(dir + "\\kuvex.ini"),
              "[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=Инкогнито\r\nback=00C80000C8\r\n");
    // Pieces drawn from the shipped picture: the cells' centres are not
    // all the background.
    const Picture field = CaptureScreen(game.FieldRect());
    int notBackground = 0;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            notBackground +=
                field.At((2 * c + 1) * field.width / 16, (2 * r + 1) * field.height / 16) != 0x00C800;
    EXPECT_GT(notBackground, 48);
    Shot(game.main, "release-start");
    game.Focus();
    Key(VK_F4, false, true);
    EXPECT_EQ(game.WaitExit(), 0);
    DeleteFileA((dir + "\\kuvex.ini").c_str());
}

} // namespace
