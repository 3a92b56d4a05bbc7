// Fuzzes the record reader twice per input, the bytes handed out in pieces
// of any size with NULs in the window past them (see List):
//  - the input itself: only whole records, names ending within the name
//    area, never more record bytes than data;
//  - NUL-free damage from the input followed by whole records named from
//    it: every record is listed, the first perhaps with damage in front of
//    its name, the others exactly, and the damage never as a row of its own.
// ASan watches that nothing outside the data is read.
#include "tests/core/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    const size_t chunk = data[0] * 17u + 1;
    List(std::string(data + 2, data + size), chunk);
    // Byte 1 sets the length of the damage, taken from the bytes after it;
    // the rest gives the names, each a length byte and up to 31 bytes.
    const size_t damage = std::min<size_t>(data[1] * 3u, size - 2);
    std::string file(data + 2, data + 2 + damage), records;
    std::replace(file.begin(), file.end(), '\0', 'x');
    size_t made = 0, listed = 0;
    for (size_t i = 2 + damage; i < size; i += 1 + data[i] % 32, ++made) {
        records += Encode(std::string(data + i + 1, data + std::min(size, i + 1 + data[i] % 32)), int32_t(i));
    }
    std::string got = List(file + records, chunk, &listed), want = List(records, chunk);
    got.resize(got.rfind('|')), want.resize(want.rfind('|')); // the rows only
    const bool ends =
        got.size() >= want.size() && got.compare(got.size() - want.size(), want.size(), want) == 0;
    if (listed != made || !ends) __builtin_trap();
    return 0;
}
