// The record file kuvex.rec beside the test program: appending, listing into
// a real report-view list view, rolled-back writes, a briefly locked file,
// damaged files.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/program_path.h"
#include "harness.h"
#include "scores/record.h"
#include "scores/score_file.h"

namespace {

std::string RecordBytes(const char *name, int32_t score)
{
    unsigned char out[RECORD_MAX];
    const RecordTime time = {2002, 12, 4, 5, 9, 3, 7, 250};
    return std::string(reinterpret_cast<char *>(out), EncodeRecord(name, score, time, out));
}

// Writes half of what is asked and reports that; or writes all but the last
// byte and reports a failure.
BOOL WINAPI HalfWrite(HANDLE f, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED ov)
{
    return WriteFile(f, data, size / 2, written, ov);
}
BOOL WINAPI FailingWrite(HANDLE f, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED ov)
{
    WriteFile(f, data, size - 1, written, ov);
    return FALSE;
}

class RecordFile : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        // The file lies where the command line says the program is; arguments
        // with a ':' or '\\' (say --gtest_output=xml:...) would point elsewhere.
        BuildProgramFilePath(path, "kuvex.rec");
        char expected[MAX_PATH];
        GetModuleFileNameA(nullptr, expected, MAX_PATH);
        lstrcpyA(strrchr(expected, '\\') + 1, "kuvex.rec");
        if (lstrcmpiA(path, expected) != 0) {
            const std::string elsewhere = path;
            path[0] = '\0'; // not ours to delete
            GTEST_SKIP() << "the command line does not name the program's folder: " << elsewhere;
        }
        DeleteFileA(path);
        g_recordWrite = WriteFile;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KuvexRecordTest";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                               wc.hInstance, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 280, host,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(host);
        g_recordWrite = WriteFile;
        DeleteFileA(path);
    }
    // The number an item carries, by which the list sorts.
    LPARAM Param(int item)
    {
        LVITEMA it = {};
        it.mask = LVIF_PARAM;
        it.iItem = item;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return it.lParam;
    }
    char path[PATH_CAP];
    HWND host = nullptr;
    HWND list = nullptr;
    ScoreFile file;
};

TEST_F(RecordFile, AppendsAndListsHighestFirst)
{
    EXPECT_EQ(file.Append("Аня", 5), 16);
    EXPECT_EQ(file.Append("", 12), 16);
    EXPECT_EQ(file.Append("Вера", 7), 16);
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), (3 + 19) + 19 + (4 + 19));
    EXPECT_EQ(bytes.substr(0, 6), std::string("Аня\0\5\0", 6));

    EXPECT_EQ(file.FillList(list), 1);
    EXPECT_EQ(ListHeaders(list), (std::vector<std::string>{"Имя", "Очки", "Дата"}));
    for (int column = 0; column < 3; ++column)
        EXPECT_GT(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0), 0);
    const auto rows = ListRows(list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "");
    EXPECT_EQ(rows[0][1], "12");
    EXPECT_EQ(rows[1][0], "Вера");
    EXPECT_EQ(rows[2][1], "5");
    EXPECT_EQ(Param(2), 5);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char year[16];
    wsprintfA(year, ".%d в ", now.wYear);
    EXPECT_NE(rows[0][2].find(year), std::string::npos) << rows[0][2];
}

TEST_F(RecordFile, ScoreZeroAndTheEmptyList)
{
    EXPECT_EQ(file.Append("Аня", 0), 0);
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(file.FillList(list), 1);
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(ListHeaders(list).size(), 3u);
    EXPECT_TRUE(ListRows(list).empty());
}

TEST_F(RecordFile, ScoresAreTheLow16Bits)
{
    file.Append("a", 70000);
    file.Append("b", 65535);
    file.FillList(list);
    const auto rows = ListRows(list);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], "65535");
    EXPECT_EQ(Param(0), 65535);
    EXPECT_EQ(rows[1][1], "4464");
}

TEST_F(RecordFile, FailedOrShortWriteLeavesTheFileAsItWas)
{
    file.Append("Аня", 5);
    const std::string before = ReadFileBytes(path);
    for (RecordWriteFn write : {HalfWrite, FailingWrite}) {
        g_recordWrite = write;
        EXPECT_EQ(file.Append("Борис", 12), 0);
        EXPECT_EQ(ReadFileBytes(path), before);
    }
}

DWORD WINAPI CloseLater(void *handle)
{
    Sleep(200);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

TEST_F(RecordFile, WaitsForAnotherCopyToLetGo)
{
    HANDLE other = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    HANDLE thread = CreateThread(nullptr, 0, CloseLater, other, 0, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_EQ(file.Append("Аня", 5), 16);
    EXPECT_GE(GetTickCount() - start, 150u);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(ReadFileBytes(path).size(), 3u + 19u);

    // Held for good: given up after about a second, nothing written.
    other = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    EXPECT_EQ(file.Append("Борис", 12), 0);
    EXPECT_EQ(file.FillList(list), 0);
    EXPECT_TRUE(ListHeaders(list).empty());
    CloseHandle(other);
    EXPECT_EQ(ReadFileBytes(path).size(), 3u + 19u);
}

TEST_F(RecordFile, DamagedFilesListTheCompleteRecordsBefore)
{
    const std::string whole = RecordBytes("Аня", 5) + RecordBytes(std::string(255, 'z').c_str(), 9);
    WriteFileBytes(path, whole + RecordBytes("Вера", 7).substr(0, 10));
    file.FillList(list);
    auto rows = ListRows(list);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], std::string(255, 'z'));
    EXPECT_EQ(rows[1][2], "5.12.2002 в 9:3:7");

    DestroyWindow(list);
    list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 380, 280, host, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    WriteFileBytes(path, whole + std::string(274, 'x') + RecordBytes("Вера", 7));
    file.FillList(list);
    EXPECT_EQ(ListRows(list).size(), 2u);
}

TEST_F(RecordFile, TenThousandRecords)
{
    std::string bytes;
    for (int i = 1; i <= 10000; ++i)
        bytes += RecordBytes(("Игрок " + std::to_string(i)).c_str(), i);
    WriteFileBytes(path, bytes);
    const DWORD start = GetTickCount();
    EXPECT_EQ(file.FillList(list), 1);
    const DWORD took = GetTickCount() - start;
    const auto rows = ListRows(list);
    ASSERT_EQ(rows.size(), 10000u);
    EXPECT_EQ(rows[0][0], "Игрок 10000");
    RecordProperty("fill_ms", static_cast<int>(took));
}

} // namespace
