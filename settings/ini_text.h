// Finding a key's value among the raw bytes of a settings file, for the one
// case the platform's profile functions cannot serve: a name's 1251 bytes
// on a system whose ANSI code page takes two bytes a letter. Pure code.
#pragma once
#include <cstddef>

// Looks in text (size bytes, any bytes) for the first line "key=value" of
// the first section "[section]", both matched as the profile functions
// match them: ASCII letters in either case, blanks around them skipped;
// lines end at CR or LF. 1 with the value's bytes at text[*begin, *end)
// (blanks around it and a pair of quotes enclosing it left out, as the
// profile functions leave them out), 0 when there is none.
int FindIniValue(const char *text, size_t size, const char *section, const char *key, size_t *begin,
                 size_t *end);
