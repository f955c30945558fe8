#include "platform/db/fieldkinds.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {

template<class T> bool ReadNative(const TField& Field, T& Value)
{
    Value = T {};
    return Field.GetData(&Value);
}

// The value rounded half away from zero to a whole number, refused beyond 32 bits.
Integer RoundToInteger(double Value, const TField& Field)
{
    double rounded = std::round(Value);
    if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= std::numeric_limits<Integer>::max()))
        DatabaseError(dbtext::FieldRange(FloatToStr(Value), Field.DisplayName(),
                                         IntToStr(std::numeric_limits<Integer>::min()),
                                         IntToStr(std::numeric_limits<Integer>::max())),
                      Field.DataSet());
    return static_cast<Integer>(rounded);
}

}  // namespace

// ---- TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner, ftString) { SetSize(20); }

bool TStringField::InheritsFrom(const String& name) const
{
    return SameText(name, "TStringField") || TField::InheritsFrom(name);
}

String TStringField::GetAsString() const
{
    std::vector<char> data(static_cast<size_t>(DataSize()) + 1, '\0');
    if (!GetData(data.data()))
        return String();
    return String(data.data());
}

void TStringField::SetAsStringValue(const String& Value)
{
    // The text is cut to the field's size; a zero byte ends it.
    std::vector<char> data(static_cast<size_t>(DataSize()), '\0');
    std::memcpy(data.data(), Value.data(), std::min(Value.size(), static_cast<size_t>(Size())));
    SetData(data.data());
}

Integer TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }
void TStringField::SetAsIntegerValue(Integer Value) { SetAsStringValue(IntToStr(Value)); }
double TStringField::GetAsFloat() const { return StrToFloat(GetAsString()); }
void TStringField::SetAsFloatValue(double Value) { SetAsStringValue(FloatToStr(Value)); }

bool TStringField::GetAsBoolean() const
{
    String s = GetAsString();
    return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBooleanValue(bool Value) { SetAsStringValue(Value ? "T" : "F"); }
TDateTime TStringField::GetAsDateTime() const { return StrToDate(GetAsString()); }
void TStringField::SetAsDateTimeValue(TDateTime Value) { SetAsStringValue(DateTimeToStr(Value)); }

// ---- TIntegerField, TSmallintField

TIntegerField::TIntegerField(TComponent* AOwner)
    : TIntegerField(AOwner, ftInteger, std::numeric_limits<Integer>::min(),
                    std::numeric_limits<Integer>::max())
{
}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType DataType, Integer MinValue, Integer MaxValue)
    : TField(AOwner, DataType), FMinValue(MinValue), FMaxValue(MaxValue)
{
}

bool TIntegerField::InheritsFrom(const String& name) const
{
    return SameText(name, "TIntegerField") || TField::InheritsFrom(name);
}

bool TIntegerField::IsValidChar(char C) const { return (C >= '0' && C <= '9') || C == '+' || C == '-'; }

Integer TIntegerField::GetAsInteger() const
{
    if (DataType() == ftSmallint) {
        SmallInt value;
        ReadNative(*this, value);
        return value;
    }
    Integer value;
    ReadNative(*this, value);
    return value;
}

void TIntegerField::SetAsIntegerValue(Integer Value)
{
    if (Value < FMinValue || Value > FMaxValue)
        DatabaseError(
                dbtext::FieldRange(IntToStr(Value), DisplayName(), IntToStr(FMinValue), IntToStr(FMaxValue)),
                DataSet());
    if (DataType() == ftSmallint) {
        SmallInt value = static_cast<SmallInt>(Value);
        SetData(&value);
    } else {
        SetData(&Value);
    }
}

String TIntegerField::GetAsString() const { return IsNull() ? String() : IntToStr(GetAsInteger()); }

void TIntegerField::SetAsStringValue(const String& Value)
{
    if (Value.empty())
        Clear();
    else
        SetAsIntegerValue(StrToInt(Value));
}

void TIntegerField::SetAsFloatValue(double Value) { SetAsIntegerValue(RoundToInteger(Value, *this)); }

