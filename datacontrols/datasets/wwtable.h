#pragma once
// TdwTable: the library's table data set over the table layer. It adds the per-field
// setting lists the library's controls read by name, a filter written as text
// (dwFilter, compiled by dwFilterCompile) and a record filter event (OnFilter), mask
// validation before a post, the lookup tables that fill its display fields, and the
// index, key and range helpers of the lookup controls. Index definitions come from the
// table's CDX tags: a tag on UPPER(X) is a case-insensitive index on X.

#include <functional>
#include <memory>
#include <vector>

#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/datasets/dwcursorfilters.h"
#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/datasets/dwrecordfilter.h"
#include "datacontrols/datasets/dwsettinglists.h"
#include "platform/rtl/constarg.h"
#include "platform/rtl/stringlist.h"
#include "tables/drodset.h"

class TdwTable;

// The framework's table types, then those of the engine's own driver, whose tables
// filter through the engine's query in the engine's expression language.
enum TTableType { ttDefault, ttParadox, ttDBase, ttFoxPro, ttASCII, ttDriverNTX, ttDriverFOX, ttDriverNSX };

using TdwTableFilterEvent = std::function<void(TdwTable* Table, bool& Accept)>;
using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

// What a lookup table remembers for the data set that opened it.
struct TdwLookupTableState {
    // The LookupLinks line it was opened for.
    String LinksText;
    // Positioned for the data set's current record, and whether the key was found there.
    bool Positioned = false;
    bool KeyFound = false;
};

class TdwTable : public TDaroruTable, public TdwPublished, public TdwFilterCursor, public IdwIndexSearch {
public:
    explicit TdwTable(TComponent* AOwner);
    ~TdwTable() override;
    String ClassName() const override { return "TdwTable"; }
    bool InheritsFrom(const String& name) const override;

    // The per-field setting lists.
    TStrings& LookupFields() { return FSettings.LookupFields; }
    TStrings& LookupLinks() { return FSettings.LookupLinks; }
    TStrings& ControlType() { return FSettings.ControlType; }
    TStrings& PictureMasks() { return FSettings.PictureMasks; }

    // Filter lines, joined with AND; installed at once on an active table.
    const TStrings& dwFilter() const { return FdwFilter; }
    void SetdwFilter(const TStrings& Lines);
    // The lines without trailing blanks, empty ones left out, the first as it
    // stands and each further one as " AND (" line ")".
    String FilterText() const;

