#include "datacontrols/lookup/dwidlg.h"

#include <algorithm>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/edits/dwmemodlg.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "platform/classes/object.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/header.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"

namespace {

// The window metrics the layout counts with, as the classic dialog frame has them.
constexpr int DialogFrameHeight = 3;  // SM_CYDLGFRAME
constexpr int CaptionHeight = 19;     // SM_CYCAPTION
constexpr int ScrollThumbWidth = 17;  // SM_CXHTHUMB
constexpr int GridLineWidth = 1;

constexpr int FrameAllowance = 2 * DialogFrameHeight + 9 + CaptionHeight;

const String SameTableMessage =
        "Your SearchTable and ShadowSearchTable must reference two distinct TDataSet objects, ";

void Warn(const String& Text) { MessageDlg(Text, mtWarning, {mbOK}, 0); }

// One line per visible field: name, width, label and "F".
void BuildSelectedFromFields(TDataSet* DataSet, TStrings* Lines)
{
    Lines->Clear();
    if (!DataSet->Active()) {
        MessageDlg("DataSet for this component must be active.", mtInformation, {mbOK}, 0);
        return;
    }
    for (TField* field : DataSet->Fields())
        if (field->Visible())
            Lines->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                       field->DisplayLabel() + "\tF");
}

// The data field of the grid's column under the point; null over titles and elsewhere.
TField* FieldAtPoint(TdwCustomDBGrid* Grid, int X, int Y)
{
    for (int col = Grid->IndicatorOffset(); col < Grid->ColCount(); ++col) {
        const TRect cell = Grid->CellRect(col, Grid->TitleOffset());
        if (X >= cell.Left && X < cell.Right && Y >= cell.Top)
            return Grid->GetFields(col - Grid->IndicatorOffset());
    }
    return nullptr;
}

}  // namespace

// ---- the components ----

bool TdwCustomDialog::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwCustomDialog") || TComponent::InheritsFrom(name);
}

TdwCustomLookupDialog::TdwCustomLookupDialog(TComponent* AOwner) : TdwCustomDialog(AOwner)
{
    FSettings.Caption = "Search";
}

bool TdwCustomLookupDialog::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwCustomLookupDialog") || TdwCustomDialog::InheritsFrom(name);
}

void TdwCustomLookupDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomDialog::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    if (AComponent == FSearchTable)
        FSearchTable = nullptr;
    if (AComponent == FShadowSearchTable)
        FShadowSearchTable = nullptr;
}

