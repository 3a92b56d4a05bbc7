// The record file's bytes and the streaming reader: every cut of a file,
// damaged spots and what follows them; the "back" setting's value text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scores/record.h"
#include "settings/back_value.h"

namespace {

using Bytes = std::vector<unsigned char>;

const RecordTime kTime = {2002, 12, 4, 5, 9, 3, 7, 250}; // Thursday 5 Dec 2002 09:03:07.250

Bytes Encode(const std::string &name, int32_t score, const RecordTime &time = kTime)
{
    unsigned char out[RECORD_MAX];
    return Bytes(out, out + EncodeRecord(name.c_str(), score, time, out));
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Cut(Bytes a, size_t size)
{
    a.resize(size);
    return a;
}

// What a reader makes of data handed out `chunk` bytes at a time.
struct Listing
{
    std::vector<std::string> names;
    std::vector<unsigned> scores;
    size_t tail, held;
};

Listing ReadAll(const Bytes &data, size_t chunk)
{
    struct Source
    {
        const Bytes &data;
        size_t at, chunk;
    } source = {data, 0, chunk};
    auto read = [](void *context, unsigned char *dst, size_t capacity) {
        Source &s = *static_cast<Source *>(context);
        const size_t n = std::min({s.data.size() - s.at, capacity, s.chunk});
        std::copy_n(s.data.begin() + long(s.at), n, dst);
        std::fill_n(dst + n, capacity - n, 0); // a reader that looks past the data finds false names
        return s.at += n, n;
    };
    static RecordReader reader; // 4 KB window: off the test's stack
    StartRecordReader(&reader, read, &source);
    Listing out;
    ScoreRecord record;
    while (NextRecord(&reader, &record))
        out.names.push_back(record.name), out.scores.push_back(record.score);
    out.tail = reader.tail, out.held = reader.end - reader.pos;
    return out;
}

TEST(Record, KnownBytesNameLengthsAndScoreBits)
{
    const Bytes known = {0xC8, 0xED, 0xEA, 0xEE, 0xE3, 0xED, 0xE8, 0xF2, 0xEE, 0x00, 0x25, 0x00, 0xD2, 0x07,
                         0x0C, 0x00, 0x04, 0x00, 0x05, 0x00, 0x09, 0x00, 0x03, 0x00, 0x07, 0x00, 0xFA, 0x00};
    EXPECT_EQ(Encode("Инкогнито", 37), known);
    ScoreRecord record;
    ASSERT_EQ(DecodeRecord(known.data(), known.size(), &record), 28);
    EXPECT_STREQ(record.name, "Инкогнито");
    EXPECT_EQ(record.score, 37);
    EXPECT_EQ(0, memcmp(&record.time, &kTime, sizeof kTime));
    char date[RECORD_DATE_CAP];
    EXPECT_EQ(FormatRecordDate(record.time, date, sizeof date), 17);
    EXPECT_STREQ(date, "5.12.2002 в 9:3:7");

    EXPECT_EQ(Encode("", 1).size(), RECORD_MIN);
    EXPECT_EQ(Encode(std::string(300, 'x'), 1).size(), RECORD_MAX) << "cut to the 255 the reader takes";
    const std::string longest(255, '\xE9');
    const Listing l = ReadAll(Encode(longest, 65535) + Encode("", 70000) + Encode("c", -1), 4096);
    EXPECT_EQ(l.names, (std::vector<std::string>{longest, "", "c"}));
    EXPECT_EQ(l.scores, (std::vector<unsigned>{65535, 4464, 65535}));
}

TEST(Record, EveryCutOfAFileListsTheWholeRecordsBeforeIt)
{
    const Bytes a = Encode("Аня", 5), b = Encode("", 12), c = Encode(std::string(255, 'z'), 7);
    const Bytes file = a + b + c;
    const size_t starts[5] = {0, a.size(), a.size() + b.size(), file.size(), SIZE_MAX};
    for (size_t chunk : {size_t(1), size_t(7), RECORD_WINDOW})
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            const Listing l = ReadAll(Bytes(file.begin(), file.begin() + long(cut)), chunk);
            size_t whole = 0;
            while (starts[whole + 1] <= cut)
                ++whole;
            std::vector<unsigned> want = {5, 12, 7};
            want.resize(whole);
            ASSERT_EQ(l.scores, want) << "cut " << cut << ", chunk " << chunk;
            ASSERT_EQ(l.tail, cut > starts[whole] ? starts[whole] : RECORD_NO_TAIL) << "cut " << cut;
            ASSERT_EQ(l.held, cut - starts[whole]) << "the tail is held for the caller";
        }
}

TEST(Record, ListingGoesOnAfterADamagedSpot)
{
    const std::string x250(250, 'x'), x254(254, 'x');
    RecordTime bad = kTime;
    bad.month = 13;
    const struct
    {
        Bytes data;
        std::vector<std::string> names;
        size_t tail;
    } rows[] = {
        {Encode("first", 1) + Bytes(274, 'x') + Encode("after", 2) + Encode("later", 3),
         {"first", x250 + "after", "later"},
         RECORD_NO_TAIL},
        {Bytes(300, 'x') + Encode("a", 1), {x254 + "a"}, RECORD_NO_TAIL},
        {Bytes(3000, 'x') + Encode(std::string(255, 'n'), 1), {std::string(255, 'n')}, RECORD_NO_TAIL},
        {Encode("a", 1) + Bytes(1000, 'x'), {"a"}, RECORD_NO_TAIL}, // damage to the end
        {Encode("a", 1) + Bytes(1000, 'x') + Cut(Encode("b", 2), 10), {"a"}, RECORD_NO_TAIL},
        {Bytes(256, 'x') + Encode("bad", 1, bad) + Encode("ok", 2),
         {"ok"},
         RECORD_NO_TAIL}, // no false way back
        {Encode("a", 1) + Bytes(300, 'x') + Encode("b", 2) + Cut(Encode("c", 3), 5),
         {"a", x254 + "b"},
         20 + 300 + 20},
    };
    for (const auto &row : rows)
        for (size_t chunk : {size_t(1), size_t(7), RECORD_WINDOW}) {
            const Listing l = ReadAll(row.data, chunk);
            EXPECT_EQ(l.names, row.names) << "chunk " << chunk;
            EXPECT_EQ(l.tail, row.tail);
            EXPECT_EQ(l.held, 0u) << "no tail offset from record lengths after damage";
        }
}

TEST(Record, ALongFileWithDamageInTheMiddleThroughTheWindow)
{
    Bytes file;
    for (int i = 0; i < 4000; ++i) {
        const Bytes r = (i == 2000 ? Bytes(700, 0xFF) : Bytes()) + Encode("Игрок " + std::to_string(i), i);
        file.insert(file.end(), r.begin(), r.end());
    }
    for (size_t chunk : {size_t(13), RECORD_WINDOW}) {
        const Listing l = ReadAll(file, chunk);
        ASSERT_EQ(l.names.size(), 4000u);
        EXPECT_EQ(l.names[1999], "Игрок 1999");
        EXPECT_EQ(l.names[2001], "Игрок 2001");
        EXPECT_EQ(l.scores[3999], 3999u);
    }
}

TEST(Record, ValidTimes)
{
    const struct
    {
        uint16_t RecordTime::*field;
        uint16_t value;
        bool valid;
    } rows[] = {
        {&RecordTime::month, 0, false},
        {&RecordTime::month, 1, true},
        {&RecordTime::month, 12, true},
        {&RecordTime::month, 13, false},
        {&RecordTime::day, 0, false},
        {&RecordTime::day, 1, true},
        {&RecordTime::day, 31, true},
        {&RecordTime::day, 32, false},
        {&RecordTime::hour, 0, true},
        {&RecordTime::hour, 23, true},
        {&RecordTime::hour, 24, false},
        {&RecordTime::minute, 59, true},
        {&RecordTime::minute, 60, false},
        {&RecordTime::second, 59, true},
        {&RecordTime::second, 60, false},
        {&RecordTime::milliseconds, 999, true},
        {&RecordTime::milliseconds, 1000, false},
        {&RecordTime::year, 0, true},
        {&RecordTime::dayOfWeek, 65535, true},
    };
    for (const auto &row : rows) {
        RecordTime t = kTime;
        t.*row.field = row.value;
        EXPECT_EQ(IsValidRecordTime(t), row.valid) << row.value;
    }
}

TEST(BackValue, EncodesDecodesAndRejects)
{
    const struct
    {
        const char *text;
        int ok;
        uint32_t back;
    } rows[] = {
        {"00C80000C8", 1, 0x0000C800u}, {"9F0AB0015A", 1, 0x01B00A9Fu},
        {"9f0ab0015a", 1, 0x01B00A9Fu}, {"0102030A10", 1, 0x0A030201u}, // the fourth byte too
        {"FF80010081", 0, 0},           {"FF8001G080", 0, 0},
        {"FF800100 80", 0, 0},          {"FF8001008", 0, 0},
        {"FF800100800", 0, 0},          {"", 0, 0},
        {"FF80-10080", 0, 0},           {"9F8001008:", 0, 0},
        {"@F80010080", 0, 0},           {"`F80010080", 0, 0},
        {"gF80010080", 0, 0},           {"/F80010080", 0, 0},
    };
    for (const auto &row : rows) {
        uint32_t back = 0x12345678u;
        EXPECT_EQ(DecodeBackValue(row.text, &back), row.ok) << row.text;
        EXPECT_EQ(back, row.ok ? row.back : 0x12345678u) << row.text;
        char text[BACK_TEXT_CAP];
        EncodeBackValue(row.back, text);
        std::string upper = row.text;
        for (char &ch : upper)
            ch = char(toupper(ch));
        EXPECT_TRUE(!row.ok || text == upper) << text;
    }
}

} // namespace
