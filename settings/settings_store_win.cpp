// Loading and saving the five settings with the platform's profile functions.
#include <windows.h>

#include <shlwapi.h>

#include "settings/back_value.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/cp1251.h"

namespace {

const wchar_t SECTION[] = L"Kuvex";

// The profile functions get the path wide, so a folder named in any script
// is found. Values cross in the system's ANSI code page, just as the A
// functions hand them over, so the file holds the bytes those write: under
// any single-byte code page every byte of a 1251 name goes in and comes back
// unchanged, which the W functions' own conversion of 1251 letters would not.
void WriteValue(const wchar_t *key, const char *value, const wchar_t *path)
{
    wchar_t wide[NAME_SIZE] = L""; // never more letters than bytes
    MultiByteToWideChar(CP_ACP, 0, value, -1, wide, NAME_SIZE);
    WritePrivateProfileStringW(SECTION, key, wide, path);
}

// The default is the current name, and the name is also the destination:
// the platform is handed a copy so the two never overlap.
void LoadName(const wchar_t *path)
{
    wchar_t current[NAME_SIZE] = L"", wide[NAME_SIZE];
    MultiByteToWideChar(CP_ACP, 0, g_settings.name, -1, current, NAME_SIZE);
    GetPrivateProfileStringW(SECTION, L"name", current, wide, NAME_SIZE, path);
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
    WriteValue(L"name", g_settings.name, path);
    WritePrivateProfileStructW(SECTION, L"back", &g_settings.back, sizeof g_settings.back, path);
    return 0;
}
