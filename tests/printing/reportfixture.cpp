#include "tests/printing/reportfixture.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>

#include "app/smalldialogs.h"
#include "platform/vcl/printing/printers.h"
#include "tests/support/keepcopy.h"

void ReportFixture::SetUp()
{
    ShellFixture::SetUp();
    StartMain();
    OpenClient("HARBOR", {{"NAME1", "Harbor Supply Co"},
                          {"NAME2", "Rental Division"},
                          {"ADDRESS1", "12 Harbor Road"},
                          {"CITY", "New Bedford"},
                          {"STATE", "MA"},
                          {"ZIP", "02740"},
                          {"TELEPHONE", "(508) 555-0142"}});
}

void ReportFixture::TearDown()
{
    TPrinter* printer = Printer();
    if (printer->Printing())
        printer->Abort();
    printer->SetOutputFileName("");
    printer->SetResolution(0);
    ShellFixture::TearDown();
}

void ReportFixture::AddRecipients(const std::vector<TReportRecipient>& Rows)
{
    TDaroruTable* table = DClientDataBase->tblEmployee;
    for (const TReportRecipient& row : Rows) {
        table->Append();
        for (const auto& [field, value] : {std::pair {"ID", row.ID},
                                           {"NAME1", row.Name1},
                                           {"NAME2", row.Name2},
                                           {"ADDRESS", row.Address},
                                           {"CSZ", row.Csz},
                                           {"HOME_PHONE", row.Phone}})
            table->FieldByName(field)->SetAsString(value);
        table->Post();
    }
}

void ReportFixture::AddTransactions(const std::vector<TReportTransaction>& Rows)
{
    TDaroruTable* table = DClientDataBase->tblTransactions;
    for (const TReportTransaction& row : Rows) {
        table->Append();
        table->FieldByName("EMP_ID")->SetAsString(row.EmpID);
        table->FieldByName("DATE")->SetAsString(row.Date);
        table->FieldByName("NUMBER")->SetAsInteger(row.Number);
        table->FieldByName("DESCR")->SetAsString(row.Description);
        table->FieldByName("AMOUNT")->SetAsFloat(row.Amount);
        table->FieldByName("FWT")->SetAsFloat(row.Fwt);
        table->FieldByName("STATE_INC1")->SetAsFloat(row.StateIncome);
        table->FieldByName("SWT1")->SetAsFloat(row.Swt);
        table->Post();
    }
}

void ReportFixture::AnswerDateRange(const std::string& From, const std::string& To)
{
    WhenShown<TFGetDateRange>([From, To](TFGetDateRange* Form) {
        TypeText(Form, From.c_str());
        PressKey(Form, Qt::Key_Return);
        TypeText(Form, To.c_str());
        PressKey(Form, Qt::Key_Return);
        PressKey(Form, Qt::Key_Return);
    });
}

std::vector<TPrintedPage> ReportFixture::PrintedPages(const std::function<void()>& Report,
                                                      const std::string& Name)
{
    const std::string pdf = Dir / (Name + ".pdf");
    TPrinter* printer = Printer();
    printer->SetOutputFileName(pdf);
    printer->SetResolution(300);
    FMain->Preview = false;
    Report();
    std::vector<TPrintedPage> pages;
    if (!std::filesystem::exists(pdf))
        return pages;
    KeepCopy(pdf, TOTAMUND_ARTIFACT_DIR "/printing", Name + ".pdf");
    FILE* pipe = ::popen(("pdftotext -bbox '" + pdf + "' -").c_str(), "r");
    std::string html;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        html.append(buffer, n);
    ::pclose(pipe);
    const std::regex item(R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    for (std::sregex_iterator it(html.begin(), html.end(), item), end; it != end; ++it) {
        if ((*it)[3].matched) {
            std::string text = (*it)[3];
            for (const auto& [entity, plain] :
                 {std::pair {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}})
                for (size_t at; (at = text.find(entity)) != std::string::npos;)
                    text.replace(at, std::string(entity).size(), plain);
            pages.back().push_back({text, std::stod((*it)[1]), std::stod((*it)[2])});
        } else {
            pages.emplace_back();
        }
    }
    return pages;
}

std::vector<std::string> ReportFixture::LineAt(const TPrintedPage& Page, double Y)
{
    std::vector<const TPrintedWord*> line;
    for (const TPrintedWord& word : Page)
        if (std::abs(word.Y - Y) < 3)
            line.push_back(&word);
    std::sort(line.begin(), line.end(),
              [](const TPrintedWord* a, const TPrintedWord* b) { return a->X < b->X; });
    std::vector<std::string> texts;
    for (const TPrintedWord* word : line)
        texts.push_back(word->Text);
    return texts;
}

std::vector<std::string> ReportFixture::LineOf(const TPrintedPage& Page, const std::string& Word)
{
    for (const TPrintedWord& word : Page)
        if (word.Text == Word)
            return LineAt(Page, word.Y);
    return {};
}
