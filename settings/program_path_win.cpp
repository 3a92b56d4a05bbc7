// Where the program's files live: the program's folder or the application-data
// folder that stands in for it, chosen from facts that last between starts.
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "settings/program_path.h"

wchar_t g_settingsPath[PATH_CAP];

namespace {

// Empty until ChooseDataFolder has found a folder.
wchar_t s_dataFolder[PATH_CAP];

// The program's own files, the settings and the records.
const wchar_t INI[] = L"kuvex.ini", REC[] = L"kuvex.rec";
const wchar_t *const FILE_NAMES[] = {INI, REC};

// PathAppendW takes a buffer of MAX_PATH; a folder that leaves no room for a
// backslash, the name and the NUL is refused (0) before it is called.
int JoinInFolder(wchar_t *out, const wchar_t *folder, const wchar_t *fileName)
{
    const size_t folderLength = static_cast<size_t>(lstrlenW(folder));
    const size_t nameLength = static_cast<size_t>(lstrlenW(fileName));
    if (folderLength + 1 + nameLength >= PATH_CAP) return 0;
    lstrcpyW(out, folder);
    return PathAppendW(out, fileName) ? 1 : 0;
}

// 1 with path naming an existing file (not a folder) and its attributes in data.
int FileData(const wchar_t *path, WIN32_FILE_ATTRIBUTE_DATA *data)
{
    return GetFileAttributesExW(path, GetFileExInfoStandard, data) &&
           !(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What a folder holds that lasts between starts: the length of its kuvex.rec
// (-1 without one) and the time its kuvex.ini was last written (0 without).
struct Facts
{
    LONGLONG records;
    ULONGLONG settings;
};

Facts FactsOf(const wchar_t *folder)
{
    Facts facts = {-1, 0};
    wchar_t path[PATH_CAP];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (JoinInFolder(path, folder, REC) && FileData(path, &data))
        facts.records = static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    if (JoinInFolder(path, folder, INI) && FileData(path, &data))
        facts.settings = static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                         data.ftLastWriteTime.dwLowDateTime;
    return facts;
}

// 1 when the folder takes the program's writes: a new file can be made there,
// and the files already there may be written. Only a lasting refusal counts:
// a file another program holds open (a sharing violation) will be free again.
// The probe's name is unique to the process, so two copies starting together
// do not take each other's probe for a refusal, and no longer than the
// program's own file names, so it fits wherever they do; a name left over from
// an earlier process with the same id is passed for another.
int TakesWrites(const wchar_t *folder)
{
    for (DWORD attempt = 0;; ++attempt) {
        wchar_t name[16], probe[PATH_CAP];
        wsprintfW(name, L"~%08lX", GetCurrentProcessId() ^ (attempt << 24));
        if (!JoinInFolder(probe, folder, name)) return 0;
        HANDLE file = CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            break;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 255) return 0;
    }
    // Opened for writing and closed unwritten: neither bytes nor times change.
    // The read-only attribute is read as well: Wine lets root open such a
    // file for writing, where Windows refuses.
    for (const wchar_t *fileName : FILE_NAMES) {
        wchar_t path[PATH_CAP];
        JoinInFolder(path, folder, fileName);
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return 0;
        HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (error != NO_ERROR && error != ERROR_FILE_NOT_FOUND && error != ERROR_SHARING_VIOLATION) return 0;
    }
    return 1;
}

// Reads up to size bytes; the count read, -1 on a failure.
LONG ReadSome(HANDLE file, char *to, DWORD size)
{
    DWORD got = 0;
    return ReadFile(file, to, size, &got, nullptr) ? static_cast<LONG>(got) : -1;
}

// 1 when the file at `from` begins with every byte of the file at `to`
// (whole: the two are the same), each read to its end.
int BeginsWith(const wchar_t *from, const wchar_t *to, bool whole)
{
    static char a[65536], b[65536];
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE fa =
        CreateFileW(from, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE fb = CreateFileW(to, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    int same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
    for (LONG na = 1, nb = 1; same && nb > 0;) {
        nb = ReadSome(fb, b, sizeof b);
        na = nb < 0 ? -1 : ReadSome(fa, a, static_cast<DWORD>(nb));
        same = na == nb && !memcmp(a, b, static_cast<size_t>(nb > 0 ? nb : 0));
    }
    if (same && whole) same = ReadSome(fa, a, 1) == 0;
    if (fa != INVALID_HANDLE_VALUE) CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE) CloseHandle(fb);
    return same;
}

// Copies every file of the program's from one folder to another, each checked
// byte for byte: 1 when all are there. A kuvex.rec already at the destination
// is replaced only by one that begins with it, so no record is dropped.
// Otherwise the copies made are removed, and 0: nothing has moved.
int MoveFiles(const wchar_t *from, const wchar_t *to)
{
    bool copied[2] = {};
    int moved = 1;
    for (int i = 0; i < 2 && moved; ++i) {
        wchar_t source[PATH_CAP], target[PATH_CAP];
        JoinInFolder(source, from, FILE_NAMES[i]);
        JoinInFolder(target, to, FILE_NAMES[i]);
        // A folder standing where a file should be holds nothing to move.
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!FileData(source, &data)) continue;
        const bool kept = FILE_NAMES[i] == REC && GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES;
        moved = (!kept || BeginsWith(source, target, false)) && CopyFileW(source, target, FALSE);
        copied[i] = moved;
        // A copy takes the original's attributes; a read-only one would
        // refuse every later write.
        moved =
            moved && SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL) && BeginsWith(source, target, true);
    }
    for (int i = 0; i < 2 && !moved; ++i) {
        wchar_t target[PATH_CAP];
        JoinInFolder(target, to, FILE_NAMES[i]);
        if (copied[i]) DeleteFileW(target);
    }
    return moved;
}

// The player's own roaming folder, "%APPDATA%\Kuvex 2002": 0 when it cannot
// be named, or leaves no room for the program's files.
int AppDataFolder(wchar_t *out)
{
    wchar_t probe[PATH_CAP];
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                      out)) &&
           PathAppendW(out, L"Kuvex 2002") && JoinInFolder(probe, out, INI);
}

