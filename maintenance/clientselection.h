#pragma once
// The client pick list: the clients of the pick list CLIENTLIST in a grid, found by
// ID or by name as the user types, chosen with Enter or a double click; New asks the
// caller for a new client, and the Delete key deletes a client's tables and rebuilds
// the list from the client directories.
//
// The caller opens the list shared, switches soft seek on and orders the list by ID
// before showing the form; after it, modal result OK with NewClient means "create a
// client", OK without it "make the current row's client current".

#include "datacontrols/grid/wwdbgrid.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/forms.h"
#include "tables/drodset.h"

class TFClientSelection : public TForm {
public:
    explicit TFClientSelection(TComponent* AOwner);
    String ClassName() const override { return "TFClientSelection"; }

    TLabel* Label1;
    TEdit* Edit1;
    TLabel* Label2;
    TEdit* Edit2;
    TBevel* Bevel1;
    TLabel* Label3;
    TBitBtn* BitBtn3;
    TdwDBGrid* dwDBGrid1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    // Reads each found client's payer file while the list is rebuilt.
    TDaroruTable* tblList;

    // Set by New: the caller is to create a client.
    bool NewClient = false;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Edit1Change(TObject* Sender);
    void Edit1Enter(TObject* Sender);
    void Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Edit2Change(TObject* Sender);
    void Edit2Enter(TObject* Sender);
    void Edit2KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Edit2KeyPress(TObject* Sender, char& Key);
    void dwDBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void dwDBGrid1DblClick(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);

private:
    // The list is open and stands on a row.
    bool HasRow() const;
    // Orders the list by Tag and finds Text there (the nearest following key too).
    void SearchBy(const String& Tag, const String& Text);
    void Search(const String& Text);
    // Page Up, Page Down, Up and Down move the list from a search edit.
    void MoveList(Word Key);
    // '/' in a search edit closes the form as Cancel does.
    void SlashCancels(char& Key);
    void ShowHelp(Word& Key);
    // Deletes the current row's client: its six table files and its row; the list is
    // then rebuilt from the client directories.
    void DeleteClient();
};

// Shows the pick list, standing on the client list; true when it was closed with OK.
bool ShowClientSelection(bool& NewClient);
