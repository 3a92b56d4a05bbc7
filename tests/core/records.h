// Record bytes, and what a RecordReader lists from them: shared by the
// native tests and the fuzzer.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "scores/record.h"

constexpr RecordTime kRecordTime = {2002, 12, 4, 5, 9, 3, 7, 250}; // Thursday 5 Dec 2002 09:03:07.250

inline std::string Encode(const std::string &name, int32_t score, const RecordTime &time = kRecordTime)
{
    unsigned char out[RECORD_MAX];
    return std::string(out, out + EncodeRecord(name.c_str(), score, time, out));
}

// Reads data handed out `chunk` bytes at a time into rows and returns the
// separator an append puts before its record ("" when none). NULs fill the
// window past the data, so that a reader looking there finds false names; a
// name without its NUL, or a row that is not bytes of the data, aborts.
inline std::string ReadAll(const std::string &data, size_t chunk, std::vector<ScoreRecord> *rows)
{
    std::tuple<const std::string &, size_t, size_t> source = {data, 0, chunk}; // data, handed out, piece
    static RecordReader reader;                                                // 4 KB window: off the stack
    StartRecordReader(
        &reader,
        [](void *context, unsigned char *dst, size_t capacity) {
            auto &[from, at, piece] = *static_cast<decltype(source) *>(context);
            const size_t n = from.copy(reinterpret_cast<char *>(dst), std::min(capacity, piece), at);
            std::fill(dst + n, dst + capacity, 0);
            at += n;
            return n;
        },
        &source);
    for (ScoreRecord r; NextRecord(&reader, &r) == 1; rows->push_back(r))
        if (strnlen(r.name, RECORD_NAME_AREA) == RECORD_NAME_AREA ||
            data.find(Encode(r.name, r.score, r.time)) == std::string::npos)
            abort();
    unsigned char separator[RECORD_SEPARATOR];
    return std::string(separator, separator + (reader.trailing ? PutSeparator(separator) : 0));
}

// "name:score " for each record listed ("name:score~ " when its time is not
// kRecordTime), then "|" and, when an append puts a separator before its
// record, "+" and its length.
inline std::string List(const std::string &data, size_t chunk)
{
    std::vector<ScoreRecord> rows;
    const std::string separator = ReadAll(data, chunk, &rows);
    std::string out;
    for (const ScoreRecord &r : rows) {
        const bool other = memcmp(&r.time, &kRecordTime, sizeof r.time) != 0;
        out += std::string(r.name) + ":" + std::to_string(r.score) + (other ? "~ " : " ");
    }
    return out + "|" + (separator.empty() ? "" : "+" + std::to_string(separator.size()));
}
