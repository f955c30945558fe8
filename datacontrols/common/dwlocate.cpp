#include "datacontrols/common/dwlocate.h"

#include "datacontrols/common/dwutils.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

bool TextMatches(int MatchType, String FieldText, const String& Value, bool CaseSensitive)
{
    if (!CaseSensitive)
        FieldText = AnsiUpperCase(FieldText);
    switch (MatchType) {
    case dwMatchWhole: return FieldText == Value;
    case dwMatchStart: return FieldText.compare(0, Value.size(), Value) == 0;
    default: return FieldText.find(Value) != String::npos;
    }
}

}  // namespace

IdwIndexSearch* dwIndexSearchOf(TDataSet* DataSet) { return dynamic_cast<IdwIndexSearch*>(DataSet); }

bool dwIsIndexedTdwTable(TDataSet* DataSet)
{
    IdwIndexSearch* table = dwIndexSearchOf(DataSet);
    return table && !table->UsesQuery() && !table->SearchIndexFields().empty();
}

bool dwIsQueryTable(TDataSet* DataSet)
{
    IdwIndexSearch* table = dwIndexSearchOf(DataSet);
    return table && table->UsesQuery();
}

namespace {

// The key search of the table's active index when it leads with the text field and
// minds the case as asked; null when the data set must be scanned.
IdwIndexSearch* IndexFor(TDataSet* DataSet, const TField* Field, bool CaseSensitive)
{
    IdwIndexSearch* table = dwIndexSearchOf(DataSet);
    if (!table || table->UsesQuery() || Field->DataType() != ftString)
        return nullptr;
    const std::vector<String> fields = table->SearchIndexFields();
    if (fields.empty() || !SameText(fields[0], Field->FieldName()) ||
        table->SearchIndexCaseInsensitive() == CaseSensitive)
        return nullptr;
    return table;
}

}  // namespace

bool dwLocateRecord(int MatchType, TDataSet* DataSet, const String& FieldName, bool CaseSensitive,
                    bool Partial, const String& Value)
{
    if (!DataSet || !DataSet->Active())
        return false;
    TField* field = DataSet->FindField(FieldName);
    if (!field) {
        MessageDlg("Field " + FieldName + " not found.", mtWarning, {mbOK}, 0);
        return false;
    }
    const String key = CaseSensitive ? Value : AnsiUpperCase(Value);
    TdwHourGlass hourGlass;
    TdwControlsDisabled quiet(DataSet);
    TBookmark start = DataSet->IsEmpty() ? TBookmark() : DataSet->GetBookmark();
    IdwIndexSearch* index = MatchType == dwMatchAnywhere ? nullptr : IndexFor(DataSet, field, CaseSensitive);
    if (index) {
        if (index->SeekIndexKey(Value, Partial || MatchType == dwMatchStart) &&
            TextMatches(MatchType, field->AsString(), key, CaseSensitive))
            return true;
    } else {
        for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
            if (TextMatches(MatchType, field->AsString(), key, CaseSensitive))
                return true;
        }
    }
    if (!start.empty())
        DataSet->GotoBookmark(start);
    return false;
}

bool dwLocateValue(TDataSet* DataSet, const String& FieldName, const String& Value, bool CaseSensitive,
                   bool Partial)
{
    if (!DataSet || !DataSet->Active())
        return false;
    const int matchType = Partial ? dwMatchStart : dwMatchWhole;
    TField* field = DataSet->FindField(FieldName);
    if (field && !DataSet->IsEmpty() &&
        TextMatches(matchType, field->AsString(), CaseSensitive ? Value : AnsiUpperCase(Value),
                    CaseSensitive))
        return true;
    return dwLocateRecord(matchType, DataSet, FieldName, CaseSensitive, Partial, Value);
}
