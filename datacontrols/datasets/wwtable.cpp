#include "datacontrols/datasets/wwtable.h"

#include <cstdlib>
#include <filesystem>

#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/datasets/dwfilterinstall.h"
#include "datacontrols/datasets/dwsqlanswer.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "platform/db/datasource.h"
#include "platform/db/dberror.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

constexpr const char* FailToSetFilter = "Fail to set filter";
String JoinFields(const std::vector<String>& Names, size_t Count)
{
    String joined;
    for (size_t i = 0; i < Count && i < Names.size(); ++i)
        joined += (i > 0 ? ";" : "") + Names[i];
    return joined;
}

// Counts a search on the table for as long as it lives.
class TSearching {
public:
    explicit TSearching(TdwTable& Table) : FTable(Table) { FTable.ChangeSearchCount(1); }
    ~TSearching() { FTable.ChangeSearchCount(-1); }
    TSearching(const TSearching&) = delete;
    TSearching& operator=(const TSearching&) = delete;

private:
    TdwTable& FTable;
};

}  // namespace

TdwTable::TdwTable(TComponent* AOwner) : TDaroruTable(AOwner) { }

TdwTable::~TdwTable() { FCursorFilters.DropAll(); }

bool TdwTable::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwTable") || TDaroruTable::InheritsFrom(name);
}

// ---- filters

String TdwTable::FilterText() const
{
    String text;
    for (int i = 0; i < FdwFilter.Count(); ++i) {
        String line = FdwFilter[i];
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty())
            continue;
        text += text.empty() ? line : " AND (" + line + ")";
    }
    return text;
}

void TdwTable::SetdwFilter(const TStrings& Lines)
{
    FdwFilter.Assign(Lines);
    if (Active() && !dwFilterInstall(FilterText(), this, FFilterHandle, false))
        MessageDlg(FailToSetFilter, mtWarning, {mbOK}, 0);
}

void TdwTable::SetOnFilter(TdwTableFilterEvent Value)
{
    FOnFilter = std::move(Value);
    TdwRecordFilterCallback callback;
    if (FOnFilter)
        callback = [this](TDataSet*) { return RecordFilter(); };
    if (Active() || !FOnFilter)
        dwFilterInstallCallback(callback, this, FCallbackHandle);
}

void TdwTable::SetOnFilterOptions(TdwOnFilterOptions Value)
{
    const bool disabling = FOnFilterOptions.Contains(ofoEnabled) && !Value.Contains(ofoEnabled);
    FOnFilterOptions = Value;
    // Inside a record read the records that follow are read unfiltered anyway.
    if (disabling && Active() && FOnFilter && !FFilterCalls.InCall())
        Refresh();
}

void TdwTable::PrepareCursor()
{
    // A table whose filter cannot be set does not open: opened unfiltered, it would
    // hand every record to code that expects only those the filter lets through.
    const String text = FilterText();
    if (!text.empty() && !dwFilterInstall(text, this, FFilterHandle, true))
        throw EDatabaseError(FailToSetFilter);
    if (FOnFilter)
        dwFilterInstallCallback([this](TDataSet*) { return RecordFilter(); }, this, FCallbackHandle);
}

bool TdwTable::RecordFilter()
{
    if (ComponentState().Contains(csDestroying) || !FOnFilter || FFilterCalls.InCall() ||
        !FOnFilterOptions.Contains(ofoEnabled))
        return true;
    return FFilterCalls.Run(
            FOnFilterOptions, [this](bool& Accept) { FOnFilter(this, Accept); },
            [this] {
                if (OnFilterEscape)
                    OnFilterEscape(this);
            });
}

bool TdwTable::FiltersRecords() const { return TDaroruTable::FiltersRecords() || FCursorFilters.Filtering(); }

bool TdwTable::AcceptRecord()
{
    if (!FCursorFilters.Accepts())
        return false;
    return !TDaroruTable::FiltersRecords() || TDaroruTable::AcceptRecord();
}

