#include "printing/reports.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "printing/reportpreview.h"
#include "printing/reportprinter.h"

namespace {

// Positions in thousandths of an inch.
constexpr int FirstRow = 750;
constexpr int RowStep = 170;
// No table row starts at or below this row; the next one goes on a new page.
constexpr int PageFullRow = 9300;
constexpr int TableLeft = 250;
constexpr int TableRight = 7750;
constexpr int TableFrameCode = 3;
constexpr int BlockCentre = 4000;

// Fonts: table rows, headings and totals, the recipient or payer block.
constexpr int RowFont = 1;
constexpr int HeadingFont = 2;
constexpr int BlockFont = 4;

const char* const AmountMask = "$#,.00";

// The amount columns both range reports end with (where each amount ends), and
// the column lines of their totals line.
constexpr int AmountCount = 4;
constexpr int AmountColumns[AmountCount] = {4725, 5725, 6725, 7725};
const std::vector<int> TotalsLineColumns = {3750, 4750, 5750, 6750};

struct TCaption {
    const char* Text;
    int Column;
};

// The transaction fields summed, in column order.
const char* const AmountFields[AmountCount] = {"AMOUNT", "FWT", "STATE_INC1", "SWT1"};

// Amounts in whole cents, so that totals come out to the cent.
struct TAmounts {
    std::int64_t Cents[AmountCount] = {};

    TAmounts& operator+=(const TAmounts& Other)
    {
        for (int i = 0; i < AmountCount; ++i)
            Cents[i] += Other.Cents[i];
        return *this;
    }
};

// The amount fields of a table's current record, looked up once per run.
class TAmountFields {
public:
    explicit TAmountFields(TDataSet* Table)
    {
        for (int i = 0; i < AmountCount; ++i)
            FFields[i] = Table->FieldByName(AmountFields[i]);
    }
    TAmounts Read() const
    {
        TAmounts amounts;
        for (int i = 0; i < AmountCount; ++i)
            amounts.Cents[i] = std::llround(FFields[i]->AsFloat() * 100);
        return amounts;
    }

private:
    TField* FFields[AmountCount];
};

// The date range a report covers, as typed; an empty end lets every transaction in.
class TDateRange {
public:
    // Raises EConvertError naming a text that is no date.
    TDateRange(const String& From, const String& To) : FromText(From), ToText(To)
    {
        for (const String* text : {&FromText, &ToText}) {
            try {
                (text == &FromText ? FFrom : FTo) = DateTextToDate(*text);
            } catch (const EConvertError&) {
                throw EConvertError("'" + *text + "' is not a valid date.");
            }
        }
    }
    bool Contains(const String& DateText) const
    {
        if (FromText.empty() || ToText.empty())
            return true;
        const TDateTime date = DateTextToDate(DateText);
        return date >= FFrom && date <= FTo;
    }

    const String FromText;
    const String ToText;

private:
    TDateTime FFrom = 0;
    TDateTime FTo = 0;
};

// Asks for the range and runs Report over it; a typed text that is no date is
// shown to the user before anything of the run has started.
template<class TReport> void WithAskedRange(TReport Report)
{
    String from;
    String to;
    GetDateRange("Enter beginning date", &from, &to);
    try {
        (void)TDateRange(from, to);
    } catch (const EConvertError& error) {
        ShowMessage(error.Message());
        return;
    }
    Report(from, to);
}

// Puts a table back in the order, filter and record it had, however the run ends.
class TTableState {
public:
    explicit TTableState(TDaroruTable* Table)
        : FTable(Table), FOrder(Table->IndexOrd()), FFilter(Table->Filter()), FFiltered(Table->Filtered()),
          FRecord(Table->IsEmpty() ? TBookmark() : Table->GetBookmark())
    {
    }
    ~TTableState()
    {
        try {
            FTable->SetFilter(FFilter);
            FTable->SetFiltered(FFiltered);
            FTable->SetOrder(FOrder);
            if (!FRecord.empty() && FTable->BookmarkValid(FRecord))
                FTable->GotoBookmark(FRecord);
            else
                FTable->First();
        } catch (const std::exception&) {
            // A table that cannot be put back is left as the run left it.
        }
    }
    TTableState(const TTableState&) = delete;
    TTableState& operator=(const TTableState&) = delete;

private:
    TDaroruTable* FTable;
    int FOrder;
    String FFilter;
    bool FFiltered;
    TBookmark FRecord;
};

String Joined(std::initializer_list<String> Parts)
{
    String text;
    for (const String& part : Parts)
        text += (text.empty() ? "" : " ") + part;
    return text;
}

String FieldText(TDataSet* Table, const char* Field) { return Table->FieldByName(Field)->AsString(); }

String Dollars(std::int64_t Cents) { return FormatFloat(AmountMask, static_cast<double>(Cents) / 100); }

// One run of a list report: the page writer, the page frame every page carries
// (the title and the payer's name and address in the footer), and the end of the
// run: the pages sent to the printer, or shown in the preview.
class TReportRun {
public:
    explicit TReportRun(const String& Title) : FTitle(Title)
    {
        TDaroruTable* client = DClientDataBase->tblClient;
        FFooterLeft = FieldText(client, "NAME1");
        FFooterCentre = FieldText(client, "ADDRESS1");
        FFooterRight =
                Joined({FieldText(client, "CITY"), FieldText(client, "STATE"), FieldText(client, "ZIP")});
        FMain->DeleteTempPrintFiles();
        FWriter = std::make_unique<ReportPrinter>();
        FWriter->SetLandscape(false);
        FWriter->StartPage();
    }

