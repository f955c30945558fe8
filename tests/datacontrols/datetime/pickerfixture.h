#pragma once
// A form with a date/time picker and an edit beside it, shown offscreen, the clock
// fixed at 2009-06-15 10:30 and the dialogs scripted; tables go in a temporary directory.

#include <QPoint>
#include <gtest/gtest.h>

#include "datacontrols/datetime/dwdbdatetimepicker.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/tablefixture.h"

class PickerTest : public TableTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The form shown with the picker focused.
    void Start();
    // The picker's text and its selected part.
    String Text() const { return Picker->Text(); }
    String Selected() const { return Picker->SelText(); }
    // Keys typed on the form: digits, letters and the picker's punctuation.
    void Type(const char* Keys);

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TdwDBDateTimePicker* Picker = nullptr;
    TEdit* Other = nullptr;

private:
    String FShortDateFormat;
    String FLongTimeFormat;
    String FShortTimeFormat;
};

// 2009-06-15 10:30, the clock of these tests.
TDateTime PickerNow();
// A point of the calendar over the day Date.
QPoint CalendarPoint(TdwMonthCalendar* Calendar, TDateTime Date);
