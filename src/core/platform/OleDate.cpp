#include "core/platform/OleDate.h"

#include <chrono>
#include <cmath>

namespace mvr {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kLengths[month - 1];
}

const std::int64_t kOleEpochDays = DaysFromCivil(1899, 12, 30);

} // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yoe = year - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int* year, int* month, int* day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

bool SystemTimeToVariantTime(const SystemTime& time, double* oleDate) {
    if (time.year < 100 || time.year > 9999 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > DaysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 59) {
        return false;
    }
    const auto days =
        static_cast<double>(DaysFromCivil(time.year, time.month, time.day) - kOleEpochDays);
    const double fraction =
        static_cast<double>(time.hour * 3600 + time.minute * 60 + time.second) / kSecondsPerDay;
    *oleDate = days >= 0 ? days + fraction : days - fraction;
    return true;
}

bool VariantTimeToSystemTime(double oleDate, SystemTime* time) {
    if (!(oleDate >= kOleDateMin && oleDate <= kOleDateMax)) {
        return false;
    }
    const double whole = std::trunc(oleDate);
    std::int64_t days = static_cast<std::int64_t>(whole);
    std::int64_t seconds = std::llround(std::fabs(oleDate - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(kOleEpochDays + days, &year, &month, &day);
    if (year < 100 || year > 9999) {
        return false;
    }
    time->year = static_cast<std::uint16_t>(year);
    time->month = static_cast<std::uint16_t>(month);
    time->day = static_cast<std::uint16_t>(day);
    // 1.1.1970 was a Thursday.
    const std::int64_t sinceEpoch = kOleEpochDays + days;
    time->dayOfWeek = static_cast<std::uint16_t>(((sinceEpoch % 7) + 7 + 4) % 7);
    time->hour = static_cast<std::uint16_t>(seconds / 3600);
    time->minute = static_cast<std::uint16_t>((seconds / 60) % 60);
    time->second = static_cast<std::uint16_t>(seconds % 60);
    time->milliseconds = 0;
    return true;
}

double CurrentUtcOleDate() {
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<double>(now) / (kSecondsPerDay * 1000.0) -
           static_cast<double>(kOleEpochDays);
}

} // namespace mvr
