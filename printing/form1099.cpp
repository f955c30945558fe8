#include "printing/form1099.h"

#include "app/clientdatabase.h"
#include "platform/db/dataset.h"
#include "platform/rtl/texthelpers.h"
#include "printing/formboxes.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"

namespace {

// Names and address lines are cut to the width of their boxes.
constexpr int LineWidth = 31;
const String AmountMask = "#.00";

String Text(TDataSet& Table, const char* Field) { return Table.FieldByName(Field)->AsString(); }
double Amount(TDataSet& Table, const char* Field) { return Table.FieldByName(Field)->AsFloat(); }
String Line(TDataSet& Table, const char* Field) { return LeftChars(Text(Table, Field), LineWidth); }

// The identification number: TAX_ID, or the SSN when there is none; with the
// label of the one chosen.
void ReadNumber(TDataSet& Table, String& Number, String& Label)
{
    Number = Text(Table, "TAX_ID");
    Label = "TAX_ID";
    if (IsEmptyText(Number)) {
        Number = Text(Table, "SSN");
        Label = "SSN";
    }
}

}  // namespace

TPayerBoxes ReadPayerBoxes(TDataSet& Client)
{
    TPayerBoxes payer;
    payer.Name = Line(Client, "NAME1");
    payer.Name2 = Line(Client, "NAME2");
    payer.Street = Line(Client, "ADDRESS1");
    payer.City = LeftChars(Text(Client, "CITY") + " " + Text(Client, "STATE") + " " + Text(Client, "ZIP"),
                           LineWidth);
    ReadNumber(Client, payer.Number, payer.NumberLabel);
    return payer;
}

TRecipientBoxes ReadRecipientBoxes(TDataSet& Recipient)
{
    TRecipientBoxes r;
    r.Type = Text(Recipient, "TRANS_TYPE");
    r.Name = Line(Recipient, "NAME1");
    r.Name2 = Line(Recipient, "NAME2");
    r.Street = Line(Recipient, "ADDRESS");
    r.City = Line(Recipient, "CSZ");
    ReadNumber(Recipient, r.Number, r.NumberLabel);
    r.Total = Amount(Recipient, "TOTAMT");
    r.FederalWithheld = Amount(Recipient, "FWT");
    r.DirectSales = Text(Recipient, "DIR_SALES") == "Y";
    r.StateWithheld1 = Amount(Recipient, "SWT1");
    r.StateNumber1 = Text(Recipient, "STATE_ID1");
    r.StateIncome1 = Amount(Recipient, "STATE_INC1");
    r.StateWithheld2 = Amount(Recipient, "SWT2");
    r.StateNumber2 = Text(Recipient, "STATE_ID2");
    r.StateIncome2 = Amount(Recipient, "STATE_INC2");
    return r;
}

void PlaceForm(const TBoxPlacer& Placer, TFormLayout Layout, const TPayerBoxes& Payer,
               const TRecipientBoxes& Recipient)
{
    for (const TBoxPlace& p : Layout) {
        const auto text = [&](const String& Text, const String& Label) {
            Placer.Text(p.Row, p.Column, Text, Label);
        };
        const auto amount = [&](double Value, const String& Label) {
            Placer.Amount(p.Row, p.Column, Value, Label, AmountMask);
        };
        switch (p.Box) {
        case TBox::PayerName: text(Payer.Name, "NAME1"); break;
        case TBox::PayerName2: text(Payer.Name2, "NAME2"); break;
        case TBox::PayerStreet: text(Payer.Street, "ADDRESS1"); break;
        case TBox::PayerCity: text(Payer.City, "CSZ"); break;
        case TBox::PayerNumber: text(Payer.Number, Payer.NumberLabel); break;
        case TBox::RecipientNumber: text(Recipient.Number, Recipient.NumberLabel); break;
        case TBox::RecipientName: text(Recipient.Name, "NAME1"); break;
        case TBox::RecipientName2: text(Recipient.Name2, "NAME2"); break;
        case TBox::RecipientStreet: text(Recipient.Street, "ADDRESS"); break;
        case TBox::RecipientCity: text(Recipient.City, "CSZ"); break;
        case TBox::Income:
            if (p.IncomeType == 0)
                amount(Recipient.Total, "TOTAMT");
            else if (Recipient.Type == String(1, p.IncomeType))
                amount(Recipient.Total, "TOTAMT=" + Recipient.Type);
            break;
        case TBox::FederalWithheld: amount(Recipient.FederalWithheld, "FWT"); break;
        case TBox::DirectSales: Placer.Check(p.Row, p.Column, Recipient.DirectSales, "DIR_SALES"); break;
        case TBox::StateWithheld1: amount(Recipient.StateWithheld1, "SWT1"); break;
        case TBox::StateNumber1: text(Recipient.StateNumber1, "STATE_ID1"); break;
        case TBox::StateIncome1: amount(Recipient.StateIncome1, "STATE_INC1"); break;
        case TBox::StateWithheld2: amount(Recipient.StateWithheld2, "SWT2"); break;
        case TBox::StateNumber2: text(Recipient.StateNumber2, "STATE_ID2"); break;
        case TBox::StateIncome2: amount(Recipient.StateIncome2, "STATE_INC2"); break;
        }
    }
}

