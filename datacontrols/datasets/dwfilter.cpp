#include "datacontrols/datasets/dwfilter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/win/userlocale.h"

namespace {

constexpr size_t MaxLiteralText = 255;

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsComparisonChar(char C) { return C == '<' || C == '=' || C == '>'; }

bool IsIdentifierStart(char C)
{
    const auto code = static_cast<unsigned char>(C);
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || code >= 146 ||
           std::strchr("!#$*+-/@_`", C) != nullptr;
}

bool IsIdentifierChar(char C) { return IsIdentifierStart(C) || IsDigit(C) || C == ' '; }

bool IsBlobType(TFieldType Type)
{
    switch (Type) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo: return true;
    default: return false;
    }
}

struct TOperator {
    const char* Text;
    std::uint32_t Code;
    TdwNodeKind Kind;
};

constexpr TOperator Operators[] = {
        {"=", canexpr::OpEqual, nkComparison},
        {"<>", canexpr::OpNotEqual, nkComparison},
        {">", canexpr::OpGreater, nkComparison},
        {"<", canexpr::OpLess, nkComparison},
        {">=", canexpr::OpGreaterEqual, nkComparison},
        {"<=", canexpr::OpLessEqual, nkComparison},
        {"AND", canexpr::OpAnd, nkLogical},
        {"OR", canexpr::OpOr, nkLogical},
        {"+", canexpr::OpAdd, nkArithmetic},
        {"-", canexpr::OpSubtract, nkArithmetic},
        {"*", canexpr::OpMultiply, nkArithmetic},
        {"/", canexpr::OpDivide, nkArithmetic},
};

const TOperator* OperatorOf(const String& Token)
{
    const String upper = UpperCase(Token);
    for (const TOperator& op : Operators)
        if (upper == op.Text)
            return &op;
    return nullptr;
}

// Shows why a text does not compile: what is wrong and where (1-based).
void ReportFault(const String& What, int Position)
{
    MessageDlg("Invalid filter expression. \r" + What + " at position " + IntToStr(Position), mtWarning,
               {mbOK}, 0);
}

bool IsNumericOperand(TdwOperandType Type)
{
    return Type == otFloat || Type == otInteger || Type == otSmallint || Type == otBCD;
}

// The recursive-descent parser: each level parses its operands, then loops while
// the next token is one of its operators. The first fault found is shown and
// ends the parse.
class TParser {
public:
    TParser(const String& Text, TDataSet* DataSet) : FInput(Text), FLength(Text.size()), FDataSet(DataSet) { }

    std::unique_ptr<TNode> Parse()
    {
        if (!Logical())
            return nullptr;
        const String token = Peek(false);
        if (!FInput.empty())
            return Fail("Unexpected \"" + (token.empty() ? FInput.substr(0, 1) : token) + "\""), nullptr;
        std::unique_ptr<TNode> root = Pop();
        return root && (root->Kind != nkOperand || IsLogicalField(*root)) ? std::move(root) : nullptr;
    }

private:
    // A filter of one operand: the name of a logical field.
    bool IsLogicalField(const TNode& Node) const
    {
        const TField* field = FDataSet ? FDataSet->FindField(Node.Token) : nullptr;
        if (!field) {
            MessageDlg("Field not found in Table. \r" + Node.Token, mtWarning, {mbOK}, 0);
            return false;
        }
        if (field->DataType() != ftBoolean) {
            ReportFault(Node.Token + " is not a logical field", Node.Position);
            return false;
        }
        return true;
    }

    // Where the rest of the input begins in the text (1-based).
    int Position() const { return static_cast<int>(FLength - FInput.size()) + 1; }

    bool Fail(const String& What)
    {
        ReportFault(What, Position());
        return false;
    }

