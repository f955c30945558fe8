#pragma once
// The tool bar along the top of a form, with optional Print, Preview and Notes buttons.

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/panels.h"

class TKVToolBar : public TPanel {
public:
    explicit TKVToolBar(TComponent* AOwner);

    String ClassName() const override { return "TKVToolBar"; }
    bool InheritsFrom(const String& name) const override;

    // Shows the Print and Preview buttons.
    bool PrintEnabled() const { return FPrintEnabled; }
    void SetPrintEnabled(bool Value);
    // 0: no Notes button; 1: the button for a field without notes; any other: with notes.
    int NotesStatus() const { return FNotesStatus; }
    void SetNotesStatus(int Value);

    TBitBtn* PrintButton() const { return FPrintButton; }
    TBitBtn* PreviewButton() const { return FPreviewButton; }
    TBitBtn* NotesButton() const { return FNotesButton; }

    // Fired with the tool bar as Sender.
    TNotifyEvent OnPrint;
    TNotifyEvent OnPreview;

    void OnPrintClick(TObject* Sender);
    void OnPreviewClick(TObject* Sender);
    // Acts as F4 pressed on the form, which opens the notes.
    void OnNotesClick(TObject* Sender);

private:
    TBitBtn* MakeButton(const String& Caption, int Left, const String& Glyph);
    static void LoadGlyph(TBitBtn* Button, const String& Name);
    void SetButtonPositions();

    bool FPrintEnabled = false;
    int FNotesStatus = 0;
    TBitBtn* FPrintButton;
    TBitBtn* FPreviewButton;
    TBitBtn* FNotesButton;
};