namespace {

constexpr TBoxPlace PlainMisc[] = {
        {TBox::PayerName, 5, 4},         {TBox::PayerStreet, 6, 4},       {TBox::PayerCity, 7, 4},
        {TBox::PayerNumber, 13, 4},      {TBox::RecipientNumber, 13, 21}, {TBox::RecipientName, 17, 4},
        {TBox::RecipientStreet, 20, 4},  {TBox::RecipientCity, 22, 4},    {TBox::Income, 5, 49, 'R'},
        {TBox::Income, 8, 49, 'Y'},      {TBox::Income, 10, 49, 'O'},     {TBox::Income, 14, 49, 'F'},
        {TBox::Income, 18, 49, 'N'},     {TBox::Income, 26, 49, 'G'},     {TBox::Income, 14, 63, 'M'},
        {TBox::Income, 18, 63, 'P'},     {TBox::Income, 21, 63, 'C'},     {TBox::Income, 26, 63, 'A'},
        {TBox::FederalWithheld, 10, 63}, {TBox::DirectSales, 21, 49},     {TBox::StateWithheld1, 28, 49},
        {TBox::StateNumber1, 28, 51},    {TBox::StateIncome1, 28, 75},    {TBox::StateWithheld2, 29, 49},
        {TBox::StateNumber2, 29, 51},    {TBox::StateIncome2, 29, 75},
};

constexpr TBoxPlace PlainInt[] = {
        {TBox::PayerName, 5, 4},         {TBox::PayerStreet, 6, 4},       {TBox::PayerCity, 7, 4},
        {TBox::PayerNumber, 10, 4},      {TBox::RecipientNumber, 10, 21}, {TBox::RecipientName, 13, 4},
        {TBox::RecipientStreet, 15, 4},  {TBox::RecipientCity, 17, 4},    {TBox::Income, 6, 50},
        {TBox::FederalWithheld, 13, 50},
};

}  // namespace

const TFormLayout PlainMiscLayout = PlainMisc;
const TFormLayout PlainIntLayout = PlainInt;

void PrintSheet(const TSheet& Sheet, bool OnlyCurrent,
                const std::function<TSheetForm(FormPrinter&, int Form)>& FormAt)
{
    const String pdfName = FormPdfName(Sheet.PdfStem);
    {
        FormPrinter printer;
        printer.StartPage();
        if (!Sheet.Overlay.empty())
            printer.LoadOverlay(Sheet.Overlay);
        const TPayerBoxes payer = ReadPayerBoxes(*DClientDataBase->tblClient);
        TDataSet& print = *DClientDataBase->tblEmployeePrint;
        const auto fill = [&](int form) {
            const TSheetForm place = FormAt(printer, form);
            PlaceForm(place.Placer, place.Layout, payer, ReadRecipientBoxes(print));
        };
        fill(0);
        for (int form = 1; form < Sheet.Forms; ++form) {
            print.Next();
            if (!OnlyCurrent && !print.Eof())
                fill(form);
        }
        printer.EndPage(Sheet.Title);
    }
    FinishFormPage(pdfName);
}
