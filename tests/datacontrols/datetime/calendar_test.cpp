// The month calendar: keys, limits, clicks on days and the title, the month and year
// menus, bold days, range selection, its settings objects, the months an enlarged
// calendar shows, and how it looks.

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/common/wwintl.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/graphics/graphics.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"
#include "tests/support/tempdir.h"

namespace {

class CalendarTest : public PickerTest {
protected:
    void SetUp() override
    {
        PickerTest::SetUp();
        Cal = new TdwMonthCalendar(Form);
        Cal->SetParent(Form);
        Cal->SetBounds(40, 30, Cal->Width(), Cal->Height());
        Cal->OnChange = [this](TObject*) { ++Changes; };
        ShowForm(Form);
        Cal->SetFocus();
    }
    QPoint DayPoint(TDateTime Date) { return CalendarPoint(Cal, Date); }
    QPoint PointOf(TdwCalendarHit Wanted)
    {
        for (int y = 0; y < Cal->Height(); ++y)
            for (int x = 0; x < Cal->Width(); ++x) {
                TDateTime hit = 0;
                if (Cal->HitTest(x, y, hit) == Wanted)
                    return QPoint(x + 2, y + 2);
            }
        ADD_FAILURE() << "nothing of that kind";
        return QPoint();
    }
    std::vector<String> Captions(TMenu* Menu)
    {
        std::vector<String> captions;
        for (int k = 0; k < Menu->Items()->Count(); ++k) {
            const TMenuItem* item = Menu->Items()->Items(k);
            captions.push_back(item->Caption() + (item->Break() ? "|" : "") + (item->Checked() ? "*" : "") +
                               (item->Enabled() ? "" : "-"));
        }
        return captions;
    }

    TdwMonthCalendar* Cal = nullptr;
    int Changes = 0;
};

TEST_F(CalendarTest, KeysMoveTheDate)
{
    struct Case {
        TDateTime Start;
        Qt::Key Key;
        TDateTime Expected;
    };
    const Case cases[] = {
            {EncodeDate(2009, 1, 31), Qt::Key_PageDown, EncodeDate(2009, 2, 28)},
            {EncodeDate(2008, 1, 31), Qt::Key_PageDown, EncodeDate(2008, 2, 29)},
            {EncodeDate(2009, 3, 31), Qt::Key_PageUp, EncodeDate(2009, 2, 28)},
            {EncodeDate(2009, 1, 15), Qt::Key_PageUp, EncodeDate(2008, 12, 15)},
            {EncodeDate(2009, 12, 31), Qt::Key_Right, EncodeDate(2010, 1, 1)},
            {EncodeDate(2009, 6, 15), Qt::Key_Left, EncodeDate(2009, 6, 14)},
            {EncodeDate(2009, 6, 15), Qt::Key_Up, EncodeDate(2009, 6, 8)},
            {EncodeDate(2009, 6, 28), Qt::Key_Down, EncodeDate(2009, 7, 5)},
    };
    for (const Case& c : cases) {
        Cal->SetDate(c.Start);
        const int before = Changes;
        PressKey(Form, c.Key);
        EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), c.Expected) << c.Start << " key " << c.Key;
        EXPECT_EQ(Changes, before + 1);
    }
    EXPECT_DOUBLE_EQ(Cal->Time(), 0.4375) << "the time of day from creation (now) stays";
}

