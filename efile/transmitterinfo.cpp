#include "efile/transmitterinfo.h"

#include "app/clientdatabase.h"
#include "controls/kvrows.h"
#include "efile/transmitterdata.h"
#include "platform/vcl/forms/application.h"

TFTransmitterInfo::TFTransmitterInfo(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FTransmitterInfo");
    SetCaption("Electronic Filing Transmitter Information");
    SetPosition(poScreenCenter);

    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");
    ScrollBox1 = NewChild<TScrollBox>(this, this, "ScrollBox1");
    ScrollBox1->SetAlign(alClient);
    ScrollBox1->SetColor(clWhite);
    KVCommander1->SetScrollBox(ScrollBox1);

    auto header = [this](const String& Name, const String& Title, int Top) {
        auto* h = PlaceControl<TKVHeader>(this, ScrollBox1, Name, 16, Top, 730);
        h->SetTitle(Title);
        return h;
    };
    auto edit = [this](const String& LabelName, const String& Caption, const String& Name, int Top,
                       int Width) {
        return PlaceRow<TKVEdit>(this, ScrollBox1, LabelName, Caption, Name, Top, Width);
    };
    auto box = [this](const String& LabelName, const String& Caption, const String& Name,
                      const String& BoxCaption, int Top, void (TFTransmitterInfo::*Handler)(TObject*)) {
        auto* b = PlaceRow<TKVCheckBox>(this, ScrollBox1, LabelName, Caption, Name, Top, 130);
        b->SetCaption(BoxCaption);
        b->OnClick = [this, Handler](TObject* S) { (this->*Handler)(S); };
        return b;
    };
    KVHeader1 = header("KVHeader1", "Transmitter's Information", 8);
    KVEdit1 = edit("KVLabel1", "Tranmitter TIN", "KVEdit1", 36, 120);
    KVEdit2 = edit("KVLabel2", "Tranmitter control code", "KVEdit2", 64, 60);
    KVEdit2->SetMaxLength(5);
    KVCheckBox1 = box("KVLabel3", "Foreign Entity Indicator", "KVCheckBox1", "Foreign", 92,
                      &TFTransmitterInfo::KVCheckBox1Click);
    KVEdit3 = edit("KVLabel4", "Tranmitter name", "KVEdit3", 120, 360);
    KVEdit3->SetCharCase(ecUpperCase);
    KVEdit4 = edit("KVLabel5", "Electronic file name for a replacement file", "KVEdit4", 148, 90);
    KVEdit4->SetMaxLength(8);
    KVCheckBox2 = box("KVLabel6", "Resubmission", "KVCheckBox2", "Resubmit", 176,
                      &TFTransmitterInfo::KVCheckBox2Click);
    KVCheckBox3 = box("KVLabel7", "Last filing indicator", "KVCheckBox3", "Last Filing?", 204,
                      &TFTransmitterInfo::KVCheckBox3Click);
    KVCheckBox4 = box("KVLabel8", "Correction file indicator", "KVCheckBox4", "Correction File?", 232,
                      &TFTransmitterInfo::KVCheckBox4Click);
    KVHeader2 = header("KVHeader2", "Contact Information Information", 268);
    KVEdit5 = edit("KVLabel9", "Contact Name", "KVEdit5", 296, 360);
    KVEdit6 = edit("KVLabel10", "Contact phone number and extension", "KVEdit6", 324, 200);
    KVEdit7 = edit("KVLabel11", "Contact Email address", "KVEdit7", 352, 360);
    for (TKVEdit* e : {KVEdit5, KVEdit6, KVEdit7})
        e->SetCharCase(ecUpperCase);
    KVCheckBox5 = box("KVLabel12", "Is this a 1099 INT filing?", "KVCheckBox5", "1099-INT?", 380,
                      &TFTransmitterInfo::KVCheckBox5Click);

    OnShow = [this](TObject* S) { FormShow(S); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
}

void TFTransmitterInfo::FormShow(TObject*)
{
    // The scrolled area takes in every row now that the form has its size.
    ScrollBox1->Realign();
    ReadTransmitterData();
    TDClientDataBase& d = *DClientDataBase;
    KVEdit1->Bind(&d.TransmitterTIN);
    KVEdit2->Bind(&d.ControlCode);
    ShowFlag(KVCheckBox1, d.ForeignEntity);
    KVEdit3->Bind(&d.TransmitterName);
    KVEdit4->Bind(&d.ReplacementFileName);
    ShowFlag(KVCheckBox2, d.Resubmission);
    ShowFlag(KVCheckBox3, d.LastFiling);
    ShowFlag(KVCheckBox4, d.CorrectionFile);
    KVEdit5->Bind(&d.ContactName);
    KVEdit6->Bind(&d.ContactPhone);
    KVEdit7->Bind(&d.ContactEmail);
    KVCheckBox5->SetChecked(d.Interest1099 == "Y");
}

void TFTransmitterInfo::FormClose(TObject*, TCloseAction&)
{
    // The field being typed in is left first, so its text is saved too.
    SetActiveControl(KVCommander1->MouseFreeEdit());
    WriteTransmitterData();
}

void TFTransmitterInfo::ShowFlag(TKVCheckBox* Box, const String& Field)
{
    const bool yes = Field == "Y";
    Box->SetChecked(yes);
    Box->SetCaption(yes ? "Yes" : "No");
}

void TFTransmitterInfo::SetFlag(TKVCheckBox* Box, String& Field)
{
    Field = Box->Checked() ? "Y" : "N";
    Box->SetCaption(Box->Checked() ? "Yes" : "No");
}

void TFTransmitterInfo::KVCheckBox1Click(TObject*) { SetFlag(KVCheckBox1, DClientDataBase->ForeignEntity); }
void TFTransmitterInfo::KVCheckBox2Click(TObject*) { SetFlag(KVCheckBox2, DClientDataBase->Resubmission); }
void TFTransmitterInfo::KVCheckBox3Click(TObject*) { SetFlag(KVCheckBox3, DClientDataBase->LastFiling); }
void TFTransmitterInfo::KVCheckBox4Click(TObject*) { SetFlag(KVCheckBox4, DClientDataBase->CorrectionFile); }
void TFTransmitterInfo::KVCheckBox5Click(TObject*) { SetFlag(KVCheckBox5, DClientDataBase->Interest1099); }

void ShowTransmitterInfo() { OneUseForm<TFTransmitterInfo>()->ShowModal(); }
