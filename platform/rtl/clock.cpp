#include "platform/rtl/clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "platform/rtl/datetime.h"

namespace {

TClockFunction& InstalledClock()
{
    static TClockFunction clock;
    return clock;
}

}  // namespace

TDateTime SystemClockNow()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int msec = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local {};
    localtime_r(&seconds, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), msec < 0 ? 0 : msec);
}

TDateTime ClockNow()
{
    const TClockFunction& clock = InstalledClock();
    return clock ? clock() : SystemClockNow();
}

void SetClock(TClockFunction Clock) { InstalledClock() = std::move(Clock); }
