#include "maintenance/incometypes.h"

#include "app/mainform.h"
#include "controls/kvrows.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/forms/application.h"

const std::array<TIncomeType, 11> IncomeTypes = {{
        {"01-RENTS", 'R'},
        {"02-ROYALTIES", 'Y'},
        {"03-OTHER INCOME", 'O'},
        {"04-FISHING BOAT PROCEEDS", 'F'},
        {"05-MEDICAL AND HEALTH CARE PAYMENTS", 'M'},
        {"06-NONEMPLOYEE COMPENSATION", 'N'},
        {"07-SUBSTITUTE PAYMENTS IN LIEU OF DIVIDENDS OR INTEREST", 'P'},
        {"08-CROP INSURANCE PROCEEDS", 'C'},
        {"09-EXCESS GOLDEN PARACHUTE PAYMENTS", 'G'},
        {"10-GROSS PROCEEDS PAID TO AN ATTORNEY", 'A'},
        {"11-INTEREST INCOME (1099-INT)", 'I'},
}};

String IncomeTypeLetter(int Code)
{
    if (Code < 1 || Code > static_cast<int>(IncomeTypes.size()))
        return String();
    return String(1, IncomeTypes[static_cast<size_t>(Code - 1)].Letter);
}

TFSelectionList1::TFSelectionList1(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FSelectionList1");
    SetCaption("Selection List");
    SetPosition(poScreenCenter);
    SetBorderStyle(bsDialog);
    SetWidth(374);
    SetHeight(344);

    lblTop = NewChild<TLabel>(this, this, "lblTop");
    lblTop->SetAutoSize(false);
    lblTop->SetBounds(4, 8, 356, 16);
    lblTop->SetAlignment(taCenter);
    lblTop->Font()->SetName("Arial");
    lblTop->Font()->SetHeight(-13);
    lblTop->Font()->SetStyle(TFontStyles {fsBold});

    ListBox1 = PlaceControl<TListBox>(this, this, "ListBox1", 4, 30, 356, 225);
    ListBox1->SetTabOrder(1);
    ListBox1->OnDblClick = [this](TObject* S) { ListBox1DblClick(S); };

    lblNote = NewChild<TLabel>(this, this, "lblNote");
    lblNote->SetAutoSize(false);
    lblNote->SetBounds(4, 260, 356, 14);
    lblNote->SetAlignment(taCenter);

    Panel1 = NewChild<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alBottom);
    Panel1->SetHeight(33);
    Panel1->SetCaption("");

    Label1 = PlaceControl<TLabel>(this, Panel1, "Label1", 130, 10, 50, 13);
    Label1->SetCaption("Selection");

    Edit1 = PlaceControl<TEdit>(this, Panel1, "Edit1", 186, 6, 24, 21);
    Edit1->SetMaxLength(2);
    Edit1->SetTabOrder(0);
    Edit1->OnChange = [this](TObject* S) { Edit1Change(S); };

    OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TFSelectionList1::FormCreate(TObject*)
{
    SetActiveControl(Edit1);
    lblNote->SetCaption("");
    if (FMain->DialogParam != 1)
        return;
    lblTop->SetCaption("Employee Transaction Type");
    lblNote->SetCaption("Enter 2 Digit Code or Double Click to Select");
    for (const TIncomeType& type : IncomeTypes)
        ListBox1->Items()->Add(type.Line);
}

void TFSelectionList1::Edit1Change(TObject*)
{
    const String code = Edit1->Text();
    if (code.size() != 2)
        return;
    for (int i = 0; i < ListBox1->Items()->Count(); ++i) {
        const String line = ListBox1->Items()->Strings(i);
        if (LeftChars(line, 2) == code) {
            FMain->DialogResult = line;
            SetModalResult(mrOk);
        }
    }
    // A code that names no line is wiped so that the next one can be typed.
    Edit1->SetText(String());
}

void TFSelectionList1::ListBox1DblClick(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0)
        return;
    FMain->DialogResult = ListBox1->Items()->Strings(index);
    SetModalResult(mrOk);
}

String GetSelection(int Kind)
{
    FMain->DialogParam = Kind;
    const bool chosen = OneUseForm<TFSelectionList1>()->ShowModal() == mrOk;
    return chosen ? FMain->DialogResult : String();
}
