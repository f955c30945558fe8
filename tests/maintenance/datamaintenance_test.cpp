// Reindex, pick-list rebuild, back-up and restore on real client directories, with
// a second process playing another workstation.

#include <gmock/gmock.h>

#include <filesystem>

#include "app/pendingrestore.h"
#include "app/smalldialogs.h"
#include "maintenance/datamaintenance.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const Tables[] = {"CLIENT.DBF", "EMPLOYEE.DBF", "TOTTRANS.DBF"};

class DataMaintenanceTest : public ClientFormsFixture {
protected:
    void SetUp() override
    {
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
    static void SetPayerID(const String& ID)
    {
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
    std::vector<String> TableBytes(const String& ClientDir) const
    {
        std::vector<String> bytes;
        for (const char* table : Tables)
            bytes.push_back(Dir.Read(ClientDir + table));
        return bytes;
    }
    bool ClientOpen() const { return DClientDataBase->tblClient->Active(); }

    TDaroruTable* Reader = nullptr;
};

// ---- Reindex

TEST_F(DataMaintenanceTest, ReindexRebuildsTheCurrentClientsIndexes)
{
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

TEST_F(DataMaintenanceTest, ReindexLeavesATableInUseElsewhereAndItsIndexAlone)
{
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

TEST_F(DataMaintenanceTest, RebuildListsTheClientDirectoriesByName)
{
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
    EXPECT_THAT(Shown(),
                ElementsAre("Client List Reconstruct Finished.\n\nThese directories were left out: their "
                            "names are no client IDs or their client file cannot be read:\nLONGNAME01"));
    EXPECT_EQ(FTotStart->Caption(), "Configuration");
    EXPECT_TRUE(ClientOpen());
    EXPECT_FALSE(DClientDataBase->tblClientList->Active());
}

TEST_F(DataMaintenanceTest, RebuildKeepsAListInUseElsewhere)
{
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

TEST_F(DataMaintenanceTest, BackUpCopiesTheThreeTablesIntoTheClientsFolder)
{
    Dir.Write("bak/08ACME/CLIENT.DBF", "an older copy");
    BackupClientTo(Dir / "bak");  // no "/" at the end
    EXPECT_THAT(Shown(), ElementsAre("Back up complete"));
    EXPECT_EQ(TableBytes(Dir / "bak/08ACME/"), TableBytes(Dir / "08ACME/"));
    EXPECT_FALSE(FileExists(Dir / "bak/08ACME/EMPLOYEE.CDX"));
    EXPECT_TRUE(ClientOpen());
}

TEST_F(DataMaintenanceTest, BackUpReportsEachTableItCouldNotCopy)
{
    DClientDataBase->CloseClient();
    DeleteFile(Dir / "08ACME/EMPLOYEE.DBF");
    BackupClientTo(Dir / "bak/");
    EXPECT_THAT(Shown(), ElementsAre("Back of " + Dir / "08ACME/EMPLOYEE.DBF failed",
                                     "Unable to open client - the file " + Dir / "08ACME/EMPLOYEE.DBF" +
                                             " does not exist."));
    EXPECT_TRUE(FileExists(Dir / "bak/08ACME/CLIENT.DBF"));
    EXPECT_TRUE(FileExists(Dir / "bak/08ACME/TOTTRANS.DBF"));
}

TEST_F(DataMaintenanceTest, BackUpWaitsForAClientNoOneElseUses)
{
    {
        TOtherWorkstation other(Dir / "08ACME/CLIENT.DBF", false);
        BackupClientTo(Dir / "bak/");
    }
    EXPECT_THAT(Shown(),
                ElementsAre("The client 08ACME is in use on another workstation.  Nothing was backed up."));
    EXPECT_FALSE(DirectoryExists(Dir / "bak/08ACME"));
    EXPECT_TRUE(ClientOpen());

    Dialogs.Messages.clear();
    FMain->User->ClientID.clear();
    BackupClientTo(Dir / "bak/");
    EXPECT_THAT(Shown(), ElementsAre("A current client is not active to backup."));
}

TEST_F(DataMaintenanceTest, TheDirectoryDialogChoosesAndItsCloseBoxStops)
{
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
    void SetUp() override
    {
        DataMaintenanceTest::SetUp();
        MakeClient("08OLD", "OLD CO");
        SetPayerID("08OLD");
        BackUpOld();
    }
    // Backs 08OLD up to bak/08OLD/; 08ACME stays current.
    void BackUpOld()
    {
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

TEST_F(RestoreTest, RestoreDropsTheJournalOfTheTablesItReplaces)
{
    DClientDataBase->CloseClient();
    Dir.Write("08OLD/TOTTRANS.JNL", "left by a write that never finished");
    Dialogs.AnswerMessage(mrYes);  // overwrite 08OLD
    RestoreClientFrom(Backup(), Reader);
    EXPECT_EQ(Shown().back(), "Restoration for 08OLD complete");
    EXPECT_FALSE(FileExists(Dir / "08OLD/TOTTRANS.JNL"));
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
    EXPECT_FALSE(FileExists(Dir / "08OLD/" + PendingRestoreMarker));
    EXPECT_THAT(ListFiles(Dir / "08OLD/", "*.NEW"), IsEmpty());
}

TEST_F(RestoreTest, RestoreIntoAnEmptyPlaceMakesTheClientCurrentAndListsIt)
{
    std::filesystem::remove_all(Dir / "08OLD");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_TRUE(ClientOpen());
    EXPECT_EQ(Payer("NAME1"), "OLD CO");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
    EXPECT_TRUE(FileExists(Dir / "08OLD/TOTTRANS.CDX"));
    EXPECT_THAT(PickList(),
                ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "08OLD|OLD CO|" + Dir / "08OLD"));
}

TEST_F(RestoreTest, RestoreWorksWithNoClientOpen)
{
    std::filesystem::remove_all(Dir / "08OLD");
    DClientDataBase->CloseClient();
    FMain->User->ClientID.clear();
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
}

TEST_F(RestoreTest, RestoreOverAClientAsksFirst)
{
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
    EXPECT_EQ(Shown()[0],
              "Client files already exist.  By continuing you will overwrite all existing data for 08OLD "
              "at the selected path location.  Do you want to continue?");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), renamed);
    EXPECT_EQ(FMain->User->ClientID, "08ACME");

    Dialogs.Messages.clear();
    Dialogs.AnswerMessage(mrYes);
    RestoreClientFrom(Backup(), Reader);
    EXPECT_EQ(Shown().size(), 3u);
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
    EXPECT_THAT(PickList(),
                ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME", "08OLD|OLD CO|" + Dir / "08OLD"));
}

TEST_F(RestoreTest, RestoreOverwritesNothingUnlessItCanTakeEverything)
{
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

TEST_F(RestoreTest, RestoreLeavesAClientInUseElsewhere)
{
    const std::vector<String> before = TableBytes(Dir / "08OLD/");
    Dialogs.AnswerMessage(mrYes);
    {
        TOtherWorkstation other(Dir / "08OLD/CLIENT.DBF", false);
        RestoreClientFrom(Backup(), Reader);
    }
    EXPECT_EQ(Shown().back(),
              "The client 08OLD is in use on another workstation.  No restoration took place.");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), before);
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    EXPECT_TRUE(ClientOpen());
}

// ---- A restore cut short, as by a power cut, and the client's next opening

class RestoreCutTest : public RestoreTest {
protected:
    void SetUp() override
    {
        RestoreTest::SetUp();
        // Every table of 08OLD comes to differ from its back-up: a renamed payer, a
        // recipient and a payment to it.
        OpenOld();
        DClientDataBase->tblClient->Edit();
        DClientDataBase->tblClient->FieldByName("NAME1")->SetAsString("RENAMED CO");
        DClientDataBase->tblClient->Post();
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->Append();
        recipients->FieldByName("ID")->SetAsString("R1");
        recipients->Post();
        TDaroruTable* payments = DClientDataBase->tblTransactions;
        payments->Append();
        payments->FieldByName("EMP_ID")->SetAsString("R1");
        payments->FieldByName("AMOUNT")->SetAsString("100.00");
        payments->Post();
        DClientDataBase->CloseClient();
        Old = ClientBytes();
        const std::vector<String> backedUp = TableBytes(Backup());
        for (size_t i = 0; i < backedUp.size(); ++i)
            ASSERT_NE(Old[i], backedUp[i]) << Tables[i];
    }
    String OldDir() const { return Dir / "08OLD/"; }
    // The bytes of 08OLD's tables, then of its index files.
    std::vector<String> ClientBytes() const
    {
        std::vector<String> bytes = TableBytes(OldDir());
        for (const char* index : Indexes)
            bytes.push_back(Dir.Read(OldDir() + index));
        return bytes;
    }
    // 08OLD's files as they were before any restore.
    void PutBackOld()
    {
        DClientDataBase->CloseClient();
        for (size_t i = 0; i < std::size(Tables); ++i)
            Dir.Write("08OLD/" + String(Tables[i]), Old[i]);
        for (size_t i = 0; i < std::size(Indexes); ++i)
            Dir.Write("08OLD/" + String(Indexes[i]), Old[std::size(Tables) + i]);
    }
    // The restore's own steps, stopped where a power cut would stop them: the
    // copies (the last one half written when there is no marker yet), the marker,
    // the first Renames renames and, with Removed, the old index files' removal;
    // with HalfBuilt, an index build cut half way.
    void CutRestore(bool Marked, size_t Renames, bool Removed, bool HalfBuilt = false)
    {
        const TPendingRestore steps {{std::begin(Tables), std::end(Tables)},
                                     {std::begin(Indexes), std::end(Indexes)}};
        for (const String& table : steps.Replaced)
            ASSERT_TRUE(CopyFile(Backup() + table, OldDir() + table + PendingCopySuffix, false));
        if (!Marked) {
            const String last = steps.Replaced.back();
            const String bytes = Dir.Read(Backup() + last);
            Dir.Write("08OLD/" + last + PendingCopySuffix, bytes.substr(0, bytes.size() / 2));
            return;
        }
        ASSERT_TRUE(BeginPendingRestore(OldDir(), steps));
        for (size_t i = 0; i < Renames; ++i) {
            const String table = OldDir() + steps.Replaced[i];
            ASSERT_TRUE(RenameFile(table + PendingCopySuffix, table));
        }
        for (const String& index : Removed ? steps.Removed : std::vector<String>()) {
            ASSERT_TRUE(DeleteFile(OldDir() + index));
        }
        if (HalfBuilt)
            Dir.Write("08OLD/TOTTRANS.CDX", Old.back().substr(0, Old.back().size() / 2));
    }
    // Makes 08OLD the current client and opens it, as the program does.
    static void OpenOld()
    {
        DClientDataBase->CloseClient();
        FMain->User->ClientID = "08OLD";
        DClientDataBase->OpenClient();
    }
    // Whether the recipient R1 and the payment to it are found through the
    // indexes: an index left beside a table it does not describe gives another
    // answer than the table.
    static std::pair<bool, bool> SeeksR1()
    {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->SetOrder(recipients->TagArea("ID"));
        TDaroruTable* payments = DClientDataBase->tblTransactions;
        payments->SetOrder(payments->TagArea("EMP_ID"));
        return {recipients->Seek("R1"), payments->Seek("R1")};
    }
    static bool WhollyOpen()
    {
        return DClientDataBase->tblClient->Active() && DClientDataBase->tblEmployee->Active() &&
               DClientDataBase->tblTransactions->Active();
    }
    bool LeftoversGone() const
    {
        return !FileExists(OldDir() + PendingRestoreMarker) && ListFiles(OldDir(), "*.NEW").empty();
    }

    static constexpr const char* Indexes[] = {"EMPLOYEE.CDX", "TOTTRANS.CDX"};
    std::vector<String> Old;
};

TEST_F(RestoreCutTest, TheNextOpeningHasTheClientWhollyRestoredOrWhollyOld)
{
    const struct Case {
        const char* Name;
        bool Marked;
        size_t Renames;
        bool Removed;
        bool HalfBuilt;
        bool Restored;  // the cut came after every copy was complete
    } cases[] = {
            {"cut while copying", false, 0, false, false, false},
            {"cut after the marker", true, 0, false, false, true},
            {"cut after 1 of 3 renames", true, 1, false, false, true},
            {"cut after 2 of 3 renames", true, 2, false, false, true},
            {"cut after every rename", true, 3, false, false, true},
            {"cut after the old indexes' removal", true, 3, true, false, true},
            {"cut while the indexes were built", true, 3, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        PutBackOld();
        Dialogs.Messages.clear();
        CutRestore(c.Marked, c.Renames, c.Removed, c.HalfBuilt);
        OpenOld();
        EXPECT_THAT(Shown(), IsEmpty());
        ASSERT_TRUE(WhollyOpen());
        EXPECT_TRUE(LeftoversGone());
        if (c.Restored) {
            EXPECT_EQ(TableBytes(OldDir()), TableBytes(Backup()));
            EXPECT_EQ(Payer("NAME1"), "OLD CO");
            EXPECT_EQ(SeeksR1(), std::make_pair(false, false));
        } else {
            EXPECT_EQ(ClientBytes(), Old);
            EXPECT_EQ(Payer("NAME1"), "RENAMED CO");
            EXPECT_EQ(SeeksR1(), std::make_pair(true, true));
        }
    }
}

TEST_F(RestoreCutTest, ACutRestoreIsFinishedOnceItsTablesAreFree)
{
    CutRestore(true, 1, false);
    {
        TOtherWorkstation other(OldDir() + "TOTTRANS.DBF", false);
        OpenOld();
        EXPECT_THAT(Shown(), ElementsAre(String(CutRestoreMessage)));
        EXPECT_FALSE(WhollyOpen());
        EXPECT_TRUE(FileExists(OldDir() + PendingRestoreMarker));
        EXPECT_TRUE(FileExists(OldDir() + "TOTTRANS.DBF.NEW"));
    }
    Dialogs.Messages.clear();
    OpenOld();
    EXPECT_THAT(Shown(), IsEmpty());
    ASSERT_TRUE(WhollyOpen());
    EXPECT_EQ(TableBytes(OldDir()), TableBytes(Backup()));
    EXPECT_EQ(SeeksR1(), std::make_pair(false, false));
    EXPECT_TRUE(LeftoversGone());
}

// A restore on another workstation holds its copies until its marker is written.
TEST_F(RestoreCutTest, ACopyARestoreStillHoldsIsNoLeftover)
{
    CutRestore(false, 0, false);
    sharelocks::FileClaim copying;
    ASSERT_TRUE(copying.Claim(ResolvePath(OldDir() + "CLIENT.DBF.NEW")));
    OpenOld();
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_TRUE(WhollyOpen());
    EXPECT_EQ(ClientBytes(), Old);
    EXPECT_TRUE(FileExists(OldDir() + "CLIENT.DBF.NEW"));
}

// A marker is written whole or not at all; one that reads otherwise, or names a
// file outside the client's directory, is not acted on.
TEST_F(RestoreCutTest, AMarkerThatCannotBeTrustedChangesNothing)
{
    CutRestore(true, 0, false);
    Dir.Write("08OLD/" + String(PendingRestoreMarker), "NEW ../08ACME/CLIENT.DBF\n");
    const std::vector<String> acme = TableBytes(Dir / "08ACME/");
    OpenOld();
    EXPECT_THAT(Shown(), ElementsAre(String(CutRestoreMessage)));
    EXPECT_FALSE(WhollyOpen());
    EXPECT_EQ(ClientBytes(), Old);
    EXPECT_EQ(TableBytes(Dir / "08ACME/"), acme);
    EXPECT_THAT(ListFiles(OldDir(), "*.NEW"), ::testing::SizeIs(3));
}

class RestoreIDTest : public RestoreTest {
protected:
    void SetUp() override
    {
        RestoreTest::SetUp();
        std::filesystem::remove_all(Dir / "08OLD");
    }
    void SetBackedUpID(const String& ID)
    {
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

TEST_F(RestoreIDTest, RestoreRefusesAnIDThatNamesNoClientDirectory)
{
    SetBackedUpID("../X");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre(UnusableIDMessage("../X", "No restoration took place.")));
    EXPECT_FALSE(DirectoryExists(Dir / "X"));
    EXPECT_FALSE(DirectoryExists(Dir / "08OLD"));
}

// A client made by the program's New command has no ID in its payer record.
TEST_F(RestoreIDTest, APayerRecordWithoutIDIsRestoredUnderItsBackupDirectoryName)
{
    SetBackedUpID("");
    RestoreClientFrom(Backup(), Reader);
    EXPECT_THAT(Shown(), ElementsAre("Re-index complete for - 08OLD", "Restoration for 08OLD complete"));
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_EQ(TableBytes(Dir / "08OLD/"), TableBytes(Backup()));
}

}  // namespace
