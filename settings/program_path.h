// Paths of the files that lie in the program's directory.
#pragma once
#include <cstddef>

constexpr size_t PATH_CAP = 260; // MAX_PATH

// The settings path, built once at start-up.
extern char g_settingsPath[PATH_CAP];

// Builds "<program directory>\<fileName>" from the process command line
// (quotes and blanks trimmed at both ends, last component dropped) into out
// (PATH_CAP bytes). Never writes past out, however long the command line.
void BuildProgramFilePath(char *out, const char *fileName);

// The same from a given command line (up to 32767 characters are taken).
// When the resulting path would not fit PATH_CAP bytes, out is the bare
// fileName, which names the file in the current directory.
void BuildFilePathFromCommandLine(char *out, const char *commandLine, const char *fileName);
