#pragma once
// The client form: the payer data of the current client (the one row of its CLIENT
// table) in numbered fields, with the telephone, tax ID and social security number
// formatted on leaving them, and the import of a client from the sibling programs.
//
// The caller puts the row into edit state before showing the form and posts it
// afterwards. For a client just created it sets NewClient: the name field then
// takes the focus, leaving the name proposes the default transaction description,
// and leaving the tax ID ends the guidance at the selection entry.

#include "controls/kvbevel.h"
#include "controls/kvcommander.h"
#include "controls/kvdbedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "datacontrols/lookup/dwidlg.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "tables/drodset.h"

class TFClientBasic : public TKVMouseFreeForm {
public:
    explicit TFClientBasic(TComponent* AOwner);
    String ClassName() const override { return "TFClientBasic"; }

    TKVToolBar* KVToolBar1;
    TBitBtn* BitBtn1;
    TKVCommander* KVCommander1;
    TPanel* Panel1;  // the picture strip at the left
    TScrollBox* ScrollBox1;
    TKVHeader* KVHeader1;
    TKVLabel* KVLabel1;
    TKVDBEdit* KVDBEdit1;  // NAME1
    TKVLabel* KVLabel2;
    TKVDBEdit* KVDBEdit2;  // NAME2
    TKVLabel* KVLabel3;
    TKVDBEdit* KVDBEdit3;  // ADDRESS1
    TKVLabel* KVLabel4;
    TKVDBEdit* KVDBEdit4;  // ADDRESS2
    TKVLabel* KVLabel5;
    TKVDBEdit* KVDBEdit5;  // CITY
    TLabel* Label1;
    TKVDBEdit* KVDBEdit6;  // STATE
    TLabel* Label2;
    TKVDBEdit* KVDBEdit7;  // ZIP
    TKVLabel* KVLabel6;
    TKVDBEdit* KVDBEdit8;  // TELEPHONE
    TKVLabel* KVLabel7;
    TKVDBEdit* KVDBEdit10;  // TAX_ID
    TKVLabel* KVLabel8;
    TKVDBEdit* KVDBEdit12;  // SSN
    TKVLabel* KVLabel9;
    TKVDBEdit* KVDBEdit9;  // COMMENTS
    TKVLabel* KVLabel10;
    TKVDBEdit* KVDBEdit11;  // DEF_DESCR
    // The import's work table, each sibling table in turn, and its pick list.
    TDaroruTable* tblTemp;
    TDaroruTable* tblTempOtherProg;
    TdwLookupDialog* dwLookupDialog1;

    // Set by the caller for a client just created; false once the tax ID is left.
    bool NewClient = false;

    void FormPaint(TObject* Sender);
    void KVDBEdit1Exit(TObject* Sender);
    void KVDBEdit8Exit(TObject* Sender);
    void KVDBEdit10Exit(TObject* Sender);
    void KVDBEdit12Exit(TObject* Sender);
    void ImportClientBasic(TObject* Sender);

protected:
    // The guidance of a new client takes the focus to the name whenever the form is
    // shown or active again (after a message box, say); never on a mere repaint.
    void Activate() override;

private:
    // One framed, numbered line of the scroll box with its first edit.
    TKVDBEdit* Line(int Row, TKVLabel*& Label, const String& Caption, const String& EditName,
                    const String& Field, int EditWidth);
    TKVDBEdit* Edit(const String& Name, const String& Field, int Left, int Top, int Width);
    TField* ClientField(const char* Name) const;
    // Rewrites the field with its formatted text.
    void Reformat(const char* Field, String (*Format)(const String&));
};

// Shows the client form for the current client, whose row the caller has put into
// edit state.
void ShowClientBasic(bool NewClient);
