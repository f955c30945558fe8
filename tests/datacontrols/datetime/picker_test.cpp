// The picker bound to fields: a date field of a real table (read back by another
// reader), time and date-time fields, the value kind, null, Required, the clipboard and
// a click on a section.

#include <QTest>
#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/graphics/bitmap.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/memdataset.h"

namespace {

const std::vector<FieldLayout> DueSchema = {{"ID", 'C', 4, 0}, {"DUE", 'D', 8, 0}};

class PickerBoundTest : public PickerTest {
protected:
    // DUES.DBF with one record, its due date March 15, 2009, open under the picker.
    TDaroruTable* OpenDues()
    {
        CreateTable("DUES.DBF", DueSchema);
        AppendImages("DUES.DBF", {Image(DueSchema, {"1", "20090315"})});
        TDaroruTable* table = Table("DUES.DBF");
        table->Open();
        Bind(table, "DUE");
        return table;
    }
    void Bind(TDataSet* DataSet, const String& FieldName)
    {
        auto* source = new TDataSource(Form);
        source->SetDataSet(DataSet);
        Picker->SetDataSource(source);
        Picker->SetDataField(FieldName);
    }
};

TEST_F(PickerBoundTest, ADateTypedIntoATableIsWhatAnotherReaderFinds)
{
    TDaroruTable* table = OpenDues();
    Start();
    EXPECT_EQ(Text(), "03/15/2009");
    EXPECT_EQ(Picker->ValueKind(), TdwDTValueKind::Date);
    EXPECT_EQ(table->State(), dsBrowse);
    Type("12");
    EXPECT_EQ(table->State(), dsEdit) << "typing puts the record into edit state";
    Type("25");
    EXPECT_EQ(Text(), "12/25/2009");
    Other->SetFocus();
    table->Post();
    table->Close();
    EXPECT_EQ(ReadBack("DUES.DBF"), std::vector<String>({"1|2009-12-25"}));

    table->Open();
    Picker->SetFocus();
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "");
    Other->SetFocus();
    EXPECT_TRUE(table->FieldByName("DUE")->IsNull()) << "a cleared date is written as null";
    table->Post();
    table->Close();
    EXPECT_EQ(ReadBack("DUES.DBF"), std::vector<String>({"1|"}));
}

TEST_F(PickerBoundTest, ARequiredFieldKeepsItsValueAndAReadOnlyOneTakesNoKeys)
{
    TDaroruTable* table = OpenDues();
    table->FieldByName("DUE")->SetRequired(true);
    Start();
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "03/15/2009");
    EXPECT_EQ(table->State(), dsBrowse);

    table->FieldByName("DUE")->SetReadOnly(true);
    Picker->SetFocus();
    Type("12");
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Text(), "03/15/2009");
    EXPECT_EQ(Selected(), "03/15/2009") << "the whole text is selected where nothing may be typed";
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(PickerBoundTest, AnEscUndoesTheRecordsEditOfTheField)
{
    TDaroruTable* table = OpenDues();
    Start();
    Type("7");
    EXPECT_EQ(Text(), "07/15/2009");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Text(), "03/15/2009");
    EXPECT_FALSE(Picker->Modified());
    Other->SetFocus();
    EXPECT_DOUBLE_EQ(table->FieldByName("DUE")->AsDateTime(), EncodeDate(2009, 3, 15));
}

