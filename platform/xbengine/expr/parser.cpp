#include "platform/xbengine/expr/parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/xbengine/expr/expression.h"
#include "platform/xbengine/expr/lexer.h"

namespace xbexpr {

namespace {

struct ParseError {
    String message;
    size_t position;
};

using NodePtr = std::unique_ptr<Node>;

class Parser {
public:
    Parser(std::string_view text, const RecordContext& context)
        : FLexer(text), FContext(context), FSettings(context.Settings())
    {
        Advance();
    }

    NodePtr Run()
    {
        NodePtr root = ParseOr();
        if (FTok.kind != Tok::End)
            Fail("unexpected text");
        return root;
    }

private:
    // Nesting of parentheses, function calls and prefix operators.
    struct Nest {
        explicit Nest(Parser& p) : parser(p)
        {
            if (++parser.FDepth > kMaxNesting)
                parser.Fail("nested too deeply");
        }
        ~Nest() { --parser.FDepth; }
        Parser& parser;
    };

    [[noreturn]] void Fail(const char* what) { throw ParseError {what, FTok.position}; }
    [[noreturn]] void FailAt(const char* what, size_t position) { throw ParseError {what, position}; }

    void Advance()
    {
        FTok = FLexer.Next();
        if (FTok.kind == Tok::Bad)
            Fail("invalid character or unterminated literal");
    }

    void Expect(Tok kind, const char* what)
    {
        if (FTok.kind != kind)
            Fail(what);
        Advance();
    }

    NodePtr Make(Op op, ValueType type, NodePtr left, NodePtr right = nullptr)
    {
        auto node = std::make_unique<Node>();
        node->op = op;
        node->type = type;
        node->args.push_back(std::move(left));
        if (right)
            node->args.push_back(std::move(right));
        SetDepth(*node);
        return node;
    }

    // A chain of operators nests without parentheses; the evaluator recurses
    // once per level, so the depth of the tree is bounded as well.
    void SetDepth(Node& node)
    {
        for (const auto& arg : node.args)
            node.depth = std::max(node.depth, arg->depth + 1);
        if (node.depth > kMaxTreeDepth)
            Fail("nested too deeply");
    }

    NodePtr ParseOr()
    {
        Nest nest(*this);
        NodePtr left = ParseAnd();
        while (FTok.kind == Tok::Or) {
            const size_t at = FTok.position;
            Advance();
            left = Logical(Op::Or, std::move(left), ParseAnd(), at);
        }
        return left;
    }

    NodePtr ParseAnd()
    {
        NodePtr left = ParseNot();
        while (FTok.kind == Tok::And) {
            const size_t at = FTok.position;
            Advance();
            left = Logical(Op::And, std::move(left), ParseNot(), at);
        }
        return left;
    }

    NodePtr Logical(Op op, NodePtr left, NodePtr right, size_t at)
    {
        if (left->type != ValueType::Logical || right->type != ValueType::Logical)
            FailAt("logical operands expected", at);
        NodePtr node = Make(op, ValueType::Logical, std::move(left), std::move(right));
        node->width = 1;
        return node;
    }

    NodePtr ParseNot()
    {
        if (FTok.kind != Tok::Not)
            return ParseRelation();
        Nest nest(*this);
        const size_t at = FTok.position;
        Advance();
        NodePtr operand = ParseNot();
        if (operand->type != ValueType::Logical)
            FailAt("logical operand expected", at);
        NodePtr node = Make(Op::Not, ValueType::Logical, std::move(operand));
        node->width = 1;
        return node;
    }

    static bool RelationOp(Tok kind, Op& op)
    {
        switch (kind) {
        case Tok::Equal: op = Op::Equal; return true;
        case Tok::ExactEqual: op = Op::ExactEqual; return true;
        case Tok::NotEqual: op = Op::NotEqual; return true;
        case Tok::Less: op = Op::Less; return true;
        case Tok::Greater: op = Op::Greater; return true;
        case Tok::LessEqual: op = Op::LessEqual; return true;
        case Tok::GreaterEqual: op = Op::GreaterEqual; return true;
        case Tok::Dollar: op = Op::Contains; return true;
        default: return false;
        }
    }

    NodePtr ParseRelation()
    {
        NodePtr left = ParseSum();
        Op op;
        while (RelationOp(FTok.kind, op)) {
            const size_t at = FTok.position;
            Advance();
            NodePtr right = ParseSum();
            if (left->type != right->type)
                FailAt("operands of different types", at);
            if (op == Op::Contains && left->type != ValueType::Character)
                FailAt("character operands expected", at);
            left = Make(op, ValueType::Logical, std::move(left), std::move(right));
            left->width = 1;
        }
        return left;
    }

