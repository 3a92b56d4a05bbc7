// Decoding of the "back" value text (see back_value.h).
#include "settings/back_value.h"

namespace {

// 0..15 for a hex digit of either case, -1 for anything else.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

int DecodeBackValue(const char *text, uint32_t *back)
{
    unsigned bytes[5];
    for (int i = 0; i < 5; ++i) {
        // A NUL ends the text early and fails here, before anything past it is read.
        const int high = HexDigit(text[2 * i]);
        if (high < 0) return 0;
        const int low = HexDigit(text[2 * i + 1]);
        if (low < 0) return 0;
        bytes[i] = static_cast<unsigned>(high * 16 + low);
    }
    if (text[BACK_TEXT_LENGTH] != '\0') return 0;
    if (((bytes[0] + bytes[1] + bytes[2] + bytes[3]) & 0xFFu) != bytes[4]) return 0;
    *back = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (bytes[3] << 24);
    return 1;
}
