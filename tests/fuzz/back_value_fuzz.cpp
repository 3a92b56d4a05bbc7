// Fuzzes the decoding of the "back" setting: any text either decodes to four
// bytes that encode back to the same text (up to letter case), or leaves the
// value untouched.
#include <cctype>
#include <cstring>

#include "settings/back_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char text[64] = {};
    std::memcpy(text, data, size < sizeof text - 1 ? size : sizeof text - 1);
    uint32_t back = 0xA5A5A5A5u;
    if (!DecodeBackValue(text, &back)) {
        if (back != 0xA5A5A5A5u) __builtin_trap(); // a failed decode wrote into the value
        return 0;
    }
    char again[BACK_TEXT_CAP];
    EncodeBackValue(back, again);
    for (int i = 0; i <= BACK_TEXT_LENGTH; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != again[i]) __builtin_trap();
    return 0;
}
