// The lookup list bound to a payment's CLIENT field, driven by keys through the window
// system: the keys pick a client, Esc takes the pick back before it is written, Insert
// adds nothing, typing puts the payment into edit; and the list and the combo over a
// lookup table opened only later.

#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwdblook.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/edits.h"
#include "tests/datacontrols/lookup/lookupcombofixture.h"
#include "tests/support/formtesting.h"

namespace {

class LookupListKeysTest : public LookupComboTest {
protected:
    // The list over the client table, on the payment's CLIENT field; an edit beside it
    // to leave the list for.
    void MakeListAndEdit()
    {
        List = MakeList();
        List->OnClick = [this](TObject*) { ++Clicks; };
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(320, 8, 100, 24);
        Other->SetTabStop(true);
    }
    void ShowWithList()
    {
        ShowForm(Form);
        List->SetFocus();
        QCoreApplication::processEvents();
    }
    void SetPaymentClient(const String& Client)
    {
        Payments->Edit();
        Payments->FieldByName("CLIENT")->SetAsString(Client);
        Payments->Post();
    }
    String PaymentClient() { return Payments->FieldByName("CLIENT")->AsString(); }

    TdwDBLookupList* List = nullptr;
    TEdit* Other = nullptr;
    int Clicks = 0;
};

TEST_F(LookupListKeysTest, EscTakesBackAPickNotYetWrittenAndLeavingWritesIt)
{
    MakeListAndEdit();
    ShowWithList();
    ASSERT_EQ(List->LookupValue(), "C0007");

    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(List->LookupValue(), "C0008");
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Payments->State(), dsEdit);
    EXPECT_EQ(PaymentClient(), "C0007") << "the pick waits for the record to be written";

    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(List->LookupValue(), "C0007");
    EXPECT_EQ(CurrentId(), "C0007") << "the list stands on the field's record again";
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0") << "Esc took the pick back";

    PressKey(Form, Qt::Key_Down);
    PressKey(Form, Qt::Key_Down);
    ClickControl(Other);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(PaymentClient(), "C0009") << "leaving the list wrote the pick";
    EXPECT_EQ(PostedPayments()[0], "P0001|C0009|10.0");
}

TEST_F(LookupListKeysTest, FocusedTheListFramesTheRowOfItsValue)
{
    MakeListAndEdit();
    List->SetHeight(200);
    ShowWithList();
    const int row = List->TitleOffset() + List->DataLink()->ActiveRecord();
    const TRect first = List->CellRect(List->IndicatorOffset(), row);
    // Pixels of the row's top edge that differ between the two pictures.
    const auto framed = [&](const QImage& A, const QImage& B) {
        int differing = 0;
        for (int x = first.Left; x < List->CellsWidth(); ++x)
            differing += A.pixel(x, first.Top) != B.pixel(x, first.Top);
        return differing;
    };
    ASSERT_EQ(CurrentId(), "C0007");
    const QImage focused = List->Widget()->grab().toImage();
    KeepScreenshot(focused, "lookuplistfocus.png");
    ClickControl(Other);
    QCoreApplication::processEvents();
    ASSERT_FALSE(List->Focused());
    const QImage unfocused = List->Widget()->grab().toImage();
    EXPECT_GT(framed(focused, unfocused), List->CellsWidth() / 3) << "a dotted frame on the row";

    // Scrolled away, the value's row is gone and so is its frame.
    T->MoveBy(50);
    QCoreApplication::processEvents();
    const QImage away = List->Widget()->grab().toImage();
    List->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(framed(List->Widget()->grab().toImage(), away), 0);
}

TEST_F(LookupListKeysTest, TheValuesRowIsHighlightedBelowTheTitlesAndNoneWithoutALookupField)
{
    MakeListAndEdit();
    List->SetHeight(200);
    List->SetLookupOptions({loTitles});
    ShowWithList();
    ASSERT_EQ(List->TitleOffset(), 1);
    // The colour at the right end of a row, where no text reaches.
    const auto background = [&](int DataRow) {
        const TRect cell = List->CellRect(List->IndicatorOffset(), List->TitleOffset() + DataRow);
        return List->Widget()->grab().toImage().pixel(List->CellsWidth() - 3, (cell.Top + cell.Bottom) / 2);
    };
    const int value = List->DataLink()->ActiveRecord();
    ASSERT_EQ(CurrentId(), "C0007");
    ASSERT_GT(value, 1);
    const QRgb plain = background(0);
    EXPECT_NE(background(value), plain) << "the row of C0007 under the title row";
    EXPECT_EQ(background(value - 1), plain);
    EXPECT_EQ(background(value + 1), plain);

    List->SetLookupField("");
    QCoreApplication::processEvents();
    EXPECT_EQ(List->LookupFieldRef(), nullptr);
    EXPECT_EQ(List->DisplayField(), nullptr);
    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(background(row), plain) << "row " << row;
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0") << "without a key field nothing is written";
}

