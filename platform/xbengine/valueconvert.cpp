#include "platform/xbengine/valueconvert.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/xbe50.h"

namespace valueconvert {

namespace {

struct Value {
    enum Kind { Number, Date, Logical, Text } kind = Text;
    double number = 0;
    Integer julian = 0;
    bool logical = false;
    String text;
};

[[noreturn]] void Mismatch(const FieldDef& field, int code)
{
    throw EEngineError(XBE_E_FIELD, "A value of type " + std::to_string(code) +
                                            " cannot be stored in field " + field.Name + " (" + field.Type +
                                            ")");
}

[[noreturn]] void TooBig(const FieldDef& field, const String& shown)
{
    throw EEngineError(XBE_E_OVERFLOW, "The value " + shown + " does not fit field " + field.Name);
}

std::int32_t Int32At(const void* value)
{
    std::int32_t n;
    std::memcpy(&n, value, sizeof n);
    return n;
}

Value Decode(const FieldDef& field, int code, const void* value)
{
    Value v;
    switch (code) {
    case vcInteger:
    case vcInteger2:
        v.kind = Value::Number;
        v.number = Int32At(value);
        break;
    case vcDouble:
        v.kind = Value::Number;
        std::memcpy(&v.number, value, sizeof v.number);
        break;
    case vcJulian:
        v.kind = Value::Date;
        v.julian = Int32At(value);
        break;
    case vcByte:
        v.kind = Value::Logical;
        v.logical = *static_cast<const unsigned char*>(value) != 0;
        break;
    case vcText:
    case vcText2:
    case vcMemoText: v.text = static_cast<const char*>(value); break;
    case vcDateText:
        v.text.assign(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), 11));
        v.kind = Value::Date;
        v.julian = -1;
        break;
    default: Mismatch(field, code);
    }
    return v;
}

String Padded(const FieldDef& field, String text)
{
    while (int(text.size()) > field.Width && text.back() == ' ')
        text.pop_back();
    if (int(text.size()) > field.Width)
        TooBig(field, "\"" + text + "\"");
    text.resize(field.Width, ' ');
    return text;
}

Integer DateOf(const FieldDef& field, const Value& v, const Settings& settings)
{
    Integer jdn = 0;
    if (v.kind == Value::Date && v.julian >= 0)
        return v.julian;
    if (v.kind == Value::Number)
        return Integer(v.number);
    if (!fieldcodec::ParseDateText(v.text, settings, jdn))
        throw EEngineError(XBE_E_OVERFLOW, "\"" + v.text + "\" is not a date for field " + field.Name);
    return jdn;
}

}  // namespace

String StoredBytes(const FieldDef& field, int code, const void* value, const Settings& settings)
{
    Value v = Decode(field, code, value);
    switch (field.Binary ? '\0' : field.Type) {
    case 'C':
        switch (v.kind) {
        case Value::Number: return Padded(field, fieldcodec::NumberText(v.number));
        case Value::Date: return Padded(field, v.julian >= 0 ? fieldcodec::Dtos(v.julian) : v.text);
        case Value::Logical: return Padded(field, v.logical ? "T" : "F");
        case Value::Text: return Padded(field, v.text);
        }
        break;
    case 'N':
    case 'F': {
        double number = 0;
        if (v.kind == Value::Number)
            number = v.number;
        else if (v.kind == Value::Logical)
            number = v.logical ? 1 : 0;
        else if (v.kind == Value::Text)
            number = fieldcodec::Val(v.text);
        else if (v.julian >= 0)
            number = v.julian;
        else
            Mismatch(field, code);
        String out;
        if (!fieldcodec::FormatNumber(number, field.Width, field.Decimals, out))
            TooBig(field, fieldcodec::NumberText(number));
        return out;
    }
    case 'D': {
        if (v.kind == Value::Logical)
            Mismatch(field, code);
        String text = fieldcodec::Dtos(DateOf(field, v, settings));
        return text.empty() ? String(8, ' ') : text;
    }
    case 'L':
        if (v.kind == Value::Date)
            Mismatch(field, code);
        if (v.kind == Value::Number)
            return v.number != 0 ? "T" : "F";
        if (v.kind == Value::Logical)
            return v.logical ? "T" : "F";
        return (!v.text.empty() && std::strchr("TtYy", v.text[0])) ? "T" : "F";
    default: break;
    }
    Mismatch(field, code);
}

String MemoValue(const FieldDef& field, int code, const void* value)
{
    switch (code) {
    case vcText:
    case vcText2:
    case vcMemoText: return static_cast<const char*>(value);
    case vcFile: {
        const char* name = static_cast<const char*>(value);
        std::ifstream in(name, std::ios::binary);
        if (!in)
            throw EEngineError(XBE_E_NOT_FOUND, String("Cannot read file ") + name);
        return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    default: Mismatch(field, code);
    }
}

}  // namespace valueconvert
