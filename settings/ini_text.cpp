// A key's value among the raw bytes of a settings file (see ini_text.h).
#include "settings/ini_text.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Narrows [*from, *to) of text past the blanks at both ends.
void TrimBlanks(const char *text, size_t *from, size_t *to)
{
    while (*from < *to && IsBlank(text[*from]))
        ++*from;
    while (*to > *from && IsBlank(text[*to - 1]))
        --*to;
}

// Whether text[from, to), blanks around it skipped, is word in either case.
bool IsWord(const char *text, size_t from, size_t to, const char *word)
{
    TrimBlanks(text, &from, &to);
    for (; from < to && *word; ++from, ++word)
        if (Lower(text[from]) != Lower(*word)) return false;
    return from == to && !*word;
}

} // namespace

int FindIniValue(const char *text, size_t size, const char *section, const char *key, size_t *begin,
                 size_t *end)
{
    bool inSection = false;
    for (size_t at = 0, next = 0; at < size; at = next + 1) {
        for (next = at; next < size && text[next] != '\r' && text[next] != '\n';)
            ++next;
        size_t from = at, to = next;
        TrimBlanks(text, &from, &to);
        if (from < to && text[from] == '[') {
            // Only the first section of that name is read.
            if (inSection) return 0;
            size_t close = from + 1;
            while (close < to && text[close] != ']')
                ++close;
            inSection = IsWord(text, from + 1, close, section);
            continue;
        }
        size_t equals = from;
        while (equals < to && text[equals] != '=')
            ++equals;
        if (!inSection || equals == to || !IsWord(text, from, equals, key)) continue;
        from = equals + 1;
        TrimBlanks(text, &from, &to);
        const bool quoted = to - from >= 2 && text[from] == '"' && text[to - 1] == '"';
        *begin = from + quoted;
        *end = to - quoted;
        return 1;
    }
    return 0;
}
