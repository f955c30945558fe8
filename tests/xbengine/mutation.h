#pragma once
// The damage the fuzz targets do to table files: whole files loaded and
// saved, and a few random edits (a random byte, a flipped bit, a byte set
// to 0x00 or 0xFF, or a cut) within the first `region` bytes.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using FileBytes = std::vector<unsigned char>;

inline FileBytes Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Save(const std::string& path, const FileBytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void Mutate(FileBytes& bytes, std::mt19937& random, std::size_t region)
{
    if (bytes.empty())
        return;
    region = std::min(region, bytes.size());
    int edits = 1 + int(random() % 4);
    for (int i = 0; i < edits; ++i) {
        std::size_t at = random() % region;
        switch (random() % 4) {
        case 0: bytes[at] = static_cast<unsigned char>(random()); break;
        case 1: bytes[at] ^= static_cast<unsigned char>(1u << (random() % 8)); break;
        case 2: bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
        default: bytes.resize(random() % bytes.size()); return;
        }
    }
}