    NodePtr ParseSum()
    {
        NodePtr left = ParseProduct();
        while (FTok.kind == Tok::Plus || FTok.kind == Tok::Minus) {
            const bool plus = FTok.kind == Tok::Plus;
            const size_t at = FTok.position;
            Advance();
            NodePtr right = ParseProduct();
            const ValueType l = left->type, r = right->type;
            using VT = ValueType;
            Op op;
            VT type;
            if (l == VT::Numeric && r == VT::Numeric) {
                op = plus ? Op::AddNum : Op::SubNum;
                type = VT::Numeric;
            } else if (l == VT::Character && r == VT::Character) {
                op = plus ? Op::Concat : Op::ConcatTrim;
                type = VT::Character;
            } else if (l == VT::Date && r == VT::Numeric) {
                op = plus ? Op::DateAddDays : Op::DateSubDays;
                type = VT::Date;
            } else if (plus && l == VT::Numeric && r == VT::Date) {
                // Days + date: evaluated as date + days.
                std::swap(left, right);
                op = Op::DateAddDays;
                type = VT::Date;
            } else if (!plus && l == VT::Date && r == VT::Date) {
                op = Op::DateDiff;
                type = VT::Numeric;
            } else {
                FailAt("operands of these types cannot be added or subtracted", at);
            }
            const long long joined = std::min<long long>(static_cast<long long>(left->width) + right->width,
                                                         static_cast<long long>(kMaxStringLength));
            const int width = type == VT::Character ? static_cast<int>(joined)
                              : type == VT::Date    ? 8
                                                    : std::max(left->width, right->width);
            const int decimals = std::max(left->decimals, right->decimals);
            left = Make(op, type, std::move(left), std::move(right));
            left->width = width;
            left->decimals = type == VT::Numeric ? decimals : 0;
        }
        return left;
    }

    NodePtr Arithmetic(Op op, NodePtr left, NodePtr right, size_t at)
    {
        if (left->type != ValueType::Numeric || right->type != ValueType::Numeric)
            FailAt("numeric operands expected", at);
        const int width = std::max(left->width, right->width);
        // Decimals shown when the value becomes text: a product keeps both
        // operands' places, a quotient or power at least two.
        const int places = std::max(left->decimals, right->decimals);
        const int decimals = op == Op::Mul                    ? std::min(left->decimals + right->decimals, 15)
                             : op == Op::Div || op == Op::Pow ? std::max(2, places)
                                                              : places;
        NodePtr node = Make(op, ValueType::Numeric, std::move(left), std::move(right));
        node->width = width;
        node->decimals = decimals;
        return node;
    }

    NodePtr ParseProduct()
    {
        NodePtr left = ParsePower();
        while (FTok.kind == Tok::Star || FTok.kind == Tok::Slash || FTok.kind == Tok::Percent) {
            const Op op = FTok.kind == Tok::Star ? Op::Mul : FTok.kind == Tok::Slash ? Op::Div : Op::Mod;
            const size_t at = FTok.position;
            Advance();
            left = Arithmetic(op, std::move(left), ParsePower(), at);
        }
        return left;
    }

    NodePtr ParsePower()
    {
        NodePtr left = ParseUnary();
        while (FTok.kind == Tok::Power) {
            const size_t at = FTok.position;
            Advance();
            left = Arithmetic(Op::Pow, std::move(left), ParseUnary(), at);
        }
        return left;
    }

    NodePtr ParseUnary()
    {
        if (FTok.kind != Tok::Plus && FTok.kind != Tok::Minus)
            return ParsePrimary();
        Nest nest(*this);
        const bool minus = FTok.kind == Tok::Minus;
        const size_t at = FTok.position;
        Advance();
        NodePtr operand = ParseUnary();
        if (operand->type != ValueType::Numeric)
            FailAt("numeric operand expected", at);
        if (!minus)
            return operand;
        const int width = operand->width, decimals = operand->decimals;
        NodePtr node = Make(Op::Negate, ValueType::Numeric, std::move(operand));
        node->width = width;
        node->decimals = decimals;
        return node;
    }

    NodePtr Literal(Value value, int width, int decimals = 0)
    {
        auto node = std::make_unique<Node>();
        node->op = Op::Literal;
        node->type = value.Type;
        node->width = width;
        node->decimals = decimals;
        node->value = std::move(value);
        return node;
    }

