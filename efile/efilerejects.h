#pragma once
// "EFile Missing Items": the lines of what the electronic file lacks, with Close
// and Print. Print goes through the reject listing of the list reports.

#include <functional>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/forms.h"

// The reject listing: prints the lines (or, while the main window's Preview is on,
// shows them in the report preview), one line of the report each. Set by the
// program; while it is unset Print says that the command is not available.
extern std::function<void(TStrings* List)> EFileRejectsListing;

class TFEFileRejects : public TForm {
public:
    explicit TFEFileRejects(TComponent* AOwner);
    String ClassName() const override { return "TFEFileRejects"; }

    TListBox* ListBox1;
    TBitBtn* BitBtn1;
    TPanel* Panel1;
    TBitBtn* BitBtn2;
    TPrintDialog* PrintDialog1;
    // The lines shown, handed over by the writer; not owned.
    TStrings* Items = nullptr;

    void FormShow(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
};

// Shows the lines modally.
void ShowEFileRejects(TStrings& Items);
