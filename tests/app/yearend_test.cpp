// The year-end update on a real client: what the new client gets, what the old
// one keeps, the rebuilt pick list, and the checks that refuse before anything
// changes.

#include <gmock/gmock.h>

#include "app/smalldialogs.h"
#include "app/yearend.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

const char* const Question =
        "Are you sure you want to year-end-update? This function will copy the current client to a new "
        "client "
        "directory for the new year, zero / delete all transactions for the new client to make ready for the "
        "new "
        "year.  We highly recommend backing-up client data files prior to year-end-updating!";

class YearEndTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartOnClient("08ACME", "ACME SUPPLY");
        AddRecipient("R1", "FIRST ONE", "", 1200.50);
        AddRecipient("R2", "GONE AWAY", "06-30-2008", 300);
        AddRecipient("R3", "THIRD ONE", "", 75.25);
        for (const char* id : {"R1", "R1", "R2", "R3", "R3"})
            AddTransaction(id, 10);
        ForceDirectories(Dir / "NOTES");
    }

    void AddRecipient(const char* ID, const char* Name, const char* TermDate, double Total)
    {
        TDaroruTable* t = DClientDataBase->tblEmployee;
        t->Append();
        t->FieldByName("ID")->SetAsString(ID);
        t->FieldByName("NAME1")->SetAsString(Name);
        t->FieldByName("LAST")->SetAsString("SMITH");
        t->FieldByName("STATE")->SetAsString("NY");
        t->FieldByName("TERM_DATE")->SetAsString(TermDate);
        t->FieldByName("TOTAMT")->SetAsFloat(Total);
        t->FieldByName("FWT")->SetAsFloat(Total / 10);
        t->FieldByName("SWT1")->SetAsFloat(1);
        t->FieldByName("STATE_INC1")->SetAsFloat(2);
        t->FieldByName("SWT2")->SetAsFloat(3);
        t->FieldByName("STATE_INC2")->SetAsFloat(4);
        t->Post();
    }
    void AddTransaction(const char* ID, double Amount)
    {
        TDaroruTable* t = DClientDataBase->tblTransactions;
        t->Append();
        t->FieldByName("EMP_ID")->SetAsString(ID);
        t->FieldByName("AMOUNT")->SetAsFloat(Amount);
        t->Post();
    }

    // Runs the command with ID typed into the prompt.
    void Update(const char* ID)
    {
        WhenShown<TFGetFileID>([ID](TFGetFileID* Form) {
            TypeText(Form, ID);
            PressKey(Form, Qt::Key_Return);
        });
        TypeText(FTotStart, "07");
    }
};

