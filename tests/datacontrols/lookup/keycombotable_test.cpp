// The index chooser over the library's own table: it lists the table's tags by their
// fields' labels, choosing one switches the order and keeps the record, and it is the
// library's combo box, framed and buttoned as the combo beside it.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "datacontrols/edits/dweditframe.h"
#include "datacontrols/edits/wwdbcomb.h"
#include "datacontrols/lookup/wwkeycombo.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class KeyComboTableTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(40, {"ID", "UNAME", "STATEID"});
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 420, 120);
        Source = new TDataSource(Form);
        Chooser = new TdwKeyCombo(Form);
        Chooser->SetParent(Form);
        Chooser->SetBounds(8, 8, 180, 24);
    }
    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
        PaymentsTest::TearDown();
    }

    // The chooser over the payments ordered by ID.
    TdwTable* ChooseForPayments()
    {
        TdwTable* table = DwTable("PAYMENTS");
        table->SetIndexName("ID");
        table->Open();
        Source->SetDataSet(table);
        Chooser->SetDataSource(Source);
        return table;
    }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TdwKeyCombo* Chooser = nullptr;
};

TEST_F(KeyComboTableTest, ChoosingATagSwitchesTheOrderAndKeepsTheRecord)
{
    TdwTable* table = ChooseForPayments();
    ShowForm(Form);
    EXPECT_EQ(Chooser->Items()->Count(), 3);
    EXPECT_EQ(Chooser->Text(), "ID");
    table->Locate("ID", Variant("P00017"), {});

    Chooser->SetFocus();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Chooser->IsDroppedDown());
    PressKey(Form, Qt::Key_Down);
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Chooser->IsDroppedDown());
    EXPECT_EQ(Chooser->Text(), "NAME");
    EXPECT_EQ(table->IndexName(), "UNAME");
    EXPECT_EQ(table->FieldByName("ID")->AsString(), "P00017") << "the record stays current";
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(KeyComboTableTest, ATableFedByAQueryIsRefused)
{
    TdwTable* table = DwTable("PAYMENTS");
    TStringList query;
    query.Add("SELECT * FROM PAYMENTS");
    table->SetQuery(query);
    Source->SetDataSet(table);
    Chooser->SetDataSource(Source);
    Chooser->FillIndexList(nullptr);
    EXPECT_EQ(Chooser->Items()->Count(), 0);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "TdwKeyCombo: DataSet cannot be a TdwTable using a Query.");
}

TEST_F(KeyComboTableTest, TheChooserIsFramedAndButtonedAsTheLibrarysCombo)
{
    ChooseForPayments();
    auto* combo = new TdwDBComboBox(Form);
    combo->SetParent(Form);
    combo->SetBounds(210, 8, 180, 24);
    combo->SetStyle(csDropDownList);
    combo->SetButtonStyle(cbsDownArrow);
    combo->Items()->Add("ID");
    combo->SetItemIndex(0);
    EXPECT_EQ(Chooser->ButtonStyle(), cbsDownArrow);
    ShowForm(Form);
    KeepScreenshot(Form->Widget()->window()->grab(), "keycombo-beside-combobox.png");
    EXPECT_EQ(Chooser->Button()->Width(), combo->Button()->Width());
    EXPECT_EQ(Chooser->Height(), combo->Height());

    // The same frame and flat button on both.
    for (TdwDBCustomComboBox* each :
         {static_cast<TdwDBCustomComboBox*>(Chooser), static_cast<TdwDBCustomComboBox*>(combo)}) {
        each->Frame()->SetEnabled(true);
        each->Frame()->SetNonFocusBorders({efLeftBorder, efTopBorder, efRightBorder, efBottomBorder});
        each->ButtonEffects()->SetFlat(true);
        each->SetButtonWidth(20);
    }
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "keycombo-beside-combobox-framed.png");
    EXPECT_EQ(Chooser->BorderStyle(), bsNone) << "the frame takes the border's place";
    EXPECT_EQ(Chooser->Button()->Width(), 20);
    const QImage image = Form->Widget()->window()->grab().toImage();
    const auto at = [&](TControl* Control, int X, int Y) {
        return image.pixelColor(Control->Widget()->mapTo(Form->Widget()->window(), QPoint(X, Y)));
    };
    for (const QPoint p : {QPoint(0, 12), QPoint(60, 0), QPoint(60, 23)})
        EXPECT_EQ(at(Chooser, p.x(), p.y()), at(combo, p.x(), p.y())) << p.x() << "," << p.y();
}

}  // namespace
