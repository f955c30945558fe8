#include "datacontrols/wwkeycb.h"

#include "datacontrols/dwfields.h"
#include "datacontrols/dwlocate.h"
#include "datacontrols/dwproperties.h"
#include "datacontrols/dwstrings.h"
#include "datacontrols/dwwindows.h"
#include "datacontrols/wwintl.h"
#include "platform/db/datasource.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/guiscreen.h"
#include "platform/vcl/timer.h"

namespace {

constexpr unsigned BaseInterval = 200;

// The first ';'-separated name of the data set's IndexFieldNames, when it publishes one.
String IndexFieldName(TDataSet* DataSet)
{
    auto* published = dynamic_cast<TdwPublished*>(DataSet);
    if (!published)
        return String();
    const std::optional<String> names = published->PublishedText("IndexFieldNames");
    return names ? dwTextBeforeChar(*names + ";", ';') : String();
}

}  // namespace

TdwIncrementalSearch::TdwIncrementalSearch(TComponent* AOwner)
    : TEdit(AOwner), FTimer(std::make_unique<TTimer>(nullptr))
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(BaseInterval);
    FTimer->OnTimer = [this](TObject*) { FinishPendingSearch(); };
}

TdwIncrementalSearch::~TdwIncrementalSearch() { FDataLink.SetDataSource(nullptr); }

bool TdwIncrementalSearch::InheritsFrom(const String& name) const
{
    return name == "TdwIncrementalSearch" || TEdit::InheritsFrom(name);
}

void TdwIncrementalSearch::Notification(TComponent* AComponent, TOperation Operation)
{
    TEdit::Notification(AComponent, Operation);
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
        name = IndexFieldName(dataSet);
    TField* field = name.empty() ? nullptr : dataSet->FindField(name);
    return field ? field : dataSet->Fields()[0];
}

void TdwIncrementalSearch::KeyUp(Word& Key, TShiftState Shift)
{
    TEdit::KeyUp(Key, Shift);
    if (Text() == FLastSearch || !dwIsTextChangingKey(Key))
        return;
    if (FShowMatchText && (Key == VK_BACK || Key == VK_DELETE))
        return;
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
    FTimer->SetEnabled(true);
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

void TdwIncrementalSearch::ClearSearch()
{
    FTimer->SetEnabled(false);
    SetText(String());
    FLastSearch.clear();
}

void TdwIncrementalSearch::FindValue()
{
    TDataSet* dataSet = FDataLink.DataSet();
    TField* field = SearchTargetField();
    if (!field)
        return;
    const String text = Text();
    if (text.empty()) {
        dataSet->First();
        return;
    }
    bool found = false;
    if (dwIsSearchableText(field, text)) {
        if (dwIntl()->UseLocateMethodForSearch()) {
            const TCursor cursor = GuiScreen()->Cursor();
            GuiScreen()->SetCursor(crHourGlass);
            try {
                found = dataSet->Locate(field->FieldName(), Variant(text), {loCaseInsensitive, loPartialKey});
            } catch (...) {
                GuiScreen()->SetCursor(cursor);
                throw;
            }
            GuiScreen()->SetCursor(cursor);
        } else {
            found = dwLocateValue(dataSet, field->FieldName(), text, false, true);
        }
    }
    if (OnAfterSearch)
        OnAfterSearch(this, found);
    if (FShowMatchText && found) {
        const String match = field->AsString();
        SetText(match);
        SetSelStart(static_cast<int>(text.size()));
        SetSelLength(static_cast<int>(match.size()) - static_cast<int>(text.size()));
    }
}