// Reads a table of the new client.
class TableReader {
public:
    explicit TableReader(const String& FileName) : Table(nullptr)
    {
        Table.SetDatabaseName(ExtractFilePath(FileName));
        Table.SetTableName(FileName);
        Table.Open();
    }
    // Each row as the given fields joined with "|".
    std::vector<String> Rows(std::initializer_list<const char*> Fields)
    {
        std::vector<String> rows;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            String row;
            for (const char* field : Fields)
                row += (row.empty() ? "" : "|") + Trim(Table.FieldByName(field)->AsString());
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<bool> HasTags(std::initializer_list<const char*> Tags)
    {
        std::vector<bool> found;
        for (const char* tag : Tags)
            found.push_back(Table.TagArea(tag) > 0);
        return found;
    }
    TDaroruTable Table;
};

TEST_F(YearEndTest, NewClientGetsThePayerAndTheActiveRecipientsWithZeroTotals)
{
    Dialogs.AnswerMessage(mrYes);
    Update("09acme");
    ASSERT_FALSE(Dialogs.Messages.empty());
    EXPECT_EQ(Dialogs.Messages.front().Text, Question);
    EXPECT_THAT(Shown().back(), StartsWith("Year-end-update procedure is finished for " + Dir / "09ACME" +
                                           " Dont forget to change to the new client"));
    EXPECT_EQ(Shown().size(), 2u);

    // The payer record unchanged, its ID included.
    EXPECT_EQ(Dir.Read("09ACME/CLIENT.DBF"), Dir.Read("08ACME/CLIENT.DBF"));
    {
        TableReader recipients(Dir / "09ACME/EMPLOYEE.DBF");
        EXPECT_THAT(recipients.Rows({"ID", "NAME1", "LAST", "STATE", "TOTAMT", "FWT", "SWT1", "STATE_INC1",
                                     "SWT2", "STATE_INC2"}),
                    ElementsAre("R1|FIRST ONE|SMITH|NY|0|0|0|0|0|0", "R3|THIRD ONE|SMITH|NY|0|0|0|0|0|0"));
        EXPECT_THAT(recipients.HasTags({"ID", "NAME1", "LAST"}), ElementsAre(true, true, true));
        TableReader transactions(Dir / "09ACME/TOTTRANS.DBF");
        EXPECT_THAT(transactions.Rows({"EMP_ID"}), IsEmpty());
        EXPECT_THAT(transactions.HasTags({"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}),
                    ElementsAre(true, true, true, true, true, true));
    }

    // The old client keeps everything, with back-up copies, and stays current and open.
    EXPECT_EQ(Dir.Read("08ACME/EMPLOYEE.BAK"), Dir.Read("08ACME/EMPLOYEE.DBF"));
    EXPECT_EQ(Dir.Read("08ACME/TOTTRANS.BAK"), Dir.Read("08ACME/TOTTRANS.DBF"));
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    ASSERT_TRUE(DClientDataBase->tblEmployee->Active());
    int recipients = 0;
    for (DClientDataBase->tblEmployee->First(); !DClientDataBase->tblEmployee->Eof();
         DClientDataBase->tblEmployee->Next())
        ++recipients;
    EXPECT_EQ(recipients, 3);
    EXPECT_EQ(FTotStart->Caption(), "1099 Totamund Main");

    // One pick-list row per directory with a payer table.
    DClientDataBase->OpenClientList();
    std::vector<String> rows;
    TDaroruTable* list = DClientDataBase->tblClientList;
    for (list->First(); !list->Eof(); list->Next()) {
        rows.push_back(Trim(list->FieldByName("ID")->AsString()) + "|" +
                       Trim(list->FieldByName("NAME")->AsString()) + "|" +
                       Trim(list->FieldByName("PATH")->AsString()) + "|" +
                       Trim(list->FieldByName("YEAR")->AsString()));
    }
    DClientDataBase->CloseClientList();
    EXPECT_THAT(rows, ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME|",
                                  "09ACME|ACME SUPPLY|" + Dir / "09ACME|"));
}

TEST_F(YearEndTest, ASecondRunWritesTheBackUpsAgain)
{
    Dir.Write("08ACME/EMPLOYEE.BAK", "stale");
    ForceDirectories(Dir / "09ACME");  // a directory without a payer table is used
    Dialogs.AnswerMessage(mrYes);
    Update("09ACME");
    EXPECT_EQ(Dir.Read("08ACME/EMPLOYEE.BAK"), Dir.Read("08ACME/EMPLOYEE.DBF"));
    EXPECT_TRUE(FileExists(Dir / "09ACME/EMPLOYEE.CDX"));
}

// A copy that cannot be made stops the update with the old client open again.
TEST_F(YearEndTest, FailedCopiesStopTheUpdate)
{
    const String backUpQuestion = "Unable to make an internal back up of the employee/recipient database. "
                                  "Would you like to continue with "
                                  "year-end-update anyway?";
    // A directory where a copy should go makes the copy fail.
    ForceDirectories(Dir / "08ACME/EMPLOYEE.BAK");
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerMessage(mrNo);
    Update("09ACME");
    EXPECT_THAT(Shown(), ElementsAre(Question, backUpQuestion));
    EXPECT_FALSE(FileExists(Dir / "09ACME/CLIENT.DBF"));
    EXPECT_TRUE(DClientDataBase->tblClient->Active());

    Dialogs.Messages.clear();
    ForceDirectories(Dir / "10ACME/CLIENT.DBF");
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerMessage(mrYes);
    Update("10ACME");
    EXPECT_THAT(Shown(), ElementsAre(Question, backUpQuestion,
                                     "Unable to copy the client's basic information to " + Dir / "10ACME/" +
                                             ".  Year end update aborted."));
    EXPECT_FALSE(FileExists(Dir / "10ACME/EMPLOYEE.DBF"));
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    EXPECT_TRUE(DClientDataBase->tblClient->Active());
}

TEST_F(YearEndTest, ChecksRefuseBeforeAnythingChanges)
{
    MakeClient("09ACME", "NEXT YEAR");
    const String nextPayer = Dir.Read("09ACME/CLIENT.DBF");
    struct {
        const char* ClientID;
        int Answer;
        const char* Typed;
        std::vector<String> Messages;
    } cases[] = {
            {"", mrYes, nullptr, {"A valid client has not been selected."}},
            {"08ACME", mrNo, nullptr, {Question}},
            {"08ACME", mrYes, "", {Question, "Year end update aborted."}},
            {"08ACME",
             mrYes,
             "09ACME",
             {Question, "That client ID is already in use.  Year end update is aborted."}},
            {"08ACME", mrYes, "../X", {Question, UnusableIDMessage("../X", "Year end update aborted.")}},
    };
    for (const auto& c : cases) {
        Dialogs.Messages.clear();
        FMain->User->ClientID = c.ClientID;
        Dialogs.AnswerMessage(c.Answer);
        if (c.Typed) {
            WhenShown<TFGetFileID>([typed = c.Typed](TFGetFileID* Form) {
                TypeText(Form, typed);
                PressKey(Form, Qt::Key_Return);
            });
        }
        FTotStart->KVButton7Click(FTotStart);
        EXPECT_EQ(Shown(), c.Messages) << c.ClientID << " " << (c.Typed ? c.Typed : "-");
    }
    EXPECT_FALSE(FileExists(Dir / "08ACME/EMPLOYEE.BAK"));
    EXPECT_EQ(Dir.Read("09ACME/CLIENT.DBF"), nextPayer);
}

}  // namespace
