// The list reports over a small client: what each page carries, where pages
// break, the totals to the cent, the date check before anything starts, and the
// tables as the reports found them. Printed reports are read back from the
// printer's PDF.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/win/launcher.h"
#include "printing/reportpreview.h"
#include "printing/reports.h"
#include "tests/printing/reportfixture.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

using TLine = std::vector<std::string>;

class ReportsTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        if (FindProgram("pdftotext").empty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        AddRecipients({{"AB", "Alice Brown", "d/b/a Brown Consulting", "4 Elm Street", "Salem MA 01970", ""},
                       {"ABC", "Abe Carter"},
                       {"ZED", "Zoe Dunn"}});
        AddTransactions({
                {"AB", "12/31/2007", 100, "Before the range", 900},
                {"AB", "01/01/2008", 101, "January retainer", 0.10, 0.01, 0.10, 0.02},
                {"AB", "03/15/2008", 0, "Adjustment without a reference number", 0.20, 0, 0.20, 0},
                {"AB", "06/30/2008", 103, "Refund", -25, -2.5, 0, 0},
                {"AB", "06/30/2008", 104, "Nothing owed", 0},
                {"AB", "07/01/2008", 105, "After the range", 1000},
                {"ABC", "02/01/2008", 201, "Other recipient", 500, 50, 500, 25},
        });
    }

    // The recipient AB as the current record, as the transaction grid has it.
    void ToRecipient(const String& ID)
    {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->SetOrder(recipients->TagArea("ID"));
        recipients->First();
        while (!recipients->Eof() && recipients->FieldByName("ID")->AsString() != ID)
            recipients->Next();
    }

    std::vector<TPrintedPage> Transactions(const String& ID, const std::string& From, const std::string& To,
                                           const std::string& Name)
    {
        AnswerDateRange(From, To);
        return PrintedPages([ID] { PrintEmployeeTransactions(ID); }, Name);
    }
    std::vector<TPrintedPage> Totals(const std::string& From, const std::string& To, const std::string& Name)
    {
        AnswerDateRange(From, To);
        return PrintedPages([] { PrintEmployeeTotals(); }, Name);
    }

    // The number of lines of the page with a word that starts with Pattern.
    static int CountLines(const TPrintedPage& Page, const std::string& Pattern)
    {
        int count = 0;
        std::vector<double> seen;
        for (const TPrintedWord& word : Page) {
            if (word.Text.find(Pattern) != 0)
                continue;
            bool counted = false;
            for (const double y : seen)
                counted = counted || std::abs(y - word.Y) < 3;
            if (!counted) {
                seen.push_back(word.Y);
                ++count;
            }
        }
        return count;
    }
};

TEST_F(ReportsTest, TransactionsListingShowsTheRecipientsRowsInTheRangeWithTotalsToTheCent)
{
    ToRecipient("AB");
    const std::vector<TPrintedPage> pages = Transactions("AB", "010108", "063008", "transactions");
    ASSERT_EQ(pages.size(), 1u);
    const TPrintedPage& page = pages[0];
    EXPECT_THAT(LineOf(page, "RECIPIENT"), ElementsAre("EMPLOYEE", "/", "1099", "RECIPIENT", "TRANSACTIONS"));
    EXPECT_THAT(LineOf(page, "12-31-2008"), ElementsAre("Report", "Date", "12-31-2008", "Alice", "Brown"))
            << "the report date and the recipient's name share a row";
    EXPECT_THAT(LineOf(page, "d/b/a"), ElementsAre("d/b/a", "Brown", "Consulting"));
    EXPECT_THAT(LineOf(page, "Salem"), ElementsAre("Salem", "MA", "01970"));
    EXPECT_THAT(LineOf(page, "FROM"),
                ElementsAre("TRANSACTION", "FROM", "01-01-2008", "THROUGH", "06-30-2008"));
    EXPECT_THAT(LineOf(page, "DESCRIPTION"),
                ElementsAre("DATE", "REF.", "NUMBER", "DESCRIPTION", "AMOUNT", "FWT", "STATE", "AMT", "SWT"));

    EXPECT_THAT(LineOf(page, "101"),
                ElementsAre("01/01/2008", "101", "January", "retainer", "$.10", "$.01", "$.10", "$.02"));
    EXPECT_THAT(LineOf(page, "03/15/2008"), ElementsAre("03/15/2008", "Adjustment", "without", "a", "refer",
                                                        "$.20", "$.00", "$.20", "$.00"))
            << "no reference number for 0; the description cut at 26 characters";
    EXPECT_THAT(LineOf(page, "103"),
                ElementsAre("06/30/2008", "103", "Refund", "-$25.00", "-$2.50", "$.00", "$.00"));
    EXPECT_THAT(LineOf(page, "104"),
                ElementsAre("06/30/2008", "104", "Nothing", "owed", "$.00", "$.00", "$.00", "$.00"));
    for (const char* outside : {"100", "105", "201"})
        EXPECT_THAT(LineOf(page, outside), IsEmpty()) << outside;
    EXPECT_THAT(LineOf(page, "*****Totals******"),
                ElementsAre("*****Totals******", "-$24.70", "-$2.49", "$.30", "$.02"));
    EXPECT_THAT(LineOf(page, "Harbor"), ElementsAre("Harbor", "Supply", "Co", "12", "Harbor", "Road", "New",
                                                    "Bedford", "MA", "02740"))
            << "the payer in the footer";
}

