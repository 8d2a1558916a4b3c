#include "server/DemoPriceWalk.h"

#include "core/formats/DayNumber.h"
#include "server/MinuteBarAggregation.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace mvr {

namespace {

constexpr std::int64_t kMaxVolume = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxVolumeFactor = 1000;

bool IsHoliday(const DATUM& date) {
    return (date.month == 1 && date.day == 1) ||
           (date.month == 12 && (date.day == 25 || date.day == 26));
}

// The price moved by `ppm` millionths, rounded to the unit.
std::int64_t Scale(std::int64_t units, std::int64_t ppm) {
    ppm = std::max<std::int64_t>(ppm, -900000);
    return (units * (1000000 + ppm) + 500000) / 1000000;
}

std::int32_t ClampPrice(std::int64_t units) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(units, 1, kMaxPriceUnits));
}

std::int32_t ClampVolume(std::int64_t volume) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(volume, 0, kMaxVolume));
}

std::int64_t SquareRoot(std::int64_t value) {
    std::int64_t root = 0;
    while ((root + 1) * (root + 1) <= value) {
        ++root;
    }
    return root;
}

class CWalk {
public:
    CWalk(const DemoPricePlan& plan, std::span<const std::int32_t> days, CDemoRandom& random)
        : plan_(plan), days_(days), random_(random), previousClose_(plan.startUnits),
          upper_(std::min<std::int64_t>(std::int64_t{plan.startUnits} * 15, kMaxPriceUnits / 3)),
          lower_(std::max<std::int64_t>(plan.startUnits / 15, 20)) {}

    DemoHistory Run() {
        bool afterHalt = false;
        for (std::size_t i = plan_.firstDayIndex; i < days_.size(); ++i) {
            if (i >= plan_.haltStart && i < plan_.haltStart + plan_.haltLength) {
                afterHalt = true;
                continue;
            }
            ApplySplit(i);
            const std::int64_t open = Scale(previousClose_, OvernightGapPpm(afterHalt));
            afterHalt = false;
            const std::int64_t movePpm = DriftPpm() + random_.Noise(plan_.volatilityPpm);
            const std::int64_t close = Scale(open, movePpm);
            const std::int64_t volume = DayVolume(movePpm);
            if (i >= plan_.minuteBarsFrom && MakeMinuteBars(days_[i], open, volume)) {
                history_.daily.push_back(DailyFromMinutes(days_[i]));
            } else {
                DailyBar bar;
                bar.day = days_[i];
                Shape(bar, open, close, plan_.volatilityPpm / 2);
                bar.volume = ClampVolume(volume);
                history_.daily.push_back(bar);
            }
            previousClose_ = history_.daily.back().close;
            if (plan_.splitsWhenExpensive && previousClose_ > upper_) {
                pendingSplit_ = static_cast<int>(random_.Between(2, 3));
            }
        }
        return std::move(history_);
    }

private:
    void ApplySplit(std::size_t dayIndex) {
        int ratio = pendingSplit_;
        pendingSplit_ = 0;
        for (const DemoSplit& split : plan_.splits) {
            if (split.dayIndex == dayIndex) {
                ratio = split.ratio;
            }
        }
        if (ratio > 1) {
            previousClose_ = std::max<std::int64_t>(1, (previousClose_ + ratio / 2) / ratio);
            volumeFactor_ = std::min(volumeFactor_ * ratio, kMaxVolumeFactor);
        }
    }

    std::int64_t OvernightGapPpm(bool afterHalt) {
        const std::int64_t vol = plan_.volatilityPpm;
        if (afterHalt) {
            return random_.Noise(vol * 3);
        }
        if (random_.Percent(1)) {
            const std::int64_t gap = random_.Between(3 * vol, 6 * vol);
            return random_.Percent(50) ? gap : -gap;
        }
        return random_.Noise(vol / 5);
    }

    // Pulls the price back when it wanders far from where it started.
    std::int64_t DriftPpm() const {
        std::int64_t drift = plan_.driftPpm;
        if (previousClose_ > upper_ && !plan_.splitsWhenExpensive) {
            drift -= plan_.volatilityPpm / 3;
        }
        if (previousClose_ < lower_) {
            drift += plan_.volatilityPpm / 3;
        }
        return drift;
    }

