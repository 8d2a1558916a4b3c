#include "core/formats/PackedDateCache.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Mbf.h"

namespace mvr {

namespace {

// MBF keeps 23 mantissa bits below a leading one worth 2^(exponent - 129).
constexpr std::uint32_t kMbfUnitExponent = 129 + 23;

// The month whose first day is `firstDay` and packed date `packedFirst`, in
// the form the file writes its dates. Whole numbers of one binary exponent are
// evenly spaced words; dates with the full year lie beyond 2^24, where singles
// skip numbers: those keep the exact way.
CPackedDateReader::Month MonthOf(int packedFirst, int length, std::int32_t firstDay) {
    const std::uint32_t firstWord = FloatToMbfWord(static_cast<float>(packedFirst));
    const std::uint32_t lastWord = FloatToMbfWord(static_cast<float>(packedFirst + length - 1));
    const std::uint32_t exponent = firstWord >> 24;
    const bool even = packedFirst + length < (1 << 24) && exponent == (lastWord >> 24);
    CPackedDateReader::Month month;
    month.firstWord = firstWord;
    month.shift = even ? kMbfUnitExponent - exponent : 0;
    month.spanWords = even ? static_cast<std::uint32_t>(length) << month.shift : 0;
    month.firstDay = firstDay;
    month.packedFirst = packedFirst;
    return month;
}

} // namespace

std::int32_t CPackedDateReader::DayNumberEnteringMonth(std::uint32_t word) {
    if (EnterFollowingMonthHolding(word)) {
        return DayNumberOfWord(word);
    }
    const float number = MbfWordToFloat(word);
    const LongDate date = LongDate::FromPackedNumber(number);
    if (!date.IsDate()) {
        return kOleEpochDayNumber;
    }
    const std::int32_t firstDay = FirstDayOfMonth(date.Year(), date.Month());
    month_ = MonthOf(static_cast<int>(number) - (date.Day() - 1),
                     DaysInMonth(date.Month(), date.Year()), firstDay);
    year_ = date.Year();
    monthOfYear_ = date.Month();
    return firstDay + date.Day() - 1;
}

// Date-ordered files go on with the month after the current one, whose
// packed dates follow from the current month's without the calendar work.
bool CPackedDateReader::EnterFollowingMonthHolding(std::uint32_t word) {
    // An evenly spaced month has packed dates of the form
    // (year - 1900) * 10000 + month * 100 + day.
    if (month_.spanWords == 0 || (monthOfYear_ == 12 && year_ == kLastLongDateYear)) {
        return false;
    }
    const bool newYear = monthOfYear_ == 12;
    const int year = newYear ? year_ + 1 : year_;
    const int month = newYear ? 1 : monthOfYear_ + 1;
    const int packedFirst = month_.packedFirst + (newYear ? 10000 - 1100 : 100);
    const Month following = MonthOf(packedFirst, DaysInMonth(month, year),
                                    month_.firstDay + DaysInMonth(monthOfYear_, year_));
    if (word - following.firstWord >= following.spanWords) {
        return false;
    }
    month_ = following;
    year_ = year;
    monthOfYear_ = month;
    return true;
}

void CPackedDateWriter::StoreEnteringMonth(std::int32_t dayNumber, std::uint8_t* mbf) {
    if (dayNumber < 1) {
        StoreMbf(mbf, 0.0f);
        return;
    }
    const DATUM date = DayNumberToDatum(dayNumber);
    month_.firstDay = FirstDayOfMonth(date.year, date.month);
    month_.length = DaysInMonth(date.month, date.year);
    const LongDate first = LongDate::FromCalendarDate(date.year, date.month, 1);
    month_.packedBase = first.IsDate() ? static_cast<int>(first.IeeePacked()) - 1 : 0;
    StoreInMonth(static_cast<std::uint32_t>(dayNumber - month_.firstDay), mbf);
}

} // namespace mvr
