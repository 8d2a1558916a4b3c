#include "core/health/PriceHealthCheck.h"

#include "core/editing/PriceSplit.h"
#include "core/health/BusinessDays.h"
#include "HealthTestBars.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::Bar;
using test::Day;
using test::Flat;
using Kind = HealthFindingKind;

std::vector<HealthFinding> Check(const PriceHistory& history, const HealthLimits& limits = {},
                                 OpenPrice open = OpenPrice::Stored) {
    std::vector<HealthFinding> findings;
    CPriceHealthCheck(limits, open).Check(history, findings);
    return findings;
}

// "row:word" per finding, in the order found.
std::vector<std::string> Summary(const std::vector<HealthFinding>& findings) {
    std::vector<std::string> summary;
    for (const HealthFinding& finding : findings) {
        summary.push_back(std::to_string(finding.row) + ":" +
                          std::string(HealthFindingWord(finding.kind)));
    }
    return summary;
}

// Business days from Monday 3.1.2005 on, drifting up and down by a few
// percent, with the Easter days of 2005 left out as a market would.
PriceHistory HealthyHistory(std::size_t bars) {
    PriceHistory history;
    std::int32_t day = Day(3, 1, 2005);
    for (std::size_t i = 0; i < bars; ++i, ++day) {
        while (BusinessDaysAfter(day - 1, day) == 0 || day == Day(25, 3, 2005) ||
               day == Day(28, 3, 2005)) {
            ++day;
        }
        const float close = 50.0f + 10.0f * static_cast<float>(std::sin(0.1 * i));
        history.push_back(Bar(day, close * 0.99f, close * 1.02f, close * 0.98f, close,
                              static_cast<std::int32_t>(1000 + i)));
    }
    return history;
}

TEST(PriceHealthCheckTest, AHealthyHistoryHasNoFindings) {
    EXPECT_TRUE(Check(HealthyHistory(400)).empty());
    EXPECT_TRUE(Check({}).empty());
    EXPECT_TRUE(Check({Flat(Day(3, 1, 2005), 10.0f)}).empty());
    // Prices on the edge of their range are inside it; a volume of 0 is no fault.
    EXPECT_TRUE(Check({Bar(Day(3, 1, 2005), 12.0f, 12.0f, 10.0f, 10.0f, 0)}).empty());
}

TEST(PriceHealthCheckTest, BarsOutOfOrderAndTwice) {
    const PriceHistory daily = {Flat(Day(4, 1, 2005), 10.0f), Flat(Day(5, 1, 2005), 10.0f),
                                Flat(Day(5, 1, 2005), 10.0f), Flat(Day(3, 1, 2005), 10.0f),
                                Flat(Day(6, 1, 2005), 10.0f)};
    const auto findings = Check(daily);
    EXPECT_EQ(Summary(findings), (std::vector<std::string>{"2:duplicate", "3:out-of-order"}));
    EXPECT_EQ(findings[0].description, "same date as the bar before");
    EXPECT_EQ(findings[1].description, "earlier than the bar before it (05.01.2005)");
    EXPECT_EQ(findings[1].dayNumber, Day(3, 1, 2005));

    // Intraday bars are ordered by their time within the day.
    const std::int32_t day = Day(3, 1, 2005);
    const PriceHistory intraday = {Flat(day, 10.0f, 34200), Flat(day, 10.0f, 34260),
                                   Flat(day, 10.0f, 34260), Flat(day, 10.0f, 34230),
                                   Flat(day + 1, 10.0f, 32400)};
    const auto intradayFindings = Check(intraday);
    EXPECT_EQ(Summary(intradayFindings),
              (std::vector<std::string>{"2:duplicate", "3:out-of-order"}));
    EXPECT_EQ(intradayFindings[0].description, "same date and time as the bar before");
    EXPECT_EQ(intradayFindings[1].description,
              "earlier than the bar before it (03.01.2005 09:31:00)");
    EXPECT_EQ(intradayFindings[1].secondsOfDay, 34230);
}

