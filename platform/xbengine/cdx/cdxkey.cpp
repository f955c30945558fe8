#include "platform/xbengine/cdx/cdxkey.h"

#include <bit>
#include <cmath>

#include "platform/rtl/exceptions.h"

namespace {

String BigEndian(std::uint64_t bits, int bytes)
{
    String key(std::size_t(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, bits >>= 8)
        key[std::size_t(i)] = char(bits & 0xFF);
    return key;
}

std::uint64_t FromBigEndian(const String& key, std::size_t bytes)
{
    if (key.size() != bytes)
        throw ERangeError("Index key of " + std::to_string(key.size()) + " bytes where " +
                          std::to_string(bytes) + " are expected");
    std::uint64_t bits = 0;
    for (char c : key)
        bits = (bits << 8) | Byte(c);
    return bits;
}

}  // namespace

int CdxKeyLength(CdxKeyType type, int charLength)
{
    switch (type) {
    case CdxKeyType::Numeric:
    case CdxKeyType::Date: return 8;
    case CdxKeyType::Integer: return 4;
    case CdxKeyType::Logical: return 1;
    case CdxKeyType::Character: break;
    }
    return charLength;
}

Byte CdxFillByte(CdxKeyType type)
{
    return type == CdxKeyType::Character || type == CdxKeyType::Logical ? Byte(' ') : Byte(0);
}

String CdxCharacterKey(const String& text, int keyLength)
{
    String key = text.substr(0, std::size_t(keyLength));
    key.resize(std::size_t(keyLength), ' ');
    return key;
}

String CdxNumericKey(double value)
{
    if (std::isnan(value))
        throw ERangeError("A number that is not a number has no index key");
    if (value == 0)
        value = 0;  // -0 keys as 0, not below every negative number
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    bits = (bits >> 63) ? ~bits : bits ^ (std::uint64_t(1) << 63);
    return BigEndian(bits, 8);
}

double CdxNumericValue(const String& key)
{
    std::uint64_t bits = FromBigEndian(key, 8);
    bits = (bits >> 63) ? bits ^ (std::uint64_t(1) << 63) : ~bits;
    return std::bit_cast<double>(bits);
}

String CdxDateKey(std::int32_t julianDay) { return CdxNumericKey(double(julianDay)); }

std::int32_t CdxDateValue(const String& key) { return std::int32_t(std::llround(CdxNumericValue(key))); }

String CdxIntegerKey(std::int32_t value) { return BigEndian(std::uint32_t(value) ^ 0x80000000u, 4); }

std::int32_t CdxIntegerValue(const String& key)
{
    return std::int32_t(std::uint32_t(FromBigEndian(key, 4)) ^ 0x80000000u);
}

String CdxLogicalKey(bool value) { return value ? "T" : "F"; }
