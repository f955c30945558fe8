#include "maintenance/employeestart.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "controls/kvrows.h"
#include "controls/opendocument.h"
#include "maintenance/employeebasic.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/colors.h"

namespace {

TDaroruTable* Recipients() { return DClientDataBase->tblEmployee; }

TLabel* PlaceLabel(TFEmployeeStart* Form, const String& Name, const String& Caption, int Left, int Top)
{
    auto* label = PlaceControl<TLabel>(Form, Form, Name, Left, Top, 10, 13);
    label->SetCaption(Caption);
    return label;
}

}  // namespace

TFEmployeeStart::TFEmployeeStart(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FEmployeeStart");
    SetCaption("Employee Selection");
    SetPosition(poScreenCenter);
    SetWidth(651);
    SetHeight(500);
    SetKeyPreview(true);

    Label1 = PlaceLabel(this, "Label1", "Search by Name", 8, 8);
    Edit1 = SearchEdit("Edit1", 8, 250);
    Label2 = PlaceLabel(this, "Label2", "Search by ID", 266, 8);
    Edit2 = SearchEdit("Edit2", 266, 90);
    Edit2->SetCharCase(ecUpperCase);
    Label6 = PlaceLabel(this, "Label6", "Search by Last Name", 364, 8);
    Edit3 = SearchEdit("Edit3", 364, 200);
    Edit1->OnChange = [this](TObject* S) { Edit1Change(S); };
    Edit2->OnChange = [this](TObject* S) { Edit2Change(S); };
    Edit3->OnChange = [this](TObject* S) { Edit3Change(S); };
    Edit1->OnEnter = [this](TObject* S) { Edit1Enter(S); };
    Edit2->OnEnter = [this](TObject* S) { Edit2Enter(S); };
    Edit3->OnEnter = [this](TObject* S) { Edit3Enter(S); };
    Edit1->OnKeyPress = [this](TObject* S, char& K) { Edit1KeyPress(S, K); };
    Edit2->OnKeyPress = [this](TObject* S, char& K) { Edit2KeyPress(S, K); };
    Edit3->OnKeyPress = [this](TObject* S, char& K) { Edit3KeyPress(S, K); };
    Edit1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { Edit1KeyDown(S, K, Sh); };
    Edit2->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { Edit2KeyDown(S, K, Sh); };
    Edit3->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { Edit3KeyDown(S, K, Sh); };

    Label3 = PlaceLabel(this, "Label3", "(Press Enter To Select - Esc or / to Cancel)", 8, 52);
    Label4 = PlaceLabel(this, "Label4", "(To Delete Select Client and Hit \"Delete\")", 364, 52);

    dwDBGrid1 = PlaceControl<TdwDBGrid>(this, this, "dwDBGrid1", 8, 72, 619, 334);
    dwDBGrid1->SetReadOnly(true);
    dwDBGrid1->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgRowSelect,
                           dgAlwaysShowSelection});
    dwDBGrid1->SetKeyOptions({});
    dwDBGrid1->SetTitleAlignment(taCenter);
    dwDBGrid1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { dwDBGrid1KeyDown(S, K, Sh); };
    dwDBGrid1->OnKeyPress = [this](TObject* S, char& K) { dwDBGrid1KeyPress(S, K); };
    dwDBGrid1->OnDblClick = [this](TObject* S) { dwDBGrid1DblClick(S); };
    dwDBGrid1->OnCalcCellColors = [this](TObject* S, TField* F, TGridDrawState St, bool H, TFont* Fo,
                                         TBrush* B) { dwDBGrid1CalcCellColors(S, F, St, H, Fo, B); };
    dwDBGrid1->OnTopRowChanged = [this](TObject* S) { dwDBGrid1TopRowChanged(S); };

    KVBevel1 = PlaceControl<TKVBevel>(this, this, "KVBevel1", 8, 418, 619, 35);
    Label5 = PlaceLabel(this, "Label5", "Add an Employee", 24, 429);
    Label5->Font()->SetStyle(TFontStyles {fsBold});
    KVButton1 = PlaceControl<TKVButton>(this, this, "KVButton1", 480, 425, 130, 21);
    KVButton1->SetCaption("&Add Employee");
    KVButton1->OnClick = [this](TObject* S) { KVButton1Click(S); };

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { FormKeyDown(S, K, Sh); };
    OnKeyPress = [this](TObject* S, char& K) { FormKeyPress(S, K); };
}

