#pragma once
// TdwQBE: a data set whose records would be the answer of a query-by-example text.
// No QBE engine exists here: the text is prepared as it would be run (example
// variables blanked, lines joined), and opening raises "QBE queries are not
// supported".

#include <functional>

#include "datacontrols/datasets/dwrefuseddataset.h"
#include "platform/rtl/stringlist.h"

class TDataSetUpdateObject;
class TdwQBE;

using TdwQBEFilterEvent = std::function<void(TdwQBE* Qbe, bool& Accept)>;

// The QBE lines as they would be run: in each line every "~" followed by a name
// (letters, digits, "_", "#") becomes one blank, and the lines are joined by CR LF.
String dwQBEStatementText(const TStrings& Lines);

class TdwQBE : public TdwRefusedDataSet {
public:
    explicit TdwQBE(TComponent* AOwner) : TdwRefusedDataSet(AOwner, "QBE queries are not supported") { }
    ~TdwQBE() override;
    String ClassName() const override { return "TdwQBE"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    const TStrings& QBE() const { return FQBE; }
    void SetQBE(const TStrings& Lines);
    const String& AnswerTable() const { return FAnswerTable; }
    void SetAnswerTable(const String& Value) { FAnswerTable = Value; }
    bool AuxiliaryTables() const { return FAuxiliaryTables; }
    void SetAuxiliaryTables(bool Value) { FAuxiliaryTables = Value; }
    bool BlankAsZero() const { return FBlankAsZero; }
    void SetBlankAsZero(bool Value) { FBlankAsZero = Value; }
    // The update object that would write the answer's changes: taken from any data set
    // it served before, and let go when either is freed.
    TDataSetUpdateObject* UpdateObject() const { return FUpdateObject; }
    void SetUpdateObject(TDataSetUpdateObject* Value);

    TdwQBEFilterEvent OnFilter;
    bool IsSequenced() const override { return !OnFilter; }

protected:
    // Raises: an empty text has nothing to run, and a QBE text no engine to run it.
    void InternalOpen() override;

private:
    TStringList FQBE;
    String FAnswerTable;
    bool FAuxiliaryTables = true;
    bool FBlankAsZero = true;
    TDataSetUpdateObject* FUpdateObject = nullptr;
};