    // The record filter and its options: the event decides on each record read while
    // ofoEnabled is set.
    const TdwTableFilterEvent& OnFilter() const { return FOnFilter; }
    void SetOnFilter(TdwTableFilterEvent Value);
    TdwOnFilterOptions OnFilterOptions() const { return FOnFilterOptions; }
    void SetOnFilterOptions(TdwOnFilterOptions Value);
    // After Esc cancelled the record filter.
    TDataSetNotifyEvent OnFilterEscape;
    // A field failed its picture mask while posting.
    TdwInvalidValueEvent OnInvalidValue;
    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }

    // A QBE or SQL text in place of the table name. An SQL SELECT runs on the local
    // SQL engine over the tables of DatabaseName when the table opens, and the table
    // shows its answer, read-only (dwWriteSqlAnswer says how columns become
    // fields); a table reached through the server refuses it, as QBE, which has no
    // engine here, refuses to open.
    const TStrings& Query() const { return FQuery; }
    void SetQuery(const TStrings& Lines);
    // "QBE" or "SQL" as the query text's first word says, once an open was tried.
    const String& QueryType() const { return FQueryType; }
    // A non-empty name clears Query.
    void SetTableName(const String& Value);
    // The framework's table type; the engine's own stays TDaroruTable::TableType.
    TTableType TableType() const { return FTableType; }
    void SetTableType(TTableType Value) { FTableType = Value; }
    bool IsDBaseTable() const;
    bool IsParadoxTable() const;

    // On a table reached through the database server, dwFindKey narrows the table
    // with a range instead of seeking: from the key on, or to the key alone while the
    // table serves a lookup; an empty first value cancels the range.
    bool SyncSQLByRange() const { return FSyncSQLByRange; }
    void SetSyncSQLByRange(bool Value) { FSyncSQLByRange = Value; }
    // The incremental search narrows the table with a range, padded above with
    // NarrowSearchUpperChar.
    bool NarrowSearch() const { return FNarrowSearch; }
    void SetNarrowSearch(bool Value) { FNarrowSearch = Value; }
    Word NarrowSearchUpperChar() const { return FNarrowSearchUpperChar; }
    void SetNarrowSearchUpperChar(Word Value) { FNarrowSearchUpperChar = Value; }

    // The index chosen by its fields (";"-separated) instead of its name: setting a
    // non-empty list on an open table selects the index FindIndexForFields gives and
    // raises when there is none; an index chosen by name later clears the list.
    const String& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const String& Value);

    // Indexes. FindIndexForFields gives "?" when no index serves the fields.
    String FindIndexForFields(const String& FieldNames);
    // The fields of the index named IndexName; an empty name means "PrimaryKey".
    String GetIndexFieldsByName(const String& IndexName);
    bool SelectIndexForField(const String& FieldName);
    // The same for the field of a Selected list's first line.
    bool SelectIndexForSelected(const TStrings* Selected);
    // Selects the index by name, ignoring case, keeping the current record
    // (dwSwitchIndexKeepRecord).
    void SelectIndexKeepRecord(const String& Name);

    // Keys and ranges on the active index. LastIndex is the index of the last value.
    bool dwFindKey(const ConstArg& Values, int LastIndex);
    bool dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive, bool PartialMatch);
    void ApplyRangeFromDataSet(TDataSet* DataSet);
    void ApplyRangeFrom(const ConstArg& Values, int LastIndex);
    void dwCancelRange();
    // The nearest key for Text on the index field at IndexPosition, or the records that
    // begin with Text under NarrowSearch; whether the current record begins so.
    bool dwFindNearest(const String& Text, int IndexPosition);
    // Narrows the table to the keys that begin with Values[0..LastIndex]: the last value
    // padded up to its field's width with NarrowSearchUpperChar.
    void ApplyPrefixRange(const ConstArg& Values, int LastIndex);
    // The active index's fields; none without an active index.
    std::vector<String> IndexFields();

    // Set while the table is positioned for another data set's lookup field.
    void SetLookingUp(bool Value) { FLookingUp = Value; }

    // The key search that record finding uses on the active index.
    std::vector<String> SearchIndexFields() override;
    bool SearchIndexCaseInsensitive() override;
    bool SeekIndexKey(const String& Text, bool Nearest) override;
    bool UsesQuery() const override { return FQuery.Count() > 0; }

    // Above 0 while a key search or a lookup control's search runs on the table.
    int SearchCount() const { return FSearchCount; }
    void ChangeSearchCount(int Delta) { FSearchCount += Delta; }

    // The lookup tables this table opened for its display fields.
    TdwLookupTableList& LookupTables() { return FLookupTables; }
    // Set while this table serves another data set as a lookup table.
    TdwLookupTableState& LookupState() { return FLookupState; }

    bool IsSequenced() const override;

    // The published names the library reads.
    TStrings* PublishedStrings(const String& Name) override { return FSettings.Find(Name); }
    std::optional<int> PublishedOrdinal(const String& Name) override;
    std::optional<String> PublishedText(const String& Name) override;
    std::optional<TObject*> PublishedObject(const String& Name) override;
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }
    TIndexDefs* PublishedIndexDefs(const String& Name) override;
    bool SetPublishedText(const String& Name, const String& Value) override;
    bool SetPublishedOrdinal(const String& Name, int Value) override;

    // The cursor's filters.
    TdwCursorFilters& CursorFilters() override { return FCursorFilters; }
    bool EngineServed() const override { return FTableType >= ttDriverNTX; }
    void SetEngineQuery(const String& Text) override;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    void DoBeforePost() override;
    void DoOnCalcFields() override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    bool FiltersRecords() const override;
    bool AcceptRecord() override;
    // Not while the table shows the answer of its SQL text.
    bool GetCanModify() const override { return FAnswerDir.empty() && TDaroruTable::GetCanModify(); }

private:
    // Installs the filter text and the record filter on the open cursor; raises
    // "Fail to set filter" when the text cannot be installed.
    void PrepareCursor();
    // Runs the SQL text into an answer table in a directory of its own and takes it
    // as the table to open; the directory goes when the table closes.
    void OpenSqlAnswer();
    void RemoveSqlAnswer();
    bool RecordFilter();
    bool CurrentRecordMatches(const ConstArg& Values, int LastIndex);
    bool FindKeyByRange(const ConstArg& Values, int LastIndex);

    TdwSettingLists FSettings;
    TStringList FdwFilter, FQuery;
    String FIndexFieldNames;
    String FAnswerDir;
    String FQueryType;
    TTableType FTableType = ttDefault;
    bool FSyncSQLByRange = false;
    bool FNarrowSearch = false;
    Word FNarrowSearchUpperChar = 255;
    bool FValidateWithMask = true;
    TdwTableFilterEvent FOnFilter;
    TdwOnFilterOptions FOnFilterOptions {ofoEnabled, ofoShowHourGlass};

    int FSearchCount = 0;
    bool FLookingUp = false;
    TdwLookupTableList FLookupTables;
    TdwLookupTableState FLookupState;

    TdwCursorFilters FCursorFilters {this};
    TdwFilterHandle FFilterHandle = 0;
    TdwFilterHandle FCallbackHandle = 0;
    TdwRecordFilterCalls FFilterCalls;
    // Shown from the first record the record filter rejects until the read ends.
};