TEST_F(LookupListKeysTest, ALoadingListGoesToTheFieldsRecordOnceLoaded)
{
    Form->BeginLoading();
    MakeListAndEdit();
    EXPECT_EQ(CurrentId(), "C0001") << "nothing moves while the list is being loaded";
    EXPECT_EQ(List->LookupValue(), "");
    Form->FinishLoading();
    EXPECT_EQ(CurrentId(), "C0007");
    EXPECT_EQ(List->LookupValue(), "C0007");
}

TEST_F(LookupListKeysTest, InsertAddsNoLookupRecordEvenWhereTheGridWouldEdit)
{
    MakeListAndEdit();
    List->SetOptions({dgRowSelect, dgEditing});
    ShowWithList();
    const size_t clients = ReadBack("CLIENTS.DBF").size();

    PressKey(Form, Qt::Key_Insert);
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(List->LookupValue(), "C0007");
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(List->LookupValue(), "C0008") << "the keys still pick";
    EXPECT_EQ(ReadBack("CLIENTS.DBF").size(), clients);
}

TEST_F(LookupListKeysTest, WithTheValueNowhereTheFirstKeyPicksTheFirstRecord)
{
    for (const String client : {"", "C9999"}) {
        SCOPED_TRACE("CLIENT '" + client + "'");
        SetPaymentClient(client);
        MakeListAndEdit();
        ShowWithList();
        EXPECT_EQ(List->LookupValue(), "");
        PressKey(Form, Qt::Key_Down);
        EXPECT_EQ(CurrentId(), "C0001") << "not the record after the first";
        EXPECT_EQ(List->LookupValue(), "C0001");
        EXPECT_EQ(PostedPayments()[0], "P0001|C0001|10.0");
        List->Free();
        Other->Free();
    }
}

TEST_F(LookupListKeysTest, TheComboWithItsValueNowhereOpensOnTheFirstRecordAndDownPicksIt)
{
    SetPaymentClient("C9999");
    MakeCombo<TdwDBCustomLookupCombo>();
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo->IsDroppedDown());
    EXPECT_EQ(CurrentId(), "C0001");

    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Combo->Text(), "Name 0001");
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(PostedPayments()[0], "P0001|C0001|10.0");
}

TEST_F(LookupListKeysTest, AReadOnlyCombosDropDownPicksNothing)
{
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetReadOnly(true);
    ShowWithCombo();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo->IsDroppedDown());
    TdwPopupGrid* grid = Combo->Grid();
    const TRect cell = grid->CellRect(grid->IndicatorOffset(), grid->TitleOffset() + 2);
    QWidget* widget = grid->Widget();
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(widget->window(), QPoint(cell.Left + 4, cell.Top + 2)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(grid->LookupValue(), "C0007") << "the clicked row is not taken";
    EXPECT_EQ(Combo->Text(), "Name 0007");
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0");
}

TEST_F(LookupListKeysTest, TypingPutsThePaymentIntoEditUnlessTheListIsReadOnly)
{
    MakeListAndEdit();
    ShowWithList();
    TypeText(Form, "a");
    EXPECT_EQ(Payments->State(), dsEdit);
    Payments->Cancel();

    List->SetReadOnly(true);
    TypeText(Form, "a");
    EXPECT_EQ(Payments->State(), dsBrowse);
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(List->LookupValue(), "C0007") << "a read-only list picks nothing";
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0");
}

TEST_F(LookupListKeysTest, ALookupTableOpenedLaterOrAgainShowsTheFieldsRecord)
{
    T->Close();
    MakeListAndEdit();
    MakeCombo<TdwDBCustomLookupCombo>();
    Combo->SetTop(120);
    ShowForm(Form);
    EXPECT_EQ(Combo->Text(), "C0007") << "without its lookup table the combo shows the key";
    EXPECT_EQ(List->LookupValue(), "");

    T->Open();
    EXPECT_EQ(List->LookupValue(), "C0007");
    EXPECT_EQ(Combo->Text(), "Name 0007");

    // Closing takes the table's fields away; the next opening finds them anew.
    T->Close();
    EXPECT_EQ(List->DisplayField(), nullptr);
    EXPECT_EQ(Combo->Grid()->LookupFieldRef(), nullptr);
    QCoreApplication::processEvents();
    T->Open();
    ASSERT_NE(List->LookupFieldRef(), nullptr);
    EXPECT_EQ(List->LookupFieldRef(), T->FindField("ID"));
    EXPECT_EQ(List->DisplayField(), T->FindField("NAME1"));
    EXPECT_EQ(List->LookupValue(), "C0007");
    List->SetFocus();
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(PostedPayments()[0], "P0001|C0008|10.0");
}

}  // namespace
