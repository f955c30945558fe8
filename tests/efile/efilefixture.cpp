#include "tests/efile/efilefixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "efile/efilewriter.h"
#include "platform/rtl/fileops.h"

namespace {

void WriteBytes(const std::string& Path, const std::string& Bytes)
{
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << Bytes;
}

}  // namespace

void EFileFixture::SetUp()
{
    ShellFixture::SetUp();
    StartMain();
}

TPayerRow EFileFixture::CompletePayer()
{
    return {{"NAME1", "O'Brien & Sons, Inc."},
            {"NAME2", "Rental Division"},
            {"ADDRESS1", "12 Harbor Road"},
            {"CITY", "New Bedford"},
            {"STATE", "ma"},
            {"ZIP", "02740-1234"},
            {"TAX_ID", "12-3456789"},
            {"SSN", "987-65-4321"},
            {"TELEPHONE", "(508) 555-0142"}};
}

void EFileFixture::AddRecipients(std::initializer_list<TRecipientRow> Rows)
{
    TDaroruTable* table = DClientDataBase->tblEmployee;
    for (const TRecipientRow& row : Rows) {
        table->Append();
        const std::pair<const char*, const char*> texts[] = {
                {"ID", row.ID},
                {"NAME1", row.Name1},
                {"LAST", row.Last},
                {"TAX_ID", row.TaxID},
                {"SSN", row.SSN},
                {"ADDRESS", row.Address},
                {"CITY", row.City},
                {"STATE", row.State},
                {"ZIP", row.Zip},
                {"TRANS_TYPE", row.TransType},
                {"DIR_SALES", row.DirSales},
        };
        for (const auto& [field, value] : texts)
            table->FieldByName(field)->SetAsString(value);
        const std::pair<const char*, double> amounts[] = {
                {"TOTAMT", row.Total}, {"FWT", row.Fwt}, {"SWT1", row.Swt1}, {"SWT2", row.Swt2}};
        for (const auto& [field, value] : amounts)
            table->FieldByName(field)->SetAsFloat(value);
        table->Post();
    }
}

void EFileFixture::SetCompleteTransmitter()
{
    TDClientDataBase& d = *DClientDataBase;
    d.TransmitterTIN = "04-1234567";
    d.ControlCode = "5a1b2";
    d.ForeignEntity = "N";
    d.TransmitterName = "Harbor Bookkeeping Services";
    d.ReplacementFileName = "";
    d.Resubmission = "N";
    d.LastFiling = "N";
    d.CorrectionFile = "N";
    d.ContactName = "Mary O'Neil";
    d.ContactPhone = "(508) 555-0100 x12";
    d.ContactEmail = "mary.oneil@harbor-books.example";
    d.Interest1099 = "N";
}

String EFileFixture::ClientDir() const { return FMain->DataDir + FMain->User->ClientID + "/"; }

String EFileFixture::BuildFile()
{
    const String path = ClientDir() + ElectronicFileName(*DClientDataBase);
    BuildElectronicFile(*DClientDataBase, path, [] {});
    return Dir.Read(path);
}

void EFileFixture::ExpectGolden(const String& Case, const String& FileName, const String& Bytes)
{
    WriteBytes(std::string(TOTAMUND_ARTIFACT_DIR) + "/efile/" + Case + "/" + FileName, Bytes);
    const std::string golden =
            std::string(TOTAMUND_SOURCE_DIR) + "/tests/efile/golden/" + Case + "/" + FileName;
    if (std::getenv("TOTAMUND_UPDATE_GOLDEN"))
        WriteBytes(golden, Bytes);
    EXPECT_TRUE(Dir.Read(golden) == Bytes) << "the file differs from " << golden;
}
