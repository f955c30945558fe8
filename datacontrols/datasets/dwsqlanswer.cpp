#include "datacontrols/datasets/dwsqlanswer.h"

#include <set>
#include <vector>

#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "remote/drconn.h"
#include "remote/droqset.h"
#include "tables/drodset.h"

namespace {

constexpr size_t MaxFieldName = 10;
constexpr int MaxCharacterWidth = 254;

// How a column is kept in the answer table.
struct TAnswerField {
    String Name;
    const char* Type;
    int Width;
    int Decimals;
};

bool IsWholeNumber(TFieldType Type)
{
    return Type == ftSmallint || Type == ftInteger || Type == ftWord || Type == ftAutoInc;
}

bool IsNumber(TFieldType Type)
{
    return IsWholeNumber(Type) || Type == ftFloat || Type == ftCurrency || Type == ftBCD;
}

bool IsMemo(TFieldType Type) { return Type == ftMemo || Type == ftFmtMemo || Type == ftBlob; }

// The column's name as a table holds it, unlike every name taken before.
String FieldNameOf(const String& Column, std::set<String>& Taken)
{
    String name = UpperCase(Column);
    for (char& c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            c = '_';
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        name = "F" + name;
    name = name.substr(0, MaxFieldName);
    String unique = name;
    for (int number = 2; Taken.count(unique); ++number) {
        const String suffix = IntToStr(number);
        unique = name.substr(0, MaxFieldName - suffix.size()) + suffix;
    }
    Taken.insert(unique);
    return unique;
}

TAnswerField AnswerFieldOf(const TField& Column, std::set<String>& Taken)
{
    const String name = FieldNameOf(Column.FieldName(), Taken);
    const TFieldType type = Column.DataType();
    if (IsWholeNumber(type))
        return {name, "N", 11, 0};
    if (IsNumber(type))
        return {name, "N", 20, 6};
    if (type == ftDate)
        return {name, "D", 8, 0};
    if (type == ftBoolean)
        return {name, "L", 1, 0};
    if (IsMemo(type))
        return {name, "M", 10, 0};
    const int width = type == ftString ? Column.Size() : 24;
    return {name, "C", std::max(1, std::min(width, MaxCharacterWidth)), 0};
}

void CopyValue(const TField& From, TField& To)
{
    if (From.IsNull())
        return;
    const TFieldType type = From.DataType();
    if (IsNumber(type))
        To.SetAsFloat(From.AsFloat());
    else if (type == ftDate)
        To.SetAsDateTime(From.AsDateTime());
    else if (type == ftBoolean)
        To.SetAsBoolean(From.AsBoolean());
    else
        To.SetAsString(From.AsString());
}

}  // namespace

void dwWriteSqlAnswer(const String& Directory, const String& Sql, const String& AnswerPath)
{
    TDaroruServerConnection connection(nullptr);
    TDaroruQuery query(nullptr);
    query.SetAccessMethod(amLocal);
    query.SetDaroruConnection(&connection);
    query.SetDatabaseName(Directory);
    query.SetReadOnly(true);
    for (const String& file : ListFiles(Directory, "*.dbf"))
        query.TableNames().Add().SetTableName(file);
    query.SetSQLText(Sql);
    query.Open();

    std::set<String> taken;
    std::vector<TAnswerField> layout;
    for (int i = 0; i < query.Fields().Count(); ++i)
        layout.push_back(AnswerFieldOf(*query.Fields()[i], taken));
    TDaroruTable answer(nullptr);
    if (!answer.CreateNew(AnswerPath, 2, static_cast<SmallInt>(layout.size())))
        throw EDaroruError("Unable to create the answer table " + AnswerPath);
    for (const TAnswerField& f : layout)
        answer.CreateField(f.Name, f.Type, static_cast<SmallInt>(f.Width), static_cast<SmallInt>(f.Decimals));
    if (answer.CreateExec() != -1)
        throw EDaroruError("Unable to create the answer table " + AnswerPath);

    answer.SetTableName(AnswerPath + ".DBF");
    answer.SetExclusive(WordTrue);
    answer.Open();
    for (query.First(); !query.Eof(); query.Next()) {
        answer.Append();
        for (size_t i = 0; i < layout.size(); ++i)
            CopyValue(*query.Fields()[static_cast<int>(i)], *answer.FieldByName(layout[i].Name));
        answer.Post();
    }
    answer.Close();
}
