#include <algorithm>
#include <cmath>

#include "platform/rtl/strutils.h"
#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/expression.h"
#include "platform/xbengine/expr/node.h"
#include "platform/xbengine/expr/numtext.h"

namespace xbexpr {

namespace {

using VT = ValueType;

// Longest STR() and STRZERO() text.
constexpr long long kMaxNumberText = 255;

const Value& Arg(EvalState& state, const Node& node, size_t i) { return Eval(state, *node.args[i]); }

// An integer argument, clamped far beyond any usable length so that it converts safely.
long long IntOf(double number)
{
    if (!(number > -1e9))
        return -1000000000;  // NaN included
    if (number > 1e9)
        return 1000000000;
    return static_cast<long long>(std::trunc(number));
}

long long IntArg(EvalState& state, const Node& node, size_t i) { return IntOf(Arg(state, node, i).Number); }

// A literal integer argument, known at compile time.
bool ConstInt(const Node& node, size_t i, long long& value)
{
    if (i >= node.args.size() || node.args[i]->op != Op::Literal)
        return false;
    value = IntOf(node.args[i]->value.Number);
    return true;
}

int Clip(long long width)
{
    return static_cast<int>(std::clamp<long long>(width, 0, static_cast<long long>(kMaxStringLength)));
}

// Shapes.
bool SameWidth(Node& node, const ExprSettings&)
{
    node.width = node.args[0]->width;
    node.decimals = node.args[0]->decimals;
    return true;
}
template<int W> bool FixedWidth(Node& node, const ExprSettings&)
{
    node.width = W;
    return true;
}
bool WidthFromArg1(Node& node, const ExprSettings&)
{
    long long n;
    node.width = ConstInt(node, 1, n) ? Clip(n) : node.args[0]->width;
    return true;
}
bool SubstrShape(Node& node, const ExprSettings&)
{
    long long start, length;
    const int width = node.args[0]->width;
    if (ConstInt(node, 2, length))
        node.width = Clip(length);
    else if (ConstInt(node, 1, start))
        node.width = Clip(width - std::max(start, 1LL) + 1);
    else
        node.width = width;
    return true;
}
bool StrShape(Node& node, const ExprSettings&)
{
    long long n = 10, d = 0;
    ConstInt(node, 1, n);
    ConstInt(node, 2, d);
    node.width = static_cast<int>(std::clamp(n, 1LL, kMaxNumberText));
    node.decimals = static_cast<int>(std::clamp(d, 0LL, kMaxNumberText));
    return true;
}
bool DtocShape(Node& node, const ExprSettings& settings)
{
    node.width = DateTextWidth(settings);
    return true;
}
bool SpaceShape(Node& node, const ExprSettings&)
{
    long long n = 0;
    node.width = ConstInt(node, 0, n) ? Clip(n) : 0;
    return true;
}
bool ReplicateShape(Node& node, const ExprSettings&)
{
    long long n = 0;
    node.width = ConstInt(node, 1, n) ? Clip(n * node.args[0]->width) : node.args[0]->width;
    return true;
}
bool IifShape(Node& node, const ExprSettings&)
{
    const Node& a = *node.args[1];
    const Node& b = *node.args[2];
    if (a.type != b.type)
        return false;
    node.type = a.type;
    node.width = std::max(a.width, b.width);
    node.decimals = std::max(a.decimals, b.decimals);
    return true;
}
bool RoundShape(Node& node, const ExprSettings&)
{
    long long d = 0;
    node.width = node.args[0]->width;
    node.decimals =
            ConstInt(node, 1, d) ? static_cast<int>(std::clamp(d, 0LL, 15LL)) : node.args[0]->decimals;
    return true;
}
bool ValShape(Node& node, const ExprSettings&)
{
    node.width = 10;
    node.decimals = 2;
    return true;
}
bool IntShape(Node& node, const ExprSettings&)
{
    node.width = node.args[0]->width;
    return true;
}
bool DescendShape(Node& node, const ExprSettings&)
{
    node.type = node.args[0]->type == VT::Date ? VT::Numeric : node.args[0]->type;
    node.width = node.args[0]->width;
    node.decimals = node.args[0]->decimals;
    return true;
}

// Evaluations.
void Upper(EvalState& s, const Node& n, Value& out)
{
    out.Text = Arg(s, n, 0).Text;
    for (char& c : out.Text)
        c = AnsiUpperChar(c);
}
void Lower(EvalState& s, const Node& n, Value& out)
{
    out.Text = Arg(s, n, 0).Text;
    for (char& c : out.Text)
        c = AnsiLowerChar(c);
}
void RTrim(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    out.Text.assign(t, 0, t.find_last_not_of(' ') + 1);
}
void LTrim(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const size_t first = t.find_first_not_of(' ');
    out.Text.assign(first == String::npos ? String() : t.substr(first));
}
void AllTrim(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const size_t first = t.find_first_not_of(' ');
    out.Text.assign(first == String::npos ? String() : t.substr(first, t.find_last_not_of(' ') - first + 1));
}
void Substr(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const long long start = std::max(IntArg(s, n, 1), 1LL);
    const long long length = n.args.size() > 2 ? IntArg(s, n, 2) : static_cast<long long>(t.size());
    if (start > static_cast<long long>(t.size()) || length <= 0)
        out.Text.clear();
    else
        out.Text.assign(t, static_cast<size_t>(start - 1), static_cast<size_t>(length));
}
void Left(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const long long length = IntArg(s, n, 1);
    out.Text.assign(t, 0, static_cast<size_t>(std::max(length, 0LL)));
}
void Right(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const size_t length =
            static_cast<size_t>(std::clamp(IntArg(s, n, 1), 0LL, static_cast<long long>(t.size())));
    out.Text.assign(t, t.size() - length, length);
}
// STR(n [, width [, decimals]]); STRZERO fills with zeros after the sign.
void NumberText(EvalState& s, const Node& n, Value& out, bool zeros)
{
    const double value = Arg(s, n, 0).Number;
    const long long width = n.args.size() > 1 ? IntArg(s, n, 1) : 10;
    const long long decimals = n.args.size() > 2 ? IntArg(s, n, 2) : 0;
    if (width < 1 || width > kMaxNumberText)
        throw EvalError {"number text width out of range"};
    out.Text = StrOf(value, static_cast<int>(width), static_cast<int>(std::clamp(decimals, 0LL, width)));
    if (zeros && out.Text[0] != '*') {
        const size_t digits = out.Text.find_first_not_of(' ');
        const bool negative = out.Text[digits] == '-';
        for (size_t i = 0; i < digits + (negative ? 1 : 0); ++i)
            out.Text[i] = '0';
        if (negative)
            out.Text[0] = '-';
    }
}
void Str(EvalState& s, const Node& n, Value& out) { NumberText(s, n, out, false); }
void StrZero(EvalState& s, const Node& n, Value& out) { NumberText(s, n, out, true); }
void Val(EvalState& s, const Node& n, Value& out) { out.Number = ValOf(Arg(s, n, 0).Text); }
void Dtos(EvalState& s, const Node& n, Value& out)
{
    out.Text = DateToDtos(static_cast<std::int32_t>(Arg(s, n, 0).Number));
}
void Dtoc(EvalState& s, const Node& n, Value& out)
{
    out.Text = DateToText(static_cast<std::int32_t>(Arg(s, n, 0).Number), s.settings);
}
void Ctod(EvalState& s, const Node& n, Value& out) { out.Number = TextToDate(Arg(s, n, 0).Text, s.settings); }
void Today(EvalState& s, const Node&, Value& out)
{
    const std::int32_t today = s.context.Today();
    if (today < kFirstJdn || today > kLastJdn)
        throw EvalError {"no valid current date"};
    out.Number = today;
}
template<int Part> void DatePart(EvalState& s, const Node& n, Value& out)
{
    const auto jdn = static_cast<std::int32_t>(Arg(s, n, 0).Number);
    int parts[3] = {0, 0, 0};
    if (jdn != 0)
        DecodeJulian(jdn, parts[0], parts[1], parts[2]);
    out.Number = parts[Part];
}
void Iif(EvalState& s, const Node& n, Value& out)
{
    const Value& chosen = Arg(s, n, Arg(s, n, 0).Logical ? 1 : 2);
    out.Text = chosen.Text;
    out.Number = chosen.Number;
    out.Logical = chosen.Logical;
}
void Empty(EvalState& s, const Node& n, Value& out)
{
    const Value& v = Arg(s, n, 0);
    switch (v.Type) {
    case VT::Character: out.Logical = v.Text.find_first_not_of(" \t\r\n") == String::npos; break;
    case VT::Logical: out.Logical = !v.Logical; break;
    default: out.Logical = v.Number == 0; break;
    }
}
void Deleted(EvalState& s, const Node&, Value& out)
{
    const std::string_view record = s.context.Record(0);
    out.Logical = !record.empty() && record[0] == '*';
}
void RecNo(EvalState& s, const Node&, Value& out) { out.Number = s.context.RecNo(0); }
void Len(EvalState& s, const Node& n, Value& out)
{
    out.Number = static_cast<double>(Arg(s, n, 0).Text.size());
}
void Space(EvalState& s, const Node& n, Value& out)
{
    const long long length = std::max(IntArg(s, n, 0), 0LL);
    CheckLength(length);
    out.Text.assign(static_cast<size_t>(length), ' ');
}
void Replicate(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    const long long times = std::max(IntArg(s, n, 1), 0LL);
    CheckLength(times * static_cast<long long>(t.size()));
    out.Text.clear();
    for (long long i = 0; i < times && !t.empty(); ++i)
        out.Text += t;
}
void At(EvalState& s, const Node& n, Value& out)
{
    const String& needle = Arg(s, n, 0).Text;
    const size_t at = needle.empty() ? String::npos : Arg(s, n, 1).Text.find(needle);
    out.Number = at == String::npos ? 0 : static_cast<double>(at + 1);
}
void Pad(EvalState& s, const Node& n, Value& out, bool left)
{
    const String& t = Arg(s, n, 0).Text;
    const long long width = std::max(IntArg(s, n, 1), 0LL);
    CheckLength(width);
    char fill = ' ';
    if (n.args.size() > 2) {
        const String& f = Arg(s, n, 2).Text;
        if (!f.empty())
            fill = f[0];
    }
    const auto w = static_cast<size_t>(width);
    if (t.size() >= w) {
        out.Text.assign(t, 0, w);
    } else if (left) {
        out.Text.assign(w - t.size(), fill);
        out.Text += t;
    } else {
        out.Text.assign(t);
        out.Text.append(w - t.size(), fill);
    }
}
void PadL(EvalState& s, const Node& n, Value& out) { Pad(s, n, out, true); }
void PadR(EvalState& s, const Node& n, Value& out) { Pad(s, n, out, false); }
void Int(EvalState& s, const Node& n, Value& out) { out.Number = std::trunc(Arg(s, n, 0).Number); }
void Round(EvalState& s, const Node& n, Value& out)
{
    const long long decimals = std::clamp(IntArg(s, n, 1), -300LL, 300LL);
    out.Number = RoundHalfAway(Arg(s, n, 0).Number, static_cast<int>(decimals));
    if (!std::isfinite(out.Number))
        throw EvalError {"numeric overflow"};
}
void Abs(EvalState& s, const Node& n, Value& out) { out.Number = std::fabs(Arg(s, n, 0).Number); }
// A value whose order is the reverse of its argument's.
void Descend(EvalState& s, const Node& n, Value& out)
{
    const Value& v = Arg(s, n, 0);
    switch (v.Type) {
    case VT::Character:
        out.Text.resize(v.Text.size());
        for (size_t i = 0; i < v.Text.size(); ++i)
            out.Text[i] = static_cast<char>(256 - static_cast<unsigned char>(v.Text[i]));
        break;
    case VT::Logical: out.Logical = !v.Logical; break;
    default: out.Number = -v.Number; break;
    }
}
void Chr(EvalState& s, const Node& n, Value& out)
{
    const long long code = IntArg(s, n, 0);
    if (code < 0 || code > 255)
        throw EvalError {"character code out of range"};
    out.Text.assign(1, static_cast<char>(code));
}
void Asc(EvalState& s, const Node& n, Value& out)
{
    const String& t = Arg(s, n, 0).Text;
    out.Number = t.empty() ? 0 : static_cast<unsigned char>(t[0]);
}

const Function kFunctions[] = {
        {"ABS", "N", VT::Numeric, SameWidth, Abs},
        {"ALLTRIM", "C", VT::Character, SameWidth, AllTrim},
        {"ASC", "C", VT::Numeric, FixedWidth<3>, Asc},
        {"AT", "CC", VT::Numeric, FixedWidth<10>, At},
        {"CHR", "N", VT::Character, FixedWidth<1>, Chr},
        {"CTOD", "C", VT::Date, FixedWidth<8>, Ctod},
        {"DATE", "", VT::Date, FixedWidth<8>, Today},
        {"DAY", "D", VT::Numeric, FixedWidth<2>, DatePart<2>},
        {"DELETED", "", VT::Logical, FixedWidth<1>, Deleted},
        {"DESCEND", "?", VT::Character, DescendShape, Descend},
        {"DTOC", "D", VT::Character, DtocShape, Dtoc},
        {"DTOS", "D", VT::Character, FixedWidth<8>, Dtos},
        {"EMPTY", "?", VT::Logical, FixedWidth<1>, Empty},
        {"IIF", "L??", VT::Character, IifShape, Iif},
        {"INT", "N", VT::Numeric, IntShape, Int},
        {"LEFT", "CN", VT::Character, WidthFromArg1, Left},
        {"LEN", "C", VT::Numeric, FixedWidth<10>, Len},
        {"LOWER", "C", VT::Character, SameWidth, Lower},
        {"LTRIM", "C", VT::Character, SameWidth, LTrim},
        {"MONTH", "D", VT::Numeric, FixedWidth<2>, DatePart<1>},
        {"PADL", "CNc", VT::Character, WidthFromArg1, PadL},
        {"PADR", "CNc", VT::Character, WidthFromArg1, PadR},
        {"RECNO", "", VT::Numeric, FixedWidth<10>, RecNo},
        {"REPLICATE", "CN", VT::Character, ReplicateShape, Replicate},
        {"RIGHT", "CN", VT::Character, WidthFromArg1, Right},
        {"ROUND", "NN", VT::Numeric, RoundShape, Round},
        {"RTRIM", "C", VT::Character, SameWidth, RTrim},
        {"SPACE", "N", VT::Character, SpaceShape, Space},
        {"STR", "Nnn", VT::Character, StrShape, Str},
        {"STRZERO", "Nnn", VT::Character, StrShape, StrZero},
        {"SUBSTR", "CNn", VT::Character, SubstrShape, Substr},
        {"TRIM", "C", VT::Character, SameWidth, RTrim},
        {"UPPER", "C", VT::Character, SameWidth, Upper},
        {"VAL", "C", VT::Numeric, ValShape, Val},
        {"YEAR", "D", VT::Numeric, FixedWidth<4>, DatePart<0>},
};

}  // namespace

const Function* FindFunction(std::string_view name)
{
    for (const Function& f : kFunctions) {
        const std::string_view candidate = f.name;
        if (candidate.size() != name.size())
            continue;
        size_t i = 0;
        while (i < name.size() && AnsiUpperChar(name[i]) == candidate[i])
            ++i;
        if (i == name.size())
            return &f;
    }
    return nullptr;
}

}  // namespace xbexpr
