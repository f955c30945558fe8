#pragma once
// Typed parameters of a stored procedure, with their values in the native
// layout that travels in parameter records (little-endian): a string with its
// terminating zero, 2-byte small integers and truth values (-1 true), 4-byte
// integers, 8-byte floats, dates as 4-byte day numbers counted from 1 January
// of year 1 (that day is 1), times as 4-byte milliseconds, date-times as an
// 8-byte float of day number x 86,400,000 + milliseconds, blobs as their bytes.

#include <memory>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParam {
public:
    TParam(const String& Name, TFieldType DataType, TParamType ParamType)
        : FName(Name), FDataType(DataType), FParamType(ParamType)
    {
    }

    const String& Name() const { return FName; }
    TFieldType DataType() const { return FDataType; }
    TParamType ParamType() const { return FParamType; }
    bool IsNull() const { return FNull; }
    void Clear();

    // The value in the native layout; SetData refuses bytes that do not fit the type.
    const String& Data() const { return FData; }
    void SetData(const String& Bytes);

    String AsString() const;
    void SetAsString(const String& Value);
    Integer AsInteger() const;
    void SetAsInteger(Integer Value);
    double AsFloat() const;
    void SetAsFloat(double Value);
    bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    // Date, time and date-time parameters as TDateTime.
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime Value);

private:
    String FName;
    TFieldType FDataType;
    TParamType FParamType;
    String FData;
    bool FNull = true;
};

class TParams {
public:
    TParams() = default;
    TParams(const TParams& Other) { Assign(Other); }
    TParams& operator=(const TParams& Other)
    {
        Assign(Other);
        return *this;
    }

    int Count() const { return static_cast<int>(FItems.size()); }
    TParam& Items(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }
    TParam& CreateParam(TFieldType DataType, const String& Name, TParamType ParamType);
    // The parameter of that name (ignoring case), or null.
    TParam* FindParam(const String& Name) const;
    // The same; raises when there is none.
    TParam& ParamByName(const String& Name) const;
    void Clear() { FItems.clear(); }
    void Assign(const TParams& Source);

private:
    std::vector<std::unique_ptr<TParam>> FItems;
};
