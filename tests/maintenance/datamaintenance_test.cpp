// Reindex, pick-list rebuild, back-up and restore on real client directories, with
// a second process playing another workstation.

#include <gmock/gmock.h>

#include <filesystem>

#include "app/smalldialogs.h"
#include "maintenance/datamaintenance.h"
#include "platform/rtl/fileops.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const Tables[] = {"CLIENT.DBF", "EMPLOYEE.DBF", "TOTTRANS.DBF"};

class DataMaintenanceTest : public ClientFormsFixture {
protected:
    void SetUp() override {
        ClientFormsFixture::SetUp();
        StartMain();
        MakeClient("08ACME", "ACME SUPPLY");
        SetPayerID("08ACME");
        FMain->User->ClientID = "08ACME";
        StartMenu();
        AddPickListRows({{"08ACME", "ACME SUPPLY"}});
        Reader = new TDaroruTable(FMain);
    }
    // The ID stored in the client's payer record, as a new client gets it.
    static void SetPayerID(const String& ID) {
        const String previous = FMain->User->ClientID;
        DClientDataBase->CloseClient();
        FMain->User->ClientID = ID;
        DClientDataBase->OpenClient();
        DClientDataBase->tblClient->Edit();
        DClientDataBase->tblClient->FieldByName("ID")->SetAsString(ID);
        DClientDataBase->tblClient->Post();
        DClientDataBase->CloseClient();
        FMain->User->ClientID = previous;
        DClientDataBase->OpenClient();
    }
    // The bytes of the client's three tables.
    std::vector<String> TableBytes(const String& ClientDir) const {
        std::vector<String> bytes;
        for (const char* table : Tables) bytes.push_back(Dir.Read(ClientDir + table));
        return bytes;
    }
    bool ClientOpen() const { return DClientDataBase->tblClient->Active(); }

    TDaroruTable* Reader = nullptr;
};

// ---- Reindex

TEST_F(DataMaintenanceTest, ReindexRebuildsTheCurrentClientsIndexes) {
    DClientDataBase->CloseClient();
    DeleteFile(Dir / "08ACME/EMPLOYEE.CDX");
    DClientDataBase->OpenClient();
    ReindexCurrentClient();
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08ACME"));
    EXPECT_TRUE(FileExists(Dir / "08ACME/EMPLOYEE.CDX"));
    EXPECT_TRUE(ClientOpen());
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    EXPECT_GT(recipients->TagArea("LAST"), 0);

    Dialogs.Messages.clear();
    FMain->User->ClientID.clear();
    ReindexCurrentClient();
    EXPECT_THAT(Shown(), ElementsAre("A current client has not been selected."));
}

TEST_F(DataMaintenanceTest, ReindexLeavesATableInUseElsewhereAndItsIndexAlone) {
    DClientDataBase->CloseClient();
    const String index = Dir.Read("08ACME/TOTTRANS.CDX");
    {
        TOtherWorkstation other(Dir / "08ACME/TOTTRANS.DBF", false);
        ReindexCurrentClient();
    }
    EXPECT_THAT(Shown(), ElementsAre("Unable to perform re-index", ClientInUseMessage));
    EXPECT_EQ(Dir.Read("08ACME/TOTTRANS.CDX"), index);
}

// ---- Rebuilding the pick list

TEST_F(DataMaintenanceTest, RebuildListsTheClientDirectoriesByName) {
    MakeClient("A1", "ALPHA");
    ForceDirectories(Dir / "OLD");
    ForceDirectories(Dir / "LONGNAME01");
    std::filesystem::copy_file(Dir / "A1/CLIENT.DBF", Dir / "LONGNAME01/CLIENT.DBF");
    ForceDirectories(Dir / "A.B");
    std::filesystem::copy_file(Dir / "A1/CLIENT.DBF", Dir / "A.B/CLIENT.DBF");
    std::filesystem::copy_file(Dir / "A1/CLIENT.DBF", Dir / "CLIENT.DBF");
    AddPickListRows({{"ZZ", "GONE"}});
    FTotStart->SetCaption("Configuration");

    ReconstructClientList(FTotStart, Reader);

    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "A1|ALPHA|" + Dir / "A1"));
    EXPECT_THAT(Shown(), ElementsAre("Client List Reconstruct Finished.\n\nThese directories were left out: their "
                                     "names are no client IDs or their client file cannot be read:\nLONGNAME01"));
    EXPECT_EQ(FTotStart->Caption(), "Configuration");
    EXPECT_TRUE(ClientOpen());
    EXPECT_FALSE(DClientDataBase->tblClientList->Active());
}

TEST_F(DataMaintenanceTest, RebuildKeepsAListInUseElsewhere) {
    const String list = Dir.Read("CLIENTLIST.DBF");
    {
        TOtherWorkstation other(Dir / "CLIENTLIST.DBF", false);
        ReconstructClientList(FTotStart, Reader);
    }
    EXPECT_THAT(Shown(), ElementsAre("File in use unable to reconstruct at this time."));
    EXPECT_EQ(Dir.Read("CLIENTLIST.DBF"), list);
    EXPECT_TRUE(ClientOpen());
    EXPECT_EQ(FTotStart->Caption(), "1099 Totamund Main");
}

