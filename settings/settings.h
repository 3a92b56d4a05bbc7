// The five persisted settings, program-wide, with their defaults as static
// initial values. Loaded and saved by settings_store_win.cpp; read by the
// turn controller, the view and the dialogs.
#pragma once
#include <cstdint>

constexpr int NAME_SIZE = 255; // 254 bytes of text and the NUL

struct Settings
{
    int32_t anim;  // pause in ms after each cascade stage; 0..1000 offered
    int32_t gamma; // tint index of the pure piece colour; 1..14 offered
    int32_t satur; // shading divisor; 1..20 offered
    // Background: byte 0 blue, 1 green, 2 red, 3 carried along unchanged
    // (the in-memory layout the settings file encodes, little-endian).
    uint32_t back;
    char name[NAME_SIZE]; // Windows-1251, NUL-terminated
};

extern Settings g_settings;

// Helpers for the background bytes.
inline unsigned BackBlue(uint32_t back)
{
    return back & 0xFFu;
}
inline unsigned BackGreen(uint32_t back)
{
    return (back >> 8) & 0xFFu;
}
inline unsigned BackRed(uint32_t back)
{
    return (back >> 16) & 0xFFu;
}
// The COLORREF (0x00BBGGRR) of the background.
inline uint32_t BackToColorref(uint32_t back)
{
    return BackRed(back) | (BackGreen(back) << 8) | (BackBlue(back) << 16);
}
