#pragma once
// THeader: a row of raised sections, each showing a text, left to right.

#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/controls.h"

class THeader : public TCustomControl {
public:
    explicit THeader(TComponent* AOwner);
    ~THeader() override;

    String ClassName() const override { return "THeader"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    // One line a section.
    TStrings* Sections() const { return FSections.get(); }
    // The section's place in the header: sections of one width side by side, the last
    // taking what is left; empty for a section out of range.
    TRect SectionRect(int Index) const;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStringList> FSections;
};