    // The next token, not consumed; AND and OR only where Keywords allows them.
    String Peek(bool Keywords)
    {
        size_t start = 0;
        while (start < FInput.size() && IsBlank(FInput[start]))
            ++start;
        FInput.erase(0, start);
        if (FInput.empty())
            return String();
        const char first = FInput[0];
        const bool negative = first == '-' && FInput.size() > 1 && IsDigit(FInput[1]);
        size_t length = 0;
        if (first == '(' || first == ')') {
            length = 1;
        } else if (IsComparisonChar(first)) {
            length = FInput.size() > 1 && IsComparisonChar(FInput[1]) ? 2 : 1;
        } else if (Keywords && UpperCase(FInput.substr(0, 3)) == "AND") {
            length = 3;
        } else if (Keywords && UpperCase(FInput.substr(0, 2)) == "OR") {
            length = 2;
        } else if (IsDigit(first) || negative) {
            length = negative ? 1 : 0;
            while (length < FInput.size() && IsDigit(FInput[length]))
                ++length;
            if (length < FInput.size() &&
                (FInput[length] == '.' || FInput[length] == dwFilterDecimalSeparator)) {
                ++length;
                while (length < FInput.size() && IsDigit(FInput[length]))
                    ++length;
            }
        } else if (IsIdentifierStart(first)) {
            length = 1;
            while (length < FInput.size() && IsIdentifierChar(FInput[length]))
                ++length;
        } else if (first == '"') {
            const size_t close = FInput.find('"', 1);
            length = close == String::npos ? 0 : close + 1;
        }
        return TrimRight(FInput.substr(0, length));
    }

    void Consume(const String& Token) { FInput.erase(0, Token.size()); }

    bool Logical()
    {
        if (!Relation())
            return false;
        for (;;) {
            const String token = Peek(true);
            const TOperator* op = OperatorOf(token);
            if (!op || op->Kind != nkLogical)
                return true;
            Consume(token);
            if (!Relation() || !Reduce(*op))
                return false;
        }
    }

    bool Relation()
    {
        if (!Sum())
            return false;
        const String token = Peek(false);
        const TOperator* op = OperatorOf(token);
        if (!op || op->Kind != nkComparison) {
            if (!token.empty() && IsComparisonChar(token[0]))
                return Fail("Unknown operator \"" + token + "\"");
            return true;
        }
        Consume(token);
        return Sum() && Reduce(*op);
    }

    bool Sum() { return Terms(&TParser::Product, canexpr::OpAdd, canexpr::OpSubtract); }

    bool Product() { return Terms(&TParser::Primary, canexpr::OpMultiply, canexpr::OpDivide); }

    // Operand { (op1 | op2) Operand }, grouping to the left.
    bool Terms(bool (TParser::*Operand)(), std::uint32_t Op1, std::uint32_t Op2)
    {
        if (!(this->*Operand)())
            return false;
        for (;;) {
            const String token = Peek(false);
            const TOperator* op = OperatorOf(token);
            if (!op || (op->Code != Op1 && op->Code != Op2))
                return true;
            Consume(token);
            if (!(this->*Operand)() || !Reduce(*op))
                return false;
        }
    }

    bool Primary()
    {
        const String token = Peek(false);
        if (token == "(") {
            Consume(token);
            if (!Logical())
                return false;
            if (Peek(false) != ")")
                return Fail("Missing \")\"");
            Consume(")");
            return true;
        }
        if (token.empty()) {
            if (FInput.empty())
                return Fail("Unexpected end of text");
            return Fail(FInput[0] == '"' ? String("Unterminated string")
                                         : "Unexpected character \"" + FInput.substr(0, 1) + "\"");
        }
        if (token == ")" || IsComparisonChar(token[0]))
            return Fail("Unexpected \"" + token + "\"");
        auto node = std::make_unique<TNode>();
        node->Kind = nkOperand;
        node->Token = token;
        node->Position = Position();
        Consume(token);
        FOperands.push_back(std::move(node));
        return true;
    }

    std::unique_ptr<TNode> Pop()
    {
        if (FOperands.empty())
            return nullptr;
        std::unique_ptr<TNode> node = std::move(FOperands.back());
        FOperands.pop_back();
        return node;
    }

    // The type a term gives: a field's or a constant's own; arithmetic on numbers
    // gives a float, on anything else the type of its left side; a comparison or
    // a logical node a truth value.
    TdwOperandType TermType(const TNode& Node) const
    {
        switch (Node.Kind) {
        case nkOperand: {
            if (Node.OperandType != otField)
                return Node.OperandType;
            const TField* field = FDataSet ? FDataSet->FindField(Node.Token) : nullptr;
            return field ? dwOperandTypeOf(field->DataType()) : otField;
        }
        case nkArithmetic: {
            const TdwOperandType left = TermType(*Node.Left);
            return IsNumericOperand(left) ? otFloat : left;
        }
        default: return otBoolean;
        }
    }

