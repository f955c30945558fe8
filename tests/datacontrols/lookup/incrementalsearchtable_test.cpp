// The incremental search on the library's own table: typing searches the table's
// active index, narrows it under NarrowSearch, and emptying the text lifts the range.
// Its frame's looks, focused and not.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>

#include "datacontrols/edits/dweditframe.h"

#include "datacontrols/lookup/wwkeycb.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class TableSearchTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(40, {"ID", "UNAME", "NAME"});
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 100);
        Source = new TDataSource(Form);
        Search = new TdwIncrementalSearch(Form);
        Search->SetParent(Form);
        Search->SetBounds(8, 8, 200, 20);
        Search->SetDataSource(Source);
        Search->OnAfterSearch = [this](TdwIncrementalSearch*, bool Found) { Results.push_back(Found); };
        ShowForm(Form);
        Search->SetFocus();
    }
    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
        PaymentsTest::TearDown();
    }

    TdwTable* OpenTable(const String& Name, const String& Index)
    {
        TdwTable* table = DwTable(Name);
        table->SetIndexName(Index);
        table->Open();
        Source->SetDataSet(table);
        return table;
    }
    void Type(const char* Text)
    {
        TypeText(Form, Text);
        Search->FinishPendingSearch();
    }
    static String Id(TDataSet* Table) { return TrimRight(Table->FieldByName("ID")->AsString()); }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TdwIncrementalSearch* Search = nullptr;
    std::vector<bool> Results;
};

TEST_F(TableSearchTest, TypingSearchesTheTablesActiveIndex)
{
    const struct {
        const char* Table;
        const char* Index;
        const char* SearchField;
        const char* Text;
        const char* Id;
    } cases[] = {
            // A plain tag puts "SMYTHE" before "Smith"; its names sort as text.
            {"PAYMENTS", "NAME", "", "Sm", "P00014"},
            {"PAYMENTS", "UNAME", "", "smy", "P00010"},
            // A dBASE table's expression tag is sought with the text.
            {"PAYMENTS.DBF", "UNAME", "", "smy", "P00010"},
            {"PAYMENTS", "ID", "ID", "P0003", "P00030"},
            // Without an index the search field is located, ignoring case.
            {"PAYMENTS", "", "NAME", "JONES 8", "P00008"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.Table) + " " + c.Index + " " + c.Text);
        TdwTable* table = OpenTable(c.Table, c.Index);
        Search->SetSearchField(c.SearchField);
        Search->Clear();
        Results.clear();
        Type(c.Text);
        EXPECT_EQ(Id(table), c.Id);
        EXPECT_EQ(Results, std::vector<bool> {true});
    }
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(TableSearchTest, ANarrowedSearchOffersWhatBeginsWithTheTextUntilTheTextIsEmptied)
{
    TdwTable* table = DwTable("PAYMENTS");
    table->SetIndexName("UNAME");
    table->SetNarrowSearch(true);
    table->Open();
    Source->SetDataSet(table);
    Search->SetShowMatchText(true);
    Type("smy");
    EXPECT_EQ(Results, std::vector<bool> {true});
    EXPECT_EQ(Search->Text(), "SMYTHE 10") << "completed from the first record in the range";
    std::vector<String> offered = Ids(table);
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, PythonIds("PAYMENTS.DBF", "r['NAME'].upper().startswith('SMY')"));

    // The first Backspace takes the completion, the others the typed text.
    for (int i = 0; i < 4; ++i)
        PressKey(Form, Qt::Key_Backspace);
    EXPECT_EQ(Search->Text(), "");
    EXPECT_EQ(Ids(table).size(), 40u);
}

TEST_F(TableSearchTest, EachFrameLookDrawsTheTextInsideItAndATransparentOneShowsTheForm)
{
    OpenTable("PAYMENTS", "UNAME");
    Form->SetColor(clYellow);
    struct Look {
        const char* Name;
        bool Enabled;
        bool Transparent;
        TdwEditFocusStyle NonFocusStyle;
        TdwEditFrameEnabledSet NonFocusBorders;
    };
    const Look looks[] = {
            {"border", false, false, efsFrameBox, {}},
            {"box-bottom", true, false, efsFrameBox, {efBottomBorder}},
            {"sunken-all",
             true,
             false,
             efsFrameSunken,
             {efLeftBorder, efTopBorder, efRightBorder, efBottomBorder}},
            {"raised-all",
             true,
             false,
             efsFrameRaised,
             {efLeftBorder, efTopBorder, efRightBorder, efBottomBorder}},
            {"transparent", true, true, efsFrameBox, {efBottomBorder}},
    };
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(8, 60, 60, 20);
    Search->SetText("SMYTHE");
    const auto shownAt = [this](int X, int Y) {
        const QImage image = Form->Widget()->window()->grab().toImage();
        return image.pixelColor(Search->Widget()->mapTo(Form->Widget()->window(), QPoint(X, Y)));
    };
    const QColor window = ToQColor(ColorToRGB(clWindow));
    for (const Look& look : looks) {
        SCOPED_TRACE(look.Name);
        Search->Frame()->SetEnabled(look.Enabled);
        Search->Frame()->SetTransparent(look.Transparent);
        Search->Frame()->SetNonFocusStyle(look.NonFocusStyle);
        Search->Frame()->SetNonFocusBorders(look.NonFocusBorders);
        if (!look.Enabled)
            Search->SetBorderStyle(bsSingle);
        for (const bool focused : {false, true}) {
            if (focused) {
                Search->SetFocus();
                Search->SetSelStart(6);  // the caret after the text, nothing selected
            } else {
                other->SetFocus();
            }
            QCoreApplication::processEvents();
            const QImage shot = Form->Widget()->window()->grab().toImage().copy(0, 0, 220, 36);
            KeepScreenshot(
                    shot,
                    QString("incrementalsearch-frame-%1%2.png").arg(look.Name, focused ? "-focused" : ""));
            EXPECT_EQ(Search->BorderStyle(), look.Enabled ? bsNone : bsSingle);
            // The empty right end of the text area: the form through a transparent frame
            // left unfocused, the edit's own colour otherwise.
            const QColor empty = shownAt(Search->Width() - 12, Search->Height() / 2);
            EXPECT_EQ(empty, look.Transparent && !focused ? QColor(ToQColor(clYellow)) : window) << focused;
            bool ink = false;
            for (int x = 3; x < 40 && !ink; ++x)
                ink = shownAt(x, Search->Height() / 2).lightness() < 60;
            EXPECT_TRUE(ink) << "the text shows " << focused;
        }
    }
}

}  // namespace
