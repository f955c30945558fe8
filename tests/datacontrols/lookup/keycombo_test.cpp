// The index chooser ("Search By") over data sets that publish their index information,
// alone and in the lookup dialog.

#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwidlg.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "datacontrols/lookup/wwkeycombo.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/support/formtesting.h"
#include "tests/support/memdataset.h"
#include "tests/support/screenshots.h"

namespace {

// A data set that publishes IndexDefs, IndexName and IndexFieldNames.
class TIndexedDataSet : public TMemDataSet, public TdwPublished {
public:
    explicit TIndexedDataSet(TComponent* AOwner)
        : TMemDataSet(AOwner, {{"ID", ftString, 6},
                               {"NAME1", ftString, 30},
                               {"CITY", ftString, 20},
                               {"NOTES", ftMemo},
                               {"TOTAL", ftFloat}})
    {
    }

    TIndexDefs Defs {this};
    String IndexName;
    String IndexFieldNames;

    TIndexDefs* PublishedIndexDefs(const String& Name) override
    {
        return Name == "IndexDefs" ? &Defs : nullptr;
    }
    std::optional<String> PublishedText(const String& Name) override
    {
        if (Name == "IndexName")
            return IndexName;
        if (Name == "IndexFieldNames")
            return IndexFieldNames;
        return std::nullopt;
    }
    bool SetPublishedText(const String& Name, const String& Value) override
    {
        if (Name == "IndexName")
            IndexName = Value;
        else if (Name == "IndexFieldNames")
            IndexFieldNames = Value;
        else
            return false;
        Refresh();
        return true;
    }
};

// One whose order is chosen by field names, as a client data set's is.
class TFieldOrderedDataSet : public TIndexedDataSet {
public:
    using TIndexedDataSet::TIndexedDataSet;
    String ClassName() const override { return "TClientDataSet"; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, "TClientDataSet") || TIndexedDataSet::InheritsFrom(name);
    }
    TIndexDefs* PublishedIndexDefs(const String&) override { return nullptr; }
};

std::vector<String> ItemsOf(const TdwKeyCombo* Combo)
{
    std::vector<String> items;
    for (int i = 0; i < Combo->Items()->Count(); ++i)
        items.push_back(Combo->Items()->Get(i));
    return items;
}

template<class DataSetClass> class KeyComboTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        Data = new DataSetClass(Form);
        Data->Defs.Add("", "ID", {ixPrimary});
        Data->Defs.Add("NAMEIDX", "NAME1", {ixDescending, ixCaseInsensitive});
        Data->Defs.Add("NAMEDUP", "NAME1", {ixDescending});
        Data->Defs.Add("CITYIDX", "CITY;ID", {ixCaseInsensitive});
        Data->Defs.Add("NOTEIDX", "NOTES", {});
        Data->Defs.Add("GONE", "NOSUCH", {});
        Data->Defs.SetUpdated(true);
        Data->Open();
        Data->AddRows({{"C0001", "Adams", "Springfield", "", "1"},
                       {"C0002", "Baker", "Shelbyville", "", "2"},
                       {"C0003", "Brown", "Springfield", "", "3"}});
        Data->FieldByName("ID")->SetDisplayLabel("Client~ID");
        Data->FieldByName("NAME1")->SetDisplayLabel("Client Name");
        Data->FieldByName("NOTES")->SetVisible(false);
        Source = new TDataSource(Form);
        Source->SetDataSet(Data);
        Combo = new TdwKeyCombo(Form);
        Combo->SetParent(Form);
        Combo->OnChange = [this](TObject*) { ++Changes; };
    }
    void TearDown() override { Form->Free(); }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    DataSetClass* Data = nullptr;
    TDataSource* Source = nullptr;
    TdwKeyCombo* Combo = nullptr;
    int Changes = 0;
};

using KeyComboTest = KeyComboTestBase<TIndexedDataSet>;
using FieldKeyComboTest = KeyComboTestBase<TFieldOrderedDataSet>;

TEST_F(KeyComboTest, ListsEachIndexByItsFirstFieldsLabel)
{
    Data->IndexName = "nameidx";
    Combo->SetDataSource(Source);
    EXPECT_EQ((std::vector<String> {"Client ID", "Client Name - Desc", "CITY"}), ItemsOf(Combo))
            << "'~' reads as a blank; one item per label; hidden and missing fields leave theirs out";
    EXPECT_EQ(Combo->Text(), "Client Name - Desc") << "the current index, named ignoring case";
    EXPECT_EQ(Changes, 0) << "filling the list is no choice";

    // IndexFieldNames, when set, decides the current one.
    Data->IndexFieldNames = "city;id";
    Combo->FillIndexList(nullptr);
    EXPECT_EQ(Combo->Text(), "CITY");

    Combo->SetShowAllIndexes(true);
    EXPECT_EQ((std::vector<String> {"PrimaryKey", "NAMEIDX", "NAMEDUP", "CITYIDX", "NOTEIDX", "GONE"}),
              ItemsOf(Combo));
    EXPECT_EQ(Combo->Text(), "NAMEIDX");
    Data->IndexName = "";
    Combo->SetPrimaryKeyName("(primary)");
    Combo->FillIndexList(nullptr);
    EXPECT_EQ(Combo->Items()->Get(0), "(primary)");
    EXPECT_EQ(Combo->Text(), "(primary)");
    Combo->SetPrimaryKeyName("");
    EXPECT_EQ(Combo->PrimaryKeyName(), "PrimaryKey");
}

