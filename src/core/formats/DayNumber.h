#pragma once

// Calendar days as plain integers ("day numbers") so that price records sort
// and merge by integer arithmetic. Day 1 is 1 January of year 0 in the
// proleptic Gregorian calendar; from 30.12.1899 on, the day number equals the
// whole part of the OLE date plus 693960.

#include <cstdint>
#include <string>

namespace mvr {

struct DATUM {
    std::uint8_t day = 0;   // 1..31
    std::uint8_t month = 0; // 1..12
    std::uint16_t year = 0; // full year, e.g. 2005
};

// An OLE automation date with the outcome of building it from calendar fields.
struct OleDateTime {
    double date = 0.0;
    bool valid = true;
};

// Returned by every conversion that rejects its input; consumers treat it like 0.
inline constexpr std::int32_t DAY_NUMBER_INVALID = static_cast<std::int32_t>(0x8000000AU);

// Day number of 30.12.1899, OLE date 0.0.
inline constexpr std::int32_t kOleEpochDayNumber = 693960;

// True for 0 and DAY_NUMBER_INVALID, the two day numbers that name no date.
inline bool IsNoDate(std::int32_t dayNumber) {
    return dayNumber == 0 || dayNumber == DAY_NUMBER_INVALID;
}

bool IsLeapYear(int year);
// The length of a month (1..12) of a year.
int DaysInMonth(int month, int year);
bool IsValidDatum(const DATUM& date);

// DAY_NUMBER_INVALID when the date does not exist.
std::int32_t DatumToDayNumber(const DATUM& date);

// The day number of the first day of a month (1..12) of a year (0..65535).
std::int32_t FirstDayOfMonth(int year, int month);

// Day numbers of calendar dates read in order, as the lines of a price file
// give them: mostly in the month of the date before. The calendar work is
// done once per month; the other days of that month follow by addition.
class CCalendarDayReader {
public:
    // DAY_NUMBER_INVALID when the date does not exist.
    std::int32_t DayNumber(int year, int month, int day) {
        if (year == year_ && month == month_ && day >= 1 && day <= length_) {
            return firstDay_ + day - 1;
        }
        return DayNumberEnteringMonth(year, month, day);
    }

private:
    std::int32_t DayNumberEnteringMonth(int year, int month, int day);

    int year_ = 0;
    int month_ = 0; // 0 while no month was entered
    int length_ = 0;
    std::int32_t firstDay_ = 0;
};

// Defined for day numbers of 1 and above; anything else gives an all-zero DATUM.
DATUM DayNumberToDatum(std::int32_t dayNumber);

// Today's local calendar date.
std::int32_t TodayDayNumber();

// Reads "day.month.year"; two-digit years 0..49 mean 2000..2049 and 50..99
// mean 1950..1999. On failure `dayNumber` is DAY_NUMBER_INVALID.
bool ParseDateText(const char* text, std::int32_t* dayNumber);

// "dd.mm.yyyy", or empty for 0 and DAY_NUMBER_INVALID.
std::string FormatDayNumber(std::int32_t dayNumber);

// "dd.mm.yyyy hh:mm:ss" (hours modulo 24), or empty.
std::string FormatDayNumberTime(std::int32_t dayNumber, std::int32_t secondsOfDay);

// Invalid when the time is 24 hours or more or the date lies outside 100..9999.
OleDateTime DayNumberToOleDate(std::int32_t dayNumber, std::int32_t secondsOfDay = 0);

// The calendar day of an OLE date (time dropped), or DAY_NUMBER_INVALID.
std::int32_t OleDateToDayNumber(const OleDateTime& oleDate);
std::int32_t OleDateToDayNumber(double oleDate);

// The OLE date of a day number at midnight as the price stores use it:
// day number - 693960, and 0.0 for no date.
double DayNumberToPlainOleDate(std::int32_t dayNumber);

} // namespace mvr
