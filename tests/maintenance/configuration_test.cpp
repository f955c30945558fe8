// The configuration form driven with keys offscreen: its bindings, the directory
// pickers, the data directory, the soft-font download and the data-maintenance
// buttons on a real client; and a setting kept across two runs of the program.

#include <gmock/gmock.h>

#include <cstdio>
#include <filesystem>

#include "app/smalldialogs.h"
#include "maintenance/configuration.h"
#include "platform/rtl/fileops.h"
#include "platform/win/servicedoubles.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Replaces the text of the edit that row Number selects and leaves it with Enter.
void TypeInRow(TFConfiguration* Form, const char* Number, TEdit* Edit, const String& Text)
{
    TypeText(Form, Number);
    Edit->SetText("");
    TypeText(Form, Text.c_str());
    PressKey(Form, Qt::Key_Return);
}

class ConfigurationTest : public ClientFormsFixture {
protected:
    void SetUp() override
    {
        ClientFormsFixture::SetUp();
        StartOnClient("08ACME", "ACME SUPPLY");
        AddPickListRows({{"08ACME", "ACME SUPPLY"}});
        MenuForms.Configuration = ShowConfiguration;
    }
    // Opens the form with menu command 05 and runs Action on it; Action closes it.
    static void WithForm(std::function<void(TFConfiguration*)> Action)
    {
        WhenShown<TFConfiguration>(Action);
        TypeText(FTotStart, "05");
    }
    static bool ClientOpen() { return DClientDataBase->tblClient->Active(); }
};

TEST_F(ConfigurationTest, ShowsTheSettingsAndWritesEachChangeBackAtOnce)
{
    TUser& user = *FMain->User;
    user.CustomerID = "K-1001";
    user.MoneyProgramDir = "/opt/Pennatrix/";
    user.StateAmount = true;
    user.RedCopyOffsetY = 2;
    user.RedCopyOffsetX = -1.5f;
    WithForm([&](TFConfiguration* f) {
        EXPECT_EQ(f->Caption(), "Configuration Items");
        EXPECT_EQ(f->KVLabel1->Caption(), "[01]  Reindex the current client's data files");
        EXPECT_EQ(f->KVLabel13->Caption(), "[13]  Red Copy 1099 print adjustment (1=1/16 of an inch)");
        EXPECT_FALSE(f->KVCheckBox2->Checked());
        EXPECT_EQ(f->KVEdit4->Text(), "K-1001");
        EXPECT_EQ(f->KVEdit7->Text(), Dir.Path());
        EXPECT_EQ(f->KVEdit5->Text(), "/opt/Pennatrix/");
        EXPECT_EQ(f->KVEdit6->Text(), "");
        EXPECT_TRUE(f->KVCheckBox1->Checked());
        EXPECT_EQ(f->KVFloatEdit1->Text(), "2");
        EXPECT_EQ(f->KVFloatEdit2->Text(), "-1.5");
        EXPECT_FALSE(f->KVCheckBox3->Checked());
        SaveScreenshot(f, "configuration.png");

        // A box's row number ticks it, and the setting follows at once.
        TypeText(f, "03");
        EXPECT_TRUE(FMain->Networking);
        TypeText(f, "11");
        EXPECT_FALSE(user.StateAmount);
        TypeText(f, "14");
        EXPECT_TRUE(user.NoLaserPrint);
        TypeInRow(f, "04", f->KVEdit4, "k-2002");
        EXPECT_EQ(user.CustomerID, "k-2002");
        TypeInRow(f, "09", f->KVEdit6, "/srv/Wages/Payroll");
        EXPECT_EQ(user.PayrollProgramDir, "/srv/Wages/Payroll/");
        EXPECT_EQ(f->KVEdit6->Text(), "/srv/Wages/Payroll/");
        TypeInRow(f, "10", f->KVEdit1, "\\srv\\Ledger\\");
        EXPECT_EQ(user.LedgerProgramDir, "/srv/Ledger/");
        // The customer ID is typed but not yet left when the form closes.
        TypeText(f, "04");
        f->KVEdit4->SetText("");
        TypeText(f, "K-3003");
        f->Close();
    });
    EXPECT_EQ(user.CustomerID, "K-3003");
    EXPECT_EQ(user.MoneyProgramDir, "/opt/Pennatrix/");
    EXPECT_THAT(Shown(), IsEmpty());
    // Nothing is saved before the program ends.
    EXPECT_FALSE(FileExists(Dir / "TOTUSER.USR"));
}

