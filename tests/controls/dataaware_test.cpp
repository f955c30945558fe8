// Data-aware edits on a data set: what they show, which characters they take, and
// what they write into the fields. Every case runs on the framework's in-memory data
// set and on a table file through the engine.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "controls/kvdbdateedit.h"
#include "controls/kvdbdateeditamerican.h"
#include "controls/kvdbdoubleedit.h"
#include "controls/kvdbedit.h"
#include "controls/kvforms.h"
#include "controls/kvlabel.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tables/drodset.h"
#include "tests/controls/editpixels.h"
#include "tests/controls/entryform.h"
#include "tests/support/memdataset.h"
#include "tests/support/tempdir.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// The rows every data set starts with: NAME C 20, AMOUNT N 12.2, PAID D, HIRED C 10.
struct TRecipientRow {
    const char* Name;
    const char* Amount;
    const char* PaidDbf;   // yyyymmdd as a table file stores it
    const char* PaidText;  // mm/dd/yyyy as the field takes it
    const char* Hired;
};
const TRecipientRow Rows[] = {
        {"SMITH", "1234.50", "20080115", "01/15/2008", "01-15-2008"},
        {"JONES", "20.00", "20071231", "12/31/2007", ""},
};

// The in-memory data set of the framework's tests.
struct TMemoryData {
    static TDataSet* Make(TComponent* Owner, const String&)
    {
        auto* set = new TMemDataSet(Owner, {{"NAME", ftString, 20},
                                            {"AMOUNT", ftFloat, 0},
                                            {"PAID", ftDate, 0},
                                            {"HIRED", ftString, 10}});
        set->Open();
        std::vector<std::vector<String>> rows;
        for (const TRecipientRow& row : Rows)
            rows.push_back({row.Name, row.Amount, row.PaidText, row.Hired});
        set->AddRows(rows);
        return set;
    }
};

// A table file written byte by byte, read and written through the engine.
struct TTableData {
    static TDataSet* Make(TComponent* Owner, const String& Dir)
    {
        WriteTableFile(Dir + "RECIP.DBF");
        auto* table = new TDaroruTable(Owner);
        table->SetDatabaseName(Dir);
        table->SetTableName("RECIP");
        return table;
    }

    static void WriteTableFile(const String& Path)
    {
        struct TColumn {
            const char* Name;
            char Type;
            int Width;
            int Decimals;
        };
        const TColumn columns[] = {
                {"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 12, 2}, {"PAID", 'D', 8, 0}, {"HIRED", 'C', 10, 0}};
        const int count = sizeof Rows / sizeof Rows[0];
        int recordLength = 1;
        for (const TColumn& c : columns)
            recordLength += c.Width;
        const int headerLength = 32 + 32 * 4 + 1;
        String file(32, '\0');
        file[0] = 0x03;
        file[1] = 108;
        file[2] = 12;
        file[3] = 10;
        file[4] = static_cast<char>(count);
        file[8] = static_cast<char>(headerLength & 0xFF);
        file[9] = static_cast<char>(headerLength >> 8);
        file[10] = static_cast<char>(recordLength & 0xFF);
        file[11] = static_cast<char>(recordLength >> 8);
        for (const TColumn& c : columns) {
            String field(32, '\0');
            field.replace(0, std::strlen(c.Name), c.Name);
            field[11] = c.Type;
            field[16] = static_cast<char>(c.Width);
            field[17] = static_cast<char>(c.Decimals);
            file += field;
        }
        file += '\x0D';
        for (const TRecipientRow& row : Rows) {
            file += ' ';
            const String values[] = {row.Name, row.Amount, row.PaidDbf, row.Hired};
            for (int i = 0; i < 4; ++i) {
                const String pad(static_cast<size_t>(columns[i].Width) - values[i].size(), ' ');
                file += columns[i].Type == 'N' ? pad + values[i] : values[i] + pad;
            }
        }
        file += '\x1A';
        std::ofstream(Path, std::ios::binary) << file;
    }
};

// A recipient form with one data-aware edit of each kind, each on its numbered line.
class TRecipientForm : public TKVMouseFreeForm {
public:
    TRecipientForm(TComponent* AOwner, TDataSet* Data) : TKVMouseFreeForm(AOwner)
    {
        Source = new TDataSource(this);
        Source->SetDataSet(Data);
        Name = Line<TKVDBEdit>("NAME");
        Amount = Line<TKVDBDoubleEdit>("AMOUNT");
        Paid = Line<TKVDBDateEditAmerican>("PAID");
        Hired = Line<TKVDBDateEdit>("HIRED");
        Other = Line<TKVDBEdit>("NAME");
        Panel = new TKVCommander(this);
        Panel->SetParent(this);
    }

    template<class T> T* Line(const String& FieldName)
    {
        auto* label = new TKVLabel(this);
        label->SetParent(this);
        label->SetBounds(8, NextTop + 4, 60, 13);
        label->SetCaption(FieldName);
        T* edit = new T(this);
        edit->SetParent(this);
        edit->SetBounds(120, NextTop, 120, 21);
        edit->SetDataSource(Source);
        edit->SetDataField(FieldName);
        label->SetFirstControl(edit);
        NextTop += 28;
        return edit;
    }

    int NextTop = 8;
    TDataSource* Source;
    TKVDBEdit* Name;
    TKVDBDoubleEdit* Amount;
    TKVDBDateEditAmerican* Paid;
    TKVDBDateEdit* Hired;
    TKVDBEdit* Other;
    TKVCommander* Panel;
};

template<class TData> class DataAwareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ShortDateFormat = "mm/dd/yyyy";
        DateSeparator = '/';
        Scratch.emplace("controls-test");
        Dir = Scratch->Path();
        Owner = std::make_unique<TComponent>(nullptr);
        Data = TData::Make(Owner.get(), Dir);
        Data->Open();
        ASSERT_TRUE(Data->Active());
        Form = Construct<TRecipientForm>(nullptr, Data);
        ShowForm(Form);
    }
    void TearDown() override
    {
        if (Form)
            Form->Free();
        Owner.reset();
        Scratch.reset();
    }

