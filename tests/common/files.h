// Whole-file bytes and the records they hold, for the in-process and the
// black-box Windows tests alike.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "scores/record.h"

// The file's bytes; "" when it cannot be opened.
inline std::string ReadFileBytes(const std::string &path)
{
    std::string out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

// Replaces the file with exactly these bytes.
inline void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Every complete record at the start of the bytes; wholeBytes gets how many
// bytes they take (the rest is a truncated tail or a spot that is no record).
inline std::vector<ScoreRecord> Records(const std::string &bytes, size_t *wholeBytes = nullptr)
{
    std::vector<ScoreRecord> out;
    size_t at = 0;
    ScoreRecord record;
    int n;
    while ((n = DecodeRecord(reinterpret_cast<const unsigned char *>(bytes.data()) + at, bytes.size() - at,
                             &record)) > 0) {
        out.push_back(record);
        at += static_cast<size_t>(n);
    }
    if (wholeBytes) *wholeBytes = at;
    return out;
}
