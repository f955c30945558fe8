#include "datacontrols/edits/dwdatefill.h"

#include <algorithm>

#include "datacontrols/common/dwdatetext.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"

namespace {

int Count(const String& Text, char C) { return static_cast<int>(std::count(Text.begin(), Text.end(), C)); }

bool EndsWith(const String& Text, char C) { return !Text.empty() && Text.back() == C; }

// The element to fill: the first of the date order for a fresh text; the time elements
// once the date is whole (something follows its second separator).
TdwDateTimeElement ElementToFill(TdwFillKind Kind, const String& Text, bool Fresh)
{
    const int caretPos = static_cast<int>(Text.size()) + 1;
    if (Kind == dfkTime)
        return dwTimeElementAt(caretPos, Text);
    if (Fresh) {
        static const TdwDateTimeElement first[] = {deMonth, deDay, deYear};
        return first[dwDateOrder()];
    }
    if (Count(Text, DateSeparator) >= 2 && !EndsWith(Text, DateSeparator))
        return dwTimeElementAt(caretPos, Text);
    static const TdwDateTimeElement parts[3][3] = {
            {deMonth, deDay, deYear}, {deDay, deMonth, deYear}, {deYear, deMonth, deDay}};
    return parts[dwDateOrder()][std::min(2, Count(Text, DateSeparator))];
}

String TwoDigits(int Value) { return (Value < 10 ? "0" : "") + IntToStr(Value); }

// A day or month with a leading zero when the short date format writes one ("dd", "mm").
String DatePart(int Value, const char* Pattern)
{
    return Pos(Pattern, LowerCase(ShortDateFormat)) > 0 ? TwoDigits(Value) : IntToStr(Value);
}

bool HasDesignator(const String& Text)
{
    const String upper = UpperCase(Text);
    return (!TimeAMString.empty() && Pos(UpperCase(TimeAMString), upper) > 0) ||
           (!TimePMString.empty() && Pos(UpperCase(TimePMString), upper) > 0);
}

// Fills a time element, or first the blank or separator that must stand before it.
void FillTime(TdwFillKind Kind, TdwDateTimeElement Element, String& Text, TDateTime Now)
{
    if (HasDesignator(Text))
        return;
    int hour, minute, second, msec;
    DecodeTime(Now, hour, minute, second, msec);
    switch (Element) {
    case deHour:
        if (Kind == dfkDateTime && !EndsWith(Text, ' ')) {
            Text += ' ';
            return;
        }
        if (!TimeAMString.empty())
            Text += IntToStr(hour % 12 == 0 ? 12 : hour % 12);
        else
            Text += IntToStr(hour);
        Text += TimeSeparator;
        return;
    case deMinute:
        if (!EndsWith(Text, TimeSeparator)) {
            Text += TimeSeparator;
            return;
        }
        Text += TwoDigits(minute) + TimeSeparator;
        return;
    case deSecond: Text += TwoDigits(second); return;
    default:
        if (!EndsWith(Text, ' '))
            Text += ' ';
        Text += hour < 12 ? TimeAMString : TimePMString;
        return;
    }
}

}  // namespace

bool dwAutoFillDate(TdwFillKind Kind, String& Text, int SelStart, int SelLength, TDateTime Now)
{
    const int length = static_cast<int>(Text.size());
    const bool whole = SelStart == 0 && SelLength == length;
    if (!whole && !(SelStart == length && SelLength == 0))
        return false;
    String text = whole ? String() : Text;
    if (Kind != dfkTime && !whole && Count(text, DateSeparator) < 2 && !EndsWith(text, DateSeparator)) {
        Text = text + DateSeparator;
        return true;
    }
    const TdwDateTimeElement element = ElementToFill(Kind, text, whole && Kind != dfkTime);
    int year, month, day;
    DecodeDate(Now, year, month, day);
    switch (element) {
    case deDay: text += DatePart(day, "dd"); break;
    case deMonth: text += DatePart(month, "mm"); break;
    case deYear:
        text += Pos("yyyy", LowerCase(ShortDateFormat)) > 0 ? IntToStr(year) : TwoDigits(year % 100);
        break;
    default:
        if (Kind != dfkDate)
            FillTime(Kind, element, text, Now);
        Text = text;
        return true;
    }
    if (Count(text, DateSeparator) < 2 && !EndsWith(text, DateSeparator))
        text += DateSeparator;
    Text = text;
    return true;
}
