#include "maintenance/clientbasic.h"

#include "app/clientdatabase.h"
#include "controls/kvrows.h"
#include "maintenance/clientimport.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"

namespace {

// The lines of the scroll box: the first one's top and the distance between them.
constexpr int FirstLineTop = 30;
constexpr int LineHeight = 34;
constexpr int EditLeft = 250;

}  // namespace

TFClientBasic::TFClientBasic(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FClientBasic");
    SetCaption("Client Information");
    SetPosition(poScreenCenter);
    SetWidth(775);
    SetHeight(500);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    BitBtn1 = PlaceControl<TBitBtn>(this, KVToolBar1, "BitBtn1", 4, 2, 110, 24);
    BitBtn1->SetCaption("Import Client");
    BitBtn1->SetHint("Import client basic information from other programs (GL,KPX,Payroll)");
    BitBtn1->SetShowHint(true);
    BitBtn1->SetTabStop(false);

    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    Panel1 = NewChild<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alLeft);
    Panel1->SetWidth(96);
    Panel1->SetColor(clNavy);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetCaption("");

    ScrollBox1 = NewScrollPage(this, KVCommander1);

    KVHeader1 = PlaceControl<TKVHeader>(this, ScrollBox1, "KVHeader1", 8, 4, 640, 21);
    KVHeader1->SetPart("Basic");
    KVHeader1->SetTitle("Employer/Client Basic Information");
    KVHeader1->SetColor(clNavy);

    KVDBEdit1 = Line(0, KVLabel1, "Name 1", "KVDBEdit1", "NAME1", 300);
    KVDBEdit2 = Line(1, KVLabel2, "Name 2", "KVDBEdit2", "NAME2", 300);
    KVDBEdit3 = Line(2, KVLabel3, "Address Line 1", "KVDBEdit3", "ADDRESS1", 300);
    KVDBEdit4 = Line(3, KVLabel4, "Address Line 2", "KVDBEdit4", "ADDRESS2", 300);
    KVDBEdit5 = Line(4, KVLabel5, "City", "KVDBEdit5", "CITY", 170);
    const int cityTop = FirstLineTop + 4 * LineHeight;
    Label1 = PlaceControl<TLabel>(this, ScrollBox1, "Label1", 430, cityTop + 8, 30, 13);
    Label1->SetCaption("State");
    KVDBEdit6 = Edit("KVDBEdit6", "STATE", 464, cityTop + 4, 30);
    KVDBEdit6->SetCharCase(ecUpperCase);
    KVDBEdit6->SetMaxLength(2);
    Label2 = PlaceControl<TLabel>(this, ScrollBox1, "Label2", 506, cityTop + 8, 20, 13);
    Label2->SetCaption("Zip");
    KVDBEdit7 = Edit("KVDBEdit7", "ZIP", 530, cityTop + 4, 90);
    KVDBEdit7->SetCharCase(ecUpperCase);
    KVDBEdit7->SetMaxLength(10);
    KVLabel5->SetLastControl(KVDBEdit7);
    KVDBEdit8 = Line(5, KVLabel6, "Telephone Number", "KVDBEdit8", "TELEPHONE", 130);
    KVDBEdit10 = Line(6, KVLabel7, "Federal Tax ID Number", "KVDBEdit10", "TAX_ID", 100);
    KVDBEdit12 = Line(7, KVLabel8, "Social Security Number", "KVDBEdit12", "SSN", 100);
    KVDBEdit9 = Line(8, KVLabel9, "Comments", "KVDBEdit9", "COMMENTS", 370);
    KVDBEdit11 = Line(9, KVLabel10, "Default Transaction Description", "KVDBEdit11", "DEF_DESCR", 300);

    tblTemp = new TDaroruTable(this);
    tblTemp->SetName("tblTemp");
    tblTempOtherProg = new TDaroruTable(this);
    tblTempOtherProg->SetName("tblTempOtherProg");
    dwLookupDialog1 = new TdwLookupDialog(this);
    dwLookupDialog1->SetName("dwLookupDialog1");
    dwLookupDialog1->SetLookupTable(tblTemp);
    dwLookupDialog1->SetCaption("Lookup");
    dwLookupDialog1->SetGridColor(clWhite);
    dwLookupDialog1->SetGridOptions(TdwDBGridOptions {dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                      dgRowLines, dgTabs, dgRowSelect,
                                                      dgAlwaysShowSelection});
    dwLookupDialog1->SetMaxHeight(209);

    KVDBEdit1->OnExit = [this](TObject* S) { KVDBEdit1Exit(S); };
    KVDBEdit8->OnExit = [this](TObject* S) { KVDBEdit8Exit(S); };
    KVDBEdit10->OnExit = [this](TObject* S) { KVDBEdit10Exit(S); };
    KVDBEdit12->OnExit = [this](TObject* S) { KVDBEdit12Exit(S); };
    BitBtn1->OnClick = [this](TObject* S) { ImportClientBasic(S); };
}