void TdwCustomLookupDialog::SetSearchTable(TDataSet* Value)
{
    FSearchTable = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TdwCustomLookupDialog::SetShadowSearchTable(TDataSet* Value)
{
    FShadowSearchTable = Value;
    if (Value)
        Value->FreeNotification(this);
}

TDataSet* TdwCustomLookupDialog::GetPrimaryDataSet()
{
    throw EInvalidOperation(
            "Derived classes of \"TdwCustomLookupDialog\" must implement function \"GetPrimaryDataSet\"");
}

TdwLookupDlgSettings TdwCustomLookupDialog::Settings() const
{
    TdwLookupDlgSettings settings = FSettings;
    settings.Selected = &FSelected;
    settings.OnUserButton1Click = OnUserButton1Click;
    settings.OnUserButton2Click = OnUserButton2Click;
    settings.OnInitDialog = OnInitDialog;
    settings.OnCloseDialog = OnCloseDialog;
    settings.OnSortChange = OnSortChange;
    return settings;
}

void TdwCustomLookupDialog::DoSyncTables(TDataSet* Target, TDataSet* Source)
{
    if (OnSyncTables)
        OnSyncTables(this, Target, Source);
}

bool TdwCustomLookupDialog::CheckTables()
{
    if (FShadowSearchTable == FSearchTable) {
        Warn(SameTableMessage + "but each must reference the same physical table.");
        return false;
    }
    if (FShadowSearchTable &&
        (!SameText(dwGetDatabaseNameProp(FShadowSearchTable), dwGetDatabaseNameProp(FSearchTable)) ||
         !SameText(dwGetTableNameProp(FShadowSearchTable), dwGetTableNameProp(FSearchTable)))) {
        Warn(SameTableMessage + "and each must reference the same physical table.");
        return false;
    }
    if (dwIsClassNamed(FSearchTable, "TdwTable") && !FSearchTable->Active() &&
        static_cast<TdwTable*>(FSearchTable)->WorkArea() <= 0) {
        Warn("Unable to open search or lookup table.");
        return false;
    }
    if (!FSearchTable->Active() || (FShadowSearchTable && !FShadowSearchTable->Active())) {
        Warn("Search Table is not active.");
        return false;
    }
    return true;
}

bool TdwCustomLookupDialog::Execute()
{
    if (!FSearchTable) {
        if (dwIsClassNamed(this, "TdwLookupDialog")) {
            Warn("You must define a lookupTable.");
            return false;
        }
        if (!FShadowSearchTable) {
            Warn("You must define a searchTable.");
            return false;
        }
        return dwSetupLookupDlg(GuiScreen()->ActiveForm(), this, Settings(), FShadowSearchTable);
    }
    if (!CheckTables())
        return false;
    if (FShadowSearchTable) {
        // A search narrowed before would hide the shadow's record.
        if (auto* search = dynamic_cast<TdwTable*>(FSearchTable); search && search->NarrowSearch())
            search->dwCancelRange();
        SyncTables(FSearchTable, FShadowSearchTable);
    }
    // OK on an empty table picks nothing: the shadow stays where it was.
    if (!dwSetupLookupDlg(GuiScreen()->ActiveForm(), this, Settings(), FSearchTable))
        return false;
    if (FShadowSearchTable)
        SyncTables(FShadowSearchTable, FSearchTable);
    return true;
}

void TdwCustomLookupDialog::SyncTables(TDataSet* Target, TDataSet* Source)
{
    auto* target = dynamic_cast<TdwTable*>(Target);
    auto* source = dynamic_cast<TdwTable*>(Source);
    if (target && source) {
        if (!target->IsEmpty() && !source->IsEmpty())
            target->Go(source->GetSXRecno());
    } else {
        DoSyncTables(Target, Source);
    }
}

TdwLookupDialog::TdwLookupDialog(TComponent* AOwner) : TdwCustomLookupDialog(AOwner) { SetCaption("Lookup"); }

bool TdwLookupDialog::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwLookupDialog") || TdwCustomLookupDialog::InheritsFrom(name);
}

bool TdwLookupDialog::Execute()
{
    if (!LookupTable()) {
        Warn("You must define a lookupTable.");
        return false;
    }
    if (!LookupTable()->Active()) {
        Warn("Search Table is not active.");
        return false;
    }
    return dwSetupLookupDlg(GuiScreen()->ActiveForm(), this, Settings(), LookupTable());
}

// ---- the chooser ----

TdwTempKeyCombo::TdwTempKeyCombo(TdwLookupDlg* Form) : TdwKeyCombo(Form), FForm(Form) { }

bool TdwTempKeyCombo::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwTempKeyCombo") || TdwKeyCombo::InheritsFrom(name);
}

void TdwTempKeyCombo::Change()
{
    if (Selecting())
        return;
    TdwKeyCombo::Change();
    FForm->dwKeyCombo1Change();
}

void TdwTempKeyCombo::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_DOWN && !Shift.Contains(ssAlt) && !IsDroppedDown()) {
        SetFocus();
        SetDroppedDown(true);
        Key = 0;
        return;
    }
    TdwKeyCombo::KeyDown(Key, Shift);
}

// ---- the form ----

