#pragma once
// The incremental search edit: as the user types, after a short delay, the data set
// moves to the first record whose search field begins with the typed text. Its Frame
// draws the library's flat frame in place of the border; unfocused, the edit then
// paints its text inside the frame (over what lies under it with a transparent one).

#include <functional>
#include <memory>

#include "datacontrols/edits/dwdbedit.h"
#include "platform/db/datalink.h"

class TDataSource;
class TField;
class TTimer;
class TdwIncrementalSearch;
class TdwTable;

using TdwAfterSearchEvent = std::function<void(TdwIncrementalSearch* Sender, bool MatchFound)>;

class TdwIncrementalSearch : public TdwCustomMaskEdit {
public:
    explicit TdwIncrementalSearch(TComponent* AOwner);
    ~TdwIncrementalSearch() override;

    String ClassName() const override { return "TdwIncrementalSearch"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    // The field searched; empty: the first field of the data set's current index
    // definition, else of its IndexFieldNames, else its first field.
    const String& SearchField() const { return FSearchField; }
    void SetSearchField(const String& Value) { FSearchField = Value; }
    // Completes the typed text with the found record's, the completion selected.
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    // Milliseconds from the last key to the search; 0: 100 over an open library table,
    // else the interval as it was (200 at first).
    int SearchDelay() const { return FSearchDelay; }
    void SetSearchDelay(int Value) { FSearchDelay = Value; }
    // The picture mask typed text must follow; without one, PictureMaskFromField takes
    // the search field's mask from the data set's PictureMasks.
    const String& PictureMask() const { return FPictureMask; }
    void SetPictureMask(const String& Value) { FPictureMask = Value; }
    bool PictureMaskAutoFill() const { return FPictureMaskAutoFill; }
    void SetPictureMaskAutoFill(bool Value) { FPictureMaskAutoFill = Value; }
    bool PictureMaskFromField() const { return FPictureMaskFromField; }
    void SetPictureMaskFromField(bool Value) { FPictureMaskFromField = Value; }

    // Searches now with the current text.
    void FindValue();
    // Runs a search that is waiting for its delay (the timer's tick).
    void FinishPendingSearch();
    // Empties the text and forgets the last search.
    virtual void Clear();
    // The field FindValue searches; null without an open data set.
    TField* SearchTargetField() const;

    TdwAfterSearchEvent OnAfterSearch;

    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    void CMEnter() override;
    void CMExit() override;
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;

private:
    // The wait before a search when SearchDelay is 0: half the usual for the library's
    // table, whose searches are local.
    unsigned AutomaticInterval() const;
    // Locate on the field; case-sensitive when the current index definition is.
    bool LocateText(TField* Field, const String& Text) const;
    // A library table searches its active index for the text.
    bool FindOnTable(TdwTable* Table, const String& Text) const;

    TDataLink FDataLink;
    std::unique_ptr<TTimer> FTimer;
    String FSearchField;
    String FLastSearch;
    bool FShowMatchText = false;
    int FSearchDelay = 0;
    String FPictureMask;
    bool FPictureMaskAutoFill = true;
    bool FPictureMaskFromField = false;
};
