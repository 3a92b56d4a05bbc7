// Fuzzes the record reader: any bytes, fed in pieces of any size, must give
// only complete records whose names end within the name area, and never a
// read outside the data (ASan watches).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scores/record.h"

namespace {

struct Feed
{
    const uint8_t *data;
    size_t size;
    size_t chunk; // pieces of varying size exercise the window refill
};

size_t Supply(void *context, unsigned char *dst, size_t capacity)
{
    Feed *f = static_cast<Feed *>(context);
    size_t n = f->size < capacity ? f->size : capacity;
    if (n > f->chunk)
        n = f->chunk;
    std::memcpy(dst, f->data, n);
    f->data += n;
    f->size -= n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Feed feed = {data + 1, size - 1, static_cast<size_t>(data[0]) * 17 + 1};
    RecordReader reader;
    StartRecordReader(&reader, Supply, &feed);
    ScoreRecord rec;
    size_t consumed = 0;
    while (NextRecord(&reader, &rec)) {
        size_t len = strnlen(rec.name, RECORD_NAME_AREA);
        if (len >= RECORD_NAME_AREA)
            __builtin_trap(); // a name without its NUL got through
        consumed += len + RECORD_MIN;
        if (consumed > size - 1)
            __builtin_trap(); // more records than bytes
        char date[RECORD_DATE_CAP];
        FormatRecordDate(rec.time, date, sizeof date);
    }
    // Decoding straight from the buffer must agree on the first record.
    ScoreRecord direct;
    int n = DecodeRecord(data + 1, size - 1, &direct);
    if (n > 0 && static_cast<size_t>(n) > size - 1)
        __builtin_trap();
    return 0;
}
