// The library table on a real payments table: filters and the record filter event,
// the index helpers, keys, ranges and master-detail, and what it refuses to open.

#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/dwfilterinstall.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "datacontrols/datasets/wwquery.h"
#include "platform/classes/object.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/testserver.h"

namespace {

TStringList Lines(std::initializer_list<const char*> Texts)
{
    TStringList lines;
    for (const char* text : Texts)
        lines.Add(text);
    return lines;
}

class WwTableTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(Rows, {"ID", "UNAME", "NAME", "STATEID", "USTATEID"});
        T = DwTable("PAYMENTS");
        T->SetIndexName("ID");
        T->Open();
    }
    void TearDown() override
    {
        dwSetEscapePoll(nullptr);
        PaymentsTest::TearDown();
    }

    String Id() { return TrimRight(T->FieldByName("ID")->AsString()); }

    int Rows = 40;
    TdwTable* T = nullptr;
    TScriptedDialogs Dialogs;
};

TEST_F(WwTableTest, FilterLinesAreJoinedWithAndWithoutBlanksOrEmptyLines)
{
    T->SetdwFilter(Lines({"a=1", "", "b=2 ", " \t"}));
    EXPECT_EQ(T->FilterText(), "a=1 AND (b=2)");
    T->SetdwFilter(Lines({"", "QTY > 3\t"}));
    EXPECT_EQ(T->FilterText(), "QTY > 3");
}

TEST_F(WwTableTest, SettingTheFilterOnAnOpenTableFiltersAtOnceAndAnEmptyOneShowsAll)
{
    T->SetdwFilter(Lines({"STATE = \"NY\""}));
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00002", "P00007", "P00012", "P00017", "P00022", "P00027",
                                            "P00032", "P00037"}));
    EXPECT_FALSE(T->IsSequenced());
    T->SetdwFilter(Lines({}));
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
    EXPECT_TRUE(T->IsSequenced());
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(WwTableTest, AFilterThatCannotBeSetSaysWhyAndKeepsTheFilterInForce)
{
    const std::vector<String> newYork {"P00002", "P00007", "P00012", "P00017",
                                       "P00022", "P00027", "P00032", "P00037"};
    const struct {
        const char* Text;
        const char* Why;
    } cases[] = {
            {"STATE = \"NY\" junk", "Invalid filter expression. \rUnexpected \"junk\" at position 14"},
            {"ZIP = 1", "Field not found in Table. \rZIP"},
            {"QTY > 40000",
             "Invalid filter expression. \r40000 is out of range for QTY (-32768 to 32767) at position 7"},
            {"DUE > \"02/30/2024\"",
             "Invalid filter expression. \r'02/30/2024' is not a valid date for DUE at position 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        T->SetdwFilter(Lines({"STATE = \"NY\""}));
        Dialogs.Messages.clear();
        T->SetdwFilter(Lines({c.Text}));
        std::vector<String> texts;
        for (const TMessageRequest& m : Dialogs.Messages)
            texts.push_back(m.Text);
        EXPECT_EQ(texts, (std::vector<String> {c.Why, "Fail to set filter"}));
        EXPECT_EQ(Ids(T), newYork);
        EXPECT_FALSE(T->IsSequenced());
    }
}

TEST_F(WwTableTest, ATableWhoseFilterCannotBeSetDoesNotOpen)
{
    T->Close();
    T->SetdwFilter(Lines({"QTY < 3", "STATE = \"NY\" AND"}));
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "Fail to set filter");
    EXPECT_FALSE(T->Active());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Invalid filter expression. \rUnexpected \")\" at position 30");
    T->SetdwFilter(Lines({"QTY < 3"}));
    T->Open();
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00001", "P00002"}));
}

TEST_F(WwTableTest, AFilterSetWhileClosedAppliesAtTheNextOpen)
{
    T->Close();
    T->SetdwFilter(Lines({"QTY < 3"}));
    EXPECT_TRUE(T->CursorFilters().Filtering() == false);
    T->Open();
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00001", "P00002"}));
    T->Close();
    T->Open();
    EXPECT_EQ(Ids(T).size(), 2u);
}

