#pragma once
// The boxes of one Form 1099-MISC or 1099-INT: the payer's and the recipient's
// texts as every copy prints them, the layouts as data (which box, where, in
// printing order), and the walk over the print-work table that fills a sheet of
// several recipients.

#include <functional>
#include <span>

#include "platform/rtl/types.h"
#include "printing/formboxes.h"

class TDataSet;
class FormPrinter;

// The payer's lines, from the client record.
struct TPayerBoxes {
    String Name;    // NAME1, its first 31 characters
    String Name2;   // NAME2, its first 31 characters
    String Street;  // ADDRESS1, its first 31 characters
    String City;    // CITY STATE ZIP, its first 31 characters
    String Number;  // TAX_ID, or the SSN when there is no TAX_ID
    String NumberLabel;
};

// One recipient's boxes, from a recipient record (EMPLOYEE or PRINT).
struct TRecipientBoxes {
    String Type;  // TRANS_TYPE: "I" is Form 1099-INT
    String Name;
    String Name2;
    String Street;  // ADDRESS
    String City;    // CSZ
    String Number;
    String NumberLabel;
    double Total = 0;
    double FederalWithheld = 0;
    bool DirectSales = false;
    double StateWithheld1 = 0;
    String StateNumber1;
    double StateIncome1 = 0;
    double StateWithheld2 = 0;
    String StateNumber2;
    double StateIncome2 = 0;

    bool IsInterest() const { return Type == "I"; }
};

TPayerBoxes ReadPayerBoxes(TDataSet& Client);
TRecipientBoxes ReadRecipientBoxes(TDataSet& Recipient);

enum class TBox {
    PayerName,
    PayerName2,
    PayerStreet,
    PayerCity,
    PayerNumber,
    RecipientNumber,
    RecipientName,
    RecipientName2,
    RecipientStreet,
    RecipientCity,
    Income,  // TOTAMT; on Form 1099-MISC only in the box of its income type
    FederalWithheld,
    DirectSales,
    StateWithheld1,
    StateNumber1,
    StateIncome1,
    StateWithheld2,
    StateNumber2,
    StateIncome2,
};

// One box of a layout. An amount ends at its column; everything else starts there.
struct TBoxPlace {
    TBox Box;
    double Row;
    double Column;
    char IncomeType = 0;  // the income type of a 1099-MISC income box; 0 on Form 1099-INT
};
using TFormLayout = std::span<const TBoxPlace>;

// Prints the boxes of Layout, in its order, for one payer and recipient.
void PlaceForm(const TBoxPlacer& Placer, TFormLayout Layout, const TPayerBoxes& Payer,
               const TRecipientBoxes& Recipient);

// The forms on plain paper (Copies C, B, 1 and 2), for the form at the top of a sheet.
extern const TFormLayout PlainMiscLayout;
extern const TFormLayout PlainIntLayout;

// A sheet of several recipients' forms from the print-work table.
struct TSheet {
    String Overlay;  // "" on the red pre-printed forms
    int Forms;       // forms to a sheet
    String Title;    // the page's document name
    String PdfStem;
};
// Where one form of the sheet goes and what it holds.
struct TSheetForm {
    TBoxPlacer Placer;
    TFormLayout Layout;
};

// Prints one sheet with the client as payer: the first form for the current
// record of the print-work table; for each further form the table moves on, and
// the form is filled when the walk is not OnlyCurrent and the table has not
// ended. The table is left on the last record read (or at its end). Then the
// page's preview or PDF step.
void PrintSheet(const TSheet& Sheet, bool OnlyCurrent,
                const std::function<TSheetForm(FormPrinter&, int Form)>& FormAt);
