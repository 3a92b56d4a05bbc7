// Whole-file reads and writes for the Windows tests that check files byte
// for byte.
#pragma once
#include <windows.h>

#include <string>

// The file's bytes, or "<no file>" when it cannot be opened.
inline std::string ReadFileBytes(const char *path)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<no file>";
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

// Replaces the file with exactly these bytes.
inline void WriteFileBytes(const char *path, const std::string &bytes)
{
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

inline std::string ReadFileBytes(const std::string &path)
{
    return ReadFileBytes(path.c_str());
}
inline void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    WriteFileBytes(path.c_str(), bytes);
}
