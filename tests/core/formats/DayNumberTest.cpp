#include "core/formats/DayNumber.h"

#include "support/CalendarDay.h"

#include <gtest/gtest.h>
#include <random>

namespace mvr {
namespace {

using test::Day;

std::int32_t Parse(const char* text) {
    std::int32_t day = 12345;
    const bool ok = ParseDateText(text, &day);
    EXPECT_EQ(ok, day != DAY_NUMBER_INVALID) << text;
    return day;
}

TEST(DayNumberTest, ReferencePoints) {
    EXPECT_EQ(Day(1, 1, 0), 1);
    EXPECT_EQ(Day(1, 1, 1), 367);
    EXPECT_EQ(Day(30, 12, 1899), 693960);
    EXPECT_EQ(Day(1, 1, 1900), 693962);
    EXPECT_EQ(Day(1, 1, 1970), 719529);
    EXPECT_EQ(Day(1, 1, 2000), 730486);
    EXPECT_EQ(Day(29, 2, 2000), 730545);
    EXPECT_EQ(Day(31, 12, 9999), 3652425);
}

TEST(DayNumberTest, InvalidDates) {
    EXPECT_EQ(Day(29, 2, 1900), DAY_NUMBER_INVALID);
    EXPECT_EQ(Day(31, 4, 2005), DAY_NUMBER_INVALID);
    EXPECT_EQ(Day(0, 1, 2005), DAY_NUMBER_INVALID);
    EXPECT_EQ(Day(1, 13, 2005), DAY_NUMBER_INVALID);
    EXPECT_TRUE(IsValidDatum(DATUM{29, 2, 0}));
}

TEST(DayNumberTest, EveryDayNumberRoundTripsThroughTheCalendar) {
    std::int32_t previous = 0;
    for (std::int32_t n = 1; n <= 3652425; ++n) {
        const DATUM date = DayNumberToDatum(n);
        ASSERT_TRUE(IsValidDatum(date)) << n;
        const std::int32_t back = DatumToDayNumber(date);
        ASSERT_EQ(back, n);
        ASSERT_EQ(back, previous + 1);
        previous = back;
    }
    const DATUM end2000 = DayNumberToDatum(730851);
    EXPECT_EQ(end2000.day, 31);
    EXPECT_EQ(end2000.month, 12);
    EXPECT_EQ(end2000.year, 2000);
    const DATUM epoch = DayNumberToDatum(693960);
    EXPECT_EQ(epoch.day, 30);
    EXPECT_EQ(epoch.year, 1899);
}

// The reader keeps the month of the last date; whatever comes next, in the
// month or not, valid or not, it must give what the calendar gives.
TEST(DayNumberTest, CalendarDayReaderAgreesWithTheCalendarInAnyOrder) {
    CCalendarDayReader reader;
    const auto expectAgreement = [&reader](int year, int month, int day) {
        const std::int32_t expected =
            DatumToDayNumber(DATUM{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                                   static_cast<std::uint16_t>(year)});
        ASSERT_EQ(reader.DayNumber(year, month, day), expected)
            << day << "." << month << "." << year;
    };
    for (int year = 1999; year <= 2001; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 0; day <= 32; ++day) {
                expectAgreement(year, month, day);
            }
        }
    }
    // Month and day kept, year changed: February's length must follow.
    for (const DATUM date :
         {DATUM{28, 2, 2000}, DATUM{29, 2, 2000}, DATUM{29, 2, 2001}, DATUM{29, 2, 1900},
          DATUM{29, 2, 2000}, DATUM{31, 4, 2000}, DATUM{30, 4, 2000}, DATUM{1, 0, 2000},
          DATUM{1, 13, 2000}, DATUM{1, 1, 0}, DATUM{31, 12, 65535}}) {
        expectAgreement(date.year, date.month, date.day);
    }
    std::mt19937 random(11);
    std::uniform_int_distribution<int> year(1890, 2110);
    std::uniform_int_distribution<int> month(0, 13);
    std::uniform_int_distribution<int> day(0, 32);
    for (int i = 0; i < 20000; ++i) {
        expectAgreement(year(random), month(random), day(random));
    }
    EXPECT_EQ(reader.DayNumber(-1, 1, 1), DAY_NUMBER_INVALID);
    EXPECT_EQ(reader.DayNumber(65536, 1, 1), DAY_NUMBER_INVALID);
}

