#pragma once
// A library table over twelve payments whose STATE finds its name and region in a states
// table with a CODE tag (WA has no row), through calculated display fields and the
// table's LookupFields and LookupLinks.

#include "datacontrols/datasets/wwtable.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"

inline const std::vector<FieldLayout> StateSchema = {
        {"CODE", 'C', 2, 0}, {"SNAME", 'C', 16, 0}, {"REGION", 'C', 8, 0}};

class LookupTablesTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(12, {"ID", "UNAME", "NAME"});
        // WA has no row: its payments find no state.
        CreateTable("STATES.DBF", StateSchema);
        AppendImages("STATES.DBF", {Image(StateSchema, {"TX", "Texas", "South"}),
                                    Image(StateSchema, {"CA", "California", "West"}),
                                    Image(StateSchema, {"NY", "New York", "East"}),
                                    Image(StateSchema, {"IL", "Illinois", "Midwest"})});
        TDaroruTable* maker = Table("STATES");
        maker->SetExclusive(WordTrue);
        maker->Open();
        maker->IndexTag("", "CODE", "CODE", 0, false, "");
        maker->Close();
        T = DwTable("PAYMENTS");
        T->SetIndexName("ID");
    }

    // The payments' own fields and the calculated display fields Names, of Size characters.
    void AddDisplayFields(const std::vector<String>& Names, int Size = 16)
    {
        T->FieldDefs()->Update();
        for (int i = 0; i < T->FieldDefs()->Count(); ++i)
            (*T->FieldDefs())[i]->CreateField(T, T);
        for (const String& name : Names) {
            auto* field = new TStringField(T);
            field->SetFieldName(name);
            field->SetSize(Size);
            field->SetCalculated(true);
            field->SetDataSet(T);
        }
    }

    // A LookupFields line into STATES on the CODE tag, and its links.
    void AddLookup(const String& Display, const String& Shown, const String& Links)
    {
        T->LookupFields().Add(Display + ";" + Dir + ";STATES;" + Shown + ";CODE");
        T->LookupLinks().Add(Links);
    }

    String Text(const char* Name) { return TrimRight(T->FieldByName(Name)->AsString()); }

    TdwTable* T = nullptr;
    TScriptedDialogs Dialogs;
};
