// The journal as other builds leave it: a table with an interrupted change
// whose journal was written by hand, in the checksum kinds an entry may name,
// is rolled back on its next open when the entries are whole, and left as
// it is when an entry's checksum fails or names a kind unknown to the engine.
// The checksum itself is held to a bit-by-bit CRC-32C written here.

#include <cstdint>
#include <random>

#include "platform/xbengine/crc32c.h"
#include "tests/xbengine/enginetest.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t BitwiseCrc32c(std::uint32_t crc, const Bytes& bytes)
{
    crc = ~crc;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0x82F63B78u : crc >> 1;
    }
    return ~crc;
}

std::uint32_t ByteHash(const Bytes& bytes)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 16777619u;
    return hash;
}

void PutLE(Bytes& b, std::size_t at, std::uint64_t v, int width)
{
    for (int i = 0; i < width; ++i)
        b[at + std::size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
}

void Append(Bytes& to, Bytes::const_iterator from, Bytes::const_iterator end)
{
    for (; from != end; ++from)
        to.push_back(*from);
}

TEST(Crc32c, MatchesTheBitwiseCrcForEveryLengthAndAlignment)
{
    const Bytes check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(BitwiseCrc32c(0, check), 0xE3069283u);
    EXPECT_EQ(Crc32c(0, check.data(), check.size()), 0xE3069283u);
    EXPECT_EQ(Crc32cPortable(0, check.data(), check.size()), 0xE3069283u);

    std::mt19937 random(5);
    Bytes buffer(40000);
    for (auto& byte : buffer)
        byte = static_cast<unsigned char>(random());
    // Long runs are checked three streams of 4 KiB at a time, then the rest.
    for (std::size_t from = 0; from < 8; ++from)
        for (std::size_t size : {0, 1, 7, 8, 9, 15, 16, 17, 63, 512, 520, 12287, 12288, 12297, 36869}) {
            Bytes run(buffer.begin() + long(from), buffer.begin() + long(from + size));
            std::uint32_t expected = BitwiseCrc32c(0, run);
            EXPECT_EQ(Crc32c(0, buffer.data() + from, size), expected) << from << " " << size;
            EXPECT_EQ(Crc32cPortable(0, buffer.data() + from, size), expected) << from << " " << size;
            // A run checked in two parts gives the CRC of the whole.
            std::size_t half = size / 2;
            EXPECT_EQ(Crc32c(Crc32c(0, buffer.data() + from, half), buffer.data() + from + half, size - half),
                      expected);
        }
}

class JournalFormat : public EngineTest {
protected:
    // A journal entry: head (kind, file number, checksum kind, size, value,
    // checksum) and payload, the checksum over mark, head and payload.
    static Bytes Entry(const Bytes& mark, char kind, unsigned char checksumKind, std::uint64_t value,
                       const Bytes& payload, bool damaged)
    {
        Bytes entry(20 + payload.size(), 0);
        entry[0] = static_cast<unsigned char>(kind);
        entry[2] = checksumKind;
        PutLE(entry, 4, payload.size(), 4);
        PutLE(entry, 8, value, 8);
        std::copy(payload.begin(), payload.end(), entry.begin() + 20);
        Bytes covered = mark;
        Append(covered, entry.begin(), entry.begin() + 16);
        Append(covered, payload.begin(), payload.end());
        std::uint32_t sum = checksumKind == 0 ? ByteHash(covered) : BitwiseCrc32c(0, covered);
        PutLE(entry, 16, damaged ? sum ^ 0x10u : sum, 4);
        return entry;
    }
};

TEST_F(JournalFormat, AnInterruptedChangeIsRolledBackOnlyWhenItsEntriesAreWhole)
{
    struct Case {
        const char* Name;
        unsigned char ChecksumKind;
        bool Damaged;
        bool RolledBack;
    };
    const Case cases[] = {
            {"byte hash of older builds", 0, false, true},
            {"crc", 1, false, true},
            {"crc that fails", 1, true, false},
            {"byte hash that fails", 0, true, false},
            {"unknown checksum kind", 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string base = Dir + c.Name[0] + std::to_string(c.ChecksumKind) + (c.Damaged ? "D" : "W");
        Create(base + ".DBF", {{"NAME", "C", 20, 0}});
        for (const char* name : {"first", "second", "third"})
            AppendTexts({{"NAME", name}});
        E.xb_CloseAll();
        const Bytes before = ReadBytes(base + ".DBF");

        // The change had written over the second record when it stopped.
        Bytes after = before;
        std::size_t headerBytes = std::size_t(after[8] | after[9] << 8);
        std::size_t recordBytes = std::size_t(after[10] | after[11] << 8);
        std::size_t second = headerBytes + recordBytes + 1;
        std::fill(after.begin() + long(second), after.begin() + long(second + 20), 'X');
        WriteBytes(base + ".DBF", after);

        const Bytes mark = {1, 2, 3, 4, 5, 6, 7, 8};
        Bytes journal = {'X', 'B', 'E', 'J', 'R', 'N', 'L', '1'};
        Append(journal, mark.begin(), mark.end());
        std::string fileName = base.substr(Dir.size()) + ".DBF";
        Bytes file = Entry(mark, 'F', c.ChecksumKind, before.size(), Bytes(fileName.begin(), fileName.end()),
                           false);
        std::size_t page = second / 512 * 512;
        Bytes old(before.begin() + long(page), before.begin() + long(std::min(page + 512, before.size())));
        Bytes saved = Entry(mark, 'P', c.ChecksumKind, page, old, c.Damaged);
        Append(journal, file.begin(), file.end());
        Append(journal, saved.begin(), saved.end());
        WriteBytes(base + ".JNL", journal);

        ASSERT_GT(E.xb_Use((base + ".DBF").c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
        E.xb_Go(2);
        EXPECT_EQ(Trim("NAME"), c.RolledBack ? "second" : std::string(20, 'X'));
        E.xb_CloseAll();
        EXPECT_EQ(ReadBytes(base + ".DBF") == before, c.RolledBack);
        // Either way the journal no longer holds the change.
        Bytes left = ReadBytes(base + ".JNL");
        EXPECT_FALSE(left.size() >= 8 && std::equal(journal.begin(), journal.begin() + 8, left.begin()));
    }
}

}  // namespace