TEST_F(ReportsTest, AnEmptyEndListsEveryTransactionAndTheIDMatchesWhole)
{
    ToRecipient("AB");
    const std::vector<TPrintedPage> pages = Transactions("AB", "010108", "", "transactions-open");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_THAT(LineOf(pages[0], "FROM"), ElementsAre("TRANSACTION", "FROM", "01-01-2008", "THROUGH"));
    for (const char* number : {"100", "101", "103", "104", "105"})
        EXPECT_THAT(LineOf(pages[0], number), Not(IsEmpty())) << number;
    EXPECT_THAT(LineOf(pages[0], "201"), IsEmpty()) << "ABC's transactions are not AB's";
    EXPECT_THAT(LineOf(pages[0], "*****Totals******"),
                ElementsAre("*****Totals******", "$1,875.30", "-$2.49", "$.30", "$.02"));
}

TEST_F(ReportsTest, ALongListingContinuesOnPagesWithFrameAndHeadingOnly)
{
    std::vector<TReportTransaction> rows;
    std::int64_t cents = 0;
    std::vector<std::string> descriptions(120);
    for (int i = 0; i < 120; ++i) {
        descriptions[i] = "Row " + std::to_string(i + 1);
        const double amount = 1.01 * (i + 1) + 0.07;
        cents += std::llround(amount * 100);
        rows.push_back({"ZED", "05/05/2008", 1000 + i, descriptions[i].c_str(), amount});
    }
    AddTransactions(rows);
    ToRecipient("ZED");
    const std::vector<TPrintedPage> pages = Transactions("ZED", "", "", "transactions-long");
    ASSERT_EQ(pages.size(), 3u);
    // 44 rows below the recipient block (a name alone), then 49 on a page with the
    // heading alone.
    EXPECT_EQ(CountLines(pages[0], "05/05/2008"), 44);
    EXPECT_EQ(CountLines(pages[1], "05/05/2008"), 49);
    EXPECT_EQ(CountLines(pages[2], "05/05/2008"), 27);
    EXPECT_THAT(LineOf(pages[1], "1044"), Contains("45")) << "page 2 starts with row 45";
    EXPECT_THAT(LineOf(pages[0], "1043"), Contains("44"));
    for (size_t p = 1; p < pages.size(); ++p) {
        EXPECT_THAT(LineOf(pages[p], "RECIPIENT"), Not(IsEmpty())) << "the frame's title";
        EXPECT_THAT(LineOf(pages[p], "DESCRIPTION"), Not(IsEmpty())) << "the heading";
        EXPECT_THAT(LineOf(pages[p], "FROM"), IsEmpty()) << "no recipient block";
        EXPECT_THAT(LineOf(pages[p], "Report"), IsEmpty()) << "no report date";
        EXPECT_THAT(LineOf(pages[p], "Harbor"), Not(IsEmpty())) << "the footer";
    }
    EXPECT_THAT(LineOf(pages[0], "*****Totals******"), IsEmpty());
    const std::string total = FormatFloat("$#,.00", static_cast<double>(cents) / 100);
    EXPECT_THAT(LineOf(pages[2], "*****Totals******"),
                ElementsAre("*****Totals******", total, "$.00", "$.00", "$.00"));
}

TEST_F(ReportsTest, TransactionsOutsideTheRangeAfterAFullPageStartNoEmptyPage)
{
    std::vector<TReportTransaction> rows;
    for (int i = 0; i < 44; ++i)
        rows.push_back({"ZED", "05/05/2008", 1000 + i, "In the range", 1});
    for (int i = 0; i < 5; ++i)
        rows.push_back({"ZED", "12/01/2008", 2000 + i, "Later", 1});
    AddTransactions(rows);
    ToRecipient("ZED");
    const std::vector<TPrintedPage> pages = Transactions("ZED", "010108", "063008", "transactions-full-page");
    ASSERT_EQ(pages.size(), 1u) << "the page breaks only for a row that is due";
    EXPECT_EQ(CountLines(pages[0], "05/05/2008"), 44);
    EXPECT_THAT(LineOf(pages[0], "*****Totals******"),
                ElementsAre("*****Totals******", "$44.00", "$.00", "$.00", "$.00"));
}

