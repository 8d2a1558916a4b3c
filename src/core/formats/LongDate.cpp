#include "core/formats/LongDate.h"

#include "core/formats/DayNumber.h"
#include "core/formats/Mbf.h"
#include "core/platform/OleDate.h"

#include <cmath>

namespace mvr {

namespace {

int PackedValue(const LongDate& date) {
    return (date.Year() - 1900) * 10000 + date.Month() * 100 + date.Day();
}

} // namespace

int CenturyYear(int year) {
    if (year >= 0 && year < 50) {
        return 2000 + year;
    }
    if (year >= 50 && year <= 150) {
        return 1900 + year;
    }
    if (year >= kFirstLongDateYear && year <= kLastLongDateYear) {
        return year;
    }
    return 0;
}

LongDate LongDate::FromYearMonthDay(int year, int month, int day) {
    return FromCalendarDate(CenturyYear(year), month, day);
}

LongDate LongDate::FromCalendarDate(int fullYear, int month, int day) {
    if (fullYear < kFirstLongDateYear || fullYear > kLastLongDateYear || month < 1 || month > 12 ||
        day < 1 || day > 31) {
        return LongDate();
    }
    const DATUM date{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                     static_cast<std::uint16_t>(fullYear)};
    if (!IsValidDatum(date)) {
        return LongDate();
    }
    return LongDate(fullYear * 10000 + month * 100 + day);
}

LongDate LongDate::FromOleDate(double oleDate) {
    SystemTime fields;
    if (oleDate == 0.0 || !VariantTimeToSystemTime(oleDate, &fields)) {
        return LongDate();
    }
    return FromCalendarDate(fields.year, fields.month, fields.day);
}

LongDate LongDate::FromMbfPacked(const std::uint8_t* mbf) {
    return FromPackedNumber(LoadMbf(mbf));
}

LongDate LongDate::FromPackedNumber(float number) {
    // Only packed dates below 21371231 can name a year; anything larger is damage.
    if (!(std::fabs(number) < 1.0e8f)) {
        return LongDate();
    }
    const int v = static_cast<int>(number);
    if (v == 0) {
        return LongDate();
    }
    const int y = v / 10000;
    int year = 0;
    if (static_cast<unsigned>(y) <= 150) {
        year = 1900 + y;
    } else if (y >= kFirstLongDateYear && y <= kLastLongDateYear) {
        year = y;
    }
    if (year == 0) {
        return LongDate();
    }
    return FromYearMonthDay(year, (v / 100) % 100, v % 100);
}

void LongDate::StoreMbfPacked(std::uint8_t* mbf) const {
    StoreMbf(mbf, IeeePacked());
}

float LongDate::IeeePacked() const {
    return IsDate() ? static_cast<float>(PackedValue(*this)) : 0.0f;
}

double LongDate::OleDate() const {
    if (!IsDate()) {
        return 0.0;
    }
    const DATUM date{static_cast<std::uint8_t>(Day()), static_cast<std::uint8_t>(Month()),
                     static_cast<std::uint16_t>(Year())};
    return DayNumberToPlainOleDate(DatumToDayNumber(date));
}

} // namespace mvr
