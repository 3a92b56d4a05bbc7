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

// The test program's folder, where the program's own files go unless moved.
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

// No game files in either place, none of them read-only.
void Clear()
{
    for (const std::string &path : {Beside("kuvex.ini"), Beside("kuvex.rec"), InAppData("kuvex.ini"),
                                    InAppData("kuvex.rec")}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(InAppData("").c_str());
}

std::string RecordPath()
{
    char path[PATH_CAP];
    BuildProgramFilePath(path, "kuvex.rec");
    return path;
}

// Each surrounding, and whether the files then live in AppData.
TEST(DataFolder, RefusingFilesMoveTheGameAndAppDataKeepsIt)
{
    const std::string old = "[Kuvex]\r\nname=Аня\r\n";
    char stale[16];
    wsprintfA(stale, "~%08lX", GetCurrentProcessId());
    const struct
    {
        const char *what;
        const char *file;   // put beside the program (in AppData for "appdata")
        DWORD attributes;   // given to it
        bool held;          // held open without sharing throughout
        bool moved;
    } rows[] = {
        {"a folder that takes writes", "kuvex.ini", FILE_ATTRIBUTE_NORMAL, false, false},
        {"a stale probe of this process's id", stale, FILE_ATTRIBUTE_NORMAL, false, false},
        {"a read-only settings file", "kuvex.ini", FILE_ATTRIBUTE_READONLY, false, true},
        {"a read-only record file", "kuvex.rec", FILE_ATTRIBUTE_READONLY, false, true},
        {"a record file held by another program", "kuvex.rec", FILE_ATTRIBUTE_NORMAL, true, true},
        {"records already in AppData", "appdata", FILE_ATTRIBUTE_NORMAL, false, true},
    };
    for (const auto &row : rows) {
        Clear();
        const bool appData = !strcmp(row.file, "appdata");
        if (appData) CreateDirectoryA(InAppData("").c_str(), nullptr);
        const std::string path = appData ? InAppData("kuvex.rec") : Beside(row.file);
        WriteFileBytes(path, old);
        SetFileAttributesA(path.c_str(), row.attributes);
        HANDLE held = row.held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        ChooseDataFolder();
        CloseHandle(held);
        EXPECT_EQ(RecordPath(), row.moved ? InAppData("kuvex.rec") : Beside("kuvex.rec")) << row.what;
        // The files beside the program are copied once and never changed.
        EXPECT_EQ(ReadFileBytes(path), old) << row.what;
        if (row.moved && !appData && !row.held) {
            EXPECT_EQ(ReadFileBytes(InAppData(row.file)), old) << row.what;
            EXPECT_EQ(GetFileAttributesA(InAppData(row.file).c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << row.what;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        EXPECT_EQ(GetFileAttributesA(Beside("kuvex.ini").c_str()) & GetFileAttributesA(Beside(stale).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << row.what << ": nothing else is left beside the program";
    }
    Clear();
    ChooseDataFolder();
}

// Four games at once end on a record file of 2 MB on a slow medium (each
// read of at most 4 KB takes a millisecond or more): each waits while another
// reads it whole, and all four records land whole after the old ones.
TEST(DataFolder, FourAppendsAtOnceToALargeFileAllLand)
{
    Clear();
    ChooseDataFolder();
    std::string old;
    unsigned char record[RECORD_MAX];
    for (int i = 0; old.size() < 2000000; ++i) {
        const RecordTime time = {2025, uint16_t(1 + i % 12), 3, uint16_t(1 + i % 28), 10, 20, 30, 400};
        old.append(reinterpret_cast<char *>(record), EncodeRecord(i % 3 ? "Игрок" : "", i % 60000 + 1, time, record));
    }
    WriteFileBytes(RecordPath(), old);
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        Sleep(1);
        return ReadFile(f, to, n, got, o);
    };
    const char *names[4] = {"Аня", "Борис", "Вера", "Глеб"};
    int results[4] = {};
    const DWORD start = GetTickCount();
    std::vector<std::thread> games;
    for (int i = 0; i < 4; ++i)
        games.emplace_back([&, i] { results[i] = ScoreFile().Append(names[i], 1001 + i); });
    for (std::thread &game : games)
        game.join();
    g_recordRead = ReadFile;
    std::printf("four appends to %zu bytes: %lu ms\n", old.size(), GetTickCount() - start);
    const std::string now = ReadFileBytes(RecordPath());
    ASSERT_EQ(now.compare(0, old.size(), old), 0);
    std::string added = now.substr(old.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[i], 16) << names[i];
        // Name, NUL, the score's two bytes, then the time.
        const std::string head = names[i] + std::string(1, '\0') + char(0xE9 + i) + char(0x03);
        const size_t at = added.find(head);
        ASSERT_NE(at, std::string::npos) << names[i];
        added.erase(at, head.size() + RECORD_TIME_SIZE);
    }
    EXPECT_EQ(added, "");
    Clear();
}

} // namespace
