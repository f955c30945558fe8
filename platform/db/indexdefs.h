#pragma once
// The definitions of a data set's indexes, as a descendant that has indexes reports them.

#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/rtl/types.h"

class TDataSet;

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = SetOf<TIndexOption>;

class TIndexDef {
public:
    TIndexDef(const String& Name, const String& Fields, TIndexOptions Options)
        : FName(Name), FFields(Fields), FOptions(Options)
    {
    }

    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    // The key fields joined by ";"; empty for an expression index.
    const String& Fields() const { return FFields; }
    void SetFields(const String& Value) { FFields = Value; }
    // The key expression of an index with ixExpression.
    const String& Expression() const { return FExpression; }
    void SetExpression(const String& Value) { FExpression = Value; }
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions Value) { FOptions = Value; }

private:
    String FName;
    String FFields;
    String FExpression;
    TIndexOptions FOptions;
};

class TIndexDefs {
public:
    explicit TIndexDefs(TDataSet* DataSet) : FDataSet(DataSet) { }

    TIndexDef* Add(const String& Name, const String& Fields, TIndexOptions Options);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TIndexDef* Items(int Index) const;
    TIndexDef* operator[](int Index) const { return Items(Index); }
    // By name ignoring case; -1 / null when absent. Find raises "Index 'X' not found".
    int IndexOf(const String& Name) const;
    TIndexDef* FindDef(const String& Name) const;
    TIndexDef* Find(const String& Name) const;

    // Whether the definitions are current; Update asks the data set for them when not.
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    void Update();

private:
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TIndexDef>> FItems;
    bool FUpdated = false;
};
