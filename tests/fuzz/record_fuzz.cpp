// Model-based fuzzing of the record file. The input describes a file of whole
// records with NUL-free damage written over it or put into it, and perhaps a
// cut last record; the model knows which record each byte came from. The
// reader and an append are held to it:
//  (a) an append never cuts a byte of a record that is still whole;
//  (b) the new record is then read back last, exactly;
//  (c) every row is a record of the model, in order, but for at most two
//      rows per damage span: a record it landed in that still reads whole
//      (a span put into a record's milliseconds leaves it valid), and the
//      record after it, which may carry damaged or displaced bytes in front
//      of its name.
// ASan watches that nothing outside the data is read.
#include <fuzzer/FuzzedDataProvider.h>

#include "tests/core/records.h"

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
        std::string name = in.ConsumeRandomLengthString(in.ConsumeBool() ? 8 : 300).substr(0, 254);
        std::replace(name.begin(), name.end(), '\0', 'n');
        const int score =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 20) : in.ConsumeIntegral<uint16_t>();
        model.push_back(Encode(name, score, time));
        start.push_back(file.size());
        file += model.back();
    }
    broken.assign(model.size(), false);
    const int spans = in.ConsumeIntegralInRange(0, 3);
    for (int s = 0; s < spans; ++s) {
        const bool inserted = in.ConsumeBool();
        const size_t at = in.ConsumeIntegralInRange<size_t>(0, file.size());
        std::string damage = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(1, 700)) + "x";
        std::replace(damage.begin(), damage.end(), '\0', 'x');
        const size_t over = inserted ? 0 : std::min(damage.size(), file.size() - at);
        file.replace(at, over, damage);
        for (size_t i = 0; i < model.size(); ++i) {
            const size_t end = start[i] + model[i].size();
            broken[i] = broken[i] || (start[i] < at + over && at < end && (over > 0 || at > start[i]));
            start[i] += start[i] >= at + over && (over > 0 || start[i] >= at) ? damage.size() - over : 0;
        }
    }
    file.resize(file.size() - (in.ConsumeBool()
                                   ? std::min(file.size(), in.ConsumeIntegralInRange<size_t>(1, RECORD_MAX))
                                   : 0));
    std::vector<ScoreRecord> rows, after;
    const AppendPlan plan = ReadAll(file, chunk, &rows);
    const std::string added = Encode("Вера", 77, {2026, 12, 0, 6, 21, 5, 9, 31});
    ReadAll(file.substr(0, plan.cut) + std::string(plan.separator, '\0') + added, chunk, &after);
    if (after.empty() || Encode(after.back().name, after.back().score, after.back().time) != added)
        __builtin_trap(); // (b)
    size_t next = 0, strangers = 0;
    for (const ScoreRecord &row : rows) {
        const auto j = std::find(model.begin() + next, model.end(), Encode(row.name, row.score, row.time));
        strangers += j == model.end();
        next = j == model.end() ? next : j - model.begin() + 1;
    }
    if (strangers > 2 * size_t(spans)) __builtin_trap(); // (c)
    for (size_t i = 0; i < model.size(); ++i)
        if (!broken[i] && plan.cut != RECORD_NO_TAIL && start[i] + model[i].size() <= file.size() &&
            start[i] + model[i].size() > plan.cut)
            __builtin_trap(); // (a)
    return 0;
}
