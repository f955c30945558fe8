#include "efile/contact1096.h"

#include "app/clientdatabase.h"
#include "controls/kvrows.h"
#include "efile/transmitterdata.h"
#include "platform/vcl/forms/application.h"

namespace {

constexpr int FormHeight = 246;

}  // namespace

TFContact1096::TFContact1096(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FContact1096");
    SetCaption("1096 Contact Information");
    SetPosition(poScreenCenter);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    KVHeader2 = PlaceControl<TKVHeader>(this, this, "KVHeader2", 16, 40, 730);
    KVHeader2->SetTitle("Contact Information Information");
    KVEdit5 = PlaceRow<TKVEdit>(this, this, "KVLabel6", "Contact Name", "KVEdit5", 68, 360, &KVLabel6);
    KVEdit6 = PlaceRow<TKVEdit>(this, this, "KVLabel7", "Contact phone number and extension", "KVEdit6", 96,
                                200, &KVLabel7);
    KVEdit7 = PlaceRow<TKVEdit>(this, this, "KVLabel8", "Contact Email address", "KVEdit7", 124, 360,
                                &KVLabel8);
    for (TKVEdit* e : {KVEdit5, KVEdit6, KVEdit7})
        e->SetCharCase(ecUpperCase);
    KVCheckBox1 = PlaceRow<TKVCheckBox>(this, this, "KVLabel1", "Is this a 1099 INT filing?", "KVCheckBox1",
                                        152, 130, &KVLabel1);
    KVCheckBox1->SetCaption("1099-INT?");

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
}

void TFContact1096::FormCreate(TObject*) { SetHeight(FormHeight); }

void TFContact1096::FormShow(TObject*)
{
    SetHeight(FormHeight);
    ReadTransmitterData();
    TDClientDataBase& d = *DClientDataBase;
    KVEdit5->Bind(&d.ContactName);
    KVEdit6->Bind(&d.ContactPhone);
    KVEdit7->Bind(&d.ContactEmail);
    Interest1099Checked = d.Interest1099 == "Y";
    KVCheckBox1->Bind(&Interest1099Checked);
}

void TFContact1096::FormClose(TObject*, TCloseAction&)
{
    // The field being typed in is left first, so its text is saved too.
    SetActiveControl(KVCommander1->MouseFreeEdit());
    DClientDataBase->Interest1099 = Interest1099Checked ? "Y" : "N";
    WriteTransmitterData();
}

void ShowContact1096() { OneUseForm<TFContact1096>()->ShowModal(); }
