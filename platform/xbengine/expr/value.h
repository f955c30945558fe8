#pragma once
// A value of the expression language: character, numeric, date or logical.

#include <utility>

#include "platform/rtl/types.h"

namespace xbexpr {

// The letters are the xBase type letters; memo fields evaluate as Character.
enum class ValueType : char { Character = 'C', Numeric = 'N', Date = 'D', Logical = 'L' };

struct Value {
    ValueType Type = ValueType::Logical;
    String Text;        // Character
    double Number = 0;  // Numeric; Date as its Julian day number, 0 for the empty date
    bool Logical = false;

    static Value Char(String s)
    {
        Value v;
        v.Type = ValueType::Character;
        v.Text = std::move(s);
        return v;
    }
    static Value Num(double n)
    {
        Value v;
        v.Type = ValueType::Numeric;
        v.Number = n;
        return v;
    }
    static Value Bool(bool b)
    {
        Value v;
        v.Type = ValueType::Logical;
        v.Logical = b;
        return v;
    }
};

// The type code the engine reports for a compiled expression: 1 character,
// 2 numeric, 3 logical, 4 date (0 stands for an invalid expression).
int TypeCode(ValueType type);

}  // namespace xbexpr
