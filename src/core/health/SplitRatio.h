#pragma once

// The share ratio of a stock split, as a price jump of a history that was
// never adjusted for it suggests one.

#include <string>

namespace mvr {

// `newShares` for `oldShares`: 2:1 gives two shares for one and halves the
// price; 1:10 (a reverse split) makes ten shares one and multiplies the
// price by ten.
struct SplitRatio {
    int newShares = 1;
    int oldShares = 1;

    // What the split does to the price: after / before (0.5 for 2:1).
    double PriceRatio() const { return static_cast<double>(oldShares) / newShares; }

    // The factor of the data editor's split (ApplySplit, CSplitDataValues):
    // the prices of the bars before the split day are multiplied by it and
    // their volumes divided by it, so that they meet the prices after the
    // split. Equal to the price ratio: 0.5 for 2:1, 10 for 1:10.
    float SplitFactor() const { return static_cast<float>(PriceRatio()); }

    // "2:1", "3:2", "1:10".
    std::string Text() const;

    bool operator==(const SplitRatio&) const = default;
};

// The common split ratio (3:2, 2:1, 3:1, 4:1, 5:1, 10:1, 20:1 and their
// reverse splits) whose price ratio lies nearest to `closeRatio`, the close
// after the jump divided by the close before it, measured as a factor (a
// jump to 0.45 is nearer 0.5 than 1/3). `closeRatio` must be positive.
SplitRatio NearestSplitRatio(double closeRatio);

} // namespace mvr
