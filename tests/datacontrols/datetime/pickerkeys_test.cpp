// The picker edited by keys, one section at a time: typing with automatic advance, the
// day, month and year fix-ups, Up, Down, + and -, Home and End, 24- and 12-hour
// clocks, limits, two-digit years, names and clearing.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/datetime.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/support/formtesting.h"

namespace {

class PickerKeysTest : public PickerTest {
protected:
    // An unbound picker of Kind showing Value in Format, focused.
    void Show(TdwDTEditDataType Kind, const String& Format, TDateTime Value)
    {
        Picker->SetUnboundDataType(Kind);
        Picker->SetDisplayFormat(Format);
        Start();
        if (Kind == dwDTEdtTime)
            Picker->SetTime(Value);
        else
            Picker->SetDate(Value);
        for (int k = 0; k < 4; ++k)
            PressKey(Form, Qt::Key_Left);
    }
    // The time, or the day of a date picker (whose value keeps a time of day of its own).
    TDateTime Value()
    {
        return Picker->UnboundDataType() == dwDTEdtTime ? Picker->Time() : std::trunc(Picker->Date());
    }
};

TEST_F(PickerKeysTest, TypingFillsTheSectionsAndMovesOn)
{
    Show(dwDTEdtDate, "dd/mm/yyyy", EncodeDate(2009, 4, 10));
    EXPECT_EQ(Text(), "10/04/2009");
    EXPECT_EQ(Selected(), "10") << "the first section is selected";
    Type("4");
    EXPECT_EQ(Text(), "04/04/2009") << "a 4 can only be a day of its own";
    EXPECT_EQ(Picker->CurrentSection(), 2);
    EXPECT_EQ(Selected(), "04");
    PressKey(Form, Qt::Key_Left);
    Type("3");
    EXPECT_EQ(Text(), "3/04/2009") << "a 3 waits for a second digit in place";
    EXPECT_EQ(Picker->CurrentSection(), 1);
    Type("0");
    EXPECT_EQ(Text(), "30/04/2009");
    EXPECT_EQ(Selected(), "04");
    Type("1");
    EXPECT_EQ(Text(), "30/1/2009") << "a 1 in the month waits";
    Type("2");
    EXPECT_EQ(Text(), "30/12/2009");
    EXPECT_EQ(Selected(), "2009");
    Type("201");
    EXPECT_EQ(Text(), "30/12/201");
    Type("1");
    EXPECT_EQ(Text(), "30/12/2011");
    EXPECT_EQ(Selected(), "2011") << "the last section stays";
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2011, 12, 30));
    EXPECT_TRUE(Picker->Modified());
}

TEST_F(PickerKeysTest, ADayTheMonthOrYearCannotHoldMovesThem)
{
    struct Case {
        const char* Format;
        TDateTime Start;
        const char* Keys;
        TDateTime Expected;
    };
    const Case cases[] = {
            // The day before the month: 31 in April takes the first month with 31 days.
            {"dd/mm/yyyy", EncodeDate(2009, 4, 10), "31", EncodeDate(2009, 1, 31)},
            // 29 in a February of a common year: the next leap year.
            {"dd/mm/yyyy", EncodeDate(2009, 2, 10), "29", EncodeDate(2012, 2, 29)},
            {"dd/mm/yyyy", EncodeDate(2097, 2, 10), "29", EncodeDate(2104, 2, 29)},
            // February typed into a month with day 29 before the year.
            {"mm/dd/yyyy", EncodeDate(2009, 3, 29), "02", EncodeDate(2012, 2, 29)},
            // The month after the day: the day is shortened when the month is too short.
            {"mm/dd/yyyy", EncodeDate(2009, 1, 31), "04", EncodeDate(2009, 4, 30)},
    };
    for (const Case& c : cases) {
        Show(dwDTEdtDate, c.Format, c.Start);
        Type(c.Keys);
        EXPECT_DOUBLE_EQ(Value(), c.Expected) << c.Format << " " << c.Keys;
    }
}