TdwLookupDlg::TdwLookupDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetName("dwLookupDlg");
    SetBorderStyle(bsDialog);
    SetCaption("Lookup");
    SetClientWidth(344);
    SetClientHeight(343);
    SetKeyPreview(true);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    Font()->SetStyle({fsBold});
    SetColor(clBtnFace);

    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->OnDataChange = [this](TObject*, TField*) {
        if (StatusHeader->Visible())
            UpdateStatusHeader();
    };

    SearchCharacterLabel = new TLabel(this);
    SearchCharacterLabel->SetName("SearchCharacterLabel");
    SearchCharacterLabel->SetParent(this);
    SearchCharacterLabel->SetBounds(8, 8, 100, 13);
    SearchCharacterLabel->SetCaption("&Search Characters");

    SortByLabel = new TLabel(this);
    SortByLabel->SetName("SortByLabel");
    SortByLabel->SetParent(this);
    SortByLabel->SetBounds(8, 48, 60, 13);
    SortByLabel->SetCaption("Search &By");
    SortByLabel->Hide();

    dwDBGrid1 = new TdwDBGrid(this);
    dwDBGrid1->SetName("dwDBGrid1");
    dwDBGrid1->SetParent(this);
    dwDBGrid1->SetBounds(8, 84, 329, 209);
    dwDBGrid1->IniAttributes()->SetSectionName("dwLookupDlgwwDBGrid1");
    dwDBGrid1->IniAttributes()->SetDelimiter(";;");
    dwDBGrid1->SetTitleColor(clBtnFace);
    dwDBGrid1->SetFixedCols(0);
    dwDBGrid1->SetShowHorzScrollBar(true);
    dwDBGrid1->SetTitleLines(1);
    dwDBGrid1->SetTitleButtons(false);
    dwDBGrid1->SetIndicatorColor(icBlack);
    dwDBGrid1->SetTabOrder(1);
    dwDBGrid1->SetDataSource(DataSource1);
    dwDBGrid1->OnDblClick = [this](TObject*) { dwDBGrid1DblClick(); };
    dwDBGrid1->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) {
        dwDBGrid1MouseDown(X, Y);
    };
    dwDBGrid1->OnColumnMoved = [this](TObject*, int, int) { SetSearchFieldFromGrid(); };

    dwIncrementalSearch1 = new TdwIncrementalSearch(this);
    dwIncrementalSearch1->SetName("dwIncrementalSearch1");
    dwIncrementalSearch1->SetParent(this);
    dwIncrementalSearch1->SetAutoSize(false);
    dwIncrementalSearch1->SetBounds(8, 24, 329, 20);
    dwIncrementalSearch1->SetHint("Enter characters for incremental search");
    dwIncrementalSearch1->SetTabStop(true);
    dwIncrementalSearch1->SetTabOrder(0);
    dwIncrementalSearch1->SetDataSource(DataSource1);
    SearchCharacterLabel->SetFocusControl(dwIncrementalSearch1);

    StatusHeader = new THeader(this);
    StatusHeader->SetName("StatusHeader");
    StatusHeader->SetParent(this);
    StatusHeader->Sections()->Add(String());
    StatusHeader->Sections()->Add(String());
    StatusHeader->SetHint("Table Name and current record position");
    StatusHeader->Hide();

    UserButtonPanel = new TPanel(this);
    UserButtonPanel->SetName("UserButtonPanel");
    UserButtonPanel->SetParent(this);
    UserButtonPanel->SetBounds(8, 300, 329, 40);
    UserButtonPanel->SetBevelInner(bvRaised);
    UserButtonPanel->SetBevelOuter(bvLowered);
    UserButtonPanel->Hide();
    UserButton1 = new TButton(this);
    UserButton2 = new TButton(this);
    int buttonLeft = 12;
    for (TButton* button : {UserButton1, UserButton2}) {
        button->SetName(button == UserButton1 ? "UserButton1" : "UserButton2");
        button->SetParent(UserButtonPanel);
        button->SetBounds(buttonLeft, 7, 89, 26);
        button->Hide();
        buttonLeft += 112;
    }
    UserButton1->OnClick = [this](TObject*) {
        if (FSettings.OnUserButton1Click)
            FSettings.OnUserButton1Click(this, DataSource1->DataSet());
    };
    UserButton2->OnClick = [this](TObject*) {
        if (FSettings.OnUserButton2Click)
            FSettings.OnUserButton2Click(this, DataSource1->DataSet());
    };

    OKBtn = dwCreateDialogButton(this, dbkOK);
    OKBtn->SetTabOrder(4);
    OKBtn->SetDefault(true);
    CancelBtn = dwCreateDialogButton(this, dbkCancel);
    CancelBtn->SetTabOrder(5);
    for (TButton* button : {OKBtn, CancelBtn}) {
        button->SetTop(600);
        button->Show();
    }

    dwKeyCombo1 = new TdwTempKeyCombo(this);
    dwKeyCombo1->SetName("dwKeyCombo1");
    dwKeyCombo1->SetParent(this);
    dwKeyCombo1->Hide();
    dwKeyCombo1->SetDataSource(DataSource1);
    dwKeyCombo1->SetShowHint(true);
    SortByLabel->SetFocusControl(dwKeyCombo1);
}

bool TdwLookupDlg::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwLookupDlg") || TForm::InheritsFrom(name);
}

bool TdwLookupDlg::ChooserApplies() const
{
    return dwIsClassNamed(FDataSet, "TTable") || dwIsClassNamed(FDataSet, "TClientDataSet") ||
           dwGetIndexDefs(FDataSet) || dwKeyCombo1->UsesFieldsAsIndexes(FDataSet);
}

