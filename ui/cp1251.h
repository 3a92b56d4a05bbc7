// The program's texts are Windows-1251 bytes; the platform's wide functions
// take UTF-16. These convert between the two by the code page's own table,
// whatever code page the system runs in.
#pragma once
#include <cstddef>

// Room for every text the program shows: the title (a 254-byte name and the
// score), the rules, a list row's field.
constexpr size_t WIDE_TEXT_CAP = 512;

// The UTF-16 form of the NUL-terminated 1251 text, into out (cap units, the
// NUL included). The length written, or -1 when the text does not fit: out
// then holds as much as fits, NUL-terminated (nothing at all when cap is 0).
int WideFrom1251(wchar_t *out, size_t cap, const char *text);

// The 1251 form of the NUL-terminated UTF-16 text, into out (cap bytes, the
// NUL included); a letter 1251 has no byte for becomes '?' (a surrogate pair
// is one letter). The length written, or -1 when it does not fit, as above.
int WideTo1251(char *out, size_t cap, const wchar_t *text);

// A 1251 text made wide for one call: SetWindowTextW(w, WideText(s).text).
struct WideText
{
    wchar_t text[WIDE_TEXT_CAP];
    explicit WideText(const char *s) { WideFrom1251(text, WIDE_TEXT_CAP, s); }
};
