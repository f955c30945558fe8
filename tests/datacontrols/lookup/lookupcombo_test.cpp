// The lookup combo over a real client table, driven with keys and the mouse as a user
// drives it: typing searches the drop-down, Enter takes the record's key into the
// payment, Esc takes it back.

#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwdblook.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fieldkinds.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/lookup/lookupcombofixture.h"
#include "tests/support/formtesting.h"

namespace {

String PaymentClient(TDaroruTable* Payments) { return Payments->FieldByName("CLIENT")->AsString(); }

TEST_F(LookupComboTest, ShowsTheDisplayFieldOfTheKeyInTheField)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    EXPECT_EQ(Combo->Text(), "Name 0007");
    Payments->Next();
    EXPECT_EQ(Combo->Text(), "") << "an empty key shows nothing";
}

TEST_F(LookupComboTest, TypingSearchesTheOpenGridAndEnterTakesTheKey)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo->IsDroppedDown());
    EXPECT_EQ(CurrentId(), "C0007") << "the grid opens on the field's record";
    const TPoint below = Combo->ClientToScreen(Point(0, Combo->ClientHeight()));
    EXPECT_NEAR(Combo->Grid()->Top(), below.Y, 3) << "the grid hangs below the edit";
    EXPECT_GE(Combo->Grid()->Width(), Combo->Width());

    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "name 015");
    WaitForSearch();
    EXPECT_EQ(CurrentId(), "C0150") << "the search finds the first name that begins with the text";
    EXPECT_EQ(Combo->Grid()->LookupValue(), "C0150");
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(CurrentId(), "C0151");
    EXPECT_EQ(Combo->Text(), "Name 0151") << "the text follows the grid's row";
    KeepScreenshot(FormWithDropDown(), "lookupcombo.png");

    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(PaymentClient(Payments), "C0151");
    EXPECT_EQ(Combo->Text(), "Name 0151");
    const std::vector<String> stored = PostedPayments();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], "P0001|C0151|10.0");
}

TEST_F(LookupComboTest, EscRestoresTheValueAndTheText)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    TypeText(Form, "Name 02");
    WaitForSearch();
    PressKey(Form, Qt::Key_Escape);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Name 0007");
    EXPECT_EQ(PaymentClient(Payments), "C0007");

    // With the grid closed, Esc takes back what was typed too.
    TypeText(Form, "xyz");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Combo->Text(), "Name 0007");
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0");
}

TEST_F(LookupComboTest, AltDownAndAltUpToggleAndAClickOutsideCloses)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    TEventLog log;
    Combo->OnDropDown = log.Note("drop down");
    Combo->OnCloseUp = [&](TObject*, TDataSet* Lookup, TDataSet* Fill, bool Modified) {
        EXPECT_EQ(Lookup, T);
        EXPECT_EQ(Fill, Payments);
        log.Add(Modified ? "closed, changed" : "closed");
    };
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(Combo->IsDroppedDown());
    PressKey(Form, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(Combo->IsDroppedDown());

    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    const TRect cell = Grid->CellRect(1, 2);
    QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.Left + 2, cell.Top + 2));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Combo->IsDroppedDown()) << "a press on another control closes the grid";
    EXPECT_EQ(PaymentClient(Payments), "C0007");
    EXPECT_EQ((std::vector<std::string> {"drop down", "closed", "drop down", "closed"}), log.Entries);
}

TEST_F(LookupComboTest, AClickOnARowTakesIt)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    ShowWithCombo();
    QTest::mouseClick(Combo->Button()->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    ASSERT_TRUE(Combo->IsDroppedDown()) << "the button press opens the grid";
    TdwPopupGrid* grid = Combo->Grid();
    const TRect third = grid->CellRect(grid->IndicatorOffset(), 2);
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(third.Left + 4, third.Top + 2));
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_NE(PaymentClient(Payments), "C0007");
    EXPECT_EQ(Combo->Text(), T->FieldByName("NAME1")->AsString());
    EXPECT_EQ(PaymentClient(Payments), CurrentId());
}

TEST_F(LookupComboTest, SearchTextWithQuotesFindsNothingAndRaisesNothing)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "Na'me \"0) .or. .t.");
    WaitForSearch();
    EXPECT_FALSE(Combo->MatchFound());
    EXPECT_TRUE(Dialogs.Messages.empty());
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(PaymentClient(Payments), "C0007");
}

