// Orders, seeks, scopes, filters, Locate and Lookup, and master-detail links,
// on transactions and recipients the way the program keeps them.

#include <algorithm>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"
#include "tests/support/tablefixture.h"
#include "tests/support/tempdir.h"

namespace {

const std::vector<String> TransTags = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};

class SearchTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("TOTTRANS.DBF", TransactionSchema);
        AppendImages("TOTTRANS.DBF", {
                                             Trans("100.10", "O'Brien", "20260115", "7", "12.50", "E1"),
                                             Trans("100.20", "12\" pipe", "20260201", "3", "12.25", "E2"),
                                             Trans("200.00", "Smith", "20251231", "9", "99.99", "E1"),
                                             Trans("50.00", "smithers", "20260115", "1", "5.00", "E3"),
                                             Trans("75.00", "Both ' and \" ]", "20260301", "2", "1.00", "E2"),
                                     });
        TDaroruTable* maker = Table("TOTTRANS");
        maker->SetExclusive(WordTrue);
        maker->Open();
        for (const String& tag : TransTags)
            maker->IndexTag("", tag, tag, 0, false, "");
        maker->Close();
        T = Table("TOTTRANS");
    }

    // ACCNO, CATEGORY, SUBCAT, CHDESCR, PAYEE, DESCR, NOTE1, NOTE2, DATE, NUMBER, AMOUNT, ..., EMP_ID
    static String Trans(const String& Accno, const String& Payee, const String& Date, const String& Number,
                        const String& Amount, const String& EmpId)
    {
        std::vector<String> v(TransactionSchema.size());
        v[0] = Accno;
        v[4] = Payee;
        v[5] = "Descr of " + Payee;
        v[8] = Date;
        v[9] = Number;
        v[10] = Amount;
        v[16] = EmpId;
        return Image(TransactionSchema, v);
    }

    String Payee() { return T->FieldByName("PAYEE")->AsString(); }
    // The payees the data set shows, first to last.
    std::vector<String> Visible()
    {
        std::vector<String> seen;
        for (T->First(); !T->Eof(); T->Next())
            seen.push_back(Payee());
        return seen;
    }

    // Opens the transactions as the detail, on EMP_ID, of recipients with these IDs.
    TDaroruTable* LinkToRecipients(const std::vector<String>& Ids)
    {
        CreateTable("EMPLOYEE.DBF", EmployeeSchema);
        std::vector<String> images;
        for (const String& id : Ids)
            images.push_back(Image(EmployeeSchema, {id}));
        AppendImages("EMPLOYEE.DBF", images);
        TDaroruTable* master = Table("EMPLOYEE");
        master->Open();
        Source = std::make_unique<TDataSource>(nullptr);
        Source->SetDataSet(master);
        T->SetIndexName("EMP_ID");
        T->SetMasterSource(Source.get());
        T->SetMasterFields("ID");
        T->Open();
        return master;
    }

    void TearDown() override
    {
        if (T)
            T->SetMasterSource(nullptr);
        Source.reset();
        TableTest::TearDown();
    }

    TDaroruTable* T = nullptr;
    std::unique_ptr<TDataSource> Source;
};

TEST_F(SearchTest, SeekPerKeyTypeAfterSetOrderOfTagArea)
{
    XBE_CALL(xb_SetSoftSeek, 1);
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->Seek("Smith"); }), "This operation requires an active index order");
    struct Case {
        const char* Tag;
        const char* Key;
        bool Found;
        const char* Payee;  // the record found, or the next higher key's
    };
    const std::vector<Case> cases = {
            {"PAYEE", "Smith", true, "Smith"},        {"PAYEE", "smi", true, "smithers"},
            {"PAYEE", "P", false, "Smith"},           {"ACCNO", "100.2", true, "12\" pipe"},
            {"ACCNO", "75", true, "Both ' and \" ]"}, {"NUMBER", "9", true, "Smith"},
            {"DATE", "20251231", true, "Smith"},      {"DATE", "20240101", false, "Smith"},
            {"EMP_ID", "E3", true, "smithers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(String(c.Tag) + " " + c.Key);
        T->SetOrder(T->TagArea(c.Tag));
        EXPECT_EQ(T->IndexName(), c.Tag);
        EXPECT_EQ(T->Seek(c.Key), c.Found);
        EXPECT_EQ(Payee(), c.Payee);
    }
    XBE_CALL(xb_SetSoftSeek, 0);
    T->SetOrder(0);
    EXPECT_EQ(T->IndexName(), "");
}

