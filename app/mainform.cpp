#include "app/mainform.h"

#include "app/clientdatabase.h"
#include "app/smalldialogs.h"
#include "controls/opendocument.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/win/hostinfo.h"
#include "platform/win/registry.h"

TFMain* FMain = nullptr;
String TFMain::ProgramDirOverride;

namespace {

const char* const SettingsFile = "TOTUSER.USR";
const char* const NetworkMarker = "NETWORK.DTA";
const char* const ProductKey = "SOFTWARE\\KORVANE\\";

}  // namespace

TFMain::TFMain(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FMain");
    SetFormStyle(fsMDIForm);
    SetWindowState(wsMaximized);
    SetColor(clBtnShadow);
    SetBounds(0, 0, 800, 600);

    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    Help1 = new TMenuItem(this);
    Help1->SetName("Help1");
    Help1->SetCaption("Help");
    Help1->OnClick = [this](TObject* Sender) { Help1Click(Sender); };
    MainMenu1->Items()->Add(Help1);
    Support1 = new TMenuItem(this);
    Support1->SetName("Support1");
    Support1->SetCaption("Support");
    Support1->OnClick = [this](TObject* Sender) { Support1Click(Sender); };
    MainMenu1->Items()->Add(Support1);
    SetMenu(MainMenu1);

    DaroruEnv1 = new TDaroruEnv(this);
    DaroruEnv1->SetName("DaroruEnv1");
    DaroruEnv1->SetApplyTo(TDaroruApplyTo {atLocal});

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TFMain::~TFMain()
{
    delete User;
    if (FMain == this)
        FMain = nullptr;
    DClientDataBase = nullptr;
}

void TFMain::FormCreate(TObject*)
{
    FMain = this;
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    Version = "08-01.01.08";
    TaxYearText = {"2007", "2008", "2009"};
    SetCaption("Korvane 1099 Totamund - Version " + Version);
    // Every file is named from here; the current directory is never changed.
    ProgramDir =
            IncludeTrailingPathDelimiter(ProgramDirOverride.empty() ? ::ProgramDir() : ProgramDirOverride);
    String problem = ProgramDirProblem(ProgramDir);
    if (problem.empty()) {
        DaroruEnv1->SetDeleted(true);
        ComputerName = Trim(HostInfo().ComputerName());
        LoadUserSettings();
        problem = LockingProblem(DataDir);
    }
    if (problem.empty())
        CreateDataModule();
    if (!problem.empty()) {
        StartFailed = true;
        ShowMessage(problem);
    }
}

void TFMain::CreateDataModule()
{
    DClientDataBase = Construct<TDClientDataBase>(this);
    DClientDataBase->ProgramDir = ProgramDir;
    DClientDataBase->DataDir = DataDir;
    DClientDataBase->User = User;
    DClientDataBase->OnAskYesNo = AskYesNo;
    DClientDataBase->OnShowMessage = ShowMessage;
    DClientDataBase->OnProgress = [this](int Position, int Maximum) { ShowProgress(Position, Maximum); };
}

void TFMain::ShowProgress(int Position, int Maximum)
{
    if (!FProgress) {
        FProgress = Construct<TFCreateStatus>(this);
        FProgress->Show();
    }
    FProgress->ProgressBar1->SetMax(Maximum);
    FProgress->ProgressBar1->SetPosition(Position);
    Application->ProcessMessages();
    if (Position >= Maximum) {
        FProgress->Free();
        FProgress = nullptr;
    }
}

void TFMain::LoadUserSettings()
{
    Today = TodayText();
    delete User;
    User = new TUser();
    Networking = FileExists(ProgramDir + NetworkMarker) && !ComputerName.empty();
    User->Load(SettingsFileName());
    User->LastRunDate = Today;
    if (User->DataDir.empty())
        User->DataDir = ProgramDir;
    DataDir = IncludeTrailingPathDelimiter(NormalizePath(User->DataDir));
    const std::pair<String*, const char*> siblings[] = {
            {&User->MoneyProgramDir, "KPX Program Path"},
            {&User->PayrollProgramDir, "Wagelorn Program Path"},
            {&User->LedgerProgramDir, "KVGL Program Path"},
    };
    for (const auto& [setting, valueName] : siblings) {
        if (!setting->empty())
            continue;
        String value = ReadMachineRegistryString(ProductKey, valueName);
        if (!value.empty())
            *setting = value + "\\";
    }
}

String TFMain::ReadMachineRegistryString(const String& Key, const String& Name)
{
    return Registry().ReadMachineString(Key, Name);
}

String TFMain::SettingsFileName() const
{
    if (Networking && !ComputerName.empty())
        return ProgramDir + ComputerName + ".USR";
    return ProgramDir + SettingsFile;
}

void TFMain::SaveUserSettings()
{
    if (!User)
        return;
    if (Networking && !ComputerName.empty()) {
        if (!WriteFileAtomically(ProgramDir + NetworkMarker, ComputerName + "\r\n"))
            throw EInOutError("Unable to write " + ProgramDir + NetworkMarker);
    } else if (!Networking) {
        DeleteFile(ProgramDir + NetworkMarker);
    }
    User->Save(SettingsFileName());
}

void TFMain::FormClose(TObject*, TCloseAction&)
{
    if (StartFailed)
        return;
    SaveUserSettings();
}

void TFMain::DeleteTempPrintFiles()
{
    PageFileNumber = 0;
    for (const char* pattern : {"PRN*.PRN", "PRV*.BMP", "BMP*.BMP"}) {
        for (const String& name : ListFiles(ProgramDir, pattern))
            DeleteFile(ProgramDir + name);
    }
}

void TFMain::Help1Click(TObject*) { OpenHelpFile(ProgramDir + "DIRUZU.ZIV"); }

void TFMain::Support1Click(TObject*) { OpenDocument(ProgramDir + "status.txt"); }

String ProgramDirProblem(const String& Dir)
{
    if (!DirectoryWritable(Dir)) {
        return "The program directory " + Dir +
               " cannot be written to. The program keeps its settings and work files there; "
               "give this user write access to it and start the program again.";
    }
    return "";
}

String LockingProblem(const String& Dir)
{
    String failure = "File locking does not work in the data directory " + Dir +
                     ". Clients there could be damaged by two users at once, so the program stops. "
                     "Use a directory on a disk or network share that supports file locks.";
    // A data directory that is gone is reported when a client is opened there.
    if (!DirectoryExists(Dir))
        return "";
    if (!DirectoryWritable(Dir))
        return "The data directory " + Dir + " cannot be written to.";
    return sharelocks::LocksWorkIn(Dir) ? String() : failure;
}
