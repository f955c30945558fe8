#include "datacontrols/common/dwdatetext.h"

#include <cctype>
#include <limits>

#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/twodigityear.h"

namespace {

int Length(const String& Text) { return static_cast<int>(Text.size()); }

char At(const String& Text, int Pos) { return Text[static_cast<size_t>(Pos - 1)]; }

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

void SkipBlanks(const String& Text, int& Pos)
{
    while (Pos <= Length(Text) && At(Text, Pos) == ' ')
        ++Pos;
}

// Up to four digits.
bool ScanNumber(const String& Text, int& Pos, int& Value)
{
    SkipBlanks(Text, Pos);
    int digits = 0;
    Value = 0;
    while (Pos <= Length(Text) && digits < 4 && IsDigit(At(Text, Pos))) {
        Value = Value * 10 + (At(Text, Pos) - '0');
        ++Pos;
        ++digits;
    }
    return digits > 0;
}

// A number, or a three-letter month name.
bool ScanNumberOrMonth(const String& Text, int& Pos, int& Value)
{
    if (ScanNumber(Text, Pos, Value))
        return true;
    const int month = dwMonthFromName(Copy(Text, Pos, 3));
    if (month == 0)
        return false;
    Value = month;
    Pos += 3;
    return true;
}

bool ScanChar(const String& Text, int& Pos, char Ch)
{
    SkipBlanks(Text, Pos);
    if (Pos > Length(Text) || At(Text, Pos) != Ch)
        return false;
    ++Pos;
    return true;
}

// The designator at Pos, compared ignoring case.
bool ScanDesignator(const String& Text, int& Pos, const String& Designator)
{
    if (Designator.empty() || !SameText(Copy(Text, Pos, Length(Designator)), Designator))
        return false;
    Pos += Length(Designator);
    return true;
}

int CountBefore(const String& Text, int CaretPos, char Ch, int* LastPos = nullptr)
{
    int count = 0;
    for (int i = 1; i < CaretPos && i <= Length(Text); ++i)
        if (At(Text, i) == Ch) {
            ++count;
            if (LastPos)
                *LastPos = i;
        }
    return count;
}

}  // namespace

// A date followed by a time, the whole text read.
static bool ScanWholeDateTime(const String& Text, TDateTime& Value)
{
    int pos = 1;
    TDateTime date, time;
    if (!dwScanDate(Text, pos, date) || !dwScanTime(Text, pos, time) || pos <= Length(Text))
        return false;
    Value = date + time;
    return true;
}

TdwDateOrder dwDateOrder()
{
    for (char c : ShortDateFormat) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'D': return doDMY;
        case 'M': return doMDY;
        case 'Y': return doYMD;
        }
    }
    return doMDY;
}