TEdit* TFEmployeeStart::SearchEdit(const String& Name, int Left, int Width)
{
    return PlaceControl<TEdit>(this, this, Name, Left, 24, Width, 21);
}

void TFEmployeeStart::FormCreate(TObject*)
{
    dwDBGrid1->SetDataSource(DClientDataBase->dsEmployee);
    SetActiveControl(Edit1);
    TDaroruTable* recipients = Recipients();
    recipients->First();
    recipients->SetOrder(recipients->TagArea("NAME1"));
    FMain->DaroruEnv1->SetSoftSeek(true);
}

void TFEmployeeStart::SearchEnter(const char* Tag, TEdit* Edit)
{
    SetKeyPreview(false);
    TDaroruTable* recipients = Recipients();
    recipients->SetOrder(recipients->TagArea(Tag));
    recipients->Seek(Edit->Text());
}

void TFEmployeeStart::Edit1Enter(TObject*) { SearchEnter("NAME1", Edit1); }
void TFEmployeeStart::Edit2Enter(TObject*) { SearchEnter("ID", Edit2); }
void TFEmployeeStart::Edit3Enter(TObject*) { SearchEnter("LAST", Edit3); }

void TFEmployeeStart::Edit1Change(TObject*) { Recipients()->Seek(Edit1->Text()); }
void TFEmployeeStart::Edit2Change(TObject*) { Recipients()->Seek(Edit2->Text()); }
void TFEmployeeStart::Edit3Change(TObject*) { Recipients()->Seek(Edit3->Text()); }

bool TFEmployeeStart::CloseKey(char& Key)
{
    if (Key != VK_ESCAPE && Key != '/')
        return false;
    Key = 0;
    Close();
    return true;
}

bool TFEmployeeStart::HelpKey(Word& Key)
{
    if (Key != VK_F1)
        return false;
    Key = 0;
    ShowListHelp(FMain->ProgramDir);
    return true;
}

void TFEmployeeStart::SearchKeyPress(TEdit* Edit, char& Key)
{
    if (CloseKey(Key) || Key != '\r')
        return;
    // An empty edit goes to the list as it stands; a text only when it was found.
    if (Edit->Text().empty() || Recipients()->Seek(Edit->Text())) {
        Key = 0;
        dwDBGrid1->SetFocus();
    }
}

void TFEmployeeStart::Edit1KeyPress(TObject*, char& Key) { SearchKeyPress(Edit1, Key); }
void TFEmployeeStart::Edit2KeyPress(TObject*, char& Key) { SearchKeyPress(Edit2, Key); }
void TFEmployeeStart::Edit3KeyPress(TObject*, char& Key) { SearchKeyPress(Edit3, Key); }

void TFEmployeeStart::SearchKeyDown(Word& Key)
{
    if (HelpKey(Key))
        return;
    int rows = 0;
    switch (Key) {
    case VK_NEXT: rows = SearchPageRows; break;
    case VK_PRIOR: rows = -SearchPageRows; break;
    case VK_DOWN: rows = 1; break;
    case VK_UP: rows = -1; break;
    default: return;
    }
    Recipients()->MoveBy(rows);
}

void TFEmployeeStart::Edit1KeyDown(TObject*, Word& Key, TShiftState) { SearchKeyDown(Key); }
void TFEmployeeStart::Edit2KeyDown(TObject*, Word& Key, TShiftState) { SearchKeyDown(Key); }
void TFEmployeeStart::Edit3KeyDown(TObject*, Word& Key, TShiftState) { SearchKeyDown(Key); }

