#pragma once
// The window of a grid's cell hint: the cell's whole text, in the field's alignment and
// broken into lines when it wraps.

#include "platform/vcl/controls/hintwindow.h"

class TField;

class TdwGridHintWindow : public THintWindow {
public:
    explicit TdwGridHintWindow(TComponent* AOwner) : THintWindow(AOwner) { }

    String ClassName() const override { return "TdwGridHintWindow"; }
    bool InheritsFrom(const String& name) const override;

    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    // The field whose text it shows.
    TField* Field() const { return FField; }
    void SetField(TField* Value) { FField = Value; }

protected:
    void Paint() override;

private:
    bool FWordWrap = true;
    TAlignment FAlignment = taLeftJustify;
    TField* FField = nullptr;
};
