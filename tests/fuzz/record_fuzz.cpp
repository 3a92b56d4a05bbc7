// Fuzzes the record reader twice per input, the bytes handed out in pieces
// of any size with NULs in the window past them, so that looking there shows:
//  - the input itself: only whole records, names ending within the name
//    area, never more record bytes than data;
//  - NUL-free damage from the input followed by whole records named from
//    it: every record is listed, the first perhaps with damage in front of
//    its name, the others exactly, and the damage never as a row of its own.
// ASan watches that nothing outside the data is read.
#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "scores/record.h"

namespace {

using Feed = std::tuple<const uint8_t *, size_t, size_t>; // next byte, bytes left, piece size

std::vector<std::string> List(const uint8_t *data, size_t size, size_t chunk)
{
    Feed feed = {data, size, chunk};
    static RecordReader reader;
    const auto supply = [](void *context, unsigned char *dst, size_t capacity) {
        auto &[next, left, piece] = *static_cast<Feed *>(context);
        const size_t n = std::min({left, capacity, piece});
        std::fill(std::copy_n(next, n, dst), dst + capacity, 0);
        return next += n, left -= n, n;
    };
    StartRecordReader(&reader, supply, &feed);
    std::vector<std::string> names;
    size_t bytes = 0;
    for (ScoreRecord record; NextRecord(&reader, &record);) {
        names.emplace_back(record.name, strnlen(record.name, RECORD_NAME_AREA));
        bytes += names.back().size() + RECORD_MIN;
        if (names.back().size() == RECORD_NAME_AREA || bytes > size) __builtin_trap();
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    List(data + 2, size - 2, data[0] * 17u + 1);
    // Byte 1 sets the length of the damage, taken from the bytes after it;
    // the rest gives the names, each a length byte and up to 31 bytes.
    const size_t damage = std::min<size_t>(data[1] * 3u, size - 2);
    std::string file(data + 2, data + 2 + damage);
    std::replace(file.begin(), file.end(), '\0', 'x');
    std::vector<std::string> names;
    for (size_t i = 2 + damage; i < size; i += 1 + data[i] % 32) {
        names.emplace_back(data + i + 1, data + std::min(size, i + 1 + data[i] % 32));
        std::replace(names.back().begin(), names.back().end(), '\0', 'n');
        unsigned char record[RECORD_MAX];
        const RecordTime time = {2002, 12, 4, 5, 9, 3, 7, 250};
        file.append(record, record + EncodeRecord(names.back().c_str(), int32_t(i), time, record));
    }
    const std::vector<std::string> listed =
        List(reinterpret_cast<const uint8_t *>(file.data()), file.size(), data[0] * 17u + 1);
    if (listed.size() != names.size()) __builtin_trap();
    for (size_t k = 0; k < names.size(); ++k) {
        const size_t front =
            k == 0 && listed[0].size() > names[0].size() ? listed[0].size() - names[0].size() : 0;
        if (listed[k].compare(front, std::string::npos, names[k]) != 0) __builtin_trap();
    }
    return 0;
}