TEST_F(PickerKeysTest, InvalidNumbersBeepOnceAndChangeNothing)
{
    struct Case {
        TdwDTEditDataType Kind;
        const char* Format;
        const char* Keys;
        const char* Shown;
    };
    const Case cases[] = {
            {dwDTEdtTime, "hh:nn", "25", "10:30"},
            {dwDTEdtTime, "hh:nn am/pm", "13", "10:30 am"},
            {dwDTEdtDate, "mm/dd/yyyy", "13", "06/15/2009"},
    };
    for (const Case& c : cases) {
        Show(c.Kind, c.Format, c.Kind == dwDTEdtTime ? EncodeTime(10, 30, 0, 0) : EncodeDate(2009, 6, 15));
        const int before = Dialogs.Beeps;
        Type(c.Keys);
        EXPECT_EQ(Text(), c.Shown) << c.Format;
        EXPECT_EQ(Dialogs.Beeps - before, 1) << c.Format;
    }
    Show(dwDTEdtDate, "mm/dd/yyyy", EncodeDate(2009, 6, 15));
    PressKey(Form, Qt::Key_Right);
    Type("31");
    EXPECT_EQ(Text(), "06/15/2009") << "June has no 31st and the month comes first";
}

TEST_F(PickerKeysTest, HoursOnBothClocks)
{
    Show(dwDTEdtTime, "hh:nn", EncodeTime(15, 0, 0, 0));
    Type("2");
    EXPECT_EQ(Text(), "2:00") << "a 2 may begin 20..23 on a 24-hour clock";
    Type("3");
    EXPECT_EQ(Text(), "23:00");
    PressKey(Form, Qt::Key_Left);
    Type("7");
    EXPECT_EQ(Text(), "07:00");

    Show(dwDTEdtTime, "hh:nn am/pm", EncodeTime(15, 0, 0, 0));
    EXPECT_EQ(Text(), "03:00 pm");
    Type("2");
    EXPECT_EQ(Text(), "02:00 pm") << "a 2 is complete on a 12-hour clock, in the half shown";
    EXPECT_DOUBLE_EQ(Value(), EncodeTime(14, 0, 0, 0));
    PressKey(Form, Qt::Key_Left);
    Type("12");
    EXPECT_DOUBLE_EQ(Value(), EncodeTime(12, 0, 0, 0)) << "12 in the afternoon is noon";
    PressKey(Form, Qt::Key_Right);
    Type("a");
    EXPECT_EQ(Text(), "12:00 am") << "midnight";
    Type("p");
    EXPECT_DOUBLE_EQ(Value(), EncodeTime(12, 0, 0, 0));
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Text(), "12:00 am") << "Up on AM/PM toggles";

    // A one-letter hour at midnight: the sections follow the text shown.
    Show(dwDTEdtTime, "h:nn", EncodeTime(0, 5, 0, 0));
    EXPECT_EQ(Text(), "0:05");
    PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Selected(), "05");
}

TEST_F(PickerKeysTest, UpDownPlusAndMinusStepTheSection)
{
    struct Case {
        const char* Format;
        TDateTime Start;
        int Section;
        int Interval;
        bool Round;
        const char* Keys;  // u = Up, d = Down, or the characters typed
        TDateTime Expected;
    };
    const Case cases[] = {
            {"hh:nn", EncodeTime(0, 55, 0, 0), 2, 10, true, "u", EncodeTime(0, 0, 0, 0)},
            {"hh:nn", EncodeTime(0, 7, 0, 0), 2, 5, true, "d", EncodeTime(0, 5, 0, 0)},
            {"hh:nn", EncodeTime(0, 5, 0, 0), 2, 5, true, "d", EncodeTime(0, 0, 0, 0)},
            {"hh:nn", EncodeTime(0, 58, 0, 0), 2, 5, false, "u", EncodeTime(0, 3, 0, 0)},
            {"hh:nn", EncodeTime(23, 0, 0, 0), 1, 1, false, "+", EncodeTime(0, 0, 0, 0)},
            {"hh:nn:ss", EncodeTime(1, 0, 0, 0), 3, 1, false, "-", EncodeTime(1, 0, 59, 0)},
            {"mm/dd/yyyy", EncodeDate(2009, 1, 31), 1, 1, false, "=", EncodeDate(2009, 2, 28)},
            {"mm/dd/yyyy", EncodeDate(2008, 2, 29), 3, 1, false, "u", EncodeDate(2009, 2, 28)},
            {"mm/dd/yyyy", EncodeDate(2009, 3, 1), 2, 1, false, "d", EncodeDate(2009, 2, 28)},
            {"mm/dd/yyyy", EncodeDate(9999, 6, 1), 3, 1, false, "u", EncodeDate(9999, 6, 1)},
            // Day by name stays within the week (Sunday first): Saturday up is Sunday.
            {"ddd mm/dd/yyyy", EncodeDate(2009, 6, 20), 1, 1, false, "u", EncodeDate(2009, 6, 14)},
            {"ddd mm/dd/yyyy", EncodeDate(2009, 6, 14), 1, 1, false, "d", EncodeDate(2009, 6, 20)},
    };
    for (const Case& c : cases) {
        const bool time = c.Start < 1;
        Picker->Interval()->SetMinutesInterval(c.Interval);
        Picker->Interval()->SetRoundMinutes(c.Round);
        Show(time ? dwDTEdtTime : dwDTEdtDate, c.Format, c.Start);
        for (int k = 1; k < c.Section; ++k)
            PressKey(Form, Qt::Key_Right);
        for (const char* key = c.Keys; *key; ++key) {
            if (*key == 'u')
                PressKey(Form, Qt::Key_Up);
            else if (*key == 'd')
                PressKey(Form, Qt::Key_Down);
            else
                Type(String(1, *key).c_str());
        }
        EXPECT_DOUBLE_EQ(Value(), c.Expected) << c.Format << " section " << c.Section << " " << c.Keys;
    }
}

