#include "datacontrols/datasets/dwfiltereval.h"

#include <cmath>
#include <cstring>

#include "platform/db/dataset.h"
#include "platform/db/dberror.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

namespace {
constexpr const char* Malformed = "Invalid filter expression";

double DayNumberOf(TDateTime Value) { return std::floor(Value) + canexpr::DayNumberOffset; }
double MillisecondsOf(TDateTime Value) { return std::llround((Value - std::floor(Value)) * 86400000.0); }
}  // namespace

// A value while evaluating: text, a number (dates, times and time stamps in the
// constants' units), a truth value, or nothing (a blank number or date).
struct TdwFilterPredicate::TValue {
    enum { vNull, vText, vNumber, vLogical } Kind = vNull;
    String Text;
    double Number = 0;
    bool Logical = false;

    static TValue OfText(String S) { return {vText, std::move(S), 0, false}; }
    static TValue OfNumber(double N) { return {vNumber, String(), N, false}; }
    static TValue OfLogical(bool B) { return {vLogical, String(), 0, B}; }
    bool Truth() const { return Kind == vLogical && Logical; }
};

TdwFilterPredicate::TdwFilterPredicate(const TdwFilterBlob& Blob, TDataSet* DataSet) : FBlob(Blob)
{
    const int size = static_cast<int>(FBlob.size());
    if (size < canexpr::HeaderSize || Read16(0) != 1 || Read16(2) != size || Read16(6) != canexpr::HeaderSize)
        throw EDatabaseError(Malformed);
    const int nodes = Read16(4);
    FLiteralStart = Read16(8);
    if (nodes < 1 || FLiteralStart != canexpr::HeaderSize + canexpr::SlotSize * nodes || FLiteralStart > size)
        throw EDatabaseError(Malformed);
    FFields.assign(static_cast<size_t>(nodes), nullptr);
    // Every slot is checked: a child lies in a later slot than its parent, so the
    // walk from the root ends; literals lie inside the blob.
    for (int index = 0; index < nodes; ++index) {
        const int slot = canexpr::HeaderSize + canexpr::SlotSize * index;
        const std::uint32_t nodeClass = Read32(slot);
        if (nodeClass == canexpr::ClassBinary) {
            for (int child : {Read16(slot + 8), Read16(slot + 10)})
                if (child % canexpr::SlotSize != 0 || child / canexpr::SlotSize <= index ||
                    child / canexpr::SlotSize >= nodes)
                    throw EDatabaseError(Malformed);
        } else if (nodeClass == canexpr::ClassField) {
            const int at = FLiteralStart + Read16(slot + 10);
            const void* end = at < size ? std::memchr(&FBlob[static_cast<size_t>(at)], 0,
                                                      static_cast<size_t>(size - at))
                                        : nullptr;
            if (!end)
                throw EDatabaseError(Malformed);
            const String name(reinterpret_cast<const char*>(&FBlob[static_cast<size_t>(at)]));
            TField* field = DataSet->FindField(name);
            if (!field)
                throw EDatabaseError("Field '" + name + "' not found");
            FFields[static_cast<size_t>(index)] = field;
        } else if (nodeClass == canexpr::ClassConstant) {
            if (FLiteralStart + Read16(slot + 12) + Read16(slot + 10) > size)
                throw EDatabaseError(Malformed);
        } else {
            throw EDatabaseError(Malformed);
        }
    }
}

bool TdwFilterPredicate::Accepts() const { return Evaluate(0).Truth(); }

Word TdwFilterPredicate::Read16(int At) const
{
    return static_cast<Word>(FBlob[static_cast<size_t>(At)] | FBlob[static_cast<size_t>(At) + 1] << 8);
}

std::uint32_t TdwFilterPredicate::Read32(int At) const
{
    return Read16(At) | static_cast<std::uint32_t>(Read16(At + 2)) << 16;
}

int TdwFilterPredicate::SlotOf(int Offset) const { return canexpr::HeaderSize + Offset; }

