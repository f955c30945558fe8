#pragma once
// The tables an SQL statement may use, each known by its alias, and the table
// list text that carries them to the local SQL engine or the server: per
// table its name and alias (64 characters each), its type (1 hexadecimal
// digit), password (8 characters), translate flag (Y/N), and its extra index
// files (8 hexadecimal digits of length, then the file names one a line).

#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/sql/localsql.h"
#include "tables/drcommon.h"

class TComponent;

class TDaroruTableItem {
public:
    const String& Alias() const { return FAlias; }
    void SetAlias(const String& Value) { FAlias = Value; }
    TStringList& ExtraIndexes() { return FExtraIndexes; }
    const TStringList& ExtraIndexes() const { return FExtraIndexes; }
    void SetExtraIndexes(const TStrings& Value) { FExtraIndexes.Assign(Value); }
    bool SetTranslate() const { return FSetTranslate; }
    void SetSetTranslate(bool Value) { FSetTranslate = Value; }
    const String& TableName() const { return FTableName; }
    // While no alias is set, the name before its first "." becomes the alias.
    void SetTableName(const String& Value);
    TDaroruTableType TableType() const { return FTableType; }
    void SetTableType(TDaroruTableType Value) { FTableType = Value; }
    const String& Password() const { return FPassword; }
    void SetPassword(const String& Value) { FPassword = Value; }

    // TableName (Alias), or "Undefined" without a name.
    String Caption() const;
    String DisplayName() const { return Caption(); }
    void Assign(const TDaroruTableItem& Source);

private:
    String FAlias;
    TStringList FExtraIndexes;
    bool FSetTranslate = false;
    String FTableName;
    TDaroruTableType FTableType = ttSXFOX;
    String FPassword;
};

class TDaroruTables {
public:
    explicit TDaroruTables(TComponent* Owner = nullptr) : FOwner(Owner) { }
    TComponent* Owner() const { return FOwner; }
    TDaroruTableItem& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TDaroruTableItem& Items(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }
    void Clear() { FItems.clear(); }
    void Assign(const TDaroruTables& Source);

private:
    TComponent* FOwner;
    std::vector<std::unique_ptr<TDaroruTableItem>> FItems;
};

// The table list text of the items with a name, and how many there are; a
// name, alias or password too long for its field raises EDaroruRequestError.
String TableListText(const TDaroruTables& Tables, int& Count);
// The tables of a count (8 hexadecimal digits) followed by the table list
// text; raises EConvertError when the text is not one.
std::vector<localsql::TTableRef> ParseTableList(const String& CountAndText);
