#pragma once
// Values between the engine's fields and SQL: a field's stored bytes as an SQL
// value, an SQL value as what the engine stores in a field, parameters, and
// text between the tables' code page (Windows-1252) and SQLite's UTF-8.

#include <sqlite3.h>

#include <string>

#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

namespace localsql {

struct TFieldInfo;

// Table text as SQLite's UTF-8.
std::string ToSqlText(const String& Text);
// SQLite's UTF-8 as table text; characters the code page cannot hold become '?'.
String FromSqlText(const char* Utf8, size_t Bytes);
// SQLite's UTF-8 as table text; false when a character is a NUL or one the code page cannot hold.
bool FromSqlTextExactly(const char* Utf8, size_t Bytes, String& Text);

// The field's stored bytes (Field.Width of them) as the SQL value SQLite would
// hold for them: character text without trailing blanks (xBase compares
// character fields padded with blanks, so "AB" and "AB  " are one value), a
// number as a NUMERIC column keeps it (an integer when it has no fraction),
// 'YYYY-MM-DD' dates, logicals as 1 or 0, and NULL for a blank number, date
// or logical.
void ResultFromField(sqlite3_context* Result, const TFieldInfo& Field, const char* Bytes);

// A numeric field's stored bytes as the number ResultFromField hands SQLite; false for a blank or
// anything else it hands over as NULL.
struct TFieldNumber {
    bool Integer = false;
    sqlite3_int64 Int = 0;
    double Real = 0;
};
bool FieldNumber(const TFieldInfo& Field, const char* Bytes, TFieldNumber& Number);

// 'YYYY-MM-DD' as its year, month and day; false for any other text or a day no calendar has.
bool ParseIsoDate(const String& Iso, int& Year, int& Month, int& Day);

// 'YYYY-MM-DD' as the engine's key text of a date, "YYYYMMDD"; false for any other text.
bool IsoDateToDtos(const String& Iso, String& Dtos);

// What a field is to receive: bytes laid into the record as they stand (text
// padded with blanks, "YYYYMMDD" dates, logicals, and blanks for NULL), a
// number the engine writes in the field's own form, or a memo's text.
struct TStoredValue {
    enum TKind { Unchanged, AsBytes, AsNumber, AsMemo } Kind = Unchanged;
    String Text;
    double Number = 0;
};

// The value for the field, checked against its type and width; false with the
// reason, naming the field, when it cannot be stored there.
bool StoredValue(const TFieldInfo& Field, sqlite3_value* Value, TStoredValue& Stored, String& Problem);

// Binds a parameter value: numbers and text as they are, dates as 'YYYY-MM-DD'
// text, booleans as 1 or 0, null and empty as NULL.
int BindVariant(sqlite3_stmt* Statement, int Index, const Variant& Value);

}  // namespace localsql
