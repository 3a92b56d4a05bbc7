// One record of the record file kuvex.rec: its byte layout, and reading
// records one after another from a byte source through a fixed window.
// Pure code: no platform calls, no heap.
//
// A record: the name bytes (no NUL among them), a NUL, the score as an
// unsigned 16-bit value, then the eight unsigned 16-bit fields of the local
// time; all little-endian, L + 19 bytes for a name of L bytes.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t RECORD_NAME_AREA = 256; // the longest name the reader takes (255) and its NUL
constexpr size_t RECORD_SCORE_SIZE = 2;
constexpr size_t RECORD_TIME_SIZE = 16;
constexpr size_t RECORD_MIN = 1 + RECORD_SCORE_SIZE + RECORD_TIME_SIZE;                // empty name: 19
constexpr size_t RECORD_MAX = RECORD_NAME_AREA + RECORD_SCORE_SIZE + RECORD_TIME_SIZE; // 274

// The local time of a record, field for field a SYSTEMTIME.
struct RecordTime
{
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek; // 0 = Sunday
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

// The in-memory image of one record.
struct ScoreRecord
{
    char name[RECORD_NAME_AREA]; // NUL-terminated
    uint16_t score;
    RecordTime time;
};
static_assert(sizeof(RecordTime) == RECORD_TIME_SIZE, "RecordTime must match SYSTEMTIME");
static_assert(sizeof(ScoreRecord) == RECORD_MAX, "ScoreRecord is the longest record");

// Writes the record of name (cut to 255 bytes if longer), the low 16 bits of
// score and time into out (RECORD_MAX bytes) and returns its length.
size_t EncodeRecord(const char *name, int32_t score, const RecordTime &time, unsigned char *out);

// Decodes the record at the start of data, looking at no more than the
// `available` bytes there.
//  > 0: a complete record is in out; the result is its length.
//    0: incomplete: the record would end past `available` (more bytes needed,
//       or a truncated tail when there are no more).
//   -1: not a record: no NUL within the name area although that many bytes
//       are available (a name the reader cannot take, or damaged bytes).
int DecodeRecord(const unsigned char *data, size_t available, ScoreRecord *out);

// Formats the record's date and time as "day.month.year в hour:minute:second"
// without leading zeros ("5.12.2002 в 9:3:7") into out of cap bytes
// (RECORD_DATE_CAP always suffices); returns the text length.
constexpr size_t RECORD_DATE_CAP = 64;
int FormatRecordDate(const RecordTime &time, char *out, size_t cap);

// Supplies up to capacity bytes at dst; the number stored, 0 at the end of
// the data or on a failure.
typedef size_t (*RecordSource)(void *context, unsigned char *dst, size_t capacity);

constexpr size_t RECORD_WINDOW = 4096; // bytes held at a time; room for three records' lookahead

// Whether a record's time could have come from the clock: year 1601..30827
// (the clock's own range), month 1..12, day of the week 0..6, day 1..31, hour
// below 24, minute and second below 60, milliseconds below 1000.
bool IsValidRecordTime(const RecordTime &time);

// Streams records out of a RecordSource of any length through a fixed window.
struct RecordReader
{
    RecordSource source;
    void *context;
    unsigned char window[RECORD_WINDOW];
    size_t pos;       // start of the undecoded bytes
    size_t end;       // end of the bytes held
    size_t base;      // data offset of window[0]
    size_t listedEnd; // data offset just past the last record listed (0 before any)
    bool trailing;    // once stopped: bytes follow the last record listed (a tail or damage)
    bool atEnd;       // the source has nothing more
    bool halted;      // the end of the data was met
    bool damaged;     // inside a damaged spot, looking for the next record
};

void StartRecordReader(RecordReader *reader, RecordSource source, void *context);
// 1 with the next complete record in out; 0 when there is none.
// A record is whole and has a valid time; anything else is damage. A whole
// record followed neither by the end of the data nor by another whole record
// may be a damaged one, when another starts inside it, outlasts it and is
// followed by a whole record (after damage, by the end of the data as well):
// a record cut a few bytes short reads whole with the next one's first bytes
// as its last. In step both are listed, the cut one first; after damage only
// the inner one. Damage is passed over: reading goes on at the first
// following position where a record is taken; so records written after the
// damage are listed. That first record may carry damaged bytes in front of
// its name, every later one is exact. Damaged bytes are never a record of
// their own.
// Once it has returned 0, `trailing` tells whether bytes follow the last
// record listed (at `listedEnd`).
int NextRecord(RecordReader *reader, ScoreRecord *out);

// Written in front of a new record when bytes follow the last record listed
// (a cut-short record, damage) or the end of the file is not proven: 0xFF
// bytes that make any record cut short there end in an invalid time, then
// NULs no whole record is read across, so the new record reads back whole
// and last, and no byte already there changes.
constexpr size_t RECORD_SEPARATOR_FF = RECORD_MIN - 1;
constexpr size_t RECORD_SEPARATOR = 2 * RECORD_MIN - 1;

// Writes the separator into out (RECORD_SEPARATOR bytes); its length.
size_t PutSeparator(unsigned char *out);
