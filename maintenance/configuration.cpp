#include "maintenance/configuration.h"

#include "app/mainform.h"
#include "app/totstart.h"
#include "controls/kvrows.h"
#include "maintenance/datamaintenance.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/printing/printers.h"
#include "printing/formprinter.h"

namespace {

constexpr int LabelLeft = 12;
constexpr int LabelWidth = 416;
constexpr int ControlLeft = 436;
constexpr int RowHeight = 25;
constexpr int DirectoryEditWidth = 200;

TUser* User() { return FMain->User; }

// A directory as the program keeps it: trimmed, with "/" separators and one at
// its end; "" stays "".
String DirectoryText(const String& Typed)
{
    const String dir = Trim(Typed);
    return dir.empty() ? dir : IncludeTrailingPathDelimiter(NormalizePath(dir));
}

// The strip of colour at the left of the form: navy fading to a lighter blue.
void PaintStrip(TImage* Image)
{
    TBitmap* strip = Image->Picture()->Bitmap();
    constexpr int Bands = 64;
    strip->SetSize(8, Bands);
    TCanvas* canvas = strip->Canvas();
    for (int band = 0; band < Bands; ++band) {
        const int shade = 0x80 + band * 0x60 / Bands;
        canvas->Brush()->SetColor(static_cast<TColor>(shade << 16 | (band * 0x50 / Bands) << 8));
        canvas->FillRect(TRect(0, band, 8, band + 1));
    }
}

}  // namespace