TEST_F(ConfigurationTest, TheRedCopyAdjustmentsKeepTheirNumbersAndShowThroughTheirMask)
{
    const struct {
        const char* Vertical;
        const char* Horizontal;
        float Y, X;
        const char* ShownY;
        const char* ShownX;
    } cases[] = {
            {"2", "-1", 2, -1, "2", "-1"},
            {"$1.5x", "0", 1.5f, 0, "1.5", ""},  // only digits, "." and "-" count; 0 shows nothing
            {"12.345", ".25", 12.345f, 0.25f, "12.35", ".25"},
            {"", "-0.5", 0, -0.5f, "", "-.5"},
    };
    TUser& user = *FMain->User;
    WithForm([&](TFConfiguration* f) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.Vertical);
            TypeText(f, "13");
            ASSERT_EQ(f->ActiveControl(), f->KVFloatEdit1);
            f->KVFloatEdit1->SetText("");
            TypeText(f, c.Vertical);
            PressKey(f, Qt::Key_Return);
            ASSERT_EQ(f->ActiveControl(), f->KVFloatEdit2);
            f->KVFloatEdit2->SetText("");
            TypeText(f, c.Horizontal);
            PressKey(f, Qt::Key_Return);
            EXPECT_EQ(f->ActiveControl(), f->KVCommander1->MouseFreeEdit());
            EXPECT_FLOAT_EQ(user.RedCopyOffsetY, c.Y);
            EXPECT_FLOAT_EQ(user.RedCopyOffsetX, c.X);
            EXPECT_EQ(f->KVFloatEdit1->Text(), c.ShownY);
            EXPECT_EQ(f->KVFloatEdit2->Text(), c.ShownX);
        }
        TypeText(f, "/");
    });
}

TEST_F(ConfigurationTest, EachProgramPathIsChosenTypedOrLeftAsItWas)
{
    TUser& user = *FMain->User;
    const struct {
        const char* Title;
        TKVButton* TFConfiguration::*Picker;
        TKVEdit* TFConfiguration::*Edit;
        String* Setting;
    } pickers[] = {
            {"KPX Program Path", &TFConfiguration::KVButton9, &TFConfiguration::KVEdit5,
             &user.MoneyProgramDir},
            {"Payroll Program Path", &TFConfiguration::KVButton10, &TFConfiguration::KVEdit6,
             &user.PayrollProgramDir},
            {"General Ledger Program Path", &TFConfiguration::KVButton1, &TFConfiguration::KVEdit1,
             &user.LedgerProgramDir},
    };
    ForceDirectories(Dir / "Programs/KorvaneApps");
    ForceDirectories(Dir / "Typed");
    for (const auto& p : pickers) {
        SCOPED_TRACE(p.Title);
        *p.Setting = "/old/Path/";
        FMain->DialogResult = "/the/last/answer/";
        WithForm([&](TFConfiguration* f) {
            // Closed without a choice: nothing changes.
            WhenShown<TFPathDialog>([&](TFPathDialog* d) {
                EXPECT_EQ(d->Label4->Caption(), p.Title);
                EXPECT_EQ(d->Edit1->Text(), "/old/Path/");
                d->Close();
            });
            (f->*p.Picker)->Click();
            EXPECT_EQ(*p.Setting, "/old/Path/");
            EXPECT_EQ((f->*p.Edit)->Text(), "/old/Path/");

            // Chosen in the list: the directory with its case and a "/".
            WhenShown<TFPathDialog>([&](TFPathDialog* d) {
                d->DirectoryListBox1->SetDirectory(Dir / "Programs/KorvaneApps");
                d->Button1->Click();
            });
            (f->*p.Picker)->Click();
            EXPECT_EQ(*p.Setting, Dir / "Programs/KorvaneApps/");
            EXPECT_EQ((f->*p.Edit)->Text(), Dir / "Programs/KorvaneApps/");

            // Typed in the dialog and taken with Enter.
            WhenShown<TFPathDialog>([&](TFPathDialog* d) {
                d->Edit1->SetText(Dir / "Typed");
                PressKey(d, Qt::Key_Return);
            });
            (f->*p.Picker)->Click();
            EXPECT_EQ(*p.Setting, Dir / "Typed/");
            TypeText(f, "/");
        });
    }
    EXPECT_THAT(Shown(), IsEmpty());
}

