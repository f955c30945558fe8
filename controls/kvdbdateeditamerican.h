#pragma once
// A data-aware date edit that writes "mm/dd/yy" or "mm/dd/yyyy", the year as typed.

#include "controls/kvdbdateedit.h"

class TKVDBDateEditAmerican : public TKVDBDateEditBase, public TKVSlashOption {
public:
    explicit TKVDBDateEditAmerican(TComponent* AOwner);

    String ClassName() const override { return "TKVDBDateEditAmerican"; }
    bool InheritsFrom(const String& name) const override;

    void CMEnter() override;

protected:
    void DoExit() override;
};
