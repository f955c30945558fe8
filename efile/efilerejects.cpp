#include "efile/efilerejects.h"

#include "app/mainform.h"
#include "app/totstart.h"
#include "controls/kvrows.h"
#include "platform/vcl/forms/application.h"

std::function<void(TStrings* List)> EFileRejectsListing;

TFEFileRejects::TFEFileRejects(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FEFileRejects");
    SetCaption("EFile Missing Items");
    SetBounds(192, 107, 549, 480);
    SetPosition(poScreenCenter);
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(8);

    ListBox1 = NewChild<TListBox>(this, this, "ListBox1");
    ListBox1->SetBounds(32, 40, 481, 361);
    BitBtn1 = NewChild<TBitBtn>(this, this, "BitBtn1");
    BitBtn1->SetBounds(218, 408, 97, 25);
    BitBtn1->SetKind(bkClose);
    Panel1 = NewChild<TPanel>(this, this, "Panel1");
    Panel1->SetBounds(0, 0, 513, 41);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetCaption("");
    BitBtn2 = NewChild<TBitBtn>(this, Panel1, "BitBtn2");
    BitBtn2->SetBounds(8, 5, 131, 25);
    BitBtn2->SetCaption("&Print");
    BitBtn2->OnClick = [this](TObject* S) { BitBtn2Click(S); };
    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");

    OnShow = [this](TObject* S) { FormShow(S); };
}

void TFEFileRejects::FormShow(TObject*)
{
    if (Items) {
        for (int i = 0; i < Items->Count(); ++i)
            ListBox1->Items()->Add(Items->Get(i));
    }
    SetActiveControl(BitBtn1);
}

void TFEFileRejects::BitBtn2Click(TObject*)
{
    if (!EFileRejectsListing) {
        ShowMessage(NotAvailableMessage);
        return;
    }
    if (!FMain->Preview && !PrintDialog1->Execute())
        return;
    EFileRejectsListing(Items);
}

void ShowEFileRejects(TStrings& Items)
{
    const auto form = OneUseForm<TFEFileRejects>();
    form->Items = &Items;
    form->ShowModal();
}
