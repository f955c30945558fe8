// Field definitions, typed field reads, memo and blob data and xb_Replace.

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/valueconvert.h"
#include "platform/xbengine/workareas.h"

namespace {

char EmptyMemo[1] = "";

// Field calls look at the current record or write it: an append waiting
// for its first write stays waiting.
Table& Current() { return Areas().CurrentAsIs(); }

const FieldDef& FieldOf(const char* name) { return Current().Field(ArgText(name)); }

String TrimRight(String text)
{
    std::size_t end = text.find_last_not_of(' ');
    text.erase(end == String::npos ? 0 : end + 1);
    return text;
}

// The field's value as text: memo fields give their memo.
String FieldText(const FieldDef& field)
{
    Table& table = Current();
    return IsMemoType(field) ? table.MemoData(field) : table.FieldBytes(field);
}

const FieldDef& MemoField(const char* name)
{
    const FieldDef& field = FieldOf(name);
    if (!IsMemoType(field))
        throw EEngineError(XBE_E_FIELD, "Field " + field.Name + " is not a memo field");
    return field;
}

Integer FieldJulian(const FieldDef& field)
{
    Integer jdn = 0;
    String text = Current().FieldBytes(field);
    if (!fieldcodec::ParseDtos(text, jdn))
        throw EEngineError(XBE_E_CORRUPT_DATA, "Field " + field.Name + " holds no date: \"" + text + "\"");
    return jdn;
}

double FieldNumber(const FieldDef& field)
{
    if (field.Binary)
        throw EEngineError(XBE_E_UNSUPPORTED, "Field " + field.Name + " is stored in binary");
    switch (field.Type) {
    case 'D': return FieldJulian(field);
    case 'L': {
        char c = Current().FieldBytes(field)[0];
        return (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 1 : 0;
    }
    default: return fieldcodec::Val(Current().FieldBytes(field));
    }
}

// Wraps every line of text hard at width columns.
String Wrapped(const String& text, int width)
{
    String out;
    int column = 0;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            column = 0;
        } else if (column == width) {
            out += "\r\n";
            column = 0;
        }
        out += c;
        if (c != '\r' && c != '\n')
            ++column;
    }
    return out;
}

}  // namespace

