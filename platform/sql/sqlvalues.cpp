#include "platform/sql/sqlvalues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/rtl/cp1252.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/sql/xbasetable.h"

namespace localsql {

namespace {

// Count decimal digits, and nothing else, as a number.
bool ParseDigits(const char* Text, int Count, int& Value)
{
    Value = 0;
    for (int i = 0; i < Count; ++i) {
        if (Text[i] < '0' || Text[i] > '9')
            return false;
        Value = Value * 10 + (Text[i] - '0');
    }
    return true;
}

bool ValidDate(int Year, int Month, int Day)
{
    return Year >= 1 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysInMonth(Year, Month);
}

// Whether a number fits a numeric field of Width with Decimals, written as the engine writes it.
bool FitsNumeric(double Number, int Width, int Decimals)
{
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.*f", Decimals, Number);
    return length > 0 && length <= Width;
}

String ValueText(sqlite3_value* Value)
{
    return String(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                  size_t(sqlite3_value_bytes(Value)));
}

constexpr sqlite3_int64 Powers10[] = {1,
                                      10,
                                      100,
                                      1000,
                                      10000,
                                      100000,
                                      1000000,
                                      10000000,
                                      100000000,
                                      1000000000,
                                      10000000000,
                                      100000000000,
                                      1000000000000,
                                      10000000000000,
                                      100000000000000,
                                      1000000000000000};

// A number written as the fields write them, "-123.45", of at most 15 digits: its digits as a whole
// number (Units) and the count of its decimals, its whole part, and whether a decimal is not 0.
struct TDecimal {
    sqlite3_int64 Units = 0;
    sqlite3_int64 Whole = 0;
    int Decimals = 0;
    bool Fraction = false;
};

// False for anything but such a number.
bool ReadDecimal(const char* First, const char* Last, TDecimal& Number)
{
    const bool negative = First < Last && *First == '-';
    int digits = 0;
    bool point = false;
    for (const char* c = First + negative; c < Last; ++c) {
        if (*c == '.' && !point) {
            point = true;
        } else if (*c >= '0' && *c <= '9' && digits < 15) {
            const int digit = *c - '0';
            Number.Units = Number.Units * 10 + digit;
            ++digits;
            if (point) {
                ++Number.Decimals;
                Number.Fraction = Number.Fraction || digit != 0;
            } else {
                Number.Whole = Number.Whole * 10 + digit;
            }
        } else {
            return false;
        }
    }
    if (negative) {
        Number.Units = -Number.Units;
        Number.Whole = -Number.Whole;
    }
    return digits > 0;
}

bool IsAscii(const char* Text, size_t Bytes)
{
    for (size_t i = 0; i < Bytes; ++i)
        if (static_cast<unsigned char>(Text[i]) >= 0x80)
            return false;
    return true;
}

// Text up to this length is laid into a buffer on the stack before it is handed over.
constexpr size_t ShortText = 256;

// Hands SQLite the Bytes of Text, which ends in a NUL after them: SQLite, told so, keeps the NUL
// with its copy, and needs no second copy to add one when the value is read as text.
void ResultText(sqlite3_context* Result, const char* Text, size_t Bytes)
{
    const bool terminated = std::strlen(Text) == Bytes;
    sqlite3_result_text(Result, Text, terminated ? -1 : int(Bytes), SQLITE_TRANSIENT);
}

}  // namespace

std::string ToSqlText(const String& Text)
{
    return IsAscii(Text.data(), Text.size()) ? std::string(Text) : Cp1252ToUtf8(Text);
}

String FromSqlText(const char* Utf8, size_t Bytes)
{
    return IsAscii(Utf8, Bytes) ? String(Utf8, Bytes) : Utf8ToCp1252(std::string(Utf8, Bytes));
}

bool FromSqlTextExactly(const char* Utf8, size_t Bytes, String& Text)
{
    if (std::memchr(Utf8, 0, Bytes))
        return false;
    Text = FromSqlText(Utf8, Bytes);
    // A character the code page lacks comes back as '?', which reads back differently.
    return IsAscii(Utf8, Bytes) || Cp1252ToUtf8(Text) == std::string_view(Utf8, Bytes);
}

bool FieldNumber(const TFieldInfo& Field, const char* Bytes, TFieldNumber& Number)
{
    const char* first = Bytes;
    const char* last = Bytes + Field.Width;
    while (first < last && *first == ' ')
        ++first;
    while (last > first && last[-1] == ' ')
        --last;
    TDecimal decimal;
    double number = 0;
    if (ReadDecimal(first, last, decimal)) {
        // "12.00" is 12, as SQLite keeps it; a quotient of two exact doubles is the nearest one.
        Number.Integer = !decimal.Fraction;
        if (Number.Integer)
            Number.Int = decimal.Whole;
        else
            Number.Real = double(decimal.Units) / double(Powers10[decimal.Decimals]);
        return true;
    }
    if (auto [end, ec] = std::from_chars(first, last, number); ec != std::errc() || end != last)
        return false;
    Number.Integer = std::abs(number) < 9e15 && number == std::trunc(number);
    if (Number.Integer)
        Number.Int = sqlite3_int64(number);
    else
        Number.Real = number;
    return true;
}

void ResultFromField(sqlite3_context* Result, const TFieldInfo& Field, const char* Bytes)
{
    switch (Field.Type) {
    case 'C': {
        int end = Field.Width;
        while (end > 0 && (Bytes[end - 1] == ' ' || Bytes[end - 1] == '\0'))
            --end;
        // Plain ASCII text without a NUL, the usual field, is copied as it is checked.
        if (size_t(end) < ShortText) {
            char text[ShortText];
            int i = 0;
            for (; i < end && static_cast<unsigned char>(Bytes[i] - 1) < 0x7F; ++i)
                text[i] = Bytes[i];
            if (i == end) {
                text[end] = '\0';
                sqlite3_result_text(Result, text, -1, SQLITE_TRANSIENT);
                return;
            }
        }
        const std::string text = ToSqlText(String(Bytes, size_t(end)));
        ResultText(Result, text.c_str(), text.size());
        return;
    }
    case 'N':
    case 'F': {
        TFieldNumber number;
        if (!FieldNumber(Field, Bytes, number))
            sqlite3_result_null(Result);  // blank, or not a number
        else if (number.Integer)
            sqlite3_result_int64(Result, number.Int);
        else
            sqlite3_result_double(Result, number.Real);
        return;
    }
    case 'D': {
        int year = 0, month = 0, day = 0;
        if (ParseDigits(Bytes, 4, year) && ParseDigits(Bytes + 4, 2, month) &&
            ParseDigits(Bytes + 6, 2, day) && ValidDate(year, month, day)) {
            const char iso[] = {Bytes[0], Bytes[1], Bytes[2], Bytes[3], '-', Bytes[4],
                                Bytes[5], '-',      Bytes[6], Bytes[7], '\0'};
            sqlite3_result_text(Result, iso, -1, SQLITE_TRANSIENT);
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

bool ParseIsoDate(const String& Iso, int& Year, int& Month, int& Day)
{
    const char* text = Iso.data();
    return Iso.size() == 10 && Iso[4] == '-' && Iso[7] == '-' && ParseDigits(text, 4, Year) &&
           ParseDigits(text + 5, 2, Month) && ParseDigits(text + 8, 2, Day) && ValidDate(Year, Month, Day);
}

bool IsoDateToDtos(const String& Iso, String& Dtos)
{
    int year = 0, month = 0, day = 0;
    if (!ParseIsoDate(Iso, year, month, day))
        return false;
    Dtos = Iso.substr(0, 4) + Iso.substr(5, 2) + Iso.substr(8, 2);
    return true;
}

bool StoredValue(const TFieldInfo& Field, sqlite3_value* Value, TStoredValue& Stored, String& Problem)
{
    const bool null = sqlite3_value_type(Value) == SQLITE_NULL;
    const String& name = Field.Name;
    Stored.Kind = TStoredValue::AsBytes;
    Stored.Text.assign(size_t(Field.Width), ' ');
    switch (Field.Type) {
    case 'C':
    case 'M': {
        String text;
        if (!null && !FromSqlTextExactly(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                                         size_t(sqlite3_value_bytes(Value)), text)) {
            Problem =
                    "the text for " + name + " holds a NUL or a character the table's code page cannot hold";
            return false;
        }
        if (Field.Type == 'M') {
            Stored.Kind = TStoredValue::AsMemo;
            Stored.Text = text;
        } else if (int(text.size()) > Field.Width) {
            Problem = "the text for " + name + " is longer than its " + IntToStr(Field.Width) + " characters";
            return false;
        } else {
            Stored.Text.replace(0, text.size(), text);
        }
        return true;
    }
    case 'N':
    case 'F': {
        if (null)
            return true;
        // Text that reads as a number counts as that number, as a NUMERIC column takes it.
        const int type = sqlite3_value_numeric_type(Value);
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
        if (null)
            return true;
        String dtos;
        if (sqlite3_value_type(Value) != SQLITE_TEXT || !IsoDateToDtos(ValueText(Value), dtos)) {
            Problem = "the value for " + name + " is not a date written YYYY-MM-DD";
            return false;
        }
        Stored.Text = dtos;
        return true;
    }
    case 'L': {
        if (null)
            return true;
        const int type = sqlite3_value_type(Value);
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            Stored.Text = sqlite3_value_double(Value) != 0 ? "T" : "F";
            return true;
        }
        const String text = UpperCase(Trim(ValueText(Value)));
        if (text != "T" && text != "F" && text != "Y" && text != "N") {
            Problem = "the value for " + name + " is not a logical value";
            return false;
        }
        Stored.Text = text == "T" || text == "Y" ? "T" : "F";
        return true;
    }
    default: Problem = "the field " + name + " cannot be written through SQL"; return false;
    }
}

int BindVariant(sqlite3_stmt* Statement, int Index, const Variant& Value)
{
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
        const std::string text = ToSqlText(Value.AsString());
        return sqlite3_bind_text(Statement, Index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

}  // namespace localsql