void TIntegerField::SetVarValue(const Variant& Value)
{
    if (Value.VarType() == varDouble || Value.VarType() == varCurrency)
        SetAsFloatValue(Value.AsFloat());
    else
        SetAsIntegerValue(Value.AsInteger());
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint, -32768, 32767) { }

bool TSmallintField::InheritsFrom(const String& name) const
{
    return SameText(name, "TSmallintField") || TIntegerField::InheritsFrom(name);
}

// ---- TFloatField, TCurrencyField

TFloatField::TFloatField(TComponent* AOwner) : TField(AOwner, ftFloat) { }
TFloatField::TFloatField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) { }

bool TFloatField::InheritsFrom(const String& name) const
{
    return SameText(name, "TFloatField") || TField::InheritsFrom(name);
}

bool TFloatField::IsValidChar(char C) const
{
    return (C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.' || C == 'E' || C == 'e';
}

void TFloatField::SetDisplayFormat(const String& Value)
{
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    PropertyChanged(true);
}

void TFloatField::SetEditFormat(const String& Value)
{
    if (Value == FEditFormat)
        return;
    FEditFormat = Value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value)
{
    Value = Value < 2 ? 2 : (Value > 15 ? 15 : Value);
    if (Value == FPrecision)
        return;
    FPrecision = Value;
    PropertyChanged(false);
}

void TFloatField::SetCurrency(bool Value)
{
    if (Value == FCurrency)
        return;
    FCurrency = Value;
    PropertyChanged(false);
}

double TFloatField::GetAsFloat() const
{
    double value;
    ReadNative(*this, value);
    return value;
}

void TFloatField::SetAsFloatValue(double Value)
{
    if (!std::isfinite(Value))
        DatabaseError("'" + FloatToStr(Value) + "' is not a valid value for field '" + DisplayName() + "'",
                      DataSet());
    SetData(&Value);
}

Integer TFloatField::GetAsInteger() const { return RoundToInteger(GetAsFloat(), *this); }

String TFloatField::GetAsString() const { return IsNull() ? String() : FloatToStr(GetAsFloat()); }

void TFloatField::SetAsStringValue(const String& Value)
{
    if (Value.empty())
        Clear();
    else
        SetAsFloatValue(StrToFloat(Value));
}

String TFloatField::GetText(bool DisplayText) const
{
    double value = GetAsFloat();
    const String& mask = DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    if (!mask.empty())
        return FormatFloat(mask, value);
    if (FCurrency)
        return DisplayText ? FormatFloat("$#,##0.00;-$#,##0.00", value) : FormatFloat("0.00", value);
    return FloatToStr(value);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner, ftCurrency) { SetCurrency(true); }

bool TCurrencyField::InheritsFrom(const String& name) const
{
    return SameText(name, "TCurrencyField") || TFloatField::InheritsFrom(name);
}

// ---- TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner, ftBoolean) { }

bool TBooleanField::InheritsFrom(const String& name) const
{
    return SameText(name, "TBooleanField") || TField::InheritsFrom(name);
}

bool TBooleanField::GetAsBoolean() const
{
    SmallInt value;
    ReadNative(*this, value);
    return value != 0;
}

void TBooleanField::SetAsBooleanValue(bool Value)
{
    SmallInt value = Value ? -1 : 0;
    SetData(&value);
}

String TBooleanField::GetAsString() const
{
    if (IsNull())
        return String();
    return GetAsBoolean() ? "True" : "False";
}

void TBooleanField::SetAsStringValue(const String& Value)
{
    if (Value.empty()) {
        Clear();
        return;
    }
    auto startsWord = [&](const String& word) {
        return Value.size() <= word.size() && SameText(Value, word.substr(0, Value.size()));
    };
    if (startsWord("True"))
        SetAsBooleanValue(true);
    else if (startsWord("False"))
        SetAsBooleanValue(false);
    else
        DatabaseError(dbtext::InvalidBooleanText(Value, DisplayName()), DataSet());
}

// ---- TDateField

TDateField::TDateField(TComponent* AOwner) : TField(AOwner, ftDate) { }

bool TDateField::InheritsFrom(const String& name) const
{
    return SameText(name, "TDateField") || TField::InheritsFrom(name);
}

void TDateField::SetDisplayFormat(const String& Value)
{
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    PropertyChanged(true);
}

TDateTime TDateField::GetAsDateTime() const
{
    Integer days;
    if (!ReadNative(*this, days))
        return 0;
    return static_cast<TDateTime>(days - DateDelta);
}

void TDateField::SetAsDateTimeValue(TDateTime Value)
{
    double days = std::trunc(Value) + DateDelta;
    if (!(days >= 1 && days <= std::numeric_limits<Integer>::max()))
        DatabaseError("'" + FloatToStr(Value) + "' is not a valid date for field '" + DisplayName() + "'",
                      DataSet());
    Integer value = static_cast<Integer>(days);
    SetData(&value);
}

String TDateField::GetAsString() const { return IsNull() ? String() : DateToStr(GetAsDateTime()); }

void TDateField::SetAsStringValue(const String& Value)
{
    if (Value.empty())
        Clear();
    else
        SetAsDateTimeValue(StrToDate(Value));
}

String TDateField::GetText(bool DisplayText) const
{
    if (DisplayText && !FDisplayFormat.empty())
        return FormatDateTime(FDisplayFormat, GetAsDateTime());
    return DateToStr(GetAsDateTime());
}

// ---- TDateTimeField, TTimeField

namespace {
// "date", "time" or "date time": the date as StrToDate reads it, the time as hours,
// minutes and optional seconds with an optional AM or PM.
bool TryTextToDateTime(const String& Text, TDateTime& Value)
{
    const String text = Trim(Text);
    const size_t blank = text.find(' ');
    String datePart = text, timePart;
    if (text.find(TimeSeparator) != String::npos) {
        datePart = text.find(DateSeparator) != String::npos && blank != String::npos ? text.substr(0, blank)
                                                                                     : String();
        timePart = datePart.empty() ? text : Trim(text.substr(blank + 1));
    }
    TDateTime date = 0;
    if (!datePart.empty() && !TryStrToDate(datePart, date))
        return false;
    TDateTime time = 0;
    if (!timePart.empty()) {
        int parts[3] = {0, 0, 0};
        size_t i = 0;
        int count = 0;
        while (count < 3 && i < timePart.size() && std::isdigit(static_cast<unsigned char>(timePart[i]))) {
            while (i < timePart.size() && std::isdigit(static_cast<unsigned char>(timePart[i])))
                parts[count] = parts[count] * 10 + (timePart[i++] - '0');
            ++count;
            if (i < timePart.size() && timePart[i] == TimeSeparator)
                ++i;
        }
        const String rest = UpperCase(Trim(timePart.substr(i)));
        if (count < 2)
            return false;
        if (rest == UpperCase(TimePMString) && parts[0] < 12)
            parts[0] += 12;
        else if (rest == UpperCase(TimeAMString) && parts[0] == 12)
            parts[0] = 0;
        else if (!rest.empty() && rest != UpperCase(TimePMString) && rest != UpperCase(TimeAMString))
            return false;
        if (!TryEncodeTime(parts[0], parts[1], parts[2], 0, time))
            return false;
    }
    Value = date < 0 ? date - time : date + time;
    return true;
}
}  // namespace

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner, ftDateTime) { }
TDateTimeField::TDateTimeField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) { }