extern "C" {

XBSHORT xb_FieldCount(void)
{
    return Guarded<XBSHORT>(0, [] { return XBSHORT(Current().Header().Fields.size()); });
}

const char* xb_FieldName(XBSHORT n)
{
    return Guarded<const char*>("", [&] {
        const auto& fields = Current().Header().Fields;
        return n >= 1 && n <= int(fields.size()) ? ResultText(fields[n - 1].Name) : "";
    });
}

XBSHORT xb_FieldNum(const char* field)
{
    return Guarded<XBSHORT>(0, [&] {
        const FieldDef* def = Current().FindField(ArgText(field));
        return def ? XBSHORT(def - Current().Header().Fields.data() + 1) : XBSHORT(0);
    });
}

const char* xb_FieldType(const char* field)
{
    return Guarded<const char*>("", [&] { return ResultText(String(1, FieldOf(field).Type)); });
}

XBLONG xb_FieldWidth(const char* field)
{
    return Guarded<XBLONG>(0, [&] { return XBLONG(FieldOf(field).Width); });
}

XBSHORT xb_FieldDecimals(const char* field)
{
    return Guarded<XBSHORT>(0, [&] { return XBSHORT(FieldOf(field).Decimals); });
}

// 1-based, counting the deletion byte: the first field is at 2.
XBLONG xb_FieldOffset(const char* field)
{
    return Guarded<XBLONG>(0, [&] { return XBLONG(FieldOf(field).Offset + 1); });
}

const char* xb_GetString(const char* field)
{
    return Guarded<const char*>("", [&] { return ResultText(FieldText(FieldOf(field))); });
}

const char* xb_GetTrimString(const char* field)
{
    return Guarded<const char*>("", [&] { return ResultText(TrimRight(FieldText(FieldOf(field)))); });
}

const char* xb_GetByte(const char* field) { return xb_GetString(field); }

double xb_GetDouble(const char* field)
{
    return Guarded<double>(0, [&] { return FieldNumber(FieldOf(field)); });
}

XBSHORT xb_GetInteger(const char* field)
{
    return Guarded<XBSHORT>(0, [&] {
        double value = std::trunc(FieldNumber(FieldOf(field)));
        return XBSHORT(value < SHRT_MIN ? SHRT_MIN : value > SHRT_MAX ? SHRT_MAX : value);
    });
}

XBLONG xb_GetLong(const char* field)
{
    return Guarded<XBLONG>(0, [&] {
        double value = std::trunc(FieldNumber(FieldOf(field)));
        return XBLONG(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
    });
}

XBBOOL xb_GetLogical(const char* field)
{
    return Guarded<XBBOOL>(0, [&] {
        char c = Current().FieldBytes(FieldOf(field))[0];
        return (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 1 : 0;
    });
}

XBLONG xb_GetDateJulian(const char* field)
{
    return Guarded<XBLONG>(0, [&] { return XBLONG(FieldJulian(FieldOf(field))); });
}

const char* xb_GetDateString(const char* field)
{
    return Guarded<const char*>("", [&] {
        return ResultText(fieldcodec::DateText(FieldJulian(FieldOf(field)), EngineSettings()));
    });
}

XBBOOL xb_Empty(const char* field)
{
    return Guarded<XBBOOL>(0, [&] {
        const FieldDef& def = FieldOf(field);
        if (def.Binary)
            return Current().FieldBytes(def).find_first_not_of('\0') == String::npos ? 1 : 0;
        String text = FieldText(def);
        switch (def.Type) {
        case 'N':
        case 'F': return fieldcodec::Val(text) == 0 ? 1 : 0;
        case 'L':
            return (text[0] == ' ' || text[0] == 'F' || text[0] == 'f' || text[0] == 'N' || text[0] == 'n')
                           ? 1
                           : 0;
        default: return TrimRight(text).empty() ? 1 : 0;
        }
    });
}

char* xb_GetMemo(const char* field, XBWORD lineWidth)
{
    return Guarded<char*>(EmptyMemo, [&] {
        String text = Current().MemoData(MemoField(field));
        if (lineWidth > 0)
            text = Wrapped(text, lineWidth);
        if (text.empty())
            return EmptyMemo;
        char* block = static_cast<char*>(std::malloc(text.size() + 1));
        if (!block)
            throw std::bad_alloc();
        std::memcpy(block, text.data(), text.size());
        block[text.size()] = '\0';
        return block;
    });
}

void xb_MemDealloc(void* p)
{
    if (p && p != EmptyMemo)
        std::free(p);
}

XBLONG xb_GetBlobLength(const char* field)
{
    return Guarded<XBLONG>(0, [&] { return XBLONG(Current().MemoData(MemoField(field)).size()); });
}

XBLONG xb_GetBlob(const char* field, void* buf)
{
    return Guarded<XBLONG>(0, [&] {
        String data = Current().MemoData(MemoField(field));
        std::memcpy(buf, data.data(), data.size());
        return XBLONG(data.size());
    });
}

XBLONG xb_PutBlob(const char* field, const void* data, XBLONG len)
{
    return Guarded<XBLONG>(0, [&] {
        if (len < 0)
            throw EEngineError(XBE_E_FIELD, "Negative blob length");
        Current().WriteMemo(MemoField(field), String(static_cast<const char*>(data), std::size_t(len)));
        return len;
    });
}

XBBOOL xb_BlobToFile(const char* field, const char* file)
{
    return Guarded<XBBOOL>(0, [&] {
        String data = Current().MemoData(MemoField(field));
        std::ofstream out(ArgText(file), std::ios::binary | std::ios::trunc);
        out.write(data.data(), std::streamsize(data.size()));
        out.close();
        if (!out)
            throw EEngineError(XBE_E_IO, "Cannot write file " + ArgText(file));
        return 1;
    });
}

XBBOOL xb_Replace(const char* field, XBSHORT type, const void* value)
{
    return Guarded<XBBOOL>(0, [&] {
        if (!value)
            throw EEngineError(XBE_E_FIELD, "No value given");
        Table& table = Current();
        const FieldDef& def = FieldOf(field);
        if (IsMemoType(def))
            table.WriteMemo(def, valueconvert::MemoValue(def, type, value));
        else
            table.WriteField(def, valueconvert::StoredBytes(def, type, value, EngineSettings()));
        return 1;
    });
}

const char* xb_Descend(const char* text)
{
    return Guarded<const char*>("", [&] {
        String result = ArgText(text);
        for (char& c : result)
            c = char(255 - static_cast<unsigned char>(c));
        return ResultText(result);
    });
}

}  // extern "C"