TEST_F(WwTableTest, TheRecordFilterEventDecidesWhileEnabled)
{
    T->SetOnFilter(
            [](TdwTable* Table, bool& Accept) { Accept = Table->FieldByName("QTY")->AsInteger() % 10 == 0; });
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00010", "P00020", "P00030", "P00040"}));
    EXPECT_FALSE(T->IsSequenced());

    // The filter text and the event both apply.
    T->SetdwFilter(Lines({"QTY > 15"}));
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00020", "P00030", "P00040"}));
    T->SetdwFilter(Lines({}));

    // Switching the option off shows every record at once.
    TdwOnFilterOptions options = T->OnFilterOptions();
    options.Exclude(ofoEnabled);
    T->SetOnFilterOptions(options);
    EXPECT_EQ(T->RecordCount() > 0, true);
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
    options.Include(ofoEnabled);
    T->SetOnFilterOptions(options);
    T->Refresh();
    EXPECT_EQ(Ids(T).size(), 4u);

    T->SetOnFilter(nullptr);
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
    EXPECT_TRUE(T->IsSequenced());
}

TEST_F(WwTableTest, TheHourglassShowsFromTheFirstRejectedRecordAndTheCursorFromBeforeReturns)
{
    GuiScreen()->SetCursor(crHandPoint);
    std::vector<TCursor> seen;
    auto rejectFirstFive = [&](TdwTable* Table, bool& Accept) {
        seen.push_back(GuiScreen()->Cursor());
        Accept = Table->FieldByName("QTY")->AsInteger() > 5;
    };
    T->SetOnFilter(rejectFirstFive);
    seen.clear();
    T->First();
    // Records 1..5 are rejected in one read: the hourglass is up from the second.
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(seen[0], crHandPoint);
    EXPECT_EQ(seen[1], crHourGlass);
    EXPECT_EQ(seen[4], crHourGlass);
    EXPECT_EQ(Id(), "P00006");
    EXPECT_EQ(GuiScreen()->Cursor(), crHandPoint);

    T->SetOnFilterOptions({ofoEnabled});
    seen.clear();
    T->First();
    EXPECT_GE(seen.size(), 6u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), crHandPoint), std::ptrdiff_t(seen.size()));
    GuiScreen()->SetCursor(crDefault);
}

TEST_F(WwTableTest, EscIsLookedForEveryHundredthCallAndCancelsFiltering)
{
    int calls = 0;
    std::vector<int> polledAt;
    bool pressEsc = false;
    dwSetEscapePoll([&] {
        polledAt.push_back(calls);
        return pressEsc;
    });
    T->SetOnFilterOptions({ofoEnabled, ofoCancelOnEscape});
    T->SetOnFilter([&](TdwTable*, bool& Accept) {
        ++calls;
        Accept = false;
    });
    // Past the counter's wrap at 32000 the checks keep their rhythm.
    while (calls < 32150)
        T->Refresh();
    ASSERT_EQ(polledAt.size(), size_t(calls / 100));
    for (size_t i = 0; i < polledAt.size(); ++i)
        ASSERT_EQ(polledAt[i], int(100 * (i + 1)));

    int escapes = 0;
    T->OnFilterEscape = [&](TDataSet* DataSet) {
        EXPECT_EQ(DataSet, T);
        ++escapes;
    };
    pressEsc = true;
    T->Refresh();
    EXPECT_EQ(escapes, 1);
    EXPECT_FALSE(T->OnFilterOptions().Contains(ofoEnabled));
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
}

// A table long enough that walking it with a record filter takes a while.
class WwTableLongWalkTest : public WwTableTest {
protected:
    WwTableLongWalkTest() { Rows = 1000; }
};