TEST(PriceHealthCheckTest, HighAndLowOutsideOpenAndClose) {
    const std::int32_t d = Day(3, 1, 2005);
    const PriceHistory history = {
        Bar(d, 11.0f, 10.0f, 9.0f, 9.5f),      // high below the open
        Bar(d + 1, 9.5f, 10.0f, 9.0f, 10.5f),  // high below the close
        Bar(d + 2, 9.5f, 12.0f, 10.0f, 11.0f), // low above the open
        Bar(d + 3, 11.0f, 12.0f, 10.0f, 9.0f), // low above the close
        Bar(d + 4, 11.0f, 10.0f, 12.0f, 11.5f) // high and low swapped
    };
    const auto findings = Check(history);
    EXPECT_EQ(Summary(findings),
              (std::vector<std::string>{"0:high-below", "1:high-below", "2:low-above",
                                        "3:low-above", "4:high-below", "4:low-above"}));
    EXPECT_EQ(findings[0].description, "high 10 below open 11");
    EXPECT_EQ(findings[1].description, "high 10 below close 10.5");
    EXPECT_EQ(findings[4].description, "high 10 below open 11 and close 11.5");
    EXPECT_EQ(findings[5].description, "low 12 above open 11 and close 11.5");
}

TEST(PriceHealthCheckTest, PricesNotAboveZeroAndNegativeVolumes) {
    const std::int32_t d = Day(3, 1, 2005);
    const PriceHistory history = {
        Bar(d, 0.0f, 10.0f, 9.0f, 9.5f), Bar(d + 1, 9.5f, -10.0f, 9.0f, 0.0f),
        Bar(d + 2, 9.5f, 10.0f, 9.0f, 9.5f, -1), Bar(d + 3, 9.5f, 10.0f, 9.0f, 9.5f, 0)};
    const auto findings = Check(history);
    // The zero open is not also a low above the open.
    EXPECT_EQ(Summary(findings),
              (std::vector<std::string>{"0:non-positive-price", "1:non-positive-price",
                                        "2:negative-volume"}));
    EXPECT_EQ(findings[0].description, "not above zero: open 0");
    EXPECT_EQ(findings[1].description, "not above zero: high -10 and close 0");
    EXPECT_EQ(findings[2].description, "volume -1");
}

TEST(PriceHealthCheckTest, AFileWithoutOpensIsNotCheckedOnTheOpen) {
    // Five-field MetaStock files hold 0 where other files keep the open.
    const std::int32_t d = Day(3, 1, 2005);
    const PriceHistory history = {Bar(d, 0.0f, 10.0f, 9.0f, 9.5f),
                                  Bar(d + 1, 0.0f, 10.0f, 9.0f, 10.5f),
                                  Bar(d + 2, 0.0f, 10.0f, 0.0f, 9.5f)};
    const auto findings = Check(history, {}, OpenPrice::NotStored);
    EXPECT_EQ(Summary(findings),
              (std::vector<std::string>{"1:high-below", "2:non-positive-price"}));
    EXPECT_EQ(findings[0].description, "high 10 below close 10.5");
    EXPECT_EQ(findings[1].description, "not above zero: low 0");
}

