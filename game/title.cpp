// Title composition, and its shorter forms for a narrow title bar.
#include "game/title.h"

#include <cstdio>
#include <cstring>

// The name buffer holds at most 254 bytes of text; do not trust a NUL.
static size_t NameLength(const char *name)
{
    size_t len = 0;
    while (name && len < 254 && name[len])
        ++len;
    return len;
}

size_t ComposeTitle(char *out, size_t cap, const char *name, int32_t score)
{
    if (!out || cap == 0) return 0;
    const size_t len = NameLength(name);
    int n = std::snprintf(out, cap, "Kuvex 2002         %.*s            Очки: %d", static_cast<int>(len),
                          name ? name : "", static_cast<int>(score));
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < cap ? static_cast<size_t>(n) : cap - 1;
}

size_t FitTitle(char *out, size_t cap, const char *name, int32_t score, int32_t room, TitleWidth width,
                void *context)
{
    size_t n = ComposeTitle(out, cap, name, score);
    if (cap == 0 || width(out, context) <= room) return n;
    const size_t len = NameLength(name);
    const int points = static_cast<int>(score);
    // 1251 is a byte a letter, so any length cuts between letters.
    for (size_t keep = len + 1; keep-- > 0;) {
        const char *cut = keep == len ? "" : "…"; // none shortened to "Kuvex 2002 … Очки: N"
        std::snprintf(out, cap, "Kuvex 2002 %.*s%s Очки: %d", static_cast<int>(keep), name ? name : "", cut,
                      points);
        if (width(out, context) <= room) return std::strlen(out);
    }
    std::snprintf(out, cap, "Очки: %d", points);
    return std::strlen(out);
}
