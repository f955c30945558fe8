#pragma once
// The incremental search edit: as the user types, after a short delay, the data set
// moves to the first record whose search field begins with the typed text.

#include <functional>
#include <memory>

#include "platform/db/datalink.h"
#include "platform/vcl/edits.h"

class TDataSource;
class TField;
class TTimer;
class TdwIncrementalSearch;

using TdwAfterSearchEvent = std::function<void(TdwIncrementalSearch* Sender, bool MatchFound)>;

class TdwIncrementalSearch : public TEdit {
public:
    explicit TdwIncrementalSearch(TComponent* AOwner);
    ~TdwIncrementalSearch() override;

    String ClassName() const override { return "TdwIncrementalSearch"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    // The field searched; empty: the data set's IndexFieldNames, else its first field.
    const String& SearchField() const { return FSearchField; }
    void SetSearchField(const String& Value) { FSearchField = Value; }
    // Completes the typed text with the found record's, the completion selected.
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    // Milliseconds from the last key to the search; 0 is the automatic delay.
    int SearchDelay() const { return FSearchDelay; }
    void SetSearchDelay(int Value) { FSearchDelay = Value; }

    // Searches now with the current text.
    void FindValue();
    // Runs a search that is waiting for its delay.
    void FinishPendingSearch();
    // Empties the text and forgets the last search.
    virtual void ClearSearch();
    // The field FindValue searches; null without an open data set.
    TField* SearchTargetField() const;

    TdwAfterSearchEvent OnAfterSearch;

    void KeyUp(Word& Key, TShiftState Shift) override;

private:
    TDataLink FDataLink;
    std::unique_ptr<TTimer> FTimer;
    String FSearchField;
    String FLastSearch;
    bool FShowMatchText = false;
    int FSearchDelay = 0;
};
