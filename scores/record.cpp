// The record file's byte layout and the streaming reader (see record.h).
#include "scores/record.h"

#include <cstdio>
#include <cstring>

namespace {

void PutU16(unsigned char *p, unsigned v)
{
    p[0] = static_cast<unsigned char>(v & 0xFFu);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFFu);
}

uint16_t GetU16(const unsigned char *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

size_t EncodeRecord(const char *name, int32_t score, const RecordTime &time, unsigned char *out)
{
    size_t length = 0;
    while (length < RECORD_NAME_AREA - 1 && name[length] != '\0')
        ++length;
    memcpy(out, name, length);
    unsigned char *p = out + length;
    *p++ = 0;
    PutU16(p, static_cast<uint32_t>(score) & 0xFFFFu);
    p += RECORD_SCORE_SIZE;
    const uint16_t fields[8] = {time.year, time.month,  time.dayOfWeek, time.day,
                                time.hour, time.minute, time.second,    time.milliseconds};
    for (uint16_t f : fields) {
        PutU16(p, f);
        p += 2;
    }
    return static_cast<size_t>(p - out);
}

int DecodeRecord(const unsigned char *data, size_t available, ScoreRecord *out)
{
    const size_t look = available < RECORD_NAME_AREA ? available : RECORD_NAME_AREA;
    const void *nul = memchr(data, 0, look);
    if (nul == nullptr) return look == RECORD_NAME_AREA ? -1 : 0;
    const size_t length = static_cast<size_t>(static_cast<const unsigned char *>(nul) - data);
    const size_t total = length + RECORD_MIN;
    if (total > available) return 0;
    memcpy(out->name, data, length + 1);
    const unsigned char *p = data + length + 1;
    out->score = GetU16(p);
    p += RECORD_SCORE_SIZE;
    uint16_t fields[8];
    for (uint16_t &f : fields) {
        f = GetU16(p);
        p += 2;
    }
    out->time =
        RecordTime{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7]};
    return static_cast<int>(total);
}

int FormatRecordDate(const RecordTime &time, char *out, size_t cap)
{
    const int n = snprintf(out, cap, "%d.%d.%d в %d:%d:%d", time.day, time.month, time.year, time.hour,
                           time.minute, time.second);
    return n < 0 ? 0 : n;
}

bool IsValidRecordTime(const RecordTime &time)
{
    return time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 && time.hour < 24 &&
           time.minute < 60 && time.second < 60 && time.milliseconds < 1000;
}

void StartRecordReader(RecordReader *reader, RecordSource source, void *context)
{
    reader->source = source;
    reader->context = context;
    reader->pos = 0;
    reader->end = 0;
    reader->base = 0;
    reader->tail = RECORD_NO_TAIL;
    reader->atEnd = false;
    reader->halted = false;
    reader->damaged = false;
}

namespace {

// Moves the undecoded bytes to the front of the window and asks the source
// for as many more as fit.
void FillWindow(RecordReader *reader)
{
    const size_t held = reader->end - reader->pos;
    memmove(reader->window, reader->window + reader->pos, held);
    reader->base += reader->pos;
    reader->pos = 0;
    reader->end = held;
    const size_t got = reader->source(reader->context, reader->window + held, RECORD_WINDOW - held);
    if (got == 0)
        reader->atEnd = true;
    else
        reader->end += got < RECORD_WINDOW - held ? got : RECORD_WINDOW - held;
}

} // namespace

int NextRecord(RecordReader *reader, ScoreRecord *out)
{
    static_assert(RECORD_WINDOW >= RECORD_MAX, "the window must hold the longest record");
    while (!reader->halted) {
        const int n = DecodeRecord(reader->window + reader->pos, reader->end - reader->pos, out);
        // Inside damage any NUL may end a false name: only a valid time
        // shows the way back into the records.
        if (n > 0 && (!reader->damaged || IsValidRecordTime(out->time))) {
            reader->pos += static_cast<size_t>(n);
            reader->damaged = false;
            return 1;
        }
        if (n == 0 && !reader->atEnd) {
            // Incomplete: fewer than RECORD_MAX bytes are held, so after
            // moving them to the front there is room for more.
            FillWindow(reader);
        } else if (n == 0) {
            reader->halted = true;
            if (!reader->damaged && reader->end > reader->pos) reader->tail = reader->base + reader->pos;
        } else {
            // No record starts here; try the next byte.
            reader->damaged = true;
            ++reader->pos;
        }
    }
    return 0;
}
