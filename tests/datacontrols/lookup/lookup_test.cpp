// The lookup dialog and its incremental search over a real client table ordered by ID,
// driven with keys as a user drives them.

#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/common/dwlocate.h"
#include "datacontrols/lookup/dwidlg.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/header.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/common/publishing.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class LookupTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Dialog = new TdwLookupDialog(Form);
        Dialog->SetLookupTable(T);
        T->FieldByName("DATA_VER")->SetVisible(false);
        T->FieldByName("NAME1")->SetDisplayLabel("Client~Name");
    }

    // Runs the dialog; Steps runs inside it once it is up, with the dialog form.
    bool Run(const std::function<void(TdwLookupDlg*)>& Steps)
    {
        QTimer::singleShot(0, [this, Steps] {
            auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(dialog, nullptr);
            Shown = dialog;
            Steps(dialog);
        });
        return Dialog->Execute();
    }

    // Lets the search delay pass.
    static void WaitForSearch() { QTest::qWait(350); }

    TScriptedDialogs Dialogs;
    TdwLookupDialog* Dialog = nullptr;
    TdwLookupDlg* Shown = nullptr;
};

TEST_F(LookupTest, TypingFindsByTheOrderKeyAndEnterAccepts)
{
    std::vector<String> seen;
    const bool chosen = Run([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->ActiveControl(), d->dwIncrementalSearch1);
        TypeText(d, "c01");
        WaitForSearch();
        seen.push_back(CurrentId());
        TypeText(d, "5");
        WaitForSearch();
        seen.push_back(CurrentId());
        PressKey(d, Qt::Key_Down);
        seen.push_back(CurrentId());
        KeepScreenshot(d->Widget()->window()->grab(), "lookup.png");
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ((std::vector<String> {"C0100", "C0150", "C0151"}), seen)
            << "typing searches the whole text so far; Down in the edit moves the grid";
    EXPECT_EQ(CurrentId(), "C0151");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LookupTest, EscCancelsAndLeavesTheCursorWhereTheUserLeftIt)
{
    const bool chosen = Run([&](TdwLookupDlg* d) {
        TypeText(d, "C02");
        WaitForSearch();
        // From the grid too, Esc reaches the Cancel button.
        d->dwDBGrid1->SetFocus();
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(CurrentId(), "C0201");
}

TEST_F(LookupTest, TheGridShowsTheVisibleFieldsAndFitsTheDialog)
{
    Run([&](TdwLookupDlg* d) {
        TdwDBGrid* grid = d->dwDBGrid1;
        EXPECT_EQ(grid->Height(), 209);
        ASSERT_EQ(grid->GetFieldCount(), static_cast<int>(ClientSchema.size()) - 1);
        EXPECT_EQ(grid->GetFields(0)->FieldName(), "ID");
        EXPECT_EQ(d->Caption(), "Lookup");
        EXPECT_LE(d->Width(), GuiScreen()->Width());
        EXPECT_GE(d->OKBtn->Top(), grid->Top() + grid->Height());
        EXPECT_LT(d->OKBtn->Left(), d->CancelBtn->Left());
        // The grid takes the focus; Enter still chooses.
        grid->SetFocus();
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_EQ(CurrentId(), "C0002");
    EXPECT_EQ(Dialog->LookupTable(), T);
}

TEST_F(LookupTest, DoubleClickingARowChoosesIt)
{
    EXPECT_TRUE(Run([](TdwLookupDlg* d) {
        const TRect cell = d->dwDBGrid1->CellRect(2, 3);
        QTest::mouseDClick(d->dwDBGrid1->Widget(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(cell.Left + 3, cell.Top + 3));
    }));
    EXPECT_EQ(CurrentId(), "C0003");
}

TEST_F(LookupTest, RefusalsAreMessagesAndFalse)
{
    Dialog->SetLookupTable(nullptr);
    EXPECT_FALSE(Dialog->Execute());
    Dialog->SetLookupTable(T);
    T->Close();
    EXPECT_FALSE(Dialog->Execute());
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "You must define a lookupTable.");
    EXPECT_EQ(Dialogs.Messages[1].Text, "Search Table is not active.");
    EXPECT_EQ(Dialogs.Messages[1].Type, mtWarning);
}

TEST_F(LookupTest, OKOnAnEmptyListChoosesNothing)
{
    T->SetFilter("ID = 'NONE'");
    T->SetFiltered(true);
    ASSERT_TRUE(T->IsEmpty());
    EXPECT_FALSE(Run([](TdwLookupDlg* d) { PressKey(d, Qt::Key_Return); }));
}

TEST_F(LookupTest, ThePendingSearchFinishesWhenTheDialogCloses)
{
    std::vector<String> log;
    Dialog->OnInitDialog = [&](TdwLookupDlg* d) {
        log.push_back(d->Widget()->isVisible() ? "init, on the screen" : "init");
    };
    Dialog->OnCloseDialog = [&](TdwLookupDlg* d) {
        log.push_back("close on " + d->DataSet()->FieldByName("ID")->AsString());
    };
    EXPECT_TRUE(Run([](TdwLookupDlg* d) {
        // Enter before the search delay has passed.
        TypeText(d, "c0150");
        PressKey(d, Qt::Key_Return);
    }));
    EXPECT_EQ(CurrentId(), "C0150");
    EXPECT_EQ((std::vector<String> {"init", "close on C0150"}), log) << "init before the form shows";
}

TEST_F(LookupTest, TheProgramsTablesShowNeitherSearchByNorTheStatusHeader)
{
    Dialog->SetOptions({opShowOKCancel, opShowSearchBy, opShowStatusBar});
    Run([](TdwLookupDlg* d) {
        EXPECT_FALSE(d->Options().Contains(opShowSearchBy));
        EXPECT_FALSE(d->dwKeyCombo1->Visible());
        EXPECT_FALSE(d->SortByLabel->Visible());
        EXPECT_EQ(d->dwKeyCombo1->DataSource(), nullptr);
        EXPECT_FALSE(d->StatusHeader->Visible());
        PressKey(d, Qt::Key_Escape);
    });
}

TEST_F(LookupTest, TheGridIsAsWideAsItsColumnsWithinTheLimits)
{
    const int screenWidth = GuiScreen()->Width();
    const int screenHeight = GuiScreen()->Height();
    Dialog->SetMaxHeight(screenHeight);
    Run([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->MaxWidth(), screenWidth - 40) << "MaxWidth 0 is the screen less 40";
        EXPECT_EQ(d->MaxHeight(), screenHeight - 200);
        EXPECT_EQ(d->dwDBGrid1->Height(), screenHeight - 200);
        EXPECT_LE(d->dwDBGrid1->Width(), screenWidth - 40);
        EXPECT_TRUE(d->dwDBGrid1->ShowHorzScrollBar()) << "the client table's columns do not fit";
        EXPECT_EQ(d->Left(), (screenWidth - d->Width()) / 2);
        PressKey(d, Qt::Key_Escape);
    });

    // One narrow column: widened to the buttons' width, the buttons moved right by 5.
    Dialog->Selected()->Add("ID\t3\tID");
    Dialog->SetMaxHeight(209);
    Run([&](TdwLookupDlg* d) {
        TdwDBGrid* grid = d->dwDBGrid1;
        const int minimum = d->OKBtn->Width() + d->CancelBtn->Width() + 18;
        EXPECT_EQ(grid->Width(), minimum);
        int columns = 21;
        for (int col = 0; col < grid->ColCount(); ++col)
            columns += grid->ColWidths(col) + 1;
        EXPECT_LE(columns, minimum);
        EXPECT_GT(columns, minimum - 10) << "the last column takes up the rest, to whole characters";
        EXPECT_FALSE(grid->ShowHorzScrollBar());
        const int step = d->OKBtn->Width() + 13;
        EXPECT_EQ(d->OKBtn->Left(), d->Width() - 10 - 2 * step + 5);
        EXPECT_EQ(d->CancelBtn->Left(), d->Width() - 10 - step + 5);
        EXPECT_EQ(d->OKBtn->Top(), grid->Top() + grid->Height() + 13);
        EXPECT_EQ(d->Height(), d->OKBtn->Top() + d->OKBtn->Height() + 34);
        EXPECT_EQ(d->dwIncrementalSearch1->Width(), grid->Width());
        PressKey(d, Qt::Key_Escape);
    });
}

TEST_F(LookupTest, OnInitDialogMayResizeAndTheDialogStaysOnTheScreen)
{
    Dialog->OnInitDialog = [](TdwLookupDlg* d) {
        d->SetMaxWidth(300);
        d->SetMaxHeight(5000);
    };
    TRect work = GuiScreen()->WorkAreaRect();
    Run([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->dwDBGrid1->Height(), GuiScreen()->Height() - 200) << "cut to the screen again";
        EXPECT_GE(d->Top(), work.Top);
        EXPECT_LE(d->dwDBGrid1->Width(), 300);
        PressKey(d, Qt::Key_Escape);
    });
    // A handler that places the dialog itself keeps that place.
    Dialog->OnInitDialog = [](TdwLookupDlg* d) { d->SetLeft(7); };
    Run([](TdwLookupDlg* d) {
        EXPECT_EQ(d->Left(), 7);
        PressKey(d, Qt::Key_Escape);
    });
}

TEST_F(LookupTest, UserButtonsRunTheirEventsWithTheTable)
{
    Dialog->SetCaption("Choose a client");
    Dialog->SetUserButton1Caption("&New");
    Dialog->SetUserButton2Caption("&Edit");
    std::vector<String> clicks;
    Dialog->OnUserButton1Click = [&](TObject* Sender, TDataSet* Table) {
        EXPECT_NE(dynamic_cast<TdwLookupDlg*>(Sender), nullptr);
        clicks.push_back("new on " + Table->FieldByName("ID")->AsString());
    };
    Dialog->OnUserButton2Click = [&](TObject*, TDataSet* Table) {
        clicks.push_back("edit on " + Table->FieldByName("ID")->AsString());
    };
    const bool chosen = Run([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->Caption(), "Choose a client");
        ASSERT_TRUE(d->UserButtonPanel->Visible());
        EXPECT_EQ(d->UserButton1->Caption(), "&New");
        EXPECT_EQ(d->UserButton1->Left(), 10);
        EXPECT_EQ(d->UserButton2->Left(), d->UserButton1->Left() + d->UserButton1->Width() + 15);
        EXPECT_EQ(d->UserButtonPanel->Width(), d->UserButton2->Left() + d->UserButton2->Width() + 10);
        EXPECT_EQ(d->UserButtonPanel->Top(), d->dwDBGrid1->Top() + d->dwDBGrid1->Height() + 5);
        EXPECT_LT(d->UserButtonPanel->Left() + d->UserButtonPanel->Width(), d->OKBtn->Left());
        KeepScreenshot(d->Widget()->window()->grab(), "lookup-userbuttons.png");
        PressKey(d, Qt::Key_Down);
        QTest::mouseClick(d->UserButton1->Widget(), Qt::LeftButton);
        d->UserButton2->Click();
        EXPECT_EQ(d->ModalResult(), mrNone) << "a user button does not close the dialog";
        PressKey(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(chosen);
    EXPECT_EQ((std::vector<String> {"new on C0002", "edit on C0002"}), clicks);
}

TEST_F(LookupTest, WithoutOKAndCancelEnterStillChooses)
{
    Dialog->SetOptions({});
    EXPECT_TRUE(Run([](TdwLookupDlg* d) {
        EXPECT_FALSE(d->OKBtn->Visible());
        EXPECT_EQ(d->Height(), d->dwDBGrid1->Top() + d->dwDBGrid1->Height() + 34);
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_PageDown);
        PressKey(d, Qt::Key_Return);
    }));
    EXPECT_GT(CurrentId(), "C0002") << "Page Down from the search edit moves the grid";
}

TEST_F(LookupTest, ADoubleClickChoosesOnlyWhenTheGridDoesNotEdit)
{
    Dialog->SetGridOptions({dgEditing, dgTitles, dgIndicator, dgColLines, dgRowLines});
    EXPECT_FALSE(Run([](TdwLookupDlg* d) {
        const TRect cell = d->dwDBGrid1->CellRect(2, 3);
        QTest::mouseDClick(d->dwDBGrid1->Widget(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(cell.Left + 3, cell.Top + 3));
        EXPECT_EQ(d->ModalResult(), mrNone);
        d->SetModalResult(mrCancel);
    }));
}

TEST_F(LookupTest, WithoutTheFieldsTheSearchFollowsTheGridsFirstColumn)
{
    Dialog->SetUseTFields(false);
    Dialog->Selected()->Add("NAME1\t20\tName");
    Dialog->Selected()->Add("ID\t6\tID");
    EXPECT_TRUE(Run([](TdwLookupDlg* d) {
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "NAME1");
        TypeText(d, "name 012");
        d->dwIncrementalSearch1->FinishPendingSearch();
        d->dwDBGrid1->MoveColumn(1, 0);
        EXPECT_EQ(d->dwIncrementalSearch1->SearchField(), "ID") << "a moved column leads the search";
        PressKey(d, Qt::Key_Return);
    }));
    EXPECT_EQ(CurrentId(), "C0120");
}

// A dialog over a search table and a shadow table: a second cursor on the same table
// that follows the pick.
class TShadowLookupDialog : public TdwCustomLookupDialog {
public:
    using TdwCustomLookupDialog::SetSearchTable;
    using TdwCustomLookupDialog::SetShadowSearchTable;
    using TdwCustomLookupDialog::TdwCustomLookupDialog;
};

TEST_F(LookupTest, AShadowTableFollowsThePick)
{
    TDaroruTable* shadow = Table("CLIENTS");
    shadow->Open();
    shadow->SetIndexName("ID");
    auto* dialog = new TShadowLookupDialog(Form);
    EXPECT_EQ(dialog->Caption(), "Search");
    std::vector<String> syncs;
    dialog->OnSyncTables = [&](TObject*, TDataSet* Target, TDataSet* Source) {
        const String id = Source->FieldByName("ID")->AsString();
        syncs.push_back((Target == T ? "search to " : "shadow to ") + id);
        Target->Locate("ID", Variant(id), {});
    };
    EXPECT_THROW(dialog->GetPrimaryDataSet(), EInvalidOperation);

    dialog->SetSearchTable(T);
    dialog->SetShadowSearchTable(T);
    EXPECT_FALSE(dialog->Execute());
    dialog->SetShadowSearchTable(shadow);
    shadow->Locate("ID", Variant("C0010"), {});
    const bool chosen = [&] {
        QTimer::singleShot(0, [] {
            auto* d = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(d, nullptr);
            PressKey(d, Qt::Key_Down);
            PressKey(d, Qt::Key_Return);
        });
        return dialog->Execute();
    }();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(shadow->FieldByName("ID")->AsString(), "C0011");
    EXPECT_EQ((std::vector<String> {"search to C0010", "shadow to C0011"}), syncs);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Your SearchTable and ShadowSearchTable must reference two distinct "
                                        "TDataSet objects, but each must "
                                        "reference the same physical table.");
}

// The incremental search alone, with the delay cut short.
class IncrementalSearchTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Search = new TdwIncrementalSearch(Form);
        Search->SetParent(Form);
        Search->SetBounds(8, 250, 200, 20);
        Search->SetTabStop(true);
        Search->SetDataSource(Source);
        // The table's first field is not the order's; the dialog's column list puts it first.
        Search->SetSearchField("ID");
        Search->OnAfterSearch = [this](TdwIncrementalSearch*, bool Found) { Results.push_back(Found); };
        ShowForm(Form);
        Search->SetFocus();
    }
    void Type(const char* Text)
    {
        TypeText(Form, Text);
        Search->FinishPendingSearch();
    }

    TdwIncrementalSearch* Search = nullptr;
    std::vector<bool> Results;
};

TEST_F(IncrementalSearchTest, SearchesOnTheWholeTextOnceAndNeverRaisesOnOddCharacters)
{
    Type("C00");
    Type("9");
    EXPECT_EQ(CurrentId(), "C0090");
    Search->FinishPendingSearch();
    EXPECT_EQ((std::vector<bool> {true, true}), Results) << "no second search without new text";

    for (const char* odd : {"\"", "'", "]", "%"}) {
        Search->Clear();
        Results.clear();
        EXPECT_NO_THROW(Type(odd)) << odd;
        EXPECT_EQ((std::vector<bool> {false}), Results) << odd;
    }
    EXPECT_EQ(CurrentId(), "C0090") << "a failed search leaves the record";
}

TEST_F(IncrementalSearchTest, ClearingTheTextGoesToTheFirstRecord)
{
    Type("C02");
    EXPECT_EQ(CurrentId(), "C0200");
    for (int i = 0; i < 3; ++i)
        PressKey(Form, Qt::Key_Backspace);
    EXPECT_EQ(Search->Text(), "");
    Search->FinishPendingSearch();
    EXPECT_EQ(CurrentId(), "C0001");
    EXPECT_EQ(Results.size(), 1u) << "the move to the first record is no search";
}

TEST_F(IncrementalSearchTest, ShowMatchTextCompletesWithTheRestSelected)
{
    Search->SetSearchField("NAME1");
    Search->SetShowMatchText(true);
    Type("name 01");
    EXPECT_EQ(CurrentId(), "C0100");
    EXPECT_EQ(Search->Text(), "Name 0100");
    EXPECT_EQ(Search->SelStart(), 7);
    EXPECT_EQ(Search->SelLength(), 2);
}

TEST_F(IncrementalSearchTest, ANumericSearchFieldTakesOnlyNumbers)
{
    Search->SetSearchField("TOTAMT");
    Type("x");
    EXPECT_EQ((std::vector<bool> {false}), Results);
    EXPECT_EQ(CurrentId(), "C0001");
}

TEST_F(IncrementalSearchTest, TheSearchWaitsForTheSearchDelay)
{
    Search->SetSearchDelay(60000);
    TypeText(Form, "C02");
    QTest::qWait(350);
    EXPECT_TRUE(Results.empty()) << "still waiting";
    Search->FinishPendingSearch();
    EXPECT_EQ(CurrentId(), "C0200");
    EXPECT_EQ(Results.size(), 1u);
}

TEST_F(IncrementalSearchTest, APictureMaskShapesTheTypedText)
{
    Search->SetPictureMask("!####");
    Type("c01x50");
    EXPECT_EQ(Search->Text(), "C0150") << "upper-cased, and the letter among the digits refused";
    EXPECT_EQ(CurrentId(), "C0150");
}

TEST(IncrementalSearchMask, PictureMaskFromFieldTakesTheSearchFieldsMask)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* data = new TPublishingDataSet(form, {{"ZIP", ftString, 10}, {"NAME", ftString, 20}});
    data->PictureMasks.Add("ZIP\t###-##\tT\tT");
    data->Open();
    auto* source = new TDataSource(form);
    source->SetDataSet(data);
    auto* search = new TdwIncrementalSearch(form);
    search->SetParent(form);
    search->SetDataSource(source);
    search->SetSearchField("ZIP");
    ShowForm(form);
    search->SetFocus();
    TypeText(form, "1a2345");
    EXPECT_EQ(search->Text(), "1a2345") << "no mask without PictureMaskFromField";
    search->Clear();
    search->SetPictureMaskFromField(true);
    TypeText(form, "1a2345");
    EXPECT_EQ(search->Text(), "123-45") << "the letter refused, the dash filled in";
    search->Clear();
    search->SetSearchField("NAME");
    TypeText(form, "a1");
    EXPECT_EQ(search->Text(), "a1") << "a field without a mask";
    form->Free();
}

