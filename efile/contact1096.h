#pragma once
// "1096 Contact Information": the contact person of Form 1096 and whether the
// returns are Forms 1099-INT, four of the transmitter data's fields. Like the
// transmitter form it loads the transmitter data file when it shows and saves it
// however it closes.

#include "controls/kvcheckbox.h"
#include "controls/kvcommander.h"
#include "controls/kvedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"

class TFContact1096 : public TKVMouseFreeForm {
public:
    explicit TFContact1096(TComponent* AOwner);
    String ClassName() const override { return "TFContact1096"; }

    TKVToolBar* KVToolBar1;
    TKVHeader* KVHeader2;
    TKVLabel* KVLabel6;
    TKVEdit* KVEdit5;
    TKVLabel* KVLabel7;
    TKVEdit* KVEdit6;
    TKVLabel* KVLabel8;
    TKVEdit* KVEdit7;
    TKVLabel* KVLabel1;
    TKVCheckBox* KVCheckBox1;
    TKVCommander* KVCommander1;

    // The 1099-INT box while the form is open.
    bool Interest1099Checked = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// Shows the form modally.
void ShowContact1096();
