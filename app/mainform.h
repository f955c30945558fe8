#pragma once
// The main window: the MDI frame with the program-wide state every form reads
// through FMain, the start-up sequence, the settings and the networking marker.

#include <array>

#include "app/user.h"

class TFCreateStatus;
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/menus.h"
#include "tables/droenv.h"

class TFMain : public TForm {
public:
    explicit TFMain(TComponent* AOwner);
    ~TFMain() override;

    String ClassName() const override { return "TFMain"; }

    TMainMenu* MainMenu1;
    TMenuItem* Help1;
    TMenuItem* Support1;
    TDaroruEnv* DaroruEnv1;

    // Directory of the executable, ending with "/"; the pick list, the work tables,
    // the settings and NETWORK.DTA live here.
    String ProgramDir;
    String Today;  // "mm-dd-yyyy"
    String DialogResult;
    std::array<String, 3> TaxYearText;  // previous, current and next tax year
    String Version;
    String DataDir;  // one sub-directory per client; ends with "/"
    TUser* User = nullptr;
    int DialogParam = 0;
    int AddingTransactions = 0;
    bool DiscardTransaction = false;
    int Copies = 0;
    int PageFileNumber = 0;
    bool Preview = false;
    bool MakePdf = false;
    String PrinterName;
    String ComputerName;
    bool Networking = false;
    bool BitmapPages = false;

    // Set when start-up found the program unable to run (the program directory cannot
    // be written, or file locks do not work in the data directory); it has said why.
    bool StartFailed = false;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void LoadUserSettings();
    // The string value of Name in Key under HKEY_LOCAL_MACHINE; "" when missing.
    String ReadMachineRegistryString(const String& Key, const String& Name);
    // Saves the settings to this computer's file and keeps NETWORK.DTA in step with
    // the networking mode; both shut-down roads use it.
    void SaveUserSettings();
    void DeleteTempPrintFiles();
    void Help1Click(TObject* Sender);
    void Support1Click(TObject* Sender);

    // Where the program's files live; empty (the default) means the executable's
    // directory. Tests point it at a directory of their own.
    static String ProgramDirOverride;

private:
    String SettingsFileName() const;
    // The client data module, working from this window's directories and settings.
    void CreateDataModule();
    // The progress form of a client creation: made at the first step, freed at the last.
    void ShowProgress(int Position, int Maximum);

    TFCreateStatus* FProgress = nullptr;
};

extern TFMain* FMain;

// Why Dir cannot serve the program: "" when files can be created in it and two
// opens of one file there keep each other's locks; otherwise the text to show.
String ProgramDirProblem(const String& Dir);
String LockingProblem(const String& Dir);
