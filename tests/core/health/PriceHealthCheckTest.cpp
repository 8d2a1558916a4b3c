#include "core/health/PriceHealthCheck.h"

#include "core/editing/PriceSplit.h"
#include "core/health/BusinessDays.h"
#include "HealthTestBars.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::Bar;
using test::Day;
using test::Flat;

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

using Rows = std::vector<std::string>;

// Business days from Monday 3.1.2005 on, drifting up and down by a few
// percent, without the Easter days of 2005, as a market would trade.
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
    // Prices on the edge of their range are inside it; a volume of 0 is no fault.
    EXPECT_TRUE(Check({Bar(Day(3, 1, 2005), 12.0f, 12.0f, 10.0f, 10.0f, 0)}).empty());
}

TEST(PriceHealthCheckTest, BarsOutOfOrderAndTwice) {
    const std::int32_t d = Day(3, 1, 2005);
    const auto daily = Check({Flat(d + 1, 10.0f), Flat(d + 2, 10.0f), Flat(d + 2, 10.0f),
                              Flat(d, 10.0f), Flat(d + 3, 10.0f)});
    EXPECT_EQ(Summary(daily), (Rows{"2:duplicate", "3:out-of-order"}));
    EXPECT_EQ(daily[1].description, "earlier than the bar before it (05.01.2005)");
    EXPECT_EQ(daily[1].dayNumber, d);

    // Intraday bars are ordered by their time within the day.
    const auto intraday =
        Check({Flat(d, 10.0f, 34200), Flat(d, 10.0f, 34260), Flat(d, 10.0f, 34260),
               Flat(d, 10.0f, 34230), Flat(d + 1, 10.0f, 32400)});
    EXPECT_EQ(Summary(intraday), (Rows{"2:duplicate", "3:out-of-order"}));
    EXPECT_EQ(intraday[1].description, "earlier than the bar before it (03.01.2005 09:31:00)");
    EXPECT_EQ(intraday[1].secondsOfDay, 34230);
}

TEST(PriceHealthCheckTest, FaultsOfASingleBar) {
    struct Case {
        PERIODE bar;
        OpenPrice open;
        std::string expected; // "word: description" per finding
    };
    const std::int32_t d = Day(3, 1, 2005);
    const OpenPrice stored = OpenPrice::Stored;
    const std::vector<Case> cases = {
        {Bar(d, 11.0f, 10.0f, 9.0f, 9.5f), stored, "high-below: high 10 below open 11"},
        {Bar(d, 9.5f, 10.0f, 9.0f, 10.5f), stored, "high-below: high 10 below close 10.5"},
        {Bar(d, 9.5f, 12.0f, 10.0f, 11.0f), stored, "low-above: low 10 above open 9.5"},
        {Bar(d, 11.0f, 10.0f, 12.0f, 11.5f), stored,
         "high-below: high 10 below open 11 and close 11.5; "
         "low-above: low 12 above open 11 and close 11.5"},
        // A price not above zero is not also compared with the high and low.
        {Bar(d, 0.0f, 10.0f, 9.0f, 9.5f), stored, "non-positive-price: not above zero: open 0"},
        {Bar(d, 9.5f, -10.0f, 9.0f, 0.0f), stored,
         "non-positive-price: not above zero: high -10 and close 0"},
        {Bar(d, 9.5f, 10.0f, 9.0f, 9.5f, -1), stored, "negative-volume: volume -1"},
        // Files without an open hold 0 there, which is no fault.
        {Bar(d, 0.0f, 10.0f, 9.0f, 9.5f), OpenPrice::NotStored, ""},
        {Bar(d, 0.0f, 10.0f, 9.0f, 10.5f), OpenPrice::NotStored,
         "high-below: high 10 below close 10.5"},
        {Bar(d, 0.0f, 10.0f, 0.0f, 9.5f), OpenPrice::NotStored,
         "non-positive-price: not above zero: low 0"},
    };
    for (const Case& c : cases) {
        std::string described;
        for (const HealthFinding& finding : Check({c.bar}, {}, c.open)) {
            described += (described.empty() ? "" : "; ") +
                         std::string(HealthFindingWord(finding.kind)) + ": " + finding.description;
        }
        EXPECT_EQ(described, c.expected);
    }
}

