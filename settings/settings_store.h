// Reading and writing the settings file (kuvex.ini, section "Kuvex").
#pragma once

// 1 when no file exists at path (nothing read), else reads the five keys
// present into g_settings and returns 0. A "back" value that fails to decode
// leaves back as it was.
int LoadSettings(const wchar_t *path);
// Writes all five keys; always 0 (failures are silent).
int SaveSettings(const wchar_t *path);