TEST_F(CalendarTest, NothingLeavesTheLimits)
{
    Cal->SetMinDate(EncodeDate(2009, 6, 10));
    Cal->SetMaxDate(EncodeDate(2009, 7, 10));
    Cal->SetDate(EncodeDate(2009, 6, 12));
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_PageUp}) {
        const int beeps = Dialogs.Beeps;
        PressKey(Form, key);
        EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 12));
        EXPECT_EQ(Dialogs.Beeps, beeps + 1) << "a beep, and no error";
    }
    EXPECT_EQ(Changes, 0);
    EXPECT_THROW(Cal->SetDate(EncodeDate(2009, 8, 1)), EDateTimeError);
    try {
        Cal->SetMinDate(EncodeDate(2009, 8, 1));
        FAIL();
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date exceeds maximum of 07/10/2009");
    }

    // A greyed day is told to the mouse events and changes nothing.
    std::vector<String> mouse;
    Cal->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int, int Month, int Day, int Year) {
        mouse.push_back("down " + IntToStr(Month) + "/" + IntToStr(Day) + "/" + IntToStr(Year));
    };
    Cal->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int, int Month, int Day, int Year) {
        mouse.push_back("up " + IntToStr(Month) + "/" + IntToStr(Day) + "/" + IntToStr(Year));
    };
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, DayPoint(EncodeDate(2009, 6, 5)));
    EXPECT_EQ(mouse, std::vector<String>({"down 6/5/2009", "up 6/5/2009"}));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 12));
    EXPECT_EQ(Changes, 0);
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, DayPoint(EncodeDate(2009, 6, 20)));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 20));
    EXPECT_EQ(Changes, 1);

    // The title's buttons compare before they move.
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnPrev));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 20));
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnNext));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 20)) << "July 20 is past the maximum";
}

TEST_F(CalendarTest, TheNextButtonKeepsTheDayWithinTheMonth)
{
    Cal->SetDate(EncodeDate(2009, 1, 31));
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnNext));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 2, 28));
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnPrev));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 1, 28));
    EXPECT_EQ(Changes, 2);
}

TEST_F(CalendarTest, TheYearMenuListsItsColumnsOfYears)
{
    Cal->SetDate(EncodeDate(2008, 2, 29));
    Cal->BuildYearMenu();
    std::vector<String> expected;
    for (int year = 1990; year <= 2009; ++year)
        expected.push_back(IntToStr(year) + (year == 2000 ? "|" : "") + (year == 2008 ? "*" : ""));
    EXPECT_EQ(Captions(Cal->YearMenu()), expected);

    Cal->PopupYearOptions()->SetShowEditYear(true);
    Cal->PopupYearOptions()->SetYearsPerColumn(2);
    Cal->PopupYearOptions()->SetNumberColumns(2);
    Cal->BuildYearMenu();
    EXPECT_EQ(Captions(Cal->YearMenu()),
              std::vector<String>({"Edit Year", "-", "1990|", "1991", "1992|", "1993"}));
    Cal->PopupYearOptions()->SetYearsPerColumn(1);
    Cal->BuildYearMenu();
    EXPECT_EQ(Captions(Cal->YearMenu()), std::vector<String>({"Edit Year", "-", "1990", "1991|"}));
    Cal->PopupYearOptions()->SetYearsPerColumn(0);
    Cal->PopupYearOptions()->SetShowEditYear(false);
    Cal->BuildYearMenu();
    EXPECT_EQ(Captions(Cal->YearMenu()), std::vector<String>({"1990", "1991|"}))
            << "no years per column counts as one";
}

TEST_F(CalendarTest, MonthsAndYearsOutsideTheLimitsAreGreyed)
{
    Cal->SetMinDate(EncodeDate(2000, 3, 15));
    Cal->SetMaxDate(EncodeDate(2010, 6, 30));
    Cal->SetDate(EncodeDate(2008, 2, 29));
    Cal->PopupYearOptions()->SetStartYear(1999);
    Cal->PopupYearOptions()->SetYearsPerColumn(13);
    Cal->PopupYearOptions()->SetNumberColumns(1);
    Cal->BuildYearMenu();
    const std::vector<String> years = Captions(Cal->YearMenu());
    EXPECT_EQ(years.front(), "1999-");
    EXPECT_EQ(years[1], "2000-") << "February 29, 2000 is before March 15";
    EXPECT_EQ(years[2], "2001");
    EXPECT_EQ(years[11], "2010");
    EXPECT_EQ(years[12], "2011-");

    Cal->SetDate(EncodeDate(2000, 4, 20));
    Cal->BuildMonthMenu();
    const std::vector<String> months = Captions(Cal->MonthMenu());
    EXPECT_EQ(months[0], "January-");
    EXPECT_EQ(months[1], "February-");
    EXPECT_EQ(months[2], "March");
    EXPECT_EQ(months[3], "April*");

    Cal->MonthMenu()->Items()->Items(10)->Click();
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2000, 11, 20));
    Cal->BuildYearMenu();
    Cal->YearMenu()->Items()->Items(7)->Click();
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2006, 11, 20));
}

