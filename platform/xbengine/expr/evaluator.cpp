#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/expression.h"
#include "platform/xbengine/expr/node.h"
#include "platform/xbengine/expr/numtext.h"

namespace xbexpr {

bool ReadRecordField(const FieldInfo& f, ValueType type, std::string_view record, Value& out)
{
    if (static_cast<size_t>(f.Offset) > record.size() ||
        static_cast<size_t>(f.Width) > record.size() - f.Offset)
        return false;
    const std::string_view raw = record.substr(static_cast<size_t>(f.Offset), static_cast<size_t>(f.Width));
    out.Type = type;
    switch (type) {
    case ValueType::Numeric:
        if (f.Type == 'I') {
            if (raw.size() != 4)
                throw EvalError {"integer field of a wrong width"};
            std::uint32_t bits = 0;
            for (int i = 3; i >= 0; --i)
                bits = bits << 8 | static_cast<unsigned char>(raw[static_cast<size_t>(i)]);
            out.Number = static_cast<std::int32_t>(bits);
        } else {
            out.Number = ValOf(raw);
        }
        break;
    case ValueType::Date: {
        std::int32_t jdn = 0;
        out.Number = DtosToDate(raw, jdn) ? jdn : 0;
        break;
    }
    case ValueType::Logical:
        out.Logical = !raw.empty() && (raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y');
        break;
    case ValueType::Character: out.Text.assign(raw); break;
    }
    return true;
}

namespace {

void ReadField(EvalState& state, const Node& node, Value& out)
{
    const FieldInfo& f = node.field;
    out.Type = node.type;
    if (f.Type == 'M') {
        out.Text = state.context.MemoText(f);
        CheckLength(static_cast<long long>(out.Text.size()));
        return;
    }
    if (!ReadRecordField(f, node.type, state.context.Record(f.Area), out))
        throw EvalError {"field outside the record"};
}

// Byte-wise comparison of two texts as if the shorter were padded with blanks.
int ComparePadded(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    if (const int c = common ? std::memcmp(a.data(), b.data(), common) : 0; c != 0)
        return c < 0 ? -1 : 1;
    const std::string_view rest = a.size() > common ? a.substr(common) : b.substr(common);
    const int sign = a.size() > common ? 1 : -1;
    for (const char ch : rest) {
        const auto u = static_cast<unsigned char>(ch);
        if (u != ' ')
            return u < ' ' ? -sign : sign;
    }
    return 0;
}

int Compare(const Value& a, const Value& b)
{
    switch (a.Type) {
    case ValueType::Character: return ComparePadded(a.Text, b.Text);
    case ValueType::Logical: return static_cast<int>(a.Logical) - static_cast<int>(b.Logical);
    default: return a.Number < b.Number ? -1 : a.Number > b.Number ? 1 : 0;
    }
}

// "=": with EXACT off a character value equals any value it begins with.
bool Equal(const Value& a, const Value& b, bool exact)
{
    if (a.Type == ValueType::Character && !exact)
        return b.Text.size() <= a.Text.size() && a.Text.compare(0, b.Text.size(), b.Text) == 0;
    return Compare(a, b) == 0;
}

double Checked(double number)
{
    if (!std::isfinite(number))
        throw EvalError {"numeric overflow"};
    return number;
}

double DateChecked(double jdn)
{
    if (!(jdn >= kFirstJdn && jdn <= kLastJdn))
        throw EvalError {"date out of range"};
    return jdn;
}

const Value& Compute(EvalState& state, const Node& node);

}  // namespace

void CheckLength(long long length)
{
    if (length > static_cast<long long>(kMaxStringLength))
        throw EvalError {"character value too long"};
}

// Every node keeps its last value, so the character bytes of one evaluation
// are bounded as a whole, not only value by value.
const Value& Eval(EvalState& state, const Node& node)
{
    if (node.op == Op::Literal)
        return node.value;
    const Value& out = Compute(state, node);
    if (out.Type == ValueType::Character) {
        state.textBuilt += out.Text.size();
        if (state.textBuilt > kMaxTextPerEvaluation)
            throw EvalError {"character values too long"};
    }
    return out;
}

namespace {

const Value& Compute(EvalState& state, const Node& node)
{
    Value& out = node.value;
    if (node.op == Op::Field) {
        ReadField(state, node, out);
        return out;
    }
    if (node.op == Op::Function) {
        out.Type = node.type;
        node.function->eval(state, node, out);
        return out;
    }
    // Logical connectives evaluate their right side only when needed.
    if (node.op == Op::And || node.op == Op::Or) {
        const bool left = Eval(state, *node.args[0]).Logical;
        out.Type = ValueType::Logical;
        out.Logical = node.op == Op::And ? left && Eval(state, *node.args[1]).Logical
                                         : left || Eval(state, *node.args[1]).Logical;
        return out;
    }
    const Value& a = Eval(state, *node.args[0]);
    if (node.op == Op::Negate) {
        out.Type = ValueType::Numeric;
        out.Number = -a.Number;
        return out;
    }
    if (node.op == Op::Not) {
        out.Type = ValueType::Logical;
        out.Logical = !a.Logical;
        return out;
    }
    const Value& b = Eval(state, *node.args[1]);
    out.Type = node.type;
    switch (node.op) {
    case Op::AddNum: out.Number = Checked(a.Number + b.Number); break;
    case Op::SubNum: out.Number = Checked(a.Number - b.Number); break;
    case Op::Mul: out.Number = Checked(a.Number * b.Number); break;
    case Op::Div:
        if (b.Number == 0)
            throw EvalError {"division by zero"};
        out.Number = Checked(a.Number / b.Number);
        break;
    case Op::Mod:
        if (b.Number == 0)
            throw EvalError {"division by zero"};
        // The result takes the divisor's sign.
        out.Number = Checked(a.Number - b.Number * std::floor(a.Number / b.Number));
        break;
    case Op::Pow: out.Number = Checked(std::pow(a.Number, b.Number)); break;
    case Op::Concat:
        CheckLength(static_cast<long long>(a.Text.size() + b.Text.size()));
        out.Text.assign(a.Text);
        out.Text += b.Text;
        break;
    case Op::ConcatTrim: {
        // The left side's trailing blanks move to the end of the result.
        CheckLength(static_cast<long long>(a.Text.size() + b.Text.size()));
        const size_t kept = a.Text.find_last_not_of(' ') + 1;
        out.Text.assign(a.Text, 0, kept);
        out.Text += b.Text;
        out.Text.append(a.Text.size() - kept, ' ');
        break;
    }
    case Op::DateAddDays:
    case Op::DateSubDays: {
        if (a.Number == 0)
            throw EvalError {"arithmetic on an empty date"};
        const double days = std::trunc(b.Number);
        out.Number = DateChecked(node.op == Op::DateAddDays ? a.Number + days : a.Number - days);
        break;
    }
    case Op::DateDiff:
        if (a.Number == 0 || b.Number == 0)
            throw EvalError {"arithmetic on an empty date"};
        out.Number = a.Number - b.Number;
        break;
    case Op::Equal: out.Logical = Equal(a, b, state.settings.Exact); break;
    case Op::NotEqual: out.Logical = !Equal(a, b, state.settings.Exact); break;
    case Op::ExactEqual: out.Logical = Compare(a, b) == 0; break;
    case Op::Less: out.Logical = Compare(a, b) < 0; break;
    case Op::Greater: out.Logical = Compare(a, b) > 0; break;
    case Op::LessEqual: out.Logical = Compare(a, b) <= 0; break;
    case Op::GreaterEqual: out.Logical = Compare(a, b) >= 0; break;
    case Op::Contains: out.Logical = !a.Text.empty() && b.Text.find(a.Text) != String::npos; break;
    default: throw EvalError {"invalid operation"};
    }
    return out;
}

}  // namespace

}  // namespace xbexpr