TEST_F(SearchTest, OrderKeepsTheCurrentRecordAndGivesPositions)
{
    T->Open();
    T->Go(3);
    T->SetOrder(T->TagArea("ACCNO"));
    EXPECT_EQ(Payee(), "Smith");
    T->First();
    EXPECT_EQ(Payee(), "smithers");
    EXPECT_EQ(T->OrderRecNo(), 1);
    T->Last();
    EXPECT_EQ(T->OrderRecNo(), 5);
    EXPECT_DOUBLE_EQ(T->OrderPosGet(), 1.0);
    T->SetIndexName("PAYEE");
    EXPECT_EQ(Payee(), "Smith") << "the record stays under the cursor";
    EXPECT_EQ(MessageOf([&] { T->SetIndexName("NOSUCH"); }), "Invalid IndexName value : NOSUCH");
    EXPECT_EQ(T->IndexName(), "PAYEE");
}

TEST_F(SearchTest, ScopesAndRanges)
{
    EXPECT_EQ(MessageOf([&] { T->SetScope("A", "B"); }), "This operation requires an active index order");
    T->SetIndexName("EMP_ID");
    T->Open();
    EXPECT_EQ(T->IndexName(), "EMP_ID") << "a name set while closed applies on opening";
    T->SetScope("E1", "E1");
    EXPECT_TRUE(T->Scoped());
    EXPECT_EQ(Visible(), (std::vector<String> {"O'Brien", "Smith"}));
    T->SetRange({String("E2")}, {String("E3"), String("ignored")});
    EXPECT_EQ(Visible(), (std::vector<String> {"12\" pipe", "Both ' and \" ]", "smithers"}));
    T->CancelRange();
    EXPECT_FALSE(T->Scoped());
    EXPECT_EQ(Visible().size(), 5u);

    T->SetScopeBegin("E3");
    T->SetScopeEnd("E3");
    EXPECT_EQ(Visible().size(), 5u) << "the keys wait for Scoped";
    T->SetScoped(true);
    EXPECT_EQ(Visible(), std::vector<String> {"smithers"});
    T->SetScoped(false);
    EXPECT_EQ(Visible().size(), 5u);
}

TEST_F(SearchTest, FilterPropertyBecomesAnEngineQuery)
{
    T->SetFilter("EMP_ID='E1'");
    T->Open();
    EXPECT_EQ(Visible().size(), 5u) << "not filtered yet";
    T->SetFiltered(true);
    EXPECT_EQ(Visible(), (std::vector<String> {"O'Brien", "Smith"}));
    // A transaction appended under the filter stays visible.
    T->Append();
    T->FieldByName("PAYEE")->SetAsString("New payee");
    T->FieldByName("EMP_ID")->SetAsString("E1");
    T->Post();
    EXPECT_EQ(Payee(), "New payee");
    EXPECT_EQ(Visible(), (std::vector<String> {"O'Brien", "Smith", "New payee"}));

    EXPECT_EQ(MessageOf([&] { T->SetFilter("1+2"); }), "Invalid Query Expression");
    EXPECT_EQ(T->DBFilter(), "EMP_ID='E1'") << "the previous query stays";
    T->SetFilter("");
    EXPECT_EQ(Visible().size(), 6u);
    T->SetFiltered(false);
    T->SetFilter("EMP_ID='E2'");
    EXPECT_EQ(Visible().size(), 6u) << "stored only";
    EXPECT_EQ(T->DBFilter(), "");
}