TKVDBEdit* TFClientBasic::Edit(const String& Name, const String& Field, int Left, int Top, int Width)
{
    auto* edit = new TKVDBEdit(this);
    edit->SetName(Name);
    edit->SetParent(ScrollBox1);
    edit->SetBounds(Left, Top, Width, 21);
    edit->SetDataSource(DClientDataBase->dsClient);
    edit->SetDataField(Field);
    return edit;
}

TKVDBEdit* TFClientBasic::Line(int Row, TKVLabel*& Label, const String& Caption, const String& EditName,
                               const String& Field, int EditWidth)
{
    const int top = FirstLineTop + Row * LineHeight;
    auto* bevel = new TKVBevel(this);
    bevel->SetParent(ScrollBox1);
    bevel->SetBounds(8, top, 640, 29);
    Label = new TKVLabel(this);
    Label->SetName("KVLabel" + IntToStr(Row + 1));
    Label->SetParent(ScrollBox1);
    Label->SetBounds(20, top + 8, 220, 13);
    Label->Font()->SetStyle(TFontStyles {fsBold});
    Label->SetCaption(Caption);
    TKVDBEdit* edit = Edit(EditName, Field, EditLeft, top + 4, EditWidth);
    Label->SetFirstControl(edit);
    return edit;
}

TField* TFClientBasic::ClientField(const char* Name) const
{
    return DClientDataBase->tblClient->FieldByName(Name);
}

void TFClientBasic::Reformat(const char* Field, String (*Format)(const String&))
{
    TField* field = ClientField(Field);
    field->SetAsString(Format(field->AsString()));
}

void TFClientBasic::Activate()
{
    TKVMouseFreeForm::Activate();
    FormPaint(this);
}

void TFClientBasic::FormPaint(TObject*)
{
    if (NewClient && KVDBEdit1->CanFocus())
        SetActiveControl(KVDBEdit1);
}

void TFClientBasic::KVDBEdit1Exit(TObject*)
{
    if (!NewClient)
        return;
    TField* description = ClientField("DEF_DESCR");
    if (IsEmptyText(description->AsString()))
        description->SetAsString("COMPENSATION " + ClientField("NAME1")->AsString());
}

void TFClientBasic::KVDBEdit8Exit(TObject*) { Reformat("TELEPHONE", FormatPhone); }

void TFClientBasic::KVDBEdit10Exit(TObject*)
{
    Reformat("TAX_ID", FormatEIN);
    if (!NewClient)
        return;
    NewClient = false;
    SetActiveControl(KVCommander1->MouseFreeEdit());
}

void TFClientBasic::KVDBEdit12Exit(TObject*) { Reformat("SSN", FormatSSN); }

void TFClientBasic::ImportClientBasic(TObject*)
{
    ::ImportClientBasic(tblTemp, tblTempOtherProg, [this] { return dwLookupDialog1->Execute(); });
}

void ShowClientBasic(bool NewClient)
{
    const auto form = OneUseForm<TFClientBasic>();
    form->NewClient = NewClient;
    form->ShowModal();
}
