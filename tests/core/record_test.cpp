// The record file's bytes, the streaming reader over whole, cut and damaged
// files, and the "back" setting's value text.
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
    const size_t n = EncodeRecord(name.c_str(), score, time, out);
    return Bytes(out, out + n);
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A byte source handing out at most `chunk` bytes per call, so records are
// split across reads in every possible place.
struct ChunkSource
{
    const Bytes *data;
    size_t at;
    size_t chunk;
    static size_t Read(void *context, unsigned char *dst, size_t capacity)
    {
        auto *s = static_cast<ChunkSource *>(context);
        size_t n = s->data->size() - s->at;
        n = std::min(n, std::min(capacity, s->chunk));
        if (n > 0)
            memcpy(dst, s->data->data() + s->at, n);
        s->at += n;
        return n;
    }
};

struct Row
{
    std::string name;
    unsigned score;
};

std::vector<Row> ReadAll(const Bytes &data, size_t chunk = RECORD_WINDOW)
{
    ChunkSource source = {&data, 0, chunk};
    static RecordReader reader; // 4 KB window: keep it off the test's stack
    StartRecordReader(&reader, ChunkSource::Read, &source);
    std::vector<Row> rows;
    ScoreRecord record;
    while (NextRecord(&reader, &record))
        rows.push_back({record.name, record.score});
    return rows;
}

TEST(RecordBytes, KnownRecordAndItsFields)
{
    const Bytes expected = {0xC8, 0xED, 0xEA, 0xEE, 0xE3, 0xED, 0xE8, 0xF2, 0xEE, 0x00,
                            0x25, 0x00, 0xD2, 0x07, 0x0C, 0x00, 0x04, 0x00, 0x05, 0x00,
                            0x09, 0x00, 0x03, 0x00, 0x07, 0x00, 0xFA, 0x00};
    const Bytes bytes = Encode("Инкогнито", 37);
    EXPECT_EQ(bytes, expected);

    ScoreRecord record;
    ASSERT_EQ(DecodeRecord(bytes.data(), bytes.size(), &record), 28);
    EXPECT_STREQ(record.name, "Инкогнито");
    EXPECT_EQ(record.score, 37);
    EXPECT_EQ(0, memcmp(&record.time, &kTime, sizeof kTime));

    char date[RECORD_DATE_CAP];
    FormatRecordDate(record.time, date, sizeof date);
    EXPECT_STREQ(date, "5.12.2002 в 9:3:7");
}

TEST(RecordBytes, NameLengthsAndScoreBits)
{
    const Bytes empty = Encode("", 1);
    ASSERT_EQ(empty.size(), 19u);
    EXPECT_EQ(empty[0], 0);

    const std::string longName(255, '\xE9');
    const Bytes longest = Encode(longName, 100);
    ASSERT_EQ(longest.size(), RECORD_MAX);
    ScoreRecord record;
    ASSERT_EQ(DecodeRecord(longest.data(), longest.size(), &record), static_cast<int>(RECORD_MAX));
    EXPECT_EQ(std::string(record.name), longName);
    // Longer names are cut to what the reader takes.
    EXPECT_EQ(Encode(std::string(300, 'x'), 1).size(), RECORD_MAX);

    const std::vector<Row> rows = ReadAll(Encode("a", 65535) + Encode("b", 70000) + Encode("c", -1));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].score, 65535u);
    EXPECT_EQ(rows[1].score, 4464u);
    EXPECT_EQ(rows[2].score, 65535u);
}

TEST(RecordReader, EveryCutOfThreeRecordsKeepsOnlyCompleteOnes)
{
    const Bytes a = Encode("Аня", 5), b = Encode("", 12), c = Encode(std::string(255, 'z'), 7);
    const Bytes file = a + b + c;
    const size_t ends[3] = {a.size(), a.size() + b.size(), file.size()};
    for (size_t chunk : {size_t(1), size_t(7), size_t(RECORD_WINDOW)})
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            const Bytes part(file.begin(), file.begin() + static_cast<long>(cut));
            size_t complete = 0;
            while (complete < 3 && ends[complete] <= cut)
                ++complete;
            const std::vector<Row> rows = ReadAll(part, chunk);
            ASSERT_EQ(rows.size(), complete) << "cut " << cut << " chunk " << chunk;
            const unsigned scores[3] = {5, 12, 7};
            for (size_t i = 0; i < complete; ++i)
                EXPECT_EQ(rows[i].score, scores[i]);
        }
}

TEST(RecordReader, NameWithoutNulStopsAfterTheRecordsBeforeIt)
{
    const Bytes first = Encode("first", 1), after = Encode("after", 2);
    const Bytes file = first + Bytes(274, 'x') + after;
    for (size_t chunk : {size_t(3), size_t(RECORD_WINDOW)}) {
        const std::vector<Row> rows = ReadAll(file, chunk);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].name, "first");
    }
    // The bad spot alone, exactly 274 bytes long.
    ScoreRecord record;
    const Bytes bad(274, 'x');
    EXPECT_EQ(DecodeRecord(bad.data(), bad.size(), &record), -1);
    EXPECT_TRUE(ReadAll(bad).empty());
}

TEST(RecordReader, LongFileThroughTheWindow)
{
    Bytes file;
    for (int i = 0; i < 10000; ++i) {
        const Bytes r = Encode("Игрок " + std::to_string(i), i + 1);
        file.insert(file.end(), r.begin(), r.end());
    }
    EXPECT_GT(file.size(), 250000u);
    for (size_t chunk : {size_t(13), size_t(RECORD_WINDOW)}) {
        const std::vector<Row> rows = ReadAll(file, chunk);
        ASSERT_EQ(rows.size(), 10000u);
        EXPECT_EQ(rows[9999].name, "Игрок 9999");
        EXPECT_EQ(rows[9999].score, 10000u);
    }
}

TEST(BackValue, EncodesAndDecodes)
{
    char text[BACK_TEXT_CAP];
    EncodeBackValue(0x0000C800u, text);
    EXPECT_STREQ(text, "00C80000C8");
    EncodeBackValue(0x000180FFu, text); // blue 255, green 128, red 1
    EXPECT_STREQ(text, "FF80010080");

    uint32_t back = 0;
    ASSERT_EQ(DecodeBackValue("FF80010080", &back), 1);
    EXPECT_EQ(back, 0x000180FFu);
    ASSERT_EQ(DecodeBackValue("ff80010080", &back), 1);
    EXPECT_EQ(back, 0x000180FFu);
    ASSERT_EQ(DecodeBackValue("0102030A10", &back), 1);
    EXPECT_EQ(back, 0x0A030201u); // the fourth byte is carried too
}

TEST(BackValue, RejectsAndKeepsTheOldValue)
{
    for (const char *bad : {"FF80010081", "FF8001G080", "FF800100 80", "FF8001008", "FF8001008000",
                            "FF800100800", "", "FF80-10080"}) {
        uint32_t back = 0x12345678u;
        EXPECT_EQ(DecodeBackValue(bad, &back), 0) << bad;
        EXPECT_EQ(back, 0x12345678u) << bad;
    }
}

} // namespace
