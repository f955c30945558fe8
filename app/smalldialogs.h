#pragma once
// The program's small forms: the date-range prompt, the one-line ID prompt, the
// progress form of long runs and the directory picker.

#include "controls/kvbevel.h"
#include "controls/kvdateedit.h"
#include "controls/kvedit.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/filectrls.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/progressbar.h"
#include "platform/vcl/forms/forms.h"

class TFGetDateRange : public TForm {
public:
    explicit TFGetDateRange(TComponent* AOwner);
    String ClassName() const override { return "TFGetDateRange"; }

    TLabel* Label1;
    TKVBevel* KVBevel1;
    TKVBevel* KVBevel2;
    TLabel* Label2;
    TKVDateEdit* KVDateEdit1;
    TLabel* Label3;
    TKVDateEdit* KVDateEdit2;
    TBitBtn* BitBtn1;

    void FormCreate(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void KVDateEdit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void KVDateEdit2KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

class TFGetFileID : public TForm {
public:
    explicit TFGetFileID(TComponent* AOwner);
    String ClassName() const override { return "TFGetFileID"; }

    TLabel* Label1;
    TKVEdit* KVEdit1;
    TBitBtn* BitBtn1;

    void FormCreate(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void KVEdit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

// Shown modelessly by a long run, which advances ProgressBar1 after each step.
class TFCreateStatus : public TForm {
public:
    explicit TFCreateStatus(TComponent* AOwner);
    String ClassName() const override { return "TFCreateStatus"; }

    TLabel* Label1;
    TProgressBar* ProgressBar1;
};

// The progress form of a run, for as long as the run lasts: shown with Text and a
// bar of Maximum steps, stepped once per unit of work with the pending window
// messages but no user input let through, and closed however the run ends.
class TStatusProgress {
public:
    TStatusProgress(const String& Text, int Maximum);
    ~TStatusProgress();
    TStatusProgress(const TStatusProgress&) = delete;
    TStatusProgress& operator=(const TStatusProgress&) = delete;

    void Step();

private:
    TFCreateStatus* FForm;
};

// Hands the chosen directory back in FMain->DialogResult.
class TFPathDialog : public TForm {
public:
    explicit TFPathDialog(TComponent* AOwner);
    String ClassName() const override { return "TFPathDialog"; }

    TLabel* Label4;
    TLabel* Label1;
    TEdit* Edit1;
    TBevel* Bevel1;
    TLabel* Label3;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TLabel* Label2;
    TFileListBox* FileListBox1;
    TButton* Button1;
    TEdit* Edit2;

    void DirectoryListBox1Change(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Button1Click(TObject* Sender);
};

// Asks for a date range; DateFrom and DateThru show first and hold the answer after.
void GetDateRange(String Prompt, String* DateFrom, String* DateThru);
// Asks for an ID of at most eight characters, in capitals; Id shows first and holds
// the answer after ("" when none was typed).
void GetFileID(String Prompt, String* Id);