void TdwLookupDlg::DoShow()
{
    FInitializing = true;
    if (!ChooserApplies())
        FOptions.Exclude(opShowSearchBy);

    TRect work;
    dwGetWorkArea(work);
    const int screenWidth = GuiScreen()->Width();
    const int screenHeight = GuiScreen()->Height();
    FMaxWidth = FMaxWidth == 0 ? screenWidth - 40 : std::min(FMaxWidth, screenWidth - 40);
    FMaxHeight = FMaxHeight == 0 ? screenHeight - 200 : std::min(FMaxHeight, screenHeight - 200);
    const auto centredTop = [&] { return std::max(0, ((work.Top + work.Bottom) - (FMaxHeight + 200)) / 2); };
    const auto centredLeft = [&] { return ((work.Left + work.Right) - (FMaxWidth + 40)) / 2; };
    SetTop(centredTop());
    SetLeft(centredLeft());

    FRememberedLeft = -1;
    if (FSettings.OnInitDialog && !FActivated) {
        const int top = Top();
        const int left = Left();
        const int maxWidth = FMaxWidth;
        const int maxHeight = FMaxHeight;
        FSettings.OnInitDialog(this);
        if (FMaxWidth != maxWidth && Left() == left)
            SetLeft(centredLeft());
        // Kept on the screen, however high the handler made the grid.
        if (FMaxHeight != maxHeight && Top() == top)
            SetTop(centredTop());
        if (Left() != left)
            FRememberedLeft = Left();
    }
    if (!FOptions.Contains(opShowSearchBy))
        dwKeyCombo1->SetDataSource(nullptr);
    DataSource1->SetDataSet(FDataSet);
    ApplyIntlLabels();
    ApplyIndexOrder();
    dwIncrementalSearch1->SetPictureMaskFromField(FSettings.PictureMaskFromField);
    AdjustLayout(false);
    if (FOptions.Contains(opShowSearchBy))
        dwKeyCombo1->FillIndexList(dwDBGrid1);
    FInitializing = false;
    TForm::DoShow();
}

void TdwLookupDlg::ApplyIntlLabels()
{
    TdwIntl* intl = dwIntl();
    Font()->SetStyle(intl->DialogFontStyle());
    SearchCharacterLabel->SetCaption(intl->SearchDialog().SearchCharLabel);
    SortByLabel->SetCaption(intl->SearchDialog().SearchByLabel);
    dwIncrementalSearch1->SetHint(intl->SearchDialog().SearchCharHint);
    dwKeyCombo1->SetHint(intl->SearchDialog().SearchByHint);
}

void TdwLookupDlg::SetSearchFieldFromGrid()
{
    if (dwDBGrid1->UseTFields() || dwDBGrid1->GetFieldCount() == 0)
        return;
    if (TField* first = dwDBGrid1->GetFields(0))
        dwIncrementalSearch1->SetSearchField(first->FieldName());
}

void TdwLookupDlg::ApplyIndexOrder()
{
    SetSearchFieldFromGrid();
    if (!FDataSet || !ChooserApplies())
        return;
    dwIncrementalSearch1->SetSearchField(String());
    std::vector<TField*> order;
    TIndexDefs* defs = dwGetIndexDefs(FDataSet);
    if (dwIsClassNamed(FDataSet, "TClientDataSet") || dwKeyCombo1->UsesFieldsAsIndexes(FDataSet) || !defs) {
        if (TField* field = FDataSet->FindField(dwFieldNameFromDisplayLabel(FDataSet, dwKeyCombo1->Text())))
            order.push_back(field);
    } else if (const TIndexDef* def = defs->FindDef(dwGetIndexName(FDataSet))) {
        TStringList names;
        dwSplitToStrings(def->Fields(), ';', &names);
        for (int i = 0; i < names.Count(); ++i)
            if (TField* field = FDataSet->FindField(names.Get(i)))
                order.push_back(field);
    }

    TdwControlsDisabled quiet(FDataSet);
    const bool reorder = !FOptions.Contains(opDisableReorderColumns);
    if (dwDBGrid1->UseTFields()) {
        if (!order.empty() && dwDBGrid1->Selected()->Count() > 0)
            dwApplySelectedToFields(FDataSet, dwDBGrid1->Selected());
        int position = 0;
        for (TField* field : order) {
            if (!field->Visible())
                continue;
            if (position == 0)
                dwIncrementalSearch1->SetSearchField(field->FieldName());
            if (reorder)
                field->SetIndex(position);
            ++position;
        }
        return;
    }
    TStrings* lines = dwDBGrid1->Selected();
    bool first = true;
    for (size_t position = 0; position < order.size(); ++position) {
        int line = 0;
        if (!dwFindSelectedLine(lines, order[position]->FieldName(), line))
            continue;
        if (first)
            dwIncrementalSearch1->SetSearchField(order[position]->FieldName());
        first = false;
        if (reorder && line != static_cast<int>(position) && static_cast<int>(position) < lines->Count()) {
            const String moved = lines->Get(line);
            lines->Delete(line);
            lines->Insert(static_cast<int>(position), moved);
        }
    }
    dwDBGrid1->SetSelected(lines);
}

