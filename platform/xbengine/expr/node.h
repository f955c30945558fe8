#pragma once
// The compiled form of an expression: a typed tree that the evaluator walks.

#include <memory>
#include <vector>

#include "platform/xbengine/expr/recordcontext.h"
#include "platform/xbengine/expr/value.h"

namespace xbexpr {

enum class Op {
    Literal,
    Field,
    Function,
    Negate,
    Not,
    AddNum,
    SubNum,
    Mul,
    Div,
    Mod,
    Pow,
    Concat,
    ConcatTrim,  // + and - on character values
    DateAddDays,
    DateSubDays,
    DateDiff,
    Equal,
    ExactEqual,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Contains,
    And,
    Or,
};

struct Node;

// Raised inside an evaluation for a run-time error; the public API turns it into LastError().
struct EvalError {
    String message;
};

struct EvalState {
    const RecordContext& context;
    ExprSettings settings;
    size_t textBuilt = 0;  // character bytes built so far in this evaluation
};

// Refuses a character value longer than any an evaluation may build.
void CheckLength(long long length);

// A built-in function. `params` has one letter per parameter (C, N, D, L, or ?
// for any type); a lower-case letter and all after it are optional.
struct Function {
    const char* name;
    const char* params;
    ValueType result;
    // Fixes width, decimals and (for ?-typed results) the type; false refuses the arguments.
    bool (*shape)(Node& node, const ExprSettings& settings);
    void (*eval)(EvalState& state, const Node& node, Value& out);
};

const Function* FindFunction(std::string_view name);

struct Node {
    Op op = Op::Literal;
    ValueType type = ValueType::Logical;
    int width = 0;
    int decimals = 0;
    int depth = 1;
    std::vector<std::unique_ptr<Node>> args;
    FieldInfo field;                     // Op::Field
    const Function* function = nullptr;  // Op::Function
    mutable Value value;                 // the literal, or the last result of this node
};

// Reads a field (not a memo) of the given type from a record image; false
// when the field lies outside it. Throws EvalError for an integer field of
// a wrong width.
bool ReadRecordField(const FieldInfo& field, ValueType type, std::string_view record, Value& out);

// Evaluates a node into its own value and returns it; throws EvalError.
const Value& Eval(EvalState& state, const Node& node);

}  // namespace xbexpr