    ReportPrinter& Writer() { return *FWriter; }

    void PageFrame() { FWriter->DrawPageFrame(FTitle, FFooterLeft, FFooterCentre, FFooterRight); }
    // Ends the page and starts the next with its frame; returns its first row.
    int NextPage()
    {
        FWriter->EndPage();
        FWriter->StartPage();
        PageFrame();
        return FirstRow;
    }

    // A row framed across the table, with lines at Columns.
    void FramedRow(int Row, const std::vector<int>& Columns)
    {
        FWriter->DrawFrame(Row, TableLeft, Row + RowStep, TableRight, TableFrameCode);
        for (const int column : Columns)
            FWriter->DrawVerticalLine(column, Row, Row + RowStep, TableFrameCode);
    }
    // The table's column headings; Row moves below them.
    void Heading(int& Row, const std::vector<int>& Columns, const std::vector<TCaption>& Captions)
    {
        FWriter->SetFont(HeadingFont);
        FramedRow(Row, Columns);
        for (const TCaption& caption : Captions)
            FWriter->PrintText(Row, caption.Column, caption.Text);
        Row += RowStep;
        FWriter->SetFont(RowFont);
    }
    void AmountCells(int Row, const TAmounts& Amounts)
    {
        for (int i = 0; i < AmountCount; ++i)
            FWriter->PrintAlignedText(Row, AmountColumns[i], Dollars(Amounts.Cents[i]), AlignRight);
    }
    void TotalsLine(int Row, const TAmounts& Totals)
    {
        FramedRow(Row, TotalsLineColumns);
        FWriter->SetFont(HeadingFont);
        FWriter->PrintText(Row, 2000, "*****Totals******");
        AmountCells(Row, Totals);
    }
    // Centres the texts of a name-and-address block on the page, one row each, an
    // empty line left out after the first; Row stays on the last line.
    void CentredBlock(int& Row, const std::vector<String>& Lines)
    {
        FWriter->SetFont(BlockFont);
        for (size_t i = 0; i < Lines.size(); ++i) {
            if (i > 0 && Lines[i].empty())
                continue;
            if (i > 0)
                Row += RowStep;
            FWriter->PrintAlignedText(Row, BlockCentre, Lines[i], AlignCentre);
        }
    }

    // The last page is done: the printer gets the job, or the preview shows the pages.
    void Finish()
    {
        FWriter->EndPage();
        const int pages = FWriter->PageNumber();
        FWriter.reset();
        if (FMain->Preview)
            ShowPreview(pages, "poPortrait");
    }

private:
    String FTitle;
    String FFooterLeft;
    String FFooterCentre;
    String FFooterRight;
    std::unique_ptr<ReportPrinter> FWriter;
};

const std::vector<int> TransactionColumns = {950, 1800, 3750, 4750, 5750, 6750};
const std::vector<TCaption> TransactionCaptions = {
        {"DATE", 400}, {"REF. NUMBER", 1000}, {"DESCRIPTION", 2300}, {"AMOUNT", 4025},
        {"FWT", 5125}, {"STATE AMT", 6000},   {"SWT", 7125}};
const std::vector<int> TotalsColumns = {950, 3750, 4750, 5750, 6750};
const std::vector<TCaption> TotalsCaptions = {{"EMP ID", 400}, {"EMPLOYEE NAME", 1800}, {"AMOUNT", 4025},
                                              {"FWT", 5125},   {"STATE AMT", 6000},     {"SWT", 7125}};

}  // namespace

void PrintEmployeeTransactions(const String& RecipientID)
{
    WithAskedRange(
            [&](const String& From, const String& To) { ListEmployeeTransactions(RecipientID, From, To); });
}

void PrintEmployeeTotals()
{
    WithAskedRange([](const String& From, const String& To) { ListEmployeeTotals(From, To); });
}