TEST_F(KeyComboTest, ChoosingAnItemSwitchesTheOrder)
{
    Combo->SetDataSource(Source);
    Combo->SetItemIndex(1);
    EXPECT_EQ(Data->IndexName, "NAMEIDX") << "a case-insensitive index comes first among equal labels";
    EXPECT_EQ(Combo->Text(), "Client Name - Desc");
    Combo->SetItemIndex(2);
    EXPECT_EQ(Data->IndexName, "CITYIDX");
    EXPECT_EQ(Changes, 2);

    Combo->SetShowAllIndexes(true);
    Combo->SetItemIndex(Combo->Items()->IndexOf("NAMEDUP"));
    EXPECT_EQ(Data->IndexName, "NAMEDUP");
    Combo->SetItemIndex(0);
    EXPECT_EQ(Data->IndexName, "") << "PrimaryKey stands for the index without a name";

    Data->Close();
    Combo->SetItemIndex(1);
    EXPECT_EQ(Data->IndexName, "") << "nothing is switched on a closed data set";
}

TEST_F(KeyComboTest, ARefreshKeepsTheItemsUntilTheyGoStale)
{
    Combo->SetDataSource(Source);
    Data->Defs.Add("TOTALIDX", "TOTAL", {});
    Data->Refresh();
    EXPECT_EQ(ItemsOf(Combo).size(), 3u) << "a refresh keeps the items";
    // A relabelled field makes the items stale: the list is rebuilt.
    Data->FieldByName("NAME1")->SetDisplayLabel("Full Name");
    EXPECT_EQ((std::vector<String> {"Client ID", "Full Name - Desc", "CITY", "TOTAL"}), ItemsOf(Combo));
}

TEST_F(KeyComboTest, ASourceWithoutIndexInformationIsRefused)
{
    Combo->SetDataSource(Source);
    TMemDataSet plain(nullptr, {{"ID", ftString, 6}});
    TDataSource plainSource(nullptr);
    plainSource.SetDataSet(&plain);
    Combo->SetDataSource(&plainSource);
    EXPECT_EQ(Combo->DataSource(), Source);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "DataSource must point to a dataset containing index information.");
    Combo->SetDataSource(nullptr);
    EXPECT_EQ(Combo->DataSource(), nullptr);
}

TEST_F(FieldKeyComboTest, ListsTheIndexableVisibleFieldsAndOrdersByFieldName)
{
    Data->IndexFieldNames = "CITY;ID";
    Combo->SetDataSource(Source);
    EXPECT_EQ((std::vector<String> {"Client ID", "Client Name", "CITY", "TOTAL"}), ItemsOf(Combo))
            << "no memo, no hidden field";
    EXPECT_EQ(Combo->Text(), "CITY");
    Combo->SetItemIndex(1);
    EXPECT_EQ(Data->IndexFieldNames, "NAME1");
    EXPECT_EQ(Combo->Text(), "Client Name");
    Combo->SetShowAllIndexes(true);
    EXPECT_EQ(ItemsOf(Combo).size(), 5u) << "ShowAllIndexes lists the hidden field too";
}

// The dialog over a data set with index information shows "Search By".
class SearchByDialogTest : public KeyComboTest {
protected:
    bool Run(TdwLookupDialog* Dialog, const std::function<void(TdwLookupDlg*)>& Steps)
    {
        QTimer::singleShot(0, [Steps] {
            auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(dialog, nullptr);
            Steps(dialog);
        });
        return Dialog->Execute();
    }
};