void TdwLookupDlg::AdjustLayout(bool ColumnsOnly)
{
    const bool okCancel = FOptions.Contains(opShowOKCancel);
    const bool button1 = !FSettings.UserButton1Caption.empty();
    const bool button2 = !FSettings.UserButton2Caption.empty();

    int minimum = SortByLabel->Left() + SortByLabel->Width() + 3;
    if (okCancel) {
        minimum = OKBtn->Width() + CancelBtn->Width() + 18;
        if (button1)
            minimum += UserButton1->Width() + 30;
        if (button2)
            minimum += UserButton2->Width() + 30;
    } else if (button1 && button2) {
        minimum = std::max(minimum, UserButton1->Width() + UserButton2->Width() + 35);
    } else if (button1 || button2) {
        minimum = std::max(minimum, UserButton1->Width() + 35);
    }
    if (FOptions.Contains(opShowStatusBar))
        minimum = std::max(minimum, StatusHeader->Width());

    int needed = ScrollThumbWidth + 4;
    for (int col = 0; col < dwDBGrid1->ColCount(); ++col)
        needed += dwDBGrid1->ColWidths(col) + GridLineWidth;
    const int columnsWidth = needed;
    if (needed < minimum) {
        const int last = dwDBGrid1->GetFieldCount() - 1;
        if (last >= 0)
            dwDBGrid1->SetColumnWidth(last,
                                      dwDBGrid1->ColWidths(dwDBGrid1->ColCount() - 1) + minimum - needed);
        needed = minimum;
    }
    if (ColumnsOnly)
        return;

    const int screenWidth = GuiScreen()->Width();
    FMaxWidth = FMaxWidth == 0 ? screenWidth - 40 : std::min(FMaxWidth, screenWidth - 40);
    FMaxHeight =
            FMaxHeight == 0 ? GuiScreen()->Height() - 200 : std::min(FMaxHeight, GuiScreen()->Height() - 200);
    const int gridWidth = std::max(std::min(needed, FMaxWidth), minimum);
    SetWidth(Width() + gridWidth - dwDBGrid1->Width());
    dwDBGrid1->SetWidth(gridWidth);
    dwDBGrid1->SetHeight(FMaxHeight);
    if (gridWidth >= columnsWidth)
        dwDBGrid1->SetShowHorzScrollBar(false);
    SetLeft(FRememberedLeft != -1 ? FRememberedLeft : (screenWidth - Width()) / 2);

    SearchCharacterLabel->SetTop(8);
    dwIncrementalSearch1->SetTop(PixelsPerInch() * 13 / 96 + SearchCharacterLabel->Top() + 3);
    dwDBGrid1->SetTop(dwIncrementalSearch1->Top() + dwIncrementalSearch1->Height() + 8);
    int y = dwDBGrid1->Top() + dwDBGrid1->Height();

    const bool showHeader = FOptions.Contains(opShowStatusBar) && dwIsClassNamed(FDataSet, "TdwTable") &&
                            FDataSet->Active() && FDataSet->IsSequenced();
    StatusHeader->SetVisible(showHeader);
    if (showHeader) {
        const int top = okCancel || button1 || button2 ? y - 1 : y + 10;
        StatusHeader->SetBounds(dwDBGrid1->Left(), top, gridWidth, StatusHeader->Height());
        y = StatusHeader->Top() + StatusHeader->Height();
    }

    const bool searchBy = FOptions.Contains(opShowSearchBy);
    SortByLabel->SetVisible(searchBy);
    dwKeyCombo1->SetVisible(searchBy);
    if (searchBy && FOptions.Contains(opGroupControls)) {
        const int half = (gridWidth - 20) / 2;
        dwIncrementalSearch1->SetWidth(half);
        const int right = dwIncrementalSearch1->Left() + half + 20;
        SortByLabel->SetLeft(right);
        SortByLabel->SetTop(SearchCharacterLabel->Top());
        dwKeyCombo1->SetBounds(right, dwIncrementalSearch1->Top(), half, dwKeyCombo1->Height());
        dwKeyCombo1->SetTabOrder(1);
        if (SearchCharacterLabel->Width() > dwIncrementalSearch1->Width())
            SearchCharacterLabel->SetCaption(dwIntl()->SearchDialog().SearchCharShortLabel);
    } else {
        dwIncrementalSearch1->SetWidth(gridWidth);
        if (searchBy) {
            SortByLabel->SetLeft(SearchCharacterLabel->Left());
            SortByLabel->SetTop(y + 8);
            dwKeyCombo1->SetBounds(SortByLabel->Left(), SortByLabel->Top() + SortByLabel->Height() + 3,
                                   gridWidth, dwKeyCombo1->Height());
            y = dwKeyCombo1->Top() + dwKeyCombo1->Height();
        }
    }

    UserButton1->SetCaption(FSettings.UserButton1Caption);
    UserButton2->SetCaption(FSettings.UserButton2Caption);
    UserButton1->SetVisible(button1);
    UserButton2->SetVisible(button2);
    UserButtonPanel->SetVisible(button1 || button2);
    if (button1 || button2) {
        UserButtonPanel->SetTop(y + 5);
        int right = 0;
        if (button1) {
            UserButton1->SetLeft(10);
            right = UserButton1->Left() + UserButton1->Width();
        }
        if (button2) {
            UserButton2->SetLeft(right + 15);
            right = UserButton2->Left() + UserButton2->Width();
        }
        UserButtonPanel->SetWidth(okCancel ? right + 10 : gridWidth);
    }

    OKBtn->SetVisible(okCancel);
    CancelBtn->SetVisible(okCancel);
    if (okCancel) {
        OKBtn->SetTabStop(true);
        CancelBtn->SetTabStop(true);
        const int step = OKBtn->Width() + 13;
        const int shift = gridWidth == minimum ? 5 : 0;
        OKBtn->SetBounds(Width() - 10 - 2 * step + shift, y + 13, OKBtn->Width(), OKBtn->Height());
        CancelBtn->SetBounds(Width() - 10 - step + shift, y + 13, CancelBtn->Width(), CancelBtn->Height());
        SetHeight(OKBtn->Top() + OKBtn->Height() + FrameAllowance);
    } else if (button1 || button2) {
        SetHeight(UserButtonPanel->Top() + UserButtonPanel->Height() + FrameAllowance);
    } else {
        SetHeight(y + FrameAllowance);
    }
}

