#include "core/formats/DayNumber.h"

#include "core/platform/OleDate.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace mvr {

namespace {

constexpr int kCommonMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The day number of 1.1.1970, day 0 of the shared calendar arithmetic.
constexpr std::int64_t kCivilEpochDayNumber = 719529;

// The decimal number at the start of `text` as atoi reads it: leading blanks
// and a sign accepted, no digits gives 0. Saturates instead of overflowing.
long ReadNumber(const char* text) {
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        value = value < 100000000 ? value * 10 + (*text - '0') : value;
    }
    return negative ? -value : value;
}

} // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    return month == 2 && IsLeapYear(year) ? 29 : kCommonMonthLengths[month - 1];
}

bool IsValidDatum(const DATUM& date) {
    if (date.day == 0 || date.day > 31 || date.month == 0 || date.month > 12) {
        return false;
    }
    return date.day <= DaysInMonth(date.month, date.year);
}

std::int32_t DatumToDayNumber(const DATUM& date) {
    if (!IsValidDatum(date)) {
        return DAY_NUMBER_INVALID;
    }
    return static_cast<std::int32_t>(DaysFromCivil(date.year, date.month, date.day) +
                                     kCivilEpochDayNumber);
}

std::int32_t FirstDayOfMonth(int year, int month) {
    return DatumToDayNumber(
        DATUM{1, static_cast<std::uint8_t>(month), static_cast<std::uint16_t>(year)});
}

std::int32_t CCalendarDayReader::DayNumberEnteringMonth(int year, int month, int day) {
    if (year < 0 || year > 0xFFFF || month < 1 || month > 12) {
        return DAY_NUMBER_INVALID;
    }
    year_ = year;
    month_ = month;
    length_ = DaysInMonth(month, year);
    firstDay_ = FirstDayOfMonth(year, month);
    return day >= 1 && day <= length_ ? firstDay_ + day - 1 : DAY_NUMBER_INVALID;
}

DATUM DayNumberToDatum(std::int32_t dayNumber) {
    if (dayNumber < 1) {
        return DATUM{};
    }
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(dayNumber - kCivilEpochDayNumber, &year, &month, &day);
    return DATUM{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                 static_cast<std::uint16_t>(year)};
}

std::int32_t TodayDayNumber() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(local.tm_mday),
                                  static_cast<std::uint8_t>(local.tm_mon + 1),
                                  static_cast<std::uint16_t>(local.tm_year + 1900)});
}

bool ParseDateText(const char* text, std::int32_t* dayNumber) {
    *dayNumber = DAY_NUMBER_INVALID;
    if (text == nullptr || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    const long day = ReadNumber(text);
    const char* firstStop = std::strchr(text, '.');
    if (firstStop == nullptr) {
        return false;
    }
    const long month = ReadNumber(firstStop + 1);
    const char* secondStop = std::strchr(firstStop + 1, '.');
    if (secondStop == nullptr) {
        return false;
    }
    long year = ReadNumber(secondStop + 1);
    if (year < 50) {
        year += 2000;
    }
    if (year < 100) {
        year += 1900;
    }
    if (day < 0 || day > 255 || month < 0 || month > 255 || year < 0 || year > 65535) {
        return false;
    }
    const DATUM date{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                     static_cast<std::uint16_t>(year)};
    if (!IsValidDatum(date)) {
        return false;
    }
    *dayNumber = DatumToDayNumber(date);
    return true;
}

std::string FormatDayNumber(std::int32_t dayNumber) {
    if (IsNoDate(dayNumber)) {
        return {};
    }
    const DATUM date = DayNumberToDatum(dayNumber);
    char text[32];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u", unsigned{date.day}, unsigned{date.month},
                  unsigned{date.year});
    return text;
}

std::string FormatDayNumberTime(std::int32_t dayNumber, std::int32_t secondsOfDay) {
    if (IsNoDate(dayNumber) || secondsOfDay == DAY_NUMBER_INVALID || secondsOfDay < 0) {
        return {};
    }
    const DATUM date = DayNumberToDatum(dayNumber);
    char text[48];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u %02u:%02u:%02u", unsigned{date.day},
                  unsigned{date.month}, unsigned{date.year},
                  static_cast<unsigned>((secondsOfDay / 3600) % 24),
                  static_cast<unsigned>((secondsOfDay % 3600) / 60),
                  static_cast<unsigned>(secondsOfDay % 60));
    return text;
}

OleDateTime DayNumberToOleDate(std::int32_t dayNumber, std::int32_t secondsOfDay) {
    SystemTime fields;
    const DATUM date = IsNoDate(dayNumber) ? DATUM{30, 12, 1899} : DayNumberToDatum(dayNumber);
    fields.year = date.year;
    fields.month = date.month;
    fields.day = date.day;
    const std::int32_t hours = secondsOfDay / 3600;
    fields.hour = static_cast<std::uint16_t>(hours);
    fields.minute = static_cast<std::uint16_t>((secondsOfDay / 60) % 60);
    fields.second = static_cast<std::uint16_t>(secondsOfDay % 60);

    OleDateTime result;
    SystemTime back;
    const bool converted = secondsOfDay >= 0 && hours <= 0xFFFF &&
                           SystemTimeToVariantTime(fields, &result.date) &&
                           VariantTimeToSystemTime(result.date, &back);
    result.valid = converted && back.year == fields.year && back.month == fields.month &&
                   back.day == fields.day && back.hour == fields.hour &&
                   back.minute == fields.minute && back.second == fields.second;
    return result;
}

std::int32_t OleDateToDayNumber(const OleDateTime& oleDate) {
    SystemTime fields;
    if (!oleDate.valid || !VariantTimeToSystemTime(oleDate.date, &fields)) {
        return DAY_NUMBER_INVALID;
    }
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(fields.day),
                                  static_cast<std::uint8_t>(fields.month), fields.year});
}

std::int32_t OleDateToDayNumber(double oleDate) {
    return OleDateToDayNumber(OleDateTime{oleDate, true});
}

double DayNumberToPlainOleDate(std::int32_t dayNumber) {
    // In double: a day number read from a damaged file may lie near the int limits.
    return IsNoDate(dayNumber) ? 0.0 : static_cast<double>(dayNumber) - kOleEpochDayNumber;
}

} // namespace mvr