TEST_F(LookupComboTest, DropDownRefusals)
{
    auto* combo = MakeCombo<TdwDBCustomLookupCombo>();
    EXPECT_EQ(MessageOf([&] { combo->SetDataSource(Source); }),
              "Unable to use duplicate DataSource and LookupSource");
    T->Close();
    combo->DropDown();
    combo->SetLookupTable(nullptr);
    combo->DropDown();
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Lookup table is not active!");
    EXPECT_EQ(Dialogs.Messages[1].Text, "No lookup table specified!");
    EXPECT_EQ(Dialogs.Messages[1].Type, mtWarning);
    EXPECT_FALSE(combo->IsDroppedDown());
}

TEST_F(LookupComboTest, TheLookupFieldNamesTheKeyAndTheColumnsDefaultToIt)
{
    auto* combo = new TdwDBCustomLookupCombo(Form);
    combo->SetParent(Form);
    combo->SetBounds(8, 8, 220, 24);
    combo->SetLookupTable(T);
    EXPECT_EQ(combo->Grid()->LookupFieldRef(), nullptr) << "no lookup field, no field resolved";
    EXPECT_EQ(combo->Grid()->DisplayField(), nullptr);
    EXPECT_EQ(MessageOf([&] { combo->SetLookupField("NOSUCH"); }), "Field 'NOSUCH' not found");
    combo->SetLookupField("ID");
    ShowForm(Form);
    combo->DropDown();
    ASSERT_EQ(combo->Selected()->Count(), 1) << "an empty column list gets the key field's column";
    EXPECT_EQ(combo->Selected()->Strings(0), "ID\t8\tID");
    EXPECT_EQ(combo->Grid()->GetFieldCount(), 1);
    combo->CloseUp(false);
}

TEST_F(LookupComboTest, DropDownListRefusesTypingUnlessItDropsDown)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetStyle(csDropDownList);
    ShowWithCombo();
    TypeText(Form, "Name 01");
    EXPECT_EQ(Combo->Text(), "Name 0007") << "typing is refused while the grid is closed";

    Combo->SetAutoDropDown(true);
    TypeText(Form, "N");
    EXPECT_TRUE(Combo->IsDroppedDown()) << "with AutoDropDown typing opens the grid";
    TypeText(Form, "ame 0123");
    WaitForSearch();
    EXPECT_EQ(CurrentId(), "C0123");
    After->SetFocus();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(PostedPayments()[0], "P0001|C0123|10.0") << "leaving accepts the match";
}

TEST_F(LookupComboTest, ShowMatchTextCompletesWhatWasTyped)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetShowMatchText(true);
    ShowWithCombo();
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "name 02");
    EXPECT_EQ(Combo->Text(), "Name 0200");
    EXPECT_EQ(Combo->SelStart(), 7);
    EXPECT_EQ(Combo->SelLength(), 2) << "the completion is selected, the typed part not";
    After->SetFocus();
    EXPECT_EQ(PostedPayments()[0], "P0001|C0200|10.0");
}

TEST_F(LookupComboTest, ShowMatchTextThatMatchesNothingLeavesTheFieldAsItWas)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetShowMatchText(true);
    ShowWithCombo();
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    // "name 02" finds Name 0200 on the way; the "x" after it finds nothing.
    TypeText(Form, "name 02x");
    EXPECT_FALSE(Combo->MatchFound());
    After->SetFocus();
    EXPECT_EQ(Combo->Text(), "Name 0007") << "the text shows the field's record again";
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0") << "neither emptied nor the record found on the way";
}

TEST_F(LookupComboTest, AllowClearKeyLetsDeleteClearADropDownList)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetStyle(csDropDownList);
    ShowWithCombo();
    Combo->SelectAll();
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Combo->Text(), "Name 0007") << "without AllowClearKey the value stays";

    Combo->SetAllowClearKey(true);
    Combo->SelectAll();
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_TRUE(Payments->FieldByName("CLIENT")->IsNull());
    EXPECT_EQ(PostedPayments()[0], "P0001||10.0");
}