TEST_F(CalendarTest, TheEditYearItemAsksWithinTheLimits)
{
    EXPECT_EQ(Cal->EnterYearPrompt(), "Enter New Year:Enter Valid Year");
    Cal->SetMaxDate(EncodeDate(2010, 12, 31));
    EXPECT_EQ(Cal->EnterYearPrompt(), "Enter New Year:Enter Valid Year (<=2010)");
    Cal->SetMinDate(EncodeDate(2000, 1, 1));
    EXPECT_EQ(Cal->EnterYearPrompt(), "Enter New Year:Enter Valid Year (2000-2010)");
    Cal->SetMaxDate(0);
    EXPECT_EQ(Cal->EnterYearPrompt(), "Enter New Year:Enter Valid Year (>=2000)");

    Cal->SetMaxDate(EncodeDate(2010, 12, 31));
    Cal->SetDate(EncodeDate(2009, 6, 15));
    Cal->PopupYearOptions()->SetShowEditYear(true);
    Cal->BuildYearMenu();
    Dialogs.AnswerInput("2003");
    Dialogs.AnswerInput("2042");
    Dialogs.AnswerInput("abc");
    for (int k = 0; k < 3; ++k)
        Cal->YearMenu()->Items()->Items(0)->Click();
    ASSERT_EQ(Dialogs.InputPrompts.size(), 3u);
    EXPECT_EQ(Dialogs.InputPrompts[0], "Enter New Year:Enter Valid Year (2000-2010)");
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2003, 6, 15))
            << "a year beyond the limits or no year changes nothing";
    EXPECT_EQ(Changes, 1);
}

TEST_F(CalendarTest, TheTitleOpensItsMenus)
{
    Cal->SetDate(EncodeDate(2009, 6, 15));
    bool showing = false;
    QTimer::singleShot(50, [&] {
        showing = Cal->YearMenu()->Showing();
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    });
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleYear));
    EXPECT_TRUE(showing);
    EXPECT_FALSE(Cal->YearMenu()->Showing());
    EXPECT_EQ(Cal->YearMenu()->Items()->Count(), 20);
}

TEST_F(CalendarTest, BoldDaysComeFromTheEvent)
{
    int asked = 0;
    Cal->OnCalcBoldDay = [&](TObject*, TDateTime, int, int Day, int, bool& Accept) {
        ++asked;
        Accept = Day == 1 || Day == 15;
    };
    EXPECT_EQ(Cal->DayStateMask(2009, 6), 0x4001u);
    EXPECT_EQ(asked, 30);
    Cal->SetOptions({});
    EXPECT_EQ(Cal->DayStateMask(2009, 6), 0u);
    EXPECT_EQ(asked, 30) << "without mdoDayState nobody is asked";
}

