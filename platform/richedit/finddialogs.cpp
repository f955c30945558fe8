#include "platform/richedit/finddialogs.h"

#include "platform/classes/object.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/checkboxes.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/forms/forms.h"

namespace {

template<class C> C* Place(TForm* Form, int Left, int Top, int Width, int Height)
{
    auto* control = new C(Form);
    control->SetParent(Form);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TButton* Button(TForm* Form, const char* Caption, int Top, const std::function<void()>& Action)
{
    auto* button = Place<TButton>(Form, 280, Top, 90, 25);
    button->SetCaption(Caption);
    button->OnClick = [Action](TObject*) { Action(); };
    return button;
}

}  // namespace

TFindDialog::TFindDialog(TComponent* AOwner) : TFindDialog(AOwner, false) { }

TFindDialog::TFindDialog(TComponent* AOwner, bool Replacing)
    : TComponent(AOwner), FForm(Construct<TForm>(nullptr))
{
    FForm->SetCaption(Replacing ? "Replace" : "Find");
    FForm->SetBorderStyle(bsDialog);
    FForm->SetBounds(0, 0, 380, Replacing ? 150 : 110);
    auto* label = Place<TLabel>(FForm, 8, 12, 80, 17);
    label->SetCaption("Fi&nd what:");
    FFindEdit = Place<TEdit>(FForm, 90, 8, 180, 21);
    FMatchCase = Place<TCheckBox>(FForm, 8, Replacing ? 92 : 60, 120, 17);
    FMatchCase->SetCaption("Match &case");
    FWholeWord = Place<TCheckBox>(FForm, 8, Replacing ? 72 : 40, 160, 17);
    FWholeWord->SetCaption("Match &whole word only");
    TButton* findNext = Button(FForm, "&Find Next", 8, [this] {
        if (OnFind)
            OnFind(this);
    });
    findNext->SetDefault(true);
    Button(FForm, "Cancel", Replacing ? 104 : 40, [this] { CloseDialog(); })->SetCancel(true);
    FForm->OnClose = [this](TObject*, TCloseAction& Action) {
        Action = caHide;
        if (OnClose)
            OnClose(this);
    };
}

TFindDialog::~TFindDialog()
{
    FForm->OnClose = nullptr;
    FForm->Free();
}

String TFindDialog::FindText() const { return FFindEdit->Text(); }
void TFindDialog::SetFindText(const String& Value) { FFindEdit->SetText(Value); }

TFindOptions TFindDialog::Options() const
{
    TFindOptions options = FReplaceFlags;
    if (FMatchCase->Checked())
        options.Include(frMatchCase);
    if (FWholeWord->Checked())
        options.Include(frWholeWord);
    return options;
}

void TFindDialog::SetOptions(TFindOptions Value)
{
    FMatchCase->SetChecked(Value.Contains(frMatchCase));
    FWholeWord->SetChecked(Value.Contains(frWholeWord));
    FReplaceFlags = Value * TFindOptions {frReplace, frReplaceAll};
}

void TFindDialog::Execute()
{
    FForm->Show();
    FFindEdit->SetFocus();
}

void TFindDialog::CloseDialog()
{
    if (FForm->Visible())
        FForm->Close();
}

bool TFindDialog::Showing() const { return FForm->Visible(); }

TReplaceDialog::TReplaceDialog(TComponent* AOwner) : TFindDialog(AOwner, true)
{
    auto* label = Place<TLabel>(FForm, 8, 40, 80, 17);
    label->SetCaption("Re&place with:");
    FReplaceEdit = Place<TEdit>(FForm, 90, 36, 180, 21);
    const auto replace = [this](TFindOption Which) {
        FReplaceFlags = TFindOptions {Which};
        if (OnReplace)
            OnReplace(this);
        FReplaceFlags = TFindOptions {};
    };
    Button(FForm, "&Replace", 40, [replace] { replace(frReplace); });
    Button(FForm, "Replace &All", 72, [replace] { replace(frReplaceAll); });
}

String TReplaceDialog::ReplaceText() const { return FReplaceEdit->Text(); }
void TReplaceDialog::SetReplaceText(const String& Value) { FReplaceEdit->SetText(Value); }
