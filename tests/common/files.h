// Whole-file bytes, records and bitmap files, for the in-process and the
// black-box Windows tests alike.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The file's bytes; "" when it cannot be opened. The path is narrow or wide.
template <class Path> std::string ReadFileBytes(const Path &path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// Replaces the file with exactly these bytes. A write that fails fails the
// test there: the test would go on to check a file it never made.
template <class Path> void WriteFileBytes(const Path &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    file.close();
    if (!file) ADD_FAILURE() << "could not write " << path;
}

// A record by hand: the name, a NUL, the points and the time (year, month,
// weekday, day, hour, minute, second, ms), 16 bits each, little-endian; by
// default 2002-12-05 (a Thursday) 09:03:07.000.
inline std::string Record(const std::string &name, uint16_t points,
                          std::vector<uint16_t> time = {2002, 12, 4, 5, 9, 3, 7, 0})
{
    time.insert(time.begin(), points);
    return name + '\0' + std::string(reinterpret_cast<const char *>(time.data()), 2 * time.size());
}

// The record that is all of `bytes`, read by hand, as "name:score", and what
// is wrong with its time unless it lies between the clock readings before and
// after it, on the weekday of one of them.
inline std::string Recorded(const std::string &bytes, SYSTEMTIME before, SYSTEMTIME after)
{
    const size_t nul = bytes.find('\0');
    if (nul == std::string::npos || bytes.size() != nul + 19) return "not one record: " + bytes;
    SYSTEMTIME t[3] = {before, {}, after};
    ULONGLONG at[3] = {};
    memcpy(&t[1], bytes.data() + nul + 3, sizeof t[1]); // SYSTEMTIME's order, little-endian as here
    for (int i = 0; i < 3; ++i)                         // no date (as with a day 0): 0
        SystemTimeToFileTime(&t[i], reinterpret_cast<FILETIME *>(&at[i]));
    const bool timed = at[0] <= at[1] && at[1] <= at[2] &&
                       (t[1].wDayOfWeek == t[0].wDayOfWeek || t[1].wDayOfWeek == t[2].wDayOfWeek);
    const int points = uint8_t(bytes[nul + 1]) | uint8_t(bytes[nul + 2]) << 8, day = t[1].wDay;
    return bytes.substr(0, nul) + ":" + std::to_string(points) +
           (timed ? "" : " on day " + std::to_string(day) + ", weekday " + std::to_string(t[1].wDayOfWeek));
}

// A bitmap file of w x h pixels at `bits` per pixel: its headers, a colour
// table (up to 8 bits) and, when `rows`, its pixel rows all of byte `fill`;
// the information header `info` bytes long (40, or 124 for the fifth version).
// `missing` bytes short of its rows, with the file's and the rows' sizes in
// its headers saying so (a loader that trusts them takes it).
inline std::string BitmapFile(uint32_t w, uint32_t h, uint32_t bits, char fill, bool rows = true,
                              uint32_t info = 40, uint32_t missing = 0)
{
    const uint32_t table = bits <= 8 ? 4u << bits : 0, pixels = (w * bits + 31) / 32 * 4 * h - missing,
                   at = 14 + info;
    const uint32_t f[] = {
        at + table + pixels, 0, at + table, info, w, h, 1 | bits << 16, 0, pixels, 2835, 2835, 0, 0};
    return "BM" + std::string(reinterpret_cast<const char *>(f), sizeof f) + std::string(info - 40, '\0') +
           std::string(table, fill) + (rows ? std::string(pixels, fill) : "");
}

// Sets an environment variable to the Linux name of a Windows path, as UTF-8,
// so that a Linux command may name a path in any script; false where Wine
// cannot name it.
inline bool SetLinuxPath(const wchar_t *variable, const std::wstring &path)
{
    using UnixName = char *(CDECL *)(const wchar_t *);
    const auto unix = reinterpret_cast<UnixName>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    return unix && MultiByteToWideChar(CP_UTF8, 0, unix(path.c_str()), -1, wide, MAX_PATH) &&
           SetEnvironmentVariableW(variable, wide);
}

// Starts a command line as a process of its own (`program` null: the line's
// first token), in folder `current` (null: this one's); false when it could
// not. (Wine starts a Linux program with no handles to it.)
inline bool Launch(PROCESS_INFORMATION *p, const wchar_t *program, std::wstring line,
                   const wchar_t *current = nullptr)
{
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    return CreateProcessW(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, current, &si, p);
}

// Runs a Linux shell command from under Wine; true once it has succeeded,
// within 9 s. Wine starts a Linux program as it does its own but cannot wait
// for it: the command leaves a mark, a folder ($KUVEX_MARK), that is waited for.
inline bool LinuxShell(const std::wstring &command)
{
    wchar_t mark[MAX_PATH];
    lstrcatW((GetTempPathW(MAX_PATH, mark), mark), L"kuvex-shell.done");
    if (!SetLinuxPath(L"KUVEX_MARK", mark)) return false;
    PROCESS_INFORMATION p = {};
    if (!Launch(&p, nullptr, L"/bin/sh -c \"" + command + L" && mkdir \\\"$KUVEX_MARK\\\"\"")) return false;
    CloseHandle(p.hThread);
    CloseHandle(p.hProcess);
    for (int waited = 0; waited < 9000; waited += 50, Sleep(50))
        if (RemoveDirectoryW(mark)) return true;
    return false;
}