TEST_F(PickerKeysTest, LeftAndRightStopAtTheEnds)
{
    Show(dwDTEdtDate, "mm/dd/yyyy", EncodeDate(2009, 6, 15));
    PressKey(Form, Qt::Key_Left);
    EXPECT_EQ(Picker->CurrentSection(), 1);
    for (int k = 0; k < 4; ++k)
        PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Picker->CurrentSection(), 3);
    EXPECT_EQ(Selected(), "2009");
    PressKey(Form, Qt::Key_Backspace);
    EXPECT_EQ(Picker->CurrentSection(), 2) << "Backspace goes left while a section is selected";
    Type("/");
    EXPECT_EQ(Picker->CurrentSection(), 2) << "a separator moves on only with digits pending";
    Type("1/");
    EXPECT_EQ(Picker->CurrentSection(), 3);
    EXPECT_EQ(Text(), "06/01/2009");
}

TEST_F(PickerKeysTest, TwoDigitYearsFallInTheHundredYearsFromTheEpoch)
{
    struct Case {
        int Epoch;
        const char* Format;
        const char* Keys;
        int Year;
    };
    const Case cases[] = {
            {1950, "mm/dd/yy", "49", 2049},     {1950, "mm/dd/yy", "50", 1950},
            {1980, "mm/dd/yy", "79", 2079},     {1950, "mm/dd/yyyy", "49\r", 2049},
            {1950, "mm/dd/yyyy", "0000", 2009},
    };
    for (const Case& c : cases) {
        Picker->SetEpoch(c.Epoch);
        Show(dwDTEdtDate, c.Format, EncodeDate(2009, 6, 15));
        PressKey(Form, Qt::Key_Right);
        PressKey(Form, Qt::Key_Right);
        Type(c.Keys);
        int year, month, day;
        DecodeDate(Value(), year, month, day);
        EXPECT_EQ(year, c.Year) << c.Epoch << " " << c.Keys;
    }
    EXPECT_EQ(TdwDBDateTimePicker(nullptr).Epoch(), 1950) << "from the library's DefaultEpochYear";
}

TEST_F(PickerKeysTest, LimitsHoldForEveryKey)
{
    Picker->SetMinDate(EncodeDate(2009, 3, 10));
    Picker->SetMaxDate(EncodeDate(2009, 6, 15));
    Show(dwDTEdtDate, "mm/dd/yyyy", EncodeDate(2009, 3, 20));
    PressKey(Form, Qt::Key_Right);
    PressKey(Form, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 3, 10)) << "Home stops at the first day allowed";
    const int before = Dialogs.Beeps;
    PressKey(Form, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 3, 10));
    EXPECT_EQ(Dialogs.Beeps, before + 1) << "a step out of the limits beeps and does nothing";
    PressKey(Form, Qt::Key_Left);
    PressKey(Form, Qt::Key_End);
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 6, 10)) << "End goes to the last month allowed";
    Type("2");
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 6, 10)) << "February is out of range";
    EXPECT_EQ(Dialogs.Beeps, before + 2);
    PressKey(Form, Qt::Key_Left);
    Type("07");
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 6, 10));
    EXPECT_EQ(Dialogs.Beeps, before + 3);

    EXPECT_THROW(Picker->SetDate(EncodeDate(2009, 7, 1)), EDateTimeError);
    try {
        Picker->SetMaxDate(EncodeDate(2009, 1, 1));
        FAIL() << "a maximum below the minimum";
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date is less than minimum of 03/10/2009");
    }
    try {
        Picker->SetDate(EncodeDate(2008, 6, 1));
        FAIL() << "a date below the minimum";
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date is less than minimum of 03/10/2009");
    }
    EXPECT_DOUBLE_EQ(Value(), EncodeDate(2009, 6, 10)) << "nothing stored";
    Picker->SetMinDate(0);
    Picker->SetMaxDate(0);
    EXPECT_NO_THROW(Picker->SetDate(EncodeDate(1900, 1, 1))) << "0 is no limit";
}

