#pragma once
// What the bound number edits share: on exit the typed text keeps only digits, "." and
// "-", goes into the bound variable and comes back through the display mask.

#include "controls/kvcommander.h"
#include "controls/kvfocustracking.h"
#include "platform/vcl/controls/edits.h"

class TKVNumberEdit : public TKVFocusTracking<TEdit>, public TKVCommanded {
public:
    String ClassName() const override { return "TKVNumberEdit"; }
    bool InheritsFrom(const String& name) const override;

protected:
    explicit TKVNumberEdit(TComponent* AOwner) : TKVFocusTracking<TEdit>(AOwner) { }

    void DoExit() override;
    // Stores the filtered text in the bound variable (nothing when none is bound);
    // raises EConvertError for a text that is no number.
    virtual void StoreValue(const String& Filtered) = 0;
    // The text now shows the bound value through the mask.
    virtual void Format() = 0;
    // Leaving the edit returns to the selection entry.
    virtual bool ReturnsOnExit() const { return true; }
    // Without the focus: the text right-aligned on the control's colour.
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;
    // A mark drawn over the background before the text; none by default.
    virtual void PaintMark(TCanvas*, const TRect&) { }
};

// The float and double edits: a variable and the FormatFloat mask it is shown with.
template<class T> class TKVRealEdit : public TKVNumberEdit {
public:
    void Bind(T* Value, const String& Mask)
    {
        FValue = Value;
        FMask = Mask;
        Format();
    }

protected:
    explicit TKVRealEdit(TComponent* AOwner) : TKVNumberEdit(AOwner) { }
    void StoreValue(const String& Filtered) override;
    void Format() override;

private:
    T* FValue = nullptr;
    String FMask;
};