    TField* Field(const char* Name) const { return Data->FieldByName(Name); }
    void Focus(TWinControl* Edit) { Form->SetActiveControl(Edit); }
    void Leave() { Form->SetActiveControl(Form->Other); }
    void Type(const char* Text) { TypeText(Form, Text); }

    TScriptedDialogs Dialogs;
    std::optional<TempDir> Scratch;
    String Dir;
    std::unique_ptr<TComponent> Owner;
    TDataSet* Data = nullptr;
    TRecipientForm* Form = nullptr;
};

using DataKinds = ::testing::Types<TMemoryData, TTableData>;
TYPED_TEST_SUITE(DataAwareTest, DataKinds);

TYPED_TEST(DataAwareTest, EditsShowTheCurrentRecordAndFollowScrolling)
{
    EXPECT_EQ(this->Form->Name->Text(), "SMITH");
    EXPECT_EQ(this->Form->Hired->Text(), "01-15-2008");
    EXPECT_EQ(this->Form->Paid->Text(), "01/15/2008");
    this->Data->Next();
    EXPECT_EQ(this->Form->Name->Text(), "JONES");
    EXPECT_EQ(this->Form->Hired->Text(), "");
}

TYPED_TEST(DataAwareTest, TextEditWritesItsFieldOnExitAndThePostKeepsIt)
{
    this->Focus(this->Form->Name);
    this->Type("BROWN");
    EXPECT_EQ(this->Data->State(), dsEdit);
    EXPECT_EQ(this->Field("NAME")->AsString(), "SMITH");
    this->Leave();
    EXPECT_EQ(this->Field("NAME")->AsString(), "BROWN");
    this->Data->Post();
    this->Data->Close();
    this->Data->Open();
    EXPECT_EQ(this->Field("NAME")->AsString(), "BROWN");
    EXPECT_EQ(this->Form->Name->Text(), "BROWN");
}

TYPED_TEST(DataAwareTest, NumberEditShowsTheEditFormatOnlyWhileFocused)
{
    auto* amount = dynamic_cast<TFloatField*>(this->Field("AMOUNT"));
    ASSERT_NE(amount, nullptr);
    amount->SetDisplayFormat("$#,.00");
    amount->SetEditFormat("#.00");
    EXPECT_EQ(this->Form->Amount->Text(), "$1,234.50");
    EXPECT_FALSE(this->Form->Amount->IsFocused());
    this->Focus(this->Form->Amount);
    EXPECT_EQ(this->Form->Amount->Text(), "1234.50");
    EXPECT_TRUE(this->Form->Amount->IsFocused());
    this->Leave();
    EXPECT_EQ(this->Form->Amount->Text(), "$1,234.50");
    EXPECT_FALSE(this->Form->Amount->IsFocused());
}

TYPED_TEST(DataAwareTest, NumberEditTextSitsTwoPixelsInFromTheRightOnlyWithoutTheFocus)
{
    TKVDBDoubleEdit* amount = this->Form->Amount;
    amount->SetColor(clAqua);
    const int width = amount->Width();
    auto expectRight = [&] {
        const TEditPixels pixels(amount);
        const auto ink = pixels.Ink();
        // The text's last column is 2 pixels in from the client area's right edge,
        // give or take the glyph's own side bearing.
        EXPECT_LE(ink.Last, width - pixels.Frame - 3);
        EXPECT_GE(ink.Last, width - pixels.Frame - 5);
        EXPECT_GT(ink.First, width / 2);
        EXPECT_GE(ink.Top, pixels.Frame + 2);
        EXPECT_EQ(pixels.InClient(1, 1), clAqua);
    };
    expectRight();
    this->Focus(amount);
    {
        const TEditPixels pixels(amount);
        EXPECT_LE(pixels.Ink().First, pixels.Frame + 4);
        EXPECT_LT(pixels.Ink().Last, width / 2);
    }
    this->Leave();
    expectRight();
}

