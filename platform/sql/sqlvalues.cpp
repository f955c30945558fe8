#include "platform/sql/sqlvalues.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/sql/xbasetable.h"

namespace localsql {

namespace {

String TrimmedRight(const char* Bytes, int Width) {
    int end = Width;
    while (end > 0 && (Bytes[end - 1] == ' ' || Bytes[end - 1] == '\0')) --end;
    return String(Bytes, size_t(end));
}

bool ParseDigits(const String& Text, size_t From, size_t Count, int& Value) {
    if (From + Count > Text.size()) return false;
    const char* first = Text.data() + From;
    auto [end, ec] = std::from_chars(first, first + Count, Value);
    return ec == std::errc() && end == first + Count;
}

bool ValidDate(int Year, int Month, int Day) {
    TDateTime unused = 0;
    return Year >= 1 && TryEncodeDate(Year, Month, Day, unused);
}

// The Julian day number of a date of the Gregorian calendar.
XBLONG JulianDay(int Year, int Month, int Day) {
    const int a = (14 - Month) / 12;
    const int y = Year + 4800 - a;
    const int m = Month + 12 * a - 3;
    return XBLONG(Day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
}

bool ParseIsoDate(const String& Iso, int& Year, int& Month, int& Day) {
    return Iso.size() == 10 && Iso[4] == '-' && Iso[7] == '-' && ParseDigits(Iso, 0, 4, Year) &&
           ParseDigits(Iso, 5, 2, Month) && ParseDigits(Iso, 8, 2, Day) && ValidDate(Year, Month, Day);
}

// Whether a number fits a numeric field of Width with Decimals, written as the engine writes it.
bool FitsNumeric(double Number, int Width, int Decimals) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.*f", Decimals, Number);
    return length > 0 && length <= Width;
}

String ValueText(sqlite3_value* Value) {
    return String(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                  size_t(sqlite3_value_bytes(Value)));
}

}  // namespace

void ResultFromField(sqlite3_context* Result, const TFieldInfo& Field, const char* Bytes) {
    switch (Field.Type) {
    case 'C': {
        const String text = TrimmedRight(Bytes, Field.Width);
        sqlite3_result_text(Result, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case 'N':
    case 'F': {
        String text = Trim(String(Bytes, size_t(Field.Width)));
        if (text.empty()) {
            sqlite3_result_null(Result);
            return;
        }
        if (Field.Decimals == 0) {
            sqlite3_int64 whole = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), whole);
            if (ec == std::errc() && end == text.data() + text.size()) {
                sqlite3_result_int64(Result, whole);
                return;
            }
        }
        double number = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec == std::errc() && end == text.data() + text.size())
            sqlite3_result_double(Result, number);
        else
            sqlite3_result_null(Result);
        return;
    }
    case 'D': {
        const String text(Bytes, 8);
        int year = 0, month = 0, day = 0;
        if (ParseDigits(text, 0, 4, year) && ParseDigits(text, 4, 2, month) && ParseDigits(text, 6, 2, day) &&
            ValidDate(year, month, day)) {
            const String iso = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
            sqlite3_result_text(Result, iso.data(), int(iso.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_result_null(Result);
        }
        return;
    }
    case 'L':
        switch (Bytes[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y': sqlite3_result_int(Result, 1); return;
        case 'F':
        case 'f':
        case 'N':
        case 'n': sqlite3_result_int(Result, 0); return;
        default: sqlite3_result_null(Result); return;
        }
    default: sqlite3_result_blob(Result, Bytes, Field.Width, SQLITE_TRANSIENT); return;
    }
}

bool IsoDateToDtos(const String& Iso, String& Dtos) {
    int year = 0, month = 0, day = 0;
    if (!ParseIsoDate(Iso, year, month, day)) return false;
    Dtos = Iso.substr(0, 4) + Iso.substr(5, 2) + Iso.substr(8, 2);
    return true;
}

bool StoredValue(const TFieldInfo& Field, sqlite3_value* Value, TStoredValue& Stored, String& Problem) {
    const int type = sqlite3_value_type(Value);
    const bool null = type == SQLITE_NULL;
    const String name = Field.Name;
    switch (Field.Type) {
    case 'C': {
        Stored.Kind = TStoredValue::AsText;
        Stored.Text = null ? String() : ValueText(Value);
        if (int(Stored.Text.size()) > Field.Width) {
            Problem = "the text for " + name + " is longer than its " + IntToStr(Field.Width) + " characters";
            return false;
        }
        return true;
    }
    case 'N':
    case 'F': {
        if (null) {
            Stored.Kind = TStoredValue::AsText;
            return true;
        }
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
            Problem = "the value for " + name + " is not a number";
            return false;
        }
        Stored.Kind = TStoredValue::AsNumber;
        Stored.Number = sqlite3_value_double(Value);
        if (!std::isfinite(Stored.Number) || !FitsNumeric(Stored.Number, Field.Width, Field.Decimals)) {
            Problem = "the number for " + name + " does not fit its width of " + IntToStr(Field.Width);
            return false;
        }
        return true;
    }
    case 'D': {
        if (null) {
            Stored.Kind = TStoredValue::AsText;
            return true;
        }
        int year = 0, month = 0, day = 0;
        if (type != SQLITE_TEXT || !ParseIsoDate(ValueText(Value), year, month, day)) {
            Problem = "the value for " + name + " is not a date written YYYY-MM-DD";
            return false;
        }
        Stored.Kind = TStoredValue::AsJulian;
        Stored.Julian = JulianDay(year, month, day);
        return true;
    }
    case 'L':
        Stored.Kind = TStoredValue::AsText;
        if (null)
            Stored.Text = " ";
        else if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
            Stored.Text = sqlite3_value_double(Value) != 0 ? "T" : "F";
        else {
            const String text = UpperCase(Trim(ValueText(Value)));
            if (text != "T" && text != "F" && text != "Y" && text != "N") {
                Problem = "the value for " + name + " is not a logical value";
                return false;
            }
            Stored.Text = text == "T" || text == "Y" ? "T" : "F";
        }
        return true;
    case 'M':
        Stored.Kind = TStoredValue::AsMemo;
        Stored.Text = null ? String() : ValueText(Value);
        return true;
    default: Problem = "the field " + name + " cannot be written through SQL"; return false;
    }
}

int BindVariant(sqlite3_stmt* Statement, int Index, const Variant& Value) {
    switch (Value.VarType()) {
    case varNull:
    case varEmpty: return sqlite3_bind_null(Statement, Index);
    case varBoolean: return sqlite3_bind_int(Statement, Index, Value.AsBoolean() ? 1 : 0);
    case varInt64: return sqlite3_bind_int64(Statement, Index, Value.AsInt64());
    case varDouble:
    case varCurrency: return sqlite3_bind_double(Statement, Index, Value.AsFloat());
    case varDate: {
        const String iso = FormatDateTime("yyyy-mm-dd", Value.AsDateTime());
        return sqlite3_bind_text(Statement, Index, iso.data(), int(iso.size()), SQLITE_TRANSIENT);
    }
    default: {
        const String text = Value.AsString();
        return sqlite3_bind_text(Statement, Index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

}  // namespace localsql