    // More volume on days with larger moves.
    std::int64_t DayVolume(std::int64_t movePpm) {
        if (plan_.baseVolume == 0) {
            return 0;
        }
        const std::int64_t size = std::min<std::int64_t>(
            std::abs(movePpm) * 100 / std::max<std::int32_t>(plan_.volatilityPpm, 1), 500);
        return std::int64_t{plan_.baseVolume} * random_.Between(60, 140) / 100 * (100 + size) /
               100 * volumeFactor_;
    }

    template <class Bar>
    void Shape(Bar& bar, std::int64_t open, std::int64_t close, std::int64_t rangePpm) {
        bar.open = ClampPrice(open);
        bar.close = ClampPrice(close);
        const std::int64_t top = std::max(bar.open, bar.close);
        const std::int64_t bottom = std::min(bar.open, bar.close);
        bar.high = ClampPrice(Scale(top, random_.Between(0, std::max<std::int64_t>(rangePpm, 0))));
        bar.low =
            ClampPrice(Scale(bottom, -random_.Between(0, std::max<std::int64_t>(rangePpm, 0))));
    }

    // The minutes of one session; false when not a single minute traded.
    bool MakeMinuteBars(std::int32_t day, std::int64_t open, std::int64_t dayVolume) {
        const std::int64_t count = (plan_.sessionClose - plan_.sessionOpen) / 60;
        if (count < 1) {
            return false;
        }
        const std::int64_t minuteVol = std::max<std::int64_t>(
            1, plan_.volatilityPpm / std::max<std::int64_t>(1, SquareRoot(count)));
        const std::int64_t perMinute = dayVolume / count;
        const std::size_t before = history_.minutes.size();
        std::int64_t price = open;
        for (std::int64_t m = 0; m < count; ++m) {
            if (count > 1 && random_.Percent(4)) {
                continue; // no trade in this minute
            }
            IntradayBar bar;
            bar.day = day;
            bar.secondsOfDay = plan_.sessionOpen + static_cast<std::int32_t>(m * 60);
            const std::int64_t minuteOpen = history_.minutes.size() == before
                                                ? open
                                                : Scale(price, random_.Noise(minuteVol / 4));
            const std::int64_t minuteClose =
                Scale(minuteOpen, plan_.driftPpm / count + random_.Noise(minuteVol));
            Shape(bar, minuteOpen, minuteClose, minuteVol / 2);
            // Trading is busiest after the opening and before the close.
            const std::int64_t edge = std::min(m, count - 1 - m);
            const std::int64_t weight = edge < count / 10 ? 3 : 1;
            // A minute with a trade has some volume, even for a thin instrument.
            bar.volume = plan_.baseVolume == 0
                             ? 0
                             : ClampVolume(std::max<std::int64_t>(
                                   1, perMinute * weight * random_.Between(50, 150) / 200));
            history_.minutes.push_back(bar);
            price = bar.close;
        }
        return history_.minutes.size() > before;
    }

    // The day's minutes as one bar, as the server would aggregate them.
    DailyBar DailyFromMinutes(std::int32_t day) const {
        auto first = history_.minutes.end();
        while (first != history_.minutes.begin() && std::prev(first)->day == day) {
            --first;
        }
        const IntradayBar whole =
            AggregateMinuteBars(std::span(first, history_.minutes.end()), kMaxIntervalMinutes, 0)
                .front();
        return DailyBar{day, whole.open, whole.high, whole.low, whole.close, whole.volume};
    }

    const DemoPricePlan& plan_;
    std::span<const std::int32_t> days_;
    CDemoRandom& random_;
    std::int64_t previousClose_;
    const std::int64_t upper_;
    const std::int64_t lower_;
    std::int64_t volumeFactor_ = 1;
    int pendingSplit_ = 0;
    DemoHistory history_;
};

} // namespace

std::vector<std::int32_t> DemoBusinessDays(std::int32_t firstDay, std::int32_t lastDay) {
    // 1 January 2024 was a Monday.
    const std::int32_t monday = DatumToDayNumber(DATUM{1, 1, 2024});
    std::vector<std::int32_t> days;
    for (std::int32_t day = std::max(firstDay, 1); day <= lastDay; ++day) {
        const std::int32_t weekday = ((day - monday) % 7 + 7) % 7;
        if (weekday < 5 && !IsHoliday(DayNumberToDatum(day))) {
            days.push_back(day);
        }
    }
    return days;
}

DemoHistory GenerateDemoHistory(const DemoPricePlan& plan, std::span<const std::int32_t> days,
                                CDemoRandom& random) {
    return CWalk(plan, days, random).Run();
}

} // namespace mvr
