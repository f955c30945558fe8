#pragma once
// A data-aware text edit that takes part in the keyboard protocol.

#include "controls/dbedit.h"
#include "controls/kvcommander.h"

class TKVDBEdit : public TDBEdit, public TKVCommanded, public TKVMouseFreeOption, public TKVSlashOption {
public:
    explicit TKVDBEdit(TComponent* AOwner) : TDBEdit(AOwner) { }

    String ClassName() const override { return "TKVDBEdit"; }
    bool InheritsFrom(const String& name) const override;

    void CMEnter() override;

protected:
    void DoExit() override;
};
