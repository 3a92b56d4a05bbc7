// The text of the "back" setting, as the platform's structure writer makes
// it when the settings are saved: the four background bytes (blue, green,
// red, fourth byte), each as two uppercase hex digits, high nibble first,
// then a checksum byte, the sum of the four modulo 256, the same way:
// always 10 characters ("00C80000C8").
// Pure code.
#pragma once
#include <cstdint>

constexpr int BACK_TEXT_LENGTH = 10;
constexpr int BACK_TEXT_CAP = BACK_TEXT_LENGTH + 1;

// Decodes a NUL-terminated value text: 1 with the four bytes in *back when
// it is exactly 10 hex digits (either letter case, as the platform takes
// them) whose last two match the checksum of the first eight; otherwise 0,
// and *back is left as it was.
int DecodeBackValue(const char *text, uint32_t *back);
