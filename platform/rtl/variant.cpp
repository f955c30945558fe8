#include "platform/rtl/variant.h"

#include <charconv>
#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {

const char* TypeName(TVarType Type)
{
    switch (Type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varBoolean: return "Boolean";
    case varInt64: return "Int64";
    case varString: return "String";
    case varArray: return "Array";
    }
    return "Unknown";
}

[[noreturn]] void CastError(TVarType From, TVarType To)
{
    throw EConvertError(String("Could not convert variant of type (") + TypeName(From) + ") into type (" +
                        TypeName(To) + ")");
}

// Round half to even, as the class library rounds a float it turns into an integer.
Int64 RoundToInt64(double Value, TVarType From)
{
    double rounded = std::nearbyint(Value);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        CastError(From, varInt64);
    return static_cast<Int64>(rounded);
}

bool ParseInt64(const String& Text, Int64& Value)
{
    String s = Trim(Text);
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+')
        ++first;
    auto [end, ec] = std::from_chars(first, last, Value);
    return ec == std::errc() && end == last && first != last;
}

bool IsNumeric(TVarType Type)
{
    return Type == varInt64 || Type == varDouble || Type == varCurrency || Type == varDate ||
           Type == varBoolean;
}

}  // namespace

Currency Currency::FromDouble(double Value)
{
    double scaled = std::round(Value * 10000.0);
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0))
        throw EConvertError("Currency value out of range");
    return Currency {static_cast<Int64>(scaled)};
}

Variant Variant::Null()
{
    Variant v;
    v.FValue = NullTag {};
    return v;
}

Variant Variant::FromDate(TDateTime Value)
{
    Variant v;
    v.FValue = DateTag {Value};
    return v;
}

TVarType Variant::VarType() const
{
    static constexpr TVarType Types[] = {varEmpty,    varNull,   varInt64, varBoolean, varDouble,
                                         varCurrency, varString, varDate,  varArray};
    return Types[FValue.index()];
}

bool Variant::IsNull() const { return std::holds_alternative<NullTag>(FValue); }
bool Variant::IsEmpty() const { return std::holds_alternative<std::monostate>(FValue); }
bool Variant::IsArray() const { return std::holds_alternative<std::shared_ptr<const VariantArray>>(FValue); }

Int64 Variant::AsInt64() const
{
    if (auto p = std::get_if<Int64>(&FValue))
        return *p;
    if (auto p = std::get_if<Currency>(&FValue))
        return RoundToInt64(static_cast<double>(p->Scaled) / 10000.0, varCurrency);
    if (auto p = std::get_if<String>(&FValue)) {
        Int64 value;
        if (ParseInt64(*p, value))
            return value;
        double number;
        if (!TryStrToFloat(*p, number))
            CastError(varString, varInt64);
        return RoundToInt64(number, varString);
    }
    switch (VarType()) {
    case varEmpty: return 0;
    case varBoolean:
    case varDouble:
    case varDate: return RoundToInt64(AsFloat(), VarType());
    default: CastError(VarType(), varInt64);
    }
}

Integer Variant::AsInteger() const
{
    Int64 value = AsInt64();
    if (value < INT32_MIN || value > INT32_MAX)
        throw ERangeError("Variant value " + IntToStr(value) + " is out of the Integer range");
    return static_cast<Integer>(value);
}

bool Variant::AsBoolean() const
{
    if (auto p = std::get_if<bool>(&FValue))
        return *p;
    if (auto p = std::get_if<String>(&FValue)) {
        String s = Trim(*p);
        if (SameText(s, "True"))
            return true;
        if (SameText(s, "False"))
            return false;
        double number;
        if (!TryStrToFloat(s, number))
            CastError(varString, varBoolean);
        return number != 0;
    }
    if (auto p = std::get_if<Currency>(&FValue))
        return p->Scaled != 0;
    return AsFloat() != 0;
}

double Variant::AsFloat() const
{
    if (auto p = std::get_if<double>(&FValue))
        return *p;
    if (auto p = std::get_if<DateTag>(&FValue))
        return p->Value;
    if (auto p = std::get_if<Int64>(&FValue))
        return static_cast<double>(*p);
    if (auto p = std::get_if<bool>(&FValue))
        return *p ? -1.0 : 0.0;
    if (auto p = std::get_if<Currency>(&FValue))
        return p->ToDouble();
    if (auto p = std::get_if<String>(&FValue)) {
        double number;
        if (!TryStrToFloat(*p, number))
            CastError(varString, varDouble);
        return number;
    }
    if (IsEmpty())
        return 0;
    CastError(VarType(), varDouble);
}

