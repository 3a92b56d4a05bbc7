// Title composition.
#include "game/title.h"

#include <cstdio>
#include <cstring>

size_t ComposeTitle(char *out, size_t cap, const char *name, int32_t score)
{
    if (!out || cap == 0) return 0;
    // The name buffer holds at most 254 bytes of text; do not trust a NUL.
    size_t len = 0;
    while (name && len < 254 && name[len])
        ++len;
    int n = std::snprintf(out, cap, "Kuvex 2002         %.*s            Очки: %d", static_cast<int>(len),
                          name ? name : "", static_cast<int>(score));
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < cap ? static_cast<size_t>(n) : cap - 1;
}