TEST_F(WwTableLongWalkTest, AnEscTypedDuringAFilteredWalkStopsTheFilterAndStillReachesTheFocusedControl)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(8, 8, 120, 24);
    std::vector<Word> keysSeen;
    edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keysSeen.push_back(Key); };
    ShowForm(form);
    edit->SetFocus();
    QCoreApplication::processEvents();
    QWindow* window = form->Widget()->window()->windowHandle();

    // Esc is typed while the walk runs: it waits in the program's queue until the walk
    // looks at it.
    std::unique_ptr<TQueuedTypist> typist;
    int calls = 0;
    int escapedAt = 0;
    std::vector<Word> keysSeenAtEscape;
    T->OnFilterEscape = [&](TDataSet*) {
        escapedAt = calls;
        keysSeenAtEscape = keysSeen;
    };
    T->Close();
    T->SetOnFilterOptions({ofoEnabled, ofoCancelOnEscape});
    T->SetOnFilter([&](TdwTable*, bool& Accept) {
        Accept = false;
        if (++calls == 150)
            typist = std::make_unique<TQueuedTypist>(window, Qt::Key_Escape, QString(QChar(27)));
    });
    T->Open();
    typist->Finish();
    QCoreApplication::processEvents();

    EXPECT_EQ(escapedAt, 200) << "the first look after the key found it";
    EXPECT_FALSE(T->OnFilterOptions().Contains(ofoEnabled));
    EXPECT_EQ(Ids(T).size(), size_t(Rows)) << "the filter no longer hides records";
    EXPECT_TRUE(keysSeenAtEscape.empty()) << "looking handles nothing";
    EXPECT_EQ(keysSeen, std::vector<Word> {VK_ESCAPE}) << "the key was left for the program";
    form->Free();
}

