#include "datacontrols/lookup/wwdbdlg.h"

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/lookup/dwlookuptable.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/forms/userinput.h"

TdwDBLookupComboDlg::TdwDBLookupComboDlg(TComponent* AOwner) : TdwDBCustomLookupCombo(AOwner)
{
    SetButtonStyle(cbsEllipsis);
}

bool TdwDBLookupComboDlg::InheritsFrom(const String& name) const
{
    return name == "TdwDBLookupComboDlg" || TdwDBCustomLookupCombo::InheritsFrom(name);
}

void TdwDBLookupComboDlg::PositionBeforeDialog(bool FromTyping)
{
    TDataSet* table = LookupTable();
    IdwLookupTable* library = dwLookupTableOf(table);
    if (Field()) {
        if (!FromTyping) {
            FGrid->SetLookupValue(Field()->AsString());
            FGrid->TakeLinkValues(DataLink()->DataSet());
            PositionLookupTable(false);
        }
    } else if (!Text().empty() && library) {
        library->SelectIndexForField(dwFirstFieldName(LookupField()));
        library->dwFindKey({Text()}, 0);
    }
    if (library && OrderByDisplay())
        library->SelectIndexForSelected(Selected());
}

void TdwDBLookupComboDlg::DropDown()
{
    if (ReadOnly())
        return;
    TDataSet* table = LookupTable();
    if (!table || !table->Active()) {
        MessageDlg("No lookup table specified!", mtWarning, {mbOK}, 0);
        FButton->SetDown(false);
        return;
    }
    if (OnDropDown)
        OnDropDown(this);
    if (Selected()->Count() == 0) {
        if (TField* key = table->FindField(dwFirstFieldName(LookupField())))
            Selected()->Add(key->FieldName() + "\t" + std::to_string(key->DisplayWidth()) + "\t" +
                            key->DisplayLabel());
        FGrid->ResolveFields(false);
    }
    const bool fromTyping = FSearchFromTyping && AutoDropDown();
    FSearchFromTyping = false;
    TdwLookupDlgSettings settings = FDialogSettings;
    settings.Selected = Selected();
    settings.UseTFields = UseTFields();
    settings.CharCase = CharCase();
    settings.InitialSearch =
            fromTyping ? (ShowMatchText() ? Text().substr(0, static_cast<size_t>(SelStart())) : Text())
                       : String();
    const int searchDelay = SearchDelay();
    const TdwOnInitDialogEvent onInit = FDialogSettings.OnInitDialog;
    settings.OnInitDialog = [searchDelay, onInit](TdwLookupDlg* Dialog) {
        Dialog->dwIncrementalSearch1->SetSearchDelay(searchDelay);
        if (onInit)
            onInit(Dialog);
    };
    PositionBeforeDialog(fromTyping);

    TDataSet* own = DataLink()->DataSet();
    const bool chosen = dwSetupLookupDlg(GuiScreen()->ActiveForm(), this, settings, table);
    // The combo's own data set waits until the value is in.
    TdwControlsDisabled quiet(own);
    if (chosen) {
        FGrid->TakeCurrentRecord();
        FGrid->SetPickedRow(0);
        if (Field()) {
            DataLink()->Edit();
            DataLink()->Modified();
            DataLink()->UpdateRecord();
        }
        SetText(FGrid->DisplayField() == FGrid->LookupFieldRef() ? FGrid->LookupValue()
                                                                 : FGrid->DisplayValue());
        SaveValuesForEscape();
    } else if (fromTyping && Style() == csDropDownList) {
        PostKey(this, VK_ESCAPE, TShiftState());
    }
    if (OnCloseUp)
        OnCloseUp(this, table, own, chosen);
    if (Style() != csDropDownList || AutoDropDown())
        SelectAll();
    FButton->SetDown(false);
    if (chosen && table->Active()) {
        table->UpdateCursorPos();
        table->Resync({});
    }
}
