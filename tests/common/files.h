// Whole-file bytes and the records they hold, for the in-process and the
// black-box Windows tests alike.
#pragma once
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scores/record.h"

// The file's bytes; "" when it cannot be opened.
inline std::string ReadFileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Replaces the file with exactly these bytes.
inline void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
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
