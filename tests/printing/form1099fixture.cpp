#include "tests/printing/form1099fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/rtl/fileops.h"
#include "platform/vcl/graphics/bitmap.h"
#include "printing/formpages.h"

namespace {

const char* const OverlayNames[] = {"US1096$1.HP", "USMISCB1.HP", "USMISCC1.HP", "USMISC11.HP", "USMISC21.HP",
                                    "USINTB1.HP",  "USINTC1.HP",  "USINT11.HP",  "USINT21.HP"};

}  // namespace

std::string StandInOverlay(const std::string& Name) { return "[" + Name + "]" + Esc("&alrC"); }

void Form1099Fixture::SetUp()
{
    FormPrinterFixture::SetUp();
    for (const char* name : OverlayNames)
        Dir.Write(name, StandInOverlay(name));
    FMain->Preview = true;
    FMain->DeleteTempPrintFiles();
    FormPageHooks.ViewPrintedPages = [this](bool Show) { PageSteps.push_back(Show ? "view" : "collect"); };
    FormPageHooks.MakePdfFromPages = [this](const String& Name, int Kind) {
        PageSteps.push_back("pdf " + std::to_string(Kind) + " " + Name);
    };
}

void Form1099Fixture::TearDown()
{
    FormPageHooks = TFormPageHooks();
    FormPrinterFixture::TearDown();
}

void Form1099Fixture::OpenHarbor()
{
    OpenClient("HARBOR", {{"NAME1", "Harbor Supply Company of New England"},  // 36 characters
                          {"NAME2", "Marine Hardware Division"},
                          {"ADDRESS1", "1200 Harbor Road, Building 7"},
                          {"CITY", "New Bedford"},
                          {"STATE", "MA"},
                          {"ZIP", "02740-1234"},
                          {"TAX_ID", "12-3456789"},
                          {"SSN", "987-65-4321"}});
    AddRecipients({
            {.ID = "A01",
             .Name1 = "Alden Rentals LLC",
             .Address = "4 Pier Street",
             .Csz = "Fairhaven MA 02719",
             .TaxID = "04-5556667",
             .TransType = "R",
             .Total = 12000,
             .StateID1 = "MA 04-5556667",
             .Swt1 = 240,
             .StateInc1 = 12000},
            {.ID = "B02",
             .Name1 = "Bianca Morales",
             .Name2 = "dba Morales Design Studio",
             .Address = "77 County Street",
             .Csz = "New Bedford MA 02740",
             .SSN = "123-45-6789",
             .TransType = "N",
             .DirSales = "Y",
             .Total = 1234.5,
             .Fwt = 123.45,
             .StateID1 = "MA 123456789",
             .Swt1 = 61.73,
             .StateInc1 = 1234.5,
             .StateID2 = "RI 00-998877",
             .Swt2 = 0.5,
             .StateInc2 = 200},
            {.ID = "C03",
             .Name1 = "Carlos Pereira",
             .Address = "9 Rodney French Blvd",
             .Csz = "New Bedford MA 02744",
             .SSN = "234-56-7890",
             .TransType = "I",
             .Total = 0.5},
            {.ID = "D04",
             .Name1 = "Dorothy Quinn",
             .Name2 = "in trust for Molly Quinn",
             .Address = "15 Elm Terrace",
             .Csz = "Dartmouth MA 02747",
             .TaxID = "345678901",
             .SSN = "111-22-3333",
             .TransType = "I",
             .Total = 1875.25,
             .Fwt = 187.53},
            {.ID = "E05",
             .Name1 = "Edgar Tavares",
             .Address = "310 Acushnet Avenue",
             .Csz = "New Bedford MA 02740",
             .SSN = "456-78-9012",
             .TransType = "I",
             .Total = 310},
            {.ID = "F06",
             .Name1 = "Fiona Walsh-Montgomery-Pemberton",
             .Address = "2 Lighthouse Lane",
             .Csz = "Westport Point MA 02791",
             .SSN = "567-89-0123",
             .TransType = "I",
             .Total = 95.1,
             .Fwt = 9.51},
            {.ID = "G07",
             .Name1 = "Gideon Royalty Trust",
             .Address = "500 Main Street, Suite 1200",
             .Csz = "Providence RI 02903",
             .TaxID = "05-4443332",
             .TransType = "Y",
             .Total = 5000,
             .Fwt = 1250},
    });
    TDClientDataBase& d = *DClientDataBase;
    d.ContactName = "Mary O'Neil";
    d.ContactPhone = "(508) 555-0142";
    d.ContactEmail = "mary.oneil@harbor-books.example";
    d.Interest1099 = "N";
}

