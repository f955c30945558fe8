#pragma once
// Variant: one value of a kind chosen at run time, as the data sets pass key
// values and field values around (Locate, Lookup, FieldValues).

#include <initializer_list>
#include <memory>
#include <variant>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

// Money: a count of ten-thousandths, exact to four decimals.
struct Currency {
    Int64 Scaled = 0;

    // Rounds to four decimals, half away from zero; raises EConvertError when out of range.
    static Currency FromDouble(double Value);
    double ToDouble() const { return static_cast<double>(Scaled) / 10000.0; }
    bool operator==(const Currency&) const = default;
    auto operator<=>(const Currency&) const = default;
};

// The kind codes of the class library.
enum TVarType : Word {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varBoolean = 0x000B,
    varInt64 = 0x0014,
    varString = 0x0100,
    varArray = 0x2000,
};

class Variant;
using VariantArray = std::vector<Variant>;

class Variant {
public:
    // Unassigned (varEmpty).
    Variant() = default;
    Variant(int Value) : FValue(static_cast<Int64>(Value)) { }
    Variant(Int64 Value) : FValue(Value) { }
    Variant(bool Value) : FValue(Value) { }
    Variant(double Value) : FValue(Value) { }
    Variant(Currency Value) : FValue(Value) { }
    Variant(const String& Value) : FValue(Value) { }
    Variant(String&& Value) : FValue(std::move(Value)) { }
    Variant(const char* Value) : FValue(String(Value ? Value : "")) { }

    // The null value (varNull); a date (varDate) since TDateTime is a double.
    static Variant Null();
    static Variant FromDate(TDateTime Value);

    TVarType VarType() const;
    bool IsNull() const;
    bool IsEmpty() const;
    bool IsArray() const;

    // Conversions between kinds; text goes through the locale-free number and
    // date functions. Null, or text that is no number, raises EConvertError.
    // Empty converts to 0, False or "". True is -1 as a number; a float becomes
    // an integer rounded half to even.
    Int64 AsInt64() const;
    Integer AsInteger() const;  // raises ERangeError beyond 32 bits
    bool AsBoolean() const;     // numbers: non-zero; text: "True"/"False" (any case) or a number
    double AsFloat() const;
    Currency AsCurrency() const;
    String AsString() const;
    TDateTime AsDateTime() const;  // text through StrToDate

    // Elements of an array variant (see VarArrayOf); raises ERangeError outside 0..Count-1.
    int ArrayCount() const;
    const Variant& operator[](int Index) const;

    // Equal values: both null, both empty, numbers (integer, float, currency, date,
    // boolean) by value, texts byte for byte, a text and a number when the text
    // converts to that number, arrays element by element.
    bool operator==(const Variant& Other) const;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct DateTag {
        TDateTime Value;
    };
    friend Variant VarArrayOf(std::initializer_list<Variant> Values);
    friend Variant VarArrayOf(VariantArray Values);

    std::variant<std::monostate, NullTag, Int64, bool, double, Currency, String, DateTag,
                 std::shared_ptr<const VariantArray>>
            FValue;
};

// A variant array (varArray) of the values, e.g. the keys of a multi-field Lookup.
Variant VarArrayOf(std::initializer_list<Variant> Values);
Variant VarArrayOf(VariantArray Values);

inline bool VarIsNull(const Variant& V) { return V.IsNull(); }
inline bool VarIsEmpty(const Variant& V) { return V.IsEmpty(); }
// Null or empty.
inline bool VarIsClear(const Variant& V) { return V.IsNull() || V.IsEmpty(); }
inline bool VarIsArray(const Variant& V) { return V.IsArray(); }
inline TVarType VarType(const Variant& V) { return V.VarType(); }
// "" for null and empty, otherwise AsString.
String VarToStr(const Variant& V);