TEST_F(ReportsTest, TotalsListingHasARowForEveryRecipientAndGrandTotals)
{
    const std::vector<TPrintedPage> pages = Totals("010108", "063008", "totals");
    ASSERT_EQ(pages.size(), 1u);
    const TPrintedPage& page = pages[0];
    EXPECT_THAT(LineOf(page, "Page"), ElementsAre("Report", "Date:", "12-31-2008", "Page", "-", "1"));
    EXPECT_THAT(LineOf(page, "Rental"), ElementsAre("Rental", "Division"));
    EXPECT_THAT(LineOf(page, "Bedford"), Contains("Bedford"));
    EXPECT_THAT(LineOf(page, "(508)"), ElementsAre("(508)", "555-0142"));
    EXPECT_THAT(LineOf(page, "FROM"), ElementsAre("TOTALS", "FROM", "01-01-2008", "THROUGH", "06-30-2008"));
    EXPECT_THAT(LineOf(page, "NAME"),
                ElementsAre("EMP", "ID", "EMPLOYEE", "NAME", "AMOUNT", "FWT", "STATE", "AMT", "SWT"));
    EXPECT_THAT(LineOf(page, "AB"), ElementsAre("AB", "Alice", "Brown", "-$24.70", "-$2.49", "$.30", "$.02"));
    EXPECT_THAT(LineOf(page, "ABC"),
                ElementsAre("ABC", "Abe", "Carter", "$500.00", "$50.00", "$500.00", "$25.00"));
    EXPECT_THAT(LineOf(page, "ZED"), ElementsAre("ZED", "Zoe", "Dunn", "$.00", "$.00", "$.00", "$.00"))
            << "a recipient without transactions still has its row";
    EXPECT_THAT(LineOf(page, "*****Totals******"),
                ElementsAre("*****Totals******", "$475.30", "$47.51", "$500.30", "$25.02"));
}

TEST_F(ReportsTest, TotalsListingBreaksPagesWithTheSectionHeaderNumbered)
{
    std::vector<TReportRecipient> recipients;
    std::vector<std::string> ids;
    for (int i = 0; i < 60; ++i)
        ids.push_back("R" + std::to_string(100 + i));
    for (const std::string& id : ids)
        recipients.push_back({id.c_str(), "Recipient"});
    AddRecipients(recipients);
    const std::vector<TPrintedPage> pages = Totals("", "", "totals-long");
    ASSERT_EQ(pages.size(), 2u);
    // 39 rows below the payer block: AB, ABC, R100 ... R136; then R137 ... R159 and ZED.
    EXPECT_EQ(CountLines(pages[0], "Recipient"), 37);
    EXPECT_EQ(CountLines(pages[1], "Recipient"), 23);
    EXPECT_THAT(LineOf(pages[1], "R137"), Not(IsEmpty()));
    EXPECT_THAT(LineOf(pages[1], "ZED"), Not(IsEmpty()));
    EXPECT_THAT(LineOf(pages[1], "Page"), ElementsAre("Report", "Date:", "12-31-2008", "Page", "-", "2"));
    EXPECT_THAT(LineOf(pages[1], "NAME"), Not(IsEmpty()));
    EXPECT_THAT(LineOf(pages[1], "FROM"), IsEmpty());
    EXPECT_THAT(LineOf(pages[1], "*****Totals******"),
                ElementsAre("*****Totals******", "$2,375.30", "$47.51", "$500.30", "$25.02"));
}

TEST_F(ReportsTest, TheTablesKeepTheirOrderFilterAndRecord)
{
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    const String ownFilter = "EMP_ID='ABC     '";
    struct TCase {
        const char* Name;
        std::function<void()> Report;
    };
    const TCase cases[] = {{"transactions", [&] { Transactions("AB", "", "", "state-transactions"); }},
                           {"totals", [&] { Totals("", "", "state-totals"); }}};
    for (const TCase& c : cases) {
        recipients->SetOrder(recipients->TagArea("NAME1"));
        ToRecipient("AB");
        recipients->SetOrder(recipients->TagArea("NAME1"));
        transactions->SetOrder(transactions->TagArea("DATE"));
        transactions->SetFilter(ownFilter);
        transactions->SetFiltered(true);
        transactions->First();
        const int recipientOrder = recipients->IndexOrd();
        const int transactionOrder = transactions->IndexOrd();
        c.Report();
        EXPECT_EQ(recipients->IndexOrd(), recipientOrder) << c.Name;
        EXPECT_EQ(recipients->FieldByName("ID")->AsString(), "AB") << c.Name;
        EXPECT_EQ(transactions->IndexOrd(), transactionOrder) << c.Name;
        EXPECT_EQ(transactions->Filter(), ownFilter) << c.Name;
        EXPECT_TRUE(transactions->Filtered()) << c.Name;
        int shown = 0;
        for (transactions->First(); !transactions->Eof(); transactions->Next())
            ++shown;
        EXPECT_EQ(shown, 1) << c.Name << ": the filter works as before";
    }
}