TGetResult TdwTable::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck)
{
    // The hourglass a rejected record showed ends with the read that skipped it.
    struct TEndRead {
        TdwRecordFilterCalls& Calls;
        ~TEndRead() { Calls.ReadEnded(); }
    } endRead {FFilterCalls};
    return TDaroruTable::GetRecord(Buffer, GetMode, DoCheck);
}

bool TdwTable::IsSequenced() const
{
    if (FOnFilter || !FilterText().empty())
        return false;
    return TDaroruTable::IsSequenced();
}

void TdwTable::SetEngineQuery(const String& Text)
{
    if (Active()) {
        TDaroruTable::Query(Text);
        return;
    }
    // While opening: the engine takes the query before the first record is read.
    if (!Text.empty() && EvalTest(Text) != 3)
        throw EDatabaseError("Invalid Query Expression");
    cs_Select(WorkArea());
    cs_Query(Text.c_str());
}

// ---- opening and closing

void TdwTable::SetQuery(const TStrings& Lines)
{
    if (Active())
        Close();
    if (Lines.Count() > 0) {
        TDaroruTable::SetTableName("");
        FIndexFieldNames.clear();
        SetMasterSource(nullptr);
        SetMasterFields("");
    }
    FQuery.Assign(Lines);
    // The fields now come from another source.
    FieldDefs()->SetUpdated(false);
}

void TdwTable::SetTableName(const String& Value)
{
    TDaroruTable::SetTableName(Value);
    if (!Value.empty())
        FQuery.Clear();
}

bool TdwTable::IsDBaseTable() const
{
    return FTableType == ttDBase || SameText(ExtractFileExt(TDaroruTable::TableName()), ".DBF");
}

bool TdwTable::IsParadoxTable() const
{
    const String name = LowerCase(TDaroruTable::TableName());
    return FTableType == ttParadox || (FTableType == ttDefault && name.find(".db") != String::npos &&
                                       !name.empty() && name.back() == 'b');
}

void TdwTable::InternalOpen()
{
    if (FQuery.Count() > 0) {
        const String first = Trim(FQuery[0]);
        FQueryType = LowerCase(first.substr(0, first.find(' '))) == "query" ? "QBE" : "SQL";
        if (FQueryType == "QBE")
            throw EDatabaseError("QBE queries are not supported");
        OpenSqlAnswer();
    }
    if (IsParadoxTable())
        throw EDatabaseError("Paradox tables are not supported: " + TDaroruTable::TableName());
    if (FTableType == ttASCII)
        throw EDatabaseError("ASCII tables are not supported: " + TDaroruTable::TableName());
    if (!FIndexFieldNames.empty()) {
        const String found = FindIndexForFields(FIndexFieldNames);
        if (found == "?")
            throw EDatabaseError("No index for fields '" + FIndexFieldNames + "'");
        TDaroruTable::SetIndexName(found);
    }
    try {
        TDaroruTable::InternalOpen();
        PrepareCursor();
    } catch (...) {
        RemoveSqlAnswer();
        throw;
    }
}

void TdwTable::InternalInitFieldDefs()
{
    if (FQuery.Count() == 0 || !FAnswerDir.empty()) {
        TDaroruTable::InternalInitFieldDefs();
        return;
    }
    // A closed table fed by SQL text learns its fields from the statement's answer,
    // kept over the answer's going (which takes the table's definitions with it).
    OpenSqlAnswer();
    struct TDefinition {
        String Name;
        TFieldType DataType;
        int Size;
        int FieldNo;
    };
    std::vector<TDefinition> definitions;
    try {
        TDaroruTable::InternalInitFieldDefs();
        for (int i = 0; i < FieldDefs()->Count(); ++i) {
            const TFieldDef* def = FieldDefs()->Items(i);
            definitions.push_back({def->Name(), def->DataType(), def->Size(), def->FieldNo()});
        }
    } catch (...) {
        RemoveSqlAnswer();
        throw;
    }
    RemoveSqlAnswer();
    for (const TDefinition& def : definitions)
        FieldDefs()->Add(def.Name, def.DataType, def.Size)->SetFieldNo(def.FieldNo);
}