// Which of the two holds the later files (1: the first, -1: the second, 0: a tie).
int Later(const Facts &a, const Facts &b)
{
    if (a.records != b.records) return a.records > b.records ? 1 : -1;
    if (a.settings != b.settings) return a.settings > b.settings ? 1 : -1;
    return 0;
}

} // namespace

int ProgramFolder(wchar_t *out, const wchar_t *commandLine)
{
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (blank(*commandLine))
        ++commandLine;
    // The program's path: quoted, or up to the first blank. An unquoted path
    // with blanks in it is taken up to a later blank when that ends the name
    // of an existing file, as the platform itself finds the program.
    const bool quoted = *commandLine == L'"';
    const wchar_t *from = commandLine + quoted;
    size_t length = 0;
    while (from[length] && (quoted ? from[length] != L'"' : !blank(from[length])))
        ++length;
    wchar_t token[PATH_CAP] = L"";
    for (size_t at = length; !quoted && from[at] && at < PATH_CAP;) {
        for (++at; from[at] && !blank(from[at]);)
            ++at;
        if (at >= PATH_CAP) break;
        lstrcpynW(token, from, static_cast<int>(at + 1));
        const DWORD attributes = GetFileAttributesW(token);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) length = at;
        if (length == at) break;
    }
    if (length >= PATH_CAP) return 0;
    lstrcpynW(token, from, static_cast<int>(length + 1));
    wchar_t probe[PATH_CAP];
    DWORD got = 0;
    if (token[0] == L'\0') {
        got = GetCurrentDirectoryW(PATH_CAP, out);
    } else {
        got = GetFullPathNameW(token, PATH_CAP, out, nullptr);
        if (got < PATH_CAP) PathRemoveFileSpecW(out);
    }
    return got > 0 && got < PATH_CAP && JoinInFolder(probe, out, INI);
}

void BuildProgramFilePath(wchar_t *out, const wchar_t *fileName)
{
    if (!s_dataFolder[0] || !JoinInFolder(out, s_dataFolder, fileName)) lstrcpynW(out, fileName, PATH_CAP);
}

void ChooseDataFolder()
{
    s_dataFolder[0] = L'\0';
    wchar_t program[PATH_CAP], appData[PATH_CAP];
    const bool hasProgram = ProgramFolder(program, GetCommandLineW());
    const bool hasAppData = AppDataFolder(appData);
    if (!hasProgram && !hasAppData) return;
    const wchar_t *home = hasProgram ? program : appData, *other = hasProgram ? appData : program;
    if (hasProgram && hasAppData) {
        const int later = Later(FactsOf(program), FactsOf(appData));
        if (later < 0 || (later == 0 && !TakesWrites(program))) {
            home = appData;
            other = program;
        }
        // A home that refuses writes loses every later record: its files go
        // where they can be written, all of them or none.
        if (home == appData) CreateDirectoryW(appData, nullptr);
        if (!TakesWrites(home)) {
            if (other == appData) CreateDirectoryW(appData, nullptr);
            if (TakesWrites(other) && MoveFiles(home, other)) home = other;
        }
    }
    if (home == appData) CreateDirectoryW(appData, nullptr);
    lstrcpyW(s_dataFolder, home);
}
