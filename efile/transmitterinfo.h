#pragma once
// "Electronic Filing Transmitter Information": the twelve transmitter and contact
// fields of the data module, loaded from the transmitter data file when the form
// shows and saved to it however the form closes (there is no cancel). A yes/no
// box shows "Yes" or "No" once it has been set.

#include "controls/kvcheckbox.h"
#include "controls/kvcommander.h"
#include "controls/kvedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "platform/vcl/controls/scrollbox.h"

class TFTransmitterInfo : public TKVMouseFreeForm {
public:
    explicit TFTransmitterInfo(TComponent* AOwner);
    String ClassName() const override { return "TFTransmitterInfo"; }

    TScrollBox* ScrollBox1;
    TKVHeader* KVHeader1;
    TKVEdit* KVEdit1;
    TKVEdit* KVEdit2;
    TKVCheckBox* KVCheckBox1;
    TKVEdit* KVEdit3;
    TKVEdit* KVEdit4;
    TKVCheckBox* KVCheckBox2;
    TKVCheckBox* KVCheckBox3;
    TKVCheckBox* KVCheckBox4;
    TKVHeader* KVHeader2;
    TKVEdit* KVEdit5;
    TKVEdit* KVEdit6;
    TKVEdit* KVEdit7;
    TKVCheckBox* KVCheckBox5;
    TKVCommander* KVCommander1;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void KVCheckBox1Click(TObject* Sender);
    void KVCheckBox2Click(TObject* Sender);
    void KVCheckBox3Click(TObject* Sender);
    void KVCheckBox4Click(TObject* Sender);
    void KVCheckBox5Click(TObject* Sender);

private:
    // A click leaves Field "Y" with the caption "Yes", or "N" with "No".
    static void SetFlag(TKVCheckBox* Box, String& Field);
    // Shows Field: checked with "Yes" when it is "Y", else unchecked with "No".
    static void ShowFlag(TKVCheckBox* Box, const String& Field);
};

// Shows the form modally.
void ShowTransmitterInfo();
