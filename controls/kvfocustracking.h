#pragma once
// What the number edits share, bound or data-aware: their size, and a flag that
// follows the focus so that they can show their text one way while edited and
// another way (right-aligned) while not.

#include "platform/classes/component.h"

template<class TBase> class TKVFocusTracking : public TBase {
public:
    bool IsFocused() const { return FFocused; }

    void CMEnter() override
    {
        SetFocused(true);
        TBase::CMEnter();
    }
    void CMExit() override
    {
        SetFocused(false);
        TBase::CMExit();
    }

protected:
    explicit TKVFocusTracking(TComponent* AOwner) : TBase(AOwner)
    {
        this->SetHeight(21);
        this->SetWidth(80);
    }
    void SetFocused(bool Value)
    {
        if (Value == FFocused)
            return;
        FFocused = Value;
        this->Invalidate();
    }

private:
    bool FFocused = false;
};
