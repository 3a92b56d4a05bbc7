// The record file kuvex.rec in the program directory: appending one record
// and listing them all.
#pragma once
#include <windows.h>

#include <cstdint>

class ScoreFile
{
  public:
    virtual ~ScoreFile() {}
    // Appends name, the low 16 bits of score and the local time as one
    // whole record. 0 when nothing was written (score 0, open failed, or a
    // failed write that was rolled back); 16 when all went well.
    int Append(const char *name, int32_t score);
    // Fills an empty report-view list view with three columns and one row a
    // complete record, highest score first. 1 when read, 0 when the file
    // could not be opened (the list then stays without columns).
    int FillList(HWND listView);
};

// The write call Append makes, WriteFile unless a test puts in one that
// fails or falls short, to check that no partial record is left behind.
typedef BOOL(WINAPI *RecordWriteFn)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                                    LPOVERLAPPED overlapped);
extern RecordWriteFn g_recordWrite;

// The read call both operations make, ReadFile unless a test puts in one
// that fails part-way, to check that a read failure never cuts the file.
typedef BOOL(WINAPI *RecordReadFn)(HANDLE file, LPVOID data, DWORD size, LPDWORD read,
                                   LPOVERLAPPED overlapped);
extern RecordReadFn g_recordRead;

// List view sort callback: higher scores (lParam) first.
int CALLBACK CompareScores(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
