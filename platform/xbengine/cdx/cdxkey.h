#pragma once
// Key encodings of compound index tags. Every key is a fixed-length byte
// string whose plain byte order is the order of the values it encodes.

#include <cstdint>

#include "platform/rtl/types.h"

enum class CdxKeyType { Character, Numeric, Date, Integer, Logical };

// Bytes of a key of that type; charLength is used for character keys only.
int CdxKeyLength(CdxKeyType type, int charLength = 0);

// The byte a page leaves out at the end of a key: blank for text, zero for
// binary keys.
Byte CdxFillByte(CdxKeyType type);

// Text cut or blank-padded to the key length.
String CdxCharacterKey(const String& text, int keyLength);

// 8 bytes, big-endian IEEE double made order-preserving.
String CdxNumericKey(double value);
double CdxNumericValue(const String& key);

// A date is keyed by its Julian day number; the empty date by 0.
String CdxDateKey(std::int32_t julianDay);
std::int32_t CdxDateValue(const String& key);

// 4 bytes, big-endian of the value with its sign bit flipped.
String CdxIntegerKey(std::int32_t value);
std::int32_t CdxIntegerValue(const String& key);

String CdxLogicalKey(bool value);
