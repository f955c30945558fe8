// The electronic file of whole clients: each fixture client's file against its
// golden copy and the record layout, the fields that carry the client's data,
// the file's name and its replacement, and a failed run.

#include <gmock/gmock.h>

#include <set>

#include "efile/efilewriter.h"
#include "efile/missingitems.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "tests/efile/efilefixture.h"
#include "tests/efile/recordlayout.h"

namespace {

using ::testing::ElementsAre;

// Position Start of record Record (0: T, 1: A, 2 on: B, then C and F) holds Expected.
struct TExpectedField {
    int Record;
    int Start;
    const char* Expected;
};

void ExpectFields(const std::vector<String>& Records, std::initializer_list<TExpectedField> Fields)
{
    for (const TExpectedField& f : Fields) {
        const int record = f.Record < 0 ? static_cast<int>(Records.size()) + f.Record : f.Record;
        ASSERT_LT(record, static_cast<int>(Records.size()));
        const String expected = f.Expected;
        EXPECT_EQ(Field(Records[record], f.Start, static_cast<int>(expected.size())), expected)
                << "record " << record + 1 << " position " << f.Start;
    }
}

class EFileWriterTest : public EFileFixture {
protected:
    // A 1099-MISC client whose recipients cover every income type letter, federal
    // and both state withholdings and direct sales, and one interest recipient.
    void OpenMiscClient()
    {
        OpenClient("08MISC", CompletePayer());
        SetCompleteTransmitter();
        AddRecipients({
                {"R01", "Harbor Realty Trust", "", "95-1234567", "", "1 Pier St", "Fall River", "MA", "02720",
                 "R", "", 12000.00, 100.00, 50.00, 25.00},
                {"R02", "Jane Author", "Author", "", "123-45-6789", "2 Elm St", "Salem", "MA", "01970", "Y",
                 "", 1500.55},
                {"R03", "The Other Co", "", "95-2345678", "", "3 Oak St", "Lynn", "MA", "01901-2222", "O", "",
                 600.00},
                {"R04", "Captain Ahab", "", "", "234-56-7890", "4 Wharf St", "Nantucket", "MA", "02554", "F",
                 "", 2200.00},
                {"R05", "Bay Medical Group", "", "95-3456789", "", "5 Main St", "Quincy", "MA", "02169", "M",
                 "", 3200.10},
                {"R06", "JOHN Q PUBLIC", "", "", "345-67-8901", "6 Pine St", "Boston", "MA", "02108", "N",
                 "Y", 1500.00, 0, 30.00},
                {"R07", "Sub Payments LLC", "", "95-4567890", "", "7 Ash St", "Dover", "NH", "03820", "P", "",
                 700.00},
                {"R08", "Crop Mutual", "", "95-5678901", "", "8 Farm Rd", "Concord", "NH", "03301", "C", "",
                 800.00},
                {"R09", "Golden Exec", "Exec", "", "456-78-9012", "9 Gold Ct", "Newton", "MA", "02458", "G",
                 "", 90000.00, 18000.00},
                {"R10",
                 "Jos\xE9 N\xFA\xF1"
                 "ez, Esq.",
                 "N\xFA\xF1"
                 "ez",
                 "", "567-89-0123", "10 Court St", "Boston", "MA", "02108", "A", "", 5000.00},
                {"R11", "Savings Depositor", "Depositor", "", "678-90-1234", "11 Bank St", "Boston", "MA",
                 "02108", "I", "", 45.00, 5.00},
        });
    }
};

TEST_F(EFileWriterTest, MiscClientFileHoldsEachIncomeTypeInItsAmountAndTotals)
{
    OpenMiscClient();
    const String bytes = BuildFile();
    ExpectWellFormed(bytes);
    ExpectGolden("misc", "ELF1099", bytes);
    const std::vector<String> r = Records(bytes);
    ASSERT_EQ(r.size(), 14u);  // the interest recipient is not filed
    ExpectFields(r, {
                            {0, 7, "041234567"},
                            {0, 16, "5A1B2"},
                            {0, 29, " "},
                            {0, 30, "HARBOR BOOKKEEPING SERVICES             "},
                            {0, 110, "OBRIEN  SONS INC                        "},
                            {0, 150, "RENTAL DIVISION"},
                            {0, 270, "MA027401234"},
                            {0, 296, "00000010"},
                            {0, 344, "508555010012   "},
                            {0, 359, "MARY.ONEIL@HARBOR-BOOKS.EXAMPLE "},
                            {0, 500, "00000001"},
                            {1, 12, "123456789OBRI  A12345678ABC   "},
                            {1, 52, " OBRIEN  SONS INC"},
                            {1, 214, "MA027401234"},
                            {1, 225, "5085550142     "},
                            // R: amount 1, withholding in 4, first state in 723-734; the second state's is no
                            // local tax.
                            {2, 7, "HARB1951234567"},
                            {2, 55, "000001200000000000000000000000000000000000010000"},
                            {2, 723, "000000005000000000000000"},
                            {3, 7, "AUTH2123456789"},
                            {3, 67, "000000150055"},
                            {4, 7, "OTHE1"},
                            {4, 79, "000000060000"},
                            {4, 490, "019012222"},
                            {5, 7, "AHAB2"},
                            {5, 103, "000000220000"},
                            {6, 115, "000000320010"},
                            {7, 7, "PUBL2345678901"},
                            {7, 127, "000000150000"},
                            {7, 547, "1"},
                            {7, 723, "000000003000"},
                            {8, 139, "000000070000"},
                            {9, 163, "000000080000"},
                            {10, 175, "000009000000"},
                            {10, 91, "000001800000"},
                            {11, 7, "NEZ 2"},
                            {11, 187, "000000500000"},
                            {11, 248, "JOS NEZ ESQ "},
                            {-2, 2, "00000010"},
                            {-2, 16, "000000000001200000"},
                            {-2, 70, "000000000001810000"},
                            {-1, 50, "00000010"},
                            {-1, 500, "00000014"},
                    });
    EXPECT_TRUE(MissingItemsText.empty()) << MissingItemsText;
}

TEST_F(EFileWriterTest, SocialSecurityPayeesWithoutLastNameGetItStored)
{
    OpenMiscClient();
    BuildFile();
    std::map<String, String> lasts;
    TDaroruTable* t = DClientDataBase->tblEmployee;
    for (t->First(); !t->Eof(); t->Next())
        lasts[t->FieldByName("ID")->AsString()] = t->FieldByName("LAST")->AsString();
    EXPECT_EQ(lasts["R04"], "Ahab");
    EXPECT_EQ(lasts["R06"], "PUBLIC");
    EXPECT_EQ(lasts["R01"], "") << "a business is named by its name, not a stored last name";
    EXPECT_EQ(lasts["R11"], "Depositor");
}

TEST_F(EFileWriterTest, RecipientsInLastNameOrderAreEachFiledOnce)
{
    OpenMiscClient();
    TDaroruTable* t = DClientDataBase->tblEmployee;
    t->SetOrder(t->TagArea("LAST"));
    const std::vector<String> r = Records(BuildFile());
    std::multiset<String> names;
    for (size_t i = 2; i + 2 < r.size(); ++i)
        names.insert(Trim(Field(r[i], 248, 40)));
    EXPECT_EQ(names.size(), 10u);
    EXPECT_EQ(names.count("JOHN Q PUBLIC"), 1u);
    EXPECT_EQ(names.count("CAPTAIN AHAB"), 1u);
}

TEST_F(EFileWriterTest, InterestClientFilesOnlyInterestRecipientsUnderTheReplacementName)
{
    OpenClient("08INT", CompletePayer());
    SetCompleteTransmitter();
    DClientDataBase->Interest1099 = "Y";
    DClientDataBase->ReplacementFileName = "TEST01";
    DClientDataBase->ForeignEntity = "y";  // only "Y" is yes
    DClientDataBase->LastFiling = "Y";
    AddRecipients({
            {"I01", "Ann Saver", "Saver", "", "111-22-3333", "1 Bank St", "Boston", "MA", "02108", "I", "Y",
             120.40, 12.04, 3.00},
            {"N01", "Contract Worker", "Worker", "", "222-33-4444", "2 Shop St", "Boston", "MA", "02108", "N",
             "", 900.00, 50.00},
            {"I02", "Bob Banker", "Banker", "", "333-44-5555", "3 Bank St", "Boston", "MA", "02108", "I", "",
             80.00},
    });
    const String bytes = BuildFile();
    EXPECT_TRUE(FileExists(ClientDir() + "TEST01"));
    EXPECT_FALSE(FileExists(ClientDir() + "ELF1099"));
    ExpectWellFormed(bytes);
    ExpectGolden("int", "TEST01", bytes);
    const std::vector<String> r = Records(bytes);
    ASSERT_EQ(r.size(), 6u);
    ExpectFields(r, {
                            {0, 29, " "},
                            {0, 296, "00000002"},
                            {1, 25, "1 6"},
                            {1, 28, "14            "},
                            {1, 52, " "},
                            {2, 55, "000000012040000000000000000000000000000000001204"},
                            {2, 547, " "},
                            {2, 723, "000000000000000000000000"},
                            {3, 7, "BANK2333445555"},
                            {3, 91, "000000000000"},
                            {-2, 16, "000000000000020040"},
                            {-2, 70, "000000000000001204"},
                            {-1, 50, "00000002"},
                    });
}

TEST_F(EFileWriterTest, ClientWithoutRecipientsWritesFourRecords)
{
    OpenClient("08NONE", CompletePayer());
    SetCompleteTransmitter();
    const String bytes = BuildFile();
    EXPECT_EQ(bytes.size(), 3000u);
    ExpectWellFormed(bytes);
    ExpectGolden("empty", "ELF1099", bytes);
    const std::vector<String> r = Records(bytes);
    ExpectFields(
            r, {{0, 296, "00000000"}, {1, 28, "              "}, {2, 500, "00000003"}, {3, 500, "00000004"}});
}

TEST_F(EFileWriterTest, NegativeTotalIsWrittenAsItsSizeWithTotalsThatAgreeAndIsListed)
{
    OpenClient("08NEG", CompletePayer());
    SetCompleteTransmitter();
    AddRecipients({
            {"N01", "Refund Case", "Case", "", "123-45-6789", "1 Main St", "Boston", "MA", "02108", "N", "",
             -25.00},
            {"N02", "Paid Person", "Person", "", "234-56-7890", "2 Main St", "Boston", "MA", "02108", "N", "",
             100.00},
    });
    const String bytes = BuildFile();
    ExpectWellFormed(bytes);
    ExpectGolden("negative", "ELF1099", bytes);
    const std::vector<String> r = Records(bytes);
    ExpectFields(r, {{2, 127, "000000002500"}, {-2, 124, "000000000000012500"}});
    EXPECT_THAT(MissingItems().Text(), "Refund Case Total of -25.00 must not be negative\r\n");
}

TEST_F(EFileWriterTest, ClientWithItemsMissingStillGetsAWholeFile)
{
    OpenClient("08GAPS", {{"NAME1", "Gap Co"}, {"ZIP", "0212"}});
    AddRecipients({
            {"G01", "", "", "", "", "", "", "", "", "N", "", 10.00},
            {"G02", "JANE DOE", "", "", "", "4 Elm", "Salem", "MA", "01970", "N", "", 20.00},
            {"G03", "JANE DOE", "", "", "", "4 Elm", "Salem", "MA", "01970", "N", "", 30.00},
            {"G04", "Short Tin", "Tin", "12-345678", "", "5 Elm", "Salem", "MA", "0197", "N", "", 40.00},
    });
    const String bytes = BuildFile();
    ExpectWellFormed(bytes);
    ExpectGolden("missing", "ELF1099", bytes);
    const std::vector<String> r = Records(bytes);
    ExpectFields(r, {{0, 7, "         "}, {1, 12, "         "}, {2, 11, "2         "}});
    EXPECT_FALSE(MissingItemsText.empty());
}

// A number of other than nine digits, cut or padded, would be another taxpayer's:
// the payer's and the payees' are written as not available, and the list names each.
TEST_F(EFileWriterTest, TinOfOtherThanNineDigitsIsWrittenBlankAndListed)
{
    struct TTinCase {
        const char* Case;
        const char* ClientID;
        const char* PayerTin;
        const char* PayeeEin;
        const char* PayeeSsn;
    };
    for (const TTinCase& c : {TTinCase {"tin10", "08TIN10", "1234567890", "9512345678", "1234567890"},
                              TTinCase {"tin8", "08TIN8", "12-345678", "95-123456", "123-45-678"}}) {
        SCOPED_TRACE(c.Case);
        TPayerRow payer = CompletePayer();
        for (auto& [field, value] : payer)
            if (String(field) == "TAX_ID")
                value = c.PayerTin;
        OpenClient(c.ClientID, payer);
        SetCompleteTransmitter();
        AddRecipients({
                {"E01", "Harbor Realty Trust", "", c.PayeeEin, "", "1 Pier St", "Fall River", "MA", "02720",
                 "R", "", 1200.00},
                {"S01", "Jane Author", "Author", "", c.PayeeSsn, "2 Elm St", "Salem", "MA", "01970", "Y", "",
                 150.00},
        });
        const String bytes = BuildFile();
        ExpectWellFormed(bytes);
        ExpectGolden(c.Case, "ELF1099", bytes);
        ExpectFields(Records(bytes),
                     {{1, 12, "         OBRI"}, {2, 7, "HARB1         "}, {3, 7, "AUTH2         "}});
        EXPECT_EQ(MissingItems().Text(), "Payer's Identification Number must have 9 digits\r\nHarbor Realty "
                                         "Trust TIN must have 9 digits\r\n"
                                         "Jane Author TIN must have 9 digits\r\n");
        DClientDataBase->CloseClient();
    }
}

TEST_F(EFileWriterTest, SecondRunReplacesTheFile)
{
    OpenClient("08TWICE", CompletePayer());
    SetCompleteTransmitter();
    BuildFile();
    AddRecipients({{"N01", "Paid Person", "Person", "", "234-56-7890", "2 Main St", "Boston", "MA", "02108",
                    "N", "", 100.00}});
    EXPECT_EQ(BuildFile().size(), 3750u);
    EXPECT_THAT(ListFiles(ClientDir(), "ELF1099*"), ElementsAre("ELF1099"));
}

TEST_F(EFileWriterTest, FailedRunLeavesTheEarlierFileWhole)
{
    OpenClient("08BUSY", CompletePayer());
    SetCompleteTransmitter();
    const String earlier = BuildFile();
    AddRecipients({{"N01", "Paid Person", "Person", "", "234-56-7890", "2 Main St", "Boston", "MA", "02108",
                    "N", "", 100.00}});
    {
        // Another program has the file open: it cannot be replaced.
        TFileStream reader(ClientDir() + "ELF1099", fmOpenRead);
        EXPECT_THROW(BuildElectronicFile(*DClientDataBase, ClientDir() + "ELF1099", [] {}), EInOutError);
    }
    EXPECT_EQ(Dir.Read(ClientDir() + "ELF1099"), earlier);
    EXPECT_THAT(ListFiles(ClientDir(), "ELF1099*"), ElementsAre("ELF1099"));
}

}  // namespace
