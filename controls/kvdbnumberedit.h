#pragma once
// What the data-aware number edits share: the keyboard protocol and the focus flag.

#include "controls/dbedit.h"
#include "controls/kvcommander.h"
#include "controls/kvfocustracking.h"
#include "platform/rtl/strutils.h"

class TKVDBNumberEdit : public TKVFocusTracking<TDBEdit>, public TKVCommanded, public TKVMouseFreeOption {
public:
    String ClassName() const override { return "TKVDBNumberEdit"; }
    bool InheritsFrom(const String& name) const override;

protected:
    explicit TKVDBNumberEdit(TComponent* AOwner) : TKVFocusTracking<TDBEdit>(AOwner) { }
    void DoExit() override;
    // Without the focus: the text right-aligned 2 pixels in from the right edge and 2
    // down from the top, on the control's colour.
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;
};

// The three number edits differ only in their class name.
template<const char* KindName> class TKVDBNumberEditOf : public TKVDBNumberEdit {
public:
    explicit TKVDBNumberEditOf(TComponent* AOwner) : TKVDBNumberEdit(AOwner) { }
    String ClassName() const override { return KindName; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, KindName) || TKVDBNumberEdit::InheritsFrom(name);
    }
};
