#pragma once

// The date form of MetaStock files: a calendar date in one 32-bit integer,
// year * 10000 + month * 100 + day (20050307), or 0 for no date. Only the
// years 1970 to 2037 are representable. In the files it travels as the packed
// number (year - 1900) * 10000 + month * 100 + day (1050307, 991231), stored as
// an MBF or an IEEE single.

#include <cstdint>

namespace mvr {

// The years a packed date can name.
inline constexpr int kFirstLongDateYear = 1970;
inline constexpr int kLastLongDateYear = 2037;

// The century rule of packed year fields: 0..49 -> 2000..2049, 50..150 ->
// 1950..2050, 1970..2037 as they are; 0 for anything else (no valid year).
int CenturyYear(int year);

class LongDate {
public:
    LongDate() = default;

    // Year as the century rule reads it; no date for an invalid year, month or day.
    static LongDate FromYearMonthDay(int year, int month, int day);
    // A full calendar year (no century rule), as a day number's calendar date gives it.
    static LongDate FromCalendarDate(int fullYear, int month, int day);
    // The calendar day of an OLE date (rounded to the second); 0.0 gives no date.
    static LongDate FromOleDate(double oleDate);
    // A packed date read from four MBF bytes, or given as their number.
    static LongDate FromMbfPacked(const std::uint8_t* mbf);
    static LongDate FromPackedNumber(float number);

    std::int32_t Value() const { return value_; }
    bool IsDate() const { return value_ != 0; }
    int Year() const { return value_ / 10000; }
    int Month() const { return (value_ / 100) % 100; }
    int Day() const { return value_ % 100; }

    // The packed date as four MBF bytes; four zero bytes for no date.
    void StoreMbfPacked(std::uint8_t* mbf) const;
    // The packed date as a single-precision value; 0.0 for no date.
    float IeeePacked() const;
    // The OLE date of the day at midnight; 0.0 for no date.
    double OleDate() const;

    bool operator==(const LongDate&) const = default;

private:
    explicit LongDate(std::int32_t value) : value_(value) {}

    std::int32_t value_ = 0;
};

} // namespace mvr
