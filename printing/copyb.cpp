#include "printing/copyb.h"

#include "app/clientdatabase.h"
#include "printing/form1099.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"

namespace {

// What one copy of one form type is made of.
struct TCopyForm {
    const char* Overlay;
    const char* Title;
    const char* PdfStem;
    int Forms;          // on the page
    int RowOffsets[3];  // of each form, from the top one
};

struct TCopy {
    TCopyForm Int;
    TCopyForm Misc;
};

// Copy 1's third 1099-INT form stands a row lower than on the other copies.
const TCopy CopyB = {{"USINTB1.HP", "1099 Copy B INT", "CopyBINT_", 3, {0, 21, 42}},
                     {"USMISCB1.HP", "1099 Copy B MISC", "CopyBMISC_", 2, {0, 33}}};
const TCopy Copy1 = {{"USINT11.HP", "1099 Copy 1 INT", "Copy1INT_", 3, {0, 21, 43}},
                     {"USMISC11.HP", "1099 Copy 1 MISC", "Copy1MISC_", 2, {0, 33}}};
const TCopy Copy2 = {{"USINT21.HP", "1099 Copy 2 INT", "Copy2INT_", 3, {0, 21, 42}},
                     {"USMISC21.HP", "1099 Copy 2 MISC", "Copy2MISC_", 2, {0, 33}}};

void PrintRecipientCopy(const TCopy& Copy, const String& RecipientID)
{
    const TRecipientBoxes recipient = ReadRecipientBoxes(*DClientDataBase->tblEmployee);
    const TCopyForm& form = recipient.IsInterest() ? Copy.Int : Copy.Misc;
    const TFormLayout layout = recipient.IsInterest() ? PlainIntLayout : PlainMiscLayout;
    const String pdfName = FormPdfName(form.PdfStem, RecipientID);
    const TPayerBoxes payer = ReadPayerBoxes(*DClientDataBase->tblClient);
    {
        FormPrinter printer;
        printer.StartPage();
        printer.LoadOverlay(form.Overlay);
        for (int i = 0; i < form.Forms; ++i)
            PlaceForm(TBoxPlacer::Whole(printer, form.RowOffsets[i]), layout, payer, recipient);
        printer.EndPage(form.Title);
    }
    FinishFormPage(pdfName);
}

}  // namespace

void PrintCopyB(const String& RecipientID) { PrintRecipientCopy(CopyB, RecipientID); }
void PrintCopy1(const String& RecipientID) { PrintRecipientCopy(Copy1, RecipientID); }
void PrintCopy2(const String& RecipientID) { PrintRecipientCopy(Copy2, RecipientID); }