TEST_F(ConfigurationTest, ADataDirectoryIsStoredOnlyWhenItCanHoldTheClients)
{
    const String before = FMain->User->DataDir;
    Dir.Write("afile", "x");
    ForceDirectories(Dir / "Clients2009");
    ForceDirectories(Dir / "Chosen");
    WithForm([&](TFConfiguration* f) {
        const struct {
            String Typed;
            String Message;
        } refused[] = {
                {Dir / "Missing",
                 "The data directory " +
                         Dir / "Missing/ does not exist.  The data directory was not changed."},
                {Dir / "afile",
                 "The data directory " + Dir / "afile/ does not exist.  The data directory was not changed."},
                {"/proc",
                 "The data directory /proc/ cannot be written to.  The data directory was not changed."},
        };
        for (const auto& r : refused) {
            SCOPED_TRACE(r.Typed);
            Dialogs.Messages.clear();
            TypeInRow(f, "07", f->KVEdit7, r.Typed);
            EXPECT_THAT(Shown(), ElementsAre(r.Message));
            EXPECT_EQ(FMain->User->DataDir, before);
            EXPECT_EQ(f->KVEdit7->Text(), before);
        }

        Dialogs.Messages.clear();
        TypeInRow(f, "07", f->KVEdit7, Dir / "Clients2009");
        EXPECT_THAT(Shown(), ElementsAre("The data directory " + Dir / "Clients2009/" +
                                         " is used from the next start of the program."));
        EXPECT_EQ(FMain->User->DataDir, Dir / "Clients2009/");
        EXPECT_EQ(f->KVEdit7->Text(), Dir / "Clients2009/");

        // Passing through the field changes nothing and says nothing.
        Dialogs.Messages.clear();
        TypeText(f, "07");
        PressKey(f, Qt::Key_Return);
        EXPECT_THAT(Shown(), IsEmpty());

        // The "..." button: a cancelled dialog keeps it, a choice is checked and stored.
        WhenShown<TFPathDialog>([&](TFPathDialog* d) {
            EXPECT_EQ(d->Label4->Caption(), "Data Path");
            EXPECT_EQ(d->Edit1->Text(), Dir / "Clients2009/");
            d->Close();
        });
        f->KVButton11->Click();
        EXPECT_EQ(FMain->User->DataDir, Dir / "Clients2009/");
        WhenShown<TFPathDialog>([&](TFPathDialog* d) {
            d->DirectoryListBox1->SetDirectory(Dir / "Chosen");
            d->Button1->Click();
        });
        f->KVButton11->Click();
        EXPECT_EQ(FMain->User->DataDir, Dir / "Chosen/");
        TypeText(f, "/");
    });
    // The clients of this run stay where they are.
    EXPECT_EQ(FMain->DataDir, Dir.Path());
    EXPECT_TRUE(ClientOpen());
}

TEST_F(ConfigurationTest, SoftFontsGoToTheChosenPrinterAsOneDocumentAndCancelSendsNothing)
{
    TRecordingRawPrinting spooler;
    Dir.Write("FONT1.PRN", "\x1b)s64Wfirst font");
    Dir.Write("FONT2.PRN", "\x1b)s64Wsecond font");
    // Offscreen the desktop lists no printer; the dialog keeps the one chosen before.
    FMain->PrinterName = "Laser";
    WithForm([&](TFConfiguration* f) {
        TypeText(f, "12");  // no answer scripted: the print dialog is cancelled
        EXPECT_THAT(spooler.OpenRequests, IsEmpty());
        Dialogs.AnswerPrinter(-1, 1);
        TypeText(f, "12");
        TypeText(f, "/");
    });
    ASSERT_EQ(spooler.Documents.size(), 1u);
    const auto& fonts = spooler.Documents[0];
    EXPECT_EQ(fonts.Printer, "Laser");
    EXPECT_EQ(fonts.Name, "Korvane Soft Fonts");
    EXPECT_TRUE(fonts.Accepted);
    EXPECT_THAT(fonts.Writes, ElementsAre("\x1b)s64Wfirst font", "\x1b)s64Wsecond font"));
    EXPECT_THAT(Shown(), IsEmpty());
}