TEST_F(PickerKeysTest, LettersPickNamesAndHalves)
{
    Show(dwDTEdtDate, "dd mmm yyyy", EncodeDate(2009, 3, 15));
    PressKey(Form, Qt::Key_Right);
    Type("j");
    EXPECT_EQ(Text(), "15 Jun 2009");
    Type("j");
    EXPECT_EQ(Text(), "15 Jul 2009");
    Type("j");
    EXPECT_EQ(Text(), "15 Jan 2009") << "from the start again";
    Type("q");
    EXPECT_EQ(Text(), "15 Jan 2009") << "no month with that letter";
    Show(dwDTEdtDate, "dddd mm/dd/yyyy", EncodeDate(2009, 6, 15));
    Type("t");
    EXPECT_EQ(Text(), "Tuesday 06/16/2009");
    Type("t");
    EXPECT_EQ(Text(), "Thursday 06/18/2009");
    Type("s");
    EXPECT_EQ(Text(), "Saturday 06/20/2009");
    Type("s");
    EXPECT_EQ(Text(), "Sunday 06/14/2009") << "within the week";
}

TEST_F(PickerKeysTest, TheLongFormIsTheLongDateWithItsNames)
{
    Picker->SetDateFormat(dfLong);
    Show(dwDTEdtDate, "", EncodeDate(2009, 6, 15));
    EXPECT_EQ(Text(), "Monday, June 15, 2009");
    EXPECT_EQ(Selected(), "Monday");
    Type("w");
    EXPECT_EQ(Text(), "Wednesday, June 17, 2009");
    PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Selected(), "June");
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Text(), "Sunday, May 17, 2009");
    Picker->SetUnboundDataType(dwDTEdtDateTime);
    EXPECT_EQ(Text(), "Sunday, May 17, 2009") << "a date-time without time of day shows the long date";
    Picker->SetTime(EncodeTime(9, 5, 0, 0));
    EXPECT_EQ(Text(), "Sunday, May 17, 2009 9:05:00 AM");
}

TEST_F(PickerKeysTest, TheDefaultFormatShowsTheTimeOnlyWhenThereIsOne)
{
    Picker->SetUnboundDataType(dwDTEdtDateTime);
    Start();
    Picker->SetDate(EncodeDate(2009, 6, 15));
    EXPECT_EQ(Text(), "06/15/2009");
    for (int k = 0; k < 3; ++k)
        PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Text(), "06/15/2009 12:00:00 AM") << "Right from the year shows the time from midnight";
    EXPECT_EQ(Selected(), "12");
    Type("9");
    EXPECT_EQ(Text(), "06/15/2009 9:00:00 AM");
    PressKey(Form, Qt::Key_Left);
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "06/15/2009") << "Delete on the first time section takes only the time";
    EXPECT_EQ(Selected(), "2009");
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Picker->IsNullValue());
    EXPECT_DOUBLE_EQ(Picker->Date(), 0);
}

TEST_F(PickerKeysTest, AnEmptyPickerStartsFromTodayOrMidnight)
{
    Picker->SetUnboundDataType(dwDTEdtDate);
    Picker->SetDisplayFormat("mm/dd/yyyy");
    Start();
    EXPECT_EQ(Text(), "");
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Text(), "07/15/2009") << "from today, then a month up";
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "");
    Type("9");
    EXPECT_EQ(Text(), "09/15/2009");

    Picker->SetUnboundDataType(dwDTEdtTime);
    Picker->SetDisplayFormat("hh:nn");
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Text(), "");
    Type("7");
    EXPECT_EQ(Text(), "07:00") << "a digit starts from midnight";
    PressKey(Form, Qt::Key_Delete);
    PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Text(), "10:30") << "another key from now";
    Type(" ");
    EXPECT_EQ(Text(), "10:30") << "Space is now";
}

TEST_F(PickerKeysTest, EscTakesTheEditBack)
{
    Show(dwDTEdtDate, "mm/dd/yyyy", EncodeDate(2009, 6, 15));
    Other->SetFocus();
    Picker->SetFocus();
    Type("12");
    EXPECT_EQ(Text(), "12/15/2009");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Text(), "06/15/2009") << "the value from when the picker was entered";
    EXPECT_FALSE(Picker->Modified());
    EXPECT_EQ(Selected(), "06/15/2009");
}

}  // namespace