void TFEmployeeStart::dwDBGrid1KeyDown(TObject*, Word& Key, TShiftState)
{
    if (HelpKey(Key))
        return;
    if (Key == VK_DELETE) {
        Key = 0;
        DeleteRecipient();
    }
}

void TFEmployeeStart::dwDBGrid1KeyPress(TObject*, char& Key)
{
    if (CloseKey(Key) || Key != '\r')
        return;
    Key = 0;
    OpenRecipient();
}

void TFEmployeeStart::dwDBGrid1DblClick(TObject*) { OpenRecipient(); }

void TFEmployeeStart::dwDBGrid1CalcCellColors(TObject*, TField*, TGridDrawState, bool Highlight, TFont* AFont,
                                              TBrush* ABrush)
{
    if (Highlight) {
        ABrush->SetColor(HighlightRowColor);
        AFont->SetStyle(TFontStyles {fsBold});
    } else {
        ABrush->SetColor(dwDBGrid1->PaintingRow() % 2 == 0 ? EvenRowColor : OddRowColor);
    }
}

// The stripes follow the screen rows, not the records.
void TFEmployeeStart::dwDBGrid1TopRowChanged(TObject*) { dwDBGrid1->Invalidate(); }

void TFEmployeeStart::FormKeyDown(TObject*, Word& Key, TShiftState) { HelpKey(Key); }

void TFEmployeeStart::FormKeyPress(TObject*, char& Key) { CloseKey(Key); }

void TFEmployeeStart::OpenRecipient()
{
    TDaroruTable* recipients = Recipients();
    // An empty list has no row to open.
    if (recipients->Eof() && recipients->Bof())
        return;
    recipients->Edit();
    const auto form = OneUseForm<TFEmployeeBasic>();
    form->NewRecipient = false;
    form->ShowModal();
    Close();
}

void TFEmployeeStart::DeleteRecipient()
{
    TDaroruTable* recipients = Recipients();
    if (recipients->Eof() && recipients->Bof())
        return;
    if (!AskYesNo("Are you sure you want to delete " + recipients->FieldByName("NAME1")->AsString() + " ?"))
        return;
    // The recipient's transactions stay in TOTTRANS.
    recipients->Delete();
    recipients->IndexOpen(DClientDataBase->ClientDir(FMain->User->ClientID) + "EMPLOYEE.CDX");
    recipients->Pack();
}

bool TFEmployeeStart::AddRecipient()
{
    String id;
    GetFileID("Enter Unique Employee ID", &id);
    if (id.empty()) {
        ShowMessage("A file name was not entered.  Create was aborted.");
        return false;
    }
    // The ID names the recipient's transactions in search expressions.
    if (!IsValidID(id)) {
        ShowMessage(UnusableEmployeeIDMessage(id, "Create was aborted."));
        return false;
    }
    TDaroruTable* recipients = Recipients();
    bool duplicate = false;
    for (recipients->First(); !recipients->Eof() && !duplicate; recipients->Next())
        duplicate = Trim(recipients->FieldByName("ID")->AsString()) == id;
    recipients->First();
    if (duplicate) {
        ShowMessage(EmployeeIDUsedMessage);
        return false;
    }
    recipients->Append();
    recipients->FieldByName("ID")->SetAsString(id);
    const auto form = OneUseForm<TFEmployeeBasic>();
    form->NewRecipient = true;
    if (form->ShowModal() == mrNone) {
        // The application is ending: the form never showed, and nothing is added.
        recipients->Cancel();
        return false;
    }
    // Closed by the window system, the form kept the recipient as any close does, but
    // no question of another follows.
    return !form->ClosedByWindowSystem();
}

void TFEmployeeStart::KVButton1Click(TObject*)
{
    while (AddRecipient()) {
        if (!AskYesNo("Would you like to add another employee/1099 recipient?")) {
            Close();
            return;
        }
    }
}

void ShowEmployeeStart() { OneUseForm<TFEmployeeStart>()->ShowModal(); }
