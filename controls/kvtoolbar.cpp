#include "controls/kvtoolbar.h"

#include "controls/kvglyphs.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/forms.h"

TKVToolBar::TKVToolBar(TComponent* AOwner) : TPanel(AOwner)
{
    SetCaption("");
    SetHeight(30);
    SetAlign(alTop);
    FPrintButton = MakeButton("&Print", 4, "kvprintbmp");
    FPrintButton->OnClick = [this](TObject* Sender) { OnPrintClick(Sender); };
    FPreviewButton = MakeButton("Pre&view", 81, "kvpreviewbmp");
    FPreviewButton->OnClick = [this](TObject* Sender) { OnPreviewClick(Sender); };
    FNotesButton = MakeButton("[F4]-Notes", 81, "kvnotes");
    FNotesButton->OnClick = [this](TObject* Sender) { OnNotesClick(Sender); };
    FNotesButton->SetParent(this);
    SetPrintEnabled(false);
    SetNotesStatus(0);
}

bool TKVToolBar::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVToolBar") || TPanel::InheritsFrom(name);
}

TBitBtn* TKVToolBar::MakeButton(const String& Caption, int Left, const String& Glyph)
{
    auto* button = new TBitBtn(this);
    button->SetBounds(Left, 3, 75, 25);
    button->SetKind(bkCustom);
    button->SetCaption(Caption);
    button->SetNumGlyphs(2);
    LoadGlyph(button, Glyph);
    return button;
}

void TKVToolBar::LoadGlyph(TBitBtn* Button, const String& Name)
{
    TBitmap glyph;
    LoadProgramBitmap(glyph, Name);
    Button->SetGlyph(&glyph);
}

void TKVToolBar::SetPrintEnabled(bool Value)
{
    FPrintButton->SetParent(Value ? this : nullptr);
    FPreviewButton->SetParent(Value ? this : nullptr);
    FPrintEnabled = Value;
    SetButtonPositions();
}

void TKVToolBar::SetNotesStatus(int Value)
{
    FNotesStatus = Value;
    SetButtonPositions();
}

void TKVToolBar::SetButtonPositions()
{
    int x = 4;
    if (FPrintEnabled) {
        FPrintButton->SetLeft(4);
        FPreviewButton->SetLeft(81);
        x = 158;
    }
    if (FNotesStatus == 0) {
        FNotesButton->SetParent(nullptr);
        return;
    }
    FNotesButton->SetLeft(x);
    FNotesButton->SetParent(this);
    LoadGlyph(FNotesButton, FNotesStatus == 1 ? "kvnotes" : "kvnotesfull");
}

void TKVToolBar::OnPrintClick(TObject*)
{
    if (OnPrint)
        OnPrint(this);
}

void TKVToolBar::OnPreviewClick(TObject*)
{
    if (OnPreview)
        OnPreview(this);
}

void TKVToolBar::OnNotesClick(TObject*)
{
    TCustomForm* form = ParentForm();
    if (!form)
        return;
    // The key goes where a key-down from the keyboard would: the form first when it
    // previews keys, then its focused control.
    constexpr Word VK_F4 = VK_F1 + 3;
    Word key = VK_F4;
    if (form->KeyPreview())
        form->KeyDown(key, TShiftState());
    if (key != 0 && form->ActiveControl())
        form->ActiveControl()->KeyDown(key, TShiftState());
}
