#include "controls/kvdateedit.h"

#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/rtl/twodigityear.h"

String NormalizeDateDigits(const String& Text, TDateDigitsStyle Style)
{
    const String digits = DigitsOnly(Text);
    if (digits.size() != 6 && digits.size() != 8)
        return digits;
    const String separator = Style == ddHyphenCentury ? "-" : "/";
    String year = digits.substr(4);
    if (year.size() == 2 && Style == ddHyphenCentury)
        year = IntToStr(DateEditTwoDigitYear(StrToInt(year)));
    return digits.substr(0, 2) + separator + digits.substr(2, 2) + separator + year;
}

TKVDateEdit::TKVDateEdit(TComponent* AOwner) : TEdit(AOwner)
{
    SetHeight(21);
    SetWidth(80);
}

bool TKVDateEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDateEdit") || TEdit::InheritsFrom(name);
}

void TKVDateEdit::Bind(String* Value)
{
    FValue = Value;
    if (FValue)
        SetText(*FValue);
}

void TKVDateEdit::CMEnter()
{
    SetSlashGuard(true, true);
    TEdit::CMEnter();
}

void TKVDateEdit::DoExit()
{
    const String date = NormalizeDateDigits(Text(), ddHyphenCentury);
    SetText(date);
    if (FValue)
        *FValue = date;
    TEdit::DoExit();
    SetSlashGuard(true, false);
    MouseFreeReturn(this, true);
}
