#include "datacontrols/common/wwintl.h"

#include "datacontrols/common/dwwindows.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

TdwIntl* GGlobalIntl = nullptr;

// Frees the global instance at exit when it is still there.
struct TGlobalIntlKeeper {
    ~TGlobalIntlKeeper()
    {
        if (GGlobalIntl)
            GGlobalIntl->Free();
    }
} GGlobalIntlKeeper;

// The global instance's layout file from a form instance's name.
String GlobalIniFileName(const String& Name)
{
    // The form's name always gets ".ini", even one that ends in it already.
    if (Name.empty() || Name == ".ini")
        return String();
    return Name + ".ini";
}

}  // namespace

TdwIntl::TdwIntl(TComponent* AOwner) : TComponent(AOwner) { }

TdwIntl::~TdwIntl()
{
    if (GGlobalIntl == this)
        GGlobalIntl = nullptr;
}

bool TdwIntl::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwIntl") || TComponent::InheritsFrom(name);
}

void TdwIntl::SetCheckBoxInGridStyle(TdwCheckBoxInGridStyle Value)
{
    FValues.CheckBoxInGridStyle = Value;
    if (FConnected && this != GGlobalIntl)
        dwIntl()->SetCheckBoxInGridStyle(Value);
}

void TdwIntl::SetConnected(bool Value)
{
    FConnected = Value;
    if (Value)
        CopyToGlobal();
}

void TdwIntl::Loaded()
{
    TComponent::Loaded();
    if (FConnected)
        CopyToGlobal();
}

void TdwIntl::CopyToGlobal()
{
    TdwIntl* global = dwIntl();
    if (global == this)
        return;
    global->FValues = FValues;
    global->FValues.IniFileName = GlobalIniFileName(FValues.IniFileName);
    global->OnValidationErrorUsingMask = OnValidationErrorUsingMask;
}

void TdwIntl::DoValidationErrorUsingMask(TObject* Sender, TField* Field)
{
    String msg = "Invalid input value.  Use escape key to abandon changes";
    bool doDefault = true;
    if (OnValidationErrorUsingMask)
        OnValidationErrorUsingMask(Sender, Field, msg, doDefault);
    if (doDefault) {
        MessageBeep();
        throw EInvalidOperation(msg);
    }
}

TdwIntl* dwIntl()
{
    if (!GGlobalIntl)
        GGlobalIntl = new TdwIntl(nullptr);
    return GGlobalIntl;
}

int dwGetFilterMemoSize() { return dwIntl()->FilterMemoSize(); }

TButton* dwCreateDialogButton(TWinControl* Owner, TdwDialogButtonKind Kind)
{
    TdwIntl* intl = dwIntl();
    TButton* button;
    int height = 24;
    if (intl->OKCancelBitmapped()) {
        auto* bitButton = new TBitBtn(Owner);
        static const TBitBtnKind kinds[] = {bkOK, bkCancel, bkHelp};
        bitButton->SetKind(kinds[Kind]);
        bitButton->SetLayout(blGlyphLeft);
        bitButton->SetNumGlyphs(2);
        bitButton->Font()->SetColor(clBtnText);
        bitButton->Font()->SetHeight(-11);
        bitButton->Font()->SetName("MS Sans Serif");
        bitButton->Font()->SetStyle(intl->DialogFontStyle());
        button = bitButton;
        height = 27;
    } else {
        button = new TButton(Owner);
    }
    button->SetParent(Owner);
    button->Hide();
    button->SetWidth(dwScaleByPixelsPerInch(77));
    button->SetHeight(dwScaleByPixelsPerInch(height));
    switch (Kind) {
    case dbkOK:
        button->SetCaption(intl->BtnOKCaption());
        button->SetModalResult(mrOk);
        break;
    case dbkCancel:
        button->SetCaption(intl->BtnCancelCaption());
        button->SetModalResult(mrCancel);
        button->SetCancel(true);
        break;
    case dbkHelp: button->SetCaption("Help"); break;
    }
    return button;
}
