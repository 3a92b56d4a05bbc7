// Whole-file bytes, records and bitmap files, for the in-process and the
// black-box Windows tests alike.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The file's bytes; "" when it cannot be opened. The path is narrow or wide.
template <class Path> std::string ReadFileBytes(const Path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Replaces the file with exactly these bytes.
template <class Path> void WriteFileBytes(const Path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A record put together by hand: the name, a NUL, then score, year, month,
// day of the week, day, hour, minute, second and milliseconds, 16 bits each,
// little-endian as this processor is.
inline std::string Record(const std::string &name, std::vector<uint16_t> v)
{
    return name + '\0' + std::string(reinterpret_cast<const char *>(v.data()), 2 * v.size());
}

// A bitmap file of w x h pixels at `bits` per pixel: its headers, a colour
// table (up to 8 bits) and, when `rows`, its pixel rows all of byte `fill`.
inline std::string BitmapFile(uint32_t w, uint32_t h, uint32_t bits, char fill, bool rows = true)
{
    const uint32_t table = bits <= 8 ? 4u << bits : 0, pixels = (w * bits + 31) / 32 * 4 * h;
    const uint32_t f[] = {
        54 + table + pixels, 0, 54 + table, 40, w, h, 1 | bits << 16, 0, pixels, 2835, 2835, 0, 0};
    return "BM" + std::string(reinterpret_cast<const char *>(f), sizeof f) + std::string(table, fill) +
           (rows ? std::string(pixels, fill) : "");
}
