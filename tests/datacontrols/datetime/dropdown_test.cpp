// The picker's drop-down calendar: where it goes, opening and closing by keys, the
// button and clicks, accepting and cancelling, and how the picker looks closed and open.

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class DropDownTest : public PickerTest {
protected:
    void SetUp() override
    {
        PickerTest::SetUp();
        Picker->SetUnboundDataType(dwDTEdtDate);
        Picker->OnDropDown = [this](TObject*) { Log.Add("drop down"); };
        Picker->OnCloseUp = [this](TObject*) { Log.Add("close up"); };
        Start();
    }
    TEventLog Log;
};

TEST(DropDownPlacement, BelowOrAboveAndWithinTheWorkArea)
{
    struct Case {
        const char* What;
        TRect Control;
        TdwDTCalAlignment Alignment;
        TPoint Expected;
    };
    const TRect work = Rect(0, 0, 800, 800);
    const TSize calendar {180, 160};
    const Case cases[] = {
            {"left, below", Rect(100, 100, 300, 124), dwdtaLeft, Point(101, 124)},
            {"right", Rect(100, 100, 300, 124), dwdtaRight, Point(300 - 17 - 180 - 1 + 1, 124)},
            {"centre", Rect(100, 100, 300, 124), dwdtaCenter, Point(100 + (200 - 180 - 17 - 1) / 2 + 1, 124)},
            {"above near the bottom", Rect(100, 676, 300, 700), dwdtaLeft, Point(101, 516)},
            {"right screen edge", Rect(680, 100, 780, 124), dwdtaLeft, Point(680 + 100 - 1 - 180 + 1, 124)},
            {"left screen edge", Rect(0, 100, 100, 124), dwdtaRight, Point(0, 124)},
    };
    for (const Case& c : cases) {
        const TPoint at = dwDropDownPosition(c.Control, calendar, c.Alignment, 17, work);
        EXPECT_EQ(at.X, c.Expected.X) << c.What;
        EXPECT_EQ(at.Y, c.Expected.Y) << c.What;
    }
}

TEST_F(DropDownTest, AltDownShowsTodayAndEscRestoresTheEmptyValue)
{
    Picker->SetShowHint(true);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Picker->DroppedDown());
    EXPECT_EQ(Text(), "06/15/2009") << "an empty picker shows today";
    EXPECT_DOUBLE_EQ(std::trunc(Picker->Calendar()->Date()), EncodeDate(2009, 6, 15));
    EXPECT_FALSE(Picker->ShowHint());
    EXPECT_TRUE(Picker->Focused()) << "the focus stays in the picker";
    const TPoint below = Picker->ClientToScreen(Point(0, Picker->Height()));
    EXPECT_EQ(Picker->Calendar()->Left(), below.X + 1);
    EXPECT_EQ(Picker->Calendar()->Top(), below.Y);
    PressKey(Form, Qt::Key_Escape);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Picker->IsNullValue());
    EXPECT_TRUE(Picker->ShowHint());
    EXPECT_EQ(Log.Entries, std::vector<std::string>({"drop down", "close up"}));
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Text(), "") << "the Esc after a cancelled calendar only shows the caret";
}

