#pragma once
// Message boxes and the common dialogs, all through one dialog service that
// tests replace with scripted answers (scripteddialogs.h).

#include <memory>

#include "platform/classes/component.h"
#include "platform/classes/sets.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/graphics/graphics.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = SetOf<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel {mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel {mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore {mbAbort, mbRetry, mbIgnore};

// MessageBox flags and answers, with the Windows values.
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_ABORTRETRYIGNORE = 0x2;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
constexpr int MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONSTOP = MB_ICONHAND;
constexpr int MB_ICONERROR = MB_ICONHAND;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr int MB_ICONASTERISK = 0x40;
constexpr int MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr int MB_DEFBUTTON1 = 0x0;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// One question to the user. Answers are modal results (mrOk, mrYes, ...), which have
// the values of the IDOK, IDYES answers.
struct TMessageRequest {
    String Caption;
    String Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons {mbOK};
    TMsgDlgBtn DefaultButton = mbOK;
};

enum TFileDialogKind { fdOpen, fdSave };

struct TFileDialogRequest {
    TFileDialogKind Kind = fdOpen;
    String Title;
    // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    String Filter;
    int FilterIndex = 1;
    String InitialDir;
    String DefaultExt;
    // In: the proposed name; out: the chosen one.
    String FileName;
};

struct TPrintDialogRequest {
    // In and out: the chosen printer's index in Printer()->Printers() and the copies.
    int PrinterIndex = -1;
    int Copies = 1;
};

// The page setup dialog's margins are in thousandths of an inch or in hundredths of a
// millimetre.
enum TPageSetupUnits { psThousandthsOfInches, psHundredthsOfMillimeters };

struct TPageSetupRequest {
    TPageSetupUnits Units = psThousandthsOfInches;
    // In and out: the margins in Units, the paper as a DEVMODE paper code and the orientation.
    int Left = 1000;
    int Top = 1000;
    int Right = 1000;
    int Bottom = 1000;
    int PaperSize = 1;
    bool Landscape = false;
    // Off, the user cannot change the paper.
    bool PaperEnabled = true;
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    virtual int Message(const TMessageRequest& Request) = 0;
    // True when the user accepted; Value holds the typed text.
    virtual bool InputQuery(const String& Caption, const String& Prompt, String& Value) = 0;
    virtual bool FileDialog(TFileDialogRequest& Request) = 0;
    virtual bool PrintDialog(TPrintDialogRequest& Request) = 0;
    // True when the user accepted the page setup in Request.
    virtual bool PageSetupDialog(TPageSetupRequest& Request) = 0;
    // True when the user accepted a font, written into Font; Families non-empty offers
    // only those families.
    virtual bool FontDialog(TFont& Font, const TStrings& Families) = 0;
    virtual void Beep() = 0;
};

// The service in use: the Qt dialogs unless a test installed another.
TDialogService& DialogService();
// Installs Service (not owned; null restores the Qt dialogs); returns the previous one.
TDialogService* SetDialogService(TDialogService* Service);

// A message box of the type's caption ("Warning", "Error", "Information", "Confirm").
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The text with an OK button, titled with the application's title.
void ShowMessage(const String& Msg);
// The Yes/No question titled "Korvane Systems"; true for Yes.
bool AskYesNo(const String& Question);
// The Windows message box: MB_ buttons, icon and default button; returns IDOK, IDYES...
int MessageBoxDlg(const String& Text, const String& Caption, int Flags);
// The typed text, or Default when the user cancels.
String InputBox(const String& Caption, const String& Prompt, const String& Default);
bool InputQuery(const String& Caption, const String& Prompt, String& Value);
void MessageBeep();

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) { }
    String ClassName() const override { return "TOpenDialog"; }

    // True when the user chose a file; FileName holds it.
    virtual bool Execute();

    String FileName;
    String Filter;
    int FilterIndex = 1;
    String InitialDir;
    String DefaultExt;
    String Title;

protected:
    virtual TFileDialogKind Kind() const { return fdOpen; }
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    String ClassName() const override { return "TSaveDialog"; }

protected:
    TFileDialogKind Kind() const override { return fdSave; }
};

// Chooses the printer (Printer()->SetPrinterIndex) and the number of copies. With no
// printer installed the desktop's dialog says so, and Execute is false.
class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* AOwner) : TComponent(AOwner) { }
    String ClassName() const override { return "TPrintDialog"; }
    bool Execute();
    int Copies = 1;
};

class TFontDialog : public TComponent {
public:
    explicit TFontDialog(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) { }
    String ClassName() const override { return "TFontDialog"; }
    bool Execute();
    TFont* Font() const { return FFont.get(); }
    // The families offered; empty offers every installed one.
    TStrings* Families() { return &FFamilies; }

private:
    std::unique_ptr<TFont> FFont;
    TStringList FFamilies;
};
