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
    return time.year >= 1601 && time.year <= 30827 && time.month >= 1 && time.month <= 12 &&
           time.dayOfWeek <= 6 && time.day >= 1 && time.day <= 31 && time.hour < 24 && time.minute < 60 &&
           time.second < 60 && time.milliseconds < 1000;
}

void StartRecordReader(RecordReader *reader, RecordSource source, void *context)
{
    reader->source = source;
    reader->context = context;
    reader->pos = 0;
    reader->end = 0;
    reader->base = 0;
    reader->listedEnd = 0;
    reader->trailing = false;
    reader->atEnd = false;
    reader->halted = false;
    reader->damaged = false;
}

namespace {

// Every decision looks at most at a record, one that starts inside it, and
// the one after that.
constexpr size_t LOOKAHEAD = 3 * RECORD_MAX;
static_assert(RECORD_WINDOW >= 2 * LOOKAHEAD, "the window must hold the lookahead");

// Until LOOKAHEAD bytes from pos are held or the source has nothing more:
// moves the bytes from pos to the front of the window and asks the source
// for as many more as fit.
void Fill(RecordReader *reader)
{
    while (reader->end - reader->pos < LOOKAHEAD && !reader->atEnd) {
        memmove(reader->window, reader->window + reader->pos, reader->end - reader->pos);
        reader->base += reader->pos;
        reader->end -= reader->pos;
        reader->pos = 0;
        const size_t room = RECORD_WINDOW - reader->end;
        const size_t got = reader->source(reader->context, reader->window + reader->end, room);
        if (got == 0)
            reader->atEnd = true;
        else
            reader->end += got < room ? got : room;
    }
}

// The length of the whole record with a valid time at window offset at, or 0.
size_t WholeAt(const RecordReader *reader, size_t at, ScoreRecord *out)
{
    const int n = DecodeRecord(reader->window + at, reader->end - at, out);
    return n > 0 && IsValidRecordTime(out->time) ? static_cast<size_t>(n) : 0;
}

// Whether another whole record with a valid time follows at window offset
// at, or the end of the data: to an append the two are alike, since its
// record turns the one into the other.
bool Followed(const RecordReader *reader, size_t at)
{
    ScoreRecord scratch;
    return (at == reader->end && reader->atEnd) || WholeAt(reader, at, &scratch) > 0;
}

// The start of the first whole record with a valid time in [from, to) that
// ends past `to` and, when `followed`, is followed by another or the end
// (see Followed); `to` when there is none.
size_t Inner(const RecordReader *reader, size_t from, size_t to, bool followed)
{
    ScoreRecord scratch;
    for (size_t at = from; at < to; ++at) {
        const size_t n = WholeAt(reader, at, &scratch);
        if (n > 0 && at + n > to && (!followed || Followed(reader, at + n))) return at;
    }
    return to;
}

void Halt(RecordReader *reader)
{
    reader->halted = true;
    reader->trailing = reader->base + reader->end > reader->listedEnd;
}

} // namespace

int NextRecord(RecordReader *reader, ScoreRecord *out)
{
    while (!reader->halted) {
        Fill(reader);
        const size_t pos = reader->pos;
        if (pos == reader->end) {
            Halt(reader);
            break;
        }
        const size_t n = WholeAt(reader, pos, out);
        // A record followed by neither a record nor the end may be a damaged
        // or cut-short one whose "time" runs into the next record: so when
        // another starts inside it and outlasts it. In step it is listed all
        // the same (cut a few bytes short, it keeps its name, score and
        // date) and reading goes on at that inner record, whatever follows
        // that (a record cut short before one with an empty name, then
        // damage, must not cost the intact one in between); after damage it
        // is passed over for the inner one, which must then be followed by
        // a record or the end.
        const size_t next = n == 0 || Followed(reader, pos + n)
                                ? pos + n
                                : Inner(reader, pos + 1, pos + n, reader->damaged);
        if (n > 0 && (!reader->damaged || next == pos + n)) {
            reader->pos = next;
            reader->listedEnd = reader->base + pos + n;
            reader->damaged = false;
            return 1;
        }
        if (!reader->damaged && DecodeRecord(reader->window + pos, reader->end - pos, out) == 0) {
            // A truncated tail: fewer bytes than its record needs are left.
            Halt(reader);
            break;
        }
        reader->damaged = true;
        reader->pos = pos + 1;
    }
    return 0;
}

size_t PutSeparator(unsigned char *out)
{
    memset(out, 0xFF, RECORD_SEPARATOR_FF);
    memset(out + RECORD_SEPARATOR_FF, 0, RECORD_SEPARATOR - RECORD_SEPARATOR_FF);
    return RECORD_SEPARATOR;
}
