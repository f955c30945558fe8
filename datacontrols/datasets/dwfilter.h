#pragma once
// The filter expression compiler: a filter written as text ("CITY = "BOSTON" AND
// AMOUNT > 100") becomes a filter expression blob in the published CANExpr layout,
// which TdwFilterPredicate evaluates over a data set's records.
//
// The language (datacontrols/README.md says it whole, with where it departs from
// its earlier versions): comparisons of a field with a constant (or an arithmetic
// term), joined by AND and OR. AND and OR share one level and group to the left, so
// "A=1 OR B=2 AND C=3" means "(A=1 OR B=2) AND C=3"; parentheses group otherwise.
// Identifiers run on across blanks and "+ - * /", so an arithmetic operator stands
// alone only before a parenthesis or a quote: "(QTY) - (1)". The right side of a
// comparison takes the type of the field on its left, or of the term on its left.
// Text left over after a complete expression is refused.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/object.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"

class TDataSet;

using TdwFilterBlob = std::vector<std::uint8_t>;

// Node kinds and operand types of the expression tree.
enum TdwNodeKind : std::uint8_t { nkComparison, nkLogical, nkArithmetic, nkOperand };
enum TdwOperandType : std::uint8_t {
    otField,  // no type: the operand names a field
    otString,
    otFloat,
    otDateTime,
    otDate,
    otTime,
    otBoolean,
    otInteger,
    otBCD,
    otSmallint
};

// One node of the expression tree; owns its children.
class TNode : public TObject {
public:
    String ClassName() const override { return "TNode"; }
    TdwNodeKind Kind = nkOperand;
    TdwOperandType OperandType = otField;
    int BCDScale = 0;
    String Token;
    // Where the token begins in the filter text (1-based), and for a constant the
    // field whose type it takes; both for messages.
    int Position = 0;
    String FieldName;
    Word Offset = 0;  // of the node's slot, once emitted
    std::unique_ptr<TNode> Left;
    std::unique_ptr<TNode> Right;
};

// The CANExpr layout: a header of five 16-bit words, 14-byte node slots, literals.
namespace canexpr {
constexpr int HeaderSize = 10;
constexpr int SlotSize = 14;
constexpr std::uint32_t ClassBinary = 2, ClassField = 4, ClassConstant = 5;
constexpr std::uint32_t OpField = 13, OpConstant = 14;
constexpr std::uint32_t OpEqual = 3, OpNotEqual = 4, OpGreater = 5, OpLess = 6, OpGreaterEqual = 7,
                        OpLessEqual = 8, OpAnd = 10, OpOr = 11, OpAdd = 16, OpSubtract = 17, OpMultiply = 18,
                        OpDivide = 19;
// Constant data types.
constexpr Word TypeString = 1, TypeDate = 2, TypeBoolean = 4, TypeSmallint = 5, TypeInteger = 6,
               TypeFloat = 7, TypeBCD = 8, TypeTime = 10, TypeDateTime = 11;
constexpr int BCDSize = 34;
constexpr int BCDPrecision = 32;
// Days from 1 January of the year 1 to the date-time epoch, plus one.
constexpr int DayNumberOffset = 693594;
}  // namespace canexpr

// The operand type of a field of DataType; otField for one that has none.
TdwOperandType dwOperandTypeOf(TFieldType DataType);

// The decimal mark numbers may take besides ".": the user's locale's, read once
// from the environment (LC_ALL, LC_NUMERIC, LANG) when the library starts.
extern char dwFilterDecimalSeparator;

// The blob of Text for DataSet; empty when the text does not compile, after a
// warning box that names what is wrong: "Field not found in Table. " with the
// name, or "Invalid filter expression. " with the fault and its position in the
// text (a syntax error, a constant that does not convert, a whole number outside
// its field's range, a memo compared with a value).
TdwFilterBlob dwFilterCompile(const String& Text, TDataSet* DataSet);

// The BCD constant layout: precision, sign and scale, then 32 digits, two a byte.
void dwDoubleToBCD(double Value, int Scale, std::uint8_t* Out);
double dwBCDToDouble(const std::uint8_t* In);
