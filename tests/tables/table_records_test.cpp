// Reading and writing records, navigation, posting, deleting and the edit lock.

#include "platform/classes/datamodule.h"
#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"
#include "tests/support/peerprocess.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> KindsSchema = {{"NAME", 'C', 6, 0},
                                              {"SMALL", 'N', 4, 0},
                                              {"AMOUNT", 'N', 8, 2},
                                              {"PAID", 'D', 8, 0},
                                              {"FLAG", 'L', 1, 0}};

std::vector<String> Names(TDaroruTable* Table)
{
    std::vector<String> names;
    for (Table->First(); !Table->Eof(); Table->Next())
        names.push_back(Table->FieldByName("NAME")->AsString());
    return names;
}

void HideDeleted(bool Hide) { XBE_CALL(xb_SetDeleted, Hide ? -1 : 0); }

TEST_F(TableTest, FieldTextOfTheImageReadsAsValuesOrNull)
{
    CreateTable("KINDS.DBF", KindsSchema);
    AppendImages("KINDS.DBF", {
                                      Image(KindsSchema, {"", "", "", "", ""}),
                                      Image(KindsSchema, {"ab", "-12", "1234.57", "20000229", "y"}),
                                      Image(KindsSchema, {"abcdef", "9999", "-0.5", "20000100", "Y"}),
                                      Image(KindsSchema, {"x", "0", "0.00", "19991231", "T"}),
                              });
    TDaroruTable* t = Table("KINDS");
    t->Open();
    struct Row {
        const char* Name;
        bool NameNull, SmallNull, AmountNull, DateNull, FlagNull;
        int Small;
        double Amount;
        const char* Date;
        bool Flag;
    };
    const Row rows[] = {
            {"", false, true, true, true, true, 0, 0, "", false},
            {"ab", false, false, false, false, false, -12, 1234.57, "02/29/2000", false},
            {"abcdef", false, false, false, false, false, 9999, -0.5, nullptr, true},
            {"x", false, false, false, false, false, 0, 0, "12/31/1999", true},
    };
    t->First();
    for (const Row& row : rows) {
        ASSERT_FALSE(t->Eof());
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(t->FieldByName("NAME")->AsString(), row.Name);
        EXPECT_EQ(t->FieldByName("NAME")->IsNull(), row.NameNull);
        EXPECT_EQ(t->FieldByName("SMALL")->IsNull(), row.SmallNull);
        EXPECT_EQ(t->FieldByName("AMOUNT")->IsNull(), row.AmountNull);
        EXPECT_EQ(t->FieldByName("PAID")->IsNull(), row.DateNull);
        EXPECT_EQ(t->FieldByName("FLAG")->IsNull(), row.FlagNull);
        EXPECT_EQ(t->FieldByName("SMALL")->AsInteger(), row.Small);
        EXPECT_DOUBLE_EQ(t->FieldByName("AMOUNT")->AsFloat(), row.Amount);
        if (row.Date) {
            EXPECT_EQ(t->FieldByName("PAID")->AsString(), row.Date);
        }
        EXPECT_EQ(t->FieldByName("FLAG")->AsBoolean(), row.Flag);
        t->Next();
    }
    EXPECT_TRUE(t->Eof());
}

