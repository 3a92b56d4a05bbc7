// The record file kuvex.rec: appending a record at the end of a game and
// listing all records in the best-results list view.
#include "scores/score_file.h"

#include <commctrl.h>

#include "scores/record.h"
#include "settings/program_path.h"
#include "ui/cp1251.h"

RecordWriteFn g_recordWrite = WriteFile;
RecordReadFn g_recordRead = ReadFile;

namespace {

const wchar_t FILE_NAME[] = L"kuvex.rec";

// Another copy of the game may hold the file for the moment of its own
// append, which reads the whole file: wait that out for a second, and for 4
// ms more per KB the file holds (reading at 1 MB a second, three other games
// ahead). A listing shares the file with appends and never keeps one out. A
// holder that never lets go costs the record, as any failure to open does.
const DWORD RETRY_STEP_MS = 50;
const DWORD RETRY_BASE_MS = 1000;
const DWORD RETRY_MS_PER_KB = 4;
const DWORD RETRY_CAP_MS = 120000;

DWORD RetryLimit(const wchar_t *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return RETRY_BASE_MS;
    const ULONGLONG kb = ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1024;
    const ULONGLONG limit = RETRY_BASE_MS + kb * RETRY_MS_PER_KB;
    return limit < RETRY_CAP_MS ? static_cast<DWORD>(limit) : RETRY_CAP_MS;
}

HANDLE OpenRecordFile(DWORD access, DWORD share)
{
    wchar_t path[PATH_CAP];
    BuildProgramFilePath(path, FILE_NAME);
    const DWORD start = GetTickCount();
    DWORD limit = 0;
    for (;;) {
        HANDLE file = CreateFileW(path, access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return file;
        if (limit == 0) limit = RetryLimit(path);
        if (GetTickCount() - start >= limit) return file;
        Sleep(RETRY_STEP_MS);
    }
}

// A file read through the record reader; tells a failed read from the end,
// which the reader itself sees alike.
struct FileSource
{
    HANDLE file;
    LONGLONG consumed; // bytes handed to the reader
    bool failed;
};

size_t ReadFromFile(void *context, unsigned char *dst, size_t capacity)
{
    FileSource *source = static_cast<FileSource *>(context);
    DWORD got = 0;
    if (!g_recordRead(source->file, dst, static_cast<DWORD>(capacity), &got, nullptr)) {
        source->failed = true;
        return 0;
    }
    source->consumed += got;
    return got;
}

// The list takes its texts wide, so they read right under any code page.
void InsertColumn(HWND listView, int index, const char *text)
{
    WideText wide(text);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.pszText = wide.text;
    SendMessageW(listView, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void SetSubItemText(HWND listView, WPARAM index, int subItem, const char *text)
{
    WideText wide(text);
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = wide.text;
    SendMessageW(listView, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND listView, ScoreRecord &record)
{
    WideText name(record.name);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = name.text;
    item.lParam = record.score;
    const LRESULT index = SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    char text[RECORD_DATE_CAP];
    wsprintfA(text, "%d", static_cast<int>(record.score));
    SetSubItemText(listView, static_cast<WPARAM>(index), 1, text);
    FormatRecordDate(record.time, text, sizeof text);
    SetSubItemText(listView, static_cast<WPARAM>(index), 2, text);
}

// A file that ends inside a record (a write cut short by another program or
// a full disk) or in damage would join the next record to those bytes, and
// the reader would list a mangled row in place of it. Nothing already in the
// file is removed, whatever it is: the new record goes after a separator that
// no record is read across. So does it when the end read is not proven to be
// the file's end (a failed read on a network share or failing media).
// Writes the separator needed, if any, into out; its length.
size_t PrepareEnd(HANDLE file, unsigned char *out)
{
    FileSource source = {file, 0, false};
    RecordReader reader;
    StartRecordReader(&reader, ReadFromFile, &source);
    ScoreRecord record;
    while (NextRecord(&reader, &record)) {}
    LARGE_INTEGER size = {};
    const bool proven = !source.failed && GetFileSizeEx(file, &size) && source.consumed == size.QuadPart;
    return reader.trailing || !proven ? PutSeparator(out) : 0;
}

} // namespace

int ScoreFile::Append(const char *name, int32_t score)
{
    if (score == 0) return 0;
    // Appends go one at a time; listings may read meanwhile.
    HANDLE file = OpenRecordFile(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char bytes[RECORD_SEPARATOR + RECORD_MAX] = {};
    const size_t separator = PrepareEnd(file, bytes);
    LONG endHigh = 0;
    SetLastError(NO_ERROR); // an end at 0xFFFFFFFF is told from a failure by the error code
    const DWORD endLow = SetFilePointer(file, 0, &endHigh, FILE_END);
    if (endLow == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        CloseHandle(file);
        return 0;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const RecordTime time = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                             now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
    const DWORD size = static_cast<DWORD>(separator + EncodeRecord(name, score, time, bytes + separator));
    // One write for the separator and the whole record; should it fail or
    // fall short, cut the file back to where it ended, so a reader never
    // meets half a record.
    DWORD written = 0;
    const BOOL wrote = g_recordWrite(file, bytes, size, &written, nullptr);
    int result = static_cast<int>(RECORD_TIME_SIZE);
    if (!wrote || written != size) {
        SetFilePointer(file, static_cast<LONG>(endLow), &endHigh, FILE_BEGIN);
        SetEndOfFile(file);
        result = 0;
    }
    CloseHandle(file);
    return result;
}

int ScoreFile::FillList(HWND listView)
{
    HANDLE file = OpenRecordFile(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file == INVALID_HANDLE_VALUE) return 0;
    InsertColumn(listView, 0, "Имя");
    InsertColumn(listView, 1, "Очки");
    InsertColumn(listView, 2, "Дата");
    // A fixed window streams a file of any length; records never straddle
    // a read unseen, and nothing past the bytes read is looked at.
    // Unredrawn while it fills: a list that lays itself out again after
    // every row takes milliseconds a row, minutes for a long file.
    SendMessageA(listView, WM_SETREDRAW, FALSE, 0);
    FileSource source = {file, 0, false};
    RecordReader reader;
    StartRecordReader(&reader, ReadFromFile, &source);
    ScoreRecord record;
    while (NextRecord(&reader, &record))
        AddRow(listView, record);
    for (int column = 0; column < 3; ++column)
        SendMessageA(listView, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    CloseHandle(file);
    SendMessageA(listView, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareScores));
    SendMessageA(listView, WM_SETREDRAW, TRUE, 0);
    return 1;
}

int CALLBACK CompareScores(LPARAM lParam1, LPARAM lParam2, LPARAM)
{
    return static_cast<int>(lParam2 - lParam1);
}