TYPED_TEST(DataAwareTest, EscGivesUpTheTypedText)
{
    this->Focus(this->Form->Name);
    this->Type("BROWN");
    PressKey(this->Form, Qt::Key_Escape);
    EXPECT_EQ(this->Form->Name->Text(), "SMITH");
    this->Leave();
    EXPECT_EQ(this->Field("NAME")->AsString(), "SMITH");
}

TYPED_TEST(DataAwareTest, NumberEditRefusesWhatTheFieldCannotTake)
{
    this->Focus(this->Form->Amount);
    this->Type("1a5,x0 ");
    EXPECT_EQ(this->Form->Amount->Text(), "150");
    EXPECT_EQ(this->Dialogs.Beeps, 4);
    this->Leave();
    EXPECT_DOUBLE_EQ(this->Field("AMOUNT")->AsFloat(), 150.0);
}

TYPED_TEST(DataAwareTest, DateEditWritesTheProgramsDateBeforeTheExitHandler)
{
    String seen;
    this->Form->Hired->OnExit = [&](TObject*) { seen = this->Field("HIRED")->AsString(); };
    this->Focus(this->Form->Hired);
    this->Type("123108");
    this->Leave();
    EXPECT_EQ(this->Field("HIRED")->AsString(), "12-31-2008");
    EXPECT_EQ(seen, "12-31-2008");
    EXPECT_EQ(this->Form->Hired->Text(), "12-31-2008");
}

TYPED_TEST(DataAwareTest, AmericanDateEditFillsADateField)
{
    const struct {
        const char* Typed;
        const char* Shown;
    } cases[] = {{"123108", "12/31/2008"}, {"12312008", "12/31/2008"}, {"070499", "07/04/1999"}};
    for (const auto& c : cases) {
        this->Focus(this->Form->Paid);
        this->Type(c.Typed);
        this->Leave();
        EXPECT_EQ(this->Field("PAID")->AsString(), c.Shown) << c.Typed;
    }
    int year = 0, month = 0, day = 0;
    DecodeDate(this->Field("PAID")->AsDateTime(), year, month, day);
    EXPECT_EQ(year * 10000 + month * 100 + day, 19990704);
}

TYPED_TEST(DataAwareTest, AmericanDateEditTakesSlashesWhenToldTo)
{
    int closes = 0;
    this->Form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    this->Form->Paid->SetDontSlashClose(true);
    this->Focus(this->Form->Paid);
    this->Type("3/4/2009");
    EXPECT_EQ(closes, 0);
    this->Leave();
    // Seven digits are neither of the two shapes: they stay digits, and the date field refuses them.
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Paid);
    ASSERT_EQ(this->Dialogs.Messages.size(), 1u);
    this->Type("03/04/2009");
    this->Leave();
    EXPECT_EQ(this->Field("PAID")->AsString(), "03/04/2009");
    EXPECT_FALSE(this->Form->Panel->SlashCloseGuard);
}

TYPED_TEST(DataAwareTest, ImpossibleDateIsRefusedAndTheFocusStays)
{
    int exits = 0;
    this->Form->Paid->OnExit = [&](TObject*) { ++exits; };
    this->Focus(this->Form->Paid);
    this->Type("133208");
    this->Leave();
    ASSERT_EQ(this->Dialogs.Messages.size(), 1u);
    EXPECT_THAT(this->Dialogs.Messages[0].Text, HasSubstr("is not a valid date"));
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Paid);
    EXPECT_EQ(this->Form->Paid->Text(), "13/32/08");
    this->Data->Cancel();
    EXPECT_EQ(this->Field("PAID")->AsString(), "01/15/2008");
}

TYPED_TEST(DataAwareTest, DateEditPutsABrowsingSetIntoEditStateEvenUnchanged)
{
    ASSERT_EQ(this->Data->State(), dsBrowse);
    this->Focus(this->Form->Hired);
    this->Leave();
    EXPECT_EQ(this->Data->State(), dsEdit);
    EXPECT_EQ(this->Field("HIRED")->AsString(), "01-15-2008");
}

TYPED_TEST(DataAwareTest, ReadOnlyDateFieldCanBeLeft)
{
    this->Field("HIRED")->SetReadOnly(true);
    this->Focus(this->Form->Hired);
    this->Type("123108");
    this->Leave();
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Other);
    EXPECT_THAT(this->Dialogs.Messages, IsEmpty());
    EXPECT_EQ(this->Data->State(), dsBrowse);
    EXPECT_EQ(this->Field("HIRED")->AsString(), "01-15-2008");
}

TYPED_TEST(DataAwareTest, DataAwareEditEndingAGroupReturnsToTheEntry)
{
    TypeText(this->Form, "02");
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Amount);
    this->Type("7");
    PressKey(this->Form, Qt::Key_Return);
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Panel->MouseFreeEdit());
    EXPECT_DOUBLE_EQ(this->Field("AMOUNT")->AsFloat(), 7.0);

    this->Form->Name->SetDisableMouseFree(true);
    TypeText(this->Form, "01");
    PressKey(this->Form, Qt::Key_Return);
    EXPECT_EQ(this->Form->ActiveControl(), this->Form->Amount);
}

}  // namespace