TEST_F(WwTableTest, IndexesAreFoundInFourPasses)
{
    struct {
        const char* Fields;
        const char* Index;
    } cases[] = {
            {"NAME", "UNAME"},         // case-insensitive before case-sensitive
            {"name", "UNAME"},         // names compared upper-cased
            {"ID", "ID"},              // case-sensitive exact
            {"STATE;ID", "USTATEID"},  // both exact: case-insensitive first
            {"STATE", "USTATEID"},     // a prefix, case-insensitive first
            {"ZIP", "?"},
            {"ID;STATE", "?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(T->FindIndexForFields(c.Fields), c.Index) << c.Fields;
    EXPECT_EQ(T->GetIndexFieldsByName("STATEID"), "STATE;ID");
    EXPECT_EQ(T->GetIndexFieldsByName(""), "");
    EXPECT_EQ(T->IndexDefs()->Find("UNAME")->Options().Contains(ixCaseInsensitive), true);
}

TEST_F(WwTableTest, SelectingAnIndexForAFieldKeepsTheRecord)
{
    ASSERT_TRUE(T->dwFindKey({"P00017"}, 0));
    EXPECT_TRUE(T->SelectIndexForField("NAME"));
    EXPECT_EQ(T->IndexName(), "UNAME");
    EXPECT_EQ(Id(), "P00017");
    EXPECT_TRUE(T->SelectIndexForField("name"));  // its first field already
    EXPECT_FALSE(T->SelectIndexForField("AMOUNT"));
    EXPECT_FALSE(T->SelectIndexForField(""));
    EXPECT_EQ(T->IndexName(), "UNAME");
}

TEST_F(WwTableTest, AnIndexChosenByItsFieldsIsTheActiveOneUntilAnotherIsChosen)
{
    EXPECT_TRUE(dwSetIndexFieldNames(T, "STATE;ID"));
    EXPECT_EQ(T->IndexName(), "USTATEID");
    EXPECT_EQ(dwGetIndexFieldNames(T), "STATE;ID");
    EXPECT_EQ(Ids(T).front(), "P00005");  // the first CA record
    EXPECT_TRUE(T->SelectIndexForField("state"));
    EXPECT_EQ(T->IndexFieldNames(), "STATE;ID");
    EXPECT_TRUE(T->SelectIndexForField("ID"));
    EXPECT_EQ(T->IndexName(), "ID");
    EXPECT_EQ(T->IndexFieldNames(), "");
    EXPECT_EQ(MessageOf([&] { T->SetIndexFieldNames("AMOUNT"); }), "No index for fields 'AMOUNT'");

    // Chosen while closed, the index is found when the table opens.
    T->Close();
    T->SetIndexFieldNames("NAME");
    T->Open();
    EXPECT_EQ(T->IndexName(), "UNAME");
}

TEST_F(WwTableTest, AnIndexServesFieldsThatBeginItAndCompareAsItDoes)
{
    T->SetIndexName("STATEID");
    const struct {
        const char* Fields;
        bool CaseSensitive;
        bool Serves;
    } cases[] = {{"STATE;ID", true, true},
                 {"state", true, true},
                 {"ID", true, false},
                 {"STATE;ID", false, false},
                 {"STATE;ID;NAME", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fields);
        EXPECT_EQ(dwIsIndexForFields(T, c.Fields, c.CaseSensitive), c.Serves);
    }
    T->SetIndexName("UNAME");
    EXPECT_TRUE(dwIsIndexForFields(T, "NAME", false));
    EXPECT_FALSE(dwIsIndexForFields(T, "NAME", true));
    EXPECT_EQ(MessageOf([&] { dwIsIndexForFields(T, "ZIP", false); }), "Payments1: Field 'ZIP' not found");
}

TEST_F(WwTableTest, FindKeySeeksOnTheActiveIndexAndWarnsOnlyOfTooManyValues)
{
    EXPECT_TRUE(T->dwFindKey({"P00023"}, 0));
    EXPECT_EQ(Id(), "P00023");
    EXPECT_FALSE(T->dwFindKey({"P99999"}, 0));
    EXPECT_EQ(Id(), "P00023");
    EXPECT_TRUE(Dialogs.Messages.empty());

    EXPECT_FALSE(T->dwFindKey({"P00001", "x"}, 1));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Table Payments1: FindKey has too many lookup values for index ID");
    EXPECT_EQ(Id(), "P00023");

    // As many values as the index has fields.
    T->SetIndexName("STATEID");
    EXPECT_TRUE(T->dwFindKey({"TX", "P00008"}, 1));
    EXPECT_EQ(Id(), "P00008");
    // A case-insensitive index finds any case.
    T->SetIndexName("UNAME");
    EXPECT_TRUE(T->dwFindKey({"smythe 24"}, 0));
    EXPECT_EQ(Id(), "P00024");
    EXPECT_EQ(Dialogs.Messages.size(), 1u);

    T->SetIndexName("");
    EXPECT_FALSE(T->dwFindKey({"P00001"}, 0));
}

TEST_F(WwTableTest, FindKeyOnANarrowedSearchCancelsTheRangeFirst)
{
    T->SetIndexName("STATEID");
    T->ApplyRangeFrom({"WA"}, 0);
    ASSERT_TRUE(T->Scoped());
    EXPECT_EQ(Ids(T).front(), "P00004");
    T->SetNarrowSearch(true);
    EXPECT_TRUE(T->dwFindKey({"CA", "P00005"}, 1));
    EXPECT_FALSE(T->Scoped());
    EXPECT_EQ(Id(), "P00005");
}

// A library table reached through the database server, keeping in step by ranges.
class WwTableThroughServerTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(Rows, {"ID", "STATEID"});
        Server = std::make_unique<TTestServer>(Dir);
        Connection = std::make_unique<TDaroruServerConnection>(nullptr);
        Connection->SetPort(Server->Port());
        Connection->SetActive(true);
        ASSERT_TRUE(Connection->Active());
        T = DwTable("PAYMENTS");
        T->SetDaroruConnection(Connection.get());
        T->SetAccessMethod(amServer);
        T->SetIndexName("STATEID");
        T->SetSyncSQLByRange(true);
        T->Open();
    }
    // The tables go before the connection they use.
    void TearDown() override
    {
        DwTables.clear();
        PaymentsTest::TearDown();
    }
    // The IDs of the records whose state passes, in STATE + ID order.
    std::vector<String> IdsOfStates(const std::function<bool(const String&)>& Passes)
    {
        std::vector<std::pair<String, String>> keys;
        for (int i = 1; i <= Rows; ++i) {
            const std::vector<String> row = PaymentValues(i);
            if (Passes(row[2]))
                keys.emplace_back(row[2], row[0]);
        }
        std::sort(keys.begin(), keys.end());
        std::vector<String> ids;
        for (const auto& key : keys)
            ids.push_back(key.second);
        return ids;
    }

    const int Rows = 40;
    TdwTable* T = nullptr;
    TScriptedDialogs Dialogs;
};

