#pragma once

// Packed dates (LongDate) of MetaStock records, converted one calendar month
// at a time. The records of a file lie in date order, mostly in the month of
// the record before, so the calendar work (and the validation of LongDate) is
// done once per month and the other dates of that month follow by arithmetic.

#include "core/formats/Mbf.h"

#include <cstdint>

namespace mvr {

// Reads the date field of a record, given as the MBF word of its four bytes.
class CPackedDateReader {
public:
    // The words of the packed dates of the month last entered lie in
    // [firstWord, firstWord + spanWords) and step evenly, 1 << shift per day.
    // spanWords is 0 while no month can be taken this way.
    struct Month {
        std::uint32_t firstWord = 0;
        std::uint32_t spanWords = 0;
        std::uint32_t shift = 0;
        std::int32_t firstDay = 0; // day number of the month's first day
        int packedFirst = 0;       // packed date of the month's first day
    };

    // The day number of a packed date; 693960 (OLE date 0.0) for no date.
    std::int32_t DayNumberOfWord(std::uint32_t word) {
        const std::uint32_t offset = word - month_.firstWord;
        if (offset < month_.spanWords) {
            return month_.firstDay + static_cast<std::int32_t>(offset >> month_.shift);
        }
        return DayNumberEnteringMonth(word);
    }

    // For readers that test several words against the month at once.
    const Month& CurrentMonth() const { return month_; }

private:
    std::int32_t DayNumberEnteringMonth(std::uint32_t word);
    bool EnterFollowingMonthHolding(std::uint32_t word);

    Month month_;
    int year_ = 0;
    int monthOfYear_ = 0;
};

// Writes day numbers as packed date fields.
class CPackedDateWriter {
public:
    // Days in [firstDay, firstDay + length) are written as packedBase plus
    // their day of the month; packedBase is 0 (and so is every date written)
    // outside the years LongDate can hold.
    struct Month {
        std::int32_t firstDay = 0;
        std::int32_t length = 0;
        int packedBase = 0; // packed date of the month's day 0
    };

    // Four zero bytes for days outside the years LongDate can hold.
    void Store(std::int32_t dayNumber, std::uint8_t* mbf) {
        const std::uint32_t day =
            static_cast<std::uint32_t>(dayNumber) - static_cast<std::uint32_t>(month_.firstDay);
        if (day < static_cast<std::uint32_t>(month_.length)) {
            StoreInMonth(day, mbf);
        } else {
            StoreEnteringMonth(dayNumber, mbf);
        }
    }

    // For writers that test several days against the month at once.
    const Month& CurrentMonth() const { return month_; }

private:
    // `day` counts from the month's first day, 0 on.
    void StoreInMonth(std::uint32_t day, std::uint8_t* mbf) const {
        const int packed =
            month_.packedBase == 0 ? 0 : month_.packedBase + static_cast<int>(day) + 1;
        StoreMbf(mbf, static_cast<float>(packed));
    }
    void StoreEnteringMonth(std::int32_t dayNumber, std::uint8_t* mbf);

    Month month_;
};

} // namespace mvr
