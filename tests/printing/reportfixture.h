#pragma once
// A client for the list reports: the program started in a fresh directory, one
// client open with its payer, recipients and transactions added row by row, the
// date-range prompt answered by keys, and printed reports read back page by page
// from the printer's PDF by poppler's text reader.

#include <string>
#include <vector>

#include "tests/support/shellfixture.h"

struct TReportRecipient {
    const char* ID;
    const char* Name1;
    const char* Name2 = "";
    const char* Address = "";
    const char* Csz = "";
    const char* Phone = "";
};

struct TReportTransaction {
    const char* EmpID;
    const char* Date;  // "mm/dd/yyyy", or "" for none
    int Number;
    const char* Description;
    double Amount;
    double Fwt = 0;
    double StateIncome = 0;
    double Swt = 0;
};

// A word of a printed page, its top-left corner in points from the page's top left.
struct TPrintedWord {
    std::string Text;
    double X;
    double Y;
};

using TPrintedPage = std::vector<TPrintedWord>;

class ReportFixture : public ShellFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    void AddRecipients(const std::vector<TReportRecipient>& Rows);
    void AddTransactions(const std::vector<TReportTransaction>& Rows);

    // Types From and To (digits, as a user types them; "" leaves a field empty)
    // into the date-range prompt when it shows.
    static void AnswerDateRange(const std::string& From, const std::string& To);
    // Runs Report with the pages going to a PDF file, and returns its pages.
    std::vector<TPrintedPage> PrintedPages(const std::function<void()>& Report, const std::string& Name);
    // The texts of a page's words on the line at Y (points), left to right.
    static std::vector<std::string> LineAt(const TPrintedPage& Page, double Y);
    // The line of the page that holds Word; empty when none does.
    static std::vector<std::string> LineOf(const TPrintedPage& Page, const std::string& Word);
};