    static String LeftmostName(const TNode& Node)
    {
        return Node.Kind == nkOperand ? Node.Token : LeftmostName(*Node.Left);
    }

    // The two top operands become the children of a node of the operator. An operand
    // on the left names a field, whose type the operand on the right takes. After a
    // term on the left, an operand on the right that names no field takes the term's
    // type.
    bool Reduce(const TOperator& Op)
    {
        std::unique_ptr<TNode> right = Pop();
        std::unique_ptr<TNode> left = Pop();
        if (!left || !right)
            return false;
        if (left->Kind == nkOperand) {
            TField* field = FDataSet ? FDataSet->FindField(left->Token) : nullptr;
            if (!field) {
                MessageDlg("Field not found in Table. \r" + left->Token, mtWarning, {mbOK}, 0);
                return false;
            }
            if (IsBlobType(field->DataType()) && right->Kind == nkOperand) {
                ReportFault("The memo or blob field " + left->Token + " cannot be compared", left->Position);
                return false;
            }
            if (right->Kind == nkOperand) {
                right->OperandType = dwOperandTypeOf(field->DataType());
                right->FieldName = field->FieldName();
                if (right->OperandType == otBCD)
                    right->BCDScale = field->Size();
            }
        } else if (right->Kind == nkOperand && !(FDataSet && FDataSet->FindField(right->Token))) {
            right->OperandType = TermType(*left);
            right->FieldName = LeftmostName(*left);
        }
        auto node = std::make_unique<TNode>();
        node->Kind = Op.Kind;
        node->Token = Op.Text;
        node->Position = left->Position;
        node->Left = std::move(left);
        node->Right = std::move(right);
        FOperands.push_back(std::move(node));
        return true;
    }

    String FInput;
    size_t FLength;
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TNode>> FOperands;
};

int CountNodes(const TNode* Node)
{
    return Node ? 1 + CountNodes(Node->Left.get()) + CountNodes(Node->Right.get()) : 0;
}

String Unquoted(const String& Text)
{
    if (Text.size() >= 2 && Text.front() == '"' && Text.back() == '"')
        return Text.substr(1, Text.size() - 2);
    return TrimRight(Text);
}

// "hh:nn[:ss[.zzz]]" as milliseconds since midnight.
std::int32_t TimeMilliseconds(const String& Text)
{
    int parts[3] = {0, 0, 0};
    int ms = 0;
    int count = 0;
    size_t i = 0;
    const String text = Trim(Text);
    while (count < 3 && i < text.size() && IsDigit(text[i])) {
        int value = 0;
        size_t digits = 0;
        while (i < text.size() && IsDigit(text[i]) && digits < 3) {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        parts[count++] = value;
        if (i < text.size() && text[i] == TimeSeparator && count < 3)
            ++i;
        else
            break;
    }
    if (count == 3 && i < text.size() && text[i] == '.') {
        ++i;
        for (int scale = 100; i < text.size() && IsDigit(text[i]) && scale > 0; scale /= 10)
            ms += (text[i++] - '0') * scale;
    }
    TDateTime time = 0;
    if (count < 2 || i != text.size() || !TryEncodeTime(parts[0], parts[1], parts[2], ms, time))
        throw EConvertError("'" + Text + "' is not a valid time");
    return static_cast<std::int32_t>(std::llround(time * 86400000.0));
}

// A constant that cannot take its field's type: what is wrong, and where.
struct TConstantFault {
    String What;
    int Position;
};

// Text as a whole number from Min to Max; a number outside them is a fault of its
// own, so that it never wraps into the field's range.
Int64 WholeNumber(const TNode& Node, Int64 Min, Int64 Max)
{
    const String text = Trim(Node.Token);
    const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    const bool whole = text.size() > digits &&
                       std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(), IsDigit);
    if (!whole)
        return StrToInt(text);  // raises for anything but a whole number
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < Min || value > Max)
        throw TConstantFault {text + " is out of range for " + Node.FieldName + " (" + IntToStr(Min) +
                                      " to " + IntToStr(Max) + ")",
                              Node.Position};
    return value;
}

// A number written with the locale's decimal mark or with ".".
double FloatNumber(const String& Text)
{
    String text = Text;
    std::replace(text.begin(), text.end(), dwFilterDecimalSeparator, '.');
    return StrToFloat(text);
}