TEST_F(TableTest, ValuesAreWrittenAtTheirFieldWidths)
{
    CreateTable("KINDS.DBF", KindsSchema);
    TDaroruTable* t = Table("KINDS");
    t->Open();
    t->Append();
    t->FieldByName("NAME")->SetAsString("Zoe");
    t->FieldByName("SMALL")->SetAsInteger(-999);
    t->FieldByName("AMOUNT")->SetAsFloat(1234.567);
    t->FieldByName("PAID")->SetAsDateTime(EncodeDate(7, 3, 4));
    t->FieldByName("FLAG")->SetAsBoolean(true);
    t->Post();
    t->Append();
    t->FieldByName("NAME")->SetAsString("Max");
    t->FieldByName("AMOUNT")->SetAsFloat(99999.99);
    t->FieldByName("PAID")->SetAsDateTime(EncodeDate(85, 12, 31));
    t->FieldByName("FLAG")->SetAsBoolean(false);
    t->Post();
    t->Close();
    char raw[64] = {};
    XBE_CALL(xb_ErrorLevel, 0);
    ASSERT_GT(XBE_CALL(xb_Use, (Dir + "KINDS.DBF").c_str(), "RAW", 0, 2), 0);
    XBE_CALL(xb_Go, 1);
    XBE_CALL(xb_GetRecord, raw);
    EXPECT_EQ(String(raw, 28), " Zoe   -999 1234.5720070304T");
    XBE_CALL(xb_Go, 2);
    XBE_CALL(xb_GetRecord, raw);
    EXPECT_EQ(String(raw, 28), " Max       99999.9919851231F");
    XBE_CALL(xb_Close);
}

TEST_F(TableTest, NumbersThatDoNotFitAreRefusedAndLeaveNoRecordBehind)
{
    CreateTable("KINDS.DBF", KindsSchema);
    AppendImages("KINDS.DBF", {Image(KindsSchema, {"first", "1", "1.00", "20000101", "T"})});
    TDaroruTable* t = Table("KINDS");
    t->Open();
    const std::pair<const char*, double> cases[] = {
            {"SMALL", -1000}, {"SMALL", 12345}, {"AMOUNT", 100000}, {"AMOUNT", -10000}};
    for (auto [field, value] : cases) {
        t->Append();
        t->FieldByName("NAME")->SetAsString("extra");
        t->FieldByName(field)->SetAsFloat(value);
        EXPECT_EQ(MessageOf([&] { t->Post(); }), "Translate error. Value out of bounds")
                << field << " " << value;
        t->Cancel();
        EXPECT_EQ(t->RecCount(), 1) << field << " " << value;
    }
    // The same refusal on an edit leaves the stored record as it was.
    t->First();
    t->Edit();
    t->FieldByName("AMOUNT")->SetAsFloat(123456.5);
    EXPECT_EQ(MessageOf([&] { t->Post(); }), "Translate error. Value out of bounds");
    t->Cancel();
    t->Close();
    EXPECT_EQ(ReadBack("KINDS.DBF"), (std::vector<String> {"first|1|1.0|2000-01-01|True"}));
}

TEST_F(TableTest, ClientTablesKeepEveryValueWritten)
{
    CreateTable("TOTTRANS.DBF", TransactionSchema);
    TDaroruTable* t = Table("TOTTRANS");
    t->Open();
    const std::vector<std::pair<const char*, const char*>> values = {
            {"ACCNO", "4010.25"},
            {"CATEGORY", "Rent"},
            {"SUBCAT", "Office"},
            {"CHDESCR", "Check 1001"},
            {"PAYEE", "Caf\xe9 Owner"},
            {"DESCR", "March rent"},
            {"NOTE1", "n1"},
            {"NOTE2", "n2"},
            {"DATE", "03/31/2008"},
            {"NUMBER", "1001"},
            {"AMOUNT", "1500.5"},
            {"FWT", "12.34"},
            {"SWT1", "1.5"},
            {"STATE_INC1", "99999.99"},
            {"SWT2", "0"},
            {"STATE_INC2", "-0.01"},
            {"EMP_ID", "A1"},
    };
    t->Append();
    for (auto [field, text] : values)
        t->FieldByName(field)->SetAsString(text);
    t->Post();
    t->Close();
    t->Open();
    ASSERT_FALSE(t->Eof());
    for (auto [field, text] : values) {
        TField* f = t->FieldByName(field);
        if (f->DataType() == ftFloat)
            EXPECT_DOUBLE_EQ(f->AsFloat(), StrToFloat(text)) << field;
        else
            EXPECT_EQ(f->AsString(), text) << field;
    }
    t->Close();
    EXPECT_EQ(ReadBack("TOTTRANS.DBF"), (std::vector<String> {"4010.25|Rent|Office|Check 1001|Caf\xc3\xa9 "
                                                              "Owner|March rent|n1|n2|2008-03-31|1001|1500.5|"
                                                              "12.34|1.5|99999.99|0.0|-0.01|A1"}));
}

class NavigationTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("KINDS.DBF", KindsSchema);
        std::vector<String> images;
        for (int i = 1; i <= 5; ++i)
            images.push_back(
                    Image(KindsSchema, {"R" + std::to_string(i), std::to_string(i)}, i == 2 || i == 4));
        AppendImages("KINDS.DBF", images);
        T = Table("KINDS");
    }
    TDaroruTable* T = nullptr;
};

TEST_F(NavigationTest, DeletedRecordsAreShownOrHiddenByTheEngineSetting)
{
    T->Open();
    EXPECT_EQ(Names(T), (std::vector<String> {"R1", "R2", "R3", "R4", "R5"}));
    T->Close();
    HideDeleted(true);
    T->Open();
    EXPECT_EQ(Names(T), (std::vector<String> {"R1", "R3", "R5"}));
    T->Last();
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R5");
    T->Prior();
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R3");
    // Next past the last record: Eof, still on the last record.
    T->Last();
    T->Next();
    EXPECT_TRUE(T->Eof());
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R5");
}

TEST_F(NavigationTest, RecordCountsCountWhatTheyAreAskedFor)
{
    HideDeleted(true);
    T->Open();
    EXPECT_EQ(T->RecordCount(), 5);  // raw: every physical record
    EXPECT_EQ(T->RecCount(), 5);
    T->SetSequencedCount(scAll);
    T->RefreshCount();
    EXPECT_EQ(T->RecordCount(), 3);
}

TEST_F(NavigationTest, RecordNumbersAndBookmarksArePhysical)
{
    T->Open();
    T->Last();
    EXPECT_EQ(T->RecNo(), 5);
    EXPECT_EQ(T->GetSXRecno(), 5);
    const TBookmark last = T->GetBookmark();
    T->Go(3);
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R3");
    T->SetRecNo(2);
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R2");
    const TBookmark second = T->GetBookmark();
    EXPECT_EQ(T->CompareBookmarks(second, last), -1);
    EXPECT_EQ(T->CompareBookmarks(last, second), 1);
    EXPECT_EQ(T->CompareBookmarks(last, last), 0);
    EXPECT_EQ(T->CompareBookmarks(TBookmark(), last), 2);
    T->GotoBookmark(last);
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R5");
}

TEST_F(NavigationTest, DeletingMovesToTheNextVisibleRecordOrStays)
{
    HideDeleted(true);
    T->Open();
    T->Go(3);
    T->Delete();
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R5");
    T->Delete();  // the last one: the table stands on the new last record
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R1");
    EXPECT_EQ(Names(T), (std::vector<String> {"R1"}));
    T->Close();
    HideDeleted(false);
    T->Open();
    T->Go(1);
    T->Delete();
    EXPECT_EQ(T->GetSXRecno(), 1);  // the delete-marked record stays current
    T->SelectForSxCall();
    EXPECT_TRUE(T->cs_Deleted());
}

TEST_F(NavigationTest, DeletingWhileEditingPostsTheEditAndKeepsNoLock)
{
    T->Open();
    T->Go(2);
    std::vector<String> events;
    T->BeforeDelete = [&](TDataSet*) { events.push_back("before delete"); };
    T->BeforeScroll = [&](TDataSet*) { events.push_back("before scroll"); };
    T->AfterDelete = [&](TDataSet*) { events.push_back("after delete"); };
    T->AfterScroll = [&](TDataSet*) { events.push_back("after scroll"); };
    T->Edit();
    T->FieldByName("NAME")->SetAsString("Edited");
    T->Delete();
    EXPECT_EQ(events,
              (std::vector<String> {"before delete", "before scroll", "after delete", "after scroll"}));
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(T->GetLockCount(), 0) << "the edit's lock is released";
    T->Go(2);
    EXPECT_EQ(TrimRight(T->FieldByName("NAME")->AsString()), "Edited");
    EXPECT_TRUE(T->GetDeleted());
}

