#pragma once
// Values between the engine's fields and SQL: a field's stored bytes as an SQL
// value, an SQL value as what the engine stores in a field, and parameters.

#include <sqlite3.h>

#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"
#include "platform/xbengine/xbe_types.h"

namespace localsql {

struct TFieldInfo;

// The field's stored bytes (Field.Width of them) as an SQL value: character
// text without trailing blanks, numbers (NULL when blank), 'YYYY-MM-DD' dates
// (NULL when blank), logicals as 1 or 0 (NULL when undecided).
void ResultFromField(sqlite3_context* Result, const TFieldInfo& Field, const char* Bytes);

// 'YYYY-MM-DD' as the engine's key text of a date, "YYYYMMDD"; false for any other text.
bool IsoDateToDtos(const String& Iso, String& Dtos);

// What a field is to receive.
struct TStoredValue {
    enum TKind { Unchanged, AsText, AsNumber, AsJulian, AsMemo } Kind = Unchanged;
    String Text;
    double Number = 0;
    XBLONG Julian = 0;
};

// The value for the field, checked against its type and width; false with the
// reason when it cannot be stored there.
bool StoredValue(const TFieldInfo& Field, sqlite3_value* Value, TStoredValue& Stored, String& Problem);

// Binds a parameter value: numbers and text as they are, dates as 'YYYY-MM-DD'
// text, booleans as 1 or 0, null and empty as NULL.
int BindVariant(sqlite3_stmt* Statement, int Index, const Variant& Value);

}  // namespace localsql