TEST_F(WwTableThroughServerTest, FindKeyNarrowsWithARangeFromTheKeyOrToItAloneForALookup)
{
    EXPECT_TRUE(T->dwFindKey({"NY"}, 0));
    EXPECT_TRUE(T->Scoped());
    EXPECT_EQ(Ids(T), IdsOfStates([](const String& State) { return State >= "NY"; }));
    // A record that already matches stays where it is.
    T->Last();
    const String last = TrimRight(T->FieldByName("ID")->AsString());
    EXPECT_TRUE(T->dwFindKey({"WA"}, 0));
    EXPECT_EQ(TrimRight(T->FieldByName("ID")->AsString()), last);

    T->SetLookingUp(true);
    EXPECT_TRUE(T->dwFindKey({"TX"}, 0));
    EXPECT_EQ(Ids(T), IdsOfStates([](const String& State) { return State == "TX"; }));
    EXPECT_FALSE(T->dwFindKey({"ZZ"}, 0));
    EXPECT_FALSE(T->dwFindKey({""}, 0));
    EXPECT_TRUE(T->Scoped());
    T->SetLookingUp(false);

    // An empty first value cancels the range.
    T->dwFindKey({""}, 0);
    EXPECT_FALSE(T->Scoped());
    EXPECT_EQ(Ids(T).size(), size_t(Rows));

    // Without the setting the key is sought, and nothing is narrowed.
    T->SetSyncSQLByRange(false);
    EXPECT_TRUE(T->dwFindKey({"NY"}, 0));
    EXPECT_FALSE(T->Scoped());
    EXPECT_EQ(TrimRight(T->FieldByName("STATE")->AsString()), "NY");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(WwTableTest, RangesRunFromTheKeyOnAndCancel)
{
    T->SetIndexName("STATEID");
    T->ApplyRangeFrom({"TX"}, 0);
    std::vector<String> states;
    for (T->First(); !T->Eof(); T->Next())
        states.push_back(T->FieldByName("STATE")->AsString());
    EXPECT_EQ(states.size(), size_t(Rows * 2 / 5));
    EXPECT_EQ(states.front(), "TX");
    EXPECT_EQ(states.back(), "WA");

    TdwTable* other = DwTable("PAYMENTS");
    other->Open();
    // Every index field takes the other table's value: from CA and P00040 on.
    other->Last();
    T->ApplyRangeFromDataSet(other);
    EXPECT_EQ(Ids(T).size(), size_t(Rows - 7));
    other->First();  // IL and P00001
    T->ApplyRangeFromDataSet(other);
    EXPECT_EQ(Ids(T).size(), size_t(Rows * 4 / 5));
    T->ApplyRangeFromDataSet(T);
    EXPECT_EQ(Ids(T).size(), size_t(Rows * 4 / 5));

    T->dwCancelRange();
    EXPECT_FALSE(T->Scoped());
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
}

TEST_F(WwTableTest, ANearestSearchStopsAtTheNextKey)
{
    dwGotoNearest(T, {"P0001Z"});
    EXPECT_EQ(Id(), "P00020");
    dwGotoNearest(T, {"P00017"});
    EXPECT_EQ(Id(), "P00017");
    dwGotoNearest(T, {"Q"});
    EXPECT_EQ(Id(), "P00040");
    T->SetIndexName("UNAME");
    dwGotoNearest(T, {"n"});
    EXPECT_EQ(UpperCase(T->FieldByName("NAME")->AsString()).substr(0, 2), "NG");
}

TEST_F(WwTableTest, ADetailFollowsItsMasterAndChoosesIndexesAfterTheLink)
{
    CreateTable("STATES.DBF", {{"STATE", 'C', 2, 0}});
    AppendImages("STATES.DBF",
                 {Image({{"STATE", 'C', 2, 0}}, {"NY"}), Image({{"STATE", 'C', 2, 0}}, {"WA"})});
    TdwTable* master = DwTable("STATES");
    master->Open();
    TDataSource source(nullptr);
    source.SetDataSet(master);

    T->Close();
    T->SetIndexName("STATEID");
    T->SetMasterSource(&source);
    T->SetMasterFields("STATE");
    T->Open();
    for (const char* state : {"NY", "WA"}) {
        std::vector<String> ids = Ids(T);
        EXPECT_EQ(ids.size(), size_t(Rows / 5)) << state;
        for (T->First(); !T->Eof(); T->Next())
            EXPECT_EQ(T->FieldByName("STATE")->AsString(), state);
        master->Next();
    }
    master->First();
    // The link's field first, then the field searched.
    EXPECT_TRUE(T->SelectIndexForField("ID"));
    EXPECT_EQ(T->IndexName(), "USTATEID");
    for (T->First(); !T->Eof(); T->Next())
        EXPECT_EQ(T->FieldByName("STATE")->AsString(), "NY");
    EXPECT_FALSE(T->SelectIndexForField("NAME"));
    T->Close();
    T->SetMasterSource(nullptr);
}

TEST_F(WwTableTest, ATableOfTheEnginesDriverFiltersThroughTheEngineQuery)
{
    T->Close();
    T->SetTableType(ttDriverFOX);
    T->SetdwFilter(Lines({"STATE = \"NY\" .AND. QTY > 20"}));
    T->Open();
    EXPECT_EQ(Ids(T), (std::vector<String> {"P00022", "P00027", "P00032", "P00037"}));
    EXPECT_EQ(T->DBFilter(), "STATE = \"NY\" .AND. QTY > 20");
    // An empty text clears the engine's query.
    T->SetdwFilter(Lines({}));
    EXPECT_EQ(T->DBFilter(), "");
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
    // A text longer than the engine's query takes is refused, not cut.
    T->SetdwFilter(Lines({("QTY > 1 .AND. " + String(250, ' ') + "QTY < 9").c_str()}));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Fail to set filter");
    EXPECT_EQ(Ids(T).size(), size_t(Rows));
    T->SetdwFilter(Lines({"NOSUCHFIELD = 1"}));
    EXPECT_EQ(Dialogs.Messages.size(), 2u);
}

TEST_F(WwTableTest, AnSqlTextShowsItsAnswerFromTheLocalEngineReadOnlyAndFilterable)
{
    T->Close();
    T->SetQuery(Lines({"SELECT ID, STATE, AMOUNT, QTY, PAID, DUE, AMOUNT * 2 AS \"Twice the amount\"",
                       "FROM PAYMENTS WHERE STATE = 'NY'", "ORDER BY AMOUNT DESC"}));
    // Closed, the table learns its fields from the answer, which goes again.
    T->FieldDefs()->Update();
    EXPECT_EQ(T->FieldDefs()->Count(), 7);
    EXPECT_NE(T->FieldDefs()->FindDef("TWICE_THE_"), nullptr);
    EXPECT_EQ(T->TableName(), "");
    T->Open();
    std::vector<std::pair<double, String>> byAmount;
    for (int i = 1; i <= Rows; ++i) {
        const std::vector<String> row = PaymentValues(i);
        if (row[2] == "NY")
            byAmount.emplace_back(std::stod(row[3]), row[0]);
    }
    std::sort(byAmount.rbegin(), byAmount.rend());
    std::vector<String> expected;
    for (const auto& [amount, id] : byAmount)
        expected.push_back(id);
    EXPECT_EQ(Ids(T), expected);
    EXPECT_EQ(T->FieldByName("DUE")->DataType(), ftDate);
    EXPECT_EQ(T->FieldByName("PAID")->DataType(), ftBoolean);
    T->First();
    EXPECT_DOUBLE_EQ(T->FieldByName("TWICE_THE_")->AsFloat(), 2 * byAmount[0].first);
    EXPECT_NE(MessageOf([&] { T->Edit(); }), "no error");

    // The answer filters like a table, and goes with the table.
    T->SetdwFilter(Lines({"QTY > 20 AND PAID = F"}));
    std::vector<String> filtered;
    for (const auto& [amount, id] : byAmount) {
        const std::vector<String> row = PaymentValues(std::stoi(id.substr(1)));
        if (std::stoi(row[4]) > 20 && row[5] == "F")
            filtered.push_back(id);
    }
    EXPECT_EQ(Ids(T), filtered);
    EXPECT_TRUE(Dialogs.Messages.empty());
    T->Close();
    EXPECT_EQ(T->TableName(), "");

    T->SetdwFilter(Lines({}));
    T->SetQuery(Lines({"SELECT ID FROM NOWHERE"}));
    EXPECT_THAT(MessageOf([&] { T->Open(); }), ::testing::HasSubstr("Unable to execute SQL statement"));
    EXPECT_FALSE(T->Active());
    EXPECT_EQ(T->TableName(), "");
    T->SetAccessMethod(amServer);
    T->SetQuery(Lines({"SELECT ID FROM PAYMENTS"}));
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "SQL query text runs only on a table of the local engine");
}

