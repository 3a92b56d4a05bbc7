// The program directory as the command line names it, joined with a file name.
#include <windows.h>

#include <shlwapi.h>

#include "settings/program_path.h"

char g_settingsPath[PATH_CAP];

namespace {

// The longest command line the platform passes, and its NUL: the whole line
// is taken, so long arguments cannot cut off the program's path before it.
char s_commandLine[32768];

} // namespace

void BuildFilePathFromCommandLine(char *out, const char *commandLine, const char *fileName)
{
    lstrcpynA(s_commandLine, commandLine, sizeof s_commandLine);
    StrTrimA(s_commandLine, "\"");
    PathRemoveBlanksA(s_commandLine);
    PathRemoveFileSpecA(s_commandLine);
    // PathAppendA takes a buffer of MAX_PATH; a directory that leaves no room
    // for a backslash, the name and the NUL falls back to the bare name.
    const size_t dirLength = static_cast<size_t>(lstrlenA(s_commandLine));
    const size_t nameLength = static_cast<size_t>(lstrlenA(fileName));
    if (dirLength + 1 + nameLength < PATH_CAP) {
        lstrcpyA(out, s_commandLine);
        if (PathAppendA(out, fileName)) return;
    }
    lstrcpynA(out, fileName, PATH_CAP);
}

void BuildProgramFilePath(char *out, const char *fileName)
{
    BuildFilePathFromCommandLine(out, GetCommandLineA(), fileName);
}
