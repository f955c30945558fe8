#include "app/smalldialogs.h"

#include "app/mainform.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/colors.h"

namespace {

// Centred, in the dialogs' font.
void SetUpDialog(TForm* Form, const String& Caption, int Width, int Height)
{
    Form->SetCaption(Caption);
    Form->SetPosition(poScreenCenter);
    Form->SetBorderStyle(bsDialog);
    Form->Font()->SetName("MS Sans Serif");
    Form->Font()->SetSize(8);
    Form->SetWidth(Width);
    Form->SetHeight(Height);
}

template<class T> T* Place(TForm* Form, const String& Name, int Left, int Top, int Width, int Height)
{
    T* control = new T(Form);
    control->SetName(Name);
    control->SetParent(Form);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TLabel* PlaceLabel(TForm* Form, const String& Name, const String& Caption, int Left, int Top, int Width)
{
    TLabel* label = Place<TLabel>(Form, Name, Left, Top, Width, 13);
    label->SetAutoSize(false);
    label->SetCaption(Caption);
    return label;
}

TLabel* PlacePrompt(TForm* Form, int Width)
{
    TLabel* label = PlaceLabel(Form, "Label1", "", 8, 12, Width);
    label->SetAlignment(taCenter);
    return label;
}

// The OK button is no default button: Enter walks the fields before it presses it.
TBitBtn* PlaceOK(TForm* Form, int Left, int Top)
{
    TBitBtn* button = Place<TBitBtn>(Form, "BitBtn1", Left, Top, 75, 25);
    button->SetKind(bkOK);
    button->SetDefault(false);
    button->SetCaption("OK");
    button->SetModalResult(mrOk);
    button->SetTabOrder(0);
    return button;
}

// Enter moves on to the next control; reaching the OK button ends the dialog.
void EnterToNext(TForm* Form, Word& Key, TBitBtn* OK, bool CloseOnOK)
{
    if (Key != VK_RETURN)
        return;
    Key = 0;
    Form->Perform(WM_NEXTDLGCTL, 0, 0);
    if (CloseOnOK && Form->ActiveControl() == OK)
        Form->SetModalResult(mrOk);
}

template<class T> void ShowAndFree(T* Form)
{
    Form->ShowModal();
    Form->Free();
}

}  // namespace

TFGetDateRange::TFGetDateRange(TComponent* AOwner) : TForm(AOwner)
{
    SetUpDialog(this, "Korvane Systems Inc", 460, 220);
    Label1 = PlacePrompt(this, 437);
    KVBevel1 = Place<TKVBevel>(this, "KVBevel1", 120, 52, 201, 23);
    KVBevel2 = Place<TKVBevel>(this, "KVBevel2", 120, 88, 201, 23);
    Label2 = PlaceLabel(this, "Label2", "Date From", 128, 57, 60);
    KVDateEdit1 = Place<TKVDateEdit>(this, "KVDateEdit1", 228, 53, 86, 21);
    Label3 = PlaceLabel(this, "Label3", "Date Thru", 128, 93, 60);
    KVDateEdit2 = Place<TKVDateEdit>(this, "KVDateEdit2", 228, 89, 86, 21);
    BitBtn1 = PlaceOK(this, 192, 140);
    KVDateEdit1->SetTabOrder(1);
    KVDateEdit2->SetTabOrder(2);
    KVDateEdit1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { KVDateEdit1KeyDown(S, K, Sh); };
    KVDateEdit2->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { KVDateEdit2KeyDown(S, K, Sh); };
    OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { FormKeyDown(S, K, Sh); };
    OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TFGetDateRange::FormCreate(TObject*) { SetActiveControl(KVDateEdit1); }

void TFGetDateRange::FormKeyDown(TObject*, Word& Key, TShiftState) { EnterToNext(this, Key, BitBtn1, true); }

void TFGetDateRange::KVDateEdit1KeyDown(TObject*, Word& Key, TShiftState)
{
    EnterToNext(this, Key, BitBtn1, false);
}

void TFGetDateRange::KVDateEdit2KeyDown(TObject*, Word& Key, TShiftState)
{
    EnterToNext(this, Key, BitBtn1, false);
}

TFGetFileID::TFGetFileID(TComponent* AOwner) : TForm(AOwner)
{
    SetUpDialog(this, "Korvane Systems", 538, 144);
    Label1 = PlacePrompt(this, 509);
    KVEdit1 = Place<TKVEdit>(this, "KVEdit1", 226, 40, 77, 21);
    KVEdit1->SetCharCase(ecUpperCase);
    KVEdit1->SetMaxLength(8);
    KVEdit1->SetTabOrder(1);
    BitBtn1 = PlaceOK(this, 228, 76);
    KVEdit1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { KVEdit1KeyDown(S, K, Sh); };
    OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { FormKeyDown(S, K, Sh); };
    OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TFGetFileID::FormCreate(TObject*) { SetActiveControl(KVEdit1); }

void TFGetFileID::FormKeyDown(TObject*, Word& Key, TShiftState) { EnterToNext(this, Key, BitBtn1, true); }

void TFGetFileID::KVEdit1KeyDown(TObject*, Word& Key, TShiftState) { EnterToNext(this, Key, BitBtn1, true); }

TFCreateStatus::TFCreateStatus(TComponent* AOwner) : TForm(AOwner)
{
    SetUpDialog(this, "Create Status", 488, 165);
    Label1 = PlaceLabel(this, "Label1", "Processing...", 24, 32, 425);
    Label1->SetAlignment(taCenter);
    Label1->SetShowAccelChar(false);
    Label1->Font()->SetHeight(-13);
    Label1->Font()->SetStyle(TFontStyles {fsBold});
    Label1->Font()->SetColor(clBlack);
    Label1->SetHeight(16);
    ProgressBar1 = Place<TProgressBar>(this, "ProgressBar1", 20, 72, 435, 17);
}

TStatusProgress::TStatusProgress(const String& Text, int Maximum)
    : FForm(Construct<TFCreateStatus>(Application.operator->()))
{
    FForm->Label1->SetCaption(Text);
    FForm->ProgressBar1->SetMax(Maximum);
    FForm->Show();
    Application->ProcessMessages();
}

TStatusProgress::~TStatusProgress() { FForm->Free(); }

void TStatusProgress::Step()
{
    FForm->ProgressBar1->StepBy(1);
    Application->ProcessMessages();
}

TFPathDialog::TFPathDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetUpDialog(this, "Path Selection", 443, 490);
    Label4 = PlaceLabel(this, "Label4", "", 12, 8, 401);
    Label4->SetAlignment(taCenter);
    Label4->Font()->SetStyle(TFontStyles {fsBold});
    Label1 = PlaceLabel(this, "Label1", "Select a directory by typing it here and pressing Enter", 12, 32,
                        401);
    Edit1 = Place<TEdit>(this, "Edit1", 12, 50, 408, 21);
    Edit1->SetTabOrder(0);
    Bevel1 = Place<TBevel>(this, "Bevel1", 12, 80, 408, 2);
    Label3 = PlaceLabel(
            this, "Label3",
            "OR use the mouse to find it, double click on it and then click the Select button below", 12, 88,
            408);
    DriveComboBox1 = Place<TDriveComboBox>(this, "DriveComboBox1", 12, 108, 249, 21);
    DirectoryListBox1 = Place<TDirectoryListBox>(this, "DirectoryListBox1", 12, 134, 249, 288);
    Label2 = PlaceLabel(this, "Label2", "Files in selected directory", 272, 114, 145);
    FileListBox1 = Place<TFileListBox>(this, "FileListBox1", 272, 134, 145, 288);
    Button1 = Place<TButton>(this, "Button1", 12, 430, 75, 25);
    Button1->SetCaption("Select");
    Edit2 = Place<TEdit>(this, "Edit2", 96, 432, 324, 21);
    Edit2->SetReadOnly(true);
    Edit2->SetColor(clBtnFace);
    DriveComboBox1->SetDirList(DirectoryListBox1);
    DirectoryListBox1->SetFileList(FileListBox1);
    DirectoryListBox1->OnChange = [this](TObject* S) { DirectoryListBox1Change(S); };
    Edit1->OnKeyPress = [this](TObject* S, char& K) { Edit1KeyPress(S, K); };
    Button1->OnClick = [this](TObject* S) { Button1Click(S); };
}

void TFPathDialog::DirectoryListBox1Change(TObject*) { Edit2->SetText(DirectoryListBox1->Directory()); }

void TFPathDialog::Edit1KeyPress(TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    if (PromptCreateDirectory(Edit1->Text(), true, AskYesNo)) {
        FMain->DialogResult = Edit1->Text();
        SetModalResult(mrOk);
    }
}

void TFPathDialog::Button1Click(TObject*)
{
    String dir = Edit2->Text();
    if (RightChars(dir, 1) != "/")
        dir += "/";
    FMain->DialogResult = dir;
    SetModalResult(mrOk);
}

void GetDateRange(String Prompt, String* DateFrom, String* DateThru)
{
    auto* form = Construct<TFGetDateRange>(Application.operator->());
    form->Label1->SetCaption(Prompt);
    form->KVDateEdit1->Bind(DateFrom);
    form->KVDateEdit2->Bind(DateThru);
    ShowAndFree(form);
}

void GetFileID(String Prompt, String* Id)
{
    auto* form = Construct<TFGetFileID>(Application.operator->());
    form->Label1->SetCaption(Prompt);
    form->KVEdit1->Bind(Id);
    ShowAndFree(form);
}