TEST_F(SearchTest, FilterSetWhileClosedAppliesOnOpening)
{
    T->SetFilter("AMOUNT > 12");
    T->SetFiltered(true);
    T->Open();
    EXPECT_EQ(Visible(), (std::vector<String> {"O'Brien", "12\" pipe", "Smith"}));
}

TEST_F(SearchTest, LocateBuildsSafeConditions)
{
    T->Open();
    struct Case {
        const char* Fields;
        Variant Value;
        TLocateOptions Options;
        bool Found;
        const char* Payee;
    };
    const std::vector<Case> cases = {
            {"PAYEE", "O'Brien", {}, true, "O'Brien"},
            {"PAYEE", "12\" pipe", {}, true, "12\" pipe"},
            {"PAYEE", "Both ' and \" ]", {}, true, "Both ' and \" ]"},
            {"PAYEE", "\") .or. (.T.", {}, false, ""},
            {"PAYEE", "Smith", {}, true, "Smith"},
            {"PAYEE", "smith", {}, false, ""},
            {"PAYEE", "smith", {loCaseInsensitive}, true, "Smith"},
            {"PAYEE", "smith", {loPartialKey}, true, "smithers"},
            {"PAYEE", "SMITHE", {loPartialKey, loCaseInsensitive}, true, "smithers"},
            {"PAYEE", "Smi", {}, false, ""},
            {"AMOUNT", 12.25, {}, true, "12\" pipe"},
            {"AMOUNT", 12.5, {}, true, "O'Brien"},
            {"AMOUNT", 12, {}, false, ""},
            {"ACCNO", 100.2, {}, true, "12\" pipe"},
            {"ACCNO", 100, {}, false, ""},
            {"NUMBER", 9, {}, true, "Smith"},
            {"DATE", Variant::FromDate(EncodeDate(2025, 12, 31)), {}, true, "Smith"},
            {"DATE", Variant::FromDate(EncodeDate(2026, 3, 1)), {}, true, "Both ' and \" ]"},
            {"DATE", "2025", {}, true, "Smith"},
            {"EMP_ID;AMOUNT", VarArrayOf({"E2", 1.0}), {}, true, "Both ' and \" ]"},
            {"EMP_ID;AMOUNT", VarArrayOf({"E2", 5.0}), {}, false, ""},
    };
    for (const char* order : {"", "PAYEE"}) {
        T->SetIndexName(order);
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(String(order) + " case " + std::to_string(i));
            T->Go(2);
            EXPECT_EQ(T->Locate(c.Fields, c.Value, c.Options), c.Found);
            EXPECT_EQ(Payee(), c.Found ? c.Payee : "12\" pipe");
            EXPECT_EQ(T->IndexName(), order) << "the order is given back";
        }
    }
}

TEST_F(SearchTest, LocateRunsWithinTheActiveQueryAndKeepsIt)
{
    T->SetFilter("EMP_ID='E1'");
    T->SetFiltered(true);
    T->Open();
    EXPECT_FALSE(T->Locate("PAYEE", "smithers", {}));
    EXPECT_TRUE(T->Locate("PAYEE", "Smith", {}));
    EXPECT_EQ(T->DBFilter(), "EMP_ID='E1'");
    EXPECT_EQ(Visible(), (std::vector<String> {"O'Brien", "Smith"}));
}

TEST_F(SearchTest, LookupLeavesTheDataSetWhereItWas)
{
    T->Open();
    T->Go(4);
    EXPECT_EQ(VarToStr(T->Lookup("EMP_ID", "E2", "PAYEE")), "12\" pipe");
    T->SetIndexName("PAYEE");
    EXPECT_EQ(VarToStr(T->Lookup("PAYEE", "Smith", "EMP_ID")), "E1");
    EXPECT_TRUE(T->Lookup("PAYEE", "Nobody", "EMP_ID").IsNull());
    EXPECT_EQ(Payee(), "smithers");
}