TFConfiguration::TFConfiguration(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FConfiguration");
    SetCaption("Configuration Items");
    SetPosition(poScreenCenter);
    SetWidth(775);
    SetHeight(500);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    Image1 = NewChild<TImage>(this, this, "Image1");
    Image1->SetAlign(alLeft);
    Image1->SetWidth(40);
    Image1->SetStretch(true);
    PaintStrip(Image1);

    ScrollBox1 = NewScrollPage(this, KVCommander1);

    int top = 8;
    KVButton3 = Row<TKVButton>(ScrollBox1, KVLabel1, 1, "Reindex the current client's data files",
                               "KVButton3", top, 110);
    KVButton3->SetCaption("Reindex");
    KVButton3->SetHint(
            "Reindex's the currently selected clients applicable databases (Transactions, Recipient's, Etc)");
    KVButton8 = Row<TKVButton>(ScrollBox1, KVLabel2, 2,
                               "Rebuild the client pick list from the client directories", "KVButton8",
                               top += RowHeight, 110);
    KVButton8->SetCaption("Reconstruct");
    KVButton8->SetHint(
            "Loops through all of the clients data to build a new client pick list which is used in the "
            "change current selection.");
    KVCheckBox2 =
            Row<TKVCheckBox>(ScrollBox1, KVLabel3, 3,
                             "Use networking computer name information for path and default designations",
                             "KVCheckBox2", top += RowHeight, 110);
    KVCheckBox2->SetCaption("Networking?");
    KVEdit4 = Row<TKVEdit>(ScrollBox1, KVLabel4, 4, "Korvane Client ID (for autopatch updates)", "KVEdit4",
                           top += RowHeight, 110);

    GroupBox1 = NewChild<TGroupBox>(this, ScrollBox1, "GroupBox1");
    GroupBox1->SetCaption("Back Up / Restore");
    GroupBox1->SetBounds(4, top += RowHeight, 668, 20 + 2 * RowHeight);
    KVButton6 = Row<TKVButton>(GroupBox1, KVLabel5, 5, "Back up the current client's data files", "KVButton6",
                               18, 110);
    KVButton6->SetCaption("Back Up");
    KVButton6->SetHint("Back up the currently selected clients data");
    KVButton7 = Row<TKVButton>(GroupBox1, KVLabel6, 6, "Restore a client's data files from a back-up",
                               "KVButton7", 18 + RowHeight, 110);
    KVButton7->SetCaption("Restore");
    KVButton7->SetHint("Restore data");
    top += GroupBox1->Height() + 4;

    KVEdit7 = DirectoryRow(ScrollBox1, KVLabel7, 7,
                           "Data directory of the client files (used from the next start)", "KVEdit7", top,
                           KVButton11, "KVButton11", &TFConfiguration::KVButton11Click);

    GroupBox2 = NewChild<TGroupBox>(this, ScrollBox1, "GroupBox2");
    GroupBox2->SetCaption("Other Program Path Interface");
    GroupBox2->SetBounds(4, top += RowHeight, 668, 20 + 3 * RowHeight);
    KVEdit5 = DirectoryRow(GroupBox2, KVLabel8, 8, "Korvane Pennatrix Program Path", "KVEdit5", 18, KVButton9,
                           "KVButton9", &TFConfiguration::KVButton9Click);
    KVEdit6 = DirectoryRow(GroupBox2, KVLabel9, 9, "Payroll Program Path", "KVEdit6", 18 + RowHeight,
                           KVButton10, "KVButton10", &TFConfiguration::KVButton10Click);
    KVEdit1 = DirectoryRow(GroupBox2, KVLabel10, 10, "General Ledger", "KVEdit1", 18 + 2 * RowHeight,
                           KVButton1, "KVButton1", &TFConfiguration::KVButton1Click);
    top += GroupBox2->Height() + 4;

    KVCheckBox1 =
            Row<TKVCheckBox>(ScrollBox1, KVLabel11, 11,
                             "Auto fill state 1 income amount with federal amount?", "KVCheckBox1", top, 120);
    KVCheckBox1->SetCaption("State Amount?");
    KVButton2 = Row<TKVButton>(ScrollBox1, KVLabel12, 12,
                               "Load soft fonts (only needed for PCL / HP forms i.e. 1099's)", "KVButton2",
                               top += RowHeight, 110);
    KVButton2->SetCaption("Soft Fonts");
    KVButton2->SetHint("Load soft fonts to a selected laser printer");
    top += RowHeight;
    KVFloatEdit1 =
            Row<TKVFloatEdit>(ScrollBox1, KVLabel13, 13, "Red Copy 1099 print adjustment (1=1/16 of an inch)",
                              "KVFloatEdit1", top, 50);
    KVFloatEdit1->SetLeft(ControlLeft + 48);
    Label1 = PlaceControl<TLabel>(this, ScrollBox1, "Label1", ControlLeft, top + 4, 46, 13);
    Label1->SetCaption("Vertical");
    Label2 = PlaceControl<TLabel>(this, ScrollBox1, "Label2", ControlLeft + 108, top + 4, 56, 13);
    Label2->SetCaption("Horizontal");
    KVFloatEdit2 =
            PlaceControl<TKVFloatEdit>(this, ScrollBox1, "KVFloatEdit2", ControlLeft + 166, top, 50, 21);
    KVLabel13->SetLastControl(KVFloatEdit2);
    KVCheckBox3 = Row<TKVCheckBox>(ScrollBox1, KVLabel14, 14, "Not using a laser printer?", "KVCheckBox3",
                                   top += RowHeight, 130);
    KVCheckBox3->SetCaption("No Laser Print?");

    tblList = new TDaroruTable(this);
    tblList->SetName("tblList");
    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");

    const std::pair<TKVButton*, void (TFConfiguration::*)(TObject*)> actions[] = {
            {KVButton3, &TFConfiguration::KVButton3Click}, {KVButton8, &TFConfiguration::KVButton8Click},
            {KVButton6, &TFConfiguration::KVButton6Click}, {KVButton7, &TFConfiguration::KVButton7Click},
            {KVButton2, &TFConfiguration::KVButton2Click},
    };
    for (const auto& [button, handler] : actions) {
        button->SetShowHint(true);
        button->OnClick = [this, handler](TObject* S) { (this->*handler)(S); };
    }
    KVEdit7->OnExit = [this](TObject* S) { KVEdit7Exit(S); };

    int tab = 0;
    for (TWinControl* control : std::initializer_list<TWinControl*> {
                 KVButton3, KVButton8, KVCheckBox2, KVEdit4, GroupBox1, KVEdit7, KVButton11, GroupBox2,
                 KVCheckBox1, KVButton2, KVFloatEdit1, KVFloatEdit2, KVCheckBox3})
        control->SetTabOrder(tab++);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    // The scrolled area takes in every row once the form has its size.
    OnShow = [this](TObject*) { ScrollBox1->Realign(); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
}

template<class T>
T* TFConfiguration::Row(TWinControl* Parent, TKVLabel*& Label, int Number, const String& Caption,
                        const String& Name, int Top, int Width)
{
    // Rows inside a group keep the columns of the others.
    const int shift = Parent == ScrollBox1 ? 0 : Parent->Left();
    return PlaceRow<T>(this, Parent, "KVLabel" + IntToStr(Number), Caption, Name, Top, Width, &Label,
                       {LabelLeft - shift, LabelWidth, ControlLeft - shift});
}

TKVEdit* TFConfiguration::DirectoryRow(TWinControl* Parent, TKVLabel*& Label, int Number,
                                       const String& Caption, const String& Name, int Top, TKVButton*& Picker,
                                       const String& PickerName, void (TFConfiguration::*Handler)(TObject*))
{
    auto* edit = Row<TKVEdit>(Parent, Label, Number, Caption, Name, Top, DirectoryEditWidth);
    edit->SetColor(clBtnFace);
    // "/" separates a path's directories here; it does not close the form.
    edit->SetDontSlashClose(true);
    Picker = new TKVButton(this);
    Picker->SetName(PickerName);
    Picker->SetParent(Parent);
    Picker->SetBounds(edit->Left() + DirectoryEditWidth + 4, Top + 1, 24, 19);
    Picker->SetCaption("...");
    Picker->OnClick = [this, Handler](TObject* S) { (this->*Handler)(S); };
    return edit;
}

void TFConfiguration::FormCreate(TObject*)
{
    TUser& user = *User();
    KVCheckBox2->Bind(&FMain->Networking);
    KVEdit4->Bind(&user.CustomerID);
    KVCheckBox1->Bind(&user.StateAmount);
    KVFloatEdit1->Bind(&user.RedCopyOffsetY, "##.##");
    KVFloatEdit2->Bind(&user.RedCopyOffsetX, "##.##");
    KVCheckBox3->Bind(&user.NoLaserPrint);
    BindDirectory(KVEdit5, user.MoneyProgramDir);
    BindDirectory(KVEdit6, user.PayrollProgramDir);
    BindDirectory(KVEdit1, user.LedgerProgramDir);
    KVEdit7->SetText(DirectoryText(user.DataDir));
}

void TFConfiguration::FormClose(TObject*, TCloseAction&)
{
    // The field being typed in is left first, so its text counts too.
    SetActiveControl(KVCommander1->MouseFreeEdit());
}

void TFConfiguration::BindDirectory(TKVEdit* Edit, String& Setting)
{
    Edit->Bind(&Setting);
    Edit->OnExit = [Edit, &Setting](TObject*) {
        Setting = DirectoryText(Setting);
        Edit->SetText(Setting);
    };
}

void TFConfiguration::PickProgramDirectory(const String& Title, TKVEdit* Edit, String& Setting)
{
    String dir;
    if (!ChooseDirectory(Title, Edit->Text(), dir))
        return;
    Setting = dir;
    Edit->SetText(dir);
}

void TFConfiguration::KVButton9Click(TObject*)
{
    PickProgramDirectory("KPX Program Path", KVEdit5, User()->MoneyProgramDir);
}

void TFConfiguration::KVButton10Click(TObject*)
{
    PickProgramDirectory("Payroll Program Path", KVEdit6, User()->PayrollProgramDir);
}

void TFConfiguration::KVButton1Click(TObject*)
{
    PickProgramDirectory("General Ledger Program Path", KVEdit1, User()->LedgerProgramDir);
}

void TFConfiguration::KVButton11Click(TObject*)
{
    String dir;
    if (ChooseDirectory("Data Path", KVEdit7->Text(), dir))
        ChangeDataDirectory(dir);
}

void TFConfiguration::KVEdit7Exit(TObject*) { ChangeDataDirectory(KVEdit7->Text()); }

void TFConfiguration::ChangeDataDirectory(const String& Typed)
{
    const String current = DirectoryText(User()->DataDir);
    // A relative name would depend on the directory the program is started from.
    const String dir = Trim(Typed).empty() ? FMain->ProgramDir : DirectoryText(ExpandFileName(Trim(Typed)));
    KVEdit7->SetText(current);
    if (dir == current)
        return;
    const String problem =
            DirectoryExists(dir) ? LockingProblem(dir) : "The data directory " + dir + " does not exist.";
    if (!problem.empty()) {
        ShowMessage(problem + "  The data directory was not changed.");
        return;
    }
    User()->DataDir = dir;
    KVEdit7->SetText(dir);
    ShowMessage("The data directory " + dir + " is used from the next start of the program.");
}

void TFConfiguration::KVButton2Click(TObject*)
{
    if (!PrintDialog1->Execute())
        return;
    TPrinter* printer = Printer();
    const std::vector<String> printers = printer->Printers();
    const int index = printer->PrinterIndex();
    if (index >= 0 && index < static_cast<int>(printers.size()))
        FMain->PrinterName = printers[index];
    FormPrinter fonts;
    fonts.DownloadSoftFonts();
}

void TFConfiguration::KVButton3Click(TObject*) { ReindexCurrentClient(); }

void TFConfiguration::KVButton8Click(TObject*) { ReconstructClientList(this, tblList); }

void TFConfiguration::KVButton6Click(TObject*) { BackupClient(); }

void TFConfiguration::KVButton7Click(TObject*) { RestoreClient(tblList); }

void ShowConfiguration()
{
    OneUseForm<TFConfiguration>()->ShowModal();
    if (FTotStart)
        FTotStart->ShowCurrentClient();
}
