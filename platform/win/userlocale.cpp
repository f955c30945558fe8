#include "platform/win/userlocale.h"

#include <cstdint>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>

#include "platform/rtl/datetime.h"

namespace {

// The first weekday of the time locale, read anew.
int ReadFirstDayOfWeek()
{
    const locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale)
        return 1;
    // The locale counts its first weekday (1-based) from a reference day it gives as
    // the number yyyymmdd.
    const int firstWeekday = *nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, locale);
    const auto reference =
            static_cast<int>(reinterpret_cast<intptr_t>(nl_langinfo_l(_NL_TIME_WEEK_1STDAY, locale)));
    freelocale(locale);
    TDateTime referenceDay = 0;
    if (firstWeekday < 1 || firstWeekday > 7 ||
        !TryEncodeDate(reference / 10000, reference / 100 % 100, reference % 100, referenceDay))
        return 1;
    return (DayOfWeek(referenceDay) - 1 + firstWeekday - 1) % 7 + 1;
}

std::string EnvironmentText(const char* Name)
{
    const char* value = std::getenv(Name);
    return value ? value : "";
}

}  // namespace

char UserDecimalSeparator()
{
    const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return '.';
    const std::string radix = nl_langinfo_l(RADIXCHAR, user);
    freelocale(user);
    return radix == "," ? ',' : '.';
}

int UserFirstDayOfWeek()
{
    // A calendar asks on every paint: the locale is read again only when the
    // environment names another one.
    static std::string readFor;
    static int firstDay = 0;
    const std::string names = EnvironmentText("LC_ALL") + "|" + EnvironmentText("LC_TIME") + "|" +
                              EnvironmentText("LANG") + "|" + EnvironmentText("LOCPATH");
    if (firstDay == 0 || names != readFor) {
        firstDay = ReadFirstDayOfWeek();
        readFor = names;
    }
    return firstDay;
}
