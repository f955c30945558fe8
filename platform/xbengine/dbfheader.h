#pragma once
// The DBF header codec: the 32-byte table header, the field descriptors and
// the terminator (and the 263-byte back-link of the later version bytes).

#include <cstdint>
#include <vector>

#include "platform/rtl/types.h"

// The longest field name a descriptor holds.
constexpr std::size_t MaxFieldName = 10;

struct FieldDef {
    String Name;  // upper case as stored
    char Type = 'C';
    int Width = 0;
    int Decimals = 0;     // 0 for C fields wider than 255 (the byte holds the width's high byte)
    int Offset = 0;       // 0-based position in the record image; the first field is at 1
    bool Binary = false;  // stored as binary numbers, not text
};

enum class MemoKind { None, Fpt, Dbt };

struct DbfHeader {
    static constexpr int DescriptorSize = 32;
    static constexpr int BackLinkSize = 263;
    static constexpr Byte HasStructuralIndex = 0x01;

    Byte Version = 0x03;
    int Year = 0, Month = 0, Day = 0;  // last update
    std::uint32_t RecCount = 0;
    int HeaderLength = 0;
    int RecordLength = 0;
    Byte Flags = 0;
    Byte CodePage = 0x03;
    std::vector<FieldDef> Fields;

    // Reads and checks a header; `bytes` holds at least the header length
    // (or the whole file when it is shorter). Fails with XBE_E_BAD_HEADER.
    static DbfHeader Parse(const std::vector<Byte>& bytes);
    // The header length field of the first 32 bytes, after checking the version.
    static int DeclaredLength(const Byte* first32, std::size_t available);

    // The complete header of a new table, ending with the terminator.
    std::vector<Byte> Encode() const;
    // Bytes 1..7: the last-update date and the record count.
    static void EncodeDateAndCount(Byte out[7], int year, int month, int day, std::uint32_t count);

    // The later versions: a back-link after the terminator, binary field types.
    bool HasBackLink() const { return Version == 0x30 || Version == 0x31 || Version == 0x32; }
    // The memo file format the version byte calls for, or what the table type asks.
    MemoKind MemoFormat(int tableType) const;
    bool HasMemoFields() const;
    // Sets offsets and the record length from the widths.
    void Layout();
};

// A field type whose data lives in the memo file.
bool IsMemoType(const FieldDef& field);
