#pragma once
// CRC-32C (the Castagnoli polynomial) of byte runs, eight bytes at a step:
// with the processor's CRC instruction where it has one, else from tables
// (slicing by eight; long runs three streams at a time). Both give the same
// value; Crc32cPortable is always the tables.
// It finds every error of up to three bits and every burst of up to 32 bits
// in a run the size of a journal entry.

#include <cstddef>
#include <cstdint>

// The CRC of the bytes continued from crc (0 to start; the result of an
// earlier run to go on from it).
std::uint32_t Crc32c(std::uint32_t crc, const void* bytes, std::size_t size);
std::uint32_t Crc32cPortable(std::uint32_t crc, const void* bytes, std::size_t size);