TEST_F(SearchTest, LookupComputesTheFoundRecordsCalculatedFields)
{
    // Persistent data fields and one calculated field that copies EMP_ID.
    T->FieldDefs()->Update();
    for (int i = 0; i < T->FieldDefs()->Count(); ++i)
        (*T->FieldDefs())[i]->CreateField(T, T);
    auto* seen = new TStringField(T);
    seen->SetFieldName("SEEN");
    seen->SetSize(8);
    seen->SetCalculated(true);
    seen->SetDataSet(T);
    std::vector<std::pair<TDataSetState, String>> calculated;
    T->OnCalcFields = [&](TDataSet* D) {
        const String id = D->FieldByName("EMP_ID")->AsString();
        calculated.emplace_back(D->State(), id);
        D->FieldByName("SEEN")->SetAsString(id);
    };
    T->Open();
    T->Go(4);
    T->SetIndexName("PAYEE");
    const String activeId = T->FieldByName("EMP_ID")->AsString();
    ASSERT_NE(activeId, "E1");
    calculated.clear();
    EXPECT_EQ(VarToStr(T->Lookup("PAYEE", "Smith", "EMP_ID")), "E1");
    ASSERT_FALSE(calculated.empty());
    EXPECT_EQ(calculated.front(), std::make_pair(dsCalcFields, String("E1")));
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(Payee(), "smithers");
    EXPECT_EQ(T->FieldByName("SEEN")->AsString(), activeId) << "the active record keeps its own values";
}

TEST_F(SearchTest, FindKeyAndDirectLocate)
{
    T->Open();
    T->SetIndexName("NUMBER");
    T->Go(1);
    EXPECT_TRUE(T->FindKey({3, String("ignored")}));
    EXPECT_EQ(Payee(), "12\" pipe");
    EXPECT_FALSE(T->FindKey({42}));
    EXPECT_EQ(Payee(), "12\" pipe") << "the cursor stays";
    T->SetIndexName("");
    EXPECT_GT(T->DaroruLocate("EMP_ID='E2'", 0, 0), 0);
    EXPECT_EQ(Payee(), "12\" pipe");
    EXPECT_EQ(T->EvalString("TRIM(EMP_ID)+'!'"), "E2!");
    EXPECT_DOUBLE_EQ(T->EvalNumeric("AMOUNT*2"), 24.5);
}

TEST_F(SearchTest, DetailFollowsItsMaster)
{
    TDaroruTable* master = LinkToRecipients({"E1", "E2", "E9"});
    auto payees = [&] { return Visible(); };
    EXPECT_EQ(payees(), (std::vector<String> {"O'Brien", "Smith"}));
    master->Next();
    EXPECT_EQ(payees(), (std::vector<String> {"12\" pipe", "Both ' and \" ]"}));
    master->Next();
    EXPECT_TRUE(payees().empty());

    TDataSource detailSource(nullptr);
    detailSource.SetDataSet(T);
    EXPECT_EQ(MessageOf([&] { master->SetMasterSource(&detailSource); }),
              "Circular Datasource reference not allowed");
    EXPECT_EQ(MessageOf([&] {
                  T->SetIndexName("");
                  master->Prior();
              }),
              "This operation requires an active index order");
}

TEST_F(SearchTest, DetailScopeIsAppliedAgainOnlyWhenKeyOrOrderChanges)
{
    TDaroruTable* master = LinkToRecipients({"E1", "E1", "E2"});
    T->Next();
    EXPECT_EQ(Payee(), "Smith");
    master->Next();
    EXPECT_EQ(Payee(), "Smith") << "the same key leaves the detail where it is";
    T->SetIndexName("PAYEE");
    EXPECT_EQ(MessageOf([&] { master->Next(); }), "no error");
    EXPECT_TRUE(Visible().empty()) << "the scope of E2 on PAYEE keys";
    T->SetIndexName("EMP_ID");
    EXPECT_EQ(Visible(), (std::vector<String> {"12\" pipe", "Both ' and \" ]"}));
}

