// Paths of the program's own files (settings and records): beside the
// program, or in the player's application-data folder when the program's
// folder may not be written. Paths are wide, so a folder named in any script
// is found whatever the system's code page.
#pragma once
#include <cstddef>

constexpr size_t PATH_CAP = 260; // MAX_PATH, in UTF-16 units

// The settings path, built once at start-up.
extern wchar_t g_settingsPath[PATH_CAP];

// Decides at start-up where the program's files live: "%APPDATA%\Kuvex 2002"
// once it holds kuvex.ini or kuvex.rec; else the program's directory when a
// file can be made there and the files there take writes (a refusal for
// sharing is waited out for about a second); else that AppData folder, made
// when missing and given copies of the files beside the program that it
// lacks (copies already there are never overwritten). When that folder cannot
// be had, the program's directory stays. Each call decides anew.
void ChooseDataFolder();

// Builds "<data folder>\<fileName>" into out (PATH_CAP units): the folder
// ChooseDataFolder chose, or, before it or when it kept the program's
// directory, that directory as the process command line names it (quotes and
// blanks trimmed at both ends, last component dropped). Never writes past out,
// however long the command line.
void BuildProgramFilePath(wchar_t *out, const wchar_t *fileName);

// The program's directory from a given command line (up to 32767 characters
// are taken), joined with fileName. When the resulting path would not fit
// PATH_CAP units, out is the bare fileName, which names the file in the
// current directory.
void BuildFilePathFromCommandLine(wchar_t *out, const wchar_t *commandLine, const wchar_t *fileName);
