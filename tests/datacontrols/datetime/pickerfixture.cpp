#include "tests/datacontrols/datetime/pickerfixture.h"

#include "platform/classes/object.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "tests/support/formtesting.h"

TDateTime PickerNow() { return EncodeDate(2009, 6, 15) + EncodeTime(10, 30, 0, 0); }

QPoint CalendarPoint(TdwMonthCalendar* Calendar, TDateTime Date)
{
    for (int y = 0; y < Calendar->Height(); y += 2)
        for (int x = 0; x < Calendar->Width(); x += 2) {
            TDateTime hit = 0;
            if (Calendar->HitTest(x, y, hit) == TdwCalendarHit::Day && hit == Date)
                return QPoint(x + 3, y + 3);
        }
    ADD_FAILURE() << "no point shows " << Date;
    return QPoint();
}

void PickerTest::SetUp()
{
    TableTest::SetUp();
    FShortDateFormat = ShortDateFormat;
    FLongTimeFormat = LongTimeFormat;
    FShortTimeFormat = ShortTimeFormat;
    SetClock([] { return PickerNow(); });
    Form = Construct<TForm>(nullptr);
    Form->SetBounds(100, 100, 360, 260);
    Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetBounds(20, 200, 100, 24);
    Picker = new TdwDBDateTimePicker(Form);
    Picker->SetParent(Form);
    Picker->SetBounds(20, 20, 220, 24);
}

void PickerTest::TearDown()
{
    Form->Free();
    ForgetHeldInput();
    SetClock(nullptr);
    ShortDateFormat = FShortDateFormat;
    LongTimeFormat = FLongTimeFormat;
    ShortTimeFormat = FShortTimeFormat;
    TableTest::TearDown();
}

void PickerTest::Start()
{
    ShowForm(Form);
    Picker->SetFocus();
}

void PickerTest::Type(const char* Keys) { TypeText(Form, Keys); }
