#include "platform/xbengine/dbfheader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/xbe50.h"

namespace {

constexpr Byte Terminator = 0x0D;

bool KnownVersion(Byte version)
{
    switch (version) {
    case 0x03:
    case 0x30:
    case 0x31:
    case 0x32:
    case 0x83:
    case 0x8B:
    case 0xF5: return true;
    default: return false;
    }
}

[[noreturn]] void Bad(const String& what)
{
    throw EEngineError(XBE_E_BAD_HEADER, "Not a valid table header: " + what);
}

std::uint32_t ReadLE32(const Byte* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

int ReadLE16(const Byte* p) { return p[0] | (p[1] << 8); }

void PutLE(Byte* p, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = Byte(value >> (8 * i));
}

// The binary field types of the versions with a back-link.
bool BackLinkBinaryType(char type, int width)
{
    switch (type) {
    case 'I':
    case 'Y':
    case 'T':
    case 'B':
    case '0':
    case 'Q': return true;
    case 'M':
    case 'G':
    case 'W': return width == 4;
    default: return false;
    }
}

}  // namespace

bool IsMemoType(const FieldDef& field)
{
    switch (field.Type) {
    case 'M':
    case 'G':
    case 'P':
    case 'W': return true;
    case 'B': return !field.Binary;
    default: return false;
    }
}

int DbfHeader::DeclaredLength(const Byte* first32, std::size_t available)
{
    if (available < 32)
        Bad("the file is shorter than a table header");
    if (!KnownVersion(first32[0])) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", first32[0]);
        Bad(String("unknown version byte ") + hex);
    }
    return ReadLE16(first32 + 8);
}

DbfHeader DbfHeader::Parse(const std::vector<Byte>& bytes)
{
    DbfHeader header;
    int declared = DeclaredLength(bytes.data(), bytes.size());
    const Byte* p = bytes.data();
    header.Version = p[0];
    header.Year = p[1];
    header.Month = p[2];
    header.Day = p[3];
    header.RecCount = ReadLE32(p + 4);
    header.HeaderLength = declared;
    header.RecordLength = ReadLE16(p + 10);
    header.Flags = p[28];
    header.CodePage = p[29];
    if (declared > int(bytes.size()))
        Bad("the header length is beyond the end of the file");

    int pos = 32;
    while (pos < declared && p[pos] != Terminator) {
        if (pos + DescriptorSize > declared)
            Bad("a field descriptor runs past the header length");
        const Byte* d = p + pos;
        FieldDef field;
        field.Name.assign(reinterpret_cast<const char*>(d), strnlen(reinterpret_cast<const char*>(d), 11));
        for (char& c : field.Name)
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
        field.Type = char(d[11]);
        if (field.Type >= 'a' && field.Type <= 'z')
            field.Type = char(field.Type - 32);
        field.Width = d[16];
        field.Decimals = d[17];
        if (field.Type == 'C') {
            field.Width |= d[17] << 8;
            field.Decimals = 0;
        }
        if (field.Width == 0)
            Bad("field " + field.Name + " has width 0");
        field.Binary = header.HasBackLink() && BackLinkBinaryType(field.Type, field.Width);
        header.Fields.push_back(field);
        if (header.Fields.size() > 255)
            Bad("more than 255 fields");
        pos += DescriptorSize;
    }
    if (pos >= declared)
        Bad("the field list has no terminator");
    if (header.Fields.empty())
        Bad("the table has no fields");
    int expected = pos + 1 + (header.HasBackLink() ? BackLinkSize : 0);
    // Some older writers put one zero byte after the terminator.
    bool oldPadding = !header.HasBackLink() && declared == expected + 1 && p[expected] == 0;
    if (declared != expected && !oldPadding)
        Bad("the header length " + std::to_string(declared) + " does not match its " +
            std::to_string(header.Fields.size()) + " fields");
    int declaredRecord = header.RecordLength;
    header.Layout();
    if (declaredRecord != header.RecordLength)
        Bad("the record length " + std::to_string(declaredRecord) + " is not the sum of the field widths");
    return header;
}

void DbfHeader::Layout()
{
    int offset = 1;
    for (FieldDef& field : Fields) {
        field.Offset = offset;
        offset += field.Width;
    }
    RecordLength = offset;
}

void DbfHeader::EncodeDateAndCount(Byte out[7], int year, int month, int day, std::uint32_t count)
{
    out[0] = Byte(year % 100);
    out[1] = Byte(month);
    out[2] = Byte(day);
    PutLE(out + 3, count, 4);
}

std::vector<Byte> DbfHeader::Encode() const
{
    int length = 32 + DescriptorSize * int(Fields.size()) + 1 + (HasBackLink() ? BackLinkSize : 0);
    std::vector<Byte> bytes(length, 0);
    Byte* p = bytes.data();
    p[0] = Version;
    EncodeDateAndCount(p + 1, Year, Month, Day, RecCount);
    PutLE(p + 8, length, 2);
    PutLE(p + 10, RecordLength, 2);
    p[28] = Flags;
    p[29] = CodePage;
    Byte* d = p + 32;
    for (const FieldDef& field : Fields) {
        std::memcpy(d, field.Name.data(), std::min(field.Name.size(), MaxFieldName));
        d[11] = Byte(field.Type);
        PutLE(d + 12, field.Offset, 4);
        d[16] = Byte(field.Width & 0xFF);
        d[17] = Byte(field.Type == 'C' ? field.Width >> 8 : field.Decimals);
        d += DescriptorSize;
    }
    *d = Terminator;
    return bytes;
}

MemoKind DbfHeader::MemoFormat(int tableType) const
{
    if (!HasMemoFields())
        return MemoKind::None;
    switch (Version) {
    case 0x83:
    case 0x8B: return MemoKind::Dbt;
    case 0xF5:
    case 0x30:
    case 0x31:
    case 0x32: return MemoKind::Fpt;
    default: return tableType == 1 ? MemoKind::Dbt : MemoKind::Fpt;
    }
}

bool DbfHeader::HasMemoFields() const
{
    for (const FieldDef& field : Fields)
        if (IsMemoType(field))
            return true;
    return false;
}
