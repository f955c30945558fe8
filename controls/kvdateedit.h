#pragma once
// A date edit bound to a string: the digits typed (month, day and a two- or
// four-digit year, with or without separators) become "mm-dd-yyyy" when it is left.

#include "controls/kvcommander.h"
#include "platform/vcl/controls/edits.h"

enum TDateDigitsStyle {
    ddHyphenCentury,  // mm-dd-yyyy, a two-digit year given its century
    ddSlashAsTyped,   // mm/dd/yy or mm/dd/yyyy, the year as typed
};

// The digits of Text as a date: six (mmddyy) or eight (mmddyyyy) digits get their
// separators; any other count comes back as the digits alone. No range check.
String NormalizeDateDigits(const String& Text, TDateDigitsStyle Style);

// A '/' typed into it separates the parts of the date; it does not close the form.
class TKVDateEdit : public TEdit, public TKVCommanded {
public:
    explicit TKVDateEdit(TComponent* AOwner);

    String ClassName() const override { return "TKVDateEdit"; }
    bool InheritsFrom(const String& name) const override;

    void CMEnter() override;

    // The variable must outlive the edit's last exit.
    void Bind(String* Value);

protected:
    void DoExit() override;

private:
    String* FValue = nullptr;
};
