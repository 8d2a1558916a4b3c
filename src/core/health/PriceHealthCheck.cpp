#include "core/health/PriceHealthCheck.h"

#include "core/formats/DayNumber.h"
#include "core/health/BusinessDays.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

namespace mvr {

namespace {

// The shortest text that reads back as the stored float.
std::string NumberText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A bar's date, with its time when it has one (intraday bars).
std::string BarTimeText(const PERIODE& bar) {
    return bar.secondsOfDay != 0 ? FormatDayNumberTime(bar.dayNumber, bar.secondsOfDay)
                                 : FormatDayNumber(bar.dayNumber);
}

// NaN is not above zero either.
bool IsAboveZero(float price) {
    return price > 0.0f;
}

struct NamedPrice {
    const char* name;
    float value;
};

template <typename Predicate>
bool AnyPrice(std::span<const NamedPrice> prices, Predicate applies) {
    return std::any_of(prices.begin(), prices.end(),
                       [&applies](const NamedPrice& price) { return applies(price.value); });
}

// "open 11", "open 11 and close 12": the prices for which `applies` holds.
template <typename Predicate>
std::string PriceList(std::span<const NamedPrice> prices, Predicate applies) {
    std::string text;
    for (const NamedPrice& price : prices) {
        if (!applies(price.value)) {
            continue;
        }
        if (!text.empty()) {
            text += " and ";
        }
        text += std::string(price.name) + " " + NumberText(price.value);
    }
    return text;
}

// One walk over a history. The bars it remembers belong to the history,
// which outlives the walk.
class CHealthPass {
public:
    CHealthPass(const HealthLimits& limits, OpenPrice open, std::vector<HealthFinding>& findings)
        : limits_(limits), checkOpen_(open == OpenPrice::Stored), findings_(findings) {}

    void Visit(std::size_t row, const PERIODE& bar) {
        row_ = row;
        bar_ = &bar;
        if (previous_ != nullptr) {
            CheckOrder(*previous_);
        }
        CheckPrices();
        CheckVolume();
        if (latest_ != nullptr) {
            CheckGap(*latest_);
        }
        if (lastPositiveClose_ != nullptr && IsAboveZero(bar.close)) {
            CheckJump(*lastPositiveClose_);
        }
        Remember(bar);
    }

private:
    void CheckOrder(const PERIODE& previous) {
        if (IsEarlierBar(*bar_, previous)) {
            Add(HealthFindingKind::OutOfOrder,
                "earlier than the bar before it (" + BarTimeText(previous) + ")");
        } else if (!IsEarlierBar(previous, *bar_)) {
            Add(HealthFindingKind::Duplicate, bar_->secondsOfDay != 0
                                                  ? "same date and time as the bar before"
                                                  : "same date as the bar before");
        }
    }

    void CheckPrices() {
        const PERIODE& bar = *bar_;
        // The open leads both lists and is left out when the file keeps none.
        const std::size_t first = checkOpen_ ? 0 : 1;
        const std::array<NamedPrice, 4> all{
            {{"open", bar.open}, {"high", bar.high}, {"low", bar.low}, {"close", bar.close}}};
        const auto notAboveZero = [](float price) { return !IsAboveZero(price); };
        if (AnyPrice(std::span(all).subspan(first), notAboveZero)) {
            Add(HealthFindingKind::NonPositivePrice,
                "not above zero: " + PriceList(std::span(all).subspan(first), notAboveZero));
            return;
        }
        const std::array<NamedPrice, 2> ends{{{"open", bar.open}, {"close", bar.close}}};
        const std::span<const NamedPrice> openAndClose = std::span(ends).subspan(first);
        const auto aboveHigh = [&bar](float price) { return price > bar.high; };
        if (AnyPrice(openAndClose, aboveHigh)) {
            Add(HealthFindingKind::HighBelow,
                "high " + NumberText(bar.high) + " below " + PriceList(openAndClose, aboveHigh));
        }
        const auto belowLow = [&bar](float price) { return price < bar.low; };
        if (AnyPrice(openAndClose, belowLow)) {
            Add(HealthFindingKind::LowAbove,
                "low " + NumberText(bar.low) + " above " + PriceList(openAndClose, belowLow));
        }
    }

    void CheckVolume() {
        if (bar_->volume < 0) {
            Add(HealthFindingKind::NegativeVolume, "volume " + std::to_string(bar_->volume));
        }
    }

    // From the latest bar so far rather than the previous one, so that a
    // single misplaced bar does not also show as a gap.
    void CheckGap(const PERIODE& latest) {
        const std::int32_t days = BusinessDaysAfter(latest.dayNumber, bar_->dayNumber);
        if (days > limits_.gapDays) {
            Add(HealthFindingKind::Gap, std::to_string(days) + " business days after the bar of " +
                                            FormatDayNumber(latest.dayNumber));
        }
    }

    void CheckJump(const PERIODE& before) {
        const double from = before.close;
        const double to = bar_->close;
        // Multiplied out rather than divided, so that a change of exactly
        // the threshold stays below it.
        if (!(std::fabs(to - from) * 100.0 > limits_.jumpPercent * from)) {
            return;
        }
        const SplitRatio split = NearestSplitRatio(to / from);
        char change[32];
        std::snprintf(change, sizeof change, "%+.1f %%", (to - from) * 100.0 / from);
        Add(HealthFindingKind::Jump,
            "close " + NumberText(bar_->close) + " after " + NumberText(before.close) + " (" +
                change + ") like a " + split.Text() + " split",
            split);
    }

    void Remember(const PERIODE& bar) {
        previous_ = &bar;
        if (latest_ == nullptr || IsEarlierBar(*latest_, bar)) {
            latest_ = &bar;
        }
        if (IsAboveZero(bar.close)) {
            lastPositiveClose_ = &bar;
        }
    }

    void Add(HealthFindingKind kind, std::string description, SplitRatio split = {}) {
        findings_.push_back(HealthFinding{.kind = kind,
                                          .row = row_,
                                          .sourcePos = bar_->sourcePos,
                                          .dayNumber = bar_->dayNumber,
                                          .secondsOfDay = bar_->secondsOfDay,
                                          .split = split,
                                          .description = std::move(description)});
    }

    const HealthLimits& limits_;
    const bool checkOpen_;
    std::vector<HealthFinding>& findings_;
    std::size_t row_ = 0;
    const PERIODE* bar_ = nullptr;
    const PERIODE* previous_ = nullptr;
    const PERIODE* latest_ = nullptr;
    const PERIODE* lastPositiveClose_ = nullptr;
};

} // namespace

bool HealthLimits::IsValid() const {
    return gapDays >= 1 && std::isfinite(jumpPercent) && jumpPercent > 0.0;
}

CPriceHealthCheck::CPriceHealthCheck(const HealthLimits& limits, OpenPrice open)
    : limits_(limits), open_(open) {}

void CPriceHealthCheck::Check(const PriceHistory& history,
                              std::vector<HealthFinding>& findings) const {
    CHealthPass pass(limits_, open_, findings);
    for (std::size_t row = 0; row < history.size(); ++row) {
        pass.Visit(row, history[row]);
    }
}

} // namespace mvr
