#pragma once
// "Report Print Selection": the one entry to the current client's printing and
// electronic filing. It brings every recipient's totals up to date when it opens,
// keeps the user's choice of 1099 copies and the preview switch, and runs the list
// reports, the 1099 copies for one recipient or for all (collated or copy by
// copy), Form 1096 and the electronic file. It prints nothing itself: the form
// routines do, each from its own table.
//
// While a run goes the form takes no input, and a preview run opens the page
// viewer once, over all the run's pages, when the run ends.

#include <functional>

#include "controls/kvbutton.h"
#include "controls/kvcheckbox.h"
#include "controls/kvcommander.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvlabel.h"
#include "controls/kvtoolbar.h"
#include "datacontrols/lookup/dwidlg.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/dialogs/dialogs.h"

// One sheet from the print-work table, which stands on its first recipient;
// OnlyCurrent: the table holds the one recipient chosen.
using TSheetRoutine = std::function<void(const String& RecipientID, bool OnlyCurrent)>;
// One page (or listing) for the current recipient of the client's recipients.
using TPageRoutine = std::function<void(const String& RecipientID)>;

// What the form runs: the program's own routines, which a test may replace.
struct TPrintRoutines {
    TPageRoutine PrintEmployeeTransactions;
    std::function<void()> PrintEmployeeTotals;
    TSheetRoutine PrintRedCopyMisc;
    TSheetRoutine PrintRedCopyInt;
    TSheetRoutine PrintCopyCMisc;
    TSheetRoutine PrintCopyCInt;
    TPageRoutine PrintCopyB;
    TPageRoutine PrintCopy1;
    TPageRoutine PrintCopy2;
    std::function<void()> Print1096Red;
    std::function<void()> Print1096File;
    std::function<void()> ShowTransmitterInfo;
    std::function<void()> ShowContact1096;
    // The transmitter form, then the electronic file however the form was closed.
    std::function<void()> ElectronicallyFile;
};
extern TPrintRoutines PrintRoutines;

class TFPrint : public TKVMouseFreeForm {
public:
    explicit TFPrint(TComponent* AOwner);
    String ClassName() const override { return "TFPrint"; }

    TKVToolBar* KVToolBar1;
    TBitBtn* BitBtn1;  // Transmitter Info
    TKVLabel* KVLabel13;
    TKVCheckBox* KVCheckBox6;  // Preview
    TKVCommander* KVCommander1;
    TScrollBox* ScrollBox1;
    TKVHeader* KVHeader1;  // "Reports Selection"
    TKVLabel* KVLabel1;
    TKVButton* KVButton1;  // Employee Trans.
    TKVLabel* KVLabel2;
    TKVButton* KVButton2;  // Employee Totals
    TKVLabel* KVLabel3;
    TKVButton* KVButton3;  // Selected Employee
    TKVLabel* KVLabel4;
    TKVButton* KVButton4;  // All Employees
    TKVLabel* KVLabel5;
    TKVButton* KVButton5;  // Electronically File
    TKVLabel* KVLabel6;
    TKVButton* KVButton6;  // Print 1096 (Red)
    TKVLabel* KVLabel7;
    TKVButton* KVButton7;  // Print 1096 (File)
    TGroupBox* GroupBox1;  // "Selection of 1099's to Print"
    TKVLabel* KVLabel8;
    TKVCheckBox* KVCheckBox1;  // Federal Copy
    TKVLabel* KVLabel9;
    TKVCheckBox* KVCheckBox2;  // Copy C
    TKVLabel* KVLabel10;
    TKVCheckBox* KVCheckBox3;  // Copy B
    TKVLabel* KVLabel11;
    TKVCheckBox* KVCheckBox4;  // Copy 1
    TKVLabel* KVLabel12;
    TKVCheckBox* KVCheckBox5;  // Copy 2
    TPrintDialog* PrintDialog1;
    TdwLookupDialog* dwLookupDialog1;

    // Set once the 1096 contact form has been shown while this form is open.
    bool ContactShown = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void KVButton1Click(TObject* Sender);
    void KVButton2Click(TObject* Sender);
    void KVButton3Click(TObject* Sender);
    void KVButton4Click(TObject* Sender);
    void KVButton5Click(TObject* Sender);
    void KVButton6Click(TObject* Sender);
    void KVButton7Click(TObject* Sender);
    void BitBtn1Click(TObject* Sender);

private:
    int FRows = 0;  // rows made so far, which name their labels

    // A numbered caption at Top of Parent with its control at the right.
    template<class T>
    T* Row(TWinControl* Parent, TKVLabel*& Label, const String& Caption, const String& Name, int Top);
    TKVButton* ButtonRow(TKVLabel*& Label, const String& Caption, const String& Name,
                         const String& ButtonCaption, int Top, void (TFPrint::*Handler)(TObject*));

    // Puts the client's recipients in ID order and lets the user pick one; false
    // when the lookup was cancelled.
    bool ChooseRecipient();
    // The print dialog, unless previewing; false when the user cancelled it.
    bool ListingPrologue();
    // The listing prologue, then the copies and the printer the run prints with.
    bool FormPrologue();
    // Routine's Form 1096, after the contact form when AlwaysAskContact or when the
    // form has not shown it yet.
    void Print1096(bool AlwaysAskContact, const std::function<void()>& Routine);
};

// Shows the print selection form modally for the current client.
void ShowPrint();
