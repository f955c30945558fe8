#pragma once
// The main menu: the MDI child the user works from. It shows the current client,
// opens the stored client at start-up, changes or creates clients, runs the
// year-end update and, when closed, saves the settings and ends the program.

#include <functional>

#include "controls/kvbevel.h"
#include "controls/kvbutton.h"
#include "controls/kvcommander.h"
#include "controls/kvforms.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "tables/drodset.h"

// The forms of the maintenance and printing parts that the menu opens, each shown
// modally. A command whose form is not set here says that it is not available.
struct TMenuForms {
    // The payer's basic information; NewClient focuses the name and proposes the
    // default description.
    std::function<void(bool NewClient)> ClientBasic;
    // The client pick list, standing on tblClientList; true when closed with OK, and
    // NewClient set when the user asked for a new client.
    std::function<bool(bool& NewClient)> ClientSelection;
    std::function<void()> EmployeeStart;
    // The recipient picker on tblEmployee; true when a recipient was chosen, which is
    // then the current row.
    std::function<bool()> RecipientLookup;
    std::function<void()> Transactions;
    std::function<void()> Configuration;
    std::function<void()> Print;
};
extern TMenuForms MenuForms;

// Shown by a menu command whose form this build does not have.
extern const char* const NotAvailableMessage;
// Tells that ID cannot name a client, followed by Outcome ("Create was aborted.").
String UnusableIDMessage(const String& ID, const String& Outcome);

class TFTotStart : public TKVMouseFreeForm {
public:
    explicit TFTotStart(TComponent* AOwner);

    String ClassName() const override { return "TFTotStart"; }

    TKVToolBar* KVToolBar1;
    TBitBtn* BitBtn1;
    TPanel* Panel1;
    TKVBevel* KVBevel1;
    TKVLabel* KVLabel1;
    TKVButton* KVButton1;
    TKVBevel* KVBevel2;
    TKVLabel* KVLabel2;
    TKVButton* KVButton2;
    TKVBevel* KVBevel3;
    TKVLabel* KVLabel3;
    TKVButton* KVButton3;
    TKVBevel* KVBevel4;
    TKVLabel* KVLabel4;
    TKVButton* KVButton4;
    TKVBevel* KVBevel5;
    TKVLabel* KVLabel5;
    TKVButton* KVButton5;
    TKVBevel* KVBevel7;
    TKVLabel* KVLabel6;
    TKVButton* KVButton6;
    TKVBevel* KVBevel8;
    TKVLabel* KVLabel7;
    TKVButton* KVButton7;
    TLabel* Label1;
    TKVCommander* KVCommander1;
    TDaroruTable* tblNewClient;

    // While set (from creation on), closing the menu ends the program.
    bool TerminateOnClose = false;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The buttons' states and the banner, after every change of client.
    void ShowCurrentClient();

    void KVButton1Click(TObject* Sender);
    void KVButton2Click(TObject* Sender);
    void KVButton3Click(TObject* Sender);
    void KVButton4Click(TObject* Sender);
    void KVButton5Click(TObject* Sender);
    void KVButton6Click(TObject* Sender);
    void KVButton7Click(TObject* Sender);  // the year-end update
    void BitBtn1Click(TObject* Sender);

private:
    // One numbered section of the menu: its frame, caption and button.
    TKVButton* Section(int Number, TKVBevel*& Bevel, TKVLabel*& Label, const String& Caption,
                       const String& ButtonCaption, const String& Hint,
                       void (TFTotStart::*Handler)(TObject*));
    // Creates the client ID typed for a new client, with its pick-list row.
    void CreateNewClient(const String& ID);
    void SwitchToClient(const String& ID);
};

extern TFTotStart* FTotStart;