void TdwTable::OpenSqlAnswer()
{
    if (AccessMethod() == amServer)
        throw EDatabaseError("SQL query text runs only on a table of the local engine");
    String pattern = IncludeTrailingPathDelimiter(std::filesystem::temp_directory_path().string()) +
                     "dwtable-sql-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw EDatabaseError("Unable to make a directory for the answer of the query");
    FAnswerDir = pattern + "/";
    String sql;
    for (int i = 0; i < FQuery.Count(); ++i)
        sql += (i > 0 ? " " : "") + FQuery[i];
    try {
        dwWriteSqlAnswer(GetDataPath(), sql, FAnswerDir + "ANSWER");
    } catch (...) {
        RemoveSqlAnswer();
        throw;
    }
    TDaroruTable::SetTableName(FAnswerDir + "ANSWER.DBF");
}

void TdwTable::RemoveSqlAnswer()
{
    if (FAnswerDir.empty())
        return;
    TDaroruTable::SetTableName("");
    std::error_code ignored;
    std::filesystem::remove_all(FAnswerDir, ignored);
    FAnswerDir.clear();
}

void TdwTable::InternalClose()
{
    FLookupTables.Clear();
    FCursorFilters.DropAll();
    FFilterHandle = FCallbackHandle = 0;
    FFilterCalls.ReadEnded();
    TDaroruTable::InternalClose();
    RemoveSqlAnswer();
}

void TdwTable::DoBeforePost()
{
    TDaroruTable::DoBeforePost();
    if (FValidateWithMask)
        dwValidateWithMasks(this, OnInvalidValue);
}

void TdwTable::DoOnCalcFields()
{
    dwPurgeMissingFieldEntries(this, &FSettings.LookupFields, &FSettings.LookupLinks, &FSettings.ControlType);
    dwOpenLookupTables(this, &FSettings.LookupFields, &FSettings.LookupLinks, &FLookupTables);
    TDaroruTable::DoOnCalcFields();
}

// ---- indexes

String TdwTable::FindIndexForFields(const String& FieldNames)
{
    TIndexDefs* defs = IndexDefs();
    if (defs->Count() == 0 || (defs->Count() > 0 && SameText(defs->Items(0)->Name(), Name() + "Index0"))) {
        defs->SetUpdated(false);
        defs->Update();
    }
    const String wanted = UpperCase(FieldNames);
    // Exact matches before prefixes; case-insensitive indexes before the others.
    for (const bool prefix : {false, true})
        for (const bool caseless : {true, false})
            for (int i = 0; i < defs->Count(); ++i) {
                const TIndexDef* def = defs->Items(i);
                if (def->Options().Contains(ixCaseInsensitive) != caseless)
                    continue;
                const String fields = UpperCase(def->Fields());
                if (prefix ? fields.rfind(wanted + ";", 0) == 0 : fields == wanted)
                    return def->Name();
            }
    return "?";
}

String TdwTable::GetIndexFieldsByName(const String& IndexName)
{
    const TIndexDef* def = IndexDefs()->FindDef(IndexName.empty() ? String("PrimaryKey") : IndexName);
    return def ? def->Fields() : String();
}

std::vector<String> TdwTable::IndexFields() { return dwActiveIndexFields(this); }

std::vector<String> TdwTable::SearchIndexFields()
{
    return UsesQuery() ? std::vector<String>() : IndexFields();
}

bool TdwTable::SearchIndexCaseInsensitive() { return dwIsCaseInsensitiveIndex(this); }

