#pragma once
// The field classes of each data type.

#include "platform/db/field.h"

class TStream;

// Text of at most Size characters.
class TStringField : public TField {
public:
    explicit TStringField(TComponent* AOwner);
    String ClassName() const override { return "TStringField"; }
    bool InheritsFrom(const String& name) const override;
    int DataSize() const override { return Size() + 1; }

protected:
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    Integer GetAsInteger() const override;
    void SetAsIntegerValue(Integer Value) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double Value) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool Value) override;
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() const override { return Variant(GetAsString()); }
    void SetVarValue(const Variant& Value) override { SetAsStringValue(Value.AsString()); }
    int DefaultWidth() const override { return Size(); }
};

// Whole numbers in the range of the field's type (16 or 32 bits).
class TIntegerField : public TField {
public:
    explicit TIntegerField(TComponent* AOwner);
    String ClassName() const override { return "TIntegerField"; }
    bool InheritsFrom(const String& name) const override;
    bool IsValidChar(char C) const override;

protected:
    TIntegerField(TComponent* AOwner, TFieldType DataType, Integer MinValue, Integer MaxValue);
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    Integer GetAsInteger() const override;
    void SetAsIntegerValue(Integer Value) override;
    double GetAsFloat() const override { return GetAsInteger(); }
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() const override { return Variant(GetAsInteger()); }
    void SetVarValue(const Variant& Value) override;
    int DefaultWidth() const override { return 11; }

private:
    Integer FMinValue;
    Integer FMaxValue;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* AOwner);
    String ClassName() const override { return "TSmallintField"; }
    bool InheritsFrom(const String& name) const override;

protected:
    int DefaultWidth() const override { return 6; }
};

// Floating-point numbers. DisplayFormat and EditFormat are FormatFloat masks.
class TFloatField : public TField {
public:
    explicit TFloatField(TComponent* AOwner);
    String ClassName() const override { return "TFloatField"; }
    bool InheritsFrom(const String& name) const override;
    bool IsValidChar(char C) const override;

    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);
    const String& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const String& Value);
    // Significant digits the data source keeps (2..15); texts without a format are
    // FloatToStr's.
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    // Money: without formats it shows as dollars and cents.
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value);

protected:
    TFloatField(TComponent* AOwner, TFieldType DataType);
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    Integer GetAsInteger() const override;
    void SetAsIntegerValue(Integer Value) override { SetAsFloatValue(Value); }
    double GetAsFloat() const override;
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() const override { return Variant(GetAsFloat()); }
    void SetVarValue(const Variant& Value) override { SetAsFloatValue(Value.AsFloat()); }
    String GetText(bool DisplayText) const override;

private:
    String FDisplayFormat;
    String FEditFormat;
    int FPrecision = 15;
    bool FCurrency = false;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* AOwner);
    String ClassName() const override { return "TCurrencyField"; }
    bool InheritsFrom(const String& name) const override;
};

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* AOwner);
    String ClassName() const override { return "TBooleanField"; }
    bool InheritsFrom(const String& name) const override;

protected:
    String GetAsString() const override;
    // "" clears; otherwise "True" or "False", or the start of either, in any case.
    void SetAsStringValue(const String& Value) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool Value) override;
    Variant GetAsVariant() const override { return Variant(GetAsBoolean()); }
    void SetVarValue(const Variant& Value) override { SetAsBooleanValue(Value.AsBoolean()); }
    int DefaultWidth() const override { return 5; }
};

// A date without time of day. The text is the program's short date format;
// DisplayFormat, when set, is a FormatDateTime pattern.
class TDateField : public TField {
public:
    explicit TDateField(TComponent* AOwner);
    String ClassName() const override { return "TDateField"; }
    bool InheritsFrom(const String& name) const override;

    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);

protected:
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() const override { return Variant::FromDate(GetAsDateTime()); }
    void SetVarValue(const Variant& Value) override { SetAsDateTimeValue(Value.AsDateTime()); }
    String GetText(bool DisplayText) const override;

private:
    String FDisplayFormat;
};

// A date with its time of day, stored as the TDateTime itself. The text is the short
// date with the long time when there is one; DisplayFormat, when set, is a
// FormatDateTime pattern.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* AOwner);
    String ClassName() const override { return "TDateTimeField"; }
    bool InheritsFrom(const String& name) const override;

    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);

protected:
    TDateTimeField(TComponent* AOwner, TFieldType DataType);
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() const override { return Variant::FromDate(GetAsDateTime()); }
    void SetVarValue(const Variant& Value) override { SetAsDateTimeValue(Value.AsDateTime()); }
    String GetText(bool DisplayText) const override;
    // The text of a value when no display format applies.
    virtual String DefaultText(TDateTime Value) const;

private:
    String FDisplayFormat;
};

// A time of day, stored as whole milliseconds since midnight; the text is the long time.
class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* AOwner);
    String ClassName() const override { return "TTimeField"; }
    bool InheritsFrom(const String& name) const override;

protected:
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime Value) override;
    String DefaultText(TDateTime Value) const override;
};

// Binary data of any length, read and written through the data set's blob streams.
class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* AOwner);
    String ClassName() const override { return "TBlobField"; }
    bool InheritsFrom(const String& name) const override;
    bool IsBlob() const override { return true; }
    int DataSize() const override { return 0; }

    int BlobSize() const;
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;

protected:
    TBlobField(TComponent* AOwner, TFieldType DataType);
    String GetAsString() const override;
    void SetAsStringValue(const String& Value) override;
    Variant GetAsVariant() const override { return Variant(GetAsString()); }
    void SetVarValue(const Variant& Value) override { SetAsStringValue(Value.AsString()); }
};

// Text of any length.
class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* AOwner);
    String ClassName() const override { return "TMemoField"; }
    bool InheritsFrom(const String& name) const override;
};
