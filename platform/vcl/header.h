#pragma once
// THeader: a row of raised sections, each showing a text, left to right.

#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls.h"

class THeader : public TCustomControl {
public:
    explicit THeader(TComponent* AOwner);
    ~THeader() override;

    String ClassName() const override { return "THeader"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    // One line a section.
    TStrings* Sections() const { return FSections.get(); }
    // Pixels; the last section also takes what is left of the header's width.
    int SectionWidth(int Index) const;
    void SetSectionWidth(int Index, int Value);
    // The section's place in the header; empty for a section out of range.
    TRect SectionRect(int Index) const;

protected:
    void Paint() override;

private:
    void SectionsChanged();

    std::unique_ptr<TStringList> FSections;
    std::vector<int> FWidths;
};