    NodePtr ParsePrimary()
    {
        const Token tok = FTok;
        switch (tok.kind) {
        case Tok::Number: {
            Advance();
            double number = 0;
            const auto res = std::from_chars(tok.text.data(), tok.text.data() + tok.text.size(), number);
            if (res.ec != std::errc() || !std::isfinite(number))
                FailAt("number out of range", tok.position);
            const size_t point = tok.text.find('.');
            const int decimals =
                    point == std::string_view::npos ? 0 : static_cast<int>(tok.text.size() - point - 1);
            return Literal(Value::Num(number), static_cast<int>(std::min<size_t>(tok.text.size(), 20)),
                           decimals);
        }
        case Tok::String:
            Advance();
            return Literal(Value::Char(String(tok.text)), static_cast<int>(tok.text.size()));
        case Tok::True:
        case Tok::False: Advance(); return Literal(Value::Bool(tok.kind == Tok::True), 1);
        case Tok::LParen: {
            Advance();
            NodePtr inner = ParseOr();
            Expect(Tok::RParen, "\")\" expected");
            return inner;
        }
        case Tok::Ident: {
            Advance();
            if (FTok.kind == Tok::LParen)
                return ParseCall(tok);
            if (FTok.kind == Tok::Arrow) {
                Advance();
                const Token name = FTok;
                Expect(Tok::Ident, "field name expected after \"->\"");
                return FieldNode(tok.text, name);
            }
            return FieldNode({}, tok);
        }
        default: Fail(tok.kind == Tok::End ? "unexpected end of expression" : "operand expected");
        }
    }

    NodePtr FieldNode(std::string_view alias, const Token& name)
    {
        auto node = std::make_unique<Node>();
        node->op = Op::Field;
        if (!FContext.LookupField(alias, name.text, node->field))
            FailAt("unknown field", name.position);
        const FieldInfo& f = node->field;
        if (f.Width < 0 || f.Offset < 0)
            FailAt("unusable field", name.position);
        switch (f.Type) {
        case 'N':
        case 'F':
        case 'I':
            node->type = ValueType::Numeric;
            node->width = f.Type == 'I' ? 11 : f.Width;
            node->decimals = f.Type == 'I' ? 0 : f.Decimals;
            break;
        case 'D':
            node->type = ValueType::Date;
            node->width = 8;
            break;
        case 'L':
            node->type = ValueType::Logical;
            node->width = 1;
            break;
        default:  // C, memo and the raw bytes of any other type
            node->type = ValueType::Character;
            node->width = f.Width;
            break;
        }
        return node;
    }

    NodePtr ParseCall(const Token& name)
    {
        Nest nest(*this);
        const Function* function = FindFunction(name.text);
        if (!function)
            FailAt("unknown function", name.position);
        Advance();  // "("
        auto node = std::make_unique<Node>();
        node->op = Op::Function;
        node->function = function;
        node->type = function->result;
        if (FTok.kind != Tok::RParen) {
            for (;;) {
                node->args.push_back(ParseOr());
                if (FTok.kind != Tok::Comma)
                    break;
                Advance();
            }
        }
        Expect(Tok::RParen, "\")\" expected");
        SetDepth(*node);
        CheckArguments(*node, name.position);
        return node;
    }

    void CheckArguments(Node& node, size_t at)
    {
        const std::string_view params = node.function->params;
        size_t required = 0;
        while (required < params.size() && !(params[required] >= 'a' && params[required] <= 'z'))
            ++required;
        const size_t given = node.args.size();
        if (given < required || given > params.size())
            FailAt("wrong number of arguments", at);
        for (size_t i = 0; i < given; ++i) {
            const char want = static_cast<char>(params[i] & ~0x20);  // upper case; '?' stays '?'
            if (params[i] != '?' && static_cast<char>(node.args[i]->type) != want)
                FailAt("argument of the wrong type", at);
        }
        if (!node.function->shape(node, FSettings))
            FailAt("arguments of the wrong types", at);
    }

    Lexer FLexer;
    const RecordContext& FContext;
    ExprSettings FSettings;
    Token FTok;
    int FDepth = 0;
};

}  // namespace

std::unique_ptr<Node> Parse(std::string_view text, const RecordContext& context, String& error)
{
    if (text.size() > kMaxExpressionLength) {
        error = "expression too long";
        return nullptr;
    }
    try {
        Parser parser(text, context);
        return parser.Run();
    } catch (const ParseError& e) {
        error = e.message + " at position " + std::to_string(e.position);
        return nullptr;
    }
}

}  // namespace xbexpr