// ---- Back-up

TEST_F(DataMaintenanceTest, BackUpCopiesTheThreeTablesIntoTheClientsFolder) {
    Dir.Write("bak/08ACME/CLIENT.DBF", "an older copy");
    BackupClientTo(Dir / "bak");  // no "/" at the end
    EXPECT_THAT(Shown(), ElementsAre("Back up complete"));
    EXPECT_EQ(TableBytes(Dir / "bak/08ACME/"), TableBytes(Dir / "08ACME/"));
    EXPECT_FALSE(FileExists(Dir / "bak/08ACME/EMPLOYEE.CDX"));
    EXPECT_TRUE(ClientOpen());
}

TEST_F(DataMaintenanceTest, BackUpReportsEachTableItCouldNotCopy) {
    DClientDataBase->CloseClient();
    DeleteFile(Dir / "08ACME/EMPLOYEE.DBF");
    BackupClientTo(Dir / "bak/");
    EXPECT_THAT(Shown(), ElementsAre("Back of " + Dir / "08ACME/EMPLOYEE.DBF failed",
                                     "Unable to open client - the file " + Dir / "08ACME/EMPLOYEE.DBF" +
                                         " does not exist."));
    EXPECT_TRUE(FileExists(Dir / "bak/08ACME/CLIENT.DBF"));
    EXPECT_TRUE(FileExists(Dir / "bak/08ACME/TOTTRANS.DBF"));
}

TEST_F(DataMaintenanceTest, BackUpWaitsForAClientNoOneElseUses) {
    {
        TOtherWorkstation other(Dir / "08ACME/CLIENT.DBF", false);
        BackupClientTo(Dir / "bak/");
    }
    EXPECT_THAT(Shown(), ElementsAre("The client 08ACME is in use on another workstation.  Nothing was backed up."));
    EXPECT_FALSE(DirectoryExists(Dir / "bak/08ACME"));
    EXPECT_TRUE(ClientOpen());

    Dialogs.Messages.clear();
    FMain->User->ClientID.clear();
    BackupClientTo(Dir / "bak/");
    EXPECT_THAT(Shown(), ElementsAre("A current client is not active to backup."));
}

TEST_F(DataMaintenanceTest, TheDirectoryDialogChoosesAndItsCloseBoxStops) {
    ForceDirectories(Dir / "bak");
    FMain->DialogResult = Dir / "stale/";
    WhenShown<TFPathDialog>([](TFPathDialog* Form) {
        EXPECT_EQ(Form->Label4->Caption(), "Select Data Path To Backup Files To");
        Form->Close();
    });
    BackupClient();
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_FALSE(DirectoryExists(Dir / "stale"));
    EXPECT_TRUE(ClientOpen());

    const String typed = Dir / "bak";
    WhenShown<TFPathDialog>([typed](TFPathDialog* Form) {
        Form->Edit1->SetFocus();
        TypeText(Form, typed.c_str());
        PressKey(Form, Qt::Key_Return);
    });
    BackupClient();
    EXPECT_THAT(Shown(), ElementsAre("Back up complete"));
    EXPECT_TRUE(FileExists(Dir / "bak/08ACME/TOTTRANS.DBF"));

    Dialogs.Messages.clear();
    WhenShown<TFPathDialog>([](TFPathDialog* Form) {
        EXPECT_EQ(Form->Label4->Caption(), "Select Data Path To Restore Files From");
        Form->Close();
    });
    RestoreClient(Reader);
    EXPECT_THAT(Shown(), IsEmpty());
}

// ---- Restore

class RestoreTest : public DataMaintenanceTest {
protected:
    void SetUp() override {
        DataMaintenanceTest::SetUp();
        MakeClient("08OLD", "OLD CO");
        SetPayerID("08OLD");
        BackUpOld();
    }
    // Backs 08OLD up to bak/08OLD/; 08ACME stays current.
    void BackUpOld() {
        DClientDataBase->CloseClient();
        FMain->User->ClientID = "08OLD";
        BackupClientTo(Dir / "bak/");
        DClientDataBase->CloseClient();
        FMain->User->ClientID = "08ACME";
        DClientDataBase->OpenClient();
        Dialogs.Messages.clear();
    }
    String Backup() const { return Dir / "bak/08OLD/"; }
};

TEST_F(RestoreTest, RestoreDropsTheJournalOfTheTablesItReplaces) {
    DClientDataBase->CloseClient();
    Dir.Write("08OLD/TOTTRANS.JNL", "left by a write that never finished");
    Dialogs.AnswerMessage(mrYes);  // overwrite 08OLD
    RestoreClientFrom(Backup(), Reader);
    EXPECT_EQ(Shown().back(), "Restoration for 08OLD complete");
    EXPECT_FALSE(FileExists(Dir / "08OLD/TOTTRANS.JNL"));
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
}

