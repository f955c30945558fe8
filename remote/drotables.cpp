#include "remote/drotables.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "remote/wire.h"

namespace {
constexpr int NameWidth = 64;
constexpr int PasswordWidth = 8;
}  // namespace

void TDaroruTableItem::SetTableName(const String& Value)
{
    FTableName = Value;
    if (FAlias.empty())
        FAlias = Value.substr(0, Value.find('.'));
}

String TDaroruTableItem::Caption() const
{
    return FTableName.empty() ? String("Undefined") : FTableName + " (" + FAlias + ")";
}

void TDaroruTableItem::Assign(const TDaroruTableItem& Source)
{
    FAlias = Source.FAlias;
    FExtraIndexes.Assign(Source.FExtraIndexes);
    FSetTranslate = Source.FSetTranslate;
    FTableName = Source.FTableName;
    FTableType = Source.FTableType;
    FPassword = Source.FPassword;
}

TDaroruTableItem& TDaroruTables::Add()
{
    FItems.push_back(std::make_unique<TDaroruTableItem>());
    return *FItems.back();
}

void TDaroruTables::Assign(const TDaroruTables& Source)
{
    if (&Source == this)
        return;
    Clear();
    for (int i = 0; i < Source.Count(); ++i)
        Add().Assign(Source.Items(i));
}

String TableListText(const TDaroruTables& Tables, int& Count)
{
    String text;
    Count = 0;
    for (int i = 0; i < Tables.Count(); ++i) {
        const TDaroruTableItem& item = Tables.Items(i);
        if (Trim(item.TableName()).empty())
            continue;
        const String indexes = Trim(item.ExtraIndexes().Text());
        text += Wire::Fixed(Trim(item.TableName()), NameWidth) + Wire::Fixed(Trim(item.Alias()), NameWidth) +
                Wire::Hex(item.TableType(), 1) + Wire::Fixed(Trim(item.Password()), PasswordWidth) +
                BoolToYN(item.SetTranslate()) + Wire::Hex(Int64(indexes.size()), 8) + indexes;
        ++Count;
    }
    return text;
}

std::vector<localsql::TTableRef> ParseTableList(const String& CountAndText)
{
    size_t at = 0;
    auto take = [&](size_t Length) {
        if (Length > CountAndText.size() - at)
            throw EConvertError("The table list is cut short");
        const String part = CountAndText.substr(at, Length);
        at += Length;
        return part;
    };
    const Integer count = Wire::ParseHex(take(8));
    if (count < 0)
        throw EConvertError("The table list is cut short");
    std::vector<localsql::TTableRef> tables;
    for (Integer i = 0; i < count; ++i) {
        localsql::TTableRef table;
        table.FileName = NormalizePath(Trim(take(NameWidth)));
        table.Alias = Trim(take(NameWidth));
        const Integer type = Wire::ParseHex(take(1));
        if (type < ttSXNTX || type > ttSXNSX)
            throw EConvertError("Unknown table type in the table list");
        table.TableType = type + 1;
        take(PasswordWidth + 1);
        const Integer length = Wire::ParseHex(take(8));
        if (length < 0)
            throw EConvertError("The table list is cut short");
        TStringList lines;
        lines.SetText(take(size_t(length)));
        for (int line = 0; line < lines.Count(); ++line)
            if (!Trim(lines[line]).empty())
                table.ExtraIndexes.push_back(NormalizePath(Trim(lines[line])));
        if (table.Alias.empty())
            table.Alias = table.FileName.substr(0, table.FileName.find('.'));
        tables.push_back(std::move(table));
    }
    return tables;
}