bool TDateTimeField::InheritsFrom(const String& name) const
{
    return SameText(name, "TDateTimeField") || TField::InheritsFrom(name);
}

void TDateTimeField::SetDisplayFormat(const String& Value)
{
    if (Value == FDisplayFormat)
        return;
    FDisplayFormat = Value;
    PropertyChanged(true);
}

TDateTime TDateTimeField::GetAsDateTime() const
{
    double value;
    ReadNative(*this, value);
    return value;
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value)
{
    if (!std::isfinite(Value))
        DatabaseError("'" + FloatToStr(Value) + "' is not a valid date and time for field '" + DisplayName() +
                              "'",
                      DataSet());
    double value = Value;
    SetData(&value);
}

String TDateTimeField::GetAsString() const { return IsNull() ? String() : DefaultText(GetAsDateTime()); }

void TDateTimeField::SetAsStringValue(const String& Value)
{
    if (Trim(Value).empty()) {
        Clear();
        return;
    }
    TDateTime value = 0;
    if (!TryTextToDateTime(Value, value))
        DatabaseError("'" + Value + "' is not a valid date and time for field '" + DisplayName() + "'",
                      DataSet());
    SetAsDateTimeValue(value);
}

String TDateTimeField::GetText(bool DisplayText) const
{
    if (IsNull())
        return String();
    if (DisplayText && !FDisplayFormat.empty())
        return FormatDateTime(FDisplayFormat, GetAsDateTime());
    return DefaultText(GetAsDateTime());
}

