#include "platform/rtl/twodigityear.h"

#include <cstdlib>

int TwoDigitYearCenturyWindow = 50;

int TableCenturyWindow(int CurrentYear, int Epoch) { return std::abs(CurrentYear - Epoch) % 100; }

int CenturyWindowYear(int Year, int CurrentYear, int Window)
{
    const int base = CurrentYear - Window;
    int year = Year + base / 100 * 100;
    if (Window > 0 && year < base)
        year += 100;
    return year;
}

int EpochWindowYear(int Year, int Epoch)
{
    const int year = Year + Epoch / 100 * 100;
    return year < Epoch ? year + 100 : year;
}

int DataAwareTwoDigitYear(int Year, int Epoch) { return EpochWindowYear(Year, Epoch == 0 ? 1950 : Epoch); }

int DateEditTwoDigitYear(int Year) { return Year <= 20 ? 2000 + Year : 1900 + Year; }

int DashedDateTextTwoDigitYear(int Year) { return Year > 60 ? 1900 + Year : 2000 + Year; }

int SlashedDateTextTwoDigitYear(int Year) { return 2000 + Year; }