TEST(PriceHealthCheckTest, GapsAreCountedInBusinessDays) {
    // Monday 3.1.2005 to the next Monday is 5 business days: no gap by default.
    const PriceHistory week = {Flat(Day(3, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f),
                               Flat(Day(18, 1, 2005), 10.0f)};
    const auto findings = Check(week);
    ASSERT_EQ(Summary(findings), (std::vector<std::string>{"2:gap"}));
    EXPECT_EQ(findings[0].description, "6 business days after the bar of 10.01.2005");

    // Friday to Monday is one business day, Thursday to Monday two.
    HealthLimits daily;
    daily.gapDays = 1;
    EXPECT_TRUE(
        Check({Flat(Day(7, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f)}, daily).empty());
    EXPECT_EQ(Summary(Check({Flat(Day(6, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f)}, daily)),
              (std::vector<std::string>{"1:gap"}));
}

TEST(PriceHealthCheckTest, AMisplacedBarIsNoGap) {
    // The gap is measured from the latest bar so far: the old bar in the
    // middle is out of order, and the bar after it follows the bar before it.
    const PriceHistory history = {Flat(Day(14, 1, 2005), 10.0f), Flat(Day(3, 1, 2005), 10.0f),
                                  Flat(Day(17, 1, 2005), 10.0f)};
    EXPECT_EQ(Summary(Check(history)), (std::vector<std::string>{"1:out-of-order"}));
}

TEST(PriceHealthCheckTest, JumpsBeyondTheThreshold) {
    const std::int32_t d = Day(3, 1, 2005);
    // Exactly 40 % up or down is no jump.
    EXPECT_TRUE(Check({Flat(d, 100.0f), Flat(d + 1, 140.0f), Flat(d + 2, 84.0f)}).empty());

    const auto findings =
        Check({Flat(d, 100.0f), Flat(d + 1, 140.01f), Flat(d + 2, 100.0f), Flat(d + 3, 49.8f)});
    ASSERT_EQ(Summary(findings), (std::vector<std::string>{"1:jump", "3:jump"}));
    const HealthFinding& split = findings[1];
    EXPECT_EQ(split.split, (SplitRatio{2, 1}));
    EXPECT_FLOAT_EQ(split.split.SplitFactor(), 0.5f);
    EXPECT_EQ(split.dayNumber, d + 3);
    EXPECT_EQ(split.description, "close 49.8 after 100 (-50.2 %) like a 2:1 split");

    // A lower threshold finds a 3:2 split; a reverse split jumps upwards.
    HealthLimits limits;
    limits.jumpPercent = 30.0;
    EXPECT_EQ(Check({Flat(d, 90.0f), Flat(d + 1, 60.2f)}, limits).at(0).split, (SplitRatio{3, 2}));
    const auto reverse = Check({Flat(d, 1.02f), Flat(d + 1, 10.1f)});
    ASSERT_EQ(reverse.size(), 1u);
    EXPECT_EQ(reverse[0].split, (SplitRatio{1, 10}));
    EXPECT_EQ(reverse[0].description, "close 10.1 after 1.02 (+890.2 %) like a 1:10 split");
}

TEST(PriceHealthCheckTest, AZeroCloseIsSkippedByTheJumpCheck) {
    const std::int32_t d = Day(3, 1, 2005);
    const auto findings =
        Check({Flat(d, 100.0f), Bar(d + 1, 100.0f, 100.0f, 100.0f, 0.0f), Flat(d + 2, 45.0f)});
    EXPECT_EQ(Summary(findings), (std::vector<std::string>{"1:non-positive-price", "2:jump"}));
    EXPECT_EQ(findings[1].split, (SplitRatio{2, 1}));
}

TEST(PriceHealthCheckTest, OneBarWithSeveralFaultsAndFindingsAppended) {
    const std::int32_t d = Day(3, 1, 2005);
    // Findings of an earlier history stay in front.
    HealthFinding earlier;
    earlier.kind = Kind::Gap;
    earlier.row = 7;
    std::vector<HealthFinding> findings{earlier};
    CPriceHealthCheck().Check(
        {Flat(d, 10.0f), Bar(d, 10.0f, 9.0f, 8.0f, 9.5f, -5), Flat(d + 20, 30.0f)}, findings);
    EXPECT_EQ(Summary(findings),
              (std::vector<std::string>{"7:gap", "1:duplicate", "1:high-below", "1:negative-volume",
                                        "2:gap", "2:jump"}));
}

TEST(PriceHealthCheckTest, TheJumpFindingOpensTheDataEditorsSplit) {
    PriceHistory history = HealthyHistory(30);
    for (std::size_t i = 20; i < history.size(); ++i) {
        for (float* price :
             {&history[i].open, &history[i].high, &history[i].low, &history[i].close}) {
            *price /= 3.0f;
        }
    }
    const auto findings = Check(history);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].row, 20u);
    EXPECT_EQ(findings[0].split, (SplitRatio{3, 1}));
    EXPECT_EQ(ApplySplit(history, findings[0].dayNumber, findings[0].split.SplitFactor()), 20u);
    EXPECT_TRUE(Check(history).empty());
}

TEST(PriceHealthCheckTest, LimitsOutsideTheirRangeAreInvalid) {
    EXPECT_TRUE(HealthLimits{}.IsValid());
    EXPECT_TRUE((HealthLimits{1, 0.5}).IsValid());
    EXPECT_FALSE((HealthLimits{0, 40.0}).IsValid());
    EXPECT_FALSE((HealthLimits{-3, 40.0}).IsValid());
    EXPECT_FALSE((HealthLimits{5, 0.0}).IsValid());
    EXPECT_FALSE((HealthLimits{5, std::nan("")}).IsValid());
    EXPECT_FALSE((HealthLimits{5, std::numeric_limits<double>::infinity()}).IsValid());
}

} // namespace
} // namespace mvr
