// Where the program keeps its files, and several games appending at once:
// the start-up choice between the program's folder and AppData, and four
// appends to one large record file that all land whole.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <thread>

#include "scores/score_file.h"
#include "settings/program_path.h"
#include "tests/common/files.h"

namespace {

// The test program's folder, where the program's files go unless moved, and
// the game's folder in AppData.
std::string Beside(const std::string &name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, strrchr(path, '\\') + 1) + name;
}

std::string InAppData(const std::string &name)
{
    char path[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path + std::string("\\Kuvex 2002\\") + name;
}

// Leaves no game file in either place, and decides where they go anew.
void Clear()
{
    for (const std::string &path :
         {Beside("kuvex.ini"), Beside("kuvex.rec"), InAppData("kuvex.ini"), InAppData("kuvex.rec")}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(InAppData("").c_str());
    ChooseDataFolder();
}

std::string RecordPath()
{
    wchar_t wide[PATH_CAP];
    char path[MAX_PATH];
    BuildProgramFilePath(wide, L"kuvex.rec");
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
    return path;
}

// A file beside the program (in AppData for "appdata") with these attributes,
// held open without sharing or not; whether the files then live in AppData.
TEST(DataFolder, RefusingFilesMoveTheGameAndAppDataKeepsIt)
{
    const std::string old = "[Kuvex]\r\nname=Аня\r\n";
    char stale[16]; // a probe's name left by an earlier process with this id
    wsprintfA(stale, "~%08lX", GetCurrentProcessId());
    const std::tuple<const char *, DWORD, bool, bool> rows[] = {
        {"kuvex.ini", FILE_ATTRIBUTE_NORMAL, false, false},
        {stale, FILE_ATTRIBUTE_NORMAL, false, false},
        {"kuvex.ini", FILE_ATTRIBUTE_READONLY, false, true},
        {"kuvex.rec", FILE_ATTRIBUTE_READONLY, false, true},
        {"kuvex.rec", FILE_ATTRIBUTE_NORMAL, true, true},
        {"appdata", FILE_ATTRIBUTE_NORMAL, false, true}};
    for (const auto &[file, attributes, held, moved] : rows) {
        Clear();
        const bool appData = !strcmp(file, "appdata");
        CreateDirectoryA(InAppData("").c_str(), nullptr);
        const std::string path = appData ? InAppData("kuvex.rec") : Beside(file);
        WriteFileBytes(path, old);
        SetFileAttributesA(path.c_str(), attributes);
        HANDLE holder =
            CreateFileA(held ? path.c_str() : "", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ChooseDataFolder();
        CloseHandle(holder);
        const std::string row = std::string(file) + " " + std::to_string(attributes) + (held ? " held" : "");
        EXPECT_EQ(RecordPath(), moved ? InAppData("kuvex.rec") : Beside("kuvex.rec")) << row;
        // Files beside the program are copied, writable, and left as they were.
        EXPECT_EQ(ReadFileBytes(path), old) << row;
        EXPECT_EQ(ReadFileBytes(InAppData(file)), moved && !appData && !held ? old : "") << row;
        const DWORD copy = GetFileAttributesA(InAppData(file).c_str());
        EXPECT_TRUE(copy == INVALID_FILE_ATTRIBUTES || !(copy & FILE_ATTRIBUTE_READONLY)) << row;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        EXPECT_EQ(GetFileAttributesA(Beside("kuvex.ini").c_str()) & GetFileAttributesA(Beside(stale).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << row << ": nothing else is left beside the program";
    }
    Clear();
}

// Four games at once end on a record file of 10 MB that another program
// holds for 2.5 s: each waits longer for a longer file (a second and 4 ms a
// KB), and all four records land whole after the old ones. A holder that
// never lets go of a short file costs the record after about a second.
TEST(DataFolder, FourAppendsAtOnceToALargeFileAllLand)
{
    Clear();
    std::string old;
    unsigned char record[RECORD_MAX];
    for (int i = 0; old.size() < 10000000; ++i) {
        const RecordTime time = {2025, uint16_t(1 + i % 12), 3, 9, 10, 20, 30, 400};
        old.append(reinterpret_cast<char *>(record), EncodeRecord(i % 3 ? "Игрок" : "", i + 1, time, record));
    }
    WriteFileBytes(RecordPath(), old);
    HANDLE holder = CreateFileA(RecordPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const char *names[4] = {"Аня", "Борис", "Вера", "Глеб"};
    int results[4] = {};
    std::vector<std::thread> games;
    for (int i = 0; i < 4; ++i)
        games.emplace_back([&, i] { results[i] = ScoreFile().Append(names[i], 1001 + i); });
    Sleep(2500);
    CloseHandle(holder);
    for (std::thread &game : games)
        game.join();
    const std::string now = ReadFileBytes(RecordPath());
    ASSERT_EQ(now.compare(0, old.size(), old), 0);
    std::string added = now.substr(old.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[i], 16) << names[i];
        // Name, NUL, the score's two bytes, then the time.
        const size_t at = added.find(names[i] + std::string(1, '\0') + char(0xE9 + i) + char(0x03));
        ASSERT_NE(at, std::string::npos) << names[i];
        added.erase(at, strlen(names[i]) + RECORD_MIN);
    }
    EXPECT_EQ(added, "");
    WriteFileBytes(RecordPath(), old.substr(0, 1000));
    holder = CreateFileA(RecordPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_EQ(ScoreFile().Append("Аня", 5), 0);
    EXPECT_LT(GetTickCount() - start, 5000u);
    CloseHandle(holder);
    Clear();
}

} // namespace
