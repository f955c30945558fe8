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
__attribute__((target("sse4.2"))) std::uint32_t InstructionUpdate(std::uint32_t crc, const unsigned char* p,
                                                                  std::size_t size)
{
    std::uint64_t wide = crc;
    for (; size >= 8; p += 8, size -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        wide = __builtin_ia32_crc32di(wide, word);
    }
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
