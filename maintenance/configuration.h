#pragma once
// "Configuration Items": the program-wide settings edited in place (networking,
// the customer ID, the data directory, the sibling programs' directories, the
// state-amount rule, the red-copy adjustments, the printer without PCL), the
// download of the soft fonts to a printer, and the data maintenance of the
// client files. There is no OK or Cancel: every change is in the settings at once,
// and the settings file is written when the program ends.
//
// A directory typed or chosen keeps its case and gets its trailing "/". A data
// directory that does not exist or cannot serve is refused before it is stored;
// a new one is used from the next start.

#include "controls/kvbutton.h"
#include "controls/kvcheckbox.h"
#include "controls/kvcommander.h"
#include "controls/kvedit.h"
#include "controls/kvfloatedit.h"
#include "controls/kvforms.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "tables/drodset.h"

class TFConfiguration : public TKVMouseFreeForm {
public:
    explicit TFConfiguration(TComponent* AOwner);
    String ClassName() const override { return "TFConfiguration"; }

    TKVToolBar* KVToolBar1;
    TKVCommander* KVCommander1;
    TImage* Image1;
    TScrollBox* ScrollBox1;
    TKVLabel* KVLabel1;
    TKVButton* KVButton3;  // Reindex
    TKVLabel* KVLabel2;
    TKVButton* KVButton8;  // Reconstruct
    TKVLabel* KVLabel3;
    TKVCheckBox* KVCheckBox2;  // Networking?
    TKVLabel* KVLabel4;
    TKVEdit* KVEdit4;      // customer ID
    TGroupBox* GroupBox1;  // Back Up / Restore
    TKVLabel* KVLabel5;
    TKVButton* KVButton6;  // Back Up
    TKVLabel* KVLabel6;
    TKVButton* KVButton7;  // Restore
    TKVLabel* KVLabel7;
    TKVEdit* KVEdit7;  // data directory
    TKVButton* KVButton11;
    TGroupBox* GroupBox2;  // Other Program Path Interface
    TKVLabel* KVLabel8;
    TKVEdit* KVEdit5;  // money-management program
    TKVButton* KVButton9;
    TKVLabel* KVLabel9;
    TKVEdit* KVEdit6;  // payroll program
    TKVButton* KVButton10;
    TKVLabel* KVLabel10;
    TKVEdit* KVEdit1;  // general-ledger program
    TKVButton* KVButton1;
    TKVLabel* KVLabel11;
    TKVCheckBox* KVCheckBox1;  // State Amount?
    TKVLabel* KVLabel12;
    TKVButton* KVButton2;  // Soft Fonts
    TKVLabel* KVLabel13;
    TLabel* Label1;  // "Vertical"
    TKVFloatEdit* KVFloatEdit1;
    TLabel* Label2;  // "Horizontal"
    TKVFloatEdit* KVFloatEdit2;
    TKVLabel* KVLabel14;
    TKVCheckBox* KVCheckBox3;  // No Laser Print?
    // Reads client files of other directories for the pick-list rebuild and the restore.
    TDaroruTable* tblList;
    TPrintDialog* PrintDialog1;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void KVButton9Click(TObject* Sender);
    void KVButton10Click(TObject* Sender);
    void KVButton1Click(TObject* Sender);
    void KVButton11Click(TObject* Sender);
    void KVEdit7Exit(TObject* Sender);
    void KVButton2Click(TObject* Sender);
    void KVButton3Click(TObject* Sender);
    void KVButton8Click(TObject* Sender);
    void KVButton6Click(TObject* Sender);
    void KVButton7Click(TObject* Sender);

private:
    // A numbered caption at Top of Parent with its control at the right.
    template<class T>
    T* Row(TWinControl* Parent, TKVLabel*& Label, int Number, const String& Caption, const String& Name,
           int Top, int Width);
    TKVButton* Button(TWinControl* Parent, const String& Name, const String& Caption, const String& Hint,
                      int Left, int Top, int Width, void (TFConfiguration::*Handler)(TObject*));
    // A directory edit with its "..." button on the row of Label.
    TKVEdit* DirectoryRow(TWinControl* Parent, TKVLabel*& Label, int Number, const String& Caption,
                          const String& Name, int Top, TKVButton*& Picker, const String& PickerName,
                          void (TFConfiguration::*Handler)(TObject*));
    // Binds Edit to Setting; a typed directory gets its trailing "/" when the edit is left.
    void BindDirectory(TKVEdit* Edit, String& Setting);
    // The directory dialog titled Title, starting from Edit's path: the choice goes
    // into Setting and Edit; closing it without one changes nothing.
    void PickProgramDirectory(const String& Title, TKVEdit* Edit, String& Setting);
    // Stores Typed as the data directory when it exists and can hold clients; says
    // why not otherwise. The edit shows the data directory in effect afterwards.
    void ChangeDataDirectory(const String& Typed);
};

// Shows the configuration form modally; the main menu shows the current client
// afterwards, which a restore may have changed.
void ShowConfiguration();
