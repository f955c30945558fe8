#pragma once
// A compiled xBase expression: compiled once against a table's fields, then
// evaluated per record without parsing again.

#include <memory>
#include <string_view>

#include "platform/rtl/types.h"
#include "platform/xbengine/expr/recordcontext.h"
#include "platform/xbengine/expr/value.h"

namespace xbexpr {

struct Node;

// Longest expression text and deepest nesting accepted.
constexpr size_t kMaxExpressionLength = 262144;
constexpr int kMaxNesting = 200;
constexpr int kMaxTreeDepth = 1000;
// Longest character value, and most character bytes one evaluation may build.
constexpr size_t kMaxStringLength = 16777216;
constexpr size_t kMaxTextPerEvaluation = 4 * kMaxStringLength;

// Evaluation keeps each node's last result inside the expression, so one
// expression serves one caller at a time.
class Expression {
public:
    ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // Null with an "Invalid expression" text in *error on a syntax error, an
    // unknown field or function, or a type mismatch.
    static std::unique_ptr<Expression> Compile(std::string_view text, const RecordContext& context,
                                               String* error = nullptr);
    // As Compile, and the result must be logical: queries, filters, FOR conditions.
    static std::unique_ptr<Expression> CompileCondition(std::string_view text, const RecordContext& context,
                                                        String* error = nullptr);

    const String& Text() const { return FText; }
    ValueType Type() const;
    // Width of a character result (the key length), of a number's text, 8 for a date, 1 for a logical.
    int Width() const;
    int Decimals() const;

    // False on a run-time error (division by zero, a value out of range), whose
    // text stays in LastError() until ClearError().
    bool Evaluate(const RecordContext& context, Value& result) const;
    // True only when the expression is logical, evaluates without error and is true.
    bool EvaluateLogical(const RecordContext& context) const;
    // The value as an index key: character values padded with blanks or cut to Width().
    bool EvaluateKey(const RecordContext& context, Value& key) const;
    // The value as text: numbers as STR() with the expression's width and
    // decimals, dates as DTOC(), logicals ".T."/".F."; "" on an error.
    String EvaluateText(const RecordContext& context) const;

    // The one field of the record's own table (not a memo) the expression is
    // made of, when it is nothing else; nullptr otherwise.
    const FieldInfo* SoleField() const;
    // That field's value read straight from a record image, as Evaluate
    // would give it; false where Evaluate would fail.
    bool ReadSoleField(std::string_view record, Value& value) const;

    const String& LastError() const { return FLastError; }
    void ClearError() const { FLastError.clear(); }

private:
    Expression(String text, std::unique_ptr<Node> root);

    String FText;
    std::unique_ptr<Node> FRoot;
    mutable String FLastError;
};

}  // namespace xbexpr
