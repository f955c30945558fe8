// The lookup dialog over the library's own table: the status header names the table and
// the record, and a search table with a shadow table puts each on the other's record, an
// empty one picking nothing.

#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/lookup/dwidlg.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/header.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class TShadowLookupDialog : public TdwCustomLookupDialog {
public:
    using TdwCustomLookupDialog::SetSearchTable;
    using TdwCustomLookupDialog::SetShadowSearchTable;
    using TdwCustomLookupDialog::TdwCustomLookupDialog;
};

class LookupDialogTableTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Clients = OpenClients();
    }
    void TearDown() override
    {
        Clients.reset();
        Shadow.reset();
        GridTest::TearDown();
    }

    std::unique_ptr<TdwTable> OpenClients()
    {
        auto table = std::make_unique<TdwTable>(nullptr);
        table->SetName("Clients");
        table->SetDatabaseName(Dir);
        table->SetTableName("CLIENTS");
        table->SetIndexName("ID");
        table->Open();
        return table;
    }

    // Runs Execute; Steps runs inside the dialog once it is up.
    static bool Run(TdwCustomDialog* Dialog, const std::function<void(TdwLookupDlg*)>& Steps)
    {
        QTimer::singleShot(0, [Steps] {
            auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(dialog, nullptr);
            Steps(dialog);
        });
        return Dialog->Execute();
    }

    TScriptedDialogs Dialogs;
    std::unique_ptr<TdwTable> Clients;
    std::unique_ptr<TdwTable> Shadow;
};

TEST_F(LookupDialogTableTest, TheStatusHeaderNamesTheTableAndFollowsTheRecord)
{
    auto* dialog = new TdwLookupDialog(Form);
    dialog->SetLookupTable(Clients.get());
    dialog->SetOptions({opShowOKCancel, opShowStatusBar});
    Clients->Locate("ID", Variant("C0010"), {});
    std::vector<String> sections;
    Run(dialog, [&](TdwLookupDlg* d) {
        ASSERT_TRUE(d->StatusHeader->Visible());
        EXPECT_EQ(d->StatusHeader->Left(), d->dwDBGrid1->Left());
        EXPECT_EQ(d->StatusHeader->Width(), d->dwDBGrid1->Width());
        sections.push_back(d->StatusHeader->Sections()->Strings(0) + " | " +
                           d->StatusHeader->Sections()->Strings(1));
        PressKey(d, Qt::Key_Down);
        sections.push_back(d->StatusHeader->Sections()->Strings(1));
        KeepScreenshot(d->Widget()->window()->grab(), "lookupstatusheader.png");
        PressKey(d, Qt::Key_Escape);
    });
    // The position in the table's order, not in the file (which holds C0300 first).
    EXPECT_EQ((std::vector<String> {"CLIENTS | Rec # 10 of 300", "Rec # 11 of 300"}), sections);
}

TEST_F(LookupDialogTableTest, TheShadowTableFollowsThePickAndAnEmptyTablePicksNothing)
{
    Shadow = OpenClients();
    auto* dialog = new TShadowLookupDialog(Form);
    int syncs = 0;
    dialog->OnSyncTables = [&](TObject*, TDataSet*, TDataSet*) { ++syncs; };
    dialog->SetSearchTable(Clients.get());
    dialog->SetShadowSearchTable(Shadow.get());
    Shadow->Locate("ID", Variant("C0040"), {});
    String openedOn;
    EXPECT_TRUE(Run(dialog, [&](TdwLookupDlg* d) {
        openedOn = Clients->FieldByName("ID")->AsString();
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Return);
    }));
    EXPECT_EQ(openedOn, "C0040") << "the search table starts on the shadow's record";
    EXPECT_EQ(Shadow->FieldByName("ID")->AsString(), "C0041");
    EXPECT_EQ(syncs, 0) << "two library tables need no synchronising handler";

    // Over a search table that offers nothing, OK is no pick: the shadow stays put.
    Clients->SetFilter("ID = 'NONE'");
    Clients->SetFiltered(true);
    ASSERT_TRUE(Clients->IsEmpty());
    EXPECT_FALSE(Run(dialog, [](TdwLookupDlg* d) { PressKey(d, Qt::Key_Return); }));
    EXPECT_EQ(Shadow->FieldByName("ID")->AsString(), "C0041");
    EXPECT_TRUE(Dialogs.Messages.empty());

    // A closed library table cannot be searched.
    Clients->Close();
    EXPECT_FALSE(dialog->Execute());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Unable to open search or lookup table.");
}

}  // namespace