// Records the form's caption whenever a message shows.
class TCaptionAtMessage : public TScriptedDialogs {
public:
    int Message(const TMessageRequest& Request) override
    {
        Captions.push_back(Form ? Form->Caption() : String("<none>"));
        return TScriptedDialogs::Message(Request);
    }
    TCustomForm* Form = nullptr;
    std::vector<String> Captions;
};

TEST_F(ConfigurationTest, ReindexAndReconstructWorkOnTheClientFiles)
{
    MakeClient("A1", "ALPHA");
    ForceDirectories(Dir / "OLD");
    DClientDataBase->CloseClient();
    DeleteFile(Dir / "08ACME/TOTTRANS.CDX");
    DClientDataBase->OpenClient();
    TCaptionAtMessage messages;
    WithForm([&](TFConfiguration* f) {
        messages.Form = f;
        TypeText(f, "01");
        EXPECT_TRUE(FileExists(Dir / "08ACME/TOTTRANS.CDX"));
        EXPECT_TRUE(ClientOpen());
        TypeText(f, "02");
        EXPECT_EQ(f->Caption(), "Configuration Items");
        TypeText(f, "/");
    });
    std::vector<String> texts;
    for (const TMessageRequest& m : messages.Messages)
        texts.push_back(m.Text);
    EXPECT_THAT(texts, ElementsAre("Re-index complete for - 08ACME", "Client List Reconstruct Finished."));
    // The rebuild names the client it adds last in the caption.
    EXPECT_THAT(messages.Captions, ElementsAre("Configuration Items", "Adding - A1"));
    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "A1|ALPHA|" + Dir / "A1"));
    EXPECT_TRUE(ClientOpen());
}

TEST_F(ConfigurationTest, BackUpAndRestoreGoThroughTheDirectoryDialog)
{
    MakeClient("08OLD", "OLD CO");
    ForceDirectories(Dir / "Bak");
    auto choose = [this](const char* Title, const String& Directory) {
        WhenShown<TFPathDialog>([this, Title, Directory](TFPathDialog* d) {
            EXPECT_EQ(d->Label4->Caption(), Title);
            d->DirectoryListBox1->SetDirectory(Directory);
            d->Button1->Click();
        });
    };
    WithForm([&](TFConfiguration* f) {
        // 08OLD becomes current only for its back-up.
        DClientDataBase->CloseClient();
        FMain->User->ClientID = "08OLD";
        DClientDataBase->OpenClient();
        choose("Select Data Path To Backup Files To", Dir / "Bak");
        TypeText(f, "05");
        EXPECT_THAT(Shown(), ElementsAre("Back up complete"));
        for (const char* table : {"CLIENT.DBF", "EMPLOYEE.DBF", "TOTTRANS.DBF"})
            EXPECT_EQ(Dir.Read("Bak/08OLD/" + String(table)), Dir.Read("08OLD/" + String(table))) << table;

        DClientDataBase->CloseClient();
        FMain->User->ClientID = "08ACME";
        DClientDataBase->OpenClient();
        std::filesystem::remove_all(Dir / "08OLD");
        Dialogs.Messages.clear();
        choose("Select Data Path To Restore Files From", Dir / "Bak/08OLD");
        TypeText(f, "06");
        EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
        TypeText(f, "/");
    });
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_EQ(Payer("NAME1"), "OLD CO");
    EXPECT_THAT(PickList(),
                ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "08OLD|OLD CO|" + Dir / "08OLD"));
    // The menu names the client the restore made current.
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- OLD CO");
}