void TdwLookupDlg::UpdateStatusHeader()
{
    if (!dwIsClassNamed(FDataSet, "TdwTable") || !FDataSet->Active() || !FDataSet->IsSequenced())
        return;
    FDataSet->UpdateCursorPos();
    const TdwSearchDialogIntl& labels = dwIntl()->SearchDialog();
    StatusHeader->Sections()->Put(0, TrimRight(dwGetTableNameProp(FDataSet)));
    StatusHeader->Sections()->Put(1, labels.StatusRecLabel + " " + IntToStr(FDataSet->RecNo()) + " " +
                                             labels.StatusOfLabel + " " + IntToStr(FDataSet->RecordCount()));
}

void TdwLookupDlg::Activate()
{
    if (!FActivated) {
        if (dwIncrementalSearch1->CanFocus())
            FocusControl(dwIncrementalSearch1);
        UpdateStatusHeader();
        FActivated = true;
        if (!FSettings.InitialSearch.empty())
            dwIncrementalSearch1->SetText(FSettings.InitialSearch);
        if (!dwIncrementalSearch1->Text().empty()) {
            if (dwIncrementalSearch1->ShowMatchText())
                dwIncrementalSearch1->FindValue();
            else
                dwIncrementalSearch1->SetSelStart(static_cast<int>(dwIncrementalSearch1->Text().size()));
        }
    }
    TForm::Activate();
}

