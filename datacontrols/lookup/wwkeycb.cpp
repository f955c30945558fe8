#include "datacontrols/lookup/wwkeycb.h"

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/edits/dweditframe.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/timer.h"

namespace {

constexpr unsigned BaseInterval = 200;

// The definition of the data set's current index, when it publishes its definitions.
const TIndexDef* CurrentIndexDef(TDataSet* DataSet)
{
    TIndexDefs* defs = dwGetIndexDefs(DataSet);
    return defs ? defs->FindDef(dwGetIndexName(DataSet)) : nullptr;
}

}  // namespace

TdwIncrementalSearch::TdwIncrementalSearch(TComponent* AOwner)
    : TdwCustomMaskEdit(AOwner), FTimer(std::make_unique<TTimer>(nullptr))
{
    SetAutoSize(true);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(BaseInterval);
    FTimer->OnTimer = [this](TObject*) { FinishPendingSearch(); };
}

TdwIncrementalSearch::~TdwIncrementalSearch() { FDataLink.SetDataSource(nullptr); }

bool TdwIncrementalSearch::InheritsFrom(const String& name) const
{
    return name == "TdwIncrementalSearch" || TdwCustomMaskEdit::InheritsFrom(name);
}

void TdwIncrementalSearch::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        SetDataSource(nullptr);
}

void TdwIncrementalSearch::SetDataSource(TDataSource* Value)
{
    FDataLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

TField* TdwIncrementalSearch::SearchTargetField() const
{
    TDataSet* dataSet = FDataLink.DataSet();
    if (!dataSet || !dataSet->Active() || dataSet->FieldCount() == 0)
        return nullptr;
    String name = FSearchField;
    if (name.empty())
        if (const TIndexDef* def = CurrentIndexDef(dataSet))
            name = dwFirstFieldName(def->Fields());
    if (name.empty())
        name = dwFirstFieldName(dwGetIndexFieldNames(dataSet));
    TField* field = name.empty() ? nullptr : dataSet->FindField(name);
    return field ? field : dataSet->Fields()[0];
}

void TdwIncrementalSearch::KeyUp(Word& Key, TShiftState Shift)
{
    TdwCustomMaskEdit::KeyUp(Key, Shift);
    if (Text() == FLastSearch || !dwIsTextChangingKey(Key))
        return;
    if (FShowMatchText && (Key == VK_BACK || Key == VK_DELETE)) {
        // Emptying the text lifts the range a narrowed search left.
        auto* table = dynamic_cast<TdwTable*>(FDataLink.DataSet());
        if (table && table->NarrowSearch() && Text().empty())
            table->dwCancelRange();
        return;
    }
    FTimer->SetEnabled(false);
    if (!DataSource()) {
        MessageDlg("DataSource not defined - object " + Name(), mtWarning, {mbOK}, 0);
        return;
    }
    if (!DataSource()->DataSet()) {
        MessageDlg("Dataset not defined for DataSource", mtWarning, {mbOK}, 0);
        return;
    }
    if (FSearchDelay != 0)
        FTimer->SetInterval(static_cast<unsigned>(FSearchDelay));
    else if (const unsigned interval = AutomaticInterval())
        FTimer->SetInterval(interval);
    FTimer->SetEnabled(true);
}

unsigned TdwIncrementalSearch::AutomaticInterval() const
{
    auto* table = dynamic_cast<TdwTable*>(FDataLink.DataSet());
    return table && table->Active() ? BaseInterval / 2 : 0;
}

void TdwIncrementalSearch::CMEnter()
{
    ShowFocusedLook(true);
    TdwCustomMaskEdit::CMEnter();
}

void TdwIncrementalSearch::CMExit()
{
    TdwCustomMaskEdit::CMExit();
    ShowFocusedLook(false);
}

void TdwIncrementalSearch::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    if (!Frame()->IsFrameEffective())
        return;
    if (!Focused())
        PaintFramedText(Canvas, ClientArea, taLeftJustify, Text());
    dwDrawEditFrame(this, Frame(), Canvas, Focused());
}

