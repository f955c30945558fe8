#include "tests/datacontrols/datasets/filterfixture.h"

#include <cstdio>
#include <cstring>

#include "platform/db/field.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {

class TTypedField : public TField {
public:
    TTypedField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) { }
};

struct TReader {
    const TdwFilterBlob& Blob;
    int LiteralStart;
    int NextFieldNumber = 1;
    String Error;

    unsigned Get16(int At) const { return Blob[size_t(At)] | Blob[size_t(At) + 1] << 8; }
    unsigned Get32(int At) const { return Get16(At) | Get16(At + 2) << 16; }
    const std::uint8_t* Literal(unsigned Offset) const { return &Blob[size_t(LiteralStart) + Offset]; }

    // Post-order writing puts the left subtree's fields first, so reading left to
    // right meets the numbers in order.
    String Node(unsigned Offset)
    {
        const int slot = canexpr::HeaderSize + int(Offset);
        switch (Get32(slot)) {
        case canexpr::ClassBinary: {
            static const char* const names[] = {"",    "",   "", "=", "<>", ">", "<", ">=", "<=", "",
                                                "AND", "OR", "", "",  "",   "",  "+", "-",  "*",  "/"};
            const unsigned op = Get32(slot + 4);
            const String left = Node(Get16(slot + 8));
            const String right = Node(Get16(slot + 10));
            return String(op < 20 ? names[op] : "?") + "(" + left + "," + right + ")";
        }
        case canexpr::ClassField: {
            if (Get32(slot + 4) != canexpr::OpField || Get16(slot + 8) != unsigned(NextFieldNumber))
                Error = "field numbering";
            ++NextFieldNumber;
            return "F" + IntToStr(Get16(slot + 8)) + ":" +
                   reinterpret_cast<const char*>(Literal(Get16(slot + 10)));
        }
        case canexpr::ClassConstant: return Constant(slot);
        default: Error = "node class"; return "?";
        }
    }

    String Constant(int Slot)
    {
        const unsigned type = Get16(Slot + 8), size = Get16(Slot + 10);
        const std::uint8_t* value = Literal(Get16(Slot + 12));
        auto number = [&](auto N) {
            std::memcpy(&N, value, sizeof N);
            if (size != sizeof N)
                Error = "constant size";
            return N;
        };
        switch (type) {
        case canexpr::TypeString:
            if (size != std::strlen(reinterpret_cast<const char*>(value)) + 1)
                Error = "string size";
            return "'" + String(reinterpret_cast<const char*>(value)) + "'";
        case canexpr::TypeFloat: return "f:" + FloatToStr(number(double()));
        case canexpr::TypeDate: return "d:" + IntToStr(number(std::int32_t()));
        case canexpr::TypeTime: return "t:" + IntToStr(number(std::int32_t()));
        case canexpr::TypeDateTime: return "dt:" + FloatToStr(number(double()));
        case canexpr::TypeBoolean: return number(std::int16_t()) == -1 ? "b:T" : "b:F";
        case canexpr::TypeInteger: return "i:" + IntToStr(number(std::int32_t()));
        case canexpr::TypeSmallint: return "s:" + IntToStr(number(std::int16_t()));
        case canexpr::TypeBCD:
            if (size != canexpr::BCDSize)
                Error = "bcd size";
            return "bcd:" + FloatToStr(dwBCDToDouble(value));
        default: Error = "constant type"; return "?";
        }
    }
};

}  // namespace

std::unique_ptr<TMemDataSet> MakeTypedDataSet()
{
    auto dataSet = std::make_unique<TMemDataSet>(nullptr);
    const struct {
        const char* Name;
        TFieldType Type;
        int Size;
    } fields[] = {{"CITY", ftString, 20}, {"STATE", ftString, 2},   {"AMOUNT", ftFloat, 0},
                  {"QTY", ftSmallint, 0}, {"COUNT", ftInteger, 0},  {"PAID", ftBoolean, 0},
                  {"DUE", ftDate, 0},     {"STAMP", ftDateTime, 0}, {"AT", ftTime, 0},
                  {"PRICE", ftBCD, 2},    {"NOTES", ftMemo, 0}};
    for (const auto& f : fields) {
        auto* field = new TTypedField(dataSet.get(), f.Type);
        field->SetFieldName(f.Name);
        if (f.Size > 0)
            field->SetSize(f.Size);
        field->SetDataSet(dataSet.get());
    }
    return dataSet;
}

String RenderBlob(const TdwFilterBlob& Blob)
{
    if (Blob.size() < size_t(canexpr::HeaderSize))
        return "bad blob: short";
    TReader reader {Blob, 0, 1, String()};
    const unsigned nodes = reader.Get16(4);
    reader.LiteralStart = int(reader.Get16(8));
    if (reader.Get16(0) != 1 || reader.Get16(2) != Blob.size() ||
        reader.Get16(6) != unsigned(canexpr::HeaderSize) ||
        reader.LiteralStart != canexpr::HeaderSize + canexpr::SlotSize * int(nodes))
        return "bad blob: header";
    const String tree = reader.Node(0);
    return reader.Error.empty() ? tree : "bad blob: " + reader.Error;
}

String HexDump(const TdwFilterBlob& Blob)
{
    String text;
    char hex[4];
    const size_t literalStart = Blob.size() >= 10 ? size_t(Blob[8] | Blob[9] << 8) : 0;
    for (size_t i = 0; i < Blob.size(); ++i) {
        const bool lineStart = i >= size_t(canexpr::HeaderSize) && i <= literalStart &&
                               (i - canexpr::HeaderSize) % canexpr::SlotSize == 0;
        if (lineStart)
            text += "\n";
        else if (i > 0)
            text += " ";
        std::snprintf(hex, sizeof hex, "%02X", Blob[i]);
        text += hex;
    }
    return text;
}
