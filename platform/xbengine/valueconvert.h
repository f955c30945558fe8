#pragma once
// The values xb_Replace receives, by their type code, converted to the bytes
// a field stores. A value that does not fit is refused, never cut.

#include "platform/rtl/types.h"
#include "platform/xbengine/dbfheader.h"

struct Settings;

namespace valueconvert {

enum Code {
    vcInteger = 1,
    vcInteger2 = 2,
    vcDouble = 8,
    vcJulian = 32,
    vcByte = 128,
    vcText = 1024,
    vcText2 = 1025,
    vcDateText = 1056,
    vcMemoText = 3072,
    vcFile = 8192,
};

// Exactly field.Width bytes for a C, N, F, D or L field; fails with
// XBE_E_OVERFLOW when the value does not fit, XBE_E_FIELD otherwise.
String StoredBytes(const FieldDef& field, int code, const void* value, const Settings& settings);
// The data a memo field receives.
String MemoValue(const FieldDef& field, int code, const void* value);

}  // namespace valueconvert