String TDateTimeField::DefaultText(TDateTime Value) const { return DateTimeToStr(Value); }

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) { }

bool TTimeField::InheritsFrom(const String& name) const
{
    return SameText(name, "TTimeField") || TDateTimeField::InheritsFrom(name);
}

TDateTime TTimeField::GetAsDateTime() const
{
    Integer msecs;
    if (!ReadNative(*this, msecs))
        return 0;
    return static_cast<TDateTime>(msecs) / 86400000.0;
}

void TTimeField::SetAsDateTimeValue(TDateTime Value)
{
    if (!std::isfinite(Value))
        DatabaseError("'" + FloatToStr(Value) + "' is not a valid time for field '" + DisplayName() + "'",
                      DataSet());
    const double fraction = std::fabs(Value - std::trunc(Value));
    Integer msecs = static_cast<Integer>(std::lround(fraction * 86400000.0)) % 86400000;
    SetData(&msecs);
}

String TTimeField::DefaultText(TDateTime Value) const { return FormatDateTime(LongTimeFormat, Value); }

// ---- TBlobField, TMemoField

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner, ftBlob) { }
TBlobField::TBlobField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) { }

bool TBlobField::InheritsFrom(const String& name) const
{
    return SameText(name, "TBlobField") || TField::InheritsFrom(name);
}

namespace {
TDataSet& BlobDataSet(const TField& Field)
{
    if (!Field.DataSet())
        DatabaseError("Field '" + Field.DisplayName() + "' has no data set");
    return *Field.DataSet();
}
}  // namespace

int TBlobField::BlobSize() const
{
    auto stream = BlobDataSet(*this).CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    return static_cast<int>(stream->Size());
}

void TBlobField::SaveToStream(TStream& Stream) const
{
    auto stream = BlobDataSet(*this).CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    if (stream->Size() > 0)
        Stream.CopyFrom(*stream, 0);
}

void TBlobField::LoadFromStream(TStream& Stream)
{
    auto stream = BlobDataSet(*this).CreateBlobStream(this, bmWrite);
    stream->SetSize(0);
    Stream.SetPosition(0);
    if (Stream.Size() > 0)
        stream->CopyFrom(Stream, 0);
}

void TBlobField::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TBlobField::SaveToFile(const String& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

String TBlobField::GetAsString() const
{
    auto stream = BlobDataSet(*this).CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    String text(static_cast<size_t>(stream->Size()), '\0');
    stream->SetPosition(0);
    if (!text.empty())
        stream->ReadBuffer(text.data(), static_cast<Int64>(text.size()));
    return text;
}

void TBlobField::SetAsStringValue(const String& Value)
{
    auto stream = BlobDataSet(*this).CreateBlobStream(this, bmWrite);
    stream->SetSize(0);
    if (!Value.empty())
        stream->WriteBuffer(Value.data(), static_cast<Int64>(Value.size()));
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) { }

bool TMemoField::InheritsFrom(const String& name) const
{
    return SameText(name, "TMemoField") || TBlobField::InheritsFrom(name);
}