TEST_F(WwTableTest, QbeTextsAndOtherTableKindsAreRefusedClearly)
{
    T->SetQuery(Lines({"Query", "PAYMENTS.DB | ID |", "           | Check |"}));
    EXPECT_FALSE(T->Active());
    EXPECT_EQ(T->TableName(), "");
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "QBE queries are not supported");
    EXPECT_EQ(T->QueryType(), "QBE");
    T->SetQuery(Lines({"select * from payments"}));
    T->Open();
    EXPECT_EQ(T->QueryType(), "SQL");
    T->Close();

    // An empty name keeps the query; a name clears it.
    T->SetTableName("");
    EXPECT_EQ(T->Query().Count(), 1);
    T->SetTableName("PAYMENTS");
    EXPECT_EQ(T->Query().Count(), 0);
    EXPECT_TRUE(T->IsDBaseTable() == false);
    T->SetTableName("payments.dbf");
    EXPECT_TRUE(T->IsDBaseTable());

    T->SetTableName("PAYMENTS.db");
    EXPECT_TRUE(T->IsParadoxTable());
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "Paradox tables are not supported: PAYMENTS.db");
    T->SetTableName("PAYMENTS");
    T->SetTableType(ttParadox);
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "Paradox tables are not supported: PAYMENTS");
    T->SetTableType(ttASCII);
    EXPECT_EQ(MessageOf([&] { T->Open(); }), "ASCII tables are not supported: PAYMENTS");
    T->SetTableType(ttDBase);
    EXPECT_TRUE(T->IsDBaseTable());
    T->Open();
    EXPECT_TRUE(T->Active());
}

TEST_F(WwTableTest, AMaskCheckedBeforeAPostNamesTheField)
{
    T->PictureMasks().Add("STATE\t??\tF\tT");
    std::vector<String> invalid;
    T->OnInvalidValue = [&](TDataSet*, TField* Field) { invalid.push_back(Field->FieldName()); };
    T->Edit();
    T->FieldByName("STATE")->SetAsString("1");
    EXPECT_NE(MessageOf([&] { T->Post(); }), "no error");
    EXPECT_EQ(invalid, std::vector<String> {"STATE"});
    T->Cancel();
    T->SetValidateWithMask(false);
    T->Edit();
    T->FieldByName("STATE")->SetAsString("1");
    EXPECT_EQ(MessageOf([&] { T->Post(); }), "no error");
    EXPECT_EQ(invalid.size(), 1u);
}

}  // namespace