std::int32_t DayNumber(const String& Text)
{
    return static_cast<std::int32_t>(std::floor(StrToDate(Trim(Text)))) + canexpr::DayNumberOffset;
}

class TEmitter {
public:
    explicit TEmitter(int Nodes)
        : FNodeStart(canexpr::HeaderSize + canexpr::SlotSize * Nodes), FNodePos(FNodeStart), FNodes(Nodes)
    {
        FBlob.assign(static_cast<size_t>(FNodeStart), 0);
    }

    void Emit(TNode* Node)
    {
        if (Node->Kind != nkOperand) {
            Emit(Node->Left.get());
            Emit(Node->Right.get());
        }
        FNodePos -= canexpr::SlotSize;
        const int slot = FNodePos;
        Node->Offset = static_cast<Word>(slot - canexpr::HeaderSize);
        if (Node->Kind != nkOperand) {
            Put32(slot, canexpr::ClassBinary);
            Put32(slot + 4, OperatorOf(Node->Token)->Code);
            Put16(slot + 8, Node->Left->Offset);
            Put16(slot + 10, Node->Right->Offset);
        } else if (Node->OperandType == otField) {
            Put32(slot, canexpr::ClassField);
            Put32(slot + 4, canexpr::OpField);
            Put16(slot + 8, static_cast<Word>(++FFieldNumber));
            Put16(slot + 10, AddText(Node->Token));
        } else {
            Put32(slot, canexpr::ClassConstant);
            Put32(slot + 4, canexpr::OpConstant);
            EmitConstant(slot, *Node);
        }
    }

    // The finished blob; empty when it is too large for the header's sizes.
    TdwFilterBlob Finish()
    {
        if (FBlob.size() > 0xFFFF)
            return {};
        Put16(0, 1);
        Put16(2, static_cast<Word>(FBlob.size()));
        Put16(4, static_cast<Word>(FNodes));
        Put16(6, canexpr::HeaderSize);
        Put16(8, static_cast<Word>(FNodeStart));
        return std::move(FBlob);
    }

private:
    void EmitConstant(int Slot, const TNode& Node)
    {
        try {
            EmitTypedConstant(Slot, Node);
        } catch (const EConvertError& E) {
            throw TConstantFault {E.Message() + " for " + Node.FieldName, Node.Position};
        }
    }

    void EmitTypedConstant(int Slot, const TNode& Node)
    {
        const String& text = Node.Token;
        Word type = 0;
        std::vector<std::uint8_t> value;
        auto fixed = [&value](const auto& Number) {
            value.resize(sizeof Number);
            std::memcpy(value.data(), &Number, sizeof Number);
        };
        switch (Node.OperandType) {
        case otString: {
            const String plain = Unquoted(text).substr(0, MaxLiteralText);
            type = canexpr::TypeString;
            value.assign(plain.begin(), plain.end());
            value.push_back(0);
            break;
        }
        case otFloat:
            type = canexpr::TypeFloat;
            fixed(FloatNumber(text));
            break;
        case otDateTime: {
            const String trimmed = Trim(Unquoted(text));
            const size_t blank = trimmed.find(' ');
            const double days = DayNumber(blank == String::npos ? trimmed : trimmed.substr(0, blank));
            const double ms = blank == String::npos ? 0 : TimeMilliseconds(trimmed.substr(blank + 1));
            type = canexpr::TypeDateTime;
            fixed(days * 86400000.0 + ms);
            break;
        }
        case otDate:
            type = canexpr::TypeDate;
            fixed(DayNumber(Unquoted(text)));
            break;
        case otTime:
            type = canexpr::TypeTime;
            fixed(TimeMilliseconds(Unquoted(text)));
            break;
        case otBoolean: {
            const String plain = Unquoted(text);
            const std::int16_t flag = !plain.empty() && (plain[0] == 'T' || plain[0] == 't') ? -1 : 0;
            type = canexpr::TypeBoolean;
            fixed(flag);
            break;
        }
        case otInteger:
            type = canexpr::TypeInteger;
            fixed(static_cast<std::int32_t>(WholeNumber(Node, INT32_MIN, INT32_MAX)));
            break;
        case otSmallint:
            type = canexpr::TypeSmallint;
            fixed(static_cast<std::int16_t>(WholeNumber(Node, INT16_MIN, INT16_MAX)));
            break;
        case otBCD:
            type = canexpr::TypeBCD;
            value.resize(canexpr::BCDSize);
            dwDoubleToBCD(FloatNumber(text), Node.BCDScale, value.data());
            break;
        case otField: break;
        }
        Put16(Slot + 8, type);
        Put16(Slot + 10, static_cast<Word>(value.size()));
        Put16(Slot + 12, AddLiteral(value));
    }

