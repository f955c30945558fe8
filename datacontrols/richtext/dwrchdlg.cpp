#include "datacontrols/richtext/dwrchdlg.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "datacontrols/common/wwintl.h"
#include "datacontrols/richtext/dwriched.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/panels.h"

namespace {

// The largest measure the dialogs take: 22 inches.
constexpr int MaxTwips = 31680;

template<class C> C* Place(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new C(Parent);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TEdit* LabelledEdit(TWinControl* Parent, const String& Caption, int Left, int Top)
{
    auto* label = Place<TLabel>(Parent, Left, Top + 3, 80, 17);
    label->SetCaption(Caption);
    auto* edit = Place<TEdit>(Parent, Left + 82, Top, 70, 21);
    label->SetFocusControl(edit);
    return edit;
}

TButton* DialogButton(TForm* Form, const String& Caption, int Left, int Top, TModalResult Result)
{
    auto* button = Place<TButton>(Form, Left, Top, 75, 25);
    button->SetCaption(Caption);
    button->SetModalResult(Result);
    return button;
}

// The dialog's hints show only when the rich edit's editor options ask for hints.
void ShowHints(TdwCustomRichEdit* RichEdit, std::initializer_list<std::pair<TControl*, const String*>> Hints)
{
    if (!RichEdit->EditorOptions().Contains(reoShowHints))
        return;
    for (const auto& [control, hint] : Hints) {
        control->SetHint(*hint);
        control->SetShowHint(true);
    }
}

// Twips of a typed measure; false when it is no number or lies beyond Low..High.
bool MeasureTwips(const String& Text, TdwMeasurementUnits Units, int Low, int High, int& Twips)
{
    try {
        Twips = UnitTextToTwips(Text, Units);
    } catch (const EConvertError&) {
        return false;
    }
    return Twips >= Low && Twips <= High;
}

}  // namespace

// ---- paragraph dialog

TdwRichParagraphDialog::TdwRichParagraphDialog(TComponent* AOwner, TdwCustomRichEdit* RichEdit)
    : TForm(AOwner), FRichEdit(RichEdit)
{
    const TdwRichEditParagraphDlg& texts = dwIntl()->RichEdit().ParagraphDialog;
    SetCaption(texts.ParagraphDlgCaption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(360);
    SetClientHeight(230);

    auto* indents = Place<TGroupBox>(this, 8, 8, 180, 110);
    indents->SetCaption(texts.IndentationGroupBoxCaption);
    LeftEdit = LabelledEdit(indents, texts.LeftEditCaption, 8, 20);
    RightEdit = LabelledEdit(indents, texts.RightEditCaption, 8, 48);
    FirstLineEdit = LabelledEdit(indents, texts.FirstLineEditCaption, 8, 76);

    auto* alignment = Place<TLabel>(this, 200, 12, 150, 17);
    alignment->SetCaption(texts.AlignmentCaption);
    AlignmentCombo = Place<TComboBox>(this, 200, 30, 150, 21);
    AlignmentCombo->SetStyle(csDropDownList);
    AlignmentCombo->Items()->Add(texts.AlignLeft);
    AlignmentCombo->Items()->Add(texts.AlignCenter);
    AlignmentCombo->Items()->Add(texts.AlignRight);
    alignment->SetFocusControl(AlignmentCombo);

    auto* spacing = Place<TGroupBox>(this, 8, 124, 344, 66);
    spacing->SetCaption(texts.SpacingGroupCaption);
    BeforeParagraphEdit = LabelledEdit(spacing, texts.BeforeParagraphCaption, 8, 16);
    AfterParagraphEdit = LabelledEdit(spacing, texts.AfterParagraphCaption, 8, 40);
    auto* lineSpacing = Place<TLabel>(spacing, 170, 14, 90, 17);
    lineSpacing->SetCaption(texts.WithinParagraphCaption);
    LineSpacingComboBox = Place<TComboBox>(spacing, 170, 34, 90, 21);
    lineSpacing->SetFocusControl(LineSpacingComboBox);
    LineSpacingComboBox->SetStyle(csDropDownList);
    const String rules[] = {"Single", "1.5 Lines", "Double", "At least", "Exactly", "Multiple"};
    for (const String& rule : rules)
        LineSpacingComboBox->Items()->Add(rule);
    auto* at = Place<TLabel>(spacing, 266, 14, 70, 17);
    at->SetCaption(texts.WithinParagraphAtCaption);
    WithinParagraphEdit = Place<TEdit>(spacing, 266, 34, 70, 21);
    at->SetFocusControl(WithinParagraphEdit);
    LineSpacingComboBox->OnChange = [this](TObject*) { LineSpacingChosen(); };
    WithinParagraphEdit->OnChange = [this](TObject*) {
        if (!FFilling && LineSpacingComboBox->ItemIndex() <= 2 && !WithinParagraphEdit->Text().empty())
            LineSpacingComboBox->SetItemIndex(5);
    };

    OKBtn = DialogButton(this, dwIntl()->BtnOKCaption(), 196, 198, mrOk);
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) {
        if (!Validate())
            SetModalResult(mrNone);
    };
    CancelBtn = DialogButton(this, dwIntl()->BtnCancelCaption(), 277, 198, mrCancel);
    CancelBtn->SetCancel(true);
    ShowHints(RichEdit, {{LeftEdit, &texts.LeftEditHint},
                         {RightEdit, &texts.RightEditHint},
                         {FirstLineEdit, &texts.FirstLineEditHint},
                         {AlignmentCombo, &texts.AlignmentHint}});
}

int TdwRichParagraphDialog::TwipsOf(TEdit* Edit) const
{
    const String text = Trim(Edit->Text());
    return text.empty() ? 0 : UnitTextToTwips(text, FRichEdit->MeasurementUnits());
}

void TdwRichParagraphDialog::Fill()
{
    FFilling = true;
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    const TRichParaFormat p = FRichEdit->SelParaFormat();
    LeftEdit->SetText(RoundToStep(p.StartIndent + p.Offset, units));
    FirstLineEdit->SetText(RoundToStep(-p.Offset, units));
    RightEdit->SetText(RoundToStep(p.RightIndent, units));
    BeforeParagraphEdit->SetText(FormatUnits(TwipsToUnits(p.SpaceBefore, units), units));
    AfterParagraphEdit->SetText(FormatUnits(TwipsToUnits(p.SpaceAfter, units), units));
    LineSpacingComboBox->SetItemIndex(p.LineSpacingRule);
    if (p.LineSpacingRule == 5)
        WithinParagraphEdit->SetText(FloatToStr(p.LineSpacing / 20.0));
    else if (p.LineSpacingRule == 3 || p.LineSpacingRule == 4)
        WithinParagraphEdit->SetText(FormatUnits(TwipsToUnits(p.LineSpacing, units), units));
    else
        WithinParagraphEdit->SetText(String());
    // A justified paragraph has no item: it keeps its alignment unless one is chosen.
    AlignmentCombo->SetItemIndex(p.Alignment == raLeft     ? 0
                                 : p.Alignment == raCenter ? 1
                                 : p.Alignment == raRight  ? 2
                                                           : -1);
    FFilling = false;
}

void TdwRichParagraphDialog::LineSpacingChosen()
{
    if (FFilling)
        return;
    FFilling = true;
    const int rule = LineSpacingComboBox->ItemIndex();
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    if (rule == 3 || rule == 4)
        WithinParagraphEdit->SetText(FormatUnits(TwipsToUnits(240, units), units));  // a sixth of an inch
    else if (rule == 5)
        WithinParagraphEdit->SetText("1");
    else
        WithinParagraphEdit->SetText(String());
    FFilling = false;
}

bool TdwRichParagraphDialog::Validate()
{
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    for (TEdit* edit :
         {LeftEdit, FirstLineEdit, RightEdit, BeforeParagraphEdit, AfterParagraphEdit, WithinParagraphEdit}) {
        if (edit == WithinParagraphEdit && Trim(edit->Text()).empty())
            continue;
        int twips = 0;
        if (!MeasureTwips(edit->Text(), units, -MaxTwips, MaxTwips, twips)) {
            edit->SetFocus();
            return false;
        }
    }
    return true;
}

void TdwRichParagraphDialog::Apply()
{
    const int left = TwipsOf(LeftEdit);
    // The first line starts no further left than the page's edge.
    const int firstLine = std::max(TwipsOf(FirstLineEdit), -left);
    TRichParaFormat p;
    p.StartIndent = left + firstLine;
    p.Offset = -firstLine;
    p.RightIndent = TwipsOf(RightEdit);
    p.SpaceBefore = TwipsOf(BeforeParagraphEdit);
    p.SpaceAfter = TwipsOf(AfterParagraphEdit);
    p.LineSpacingRule = std::max(0, LineSpacingComboBox->ItemIndex());
    if (p.LineSpacingRule == 5) {
        double lines = 0;
        p.LineSpacing = TryStrToFloat(Trim(WithinParagraphEdit->Text()), lines)
                                ? static_cast<int>(lines * 20 + 0.5)
                                : 20;
    } else {
        p.LineSpacing = TwipsOf(WithinParagraphEdit);
    }
    TRichParaMask parts {rpOffset, rpRightIndent, rpStartIndent, rpSpaceBefore, rpSpaceAfter, rpLineSpacing};
    const int alignment = AlignmentCombo->ItemIndex();
    if (alignment >= 0) {
        p.Alignment = alignment == 1 ? raCenter : alignment == 2 ? raRight : raLeft;
        parts.Include(rpAlignment);
    }
    FRichEdit->BeginFieldEdit();
    FRichEdit->SetSelParaFormat(p, parts);
}

// ---- tab dialog

TdwRichTabDialog::TdwRichTabDialog(TComponent* AOwner, TdwCustomRichEdit* RichEdit)
    : TForm(AOwner), FRichEdit(RichEdit)
{
    const TdwRichEditTabDlg& texts = dwIntl()->RichEdit().TabDialog;
    SetCaption(texts.TabDlgCaption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(260);
    SetClientHeight(210);
    SetKeyPreview(true);
    auto* group = Place<TGroupBox>(this, 8, 8, 160, 194);
    group->SetCaption(texts.TabGroupBoxCaption);
    Edit1 = Place<TEdit>(group, 8, 20, 144, 21);
    ListBox1 = Place<TListBox>(group, 8, 46, 144, 140);
    ListBox1->SetMultiSelect(true);
    Button1 = DialogButton(this, texts.SetTabButtonCaption, 176, 28, mrNone);
    Button1->OnClick = [this](TObject*) { SetTab(); };
    Button2 = DialogButton(this, texts.ClearTabButtonCaption, 176, 58, mrNone);
    Button2->OnClick = [this](TObject*) {
        for (int i = ListBox1->Items()->Count() - 1; i >= 0; --i)
            if (ListBox1->Selected(i))
                ListBox1->Items()->Delete(i);
    };
    Button4 = DialogButton(this, texts.ClearAllButtonCaption, 176, 88, mrNone);
    Button4->OnClick = [this](TObject*) { ListBox1->Items()->Clear(); };
    OKButton = DialogButton(this, dwIntl()->BtnOKCaption(), 176, 146, mrOk);
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TObject*) {
        if (!Trim(Edit1->Text()).empty() && !SetTab())
            SetModalResult(mrNone);
    };
    Button3 = DialogButton(this, dwIntl()->BtnCancelCaption(), 176, 177, mrCancel);
    Button3->SetCancel(true);
    // Enter in the position edit sets the tab; only an empty one closes the dialog.
    Edit1->OnEnter = [this](TObject*) { OKButton->SetDefault(false); };
    Edit1->OnExit = [this](TObject*) { OKButton->SetDefault(true); };
    ShowHints(RichEdit, {{Edit1, &texts.TabPositionEditHint},
                         {ListBox1, &texts.ListBoxHint},
                         {Button1, &texts.SetButtonHint},
                         {Button2, &texts.ClearButtonHint},
                         {Button4, &texts.ClearAllButtonHint}});
}

void TdwRichTabDialog::Fill()
{
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    ListBox1->Items()->Clear();
    for (const int tab : FRichEdit->SelParaFormat().Tabs)
        ListBox1->Items()->Add(FormatUnits(TwipsToUnits(tab, units), units));
}

bool TdwRichTabDialog::SetTab()
{
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    int twips = 0;
    if (!MeasureTwips(Edit1->Text(), units, 0, MaxTwips, twips)) {
        Edit1->SetFocus();
        return false;
    }
    const String text = FormatUnits(TwipsToUnits(twips, units), units);
    TStrings* items = ListBox1->Items();
    if (items->IndexOf(text) < 0) {
        int at = 0;
        while (at < items->Count() && UnitTextToTwips(items->Get(at), units) < twips)
            ++at;
        items->Insert(at, text);
    }
    Edit1->SetText(String());
    return true;
}

void TdwRichTabDialog::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && Shift.Empty() && Edit1->Focused()) {
        if (Trim(Edit1->Text()).empty())
            SetModalResult(mrOk);
        else
            SetTab();
        Key = 0;
        return;
    }
    TForm::KeyDown(Key, Shift);
}

void TdwRichTabDialog::Apply()
{
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    TRichParaFormat p;
    for (int i = 0; i < ListBox1->Items()->Count() && p.Tabs.size() < 32; ++i)
        p.Tabs.push_back(UnitTextToTwips(Trim(ListBox1->Items()->Get(i)), units));
    FRichEdit->BeginFieldEdit();
    FRichEdit->SetSelParaFormat(p, TRichParaMask {rpTabStops});
}
