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

// Gives a title's width as it would be drawn, in pixels.
typedef int32_t (*TitleWidth)(const char *text, void *context);

// The longest form of the title whose width fits room, into out (as
// ComposeTitle): the full form; one blank a gap; the name shortened letter
// by letter, "…" in place of the rest; "Kuvex 2002 … Очки: N"; and, when
// nothing else fits, "Очки: N", so the score always shows. Returns the
// text's length.
size_t FitTitle(char *out, size_t cap, const char *name, int32_t score, int32_t room, TitleWidth width,
                void *context);
