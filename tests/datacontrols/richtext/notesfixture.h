#pragma once
// A real table (DBF with FPT) of three notes: RTF that LibreOffice wrote, plain text of
// two lines, and an empty memo; its memo field marked as rich text, as a data set of the
// library marks it; a form and a data source over it.

#include "datacontrols/common/dwproperties.h"
#include "platform/db/datasource.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/tablefixture.h"

class TdwDBRichEdit;

class TRichNotesTable : public TDaroruTable, public TdwPublished {
public:
    using TDaroruTable::TDaroruTable;
    TStringList ControlType;
    TStrings* PublishedStrings(const String& Name) override
    {
        return Name == "ControlType" ? &ControlType : nullptr;
    }
};

class DBRichEditTest : public TableTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // A rich edit on the form over the memo field, shown.
    TdwDBRichEdit* MakeEdit();
    // The memo of record Number (from 1) as an independent reader (dbfread) finds it.
    String MemoReadBack(int Number);

    String Letter;
    TForm* Form = nullptr;
    TRichNotesTable* T = nullptr;
    TDataSource* Source = nullptr;
};
