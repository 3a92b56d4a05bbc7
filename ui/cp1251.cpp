// Windows-1251 to UTF-16 and back by the code page's table.
#include "ui/cp1251.h"

#include <cstdint>

namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are the 64 letters from U+0410 in order.
// 0x98 has no letter: it stands for U+0098, as the platform's own table has
// it, so such a byte comes back unchanged.
const uint16_t HIGH[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

uint32_t ToWide(unsigned char c)
{
    if (c < 0x80) return c;
    return c < 0xC0 ? HIGH[c - 0x80] : 0x0410u + (c - 0xC0u);
}

char ToByte(uint32_t w)
{
    if (w < 0x80) return static_cast<char>(w);
    if (w >= 0x0410 && w <= 0x044F) return static_cast<char>(0xC0 + (w - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (HIGH[i] == w) return static_cast<char>(0x80 + i);
    return '?';
}

bool IsHighSurrogate(uint32_t w)
{
    return w >= 0xD800 && w <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t w)
{
    return w >= 0xDC00 && w <= 0xDFFF;
}

} // namespace

int WideFrom1251(wchar_t *out, size_t cap, const char *text)
{
    if (cap == 0) return -1;
    size_t n = 0;
    for (; text[n]; ++n) {
        if (n + 1 == cap) {
            out[n] = L'\0';
            return -1;
        }
        out[n] = static_cast<wchar_t>(ToWide(static_cast<unsigned char>(text[n])));
    }
    out[n] = L'\0';
    return static_cast<int>(n);
}

int WideTo1251(char *out, size_t cap, const wchar_t *text)
{
    if (cap == 0) return -1;
    size_t n = 0;
    for (const wchar_t *p = text; *p; ++p) {
        if (n + 1 == cap) {
            out[n] = '\0';
            return -1;
        }
        const uint32_t w = static_cast<uint32_t>(*p);
        // A pair is one letter outside 1251: one '?' for both halves.
        if (IsHighSurrogate(w) && IsLowSurrogate(static_cast<uint32_t>(p[1]))) ++p;
        out[n++] = ToByte(w);
    }
    out[n] = '\0';
    return static_cast<int>(n);
}