TEST_F(CalendarTest, ShiftAndTheArrowsSelectARange)
{
    Cal->SetOptions({mdoMultiSelect});
    Cal->SetMaxSelectCount(5);
    Cal->SetDate(EncodeDate(2009, 6, 15));
    PressKey(Form, Qt::Key_Right, Qt::ShiftModifier);
    PressKey(Form, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(Cal->SelectionStart(), EncodeDate(2009, 6, 15));
    EXPECT_DOUBLE_EQ(Cal->SelectionEnd(), EncodeDate(2009, 6, 17));
    PressKey(Form, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 6, 15)) << "no paging with a range";
    const int beeps = Dialogs.Beeps;
    PressKey(Form, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Dialogs.Beeps, beeps + 1) << "more than MaxSelectCount days";
    PressKey(Form, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(Cal->SelectionEnd(), EncodeDate(2009, 6, 16));
    Cal->SetSelectionRange(EncodeDate(2009, 6, 30), EncodeDate(2009, 6, 20));
    EXPECT_DOUBLE_EQ(Cal->SelectionStart(), EncodeDate(2009, 6, 20));
    EXPECT_DOUBLE_EQ(Cal->SelectionEnd(), EncodeDate(2009, 6, 24));
}

TEST_F(CalendarTest, SettingsCopyOnlyFromTheirOwnKind)
{
    TdwDateTimeColors colors(nullptr);
    colors.SetTitleBackColor(clRed);
    Cal->CalColors()->Assign(&colors);
    EXPECT_EQ(Cal->CalColors()->TitleBackColor(), clRed);
    TFont font;
    try {
        Cal->CalColors()->Assign(&font);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TdwDateTimeColors");
    }
    try {
        Cal->CalColors()->Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TdwDateTimeColors");
    }
    const std::pair<TdwCalDayOfWeek, int> days[] = {{dwdowMonday, 2},
                                                    {dwdowSaturday, 7},
                                                    {dwdowSunday, 1},
                                                    {dwdowLocaleDefault, dwLocaleFirstDayOfWeek()}};
    for (const auto& [day, sundayBased] : days)
        EXPECT_EQ(dwFirstDayOfWeek(day), sundayBased) << day;
    Cal->SetDate(EncodeDate(2009, 6, 15));
    Cal->SetFirstDayOfWeek(dwdowMonday);
    TDateTime first = 0;
    QPoint corner = DayPoint(EncodeDate(2009, 6, 1));
    EXPECT_EQ(Cal->HitTest(corner.x(), corner.y(), first), TdwCalendarHit::Day);
    EXPECT_EQ(DayOfWeek(first), 2) << "June 1, 2009, a Monday, opens its week";
}

// The locale default follows the user's time locale: each is compiled by localedef into
// a directory of the test's own, named by LOCPATH and LC_ALL as a user's session names it.
TEST_F(CalendarTest, TheLocaleDefaultWeekStartsOnTheUsersFirstDay)
{
    const TempDir locales("calendar-locales");
    const std::string dir = locales.Root();
    const char* const savedAll = std::getenv("LC_ALL");
    const std::string saved = savedAll ? savedAll : "";
    setenv("LOCPATH", dir.c_str(), 1);
    const struct {
        const char* Locale;
        int FirstDay;  // 1 = Sunday
    } cases[] = {{"de_DE", 2}, {"en_US", 1}, {"ar_EG", 7}, {"xx_NONE", 1}};
    Cal->SetDate(EncodeDate(2009, 6, 15));
    Cal->SetFirstDayOfWeek(dwdowLocaleDefault);
    for (const auto& c : cases) {
        const std::string name = std::string(c.Locale) + ".UTF-8";
        if (std::string(c.Locale) != "xx_NONE") {
            const std::string make =
                    "localedef -i " + std::string(c.Locale) + " -f UTF-8 " + dir + "/" + name;
            ASSERT_EQ(std::system(make.c_str()), 0) << make;
        }
        setenv("LC_ALL", name.c_str(), 1);
        EXPECT_EQ(dwFirstDayOfWeek(dwdowLocaleDefault), c.FirstDay) << c.Locale;
        Cal->Invalidate();
        // The first day of the week of June 1, 2009 (a Monday) opens its row: the next
        // six follow it on the row, the seventh opens the next.
        const TDateTime opening = EncodeDate(2009, 5, 31) + (c.FirstDay == 7 ? -1 : c.FirstDay - 1);
        EXPECT_LT(DayPoint(opening).x(), DayPoint(opening + 6).x()) << c.Locale;
        EXPECT_EQ(DayPoint(opening).y(), DayPoint(opening + 6).y()) << c.Locale;
        EXPECT_EQ(DayPoint(opening).x(), DayPoint(opening + 7).x()) << c.Locale;
        if (c.FirstDay == 2)
            KeepScreenshot(Cal->Widget()->grab(), "calendar-locale-monday.png");
    }
    if (savedAll)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    unsetenv("LOCPATH");
}

class EnlargedCalendarTest : public CalendarTest {
protected:
    // Room for two months by two, from June 2009.
    void SetUp() override
    {
        CalendarTest::SetUp();
        Cal->SetDate(EncodeDate(2009, 6, 15));
        const TSize one = Cal->MinimumSize();
        Cal->SetBounds(10, 10, 2 * one.cx + 10, 2 * one.cy);
        Form->SetBounds(100, 100, Cal->Width() + 40, Cal->Height() + 40);
    }
    // A point over the title's month (or year) of the shown month Month (1-based year's).
    QPoint TitlePoint(TdwCalendarHit Wanted, int Month)
    {
        for (int y = 0; y < Cal->Height(); ++y)
            for (int x = 0; x < Cal->Width(); ++x) {
                TDateTime hit = 0;
                if (Cal->HitTest(x, y, hit) != Wanted)
                    continue;
                // The day under the title's point, further down, names its month.
                for (int below = y; below < Cal->Height(); ++below)
                    if (Cal->HitTest(x, below, hit) == TdwCalendarHit::Day) {
                        int year, month, day;
                        DecodeDate(hit + 7, year, month, day);
                        if (month == Month)
                            return QPoint(x + 2, y + 2);
                        break;
                    }
            }
        ADD_FAILURE() << "no title of month " << Month;
        return QPoint();
    }
    TDateTime FirstShown() const { return Cal->FirstShownMonth(); }
    // Clicks Part of the title of the shown month Month and answers the captions of the
    // menu that comes up; its item Choose (none when -1) is clicked before it closes.
    std::vector<String> MenuOfTitle(TdwCalendarHit Part, int Month, int Choose)
    {
        std::vector<String> captions;
        QTimer::singleShot(50, [&] {
            TMenu* menu = Part == TdwCalendarHit::TitleMonth ? Cal->MonthMenu() : Cal->YearMenu();
            captions = Captions(menu);
            if (Choose >= 0)
                menu->Items()->Items(Choose)->Click();
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, TitlePoint(Part, Month));
        return captions;
    }
};

TEST_F(EnlargedCalendarTest, ItShowsAsManyMonthsAsFitAndKeysMoveAcrossThem)
{
    EXPECT_EQ(Cal->MonthColumns(), 2);
    EXPECT_EQ(Cal->MonthRows(), 2);
    EXPECT_EQ(Cal->MonthDelta(), 4);
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 6, 1));

    // Keys move the date from month to month; the months scroll only to keep it shown.
    struct Case {
        TDateTime Start;
        Qt::Key Key;
        TDateTime Expected;
        TDateTime FirstShown;
    };
    const Case cases[] = {
            {EncodeDate(2009, 6, 30), Qt::Key_Right, EncodeDate(2009, 7, 1), EncodeDate(2009, 6, 1)},
            {EncodeDate(2009, 8, 31), Qt::Key_PageDown, EncodeDate(2009, 9, 30), EncodeDate(2009, 6, 1)},
            {EncodeDate(2009, 9, 28), Qt::Key_Down, EncodeDate(2009, 10, 5), EncodeDate(2009, 7, 1)},
            {EncodeDate(2009, 7, 3), Qt::Key_Up, EncodeDate(2009, 6, 26), EncodeDate(2009, 6, 1)},
    };
    for (const Case& c : cases) {
        Cal->SetDate(c.Start);
        PressKey(Form, c.Key);
        EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), c.Expected) << c.Start << " key " << c.Key;
        EXPECT_DOUBLE_EQ(FirstShown(), c.FirstShown) << c.Start << " key " << c.Key;
    }
}

