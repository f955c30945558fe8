#pragma once
// ConstArg: the list of typed values the table layer's "array of const" calls take,
// e.g. Table->FindKey({String("SMITH"), 42}) or SetRange({1}, {9}).

#include <vector>

#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

enum TVarRecKind {
    vtInteger,   // int
    vtInt64,     // Int64
    vtExtended,  // double
    vtBoolean,   // bool
    vtChar,      // one character
    vtString,    // String (also built from a C string)
    vtPointer,   // untyped pointer; nullptr or zero-terminated text
    vtCurrency,  // Currency
    vtVariant,   // Variant
};

// One tagged value of the list.
class TVarRec {
public:
    TVarRec(int Value) : VType(vtInteger), FInt(Value) { }
    TVarRec(Int64 Value) : VType(vtInt64), FInt(Value) { }
    TVarRec(double Value) : VType(vtExtended), FFloat(Value) { }
    TVarRec(bool Value) : VType(vtBoolean), FInt(Value ? 1 : 0) { }
    TVarRec(char Value) : VType(vtChar), FText(1, Value) { }
    TVarRec(const String& Value) : VType(vtString), FText(Value) { }
    TVarRec(const char* Value) : VType(vtString), FText(Value ? Value : "") { }
    TVarRec(const void* Value) : VType(vtPointer), FPointer(Value) { }
    TVarRec(Currency Value) : VType(vtCurrency), FInt(Value.Scaled) { }
    TVarRec(const Variant& Value) : VType(vtVariant), FVariant(Value) { }

    TVarRecKind VType;

    // The value of the matching kind; another kind raises EConvertError.
    Int64 AsInt64() const
    {  // vtInteger, vtInt64
        Expect(VType == vtInteger || VType == vtInt64, "an integer");
        return FInt;
    }
    double AsFloat() const
    {  // vtExtended; vtCurrency as its amount
        if (VType == vtCurrency)
            return AsCurrency().ToDouble();
        Expect(VType == vtExtended, "a float");
        return FFloat;
    }
    bool AsBoolean() const
    {
        Expect(VType == vtBoolean, "a Boolean");
        return FInt != 0;
    }
    char AsChar() const
    {
        Expect(VType == vtChar, "a character");
        return FText[0];
    }
    const String& AsString() const
    {  // vtString, vtChar
        Expect(VType == vtString || VType == vtChar, "a string");
        return FText;
    }
    const void* AsPointer() const
    {
        Expect(VType == vtPointer, "a pointer");
        return FPointer;
    }
    Currency AsCurrency() const
    {
        Expect(VType == vtCurrency, "a currency value");
        return Currency {FInt};
    }
    const Variant& AsVariant() const
    {
        Expect(VType == vtVariant, "a variant");
        return FVariant;
    }

    // The value as key text: integers in decimal, booleans ".T."/".F.", a char as
    // itself, floats and currency through FloatToStr, strings as they stand, a
    // pointer as the zero-terminated text it points to ("" for nullptr), a
    // variant through VarToStr.
    String KeyText() const;

private:
    void Expect(bool IsKind, const char* Wanted) const
    {
        if (!IsKind)
            throw EConvertError(String("Constant argument is not ") + Wanted);
    }

    Int64 FInt = 0;
    double FFloat = 0;
    String FText;
    const void* FPointer = nullptr;
    Variant FVariant;
};

inline String TVarRec::KeyText() const
{
    switch (VType) {
    case vtInteger:
    case vtInt64: return IntToStr(FInt);
    case vtBoolean: return FInt ? ".T." : ".F.";
    case vtChar:
    case vtString: return FText;
    case vtExtended: return FloatToStr(FFloat);
    case vtCurrency: return FloatToStr(AsFloat());
    case vtPointer: return FPointer ? String(static_cast<const char*>(FPointer)) : String();
    case vtVariant: return VarToStr(FVariant);
    }
    return String();
}

using ConstArg = std::vector<TVarRec>;