TEST(PriceHealthCheckTest, GapsAreCountedInBusinessDaysFromTheLatestBar) {
    // Monday 3.1.2005 to the next Monday is 5 business days: no gap by default.
    const auto findings = Check({Flat(Day(3, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f),
                                 Flat(Day(18, 1, 2005), 10.0f)});
    ASSERT_EQ(Summary(findings), (Rows{"2:gap"}));
    EXPECT_EQ(findings[0].description, "6 business days after the bar of 10.01.2005");

    // Friday to Monday is one business day, Thursday to Monday two.
    const HealthLimits oneDay{1, HealthLimits::kDefaultJumpPercent};
    EXPECT_TRUE(
        Check({Flat(Day(7, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f)}, oneDay).empty());
    EXPECT_EQ(Summary(Check({Flat(Day(6, 1, 2005), 10.0f), Flat(Day(10, 1, 2005), 10.0f)}, oneDay)),
              (Rows{"1:gap"}));

    // A single misplaced old bar is out of order, and the bar after it no gap.
    EXPECT_EQ(Summary(Check({Flat(Day(14, 1, 2005), 10.0f), Flat(Day(3, 1, 2005), 10.0f),
                             Flat(Day(17, 1, 2005), 10.0f)})),
              (Rows{"1:out-of-order"}));
}

TEST(PriceHealthCheckTest, JumpsBeyondTheThresholdWithTheirSplit) {
    const std::int32_t d = Day(3, 1, 2005);
    // Exactly 40 % up or down is no jump.
    EXPECT_TRUE(Check({Flat(d, 100.0f), Flat(d + 1, 140.0f), Flat(d + 2, 84.0f)}).empty());

    const auto findings =
        Check({Flat(d, 100.0f), Flat(d + 1, 140.01f), Flat(d + 2, 100.0f), Flat(d + 3, 49.8f)});
    ASSERT_EQ(Summary(findings), (Rows{"1:jump", "3:jump"}));
    EXPECT_EQ(findings[1].split, (SplitRatio{2, 1}));
    EXPECT_EQ(findings[1].dayNumber, d + 3);
    EXPECT_EQ(findings[1].description, "close 49.8 after 100 (-50.2 %) like a 2:1 split");

    // A lower threshold finds a 3:2 split; a reverse split jumps upwards.
    EXPECT_EQ(Check({Flat(d, 90.0f), Flat(d + 1, 60.2f)}, {5, 30.0}).at(0).split,
              (SplitRatio{3, 2}));
    const auto reverse = Check({Flat(d, 1.02f), Flat(d + 1, 10.1f)});
    ASSERT_EQ(reverse.size(), 1u);
    EXPECT_EQ(reverse[0].description, "close 10.1 after 1.02 (+890.2 %) like a 1:10 split");

    // A close of zero is passed over: the next close is compared with the one before it.
    const auto zero =
        Check({Flat(d, 100.0f), Bar(d + 1, 100.0f, 100.0f, 100.0f, 0.0f), Flat(d + 2, 45.0f)});
    EXPECT_EQ(Summary(zero), (Rows{"1:non-positive-price", "2:jump"}));
}

TEST(PriceHealthCheckTest, FindingsOfOneRowInOrderOfTheirKind) {
    const std::int32_t d = Day(3, 1, 2005);
    // Findings of an earlier history stay in front.
    HealthFinding earlier;
    earlier.row = 7;
    std::vector<HealthFinding> findings{earlier};
    CPriceHealthCheck().Check(
        {Flat(d, 10.0f), Bar(d, 10.0f, 9.0f, 8.0f, 9.5f, -5), Flat(d + 20, 30.0f)}, findings);
    EXPECT_EQ(Summary(findings), (Rows{"7:out-of-order", "1:duplicate", "1:high-below",
                                       "1:negative-volume", "2:gap", "2:jump"}));
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
    ASSERT_EQ(Summary(findings), (Rows{"20:jump"}));
    EXPECT_EQ(findings[0].split, (SplitRatio{3, 1}));
    EXPECT_EQ(ApplySplit(history, findings[0].dayNumber, findings[0].split.SplitFactor()), 20u);
    EXPECT_TRUE(Check(history).empty());
}

TEST(PriceHealthCheckTest, LimitsOutsideTheirRangeAreInvalid) {
    EXPECT_TRUE(HealthLimits{}.IsValid());
    EXPECT_TRUE((HealthLimits{1, 0.5}).IsValid());
    for (const HealthLimits limits : {HealthLimits{0, 40.0}, HealthLimits{5, 0.0},
                                      HealthLimits{5, std::nan("")}, HealthLimits{5, HUGE_VAL}}) {
        EXPECT_FALSE(limits.IsValid()) << limits.gapDays << " " << limits.jumpPercent;
    }
}

} // namespace
} // namespace mvr
