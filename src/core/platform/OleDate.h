#pragma once

// OLE automation dates: a double counting days since 30.12.1899 00:00 with the
// time of day as fraction. Before that day the whole part counts backwards
// while the fraction still counts the time forward (-1.25 is 29.12.1899 06:00).
// The range is that of the platform: 1.1.100 to 31.12.9999; conversions to
// calendar fields round to the nearest second.

#include <cstdint>

namespace mvr {

struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;     // 1..12
    std::uint16_t dayOfWeek = 0; // 0 = Sunday; ignored on input
    std::uint16_t day = 0;       // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0; // ignored on input, 0 on output
};

inline constexpr double kOleDateMin = -657434.0;           // 1.1.100 00:00:00
inline constexpr double kOleDateMax = 2958465.99999421296; // 31.12.9999 23:59:59.5

// Days since 1.1.1970 of a proleptic Gregorian date, and the date of such a
// day count (after H. Hinnant's civil-calendar algorithms): the calendar
// arithmetic every date conversion of the system shares.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int* year, int* month, int* day);

// False when a field lies outside its range or the date does not exist.
bool SystemTimeToVariantTime(const SystemTime& time, double* oleDate);

// False when the date lies outside the representable range.
bool VariantTimeToSystemTime(double oleDate, SystemTime* time);

// The current time as an OLE date, from the system clock in UTC.
double CurrentUtcOleDate();

} // namespace mvr
