#pragma once
// A whole-number edit bound to an int (and optionally to a flag telling whether the
// number was typed at all), rounding typed fractions half up; its indicator tells
// that an overflow statement exists for the field.

#include "controls/kvnumberedit.h"
#include "platform/vcl/graphics/colors.h"

class TKVIntEdit : public TKVNumberEdit, public TKVMouseFreeOption {
public:
    explicit TKVIntEdit(TComponent* AOwner) : TKVNumberEdit(AOwner) { }

    String ClassName() const override { return "TKVIntEdit"; }
    bool InheritsFrom(const String& name) const override;

    // With a bound flag: the flag tells whether anything was typed, and a zero shows.
    bool Override() const { return FOverride; }
    void SetOverride(bool Value) { FOverride = Value; }

    void Bind(int* Value);
    void Bind(int* Value, bool* Flag);
    // 1: an overflow statement is available (aqua mark); 2: one has been used (red);
    // anything else: no mark.
    void SetScheduleIndicator(int Kind);
    TColor IndicatorColor() const { return FIndicatorColor; }

protected:
    void StoreValue(const String& Filtered) override;
    void Format() override;
    bool ReturnsOnExit() const override { return !DisableMouseFree(); }
    // The indicator: a small triangle in the top left corner.
    void PaintMark(TCanvas* Canvas, const TRect& ClientArea) override;

private:
    bool FOverride = false;
    int* FValue = nullptr;
    bool* FFlag = nullptr;
    TColor FIndicatorColor = clNone;
};
