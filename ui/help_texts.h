// Fixed texts of the help dialogs.
#pragma once

// The rules shown in the Rules dialog: 257 bytes of Windows-1251 with a
// CR LF at each of its two line breaks.
extern const char RULES_TEXT[];
constexpr int RULES_TEXT_LENGTH = 257;

// The About dialog's title line.
extern const char ABOUT_TITLE[];
