#pragma once
// The client data module: the tables of the current client (payer, recipients,
// transactions), the client pick list and the print-work table, and the
// operations that create, open, close and reindex them. It shows nothing itself:
// questions, messages and progress go out through its events, which the main
// window connects to its dialogs.

#include <functional>

#include "app/clientschemas.h"
#include "platform/classes/datamodule.h"
#include "platform/db/datasource.h"
#include "platform/db/dberror.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/texthelpers.h"
#include "platform/rtl/types.h"
#include "tables/drodset.h"

class TUser;

// A client or recipient ID that cannot serve as a directory name, a file name or
// a value in a search expression.
class EInvalidID : public Exception {
public:
    using Exception::Exception;
};

// A client or recipient ID: 1 to 8 characters, each a letter, a digit, "-" or "_".
bool IsValidID(const String& ID);
// Raises EInvalidID, naming the ID, when IsValidID is false.
void CheckID(const String& ID);

// The transaction filter of one recipient. The ID is padded to the field's width, so
// that "A" does not match "AB" too. Raises EInvalidID for an ID that holds every
// delimiter of a literal.
String RecipientTransactionsFilter(const String& RecipientID);
// The recipient's ID as its transactions' EMP_ID holds it: padded to the field's width.
String RecipientTransactionsKey(const String& RecipientID);

// The message of a client whose tables another user holds.
extern const char* const ClientInUseMessage;
// A restore of the client was cut short and its remaining steps cannot be done now.
extern const char* const CutRestoreMessage;
// The message of a client whose tables could not be opened: the in-use message
// when another user holds them, else which file is wrong and why.
String ClientOpenFailureMessage(const Exception& E);

class TDClientDataBase : public TDataModule {
public:
    explicit TDClientDataBase(TComponent* AOwner);
    String ClassName() const override { return "TDClientDataBase"; }
    bool InheritsFrom(const String& name) const override;

    TDaroruTable* tblClientList;
    TDataSource* dsClientList;
    TDaroruTable* tblClient;
    TDataSource* dsClient;
    TDaroruTable* tblTransactions;
    TDataSource* dsTransactions;
    TDaroruTable* tblEmployee;
    TDataSource* dsEmployee;
    TDaroruTable* tblEmployeePrint;
    TDataSource* dsEmployeePrint;

    // The electronic-filing transmitter and 1096 contact data; the transmitter
    // forms load and save them.
    String TransmitterTIN;
    String ControlCode;
    String ForeignEntity;
    String TransmitterName;
    String ReplacementFileName;
    String ContactName;
    String ContactPhone;
    String ContactEmail;
    String Resubmission;
    String LastFiling;
    String CorrectionFile;
    String Interest1099;

    // Set by the main window: the program directory (the pick list, PRINT) and the
    // data directory (one subdirectory per client), both ending with "/", and the
    // settings whose ClientID names the current client.
    String ProgramDir;
    String DataDir;
    TUser* User = nullptr;

    // Makes the client's directory and its three tables: CLIENT with one record,
    // EMPLOYEE and TOTTRANS empty with their tags. Tables already there are never
    // replaced: the call is refused with EDatabaseError and nothing is touched.
    // Reports its steps through OnProgress.
    void CreateClientTables(const String& ID);
    // Asks, for each table of the client that is missing, whether to create it,
    // and creates it on Yes.
    void EnsureClientTables(const String& ID);

    // Opens the current client's tables: TOTTRANS and EMPLOYEE exclusively, CLIENT
    // shared. When any of them fails, all three are closed, the user is told and
    // there is no current client. Nothing when that client is already open.
    void OpenClient();
    void CloseClient();
    // Rebuilds the client's index files. False when the client has no CLIENT.DBF,
    // when a table is in use or when a rebuild fails; an index file is replaced
    // only by a complete new one. A client open here is reopened afterwards.
    bool ReindexClient(const String& ID);

    // Replaces the pick list by an empty one with its tags. False when a file of
    // the list is in use or the new table cannot be made; the old list is then
    // left as it was.
    bool CreateClientList();
    void OpenClientList();
    void CloseClientList();

    // Sets the six totals of the recipient tblEmployee stands on to the sums of
    // its transactions. A sum its field cannot hold is refused (EDatabaseError)
    // and the recipient keeps its stored totals; so is a call without recipients.
    void RecalcRecipientTotals();
    // Rebuilds PRINT in the program directory from the recipients of one form:
    // Mode 1 those of income type "I", any other mode the rest; only the current
    // recipient when OnlyCurrent.
    void BuildPrintTable(int Mode, bool OnlyCurrent);

    // Field layouts of the grids, set when the tables open.
    void tblClientListAfterOpen(TDataSet* DataSet);
    void tblEmployeeAfterOpen(TDataSet* DataSet);
    void tblTransactionsAfterOpen(TDataSet* DataSet);

    // Asked before a missing table is created; unset means No.
    TAskYesNo OnAskYesNo;
    std::function<void(const String& Message)> OnShowMessage;
    // A creation's progress: Position 0 at its start, then one more per table made.
    std::function<void(int Position, int Maximum)> OnProgress;

protected:
    virtual bool DoAskYesNo(const String& Question);
    virtual void DoShowMessage(const String& Message);
    virtual void DoProgress(int Position, int Maximum);

public:
    // DataDir + ID + "/", after checking the ID.
    String ClientDir(const String& ID) const;

private:
    // Points Table at Dir + Name with the given access.
    static void Aim(TDaroruTable* Table, const String& Dir, const String& Name, bool Exclusive);
    // Writes a new, empty table file Dir + Schema.Name with the schema's fields.
    static void CreateTableFile(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema);
    // One table of a client, by the schema: the file, then CLIENT's record or the tags.
    void CreateClientTable(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema);
    // Builds the schema's tags anew in the table's structural index; the old index
    // file is kept aside until the new one is complete and comes back when the
    // rebuild fails. False on any failure.
    static bool RebuildTags(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema);
    bool IsClientOpen(const String& Dir) const;

    // The directory of the client whose tables are open; "" when none.
    String FOpenDir;
};

// The one data module, created by the main window.
extern TDClientDataBase* DClientDataBase;
