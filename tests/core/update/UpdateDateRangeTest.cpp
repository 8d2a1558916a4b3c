#include "core/update/UpdateDateRange.h"

#include "core/formats/DayNumber.h"
#include "support/CalendarDay.h"

#include <cmath>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Day;

double OleDate(int d, int m, int y) {
    return DayNumberToOleDate(Day(d, m, y)).date;
}

const std::int32_t kToday = Day(20, 6, 2005);

ExportSymbolInfo Symbol(double firstDate, double lastDate) {
    ExportSymbolInfo symbol;
    symbol.symbol = "SAPX";
    symbol.sinCode = 1001;
    symbol.firstDate = firstDate;
    symbol.lastDate = lastDate;
    symbol.interval = 15;
    return symbol;
}

TEST(UpdateDateRangeTest, NormalUpdatesOverlapFiveDaysAndEndYesterdayOrToday) {
    const ExportSymbolInfo symbol = Symbol(OleDate(1, 1, 2000), OleDate(10, 3, 2005));
    UpdateDateRange normal{UpdateKind::Normal};
    const RequestDays days = DailyRequestDays(symbol, normal, kToday);
    EXPECT_EQ(days.startDay, Day(5, 3, 2005));
    EXPECT_EQ(days.endDay, kToday - 1);

    UpdateDateRange realtime{UpdateKind::NormalAndRealtime};
    EXPECT_EQ(DailyRequestDays(symbol, realtime, kToday).endDay, kToday);
    EXPECT_EQ(IntradayRequestDays(symbol, realtime, kToday).startDay, Day(5, 3, 2005));

    // The time of an intraday symbol's last bar does not move the start.
    const ExportSymbolInfo intraday = Symbol(0.0, OleDate(10, 3, 2005) + 0.75);
    EXPECT_EQ(IntradayRequestDays(intraday, normal, kToday).startDay, Day(5, 3, 2005));
    EXPECT_EQ(normal.startDay, 0) << "nothing is written back outside a date range update";
}

TEST(UpdateDateRangeTest, ANewSymbolStartsAtItsFirstDate) {
    UpdateDateRange normal{UpdateKind::Normal};
    EXPECT_EQ(DailyRequestDays(Symbol(OleDate(1, 1, 2000), 0.0), normal, kToday).startDay,
              Day(1, 1, 2000));
}

TEST(UpdateDateRangeTest, ADateThatNamesNoDayAsksFromTheBeginning) {
    UpdateDateRange normal{UpdateKind::Normal};
    EXPECT_EQ(DailyRequestDays(Symbol(0.0, 1.0e12), normal, kToday).startDay, 0);
    EXPECT_EQ(DailyRequestDays(Symbol(std::nan(""), 0.0), normal, kToday).startDay, 0);
}

TEST(UpdateDateRangeTest, DateRangeDefaultsOfRequestFourHoldForRequestSeven) {
    const ExportSymbolInfo symbol = Symbol(OleDate(1, 1, 2000), OleDate(10, 3, 2005));
    UpdateDateRange range{UpdateKind::DateRange, 0, 0};
    const RequestDays daily = DailyRequestDays(symbol, range, kToday);
    EXPECT_EQ(daily.startDay, kToday - 5);
    EXPECT_EQ(daily.endDay, kToday);
    EXPECT_EQ(range.startDay, kToday - 5);
    EXPECT_EQ(range.endDay, kToday);
    const RequestDays intraday = IntradayRequestDays(symbol, range, kToday);
    EXPECT_EQ(intraday.startDay, kToday - 5);
    EXPECT_EQ(intraday.endDay, kToday);
}

TEST(UpdateDateRangeTest, DateRangeDefaultsOfRequestSevenAloneAreToday) {
    const ExportSymbolInfo symbol = Symbol(0.0, 0.0);
    UpdateDateRange range{UpdateKind::DateRange, DAY_NUMBER_INVALID, 0};
    const RequestDays days = IntradayRequestDays(symbol, range, kToday);
    EXPECT_EQ(days.startDay, kToday);
    EXPECT_EQ(days.endDay, kToday);

    UpdateDateRange typed{UpdateKind::DateRange, Day(1, 2, 2005), 0};
    const RequestDays daily = DailyRequestDays(symbol, typed, kToday);
    EXPECT_EQ(daily.startDay, Day(1, 2, 2005));
    EXPECT_EQ(daily.endDay, kToday);
    EXPECT_EQ(typed.startDay, Day(1, 2, 2005));
}

TEST(UpdateDateRangeTest, DaysBackCountFromStartToEndAndAtLeastOne) {
    const std::int32_t start = Day(1, 3, 2005);
    EXPECT_EQ(DaysBackOf({start, start}), -1);
    EXPECT_EQ(DaysBackOf({start, start + 1}), -1);
    EXPECT_EQ(DaysBackOf({start, start + 3}), -3);
    EXPECT_EQ(DaysBackOf({start, start - 4}), -1) << "never days ahead";
    EXPECT_EQ(DaysBackOf({0, kToday}), -kToday);
}

TEST(UpdateDateRangeTest, EntriesCarryTheSymbolAndItsDays) {
    ExportSymbolInfo symbol = Symbol(OleDate(1, 1, 2000), OleDate(10, 3, 2005));
    UpdateDateRange range{UpdateKind::DateRange, Day(1, 6, 2005), Day(4, 6, 2005)};
    const JAHRESCHARTARRAY daily = MakeDailyEntry(symbol, range, kToday);
    EXPECT_EQ(daily.SInCode, 1001);
    EXPECT_EQ(daily.startDay, Day(1, 6, 2005));
    EXPECT_EQ(daily.endDay, Day(4, 6, 2005));
    EXPECT_FALSE(daily.answered);
    EXPECT_FALSE(daily.bars);

    const JAHRESCHARTARRAY intraday = MakeIntradayEntry(symbol, range, kToday);
    EXPECT_EQ(intraday.startDay, Day(1, 6, 2005));
    EXPECT_EQ(intraday.endDay, Day(4, 6, 2005));
    EXPECT_EQ(intraday.daysBack, -3);
    EXPECT_EQ(intraday.interval, 15);
}

} // namespace
} // namespace mvr
