// Paths of the program's own files (settings and records): beside the
// program, or in the player's application-data folder when the program's
// folder may not be written. Paths are wide, so a folder named in any script
// is found whatever the system's code page.
#pragma once
#include <cstddef>

constexpr size_t PATH_CAP = 260; // MAX_PATH, in UTF-16 units

// The settings path, built once at start-up.
extern wchar_t g_settingsPath[PATH_CAP];

// Decides at start-up where the program's files live, the program's folder
// or "%APPDATA%\Kuvex 2002", from what lasts between starts only: the folder
// with the longer kuvex.rec (records only grow, so it is the later one); when
// both are as long, the one with the later kuvex.ini; when that ties too, the
// program's folder if it takes writes. A file another program holds open is
// never a refusal. When the chosen folder refuses writes (a read-only file,
// access denied, a path too long) and the other takes them, every file is
// copied there and checked byte for byte; should any copy fail, the copies go
// and nothing moves. Each call decides anew.
void ChooseDataFolder();

// Builds "<data folder>\<fileName>" into out (PATH_CAP units): the folder
// ChooseDataFolder chose, or the bare fileName (the current folder) before
// it, or when neither folder could be named.
void BuildProgramFilePath(wchar_t *out, const wchar_t *fileName);

// The program's folder from a command line: its first token (quoted, or up to
// the first blank), the program's own path, made absolute against the current
// folder, its last component dropped; so arguments never move the files. 0
// when that folder leaves no room in PATH_CAP for a file of the program's.
int ProgramFolder(wchar_t *out, const wchar_t *commandLine);
