// Loading and saving the five settings with the platform's profile functions.
#include <windows.h>

#include <shlwapi.h>

#include "settings/back_value.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

namespace {

const char SECTION[] = "Kuvex";

// The "back" text is read as a string and decoded here rather than handed to
// GetPrivateProfileStructA: that may store bytes before it finds the checksum
// wrong, and the colour must stay whole unless the value is good. Longer
// values are cut to fit this buffer and so fail on their length.
void LoadBack(const char *path)
{
    char text[BACK_TEXT_CAP + 8];
    GetPrivateProfileStringA(SECTION, "back", "", text, sizeof text, path);
    DecodeBackValue(text, &g_settings.back);
}

void SaveInt(const char *key, int32_t value, const char *path)
{
    char text[256];
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(SECTION, key, text, path);
}

} // namespace

int LoadSettings(const char *path)
{
    if (!PathFileExistsA(path)) return 1;
    g_settings.anim = static_cast<int32_t>(GetPrivateProfileIntA(SECTION, "anim", g_settings.anim, path));
    g_settings.gamma = static_cast<int32_t>(GetPrivateProfileIntA(SECTION, "gamma", g_settings.gamma, path));
    g_settings.satur = static_cast<int32_t>(GetPrivateProfileIntA(SECTION, "satur", g_settings.satur, path));
    LoadBack(path);
    // The default is the current name, and the name is also the destination:
    // hand the platform a copy so the two never overlap.
    char current[NAME_SIZE];
    lstrcpynA(current, g_settings.name, NAME_SIZE);
    GetPrivateProfileStringA(SECTION, "name", current, g_settings.name, NAME_SIZE, path);
    return 0;
}

int SaveSettings(const char *path)
{
    SaveInt("anim", g_settings.anim, path);
    SaveInt("gamma", g_settings.gamma, path);
    SaveInt("satur", g_settings.satur, path);
    WritePrivateProfileStringA(SECTION, "name", g_settings.name, path);
    WritePrivateProfileStructA(SECTION, "back", &g_settings.back, sizeof g_settings.back, path);
    return 0;
}
