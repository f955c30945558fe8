#include "platform/xbengine/expr/expression.h"

#include <algorithm>

#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/node.h"
#include "platform/xbengine/expr/numtext.h"
#include "platform/xbengine/expr/parser.h"

namespace xbexpr {

int TypeCode(ValueType type)
{
    switch (type) {
    case ValueType::Character: return 1;
    case ValueType::Numeric: return 2;
    case ValueType::Logical: return 3;
    case ValueType::Date: return 4;
    }
    return 0;
}

Expression::Expression(String text, std::unique_ptr<Node> root)
    : FText(std::move(text)), FRoot(std::move(root))
{
}

Expression::~Expression() = default;

std::unique_ptr<Expression> Expression::Compile(std::string_view text, const RecordContext& context,
                                                String* error)
{
    String reason;
    std::unique_ptr<Node> root = Parse(text, context, reason);
    if (!root) {
        if (error)
            *error = "Invalid expression: " + reason;
        return nullptr;
    }
    return std::unique_ptr<Expression>(new Expression(String(text), std::move(root)));
}

std::unique_ptr<Expression> Expression::CompileCondition(std::string_view text, const RecordContext& context,
                                                         String* error)
{
    std::unique_ptr<Expression> expression = Compile(text, context, error);
    if (expression && expression->Type() != ValueType::Logical) {
        if (error)
            *error = "Invalid expression: a logical condition is expected";
        return nullptr;
    }
    return expression;
}

ValueType Expression::Type() const { return FRoot->type; }

int Expression::Width() const { return FRoot->width; }

int Expression::Decimals() const { return FRoot->decimals; }

const FieldInfo* Expression::SoleField() const
{
    const bool sole = FRoot->op == Op::Field && FRoot->field.Area == 0 && FRoot->field.Type != 'M';
    return sole ? &FRoot->field : nullptr;
}

bool Expression::ReadSoleField(std::string_view record, Value& value) const
{
    try {
        return SoleField() && ReadRecordField(FRoot->field, FRoot->type, record, value);
    } catch (const EvalError&) {
        return false;
    }
}

bool Expression::Evaluate(const RecordContext& context, Value& result) const
{
    EvalState state {context, context.Settings()};
    try {
        result = Eval(state, *FRoot);
        return true;
    } catch (const EvalError& e) {
        FLastError = "Invalid expression: " + e.message + " in \"" + FText + "\"";
        return false;
    }
}

bool Expression::EvaluateLogical(const RecordContext& context) const
{
    Value value;
    return Type() == ValueType::Logical && Evaluate(context, value) && value.Logical;
}

bool Expression::EvaluateKey(const RecordContext& context, Value& key) const
{
    if (!Evaluate(context, key))
        return false;
    if (key.Type == ValueType::Character)
        key.Text.resize(static_cast<size_t>(Width()), ' ');
    return true;
}

String Expression::EvaluateText(const RecordContext& context) const
{
    Value value;
    if (!Evaluate(context, value))
        return "";
    switch (value.Type) {
    case ValueType::Character: return value.Text;
    case ValueType::Logical: return value.Logical ? ".T." : ".F.";
    case ValueType::Date: return DateToText(static_cast<std::int32_t>(value.Number), context.Settings());
    case ValueType::Numeric: {
        // Never asterisks: a value wider than the expression widens the text.
        const String text = FormatFixed(value.Number, std::min(Decimals(), 15));
        const size_t width = static_cast<size_t>(std::clamp(Width(), 1, 255));
        return text.size() >= width ? text : String(width - text.size(), ' ') + text;
    }
    }
    return "";
}

}  // namespace xbexpr