TEST_F(DropDownTest, KeysMoveTheOpenCalendarAndEnterTakesItsDate)
{
    Picker->SetDate(EncodeDate(2009, 6, 15) + EncodeTime(10, 30, 0, 0));
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    PressKey(Form, Qt::Key_Right);
    PressKey(Form, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(std::trunc(Picker->Calendar()->Date()), EncodeDate(2009, 6, 23));
    EXPECT_EQ(Text(), "06/23/2009") << "the picker follows the calendar";
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_DOUBLE_EQ(Picker->Date(), EncodeDate(2009, 6, 23) + EncodeTime(10, 30, 0, 0))
            << "the time of day stays";
    EXPECT_EQ(Selected(), "06");

    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    PressKey(Form, Qt::Key_PageDown);
    PressKey(Form, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Text(), "07/23/2009") << "Alt+Up closes and accepts";
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    PressKey(Form, Qt::Key_Tab);
    EXPECT_FALSE(Picker->DroppedDown()) << "Tab closes";
    EXPECT_TRUE(Other->Focused()) << "and goes on";
    EXPECT_EQ(Picker->Calendar(), nullptr) << "the calendar goes when the picker is left";
}

TEST_F(DropDownTest, AClickOnADayTakesItAndTheHeaderDoesNot)
{
    Picker->SetDate(EncodeDate(2009, 6, 15) + EncodeTime(10, 30, 0, 0));
    QTest::mouseClick(Picker->Button()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(Picker->DroppedDown()) << "the button drops the calendar down";
    TdwMonthCalendar* cal = Picker->Calendar();
    QPoint header;
    for (int y = 0; y < cal->Height() && header.isNull(); ++y) {
        TDateTime hit = 0;
        if (cal->HitTest(cal->Width() / 2, y, hit) == TdwCalendarHit::DayOfWeekRow)
            header = QPoint(cal->Width() / 2, y + 2);
    }
    QTest::mouseClick(cal->Widget(), Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_TRUE(Picker->DroppedDown()) << "the day names are no day";
    QTest::mouseClick(cal->Widget(), Qt::LeftButton, Qt::NoModifier,
                      CalendarPoint(Picker->Calendar(), EncodeDate(2009, 6, 20)));
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_DOUBLE_EQ(Picker->Date(), EncodeDate(2009, 6, 20) + EncodeTime(10, 30, 0, 0));

    QTest::mouseClick(Picker->Button()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(Picker->DroppedDown());
    QTest::mouseClick(Picker->Button()->Widget(), Qt::LeftButton);
    EXPECT_FALSE(Picker->DroppedDown()) << "the button closes it again";
}

TEST_F(DropDownTest, AWiderCalendarShowsTwoMonthsAndKeysCrossBetweenThem)
{
    Picker->SetDate(EncodeDate(2009, 6, 29));
    TdwMonthCalendar sizer(Form);
    Picker->CalendarAttributes()->SetWidth(2 * sizer.MinimumSize().cx + 10);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Picker->DroppedDown());
    TdwMonthCalendar* cal = Picker->Calendar();
    EXPECT_EQ(cal->MonthColumns(), 2);
    EXPECT_EQ(cal->MonthRows(), 1);
    PressKey(Form, Qt::Key_Right);
    PressKey(Form, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(Picker->Date(), EncodeDate(2009, 7, 1)) << "the picker follows the open calendar";
    EXPECT_DOUBLE_EQ(cal->FirstShownMonth(), EncodeDate(2009, 6, 1)) << "July is shown beside June";
    QTest::mouseClick(cal->Widget(), Qt::LeftButton, Qt::NoModifier,
                      CalendarPoint(cal, EncodeDate(2009, 7, 20)));
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_DOUBLE_EQ(Picker->Date(), EncodeDate(2009, 7, 20));
}

TEST_F(DropDownTest, AClickOutsideClosesAndAccepts)
{
    Picker->SetDate(EncodeDate(2009, 6, 15));
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    PressKey(Form, Qt::Key_Left);
    QTest::mouseClick(Other->Widget(), Qt::LeftButton);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_DOUBLE_EQ(Picker->Date(), EncodeDate(2009, 6, 14));
    EXPECT_EQ(Log.Entries, std::vector<std::string>({"drop down", "close up"}));
}

TEST_F(DropDownTest, NoCalendarForTimesOrWhereNothingMayBeTyped)
{
    Picker->SetUnboundDataType(dwDTEdtTime);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    QTest::mouseClick(Picker->Button()->Widget(), Qt::LeftButton);
    EXPECT_FALSE(Picker->DroppedDown()) << "no calendar for a time";
    Picker->SetUnboundDataType(dwDTEdtDate);
    Picker->SetReadOnly(true);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_TRUE(Log.Entries.empty());
}

TEST_F(DropDownTest, Screenshots)
{
    Picker->CalendarAttributes()->SetOptions({mdoDayState});
    Picker->OnCalcBoldDay = [](TObject*, TDateTime, int, int Day, int, bool& Accept) { Accept = Day == 1; };
    Picker->SetDate(EncodeDate(2009, 6, 15));
    Picker->SetDisplayFormat("ddd, mmm d, yyyy");
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "datetimepicker-closed.png");

    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Picker->DroppedDown());
    QCoreApplication::processEvents();
    // The calendar is a window of its own: drawn over the form where it stands.
    QWidget* window = Form->Widget()->window();
    QImage shot = window->grab().toImage();
    const TPoint at = Picker->Calendar()->ClientToScreen(Point(0, 0));
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    QImage tall(shot.width(), std::max(shot.height(), at.Y - origin.y() + Picker->Calendar()->Height()),
                QImage::Format_RGB32);
    tall.fill(Qt::white);
    QPainter painter(&tall);
    painter.drawImage(0, 0, shot);
    painter.drawPixmap(at.X - origin.x(), at.Y - origin.y(), Picker->Calendar()->Widget()->grab());
    painter.end();
    KeepScreenshot(tall, "datetimepicker-open.png");
}

}  // namespace
