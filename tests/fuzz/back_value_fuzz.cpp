// Fuzzes the decoding of the "back" setting: any text either decodes to four
// bytes that encode back to the same text (up to letter case), or leaves the
// value untouched.
#include <cstring>
#include <string>
#include <strings.h>

#include "settings/back_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size); // up to its first NUL
    uint32_t back = 0xA5A5A5A5u;
    char again[BACK_TEXT_CAP];
    if (!DecodeBackValue(text.c_str(), &back)) {
        if (back != 0xA5A5A5A5u) __builtin_trap(); // a failed decode wrote into the value
    } else if (EncodeBackValue(back, again), strcasecmp(again, text.c_str()) != 0) {
        __builtin_trap();
    }
    return 0;
}