TEST_F(NavigationTest, EndOfFileHoldsWithAWideWindowOfBuffers)
{
    TDataSource source(nullptr);
    source.SetDataSet(T);
    TDataLink link;
    link.SetBufferCount(20);
    link.SetDataSource(&source);
    T->Open();
    T->First();
    EXPECT_FALSE(T->Eof());
    int steps = 0;
    for (; !T->Eof() && steps < 10; ++steps)
        T->Next();
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R5");
    link.SetDataSource(nullptr);
    T->Close();
}

TEST_F(NavigationTest, CancelledInsertReturnsToTheRecordBefore)
{
    T->Open();
    T->Go(3);
    T->Insert();
    T->FieldByName("NAME")->SetAsString("NEW");
    T->Cancel();
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R3");
    EXPECT_EQ(T->RecCount(), 5);
}

TEST_F(NavigationTest, EditLocksTheRecordUntilPosted)
{
    T->Open();
    T->Go(3);
    T->Edit();
    EXPECT_TRUE(T->Locked(3));
    T->FieldByName("NAME")->SetAsString("R3b");
    T->Post();
    EXPECT_FALSE(T->Locked(3));
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R3b");
    EXPECT_EQ(T->GetSXRecno(), 3);
}

TEST_F(TableTest, EmptyTableIsAtBothEnds)
{
    CreateTable("KINDS.DBF", KindsSchema);
    TDaroruTable* t = Table("KINDS");
    t->Open();
    EXPECT_TRUE(t->Bof());
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecordCount(), 0);
    // Edit on an empty table inserts: one record after the post.
    t->Edit();
    t->FieldByName("NAME")->SetAsString("only");
    t->Post();
    EXPECT_EQ(t->RecCount(), 1);
    EXPECT_EQ(t->FieldByName("NAME")->AsString(), "only");
}

TEST_F(NavigationTest, ARecordLockedElsewhereRefusesTheEdit)
{
    Peer peer({"rlock", Dir + "KINDS.DBF", "3"});
    ASSERT_EQ(peer.Line(), "ready");
    T->Open();
    T->Go(3);
    EXPECT_EQ(MessageOf([&] { T->Edit(); }), "Record Lock Failure. May be locked by another user or task.");
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "R3");
    T->Go(2);
    T->Edit();  // another record is free
    EXPECT_EQ(T->State(), dsEdit);
    T->Cancel();
}

}  // namespace

namespace {

// The position in an index order, from the engine's fraction and the count.
TEST_F(TableTest, OrderPositionIsRoundedToTheNearestRecord)
{
    ASSERT_TRUE(WriteFileAtomically(Dir + "FAKE.DBF", String(1, '\x03')));
    UseFakeEngine();
    LoadDLL();
    Fake().Results["xb_Use"] = 1;
    Fake().Results["xb_RecCount"] = 49;
    Fake().Results["xb_IndexOrd"] = 1;
    TDaroruTable* t = Table("FAKE");
    t->Open();
    ASSERT_TRUE(t->Active());
    for (int k : {1, 2, 4, 8, 16, 29, 49}) {
        Fake().Doubles["xb_OrderPosGet"] = static_cast<double>(k) / 49;
        EXPECT_EQ(t->RecNo(), k);
    }
    t->Close();
}

}  // namespace

namespace {

TEST_F(NavigationTest, AnExclusiveOpenFailsWhileAnotherProcessHasTheFile)
{
    Peer peer({"rlock", Dir + "KINDS.DBF", "1"});
    ASSERT_EQ(peer.Line(), "ready");
    T->SetExclusive(WordTrue);
    if (const auto e = OpenRefusal(T)) {
        EXPECT_EQ(e->Why(), TDaroruOpenFailure::InUse);
        EXPECT_EQ(e->Message(), "Unable to open table.\rFile: " + Dir +
                                        "KINDS.DBF\rThe table is in use: " + Dir + "KINDS.DBF");
    }
    T->SetExclusive(WordFalse);
    T->Open();
    EXPECT_TRUE(T->Active());
}

}  // namespace
