// The main window's title text, composed without ever writing past the
// caller's buffer.
#pragma once
#include <cstddef>
#include <cstdint>

// Room for the longest title: 10 + 9 + 254-byte name + 12 + "Очки: " (6) +
// a signed 32-bit number (11) + NUL = 303 bytes.
constexpr size_t TITLE_CAP = 320;

// Writes "Kuvex 2002         <name>            Очки: <score>" into out
// (capacity cap, NUL-terminated whenever cap > 0). The name is taken up to
// its NUL or 254 bytes, whichever comes first. Returns the text's length,
// cut to cap - 1 when the buffer is too small.
size_t ComposeTitle(char *out, size_t cap, const char *name, int32_t score);