void TdwIncrementalSearch::FinishPendingSearch()
{
    if (!FTimer->Enabled())
        return;
    FTimer->SetEnabled(false);
    const String text = Text();
    if (text == FLastSearch)
        return;
    FindValue();
    FLastSearch = text;
}

void TdwIncrementalSearch::KeyPress(char& Key)
{
    TdwCustomMaskEdit::KeyPress(Key);
    if (Key == 0)
        return;
    TdwFieldPictureMask mask {FPictureMask, FPictureMaskAutoFill, true};
    if (mask.Mask.empty() && FPictureMaskFromField)
        if (TField* field = SearchTargetField())
            mask = dwGetFieldPictureMask(FDataLink.DataSet(), field->FieldName());
    if (!mask.Mask.empty())
        dwPictureKeyPress(this, mask.Mask, mask.AutoFill, Key);
}

void TdwIncrementalSearch::Clear()
{
    FTimer->SetEnabled(false);
    SetText(String());
    FLastSearch.clear();
}

bool TdwIncrementalSearch::LocateText(TField* Field, const String& Text) const
{
    const TIndexDef* def = CurrentIndexDef(FDataLink.DataSet());
    const bool caseSensitive = def && !def->Options().Contains(ixCaseInsensitive);
    const TLocateOptions options =
            caseSensitive ? TLocateOptions {loPartialKey} : TLocateOptions {loCaseInsensitive, loPartialKey};
    TdwHourGlass hourGlass;
    return FDataLink.DataSet()->Locate(Field->FieldName(), Variant(Text), options);
}

bool TdwIncrementalSearch::FindOnTable(TdwTable* Table, const String& Text) const
{
    const std::vector<String> fields = Table->IndexFields();
    if (fields.empty()) {
        TField* field = FSearchField.empty() ? nullptr : Table->FindField(FSearchField);
        return dwLocateValue(Table, (field ? field : Table->Fields()[0])->FieldName(), Text, false, true);
    }
    const TIndexDef* def = CurrentIndexDef(Table);
    if (Table->IsDBaseTable() && def && def->Options().Contains(ixExpression)) {
        // An expression index is sought with the text as it stands.
        TField* field = Table->FindField(FSearchField.empty() ? fields[0] : FSearchField);
        if (!field || !dwTextSuitsFieldType(Text, field->DataType()))
            return false;
        dwGotoNearest(Table, {Text});
        return UpperCase(field->AsString()).rfind(UpperCase(Text), 0) == 0;
    }
    int position = 0;
    for (size_t i = 0; i < fields.size(); ++i)
        if (LowerCase(fields[i]) == LowerCase(FSearchField))
            position = static_cast<int>(i);
    return dwFindNearestOnIndex(Table, Text, position);
}

void TdwIncrementalSearch::FindValue()
{
    TDataSet* dataSet = FDataLink.DataSet();
    TField* field = SearchTargetField();
    if (!field)
        return;
    const String text = Text();
    auto* table = dynamic_cast<TdwTable*>(dataSet);
    if (text.empty() && !table) {
        dataSet->First();
        return;
    }
    bool found = false;
    if (table)
        found = FindOnTable(table, text);
    else if (dwIsSearchableText(field, text))
        found = dwIntl()->UseLocateMethodForSearch()
                        ? LocateText(field, text)
                        : dwLocateValue(dataSet, field->FieldName(), text, false, true);
    if (OnAfterSearch)
        OnAfterSearch(this, found);
    if (FShowMatchText && found) {
        const String match = field->AsString();
        SetText(match);
        SetSelStart(static_cast<int>(text.size()));
        SetSelLength(static_cast<int>(match.size()) - static_cast<int>(text.size()));
    }
}