Currency Variant::AsCurrency() const
{
    if (auto p = std::get_if<Currency>(&FValue))
        return *p;
    if (auto p = std::get_if<Int64>(&FValue)) {
        if (*p > INT64_MAX / 10000 || *p < INT64_MIN / 10000)
            CastError(varInt64, varCurrency);
        return Currency {*p * 10000};
    }
    try {
        return Currency::FromDouble(AsFloat());
    } catch (const EConvertError&) {
        CastError(VarType(), varCurrency);
    }
}

String Variant::AsString() const
{
    if (auto p = std::get_if<String>(&FValue))
        return *p;
    if (auto p = std::get_if<Int64>(&FValue))
        return IntToStr(*p);
    if (auto p = std::get_if<bool>(&FValue))
        return *p ? "True" : "False";
    if (auto p = std::get_if<double>(&FValue))
        return FloatToStr(*p);
    if (auto p = std::get_if<Currency>(&FValue))
        return FloatToStr(p->ToDouble());
    if (auto p = std::get_if<DateTag>(&FValue))
        return DateTimeToStr(p->Value);
    if (IsEmpty())
        return String();
    CastError(VarType(), varString);
}

TDateTime Variant::AsDateTime() const
{
    if (auto p = std::get_if<String>(&FValue)) {
        TDateTime date;
        if (!TryStrToDate(Trim(*p), date))
            CastError(varString, varDate);
        return date;
    }
    if (std::holds_alternative<bool>(FValue))
        CastError(varBoolean, varDate);
    return AsFloat();
}

int Variant::ArrayCount() const
{
    auto p = std::get_if<std::shared_ptr<const VariantArray>>(&FValue);
    if (!p)
        throw EConvertError("Variant is not an array");
    return static_cast<int>((*p)->size());
}

const Variant& Variant::operator[](int Index) const
{
    if (Index < 0 || Index >= ArrayCount())
        throw ERangeError("Variant array index out of bounds (" + IntToStr(Index) + ")");
    return (*std::get<std::shared_ptr<const VariantArray>>(FValue))[static_cast<size_t>(Index)];
}

bool Variant::operator==(const Variant& Other) const
{
    TVarType a = VarType();
    TVarType b = Other.VarType();
    if (a == varEmpty || a == varNull || b == varEmpty || b == varNull)
        return a == b;
    if (a == varArray || b == varArray) {
        if (a != b || ArrayCount() != Other.ArrayCount())
            return false;
        for (int i = 0; i < ArrayCount(); ++i)
            if (!((*this)[i] == Other[i]))
                return false;
        return true;
    }
    if (a == varString && b == varString)
        return std::get<String>(FValue) == std::get<String>(Other.FValue);
    if (a == varInt64 && b == varInt64)
        return std::get<Int64>(FValue) == std::get<Int64>(Other.FValue);
    if ((a == varCurrency || a == varInt64) && (b == varCurrency || b == varInt64)) {
        try {
            return AsCurrency() == Other.AsCurrency();
        } catch (const EConvertError&) {
            return false;
        }
    }
    // A text against a number: equal when the text converts to the number's kind.
    try {
        if (a == varString || b == varString) {
            const Variant& number = a == varString ? Other : *this;
            const Variant& text = a == varString ? *this : Other;
            TVarType kind = number.VarType();
            if (kind == varBoolean)
                return text.AsBoolean() == number.AsBoolean();
            if (kind == varDate)
                return text.AsDateTime() == number.AsFloat();
            Int64 whole;
            if (kind == varInt64 && ParseInt64(std::get<String>(text.FValue), whole))
                return whole == std::get<Int64>(number.FValue);
            return text.AsFloat() == number.AsFloat();
        }
    } catch (const EConvertError&) {
        return false;
    }
    return IsNumeric(a) && IsNumeric(b) && AsFloat() == Other.AsFloat();
}

Variant VarArrayOf(VariantArray Values)
{
    Variant v;
    v.FValue = std::make_shared<const VariantArray>(std::move(Values));
    return v;
}

Variant VarArrayOf(std::initializer_list<Variant> Values) { return VarArrayOf(VariantArray(Values)); }

String VarToStr(const Variant& V) { return VarIsClear(V) ? String() : V.AsString(); }