TEST_F(SearchByDialogTest, SearchByReordersTheGridAndTheSearch)
{
    auto* dialog = new TdwLookupDialog(Form);
    dialog->SetLookupTable(Data);
    dialog->SetCaption("Choose a client");
    dialog->SetUserButton1Caption("&New");
    dialog->SetUserButton2Caption("&Edit");
    Data->IndexName = "NAMEIDX";
    std::vector<String> sorts;
    dialog->OnSortChange = [&](TObject* Sender) {
        auto* form = dynamic_cast<TdwLookupDlg*>(Sender);
        ASSERT_NE(form, nullptr);
        sorts.push_back(form->dwIncrementalSearch1->SearchField());
    };
    const bool chosen = Run(dialog, [&](TdwLookupDlg* d) {
        TdwTempKeyCombo* chooser = d->dwKeyCombo1;
        EXPECT_TRUE(chooser->Visible());
        EXPECT_TRUE(d->SortByLabel->Visible());
        EXPECT_EQ(d->SortByLabel->Caption(), "Search &By");
        EXPECT_EQ(chooser->Text(), "Client Name - Desc");
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "NAME1");
        EXPECT_EQ(Data->FieldByName("NAME1")->Index(), 0) << "the order's field leads the grid";
        EXPECT_GT(chooser->Top(), d->dwDBGrid1->Top() + d->dwDBGrid1->Height());
        EXPECT_EQ(chooser->Width(), d->dwDBGrid1->Width());
        EXPECT_EQ(d->dwIncrementalSearch1->Width(), d->dwDBGrid1->Width());
        EXPECT_GT(d->UserButtonPanel->Top(), chooser->Top());
        KeepScreenshot(d->Widget()->window()->grab(), "lookup-searchby.png");

        // Down opens the list; Enter there closes it and goes back to the search edit,
        // without closing the dialog.
        chooser->SetFocus();
        PressKey(d, Qt::Key_Down);
        EXPECT_TRUE(chooser->IsDroppedDown());
        EXPECT_FALSE(d->CloseQuery()) << "no closing while the list is open";
        chooser->SetDroppedDown(false);
        chooser->SetItemIndex(2);
        EXPECT_EQ(Data->IndexName, "CITYIDX");
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "CITY");
        EXPECT_EQ(Data->FieldByName("CITY")->Index(), 0);
        EXPECT_EQ(Data->FieldByName("ID")->Index(), 1) << "every field of the order moves to the front";
        chooser->SetFocus();
        PressKey(d, Qt::Key_Return);
        EXPECT_EQ(d->ActiveControl(), d->dwIncrementalSearch1);
        EXPECT_EQ(d->ModalResult(), mrNone);
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ((std::vector<String> {"CITY"}), sorts);
}

TEST_F(SearchByDialogTest, GroupedControlsPutTheChooserBesideTheSearchEdit)
{
    auto* dialog = new TdwLookupDialog(Form);
    dialog->SetLookupTable(Data);
    dialog->SetOptions({opShowOKCancel, opShowSearchBy, opGroupControls, opDisableReorderColumns});
    Run(dialog, [&](TdwLookupDlg* d) {
        const int half = (d->dwDBGrid1->Width() - 20) / 2;
        EXPECT_EQ(d->dwIncrementalSearch1->Width(), half);
        EXPECT_EQ(d->dwKeyCombo1->Width(), half);
        EXPECT_EQ(d->dwKeyCombo1->Top(), d->dwIncrementalSearch1->Top());
        EXPECT_EQ(d->dwKeyCombo1->Left(), d->dwIncrementalSearch1->Left() + half + 20);
        EXPECT_EQ(d->SortByLabel->Top(), d->SearchCharacterLabel->Top());
        EXPECT_EQ(Data->FieldByName("ID")->Index(), 0) << "the columns keep their places";
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "ID") << "the search still follows the order";
        PressKey(d, Qt::Key_Escape);
    });
}

TEST_F(SearchByDialogTest, WithoutTheFieldsTheOrderMovesTheColumnLines)
{
    auto* dialog = new TdwLookupDialog(Form);
    dialog->SetLookupTable(Data);
    dialog->SetUseTFields(false);
    for (const char* line : {"ID\t6\tClient ID", "NAME1\t20\tName", "CITY\t12\tCity"})
        dialog->Selected()->Add(line);
    Data->IndexName = "NAMEIDX";
    const auto names = [](TStrings* Lines) {
        std::vector<String> result;
        for (int i = 0; i < Lines->Count(); ++i)
            result.push_back(Lines->Get(i).substr(0, Lines->Get(i).find('\t')));
        return result;
    };
    Run(dialog, [&](TdwLookupDlg* d) {
        EXPECT_EQ((std::vector<String> {"NAME1", "ID", "CITY"}), names(d->dwDBGrid1->Selected()));
        EXPECT_EQ(d->dwDBGrid1->GetFields(0)->FieldName(), "NAME1");
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "NAME1");
        d->dwKeyCombo1->SetItemIndex(d->dwKeyCombo1->Items()->IndexOf("CITY"));
        EXPECT_EQ((std::vector<String> {"CITY", "ID", "NAME1"}), names(d->dwDBGrid1->Selected()));
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "CITY");
        EXPECT_EQ(Data->FieldByName("ID")->Index(), 0) << "the fields themselves stay";
        PressKey(d, Qt::Key_Escape);
    });
}

}  // namespace
