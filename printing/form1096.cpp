#include "printing/form1096.h"

#include <cmath>
#include <optional>

#include "app/clientdatabase.h"
#include "app/smalldialogs.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/forms/application.h"
#include "printing/formboxes.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"

namespace {

// Name and address lines are cut to the width of their boxes.
constexpr int LineWidth = 37;
const String TotalMask = "#,.00";

void Print1096(bool Red)
{
    std::optional<TRedFormMode> laser;
    if (Red)
        laser.emplace();
    TDClientDataBase& data = *DClientDataBase;
    const String pdfName = FormPdfName(Red ? "RED1096_" : "FILE1099_");
    {
        FormPrinter printer;
        printer.StartPage();
        if (!Red)
            printer.LoadOverlay("US1096$1.HP");

        TDataSet& recipients = *data.tblEmployee;
        const bool interest = data.Interest1099 == "Y";
        T1096Totals totals;
        {
            TStatusProgress progress("Printing Transmittal 1096 ...", data.tblEmployee->GetSXRecCount() + 1);
            progress.Step();
            totals = Sum1096Recipients(recipients, interest, [&] { progress.Step(); });

            // The file copy's boxes lie three rows below the red form's.
            const TBoxPlacer place = Red ? TBoxPlacer::Red(printer) : TBoxPlacer::Whole(printer, 3);
            TDataSet& client = *data.tblClient;
            const auto field = [&](const char* Name) { return client.FieldByName(Name)->AsString(); };
            place.Text(5, 6, LeftChars(field("NAME1"), LineWidth), "NAME1");
            if (Red)
                place.Text(6, 6, LeftChars(field("NAME2"), LineWidth), "NAME2");
            place.Text(8, 6, LeftChars(field("ADDRESS1"), LineWidth), "ADDRESS1");
            place.Text(9, 6, LeftChars(field("CITY") + " " + field("STATE") + " " + field("ZIP"), LineWidth),
                       "CSZ");
            place.Text(13, 4, data.ContactName, "ContactName");
            // A number of other than ten digits has no area code to split off.
            const String phone = DigitsOnly(data.ContactPhone);
            const bool areaCode = phone.size() == 10;
            if (areaCode)
                place.Text(13, 32, LeftChars(phone, 3), "ContactPhone");
            place.Text(13, 37, areaCode ? CharsFrom(phone, 4) : phone, "ContactPhone");
            place.Text(15, 4, data.ContactEmail, "ContactEmail");
            place.Text(17, 4, field("TAX_ID"), "TAX_ID");
            place.Text(17, 17, field("SSN"), "SSN");
            place.Text(17, 36, IntToStr(totals.Forms), "iFormCount");
            place.Amount(17, 55, double(totals.WithheldCents) / 100, "dTotalFWT", TotalMask);
            place.Amount(17, 74, double(totals.AmountCents) / 100, "dTotalAmount", TotalMask);
            place.Check(21, Red ? 67.75 : 68, interest, "Interest1099");
            place.Check(25, Red ? 4.75 : 5, !interest, "Interest1099");
            printer.EndPage(Red ? "1096 Red Copy" : "1096 File Copy");
        }
    }
    FinishFormPage(pdfName);
}

}  // namespace

T1096Totals Sum1096Recipients(TDataSet& Recipients, bool Interest, const std::function<void()>& Step)
{
    T1096Totals totals;
    for (Recipients.First(); !Recipients.Eof(); Recipients.Next()) {
        if ((Recipients.FieldByName("TRANS_TYPE")->AsString() == "I") == Interest) {
            ++totals.Forms;
            totals.WithheldCents += std::llround(Recipients.FieldByName("FWT")->AsFloat() * 100);
            totals.AmountCents += std::llround(Recipients.FieldByName("TOTAMT")->AsFloat() * 100);
        }
        Step();
    }
    return totals;
}

void Print1096Red() { Print1096(true); }
void Print1096File() { Print1096(false); }