// Record finding by scanning, on the real table.
TEST_F(GridTest, LocateValueFindsByTextAndKeepsTheRecordWithoutAMatch)
{
    TScriptedDialogs dialogs;
    struct Case {
        const char* Field;
        const char* Value;
        bool CaseSensitive;
        bool Partial;
        const char* Expected;  // the current ID afterwards
    };
    const Case cases[] = {
            {"NAME1", "name 0042", false, false, "C0042"}, {"NAME1", "name 0042", true, false, "C0001"},
            {"CITY", "Shelby", false, true, "C0002"},      {"NAME1", "Name 004", true, true, "C0040"},
            {"NAME1", "Name 004", false, false, "C0001"},
    };
    for (const Case& c : cases) {
        T->First();
        const bool found = dwLocateValue(T, c.Field, c.Value, c.CaseSensitive, c.Partial);
        EXPECT_EQ(CurrentId(), c.Expected) << c.Field << " " << c.Value;
        EXPECT_EQ(found, String(c.Expected) != "C0001") << c.Field << " " << c.Value;
    }
    T->MoveBy(4);
    EXPECT_TRUE(dwLocateValue(T, "CITY", "Springfield", false, false))
            << "the current record matches already";
    EXPECT_EQ(CurrentId(), "C0005");
    EXPECT_TRUE(dwLocateRecord(dwMatchAnywhere, T, "NAME1", false, false, "0123"));
    EXPECT_EQ(CurrentId(), "C0123");
    EXPECT_FALSE(dwLocateRecord(dwMatchWhole, T, "NOSUCH", false, false, "x"));
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text, "Field NOSUCH not found.");
}

}  // namespace
