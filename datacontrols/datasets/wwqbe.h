#pragma once
// TdwQBE: a data set whose records would be the answer of a query-by-example text.
// No QBE engine exists here: the text is prepared as it would be run (example
// variables blanked, lines joined), and opening raises "QBE queries are not
// supported".

#include <functional>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/dwsettinglists.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"

class TdwQBE;

using TdwQBEFilterEvent = std::function<void(TdwQBE* Qbe, bool& Accept)>;

// The QBE lines as they would be run: in each line every "~" followed by a name
// (letters, digits, "_", "#") becomes one blank, and the lines are joined by CR LF.
String dwQBEStatementText(const TStrings& Lines);

class TdwQBE : public TDataSet, public TdwPublished {
public:
    explicit TdwQBE(TComponent* AOwner) : TDataSet(AOwner) { }
    String ClassName() const override { return "TdwQBE"; }
    bool InheritsFrom(const String& name) const override;

    TStrings& ControlType() { return FSettings.ControlType; }
    TStrings& LookupFields() { return FSettings.LookupFields; }
    TStrings& LookupLinks() { return FSettings.LookupLinks; }
    TStrings& PictureMasks() { return FSettings.PictureMasks; }
    const TStrings& QBE() const { return FQBE; }
    void SetQBE(const TStrings& Lines);
    const String& AnswerTable() const { return FAnswerTable; }
    void SetAnswerTable(const String& Value) { FAnswerTable = Value; }
    bool AuxiliaryTables() const { return FAuxiliaryTables; }
    void SetAuxiliaryTables(bool Value) { FAuxiliaryTables = Value; }
    bool BlankAsZero() const { return FBlankAsZero; }
    void SetBlankAsZero(bool Value) { FBlankAsZero = Value; }

    TdwQBEFilterEvent OnFilter;
    std::function<void(TDataSet* DataSet)> OnFilterEscape;
    TdwOnFilterOptions OnFilterOptions {ofoEnabled, ofoShowHourGlass};
    TdwInvalidValueEvent OnInvalidValue;

    bool IsSequenced() const override { return !OnFilter; }
    bool GetFieldData(TField* /*Field*/, void* /*Buffer*/) override { return false; }
    void SetFieldData(TField* Field, const void* Buffer) override;

    TStrings* PublishedStrings(const String& Name) override { return FSettings.Find(Name); }
    std::optional<int> PublishedOrdinal(const String& Name) override;
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }

protected:
    // Raises: an empty text has nothing to run, and a QBE text no engine to run it.
    void InternalOpen() override;
    void InternalClose() override { }
    void InternalInitFieldDefs() override { }
    bool IsCursorOpen() override { return false; }
    TRecordBuffer AllocRecordBuffer() override { return nullptr; }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override { Buffer = nullptr; }
    TGetResult GetRecord(TRecordBuffer /*Buffer*/, TGetMode /*GetMode*/, bool /*DoCheck*/) override
    {
        return grEOF;
    }
    void InternalInitRecord(TRecordBuffer /*Buffer*/) override { }
    void InternalFirst() override { }
    void InternalLast() override { }
    void InternalSetToRecord(TRecordBuffer /*Buffer*/) override { }
    void InternalGotoBookmark(const void* /*Bookmark*/) override { }
    void GetBookmarkData(TRecordBuffer /*Buffer*/, void* /*Data*/) override { }
    void SetBookmarkData(TRecordBuffer /*Buffer*/, const void* /*Data*/) override { }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer /*Buffer*/) override { return bfCurrent; }
    void SetBookmarkFlag(TRecordBuffer /*Buffer*/, TBookmarkFlag /*Value*/) override { }

private:
    TdwSettingLists FSettings;
    TStringList FQBE;
    String FAnswerTable;
    bool FAuxiliaryTables = true;
    bool FBlankAsZero = true;
};