TEST_F(RestoreTest, RestoreIntoAnEmptyPlaceMakesTheClientCurrentAndListsIt) {
    std::filesystem::remove_all(Dir / "08OLD");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_TRUE(ClientOpen());
    EXPECT_EQ(Payer("NAME1"), "OLD CO");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
    EXPECT_TRUE(FileExists(Dir / "08OLD/TOTTRANS.CDX"));
    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "08OLD|OLD CO|" + Dir / "08OLD"));
}

TEST_F(RestoreTest, RestoreWorksWithNoClientOpen) {
    std::filesystem::remove_all(Dir / "08OLD");
    DClientDataBase->CloseClient();
    FMain->User->ClientID.clear();
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
}

TEST_F(RestoreTest, RestoreOverAClientAsksFirst) {
    const std::vector<String> before = TableBytes(Dir / "08OLD/");
    // The backed-up payer has another name than the one in the data directory now.
    FMain->User->ClientID = "08OLD";
    DClientDataBase->CloseClient();
    DClientDataBase->OpenClient();
    DClientDataBase->tblClient->Edit();
    DClientDataBase->tblClient->FieldByName("NAME1")->SetAsString("RENAMED CO");
    DClientDataBase->tblClient->Post();
    DClientDataBase->CloseClient();
    FMain->User->ClientID = "08ACME";
    DClientDataBase->OpenClient();
    const std::vector<String> renamed = TableBytes(Dir / "08OLD/");
    ASSERT_NE(renamed, before);
    AddPickListRows({{"08OLD", "RENAMED CO"}});

    Dialogs.AnswerMessage(mrNo);
    RestoreClientFrom(Backup(), Reader);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0], "Client files already exist.  By continuing you will overwrite all existing data for 08OLD "
                          "at the selected path location.  Do you want to continue?");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), renamed);
    EXPECT_EQ(FMain->User->ClientID, "08ACME");

    Dialogs.Messages.clear();
    Dialogs.AnswerMessage(mrYes);
    RestoreClientFrom(Backup(), Reader);
    EXPECT_EQ(Shown().size(), 3u);
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "08OLD|OLD CO|" + Dir / "08OLD"));
}

TEST_F(RestoreTest, RestoreOverwritesNothingUnlessItCanTakeEverything) {
    const std::vector<String> before = TableBytes(Dir / "08OLD/");
    const std::vector<String> list = PickList();
    struct Case {
        const char* Name;
        std::function<void()> Spoil;
        String Message;
    } cases[] = {
        {"a missing table", [this] { DeleteFile(Backup() + "TOTTRANS.DBF"); },
         "Unable to restore " + Backup() + "TOTTRANS.DBF"},
        {"no client there", [this] { DeleteFile(Backup() + "CLIENT.DBF"); },
         "A valid client was not found at the selected path.  No restoration took place."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BackUpOld();
        c.Spoil();
        Dialogs.AnswerMessage(mrYes);
        RestoreClientFrom(Backup(), Reader);
        EXPECT_EQ(Shown().back(), c.Message);
        EXPECT_EQ(TableBytes(Dir / "08OLD/"), before);
        EXPECT_EQ(FMain->User->ClientID, "08ACME");
        EXPECT_TRUE(ClientOpen());
        EXPECT_EQ(PickList(), list);
    }
}

TEST_F(RestoreTest, RestoreLeavesAClientInUseElsewhere) {
    const std::vector<String> before = TableBytes(Dir / "08OLD/");
    Dialogs.AnswerMessage(mrYes);
    {
        TOtherWorkstation other(Dir / "08OLD/CLIENT.DBF", false);
        RestoreClientFrom(Backup(), Reader);
    }
    EXPECT_EQ(Shown().back(), "The client 08OLD is in use on another workstation.  No restoration took place.");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), before);
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    EXPECT_TRUE(ClientOpen());
}

class RestoreIDTest : public RestoreTest {
protected:
    void SetUp() override {
        RestoreTest::SetUp();
        std::filesystem::remove_all(Dir / "08OLD");
    }
    void SetBackedUpID(const String& ID) {
        Reader->Close();
        Reader->SetDatabaseName(Backup());
        Reader->SetTableName(Backup() + "CLIENT.DBF");
        Reader->SetExclusive(WordTrue);
        Reader->Open();
        Reader->Edit();
        Reader->FieldByName("ID")->SetAsString(ID);
        Reader->Post();
        Reader->Close();
    }
};

TEST_F(RestoreIDTest, RestoreRefusesAnIDThatNamesNoClientDirectory) {
    SetBackedUpID("../X");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre(UnusableIDMessage("../X", "No restoration took place.")));
    EXPECT_FALSE(DirectoryExists(Dir / "X"));
    EXPECT_FALSE(DirectoryExists(Dir / "08OLD"));
}

// A client made by the program's New command has no ID in its payer record.
TEST_F(RestoreIDTest, APayerRecordWithoutIDIsRestoredUnderItsBackupDirectoryName) {
    SetBackedUpID("");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
}

}  // namespace
