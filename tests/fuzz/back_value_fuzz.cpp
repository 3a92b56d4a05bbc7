// Fuzzes the decoding of the "back" setting: any text either decodes to four
// bytes that encode back to the same value (up to letter case), or leaves
// the value untouched.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "settings/back_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char text[64];
    size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    std::memcpy(text, data, n);
    text[n] = '\0';
    const uint32_t sentinel = 0xA5A5A5A5u;
    uint32_t back = sentinel;
    if (DecodeBackValue(text, &back)) {
        char again[BACK_TEXT_CAP];
        EncodeBackValue(back, again);
        if (std::strlen(text) != BACK_TEXT_LENGTH)
            __builtin_trap();
        for (int i = 0; i < BACK_TEXT_LENGTH; ++i)
            if (std::toupper(static_cast<unsigned char>(text[i])) != again[i])
                __builtin_trap();
    } else if (back != sentinel) {
        __builtin_trap(); // a failed decode wrote into the value
    }
    return 0;
}
