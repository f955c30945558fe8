#include "tables/drojulian.h"

#include "platform/rtl/datetime.h"
#include "tables/droerror.h"

namespace {

// Days before each month of a common year; index 13 is the year's length.
constexpr int Cumulative[14] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int JulianOffset = 1721425;

bool Leap(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

}  // namespace

int YearToJulian(int Year)
{
    const int y = Year - 1;
    return 365 * y + y / 4 - y / 100 + y / 400;
}

bool MonthDay(int Year, int DayOfYear, int& Month, int& Day)
{
    int leap = Leap(Year) && DayOfYear > 59 ? 1 : 0;
    for (int k = 2; k <= 13; ++k) {
        if (DayOfYear <= Cumulative[k] + leap) {
            Month = k - 1;
            if (Month <= 2)
                leap = 0;
            Day = DayOfYear - Cumulative[Month] - leap;
            return true;
        }
    }
    Month = 0;
    Day = 0;
    return false;
}

int JulianDayYear(int Year, int Month, int Day)
{
    const int leap = Leap(Year) ? 1 : 0;
    if (Year < 0 || Month < 1 || Month > 12 || Day < 1)
        return -1;
    const int days = Cumulative[Month + 1] - Cumulative[Month] + (Month == 2 ? leap : 0);
    if (Day > days)
        return -1;
    return Day + Cumulative[Month] + (Month > 2 ? leap : 0);
}

TDateTime JulianToDT(double Julian)
{
    if (Julian == 1E+100 || Julian == 0)
        return 0;
    const int d = static_cast<int>(Julian) - JulianOffset;
    int year = static_cast<int>(d / 365.2425) + 1;
    int n = d - YearToJulian(year);
    if (n <= 0) {
        --year;
        n = d - YearToJulian(year);
    }
    const int length = Leap(year) ? 366 : 365;
    if (n > length) {
        ++year;
        n -= length;
    }
    int month = 0;
    int day = 0;
    if (!MonthDay(year, n, month, day))
        throw EDaroruError("Invalid Date value");
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EDaroruError("Invalid Date value");
    return result;
}

double DTtoJulian(TDateTime Date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(Date, year, month, day);
    if (year == 0)
        return -2.0;
    if (year < 1000)
        return -1.0;
    const int n = JulianDayYear(year, month, day);
    if (n < 1)
        return -1.0;
    return n + YearToJulian(year) + JulianOffset;
}