void TdwLookupDlg::KeyDown(Word& Key, TShiftState Shift)
{
    TForm::KeyDown(Key, Shift);
    if (ActiveControl() == dwKeyCombo1)
        return;
    switch (Key) {
    case VK_RETURN:
        Key = 0;
        if (OKBtn->CanFocus())
            OKBtn->SetFocus();
        SetModalResult(mrOk);
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        dwDBGrid1->KeyDown(Key, Shift);
        Key = 0;
        break;
    default: break;
    }
}

void TdwLookupDlg::KeyUp(Word& Key, TShiftState Shift)
{
    TForm::KeyUp(Key, Shift);
    if (ActiveControl() != dwKeyCombo1 || (Key != VK_RETURN && Key != VK_ESCAPE))
        return;
    dwKeyCombo1->SetDroppedDown(false);
    FocusControl(dwIncrementalSearch1);
}

bool TdwLookupDlg::CloseQuery()
{
    if (dwKeyCombo1->IsDroppedDown() || !TForm::CloseQuery())
        return false;
    dwIncrementalSearch1->FinishPendingSearch();
    if (FSettings.OnCloseDialog)
        FSettings.OnCloseDialog(this);
    return true;
}

void TdwLookupDlg::dwKeyCombo1Change()
{
    if (!FInitializing)
        dwIncrementalSearch1->Clear();
    ApplyIndexOrder();
    AdjustLayout(true);
    if (!dwKeyCombo1->IsDroppedDown() && dwIncrementalSearch1->CanFocus())
        FocusControl(dwIncrementalSearch1);
    if (FSettings.OnSortChange)
        FSettings.OnSortChange(this);
}

void TdwLookupDlg::dwDBGrid1MouseDown(int X, int Y)
{
    TField* field = FieldAtPoint(dwDBGrid1, X, Y);
    FMemoCellPressed = field && field->DataType() == ftMemo;
}

void TdwLookupDlg::dwDBGrid1DblClick()
{
    if (dwDBGrid1->Options().Contains(dgEditing) && !dwDBGrid1->ReadOnly())
        return;
    if (FMemoCellPressed && !dwDBGrid1->MemoAttributes().Contains(mDisableDialog))
        return;
    SetModalResult(mrOk);
}

// ---- running it ----

bool dwSetupLookupDlg(TCustomForm* ActiveForm, TComponent* Owner, const TdwLookupDlgSettings& Settings,
                      TDataSet* DataSet)
{
    auto* form = new TdwLookupDlg(Application);
    const auto release = [form] {
        // The data set's other controls see nothing of the form going.
        form->DataSource1->SetDataSet(nullptr);
        form->Free();
    };
    bool result = false;
    try {
        form->AfterConstruction();
        form->SetCaption(Settings.Caption);
        if (ActiveForm && ActiveForm->FormStyle() == fsStayOnTop)
            form->SetFormStyle(fsStayOnTop);
        TdwDBGrid* grid = form->dwDBGrid1;
        const bool hasSelected = Settings.Selected && Settings.Selected->Count() > 0;
        if (hasSelected)
            grid->SetSelected(Settings.Selected);
        else
            BuildSelectedFromFields(DataSet, grid->Selected());
        form->FSettings = Settings;
        if (TStrings* masks = dwGetPictureMasksList(dwGetPictureMasksOwner(Owner, DataSet)))
            grid->PictureMasks()->Assign(*masks);
        if (TStrings* types = dwGetControlTypeList(dwGetControlInfoOwner(Owner, DataSet)))
            grid->SetControlType(types);
        grid->SetUseTFields(Settings.UseTFields);
        grid->SetOptions(Settings.GridOptions);
        if (Settings.GridOptions.Contains(dgMultiSelect))
            grid->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
        grid->SetColor(Settings.GridColor);
        grid->SetTitleAlignment(Settings.GridTitleAlignment);
        grid->SetFixedCols(Settings.Options.Contains(opFixFirstColumn) ? 1 : 0);
        form->FDataSet = DataSet;
        if (hasSelected && Settings.UseTFields)
            dwApplySelectedToFields(DataSet, Settings.Selected);
        form->FOptions = Settings.Options;
        form->FMaxWidth = Settings.MaxWidth;
        form->FMaxHeight = Settings.MaxHeight;
        form->dwIncrementalSearch1->SetCharCase(Settings.CharCase);
        // OK on an empty list picks nothing.
        result = form->ShowModal() == mrOk && !DataSet->IsEmpty();
    } catch (...) {
        release();
        throw;
    }
    release();
    return result;
}