TdwFilterPredicate::TValue TdwFilterPredicate::Constant(int Slot) const
{
    const Word type = Read16(Slot + 8);
    const Word size = Read16(Slot + 10);
    const std::uint8_t* data = &FBlob[static_cast<size_t>(FLiteralStart + Read16(Slot + 12))];
    auto read = [&](auto Number) {
        if (size < sizeof Number)
            throw EDatabaseError(Malformed);
        std::memcpy(&Number, data, sizeof Number);
        return static_cast<double>(Number);
    };
    switch (type) {
    case canexpr::TypeString:
        return TValue::OfText(String(reinterpret_cast<const char*>(data),
                                     strnlen(reinterpret_cast<const char*>(data), size)));
    case canexpr::TypeFloat:
    case canexpr::TypeDateTime: return TValue::OfNumber(read(double()));
    case canexpr::TypeDate:
    case canexpr::TypeTime:
    case canexpr::TypeInteger: return TValue::OfNumber(read(std::int32_t()));
    case canexpr::TypeSmallint: return TValue::OfNumber(read(std::int16_t()));
    case canexpr::TypeBoolean: return TValue::OfLogical(read(std::int16_t()) != 0);
    case canexpr::TypeBCD:
        if (size < canexpr::BCDSize)
            throw EDatabaseError(Malformed);
        return TValue::OfNumber(dwBCDToDouble(data));
    default: throw EDatabaseError(Malformed);
    }
}

TdwFilterPredicate::TValue TdwFilterPredicate::Evaluate(int Offset) const
{
    const int slot = SlotOf(Offset);
    const std::uint32_t nodeClass = Read32(slot);
    if (nodeClass == canexpr::ClassConstant)
        return Constant(slot);
    if (nodeClass == canexpr::ClassField) {
        const TField* field = FFields[static_cast<size_t>(Offset / canexpr::SlotSize)];
        switch (dwOperandTypeOf(field->DataType())) {
        case otString:
        case otField: return TValue::OfText(field->AsString());
        case otBoolean: return field->IsNull() ? TValue() : TValue::OfLogical(field->AsBoolean());
        case otDate: return field->IsNull() ? TValue() : TValue::OfNumber(DayNumberOf(field->AsDateTime()));
        case otTime:
            return field->IsNull() ? TValue() : TValue::OfNumber(MillisecondsOf(field->AsDateTime()));
        case otDateTime: {
            if (field->IsNull())
                return TValue();
            const TDateTime value = field->AsDateTime();
            return TValue::OfNumber(DayNumberOf(value) * 86400000.0 + MillisecondsOf(value));
        }
        default: return field->IsNull() ? TValue() : TValue::OfNumber(field->AsFloat());
        }
    }
    const std::uint32_t op = Read32(slot + 4);
    const TValue left = Evaluate(Read16(slot + 8));
    if (op == canexpr::OpAnd && !left.Truth())
        return TValue::OfLogical(false);
    if (op == canexpr::OpOr && left.Truth())
        return TValue::OfLogical(true);
    const TValue right = Evaluate(Read16(slot + 10));
    switch (op) {
    case canexpr::OpAnd:
    case canexpr::OpOr: return TValue::OfLogical(right.Truth());
    case canexpr::OpAdd:
    case canexpr::OpSubtract:
    case canexpr::OpMultiply:
    case canexpr::OpDivide: {
        if (op == canexpr::OpAdd && left.Kind == TValue::vText && right.Kind == TValue::vText)
            return TValue::OfText(left.Text + right.Text);
        if (left.Kind != TValue::vNumber || right.Kind != TValue::vNumber)
            return TValue();
        const double a = left.Number, b = right.Number;
        if (op == canexpr::OpDivide)
            return b == 0 ? TValue() : TValue::OfNumber(a / b);
        return TValue::OfNumber(op == canexpr::OpAdd ? a + b : op == canexpr::OpSubtract ? a - b : a * b);
    }
    default: break;
    }
    // A comparison: values of one kind only; nothing compares with a blank value.
    if (left.Kind != right.Kind || left.Kind == TValue::vNull)
        return TValue::OfLogical(false);
    int order = 0;
    if (left.Kind == TValue::vText) {
        const int c = std::strcmp(TrimRight(left.Text).c_str(), TrimRight(right.Text).c_str());
        order = c < 0 ? -1 : c > 0 ? 1 : 0;
    } else if (left.Kind == TValue::vNumber) {
        order = left.Number < right.Number ? -1 : left.Number > right.Number ? 1 : 0;
    } else {
        order = int(left.Logical) - int(right.Logical);
    }
    switch (op) {
    case canexpr::OpEqual: return TValue::OfLogical(order == 0);
    case canexpr::OpNotEqual: return TValue::OfLogical(order != 0);
    case canexpr::OpGreater: return TValue::OfLogical(order > 0);
    case canexpr::OpLess: return TValue::OfLogical(order < 0);
    case canexpr::OpGreaterEqual: return TValue::OfLogical(order >= 0);
    case canexpr::OpLessEqual: return TValue::OfLogical(order <= 0);
    default: throw EDatabaseError(Malformed);
    }
}