TEST_F(EnlargedCalendarTest, ClicksReachEveryMonthAndTheButtonsMoveByAllShown)
{
    // A day of the last month shown, then the buttons: four months at a time.
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, DayPoint(EncodeDate(2009, 9, 10)));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 9, 10));
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 6, 1));
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnNext));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2010, 1, 10));
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 10, 1));
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, PointOf(TdwCalendarHit::TitleBtnPrev));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 9, 10));
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 6, 1));
    EXPECT_EQ(Changes, 3);

    // Days of the months around show only before the first month and after the last:
    // May 31 in June's first week, October 1 after September; July's own last days
    // stand in July alone.
    const auto hits = [this](TDateTime Date) {
        int count = 0;
        for (int y = 0; y < Cal->Height(); y += 2)
            for (int x = 0; x < Cal->Width(); x += 2) {
                TDateTime hit = 0;
                count += Cal->HitTest(x, y, hit) == TdwCalendarHit::Day && hit == Date;
            }
        return count;
    };
    const int one = hits(EncodeDate(2009, 7, 15));
    ASSERT_GT(one, 0);
    EXPECT_EQ(hits(EncodeDate(2009, 5, 31)), one);
    EXPECT_EQ(hits(EncodeDate(2009, 7, 31)), one) << "not again in August's first week";
    EXPECT_EQ(hits(EncodeDate(2009, 8, 1)), one) << "not again in July's last week";
    EXPECT_EQ(hits(EncodeDate(2009, 10, 1)), one);

    // A click on a day after the last month scrolls the months to show it.
    QTest::mouseClick(Cal->Widget(), Qt::LeftButton, Qt::NoModifier, DayPoint(EncodeDate(2009, 10, 1)));
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 10, 1));
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 7, 1));
}

