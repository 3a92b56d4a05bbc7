// Model-based fuzzing of the record file. The input describes a file of whole
// records (names up to the 255 bytes the reader takes), damaged by bytes
// written over it or put into it (NULs among them), bytes deleted, a block
// duplicated or a bit flipped, and perhaps cut short at the end; the model
// knows where each record went and whether damage touched it. Two appends
// follow. The reader and the appends are held to it:
//  (a) an append changes no row listed before it;
//  (b) its record is then read back last, exactly;
//  (c) every record damage left intact is listed, in order, with at most
//      damaged bytes in front of its name (damage without a NUL cannot be
//      told from a name's start);
//  (d) no more distinct rows that are no record of the model than two per
//      damage span (the record it lands in, read whole with damaged bytes,
//      and the rest of that record with damaged bytes in front) and one for
//      a cut end.
// ASan watches that nothing outside the data is read.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>

#include "tests/core/records.h"

namespace {

std::string Encoded(const ScoreRecord &r)
{
    return Encode(r.name, r.score, r.time);
}

bool EndsWith(const std::string &s, const std::string &end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Appends the record as the program does, after the separator the listing
// asks for; traps unless the rows are those before and then it.
void Append(std::string &file, const std::string &added, size_t chunk)
{
    std::vector<ScoreRecord> before, after;
    file += ReadAll(file, chunk, &before) + added;
    ReadAll(file, chunk, &after);
    if (after.size() != before.size() + 1 || Encoded(after.back()) != added) __builtin_trap(); // (b)
    for (size_t i = 0; i < before.size(); ++i)
        if (Encoded(after[i]) != Encoded(before[i])) __builtin_trap(); // (a)
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const size_t chunk = in.ConsumeIntegralInRange<size_t>(1, 600);
    // Clock times that move a little from game to game, as a player's do.
    RecordTime time = kRecordTime;
    uint16_t *field = &time.year;
    const uint16_t low[8] = {1601, 1, 0, 1, 0, 0, 0, 0}, span[8] = {30827, 12, 7, 31, 24, 60, 60, 1000};
    std::string file;
    std::vector<std::string> model; // each record's bytes, its place, and
    std::vector<size_t> start;      // whether damage touched it
    std::vector<bool> broken;
    for (int i = in.ConsumeIntegralInRange(1, 24); i > 0; --i) {
        const int f = in.ConsumeIntegralInRange(0, 7);
        field[f] = uint16_t(low[f] + (field[f] - low[f] + in.ConsumeIntegral<uint8_t>()) % span[f]);
        std::string name = in.ConsumeRandomLengthString(in.ConsumeBool() ? 8 : 300).substr(0, 255);
        std::replace(name.begin(), name.end(), '\0', 'n');
        const int score =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 20) : in.ConsumeIntegral<uint16_t>();
        model.push_back(Encode(name, score, time));
        start.push_back(file.size());
        file += model.back();
    }
    broken.assign(model.size(), false);
    // Each span replaces the bytes [at, at + over) with `put`.
    const int spans = in.ConsumeIntegralInRange(0, 3);
    for (int s = 0; s < spans; ++s) {
        size_t at = in.ConsumeIntegralInRange<size_t>(0, file.size());
        // A few bytes (a record cut short) as often as up to 700.
        const size_t length = in.ConsumeIntegralInRange<size_t>(1, in.ConsumeBool() ? 3 : 700);
        size_t over = 0;
        std::string put;
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: // bytes written over
            put = in.ConsumeBytesAsString(length);
            over = std::min(put.size(), file.size() - at);
            break;
        case 1: // bytes put in
            put = in.ConsumeBytesAsString(length);
            break;
        case 2: // bytes deleted
            over = std::min(length, file.size() - at);
            break;
        case 3: // a block duplicated: its copy goes in after it
            put = file.substr(at, length);
            at += put.size();
            break;
        default: // a bit flipped
            if (at == file.size()) break;
            over = 1;
            put = std::string(1, char(file[at] ^ (1 << in.ConsumeIntegralInRange(0, 7))));
        }
        file.replace(at, over, put);
        for (size_t i = 0; i < model.size(); ++i) {
            const size_t end = start[i] + model[i].size();
            broken[i] = broken[i] || (start[i] < at + over && at < end && (over > 0 || at > start[i]));
            start[i] += start[i] >= at + over && (over > 0 || start[i] >= at) ? put.size() - over : 0;
        }
    }
    const bool cut = in.ConsumeBool();
    if (cut)
        file.resize(file.size() - std::min(file.size(), in.ConsumeIntegralInRange<size_t>(1, RECORD_MAX)));
    for (size_t i = 0; i < model.size(); ++i)
        broken[i] = broken[i] || start[i] + model[i].size() > file.size();

    std::vector<ScoreRecord> rows;
    ReadAll(file, chunk, &rows);
    // (c): each intact record, in order, ends a row of its own.
    size_t next = 0;
    for (size_t i = 0; i < model.size(); ++i) {
        if (broken[i]) continue;
        while (next < rows.size() && !EndsWith(Encoded(rows[next]), model[i]))
            ++next;
        if (next++ == rows.size()) __builtin_trap(); // (c)
    }
    // (d): rows that end no record of the model, each counted once (a
    // duplicated block repeats the rows in it).
    std::set<std::string> strangers;
    for (const ScoreRecord &row : rows)
        if (std::none_of(model.begin(), model.end(),
                         [&](const std::string &m) { return EndsWith(Encoded(row), m); }))
            strangers.insert(Encoded(row));
    if (strangers.size() > 2 * size_t(spans) + cut) __builtin_trap(); // (d)
    Append(file, Encode("Вера", 77, {2026, 12, 0, 6, 21, 5, 9, 31}), chunk);
    Append(file, Encode(std::string(255, 'W'), 65535, {2027, 1, 5, 1, 0, 0, 0, 0}), chunk);
    return 0;
}
