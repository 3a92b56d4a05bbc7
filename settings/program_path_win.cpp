// The program directory as the command line names it, or the application-data
// folder that stands in for it, joined with a file name.
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "settings/program_path.h"

wchar_t g_settingsPath[PATH_CAP];

namespace {

// The longest command line the platform passes, and its NUL: the whole line
// is taken, so long arguments cannot cut off the program's path before it.
const size_t COMMAND_LINE_CAP = 32768;

// Empty while the files live in the program's directory.
wchar_t s_dataFolder[PATH_CAP];

// The program's own files, the settings and the records.
const wchar_t *const FILE_NAMES[] = {L"kuvex.ini", L"kuvex.rec"};

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

// Another copy of the game may hold a file for the moment of its own append
// (share mode 0): a refusal for sharing is tried again for about a second.
const DWORD RETRY_STEP_MS = 50;
const DWORD RETRY_LIMIT_MS = 1000;

// 1 when the program may write its files where BuildProgramFilePath puts
// them: a new file can be made there, and the files already there take
// writes. The probe's name is unique to the process, so two copies starting
// together do not take each other's probe for a refusal, and no longer than
// the program's own file names, so it lands where they do; a name left over
// from an earlier process with the same id is passed for another.
int ProgramFolderWritable()
{
    for (DWORD attempt = 0;; ++attempt) {
        wchar_t name[16], probe[PATH_CAP];
        wsprintfW(name, L"~%08lX", GetCurrentProcessId() ^ (attempt << 24));
        BuildProgramFilePath(probe, name);
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
        BuildProgramFilePath(path, fileName);
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
        for (DWORD waited = 0;; waited += RETRY_STEP_MS) {
            HANDLE file =
                CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR;
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
            if (error == NO_ERROR || error == ERROR_FILE_NOT_FOUND) break;
            if (error != ERROR_SHARING_VIOLATION || waited >= RETRY_LIMIT_MS) return 0;
            Sleep(RETRY_STEP_MS);
        }
    }
    return 1;
}

// 1 when the folder holds either of the program's files.
int HoldsGameFiles(const wchar_t *folder)
{
    wchar_t path[PATH_CAP];
    for (const wchar_t *fileName : FILE_NAMES)
        if (JoinInFolder(path, folder, fileName) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
            return 1;
    return 0;
}

} // namespace

void BuildFilePathFromCommandLine(wchar_t *out, const wchar_t *commandLine, const wchar_t *fileName)
{
    // Each call trims its own copy: with one shared copy, appends on several
    // threads at once trimmed it twice and put records a folder up.
    wchar_t line[COMMAND_LINE_CAP];
    lstrcpynW(line, commandLine, COMMAND_LINE_CAP);
    StrTrimW(line, L"\"");
    PathRemoveBlanksW(line);
    PathRemoveFileSpecW(line);
    if (!JoinInFolder(out, line, fileName)) lstrcpynW(out, fileName, PATH_CAP);
}

void BuildProgramFilePath(wchar_t *out, const wchar_t *fileName)
{
    if (s_dataFolder[0] && JoinInFolder(out, s_dataFolder, fileName)) return;
    BuildFilePathFromCommandLine(out, GetCommandLineW(), fileName);
}

void ChooseDataFolder()
{
    s_dataFolder[0] = '\0';
    // The player's own roaming folder; under Program Files a 64-bit program
    // gets no file virtualization, and its writes there fail.
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder)))
        return;
    // Room for the longest of the program's file names must remain.
    wchar_t probe[PATH_CAP];
    if (!PathAppendW(folder, L"Kuvex 2002") || !JoinInFolder(probe, folder, L"kuvex.ini")) return;
    // Once the files live there, they stay there: one list of records, kept
    // whatever the program's folder allows on a later start.
    if (!HoldsGameFiles(folder) && ProgramFolderWritable()) return;
    CreateDirectoryW(folder, nullptr);
    if (!PathIsDirectoryW(folder)) return;
    for (const wchar_t *fileName : FILE_NAMES) {
        wchar_t from[PATH_CAP], to[PATH_CAP];
        BuildProgramFilePath(from, fileName);
        // A copy takes the original's attributes; a read-only one would refuse
        // every later write.
        if (JoinInFolder(to, folder, fileName) && CopyFileW(from, to, TRUE))
            SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL);
    }
    lstrcpyW(s_dataFolder, folder);
}