TEST_F(EnlargedCalendarTest, EachTitleOffersItsOwnMonthAndYear)
{
    Cal->SetMaxDate(EncodeDate(2010, 3, 31));
    // Under August's title the month menu checks August; December moves every month,
    // and the date with them, four months on.
    std::vector<String> captions = MenuOfTitle(TdwCalendarHit::TitleMonth, 8, 11);
    ASSERT_EQ(captions.size(), 12u);
    EXPECT_EQ(captions[7], "August*");
    EXPECT_EQ(captions[11], "December") << "June moved four months on is within the limits";
    EXPECT_DOUBLE_EQ(std::trunc(Cal->Date()), EncodeDate(2009, 10, 15));
    EXPECT_DOUBLE_EQ(FirstShown(), EncodeDate(2009, 10, 1));
    EXPECT_EQ(Changes, 1);

    // Under January 2010's title the year menu checks 2010; 2011 would take the date
    // past the maximum.
    Cal->PopupYearOptions()->SetStartYear(2000);
    captions = MenuOfTitle(TdwCalendarHit::TitleYear, 1, -1);
    ASSERT_EQ(captions.size(), 20u);
    EXPECT_EQ(captions[9], "2009");
    EXPECT_EQ(captions[10], "2010|*") << "the second column begins with 2010";
    EXPECT_EQ(captions[11], "2011-");
    Cal->BuildYearMenu();
    EXPECT_EQ(Captions(Cal->YearMenu())[9], "2009*") << "without a title clicked: the date's own year";
}

TEST_F(EnlargedCalendarTest, Screenshot)
{
    Cal->SetOptions({mdoDayState});
    Cal->OnCalcBoldDay = [](TObject*, TDateTime, int, int Day, int, bool& Accept) { Accept = Day == 1; };
    Cal->SetDate(EncodeDate(2009, 7, 15));
    QCoreApplication::processEvents();
    KeepScreenshot(Cal->Widget()->grab(), "monthcalendar-enlarged.png");
}

TEST_F(CalendarTest, Screenshot)
{
    Cal->SetOptions({mdoDayState, mdoWeekNumbers});
    Cal->OnCalcBoldDay = [](TObject*, TDateTime, int, int Day, int, bool& Accept) { Accept = Day % 7 == 1; };
    Cal->SetMinDate(EncodeDate(2009, 6, 4));
    Cal->SetDate(EncodeDate(2009, 6, 15));
    QCoreApplication::processEvents();
    KeepScreenshot(Cal->Widget()->grab(), "monthcalendar.png");
}

}  // namespace