void Form1099Fixture::AddRecipients(std::initializer_list<TPrintRecipient> Rows)
{
    TDaroruTable* table = DClientDataBase->tblEmployee;
    for (const TPrintRecipient& row : Rows) {
        table->Append();
        const std::pair<const char*, const char*> texts[] = {
                {"ID", row.ID},
                {"NAME1", row.Name1},
                {"NAME2", row.Name2},
                {"ADDRESS", row.Address},
                {"CSZ", row.Csz},
                {"TAX_ID", row.TaxID},
                {"SSN", row.SSN},
                {"TRANS_TYPE", row.TransType},
                {"DIR_SALES", row.DirSales},
                {"STATE_ID1", row.StateID1},
                {"STATE_ID2", row.StateID2},
        };
        for (const auto& [field, value] : texts)
            table->FieldByName(field)->SetAsString(value);
        const std::pair<const char*, double> amounts[] = {
                {"TOTAMT", row.Total},         {"FWT", row.Fwt},   {"SWT1", row.Swt1},
                {"STATE_INC1", row.StateInc1}, {"SWT2", row.Swt2}, {"STATE_INC2", row.StateInc2}};
        for (const auto& [field, value] : amounts)
            table->FieldByName(field)->SetAsFloat(value);
        table->Post();
    }
}

void Form1099Fixture::GoToRecipient(const String& ID)
{
    TDaroruTable* table = DClientDataBase->tblEmployee;
    ASSERT_TRUE(table->Seek(ID)) << ID;
}

void Form1099Fixture::BuildPrint(int Mode, bool OnlyCurrent)
{
    DClientDataBase->BuildPrintTable(Mode, OnlyCurrent);
    DClientDataBase->tblEmployeePrint->Open();
}

void Form1099Fixture::WalkPrint(const std::function<void()>& PrintSheet)
{
    TDaroruTable* print = DClientDataBase->tblEmployeePrint;
    for (print->First(); !print->Eof(); print->Next())
        PrintSheet();
}

std::vector<std::string> Form1099Fixture::Pages() const
{
    std::vector<std::string> pages;
    for (const String& name : ListFiles(Dir.Path(), "PRN*.PRN"))
        pages.push_back(name);
    std::sort(pages.begin(), pages.end());
    return pages;
}

void Form1099Fixture::UseShippedOverlays()
{
    for (const char* name : OverlayNames)
        Dir.Write(name, Dir.Read(std::string(SHIPPED_FORMS_DIR "/") + name));
}

void Form1099Fixture::KeepPages(const std::string& Case) const
{
    namespace fs = std::filesystem;
    const fs::path kept = fs::path(TOTAMUND_ARTIFACT_DIR) / "forms" / Case;
    fs::remove_all(kept);
    fs::create_directories(kept);
    for (const std::string& page : Pages())
        fs::copy_file(Dir / page, kept / page);
}

void Form1099Fixture::KeepPictures(const std::string& Case) const
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(TOTAMUND_SCREENSHOT_DIR) / "forms";
    fs::create_directories(dir);
    const std::vector<std::string> pages = Pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::vector<pcl::Page> printed = pcl::Interpret(Dir.Read(pages[i]));
        ASSERT_EQ(printed.size(), 1u) << pages[i];
        const std::unique_ptr<TBitmap> picture = pcl::RenderPage(printed.front(), 100);
        const fs::path png = dir / (Case + "-" + std::to_string(i + 1) + ".png");
        EXPECT_TRUE(picture->Image().save(QString::fromStdString(png.string()), "PNG")) << png;
    }
}

void Form1099Fixture::ExpectGoldenPages(const std::string& Case) const
{
    namespace fs = std::filesystem;
    KeepPages(Case);
    const fs::path golden = fs::path(TOTAMUND_SOURCE_DIR) / "tests/printing/golden" / Case;
    const bool update = std::getenv("TOTAMUND_UPDATE_GOLDEN") != nullptr;
    if (update) {
        fs::remove_all(golden);
        fs::create_directories(golden);
    }
    const std::vector<std::string> pages = Pages();
    for (const std::string& page : pages) {
        if (update)
            fs::copy_file(Dir / page, golden / page);
        EXPECT_TRUE(Dir.Read((golden / page).string()) == Dir.Read(page))
                << page << " differs from " << (golden / page);
    }
    size_t goldenPages = 0;
    if (fs::exists(golden))
        for (const auto& entry : fs::directory_iterator(golden))
            goldenPages += entry.is_regular_file();
    EXPECT_EQ(pages.size(), goldenPages) << Case;
}