bool dwScanDate(const String& Text, int& Pos, TDateTime& Date, int Epoch)
{
    int pos = Pos;
    int n1, n2, n3;
    if (!ScanNumberOrMonth(Text, pos, n1) || !ScanChar(Text, pos, DateSeparator) ||
        !ScanNumberOrMonth(Text, pos, n2))
        return false;
    const TdwDateOrder order = dwDateOrder();
    int year, month, day;
    int afterTwo = pos;
    if (ScanChar(Text, pos, DateSeparator)) {
        if (!ScanNumberOrMonth(Text, pos, n3))
            return false;
        switch (order) {
        case doMDY: month = n1, day = n2, year = n3; break;
        case doDMY: day = n1, month = n2, year = n3; break;
        default: year = n1, month = n2, day = n3; break;
        }
        if (year <= 99)
            year = DataAwareTwoDigitYear(year, Epoch);
    } else {
        pos = afterTwo;
        year = dwGetCurrentYear();
        if (order == doDMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    SkipBlanks(Text, pos);
    if (month < 1 || month > 12 || !TryEncodeDate(year, month, day, Date))
        return false;
    Pos = pos;
    return true;
}

bool dwScanTime(const String& Text, int& Pos, TDateTime& Time)
{
    int pos = Pos;
    int hour, minute, second = 0;
    if (!ScanNumber(Text, pos, hour) || !ScanChar(Text, pos, TimeSeparator) || !ScanNumber(Text, pos, minute))
        return false;
    const int afterMinutes = pos;
    if (ScanChar(Text, pos, TimeSeparator)) {
        if (!ScanNumber(Text, pos, second))
            return false;
    } else {
        pos = afterMinutes;
    }
    SkipBlanks(Text, pos);
    int offset = -1;
    if (ScanDesignator(Text, pos, TimeAMString) || ScanDesignator(Text, pos, "AM"))
        offset = 0;
    else if (ScanDesignator(Text, pos, TimePMString) || ScanDesignator(Text, pos, "PM"))
        offset = 12;
    if (offset >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + offset;
    }
    SkipBlanks(Text, pos);
    if (hour >= 24 || minute >= 60 || second >= 60)
        return false;
    Time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0) / 86400000.0;
    Pos = pos;
    return true;
}

bool dwIsValidDate(const String& Text)
{
    int pos = 1;
    TDateTime date;
    return dwScanDate(Text, pos, date) && pos > Length(Text);
}

bool dwIsValidTime(const String& Text)
{
    int pos = 1;
    TDateTime time;
    return dwScanTime(Text, pos, time) && pos > Length(Text);
}

bool dwIsValidDateTime(const String& Text)
{
    TDateTime value;
    return ScanWholeDateTime(Text, value);
}

bool dwIsValidInteger(const String& Text)
{
    if (Text.empty())
        return true;
    size_t i = Text[0] == '-' && Text.size() >= 2 ? 1 : 0;
    Int64 value = 0;
    for (; i < Text.size(); ++i) {
        if (!IsDigit(Text[i]))
            return false;
        value = value * 10 + (Text[i] - '0');
        if (value > Int64 {std::numeric_limits<Integer>::max()} + 1)
            return false;
    }
    return Text[0] == '-' || value <= std::numeric_limits<Integer>::max();
}

bool dwIsValidFloat(const String& Text)
{
    double value;
    return Text.empty() || TryStrToFloat(Text, value);
}

bool dwParseDate(const String& Text, TDateTime& Date)
{
    return dwParseDateWithEpoch(Text, Date, dwDefaultEpoch);
}

bool dwParseDateWithEpoch(const String& Text, TDateTime& Date, int Epoch)
{
    int pos = 1;
    return dwScanDate(Text, pos, Date, Epoch);
}

TDateTime dwTextToDate(const String& Text)
{
    TDateTime date;
    return dwParseDate(Text, date) ? date : 0;
}

TDateTime dwTextToTime(const String& Text)
{
    int pos = 1;
    TDateTime time;
    return dwScanTime(Text, pos, time) && pos > Length(Text) ? time : 0;
}

TDateTime dwTextToDateTime(const String& Text)
{
    TDateTime value;
    return ScanWholeDateTime(Text, value) ? value : 0;
}

TdwDateTimeElement dwDateTimeElementAt(int CaretPos, const String& Text, bool TimeOnly)
{
    if (!TimeOnly) {
        int pos = 1;
        TDateTime date;
        const bool inTime = dwScanDate(Text, pos, date) &&
                            (CaretPos >= pos || (CaretPos == pos - 1 && At(Text, CaretPos) == ' '));
        if (!inTime) {
            static const TdwDateTimeElement parts[3][3] = {
                    {deMonth, deDay, deYear}, {deDay, deMonth, deYear}, {deYear, deMonth, deDay}};
            const int part = CountBefore(Text, CaretPos, DateSeparator);
            return part < 3 ? parts[dwDateOrder()][part] : deDay;
        }
    }
    return dwTimeElementAt(CaretPos, Text);
}

TdwDateTimeElement dwTimeElementAt(int CaretPos, const String& Text)
{
    int last = 0;
    switch (CountBefore(Text, CaretPos, TimeSeparator, &last)) {
    case 0: return deHour;
    case 1: return deMinute;
    case 2: return CaretPos - last > 2 ? deAMPM : deSecond;
    default: return deSecond;
    }
}

int dwMonthFromName(const String& Name)
{
    for (int month = 1; month <= 12; ++month)
        if (SameText(Name, ShortMonthNames[month - 1]))
            return month;
    return 0;
}

int dwGetCurrentYear()
{
    int year, month, day;
    DecodeDate(Date(), year, month, day);
    return year;
}
