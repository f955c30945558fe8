#include "platform/xbengine/crc32c.h"

#include <array>
#include <cstring>

namespace {

constexpr std::uint32_t Polynomial = 0x82F63B78u;  // reflected

// Tables[k][b]: the CRC of byte b followed by k zero bytes.
constexpr std::array<std::array<std::uint32_t, 256>, 8> MakeTables()
{
    std::array<std::array<std::uint32_t, 256>, 8> tables {};
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t crc = b;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ Polynomial : crc >> 1;
        tables[0][b] = crc;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t b = 0; b < 256; ++b)
            tables[k][b] = (tables[k - 1][b] >> 8) ^ tables[0][tables[k - 1][b] & 0xFF];
    return tables;
}

constexpr auto Tables = MakeTables();

std::uint64_t LoadLE64(const unsigned char* p)
{
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i)
        word = word << 8 | p[i];
    return word;
}

std::uint32_t TablesUpdate(std::uint32_t crc, const unsigned char* p, std::size_t size)
{
    for (; size >= 8; p += 8, size -= 8) {
        std::uint64_t word = LoadLE64(p) ^ crc;
        crc = Tables[7][word & 0xFF] ^ Tables[6][(word >> 8) & 0xFF] ^ Tables[5][(word >> 16) & 0xFF] ^
              Tables[4][(word >> 24) & 0xFF] ^ Tables[3][(word >> 32) & 0xFF] ^
              Tables[2][(word >> 40) & 0xFF] ^ Tables[1][(word >> 48) & 0xFF] ^ Tables[0][word >> 56];
    }
    for (; size > 0; ++p, --size)
        crc = (crc >> 8) ^ Tables[0][(crc ^ *p) & 0xFF];
    return crc;
}

#if defined(__x86_64__)
// Long runs go three streams at a time: the instruction takes three cycles
// to give its result but starts one every cycle, so two more streams cost
// little. Each stream has Stride bytes; the three CRCs are then joined: the
// CRC of a run followed by Stride more bytes is that of the run carried over
// Stride zero bytes, XOR the CRC of those bytes alone.
constexpr std::size_t Stride = 4096;

__attribute__((target("sse4.2"))) std::uint64_t InstructionStep(std::uint64_t wide, const unsigned char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return __builtin_ia32_crc32di(wide, word);
}

// Carries a CRC over Stride zero bytes, a byte of it at a time:
// CarryTables[k][b] carries b placed at byte k.
struct CarryTables {
    std::uint32_t Table[4][256];
};

__attribute__((target("sse4.2"))) CarryTables MakeCarryTables()
{
    // The carry is linear: the tables are sums of the carried single bits.
    std::uint32_t bits[32];
    const unsigned char zeros[8] = {};
    for (int bit = 0; bit < 32; ++bit) {
        std::uint64_t wide = std::uint32_t(1) << bit;
        for (std::size_t i = 0; i < Stride; i += 8)
            wide = InstructionStep(wide, zeros);
        bits[bit] = std::uint32_t(wide);
    }
    CarryTables tables {};
    for (int k = 0; k < 4; ++k)
        for (std::uint32_t b = 0; b < 256; ++b)
            for (int bit = 0; bit < 8; ++bit)
                if (b >> bit & 1)
                    tables.Table[k][b] ^= bits[8 * k + bit];
    return tables;
}

std::uint32_t Carry(const CarryTables& tables, std::uint32_t crc)
{
    return tables.Table[0][crc & 0xFF] ^ tables.Table[1][(crc >> 8) & 0xFF] ^
           tables.Table[2][(crc >> 16) & 0xFF] ^ tables.Table[3][crc >> 24];
}

__attribute__((target("sse4.2"))) std::uint32_t InstructionUpdate(std::uint32_t crc, const unsigned char* p,
                                                                  std::size_t size)
{
    std::uint64_t wide = crc;
    if (size >= 3 * Stride) {
        static const CarryTables tables = MakeCarryTables();
        for (; size >= 3 * Stride; p += 3 * Stride, size -= 3 * Stride) {
            std::uint64_t first = wide, second = 0, third = 0;
            for (std::size_t i = 0; i < Stride; i += 8) {
                first = InstructionStep(first, p + i);
                second = InstructionStep(second, p + Stride + i);
                third = InstructionStep(third, p + 2 * Stride + i);
            }
            wide = Carry(tables, Carry(tables, std::uint32_t(first)) ^ std::uint32_t(second)) ^
                   std::uint32_t(third);
        }
    }
    for (; size >= 8; p += 8, size -= 8)
        wide = InstructionStep(wide, p);
    crc = std::uint32_t(wide);
    for (; size > 0; ++p, --size)
        crc = __builtin_ia32_crc32qi(crc, *p);
    return crc;
}

bool HasInstruction()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("sse4.2"));
    return has;
}
#endif

}  // namespace

std::uint32_t Crc32c(std::uint32_t crc, const void* bytes, std::size_t size)
{
#if defined(__x86_64__)
    if (HasInstruction())
        return ~InstructionUpdate(~crc, static_cast<const unsigned char*>(bytes), size);
#endif
    return Crc32cPortable(crc, bytes, size);
}

std::uint32_t Crc32cPortable(std::uint32_t crc, const void* bytes, std::size_t size)
{
    return ~TablesUpdate(~crc, static_cast<const unsigned char*>(bytes), size);
}