TEST_F(ConfigurationTest, WithoutAClientTheButtonsSayWhatIsMissing)
{
    DClientDataBase->CloseClient();
    FMain->User->ClientID.clear();
    ForceDirectories(Dir / "Empty");
    WithForm([&](TFConfiguration* f) {
        TypeText(f, "01");
        TypeText(f, "05");
        WhenShown<TFPathDialog>([&](TFPathDialog* d) {
            d->DirectoryListBox1->SetDirectory(Dir / "Empty");
            d->Button1->Click();
        });
        TypeText(f, "06");
        TypeText(f, "/");
    });
    EXPECT_THAT(
            Shown(),
            ElementsAre("A current client has not been selected.",
                        "A current client is not active to backup.",
                        "A valid client was not found at the selected path.  No restoration took place."));
    EXPECT_EQ(FMain->User->ClientID, "");
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ");
}

// Two runs of the program in their own processes on one program directory: what
// the first sets on the form is in the settings file when it ends and in effect
// when the second starts.
class ConfigurationRunsTest : public ClientFormsFixture {
protected:
    static String ProgramDirectory() { return TOTAMUND_ARTIFACT_DIR "/configuration/two-runs/"; }
    static String DataDirectory() { return ProgramDirectory() + "Clients/"; }
    void StartProgram()
    {
        TFMain::ProgramDirOverride = ProgramDirectory();
        MenuForms.Configuration = ShowConfiguration;
        Start();
    }
    // Ends the child process: 7 when every check held, else 1 after naming the failed ones.
    [[noreturn]] static void EndRun(const std::vector<std::pair<bool, const char*>>& Checks)
    {
        int failed = 0;
        for (const auto& [held, what] : Checks)
            if (!held)
                std::fprintf(stderr, "failed: %s\n", what), ++failed;
        std::exit(failed == 0 ? 7 : 1);
    }
};

TEST_F(ConfigurationRunsTest, ASettingChangedOnTheFormIsSavedAtTheEndAndUsedAtTheNextStart)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                std::filesystem::remove_all(ProgramDirectory());
                ForceDirectories(DataDirectory());
                StartProgram();
                WhenShown<TFConfiguration>([](TFConfiguration* f) {
                    TypeInRow(f, "07", f->KVEdit7, DataDirectory());
                    TypeText(f, "13");
                    f->KVFloatEdit1->SetText("");
                    TypeText(f, "2");
                    PressKey(f, Qt::Key_Return);
                    f->KVFloatEdit2->SetText("");
                    TypeText(f, "-1");
                    PressKey(f, Qt::Key_Return);
                    TypeText(f, "14");
                    TypeText(f, "/");
                });
                TypeText(FTotStart, "05");
                const bool savedEarly = FileExists(ProgramDirectory() + "TOTUSER.USR");
                TypeText(FTotStart, "99");
                QCoreApplication::processEvents();
                EndRun({{!savedEarly, "nothing is saved while the program runs"},
                        {Application->Terminated(), "99 ends the program"}});
            },
            ::testing::ExitedWithCode(7), "");

    TUser saved;
    saved.Load(ProgramDirectory() + "TOTUSER.USR");
    EXPECT_EQ(saved.DataDir, DataDirectory());
    EXPECT_FLOAT_EQ(saved.RedCopyOffsetY, 2);
    EXPECT_FLOAT_EQ(saved.RedCopyOffsetX, -1);
    EXPECT_TRUE(saved.NoLaserPrint);

    EXPECT_EXIT(
            {
                StartProgram();
                String shown;
                WhenShown<TFConfiguration>([&shown](TFConfiguration* f) {
                    shown = f->KVEdit7->Text() + "|" + f->KVFloatEdit1->Text() + "|" +
                            f->KVFloatEdit2->Text() + "|" +
                            (f->KVCheckBox3->Checked() ? "no laser" : "laser");
                    TypeText(f, "/");
                });
                TypeText(FTotStart, "05");
                // A client made now lies in the new data directory.
                DClientDataBase->CreateClientTables("09NEW");
                EndRun({{FMain->DataDir == DataDirectory(),
                         "the main window works in the new data directory"},
                        {DClientDataBase->DataDir == DataDirectory(),
                         "the data module works in the new data directory"},
                        {FileExists(DataDirectory() + "09NEW/CLIENT.DBF"), "a new client lies in it"},
                        {FMain->User->NoLaserPrint, "forms go to a printer without PCL"},
                        {shown == DataDirectory() + "|2|-1|no laser", "the form shows the saved settings"}});
            },
            ::testing::ExitedWithCode(7), "");
}

}  // namespace