TEST(IndexExpressionTest, FieldsOfAKeyExpression)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
            {"LAST+FIRST", "LAST;FIRST"},
            {"UPPER(NAME1)", "NAME1"},
            {"STR(ACCNO,10,2)+DTOS(DATE)", "ACCNO;DATE"},
            {"ID", "ID"},
            {"AMOUNT-FWT", "AMOUNT;FWT"},
            {"IIF(FLAG=.T.,A,B)", "A;B"},
            {"", ""},
    };
    for (const auto& [expression, fields] : cases)
        EXPECT_EQ(GetFieldsFromExpression(expression), fields) << expression;
}

}  // namespace

namespace {

TEST_F(SearchTest, TagCreationChecksAndTheDefinitionsItLeaves)
{
    T->SetExclusive(WordTrue);
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->IndexTag("", "", "PAYEE", 0, false, ""); }),
              "Missing Parameter to IndexTag Method: Index Tag Name");
    EXPECT_EQ(MessageOf([&] { T->IndexTag("", "X", "", 0, false, ""); }),
              "Missing Parameter to Index or IndexTag Method: Index Expression");
    EXPECT_EQ(MessageOf([&] { T->IndexTag("", "X", "NOFIELD+", 0, false, ""); }),
              "Invalid index expression [NOFIELD+]");
    EXPECT_EQ(MessageOf([&] { T->Index("", "PAYEE", 0, false, ""); }),
              "Missing Parameter to Index Method: Index File Name");

    T->Go(3);
    T->IndexTag("", "UPAYEE", "UPPER(PAYEE)", 0, false, "");
    EXPECT_EQ(Payee(), "Smith") << "a tag without condition keeps the record";
    T->IndexTag("", "BYEMP", "EMP_ID+PAYEE", 0, true, "");
    T->IndexTag("", "BIG", "AMOUNT", 0, false, "AMOUNT > 10");
    EXPECT_EQ(T->IndexName(), "BIG");
    EXPECT_EQ(Payee(), "12\" pipe") << "a conditional tag starts at its first record";
    EXPECT_EQ(Visible(), (std::vector<String> {"12\" pipe", "O'Brien", "Smith"}));

    const TIndexDef* upper = T->IndexDefs()->Find("UPAYEE");
    EXPECT_EQ(upper->Fields(), "PAYEE");
    EXPECT_TRUE(upper->Options().Contains(ixCaseInsensitive));
    EXPECT_TRUE(upper->Options().Contains(ixExpression));
    const TIndexDef* byEmp = T->IndexDefs()->Find("BYEMP");
    EXPECT_EQ(byEmp->Fields(), "EMP_ID;PAYEE");
    EXPECT_EQ(byEmp->Expression(), "EMP_ID+PAYEE");
    EXPECT_TRUE(byEmp->Options().Contains(ixDescending));
    EXPECT_FALSE(T->IndexDefs()->Find("PAYEE")->Options().Contains(ixExpression));
}

TEST_F(SearchTest, CaseInsensitiveLocateUsesAnUpperCasedOrder)
{
    T->SetExclusive(WordTrue);
    T->Open();
    T->IndexTag("", "UPAYEE", "UPPER(PAYEE)", 0, false, "");
    T->SetIndexName("");
    EXPECT_TRUE(T->Locate("PAYEE", "SMITHERS", {loCaseInsensitive}));
    EXPECT_EQ(Payee(), "smithers");
    EXPECT_FALSE(T->Locate("PAYEE", "SMITHERS", {})) << "a search with case never uses the upper-cased order";
    EXPECT_EQ(T->IndexName(), "");
}

