#pragma once
// The income-type list: the small pick list from which a recipient's kind of payment is
// chosen, by typing its two-digit code or by double-clicking its line.

#include <array>

#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/forms.h"

// One line of the list and the letter a recipient's TRANS_TYPE keeps for it.
struct TIncomeType {
    const char* Line;  // two-digit code, "-", description
    char Letter;
};
// The list of kind 1, in the order shown; a line's code is its position from 1.
extern const std::array<TIncomeType, 11> IncomeTypes;

// The TRANS_TYPE letter of code 1 to 11; "" for any other code.
String IncomeTypeLetter(int Code);

class TFSelectionList1 : public TForm {
public:
    explicit TFSelectionList1(TComponent* AOwner);
    String ClassName() const override { return "TFSelectionList1"; }

    TLabel* lblTop;
    TListBox* ListBox1;
    TLabel* lblNote;
    TPanel* Panel1;
    TLabel* Label1;
    TEdit* Edit1;

    void FormCreate(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void ListBox1DblClick(TObject* Sender);
};

// Shows the list of Kind (FMain->DialogParam) and returns the line chosen, which is also
// left in FMain->DialogResult; "" when the list was closed without a choice.
String GetSelection(int Kind);