bool TdwTable::SeekIndexKey(const String& Text, bool Nearest)
{
    const TSearching searching(*this);
    if (FNarrowSearch && Scoped())
        CancelRange();
    if (!Nearest)
        return FindKey({dwIndexKey(this, {Text}, 0)});
    dwGotoNearest(this, {Text});
    return !Eof();
}

void TdwTable::SelectIndexKeepRecord(const String& Name)
{
    if (const TIndexDef* def = IndexDefs()->FindDef(Name))
        dwSwitchIndexKeepRecord(this, def);
    else
        SetIndexName(Name);
}

void TdwTable::SetIndexFieldNames(const String& Value)
{
    FIndexFieldNames = Value;
    if (Value.empty() || !Active())
        return;
    const String found = FindIndexForFields(Value);
    if (found == "?")
        throw EDatabaseError("No index for fields '" + Value + "'");
    SetIndexName(found);
}

bool TdwTable::SelectIndexForField(const String& FieldName)
{
    if (FieldName.empty() || FQuery.Count() > 0)
        return false;
    const std::vector<String> current = IndexFields();
    if (!MasterSource() && !current.empty() && SameText(current[0], FieldName))
        return true;
    String wanted = FieldName;
    if (MasterSource()) {
        const size_t links = dwSplitFieldNames(MasterFields()).size();
        const std::vector<String> searched = dwSplitFieldNames(FieldName);
        wanted = JoinFields(current, links);
        if (!searched.empty())
            wanted += (wanted.empty() ? "" : ";") + searched[0];
    }
    const String found = FindIndexForFields(wanted);
    if (found == "?")
        return false;
    const String active = FIndexFieldNames.empty() ? IndexName() : FindIndexForFields(FIndexFieldNames);
    if (UpperCase(found) != UpperCase(active)) {
        FIndexFieldNames.clear();
        SelectIndexKeepRecord(found);
    }
    return true;
}

bool TdwTable::SelectIndexForSelected(const TStrings* Selected)
{
    if (!Selected || Selected->Count() == 0)
        return false;
    const String line = Selected->Get(0);
    return SelectIndexForField(line.substr(0, line.find('\t')));
}

// ---- keys and ranges

bool TdwTable::CurrentRecordMatches(const ConstArg& Values, int LastIndex)
{
    if (IsEmpty())
        return false;
    const std::vector<String> fields = IndexFields();
    const bool caseless = dwIsCaseInsensitiveIndex(this);
    for (int i = 0; i <= LastIndex; ++i) {
        const TField* field = FindField(fields[static_cast<size_t>(i)]);
        if (!field)
            return false;
        const String value = TrimRight(field->AsString());
        const String wanted = TrimRight(Values[static_cast<size_t>(i)].KeyText());
        if (caseless ? !SameText(value, wanted) : value != wanted)
            return false;
    }
    return true;
}

bool TdwTable::dwFindKey(const ConstArg& Values, int LastIndex)
{
    const std::vector<String> fields = IndexFields();
    if (fields.empty())
        return false;
    if (LastIndex >= static_cast<int>(fields.size())) {
        MessageDlg("Table " + Name() + ": FindKey has too many lookup values for index " + IndexName(),
                   mtWarning, {mbOK}, 0);
        return false;
    }
    const TSearching searching(*this);
    if (FSyncSQLByRange && AccessMethod() == amServer)
        return FindKeyByRange(Values, LastIndex);
    if (FNarrowSearch && Scoped())
        CancelRange();
    if (CurrentRecordMatches(Values, LastIndex))
        return true;
    return FindKey({dwIndexKey(this, Values, LastIndex)});
}

bool TdwTable::FindKeyByRange(const ConstArg& Values, int LastIndex)
{
    if (State() == dsBrowse && CurrentRecordMatches(Values, LastIndex))
        return true;
    if (TrimRight(Values[0].KeyText()).empty()) {
        if (FLookingUp)
            return false;
        CancelRange();
        return CurrentRecordMatches(Values, LastIndex);
    }
    if (FLookingUp) {
        // Scope bounds are key prefixes: both at the key keep the records that have it.
        CheckBrowseMode();
        const String key = dwIndexKey(this, Values, LastIndex);
        SetScope(key, key);
    } else {
        ApplyRangeFrom(Values, LastIndex);
    }
    First();
    return CurrentRecordMatches(Values, LastIndex);
}