    Word AddText(const String& Text)
    {
        const String cut = Text.substr(0, MaxLiteralText);
        std::vector<std::uint8_t> bytes(cut.begin(), cut.end());
        bytes.push_back(0);
        return AddLiteral(bytes);
    }

    // The literal area grows with what it holds, so no text can overrun it.
    Word AddLiteral(const std::vector<std::uint8_t>& Bytes)
    {
        const size_t offset = FBlob.size() - static_cast<size_t>(FNodeStart);
        FBlob.insert(FBlob.end(), Bytes.begin(), Bytes.end());
        return static_cast<Word>(offset);
    }

    void Put16(int At, Word Value)
    {
        FBlob[static_cast<size_t>(At)] = static_cast<std::uint8_t>(Value);
        FBlob[static_cast<size_t>(At) + 1] = static_cast<std::uint8_t>(Value >> 8);
    }

    void Put32(int At, std::uint32_t Value)
    {
        Put16(At, static_cast<Word>(Value));
        Put16(At + 2, static_cast<Word>(Value >> 16));
    }

    int FNodeStart;
    int FNodePos;
    int FNodes;
    int FFieldNumber = 0;
    TdwFilterBlob FBlob;
};

}  // namespace

char dwFilterDecimalSeparator = UserDecimalSeparator();

TdwOperandType dwOperandTypeOf(TFieldType DataType)
{
    switch (DataType) {
    case ftString: return otString;
    case ftSmallint:
    case ftWord: return otSmallint;
    case ftInteger:
    case ftAutoInc: return otInteger;
    case ftBoolean: return otBoolean;
    case ftFloat:
    case ftCurrency: return otFloat;
    case ftBCD: return otBCD;
    case ftDate: return otDate;
    case ftTime: return otTime;
    case ftDateTime: return otDateTime;
    default: return otField;
    }
}

TdwFilterBlob dwFilterCompile(const String& Text, TDataSet* DataSet)
{
    std::unique_ptr<TNode> root = TParser(Text, DataSet).Parse();
    if (!root)
        return {};
    TEmitter emitter(CountNodes(root.get()));
    try {
        emitter.Emit(root.get());
    } catch (const TConstantFault& Fault) {
        ReportFault(Fault.What, Fault.Position);
        return {};
    }
    return emitter.Finish();
}

void dwDoubleToBCD(double Value, int Scale, std::uint8_t* Out)
{
    std::memset(Out, 0, canexpr::BCDSize);
    Scale = std::max(0, std::min(Scale, canexpr::BCDPrecision));
    Out[0] = static_cast<std::uint8_t>(canexpr::BCDPrecision);
    Out[1] = static_cast<std::uint8_t>((Value < 0 ? 0x80 : 0) | Scale);
    // The digits of |Value| scaled to whole units of the last place, right-aligned.
    double units = std::round(std::fabs(Value) * std::pow(10.0, Scale));
    for (int digit = canexpr::BCDPrecision - 1; digit >= 0 && units >= 1; --digit) {
        const auto d = static_cast<std::uint8_t>(std::fmod(units, 10.0));
        units = std::floor(units / 10.0);
        Out[2 + digit / 2] |= digit % 2 ? d : static_cast<std::uint8_t>(d << 4);
    }
}

double dwBCDToDouble(const std::uint8_t* In)
{
    const int precision = std::min<int>(In[0], canexpr::BCDPrecision);
    const int scale = In[1] & 0x3F;
    double units = 0;
    for (int digit = 0; digit < precision; ++digit) {
        const std::uint8_t pair = In[2 + digit / 2];
        units = units * 10 + (digit % 2 ? pair & 0x0F : pair >> 4);
    }
    const double value = units / std::pow(10.0, scale);
    return In[1] & 0x80 ? -value : value;
}