void ListEmployeeTransactions(const String& RecipientID, const String& From, const String& To)
{
    const TDateRange range(From, To);
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    TDaroruTable* recipient = DClientDataBase->tblEmployee;
    const TTableState keepTransactions(transactions);
    transactions->SetSxQuery(RecipientTransactionsFilter(RecipientID));
    transactions->SetFiltered(true);
    transactions->First();

    TReportRun run("EMPLOYEE / 1099 RECIPIENT TRANSACTIONS");
    ReportPrinter& writer = run.Writer();
    int row = FirstRow;
    run.PageFrame();
    row += 200;
    writer.SetFont(HeadingFont);
    writer.PrintText(row, 300, "Report Date  " + TodayText());
    run.CentredBlock(row, {FieldText(recipient, "NAME1"), FieldText(recipient, "NAME2"),
                           FieldText(recipient, "ADDRESS"), FieldText(recipient, "CSZ"),
                           FieldText(recipient, "HOME_PHONE"),
                           "TRANSACTION FROM " + range.FromText + " THROUGH " + range.ToText});
    row += 300;
    writer.SetFont(RowFont);
    TStatusProgress progress("Printing Employee Transactions ...", transactions->RecCount());
    progress.Step();
    TAmounts totals;
    row += 300;
    run.Heading(row, TransactionColumns, TransactionCaptions);

    TField* date = transactions->FieldByName("DATE");
    TField* number = transactions->FieldByName("NUMBER");
    TField* description = transactions->FieldByName("DESCR");
    const TAmountFields amountFields(transactions);
    for (; !transactions->Eof(); transactions->Next(), progress.Step()) {
        const String dateText = date->AsString();
        if (!range.Contains(dateText))
            continue;
        if (row >= PageFullRow) {
            writer.SetFont(RowFont);
            row = run.NextPage() + 200;
            run.Heading(row, TransactionColumns, TransactionCaptions);
        }
        const TAmounts amounts = amountFields.Read();
        run.FramedRow(row, TransactionColumns);
        writer.PrintText(row, 275, dateText);
        writer.PrintAmount(row, 1750, number->AsInteger(), "#########");
        writer.PrintText(row, 1825, LeftChars(description->AsString(), 26));
        run.AmountCells(row, amounts);
        totals += amounts;
        row += RowStep;
    }
    run.TotalsLine(row, totals);
    run.Finish();
}

void ListEmployeeTotals(const String& From, const String& To)
{
    const TDateRange range(From, To);
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    TDaroruTable* client = DClientDataBase->tblClient;
    const TTableState keepTransactions(transactions);
    const TTableState keepRecipients(recipients);
    transactions->SetFiltered(false);
    transactions->First();

    TReportRun run("EMPLOYEE TRANSACTION TOTALS");
    ReportPrinter& writer = run.Writer();
    int row = FirstRow;
    int page = 1;
    run.PageFrame();
    writer.DrawSectionHeader(row, "", page);
    row += 200;
    run.CentredBlock(
            row,
            {FieldText(client, "NAME1"), FieldText(client, "NAME2"), FieldText(client, "ADDRESS1"),
             FieldText(client, "ADDRESS2"),
             Joined({FieldText(client, "CITY"), FieldText(client, "STATE"), FieldText(client, "ZIP")}),
             FieldText(client, "TELEPHONE"), "TOTALS FROM " + range.FromText + " THROUGH " + range.ToText});
    row += 300;
    writer.SetFont(RowFont);
    TStatusProgress progress("Printing Employee Totals ...", recipients->RecCount());
    progress.Step();
    TAmounts totals;
    row += 300;
    run.Heading(row, TotalsColumns, TotalsCaptions);

    FMain->DaroruEnv1->SetSoftSeek(true);
    recipients->SetOrder(recipients->TagArea("ID"));
    recipients->First();
    transactions->SetOrder(transactions->TagArea("EMP_ID"));
    transactions->First();
    TField* recipientID = recipients->FieldByName("ID");
    TField* recipientName = recipients->FieldByName("NAME1");
    TField* transactionRecipient = transactions->FieldByName("EMP_ID");
    TField* date = transactions->FieldByName("DATE");
    const TAmountFields amountFields(transactions);
    for (; !recipients->Eof(); recipients->Next(), progress.Step()) {
        const String id = recipientID->AsString();
        TAmounts sums;
        transactions->Seek(id);
        for (; !transactions->Eof() && transactionRecipient->AsString() == id; transactions->Next())
            if (range.Contains(date->AsString()))
                sums += amountFields.Read();
        totals += sums;
        if (row >= PageFullRow) {
            writer.SetFont(RowFont);
            row = run.NextPage();
            writer.DrawSectionHeader(row, "", ++page);
            row += 200;
            run.Heading(row, TotalsColumns, TotalsCaptions);
        }
        run.FramedRow(row, TotalsColumns);
        writer.PrintText(row, 275, id);
        writer.PrintText(row, 1000, LeftChars(recipientName->AsString(), 40));
        run.AmountCells(row, sums);
        row += RowStep;
    }
    run.TotalsLine(row, totals);
    run.Finish();
}

void PrintEFileRejects(TStrings* List)
{
    TReportRun run("E-FILE REJECT LISTING");
    ReportPrinter& writer = run.Writer();
    int row = FirstRow;
    run.PageFrame();
    writer.SetFont(RowFont);
    writer.PrintText(600, 300, "Report Date  " + TodayText());
    row += 200;
    for (int i = 0; List && i < List->Count(); ++i) {
        if (row >= PageFullRow)
            row = run.NextPage() + 200;
        writer.PrintText(row, 400, List->Get(i));
        row += RowStep;
    }
    run.Finish();
}