bool TdwTable::dwFindNearest(const String& Text, int IndexPosition)
{
    const TSearching searching(*this);
    return dwFindNearestOnIndex(this, Text, IndexPosition);
}

bool TdwTable::dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive, bool PartialMatch)
{
    const TSearching searching(*this);
    return dwLocateValue(this, FieldNames, Value, CaseSensitive, PartialMatch);
}

void TdwTable::ApplyRangeFromDataSet(TDataSet* DataSet)
{
    if (DataSet == this)
        return;
    const TdwHourGlass hourGlass;
    const TdwControlsDisabled quiet(this);
    const std::vector<String> fields = IndexFields();
    ConstArg values;
    for (const String& name : fields) {
        const TField* field = DataSet->FindField(name);
        if (!field)
            break;
        values.push_back(field->AsString());
    }
    ApplyRangeFrom(values, static_cast<int>(values.size()) - 1);
}

void TdwTable::ApplyRangeFrom(const ConstArg& Values, int LastIndex)
{
    CheckBrowseMode();
    // From the key on, with no end.
    SetScope(dwIndexKey(this, Values, LastIndex), "");
}

void TdwTable::ApplyPrefixRange(const ConstArg& Values, int LastIndex)
{
    CheckBrowseMode();
    const std::vector<String> fields = IndexFields();
    const TField* field = LastIndex < static_cast<int>(fields.size())
                                  ? FindField(fields[static_cast<size_t>(LastIndex)])
                                  : nullptr;
    const String low = dwIndexKey(this, Values, LastIndex);
    // Padded after the key is made, so that a case-insensitive index does not turn the
    // pad character into another.
    const size_t text = Values[static_cast<size_t>(LastIndex)].KeyText().size();
    const size_t pad = field && static_cast<size_t>(field->Size()) > text ? field->Size() - text : 0;
    SetScope(low, low + String(pad, static_cast<char>(FNarrowSearchUpperChar)));
    First();
}

void TdwTable::dwCancelRange() { CancelRange(); }

// ---- published names

std::optional<int> TdwTable::PublishedOrdinal(const String& Name)
{
    if (Name == "OnFilterOptions")
        return dwFilterOptionsToOrdinal(FOnFilterOptions);
    return std::nullopt;
}

std::optional<String> TdwTable::PublishedText(const String& Name)
{
    if (Name == "DatabaseName")
        return DatabaseName();
    if (Name == "TableName")
        return TDaroruTable::TableName();
    if (Name == "IndexName")
        return IndexName();
    if (Name == "IndexFieldNames")
        return FIndexFieldNames;
    return std::nullopt;
}

std::optional<TObject*> TdwTable::PublishedObject(const String& Name)
{
    if (Name == "MasterSource")
        return static_cast<TObject*>(MasterSource());
    return std::nullopt;
}

TIndexDefs* TdwTable::PublishedIndexDefs(const String& Name)
{
    return Name == "IndexDefs" ? IndexDefs() : nullptr;
}

bool TdwTable::SetPublishedText(const String& Name, const String& Value)
{
    if (Name == "IndexFieldNames") {
        SetIndexFieldNames(Value);
        return true;
    }
    if (Name != "IndexName")
        return false;
    FIndexFieldNames.clear();
    SetIndexName(Value);
    return true;
}

bool TdwTable::SetPublishedOrdinal(const String& Name, int Value)
{
    if (Name != "OnFilterOptions")
        return false;
    SetOnFilterOptions(dwFilterOptionsFromOrdinal(Value));
    return true;
}
