#pragma once
// The recipient form: one row of EMPLOYEE edited field by field from the keyboard. It
// formats the telephone, tax numbers and ZIP when they are left, keeps the last name
// in step with the name, lets the income type be picked from its list and carries a
// changed recipient ID into the recipient's transactions.

#include <functional>

#include "controls/kvbevel.h"
#include "controls/kvbutton.h"
#include "controls/kvcheckbox.h"
#include "controls/kvcommander.h"
#include "controls/kvdbdateedit.h"
#include "controls/kvdbedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/scrollbox.h"
#include "tables/drodset.h"

// Shown when an entered ID is taken by another recipient of the client.
extern const char* const EmployeeIDUsedMessage;
// Tells that ID cannot name a recipient, followed by Outcome.
String UnusableEmployeeIDMessage(const String& ID, const String& Outcome);

// Whether a recipient other than the row Recipients stands on has the ID. The row may be
// in edit or insert state: it is set aside while the others are read and comes back as it
// was, nothing of it written.
bool EmployeeIDUsedByAnother(TDaroruTable* Recipients, const String& ID);

// Gives every transaction whose trimmed EMP_ID is OldID the ID NewID. The rows are read
// in the file's own order, so that a changed key cannot move a row past the scan; the
// filter is left off, the order as it was, the table on its first row. Step runs after
// each row.
void CarryRecipientID(TDaroruTable* Transactions, const String& OldID, const String& NewID,
                      const std::function<void()>& Step);

class TFEmployeeBasic : public TKVMouseFreeForm {
public:
    explicit TFEmployeeBasic(TComponent* AOwner);
    String ClassName() const override { return "TFEmployeeBasic"; }

    TKVToolBar* KVToolBar1;
    TKVCommander* KVCommander1;
    TScrollBox* ScrollBox1;
    TKVHeader* KVHeader1;
    TKVLabel* KVLabel1;
    TKVDBEdit* KVDBEdit1;  // ID
    TKVLabel* KVLabel2;
    TKVDBEdit* KVDBEdit2;  // NAME1
    TKVLabel* KVLabel3;
    TKVDBEdit* KVDBEdit3;  // ADDRESS
    TKVLabel* KVLabel4;
    TKVDBEdit* KVDBEdit4;  // CITY
    TLabel* Label1;
    TKVDBEdit* KVDBEdit5;  // STATE
    TLabel* Label2;
    TKVDBEdit* KVDBEdit6;  // ZIP
    TKVLabel* KVLabel5;
    TKVDBEdit* KVDBEdit7;  // HOME_PHONE
    TKVLabel* KVLabel6;
    TKVDBEdit* KVDBEdit8;  // TAX_ID
    TKVLabel* KVLabel7;
    TKVDBEdit* KVDBEdit9;  // SSN
    TKVLabel* KVLabel8;
    TKVDBDateEdit* KVDBDateEdit1;  // BIRTH_DATE
    TKVLabel* KVLabel9;
    TKVButton* KVButton1;   // the income-type list
    TKVDBEdit* KVDBEdit10;  // TRANS_TYPE
    TKVLabel* KVLabel10;
    TKVDBDateEdit* KVDBDateEdit2;  // HIRE_DATE
    TKVLabel* KVLabel11;
    TKVDBDateEdit* KVDBDateEdit3;  // TERM_DATE
    TKVLabel* KVLabel12;
    TKVCheckBox* KVCheckBox1;
    TKVLabel* KVLabel13;
    TKVDBEdit* KVDBEdit11;  // NOTE1
    TKVLabel* KVLabel14;
    TKVDBEdit* KVDBEdit12;  // NOTE2
    TKVLabel* KVLabel15;
    TKVDBEdit* KVDBEdit13;  // STATE_ID1
    TKVLabel* KVLabel16;
    TKVDBEdit* KVDBEdit14;  // STATE_ID2

    // The "Sales Over 5K" box; DIR_SALES takes it when the form closes.
    bool DirectSales = false;
    // The ID as it was when its edit was entered.
    String OldID;
    // Set by the caller for a recipient just appended.
    bool NewRecipient = false;
    bool FirstPaintDone = false;

    void FormCreate(TObject* Sender);
    void FormPaint(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void KVDBEdit1Enter(TObject* Sender);
    void KVDBEdit1Exit(TObject* Sender);
    void KVDBEdit2Exit(TObject* Sender);
    void KVDBEdit6Exit(TObject* Sender);
    void KVDBEdit7Exit(TObject* Sender);
    void KVDBEdit8Exit(TObject* Sender);
    void KVDBEdit9Exit(TObject* Sender);
    void KVButton1Click(TObject* Sender);

protected:
    // The form is first shown, or comes back after a dialog: the paint that the
    // new-recipient focus waits for.
    void Activate() override;

private:
    // A numbered line of the scroll box: its frame and caption, and its first control
    // at Left (which the caption leads to).
    template<class T>
    T* Line(TKVLabel*& Label, const String& Caption, const String& Name, const String& Field, int Left,
            int Width);
    template<class T> T* Place(const String& Name, const String& Field, int Left, int Top, int Width);
    // Rewrites Field with Format applied to its text.
    static void Reformat(const char* Field, String (*Format)(const String&));

    int FNextTop;
};