TEST(DayNumberTest, ParseDateTextAcceptsShortAndTwoDigitYears) {
    EXPECT_EQ(Parse("31.12.99"), Day(31, 12, 1999));
    EXPECT_EQ(Parse("5.6.07"), Day(5, 6, 2007));
    EXPECT_EQ(Parse("5.6.49"), Day(5, 6, 2049));
    EXPECT_EQ(Parse("5.6.50"), Day(5, 6, 1950));
    EXPECT_EQ(Parse("1.2."), Day(1, 2, 2000));
    EXPECT_EQ(Parse("1.2.2003 12:00"), Day(1, 2, 2003));
    EXPECT_EQ(Parse("01.01.2000"), 730486);
    EXPECT_EQ(Parse("1. 2.2003"), Day(1, 2, 2003));
}

TEST(DayNumberTest, ParseDateTextFailures) {
    for (const char* text : {".1.2000", "1/2/2000", "1.2", "31.4.2005", "257.1.2000", "",
                             "1.-2.2000", "99999999999999999999.1.2000"}) {
        EXPECT_EQ(Parse(text), DAY_NUMBER_INVALID) << text;
    }
}

TEST(DayNumberTest, TextForms) {
    EXPECT_EQ(FormatDayNumber(0), "");
    EXPECT_EQ(FormatDayNumber(DAY_NUMBER_INVALID), "");
    EXPECT_EQ(FormatDayNumber(730486), "01.01.2000");
    EXPECT_EQ(FormatDayNumberTime(730486, 3723), "01.01.2000 01:02:03");
    EXPECT_EQ(FormatDayNumberTime(730486, 90000), "01.01.2000 01:00:00");
    EXPECT_EQ(FormatDayNumberTime(0, 3723), "");
    EXPECT_EQ(FormatDayNumberTime(730486, DAY_NUMBER_INVALID), "");
}

TEST(DayNumberTest, OleDateConversions) {
    const OleDateTime none = DayNumberToOleDate(0, 0);
    EXPECT_TRUE(none.valid);
    EXPECT_EQ(none.date, 0.0);
    EXPECT_FALSE(DayNumberToOleDate(730486, 86400).valid);
    const OleDateTime noon = DayNumberToOleDate(730486, 43200);
    EXPECT_TRUE(noon.valid);
    EXPECT_DOUBLE_EQ(noon.date, 36526.5);
    EXPECT_FALSE(DayNumberToOleDate(Day(31, 12, 99), 0).valid);
    EXPECT_TRUE(DayNumberToOleDate(Day(1, 1, 100), 0).valid);

    EXPECT_EQ(OleDateToDayNumber(OleDateTime{36526.75, true}), 730486);
    EXPECT_EQ(OleDateToDayNumber(OleDateTime{36526.75, false}), DAY_NUMBER_INVALID);
    EXPECT_EQ(OleDateToDayNumber(-1.25), Day(29, 12, 1899));
    EXPECT_EQ(OleDateToDayNumber(1e9), DAY_NUMBER_INVALID);
    for (std::int32_t n : {Day(1, 1, 100), 693960, 730545, 3652425}) {
        EXPECT_EQ(OleDateToDayNumber(DayNumberToOleDate(n, 0)), n);
    }
    EXPECT_EQ(DayNumberToPlainOleDate(730486), 36526.0);
    EXPECT_EQ(DayNumberToPlainOleDate(DAY_NUMBER_INVALID), 0.0);
}

TEST(DayNumberTest, TodayIsARecentValidDay) {
    const std::int32_t today = TodayDayNumber();
    EXPECT_GT(today, Day(1, 1, 2020));
    EXPECT_TRUE(IsValidDatum(DayNumberToDatum(today)));
}

} // namespace
} // namespace mvr
