// Loading and saving the five settings with the platform's profile functions
// (and, under a code page of two bytes a letter, the name's bytes directly).
#include <windows.h>

#include <shlwapi.h>

#include <cstring>

#include "settings/back_value.h"
#include "settings/ini_text.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/cp1251.h"

namespace {

const wchar_t SECTION[] = L"Kuvex";

// The profile functions get the path wide, so a folder named in any script
// is found. The name crosses in the system's ANSI code page, just as the A
// functions hand it over, so the file holds the bytes those write: under any
// single-byte code page every byte of a 1251 name goes in and comes back
// unchanged, which the W functions' own conversion of 1251 letters would not.
// A file with a byte-order mark holds letters: there the 1251 table gives them.
void WriteName(const wchar_t *path, bool marked)
{
    wchar_t wide[NAME_SIZE] = L""; // never more letters than bytes
    if (marked)
        WideFrom1251(wide, NAME_SIZE, g_settings.name);
    else
        MultiByteToWideChar(CP_ACP, 0, g_settings.name, -1, wide, NAME_SIZE);
    WritePrivateProfileStringW(SECTION, L"name", wide, path);
}

// Under an ANSI code page of two bytes a letter (936 and the like) those
// functions lose bytes of a 1251 name: a last lone lead byte, a pair the code
// page has no letter for; and any write re-encodes the whole file, name
// included. There the name's bytes are read from the file, and put back into
// it after every write, as they are, so the file holds what it holds under
// any other code page.
bool AnsiTakesTwoBytes()
{
    CPINFO info = {};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
}

// A settings file read whole; a larger one is left to the profile functions.
char s_file[32768];

// Reads the file into s_file (*size bytes): 1 when read whole. *marked tells
// whether it begins with a byte-order mark: the profile functions then take
// it for Unicode and keep every letter themselves.
int ReadWhole(const wchar_t *path, size_t *size, bool *marked)
{
    *size = 0;
    *marked = false;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD got = 0;
    const BOOL read = ReadFile(file, s_file, sizeof s_file, &got, nullptr);
    CloseHandle(file);
    *size = got;
    *marked = (got >= 2 && (!memcmp(s_file, "\xFF\xFE", 2) || !memcmp(s_file, "\xFE\xFF", 2))) ||
              (got >= 3 && !memcmp(s_file, "\xEF\xBB\xBF", 3));
    return read && got < sizeof s_file;
}

// 1 with the file read into s_file (*size bytes) and the name's bytes at
// [*begin, *end) of it, in a file without a byte-order mark.
int FindRawName(const wchar_t *path, size_t *size, size_t *begin, size_t *end)
{
    bool marked = false;
    return ReadWhole(path, size, &marked) && !marked &&
           FindIniValue(s_file, *size, "Kuvex", "name", begin, end);
}

// Whether the file has a byte-order mark: its letters are Unicode, and the
// name's 1251 bytes cross as letters through the 1251 table, whatever the
// system's code page.
bool Marked(const wchar_t *path)
{
    size_t size = 0;
    bool marked = false;
    ReadWhole(path, &size, &marked);
    return marked;
}

int LoadRawName(const wchar_t *path)
{
    size_t size = 0, begin = 0, end = 0;
    if (!FindRawName(path, &size, &begin, &end)) return 0;
    const size_t length = end - begin < NAME_SIZE - 1 ? end - begin : NAME_SIZE - 1;
    CopyMemory(g_settings.name, s_file + begin, length);
    g_settings.name[length] = '\0';
    return 1;
}

// Puts the name's bytes in place of what the profile functions wrote, in one
// write of the whole file.
void SaveRawName(const wchar_t *path)
{
    size_t size = 0, begin = 0, end = 0;
    const size_t length = static_cast<size_t>(lstrlenA(g_settings.name));
    if (!FindRawName(path, &size, &begin, &end)) return;
    const size_t total = size - (end - begin) + length;
    if (total > sizeof s_file || (end - begin == length && !memcmp(s_file + begin, g_settings.name, length)))
        return;
    MoveMemory(s_file + begin + length, s_file + end, size - end);
    CopyMemory(s_file + begin, g_settings.name, length);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const DWORD bytes = static_cast<DWORD>(total);
    DWORD written = 0;
    if (WriteFile(file, s_file, bytes, &written, nullptr) && written == bytes) SetEndOfFile(file);
    CloseHandle(file);
}

// A missing key keeps the name as it stands: handed to the platform as the
// default it would cross the code page and back, and a double-byte one loses
// letters on the way.
void LoadName(const wchar_t *path)
{
    wchar_t wide[NAME_SIZE];
    GetPrivateProfileStringW(SECTION, L"name", L"\n", wide, NAME_SIZE, path); // no value holds a line break
    if (!lstrcmpW(wide, L"\n") || (AnsiTakesTwoBytes() && LoadRawName(path))) return;
    if (Marked(path)) {
        WideTo1251(g_settings.name, NAME_SIZE, wide);
        return;
    }
    // A double-byte code page may take two bytes a letter; the name keeps
    // the first 254 bytes.
    char bytes[2 * NAME_SIZE];
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr))
        lstrcpynA(g_settings.name, bytes, NAME_SIZE);
}

// The "back" text is read as a string and decoded here rather than handed to
// GetPrivateProfileStructW: that may store bytes before it finds the checksum
// wrong, and the colour must stay whole unless the value is good. Longer
// values are cut to fit this buffer and so fail on their length.
void LoadBack(const wchar_t *path)
{
    wchar_t wide[BACK_TEXT_CAP + 8];
    GetPrivateProfileStringW(SECTION, L"back", L"", wide, BACK_TEXT_CAP + 8, path);
    char text[BACK_TEXT_CAP + 8];
    WideTo1251(text, sizeof text, wide);
    DecodeBackValue(text, &g_settings.back);
}

void SaveInt(const wchar_t *key, int32_t value, const wchar_t *path)
{
    wchar_t text[16];
    wsprintfW(text, L"%d", value);
    WritePrivateProfileStringW(SECTION, key, text, path);
}

} // namespace

int LoadSettings(const wchar_t *path)
{
    if (!PathFileExistsW(path)) return 1;
    g_settings.anim = static_cast<int32_t>(GetPrivateProfileIntW(SECTION, L"anim", g_settings.anim, path));
    g_settings.gamma = static_cast<int32_t>(GetPrivateProfileIntW(SECTION, L"gamma", g_settings.gamma, path));
    g_settings.satur = static_cast<int32_t>(GetPrivateProfileIntW(SECTION, L"satur", g_settings.satur, path));
    LoadBack(path);
    LoadName(path);
    return 0;
}

int SaveSettings(const wchar_t *path)
{
    SaveInt(L"anim", g_settings.anim, path);
    SaveInt(L"gamma", g_settings.gamma, path);
    SaveInt(L"satur", g_settings.satur, path);
    WriteName(path, Marked(path));
    WritePrivateProfileStructW(SECTION, L"back", &g_settings.back, sizeof g_settings.back, path);
    if (AnsiTakesTwoBytes()) SaveRawName(path);
    return 0;
}
