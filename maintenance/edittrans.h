#pragma once
// The transaction editor: one transaction of the current recipient typed straight
// into the current record of the transaction table. Date, number, description and
// amount are typed in turn; the focus then goes to the selection entry, from which
// '/' closes the form and the grid begins the next transaction. The editor never
// posts or cancels the record: its two buttons tell the grid what to do through the
// main window's flags.

#include "controls/kvbevel.h"
#include "controls/kvdbdateeditamerican.h"
#include "controls/kvdbdoubleedit.h"
#include "controls/kvdbedit.h"
#include "controls/kvdbintedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/label.h"

// Shown after the third failed date check in a row.
extern const char* const DateFormatExplanation;
// Shown after the fourth, when today's date replaces the entry.
extern const char* const SystemDateSubstituted;

class TFEditTrans : public TKVMouseFreeForm {
public:
    explicit TFEditTrans(TComponent* AOwner);

    String ClassName() const override { return "TFEditTrans"; }

    TKVToolBar* KVToolBar1;
    TKVHeader* KVHeader1;
    TKVBevel* KVBevel1;
    TKVLabel* KVLabel1;
    TKVDBDateEditAmerican* KVDBDateEditAmerican1;
    TBitBtn* BitBtn1;
    TKVBevel* KVBevel2;
    TKVLabel* KVLabel2;
    TKVDBIntEdit* KVDBIntEdit1;
    TKVBevel* KVBevel3;
    TKVLabel* KVLabel3;
    TKVDBEdit* KVDBEdit1;
    TKVBevel* KVBevel4;
    TKVLabel* KVLabel4;
    TKVDBDoubleEdit* KVDBDoubleEdit1;
    TKVHeader* KVHeader2;
    TKVBevel* KVBevel5;
    TKVLabel* KVLabel5;
    TKVDBDoubleEdit* KVDBDoubleEdit2;
    TLabel* Label1;
    TKVBevel* KVBevel6;
    TKVLabel* KVLabel6;
    TKVDBDoubleEdit* KVDBDoubleEdit3;
    TKVBevel* KVBevel7;
    TKVLabel* KVLabel7;
    TKVDBDoubleEdit* KVDBDoubleEdit4;
    TLabel* Label2;
    TKVBevel* KVBevel8;
    TKVLabel* KVLabel8;
    TKVDBDoubleEdit* KVDBDoubleEdit5;
    TKVBevel* KVBevel9;
    TKVLabel* KVLabel9;
    TKVDBDoubleEdit* KVDBDoubleEdit6;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn2;
    TKVCommander* KVCommander1;

    // Set by the caller before showing: the record was just appended. Cleared when
    // the amount is left for the first time.
    bool NewTransaction = false;
    // Failed date checks in a row.
    int DateErrorCount = 0;
    // The Cancel button closed the form: an edited transaction goes back as it was.
    bool Cancelled = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // While the transaction is new, every activation starts at the date.
    void FormPaint(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void KVDBDateEditAmerican1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void BitBtn1Click(TObject* Sender);
    void KVDBDoubleEdit1Exit(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);

protected:
    void Activate() override;

private:
    // The Enter check of the date field; false when the date is no date.
    bool CheckDate();

    // Set by a failed date check: the Enter that ran it does not leave the field.
    bool FHoldEnter = false;
};