TEST_F(LookupComboTest, TheGridFitsItsRowsAndGoesAboveWhenBelowHasNoRoom)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    struct Case {
        int Count;
        int FormTop;
        int ComboWidth;
        int Rows;  // 0: no grid
        bool Above;
    };
    const int screenHeight = GuiScreen()->WorkAreaRect().Bottom;
    for (const Case c : {Case {0, 0, 220, 1, false}, Case {8, 0, 220, 8, false},
                         Case {8, screenHeight - 120, 220, 8, true}, Case {8, 0, 20, 0, false}}) {
        Form->SetTop(c.FormTop);
        Combo->SetDropDownCount(c.Count);
        Combo->SetWidth(c.ComboWidth);
        ShowWithCombo();
        Combo->DropDown();
        ASSERT_EQ(Combo->IsDroppedDown(), c.Rows > 0) << c.Count << " " << c.ComboWidth;
        if (c.Rows == 0)
            continue;
        TdwPopupGrid* grid = Combo->Grid();
        EXPECT_EQ(grid->VisibleRowCount(), c.Rows);
        const TPoint comboTop = Combo->ClientToScreen(Point(0, 0));
        if (c.Above)
            EXPECT_LE(grid->Top() + grid->Height(), comboTop.Y);
        else
            EXPECT_GE(grid->Top(), comboTop.Y + Combo->ClientHeight() - 3);
        EXPECT_LE(grid->Top() + grid->Height(), screenHeight);
        Combo->CloseUp(false);
    }
}

TEST_F(LookupComboTest, ALookupListShowsTheFieldsRecordAndWritesTheOnePicked)
{
    TdwDBLookupList* list = MakeList();
    EXPECT_EQ(MessageOf([&] { list->SetDataSource(Source); }),
              "Unable to use duplicate DataSource and LookupSource");
    ShowForm(Form);
    EXPECT_EQ(CurrentId(), "C0007") << "the list stands on the field's record";
    EXPECT_EQ(list->LookupValue(), "C0007");

    const TRect second = list->CellRect(list->IndicatorOffset(), 1);
    QTest::mouseClick(list->Widget(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(second.Left + 4, second.Top + 2));
    EXPECT_EQ(list->LookupValue(), CurrentId());
    EXPECT_NE(CurrentId(), "C0007");
    const String picked = CurrentId();
    EXPECT_EQ(PostedPayments()[0], "P0001|" + picked + "|10.0");

    // The keys pick the record they move to.
    list->SetFocus();
    PressKey(Form, Qt::Key_Down);
    EXPECT_NE(CurrentId(), picked);
    EXPECT_EQ(list->LookupValue(), CurrentId());
    EXPECT_EQ(PostedPayments()[0], "P0001|" + CurrentId() + "|10.0");

    Payments->Next();
    EXPECT_EQ(list->LookupValue(), "") << "a payment without a client highlights nothing";
}

// The payment's client name: a lookup field over the client table, keyed by CLIENT.
TField* AddClientNameLookup(TDaroruTable* Payments, TDataSet* Clients)
{
    Payments->Close();
    Payments->FieldDefs()->Update();
    for (int i = 0; i < Payments->FieldDefs()->Count(); ++i)
        (*Payments->FieldDefs())[i]->CreateField(Payments, Payments);
    auto* name = new TStringField(Payments);
    name->SetFieldName("CLIENTNAME");
    name->SetSize(40);
    name->SetFieldKind(fkLookup);
    name->SetKeyFields("CLIENT");
    name->SetLookupDataSet(Clients);
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("NAME1");
    name->SetDataSet(Payments);
    Payments->Open();
    return name;
}

TEST_F(LookupComboTest, OnALookupFieldTheComboWritesItsKeyField)
{
    TField* name = AddClientNameLookup(Payments, T);
    EXPECT_EQ(name->AsString(), "Name 0007");

    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetDataField("CLIENTNAME");
    EXPECT_EQ(Combo->Text(), "Name 0007");
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(CurrentId(), "C0007");
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "Name 0222");
    WaitForSearch();
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(PaymentClient(Payments), "C0222") << "the key field takes the record's key";
    EXPECT_EQ(name->AsString(), "Name 0222");
    EXPECT_EQ(Combo->Text(), "Name 0222");
    EXPECT_EQ(PostedPayments()[0], "P0001|C0222|10.0");
    Payments->Next();
    EXPECT_EQ(Combo->Text(), "") << "a payment without a client shows no name";
}

TEST_F(LookupComboTest, OnALookupFieldAClosedComboWritesTheKeyOfTheCompletedName)
{
    AddClientNameLookup(Payments, T);
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetDataField("CLIENTNAME");
    Combo->SetShowMatchText(true);
    ShowWithCombo();
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "name 02");
    ASSERT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Name 0200");
    PressKey(Form, Qt::Key_Tab);
    EXPECT_TRUE(After->Focused());
    EXPECT_EQ(PaymentClient(Payments), "C0200") << "leaving wrote the completed record's key";
    EXPECT_EQ(PostedPayments()[0], "P0001|C0200|10.0");
}

}  // namespace
