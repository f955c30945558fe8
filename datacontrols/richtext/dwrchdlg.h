#pragma once
// The paragraph dialog of the rich edit: alignment, indents and spacing of the
// selection's paragraphs, in the rich edit's units.

#include "platform/vcl/forms/forms.h"

class TButton;
class TComboBox;
class TEdit;
class TdwCustomRichEdit;

class TdwRichParagraphDialog : public TForm {
public:
    TdwRichParagraphDialog(TComponent* AOwner, TdwCustomRichEdit* RichEdit);

    String ClassName() const override { return "TdwRichParagraphDialog"; }

    // Shows the selection's paragraph format.
    void Fill();
    // The fields hold numbers within 22 inches either way; the first that does not gets
    // the focus.
    bool Validate();
    // Writes the fields into the selection's paragraphs.
    void Apply();

    TComboBox* AlignmentCombo;
    TEdit* LeftEdit;
    TEdit* RightEdit;
    TEdit* FirstLineEdit;
    TEdit* BeforeParagraphEdit;
    TEdit* AfterParagraphEdit;
    TEdit* WithinParagraphEdit;
    TComboBox* LineSpacingComboBox;
    TButton* OKBtn;
    TButton* CancelBtn;

private:
    void LineSpacingChosen();
    int TwipsOf(TEdit* Edit) const;

    TdwCustomRichEdit* FRichEdit;
    bool FFilling = false;
};

// The tab dialog: the tab stops of the selection's paragraphs.
class TListBox;

class TdwRichTabDialog : public TForm {
public:
    TdwRichTabDialog(TComponent* AOwner, TdwCustomRichEdit* RichEdit);

    String ClassName() const override { return "TdwRichTabDialog"; }

    void Fill();
    // Adds the position typed in Edit1 in its place among the others (once); false, with
    // the focus in the edit, when it is no position from 0 to 22 inches.
    bool SetTab();
    void Apply();
    void KeyDown(Word& Key, TShiftState Shift) override;

    TEdit* Edit1;
    TListBox* ListBox1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button4;
    TButton* OKButton;
    TButton* Button3;

private:
    TdwCustomRichEdit* FRichEdit;
};