TEST_F(ReportsTest, ATypedTextThatIsNoDateStopsTheRunBeforeAnythingStarts)
{
    Dir.Write("PRV0001.BMP", "an earlier preview");
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    transactions->SetFiltered(false);
    for (const auto& [from, to] : {std::pair {"13452008", "063008"}, {"010108", "02302008"}}) {
        Dialogs.Messages.clear();
        const std::vector<TPrintedPage> transactionPages = Transactions("AB", from, to, "bad-date");
        EXPECT_TRUE(transactionPages.empty()) << "nothing printed";
        const std::vector<TPrintedPage> totalsPages = Totals(from, to, "bad-date");
        EXPECT_TRUE(totalsPages.empty());
        ASSERT_EQ(Shown().size(), 2u);
        EXPECT_THAT(Shown()[0], ::testing::MatchesRegex("'.*' is not a valid date\\."));
        EXPECT_EQ(Shown()[0], Shown()[1]);
        EXPECT_TRUE(FileExists(Dir / "PRV0001.BMP")) << "the old page files stay";
        EXPECT_FALSE(transactions->Filtered());
    }
    EXPECT_EQ(Shown()[0], "'02-30-2008' is not a valid date.");
}

TEST_F(ReportsTest, RejectListingPrintsOneLinePerTextAndAnEmptyListTheFrameAndDateOnly)
{
    TStringList list;
    list.Add("Payer TIN is missing.");
    list.Add("Recipient AB: address is missing.");
    std::vector<TPrintedPage> pages = PrintedPages([&] { PrintEFileRejects(&list); }, "rejects");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_THAT(LineOf(pages[0], "LISTING"), ElementsAre("E-FILE", "REJECT", "LISTING"));
    EXPECT_THAT(LineOf(pages[0], "Report"), ElementsAre("Report", "Date", "12-31-2008"));
    EXPECT_THAT(LineOf(pages[0], "TIN"), ElementsAre("Payer", "TIN", "is", "missing."));
    EXPECT_THAT(LineOf(pages[0], "AB:"), ElementsAre("Recipient", "AB:", "address", "is", "missing."));

    TStringList empty;
    pages = PrintedPages([&] { PrintEFileRejects(&empty); }, "rejects-empty");
    ASSERT_EQ(pages.size(), 1u);
    std::vector<std::string> words;
    for (const TPrintedWord& word : pages[0])
        words.push_back(word.Text);
    EXPECT_THAT(words,
                ElementsAreArray({"E-FILE", "REJECT", "LISTING", "Report", "Date", "12-31-2008", "Harbor",
                                  "Supply", "Co", "12", "Harbor", "Road", "New", "Bedford", "MA", "02740"}));
}

TEST_F(ReportsTest, InPreviewTheReportsPagesShowInThePreviewWithTheirCount)
{
    TStringList list;
    for (int i = 1; i <= 60; ++i)
        list.Add("Missing item " + std::to_string(i));
    FMain->Preview = true;
    int shownCount = 0;
    String orientation;
    WhenShown<TFPreview>([&](TFPreview* Form) {
        shownCount = Form->PageCount;
        orientation = Form->Orientation;
        Form->Close();
    });
    PrintEFileRejects(&list);
    EXPECT_EQ(shownCount, 2) << "50 lines a page";
    EXPECT_EQ(orientation, "poPortrait");
    EXPECT_THAT(ListFiles(Dir.Path(), "PRV*.BMP"), ElementsAre("PRV0001.BMP", "PRV0002.BMP"));
    EXPECT_EQ(FPreview, nullptr) << "the form is gone after it closed";

    ToRecipient("AB");
    AnswerDateRange("", "");
    WhenShown<TFPreview>([&](TFPreview* Form) {
        shownCount = Form->PageCount;
        Form->Close();
    });
    PrintEmployeeTransactions("AB");
    EXPECT_EQ(shownCount, 1);
    EXPECT_THAT(ListFiles(Dir.Path(), "PRV*.BMP"), ElementsAre("PRV0001.BMP"))
            << "the run's old pages are gone";
}

}  // namespace