TEST_F(SearchTest, DirectReadsInSpeedModeAndLocks)
{
    T->Open();
    T->SetSpeedMode(WordTrue);
    T->Go(3);
    EXPECT_EQ(T->GetTrimString("PAYEE"), "Smith");
    EXPECT_EQ(T->GetString("EMP_ID"), "E1      ");
    EXPECT_DOUBLE_EQ(T->GetDouble("AMOUNT"), 99.99);
    EXPECT_EQ(T->GetLong("NUMBER"), 9);
    EXPECT_EQ(T->GetDate("DATE"), EncodeDate(2025, 12, 31));
    EXPECT_EQ(T->DaroruLocate("EMP_ID='E2'", 0, 0), 2);
    EXPECT_EQ(T->DaroruLocateNext(), 5);
    EXPECT_LE(T->DaroruLocateNext(), 0);
    T->SetSpeedMode(WordFalse);
    T->Close();

    T->Open();
    ASSERT_TRUE(T->RLock(4));
    T->Close();
    T->Open();
    ASSERT_TRUE(T->RLock(2));
    EXPECT_EQ(T->GetLockList(0), 2);
    EXPECT_EQ(T->GetLockList(1), 0);
}

class EngineOnlyTest : public FakeEngineTest {
protected:
    // A table that the fake engine holds open in work area 3, with an active order.
    void OpenFake(TDaroruTable& T)
    {
        Scratch.emplace("tables-fake");
        Path = Scratch->Path() + "T.DBF";
        ASSERT_TRUE(WriteFileAtomically(Path, String(1, '\x30')));
        T.SetTableName(Path);
        Fake().Results["xb_Use"] = 3;
        Fake().Results["xb_RecSize"] = 1;
        Fake().Results["xb_TagArea"] = 2;
        Fake().Texts["xb_TagName"] = "TAG";
        T.SetSpeedMode(WordTrue);
        T.Open();
        T.SetIndexName("TAG");
        Fake().Clear();
    }
    void TearDown() override
    {
        Scratch.reset();
        FakeEngineTest::TearDown();
    }
    std::optional<TempDir> Scratch;
    String Path;
    using Calls = std::vector<std::string>;
};

TEST_F(EngineOnlyTest, FailedBinarySeekEndsOnTheLastRecord)
{
    TDaroruTable t(nullptr);
    OpenFake(t);
    Fake().Results["xb_SeekBin"] = 0;
    EXPECT_FALSE(t.SeekBin("AB", 2));
    EXPECT_EQ(Fake().Calls, (Calls {"xb_Select(3)", "xb_SeekBin(\"AB\",2)", "xb_GoBottom()"}));
    Fake().Clear();
    Fake().Results["xb_Seek"] = 0;
    EXPECT_FALSE(t.Seek("AB"));
    EXPECT_EQ(Fake().Calls, (Calls {"xb_Select(3)", "xb_Seek(\"AB\")"}));
}

TEST_F(EngineOnlyTest, DestroyingTheActiveBitmapRestoresTheOrder)
{
    TDaroruTable t(nullptr);
    OpenFake(t);
    Fake().Results["xb_IndexOrd"] = 2;
    t.RYOFilterDestroy(0);
    const Calls& calls = Fake().Calls;
    const auto destroy = std::find(calls.begin(), calls.end(), "xb_RYOFilterDestroy(0)");
    ASSERT_NE(destroy, calls.end());
    const auto natural = std::find(destroy, calls.end(), "xb_SetOrder(0)");
    ASSERT_NE(natural, calls.end());
    EXPECT_NE(std::find(natural, calls.end(), "xb_SetOrder(2)"), calls.end());
    t.Close();
    EXPECT_EQ(MessageOf([&] { t.RYOFilterCreate(); }), "Cannot perform this operation on a closed table");
}

}  // namespace