TEST_F(PickerBoundTest, TheValueKindFollowsTheFieldOrTheUnboundSetting)
{
    auto* data = new TMemDataSet(Form, {{"D", ftDate}, {"T", ftTime}, {"DT", ftDateTime}});
    data->Open();
    data->AddRows({{"03/04/2009", "10:30:00", "03/04/2009 10:30:00"}});
    struct Case {
        const char* Field;
        const char* DisplayFormat;
        TdwDTEditDataType Unbound;
        TdwDTValueKind Kind;
        const char* Shown;
    };
    const Case cases[] = {
            {"D", "", dwDTEdtDateTime, TdwDTValueKind::Date, "03/04/2009"},
            {"T", "", dwDTEdtDateTime, TdwDTValueKind::Time, "10:30 AM"},
            {"DT", "", dwDTEdtDateTime, TdwDTValueKind::DateTime, "03/04/2009 10:30:00 AM"},
            {"DT", "hh:nn", dwDTEdtDateTime, TdwDTValueKind::Time, "10:30"},
            {"DT", "mm/dd/yyyy hh:nn", dwDTEdtDateTime, TdwDTValueKind::DateTime, "03/04/2009 10:30"},
            {"", "", dwDTEdtDate, TdwDTValueKind::Date, "03/04/2009"},
            {"", "", dwDTEdtTime, TdwDTValueKind::Time, "10:30 AM"},
            {"", "", dwDTEdtDateTime, TdwDTValueKind::DateTime, "03/04/2009 10:30:00 AM"},
    };
    auto* source = new TDataSource(Form);
    source->SetDataSet(data);
    for (const Case& c : cases) {
        Picker->SetDisplayFormat(c.DisplayFormat);
        if (*c.Field) {
            Picker->SetDataSource(source);
            Picker->SetDataField(c.Field);
        } else {
            Picker->SetDataSource(nullptr);
            Picker->SetDataField("");
            Picker->SetUnboundDataType(c.Unbound);
            Picker->SetTime(EncodeTime(10, 30, 0, 0));
            Picker->SetDate(EncodeDate(2009, 3, 4));
        }
        EXPECT_EQ(Picker->ValueKind(), c.Kind) << c.Field << " " << c.DisplayFormat;
        EXPECT_EQ(Text(), c.Shown) << c.Field << " " << c.DisplayFormat;
    }
    Picker->SetDataSource(source);
    EXPECT_EQ(Text(), "") << "a data source without a field shows nothing";
}

TEST_F(PickerBoundTest, ATimeKeepsTheDayOfItsFieldAndADateItsTime)
{
    auto* data = new TMemDataSet(Form, {{"DT", ftDateTime}});
    data->Open();
    data->AddRows({{"03/04/2009 10:30:00"}});
    Bind(data, "DT");
    Picker->SetDisplayFormat("hh:nn");
    Start();
    Type("14");
    Other->SetFocus();
    EXPECT_DOUBLE_EQ(data->FieldByName("DT")->AsDateTime(),
                     EncodeDate(2009, 3, 4) + EncodeTime(14, 30, 0, 0));

    Picker->SetDisplayFormat("mm/dd/yyyy");
    Picker->SetFocus();
    PressKey(Form, Qt::Key_Left);
    PressKey(Form, Qt::Key_Right);
    Type("20");
    Other->SetFocus();
    EXPECT_DOUBLE_EQ(data->FieldByName("DT")->AsDateTime(),
                     EncodeDate(2009, 3, 20) + EncodeTime(14, 30, 0, 0));

    Picker->SetDisplayFormat("hh:nn");
    Picker->SetFocus();
    PressKey(Form, Qt::Key_Delete);
    Other->SetFocus();
    EXPECT_DOUBLE_EQ(data->FieldByName("DT")->AsDateTime(), EncodeDate(2009, 3, 20))
            << "a cleared time leaves the day at midnight";
}

TEST_F(PickerBoundTest, CutAndPasteGoThroughTheClipboard)
{
    Picker->SetUnboundDataType(dwDTEdtDate);
    Start();
    Clipboard()->SetAsText("12/25/2009");
    PressKey(Form, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "12/25/2009");
    Clipboard()->SetAsText("abc");
    PressKey(Form, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "12/25/2009") << "no date: nothing changes";
    EXPECT_TRUE(Picker->Modified());
    PressKey(Form, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Picker->IsNullValue());
    EXPECT_EQ(Clipboard()->AsText(), "12/25/2009") << "what was cut is on the clipboard";

    Picker->SetUnboundDataType(dwDTEdtTime);
    Picker->SetDisplayFormat("hh:nn");
    Clipboard()->SetAsText("10:15");
    PressKey(Form, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "10:15");
}

TEST_F(PickerBoundTest, AClickSelectsTheSectionUnderTheMouse)
{
    Picker->SetUnboundDataType(dwDTEdtDate);
    Start();
    Picker->SetDate(EncodeDate(2009, 12, 25));
    TBitmap measure;
    measure.Canvas()->SetFont(Picker->Font());
    const int x = measure.Canvas()->TextWidth("12/25/20") + 4;
    QTest::mouseClick(Picker->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, Picker->Height() / 2));
    EXPECT_EQ(Picker->CurrentSection(), 3);
    EXPECT_EQ(Selected(), "2009");
    QTest::mouseClick(Picker->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, Picker->Height() / 2));
    EXPECT_EQ(Selected(), "12");
}

}  // namespace
