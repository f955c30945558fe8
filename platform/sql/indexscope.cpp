#include "platform/sql/indexscope.h"

#include <cmath>
#include <cstdio>

#include "platform/rtl/strutils.h"
#include "platform/sql/sqlvalues.h"
#include "platform/sql/xbasetable.h"

namespace localsql {

namespace {

// The engine reads a numeric scope text as a number of plain digits; a field
// holds numbers of its own decimals, so a bound one unit of the last decimal
// beyond the value keeps every record the value would take.
String NumberBound(double Value, int Decimals, bool Lower)
{
    const double unit = std::pow(10.0, Decimals);
    const double units = Lower ? std::floor(Value * unit) - 1 : std::ceil(Value * unit) + 1;
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", Decimals, units / unit);
    return text;
}

bool NarrowNumber(const TFieldInfo& Field, char Condition, double Value, TScope& Scope)
{
    // Beyond what the field's width can hold the bound is either open or shuts every key out.
    const double limit = std::pow(10.0, Field.Width);
    if (Condition != 'H') {
        if (Value >= limit)
            Scope.Empty = true;
        else if (Value > -limit)
            Scope.Low = NumberBound(Value, Field.Decimals, true);
    }
    if (Condition != 'L') {
        if (Value <= -limit)
            Scope.Empty = true;
        else if (Value < limit)
            Scope.High = NumberBound(Value, Field.Decimals, false);
    }
    return true;
}

// A range bound on a character key must order the same in the key's bytes,
// padded with blanks, as in SQLite's comparison of the trimmed UTF-8 text: so
// it holds only printable ASCII characters.
bool OrdersAlike(const String& Text)
{
    for (char c : Text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

bool NarrowText(const TFieldInfo& Field, bool Upper, char Condition, sqlite3_value* Value, TScope& Scope)
{
    String text;
    const bool held = FromSqlTextExactly(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                                         size_t(sqlite3_value_bytes(Value)), text);
    if (Upper)
        text = AnsiUpperCase(text);
    if (Condition == 'E') {
        // An equal key is the whole field: the text padded with blanks to its width.
        if (!held || int(text.size()) > Field.Width)
            Scope.Empty = true;
        else
            Scope.Low = Scope.High = text + String(size_t(Field.Width) - text.size(), ' ');
        return true;
    }
    if (!held || Upper || !OrdersAlike(text) || text.empty())
        return false;
    (Condition == 'L' ? Scope.Low : Scope.High) = text;
    return true;
}

}  // namespace

bool NarrowScope(const TFieldInfo& Field, bool Upper, char Condition, sqlite3_value* Value, TScope& Scope)
{
    const int type = sqlite3_value_type(Value);
    if (type == SQLITE_NULL) {
        Scope.Empty = true;  // a comparison with NULL takes no row
        return true;
    }
    switch (Field.Type) {
    case 'C': return type == SQLITE_TEXT && NarrowText(Field, Upper, Condition, Value, Scope);
    case 'N':
    case 'F':
        return (type == SQLITE_INTEGER || type == SQLITE_FLOAT) &&
               NarrowNumber(Field, Condition, sqlite3_value_double(Value), Scope);
    case 'D': {
        String dtos;
        if (type != SQLITE_TEXT ||
            !IsoDateToDtos(String(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                                  size_t(sqlite3_value_bytes(Value))),
                           dtos))
            return false;
        if (Condition != 'H')
            Scope.Low = dtos;
        if (Condition != 'L')
            Scope.High = dtos;
        return true;
    }
    default: return false;
    }
}

}  // namespace localsql
