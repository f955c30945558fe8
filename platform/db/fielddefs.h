#pragma once
// The definitions of a data set's columns as the data source reports them, from
// which the data set makes its default fields.

#include <memory>
#include <vector>

#include "platform/db/dbtypes.h"

class TComponent;
class TDataSet;
class TField;

class TFieldDef {
public:
    TFieldDef(const String& Name, TFieldType DataType, int Size, bool Required, int FieldNo)
        : FName(Name), FDataType(DataType), FSize(Size), FRequired(Required), FFieldNo(FieldNo)
    {
    }

    const String& Name() const { return FName; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    bool Required() const { return FRequired; }
    int FieldNo() const { return FFieldNo; }
    void SetFieldNo(int Value) { FFieldNo = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }

    // A field of the class for DataType, owned by Owner and joined to DataSet; raises
    // EDatabaseError for a type the framework has no field for.
    TField* CreateField(TComponent* Owner, TDataSet* DataSet) const;

private:
    String FName;
    TFieldType FDataType;
    int FSize;
    bool FRequired;
    int FFieldNo;
    int FPrecision = 0;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet* DataSet) : FDataSet(DataSet) { }

    // Adds a definition numbered after the last one (SetFieldNo renumbers it).
    TFieldDef* Add(const String& Name, TFieldType DataType, int Size = 0, bool Required = false);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TFieldDef* Items(int Index) const;
    TFieldDef* operator[](int Index) const { return Items(Index); }
    // By name ignoring case; -1 / null when absent. Find raises "Field 'X' not found".
    int IndexOf(const String& Name) const;
    TFieldDef* FindDef(const String& Name) const;
    TFieldDef* Find(const String& Name) const;

    // Whether the definitions are current; Update asks the data set for them when not.
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    void Update();

private:
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TFieldDef>> FItems;
    bool FUpdated = false;
};
