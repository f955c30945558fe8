#include "remote/params.h"

#include <cmath>
#include <cstring>

#include "platform/db/dberror.h"
#include "platform/db/field.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {
constexpr double MsPerDay = 86400000.0;

template<class T> T Load(const String& Data)
{
    T value {};
    std::memcpy(&value, Data.data(), std::min(sizeof value, Data.size()));
    return value;
}

template<class T> String Store(T Value)
{
    String bytes(sizeof Value, '\0');
    std::memcpy(bytes.data(), &Value, sizeof Value);
    return bytes;
}

// The fixed size of a type's value; 0 for types of any size.
size_t FixedSize(TFieldType Type)
{
    return Type == ftString ? 0 : static_cast<size_t>(NativeDataSize(Type, 0));
}

bool IsText(TFieldType Type) { return Type == ftString || Type == ftMemo || Type == ftFmtMemo; }
}  // namespace

void TParam::Clear()
{
    FData.clear();
    FNull = true;
}

void TParam::SetData(const String& Bytes)
{
    const size_t size = FixedSize(FDataType);
    if (size && Bytes.size() != size)
        throw EDatabaseError("Parameter " + FName + ": " + std::to_string(Bytes.size()) +
                             " bytes do not hold a value of its type");
    FData = Bytes;
    FNull = false;
}

String TParam::AsString() const
{
    if (FNull)
        return String();
    switch (FDataType) {
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc: return IntToStr(AsInteger());
    case ftBoolean: return AsBoolean() ? "True" : "False";
    case ftFloat:
    case ftCurrency: return FloatToStr(AsFloat());
    case ftDate:
    case ftTime:
    case ftDateTime: return FloatToStr(AsDateTime());
    default: return IsText(FDataType) ? String(FData.c_str()) : FData;
    }
}

void TParam::SetAsString(const String& Value)
{
    switch (FDataType) {
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc: SetAsInteger(StrToInt(Value)); break;
    case ftBoolean: SetAsBoolean(SameText(Value, "True")); break;
    case ftFloat:
    case ftCurrency: SetAsFloat(StrToFloat(Value)); break;
    case ftDate:
    case ftTime:
    case ftDateTime: SetAsDateTime(StrToFloat(Value)); break;
    default: SetData(IsText(FDataType) ? Value + '\0' : Value);
    }
}

Integer TParam::AsInteger() const
{
    switch (FDataType) {
    case ftSmallint: return Load<std::int16_t>(FData);
    case ftWord: return Load<std::uint16_t>(FData);
    case ftInteger:
    case ftAutoInc: return Load<std::int32_t>(FData);
    case ftBoolean: return AsBoolean() ? 1 : 0;
    default: return static_cast<Integer>(std::lround(AsFloat()));
    }
}

void TParam::SetAsInteger(Integer Value)
{
    switch (FDataType) {
    case ftSmallint: SetData(Store(static_cast<std::int16_t>(Value))); break;
    case ftWord: SetData(Store(static_cast<std::uint16_t>(Value))); break;
    case ftInteger:
    case ftAutoInc: SetData(Store(static_cast<std::int32_t>(Value))); break;
    default: SetAsFloat(Value);
    }
}

double TParam::AsFloat() const
{
    switch (FDataType) {
    case ftFloat:
    case ftCurrency: return Load<double>(FData);
    case ftDate:
    case ftTime:
    case ftDateTime: return AsDateTime();
    default: return FNull ? 0 : IsText(FDataType) ? StrToFloat(AsString()) : AsInteger();
    }
}

void TParam::SetAsFloat(double Value)
{
    switch (FDataType) {
    case ftFloat:
    case ftCurrency: SetData(Store(Value)); break;
    case ftDate:
    case ftTime:
    case ftDateTime: SetAsDateTime(Value); break;
    default: SetAsString(FloatToStr(Value));
    }
}

bool TParam::AsBoolean() const
{
    return FDataType == ftBoolean ? Load<std::int16_t>(FData) != 0 : AsInteger() != 0;
}

void TParam::SetAsBoolean(bool Value)
{
    if (FDataType == ftBoolean)
        SetData(Store(static_cast<std::int16_t>(Value ? -1 : 0)));
    else
        SetAsInteger(Value ? 1 : 0);
}

TDateTime TParam::AsDateTime() const
{
    switch (FDataType) {
    case ftDate: return Load<std::int32_t>(FData) - DateDelta;
    case ftTime: return Load<std::int32_t>(FData) / MsPerDay;
    case ftDateTime: return Load<double>(FData) / MsPerDay - DateDelta;
    default: return AsFloat();
    }
}

void TParam::SetAsDateTime(TDateTime Value)
{
    const double day = std::floor(Value);
    const auto ms = static_cast<std::int32_t>(std::lround((Value - day) * MsPerDay));
    switch (FDataType) {
    case ftDate: SetData(Store(static_cast<std::int32_t>(day) + DateDelta)); break;
    case ftTime: SetData(Store(ms)); break;
    case ftDateTime: SetData(Store((day + DateDelta) * MsPerDay + ms)); break;
    default: SetAsFloat(Value);
    }
}

TParam& TParams::CreateParam(TFieldType DataType, const String& Name, TParamType ParamType)
{
    FItems.push_back(std::make_unique<TParam>(Name, DataType, ParamType));
    return *FItems.back();
}

TParam* TParams::FindParam(const String& Name) const
{
    for (const auto& item : FItems)
        if (SameText(item->Name(), Name))
            return item.get();
    return nullptr;
}

TParam& TParams::ParamByName(const String& Name) const
{
    if (TParam* param = FindParam(Name))
        return *param;
    throw EDatabaseError("Parameter '" + Name + "' not found");
}

void TParams::Assign(const TParams& Source)
{
    if (&Source == this)
        return;
    FItems.clear();
    for (const auto& item : Source.FItems)
        FItems.push_back(std::make_unique<TParam>(*item));
}
