// The program directory as the command line names it, or the application-data
// folder that stands in for it, joined with a file name.
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "settings/program_path.h"

char g_settingsPath[PATH_CAP];

namespace {

// The longest command line the platform passes, and its NUL: the whole line
// is taken, so long arguments cannot cut off the program's path before it.
char s_commandLine[32768];

// Empty while the files live in the program's directory.
char s_dataFolder[PATH_CAP];

// PathAppendA takes a buffer of MAX_PATH; a folder that leaves no room for a
// backslash, the name and the NUL is refused (0) before it is called.
int JoinInFolder(char *out, const char *folder, const char *fileName)
{
    const size_t folderLength = static_cast<size_t>(lstrlenA(folder));
    const size_t nameLength = static_cast<size_t>(lstrlenA(fileName));
    if (folderLength + 1 + nameLength >= PATH_CAP) return 0;
    lstrcpyA(out, folder);
    return PathAppendA(out, fileName) ? 1 : 0;
}

// 1 when a file can be created where BuildProgramFilePath puts the files.
// The probe's name is unique to the process, so two copies starting together
// do not take each other's probe for a refusal, and no longer than the
// program's own file names, so it lands where they do.
int ProgramFolderWritable()
{
    char name[16], probe[PATH_CAP];
    wsprintfA(name, "~%08lX", GetCurrentProcessId());
    BuildProgramFilePath(probe, name);
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

} // namespace

void BuildFilePathFromCommandLine(char *out, const char *commandLine, const char *fileName)
{
    lstrcpynA(s_commandLine, commandLine, sizeof s_commandLine);
    StrTrimA(s_commandLine, "\"");
    PathRemoveBlanksA(s_commandLine);
    PathRemoveFileSpecA(s_commandLine);
    if (!JoinInFolder(out, s_commandLine, fileName)) lstrcpynA(out, fileName, PATH_CAP);
}

void BuildProgramFilePath(char *out, const char *fileName)
{
    if (s_dataFolder[0] && JoinInFolder(out, s_dataFolder, fileName)) return;
    BuildFilePathFromCommandLine(out, GetCommandLineA(), fileName);
}

void ChooseDataFolder()
{
    if (ProgramFolderWritable()) return;
    // Under Program Files a 64-bit program gets no file virtualization: its
    // writes there fail. The player's own roaming folder takes the files.
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder)))
        return;
    // Room for the longest of the program's file names must remain.
    char probe[PATH_CAP];
    if (!PathAppendA(folder, "Kuvex 2002") || !JoinInFolder(probe, folder, "kuvex.ini")) return;
    CreateDirectoryA(folder, nullptr);
    if (!PathIsDirectoryA(folder)) return;
    static const char *const FILE_NAMES[] = {"kuvex.ini", "kuvex.rec"};
    for (const char *fileName : FILE_NAMES) {
        char from[PATH_CAP], to[PATH_CAP];
        BuildProgramFilePath(from, fileName);
        // A copy takes the original's attributes; a read-only one would refuse
        // every later write.
        if (JoinInFolder(to, folder, fileName) && CopyFileA(from, to, TRUE))
            SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
    }
    lstrcpyA(s_dataFolder, folder);
}
