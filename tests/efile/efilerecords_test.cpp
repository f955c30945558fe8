// The record fields that carry rules of their own: the name and address filter,
// amounts and codes, name controls, the plain-ASCII text fields and the payer's
// identification number.

#include <gmock/gmock.h>

#include "app/clientdatabase.h"
#include "efile/efilerecords.h"
#include "efile/missingitems.h"
#include "tests/efile/recordlayout.h"

namespace {

using ::testing::ElementsAre;

TPayee Payee(const char* Type, Int64 Total, Int64 Fwt = 0)
{
    TPayee p {"PAYEE", "LAST", "", "123456789", "1 ST", "TOWN", "MA", "02108", Type, ""};
    p.Total = Total;
    p.FederalWithheld = Fwt;
    return p;
}

TEST(EFileRecords, FilterKeepsLettersDigitsAndEveryBlank)
{
    EXPECT_EQ(FilterEFileText("O'Brien & Sons, Inc."), "OBRIEN  SONS INC");
    EXPECT_EQ(FilterEFileText(" a-b  "), " AB  ");
    EXPECT_EQ(FilterEFileText("Jos\xE9"), "JOS");  // accented letters are not name characters
}

TEST(EFileRecords, AmountsAreTwelveDigitsOfCents)
{
    EXPECT_EQ(FormatEFileAmount(123450), "000000123450");
    EXPECT_EQ(FormatEFileAmount(-2500), "000000002500");
    EXPECT_EQ(FormatEFileAmount(0), "000000000000");
}

TEST(EFileRecords, AmountCodesFollowTheRowsFiled)
{
    struct Case {
        TReturnKind Kind;
        std::vector<TPayee> Rows;
        const char* Codes;
    };
    const Case cases[] = {
            {TReturnKind::Misc, {Payee("N", 100), Payee("R", 200, 10)}, "147"},
            {TReturnKind::Misc, {Payee("A", 0), Payee("G", 5), Payee("C", 5), Payee("I", 9, 9)}, "ABC"},
            {TReturnKind::Misc, {Payee("", 100)}, ""},
            {TReturnKind::Interest, {Payee("I", 100)}, "1"},
            {TReturnKind::Interest, {Payee("I", 100, 5), Payee("N", 7, 7)}, "14"},
    };
    for (const Case& c : cases) {
        TPayeeSummary summary(c.Kind);
        for (const TPayee& row : c.Rows)
            summary.Add(row);
        EXPECT_EQ(summary.AmountCodes(), c.Codes);
    }
}

TEST(EFileRecords, PayeeNameControlComesFromTheLastNameOrTheBusinessName)
{
    struct Case {
        const char* Name1;
        const char* Last;
        const char* TaxID;
        const char* Control;
    };
    const Case cases[] = {
            {"The Smith-Jones Co", "", "95-1234567", "SMIT"},
            {"THE", "", "95-1234567", "THE "},
            {"The & Co", "", "95-1234567", "CO  "},
            {"A & B Inc", "", "95-1234567", "ABIN"},
            {"Mary Smith", "Smith", "", "SMIT"},
            {"Ng Lee", "Ng", "", "NG  "},
    };
    for (const Case& c : cases) {
        TPayee p = Payee("N", 1);
        p.Name1 = c.Name1;
        p.Last = c.Last;
        p.TaxID = c.TaxID;
        EXPECT_EQ(Field(PayeeRecord(p, TReturnKind::Misc, 3), 7, 4), c.Control) << c.Name1;
    }
}

class EFilePayerTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMissingItems(); }
    TDClientDataBase Transmitter {nullptr};
};

TEST_F(EFilePayerTest, PayerIsIdentifiedByItsTaxIDElseItsSSN)
{
    struct Case {
        const char* TaxID;
        const char* SSN;
        const char* Written;
        std::vector<String> Lines;
    };
    const Case cases[] = {
            {"12-3456789", "987-65-4321", "123456789", {}},
            {"", "123-45-6789", "123456789", {}},
            {"", "", "         ", {"Payer's Identification Number Required information missing"}},
            {"12-34567", "", "         ", {"Payer's Identification Number must have 9 digits"}},
            {"", "123-45-67890", "         ", {"Payer's SSN must have 9 digits"}},
    };
    for (const Case& c : cases) {
        ResetMissingItems();
        TPayer payer {"PAYER", "", "1 ST", "TOWN", "MA", "02108", c.TaxID, c.SSN, ""};
        EXPECT_EQ(Field(PayerRecord(Transmitter, payer, ""), 12, 9), c.Written);
        std::vector<String> lines;
        for (int i = 0; i < MissingItems().Count(); ++i)
            lines.push_back(MissingItems()[i]);
        EXPECT_EQ(lines, c.Lines) << c.TaxID << "/" << c.SSN;
    }
}

TEST_F(EFilePayerTest, TextFieldsCarryPlainAsciiOnly)
{
    Transmitter.ControlCode = "\xC9t\xE9\x01Z";
    Transmitter.ContactEmail = "m\xFC"
                               "ller@b\xE4"
                               "ck.example\x7F";
    TPayer payer {"PAYER", "", "1 ST", "TOWN", "m\xE9", "02108", "12-3456789", "", ""};
    const String t = TransmitterRecord(Transmitter, payer, 0);
    EXPECT_EQ(Field(t, 16, 5), "ETEZ ");
    EXPECT_EQ(Field(t, 359, 20), "MULLER@BACK.EXAMPLE ");
    EXPECT_EQ(Field(t, 270, 2), "ME");
    EXPECT_EQ(Field(t, 281, 15), String(15, ' '));
}

TEST_F(EFilePayerTest, ForeignEntityAndLastFilingAreOnlyAnExactY)
{
    TPayer payer {"PAYER", "", "1 ST", "TOWN", "MA", "02108", "12-3456789", "", ""};
    for (const char* flag : {"y", "N", "", " Y"}) {
        Transmitter.ForeignEntity = Transmitter.LastFiling = flag;
        EXPECT_EQ(Field(TransmitterRecord(Transmitter, payer, 0), 29, 1), " ") << flag;
        EXPECT_EQ(Field(PayerRecord(Transmitter, payer, ""), 25, 1), " ") << flag;
        EXPECT_EQ(Field(PayerRecord(Transmitter, payer, ""), 52, 1), " ") << flag;
    }
    Transmitter.ForeignEntity = Transmitter.LastFiling = "Y";
    EXPECT_EQ(Field(TransmitterRecord(Transmitter, payer, 0), 29, 1), "1");
    EXPECT_EQ(Field(PayerRecord(Transmitter, payer, ""), 25, 28), "1 A" + String(24, ' ') + "1");
}

}  // namespace
