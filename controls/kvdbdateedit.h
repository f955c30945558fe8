#pragma once
// A data-aware date edit: the digits typed become "mm-dd-yyyy", written into the field
// before the exit handler runs.

#include "controls/dbedit.h"
#include "controls/kvcommander.h"
#include "controls/kvdateedit.h"

// What the data-aware date edits share: the typed digits are normalised and assigned
// to the field as text, putting the data set into edit state even when nothing changed.
class TKVDBDateEditBase : public TDBEdit, public TKVCommanded {
public:
    String ClassName() const override { return "TKVDBDateEditBase"; }
    bool InheritsFrom(const String& name) const override;

protected:
    TKVDBDateEditBase(TComponent* AOwner, TDateDigitsStyle Style) : TDBEdit(AOwner), FStyle(Style) { }
    void CommitText() override;

private:
    TDateDigitsStyle FStyle;
};

// A '/' typed into it separates the parts of the date, as in "12/31/1970"; it does not
// close the form, which would keep only the digits before it.
class TKVDBDateEdit : public TKVDBDateEditBase {
public:
    explicit TKVDBDateEdit(TComponent* AOwner) : TKVDBDateEditBase(AOwner, ddHyphenCentury) { }

    String ClassName() const override { return "TKVDBDateEdit"; }
    bool InheritsFrom(const String& name) const override;

    void CMEnter() override;

protected:
    void DoExit() override;
};
