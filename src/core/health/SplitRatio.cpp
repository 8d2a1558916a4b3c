#include "core/health/SplitRatio.h"

#include <array>
#include <cmath>

namespace mvr {

namespace {

// Forward splits; each also stands for its reverse.
constexpr std::array<SplitRatio, 7> kCommonSplits{
    {{3, 2}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {10, 1}, {20, 1}}};

// How far apart two price ratios lie as factors: 0.5 is as far from 1 as 2 is.
double FactorDistance(double a, double b) {
    return std::fabs(std::log(a / b));
}

} // namespace

std::string SplitRatio::Text() const {
    return std::to_string(newShares) + ":" + std::to_string(oldShares);
}

SplitRatio NearestSplitRatio(double closeRatio) {
    SplitRatio nearest = kCommonSplits.front();
    double nearestDistance = FactorDistance(closeRatio, nearest.PriceRatio());
    for (const SplitRatio& forward : kCommonSplits) {
        for (const SplitRatio candidate :
             {forward, SplitRatio{forward.oldShares, forward.newShares}}) {
            const double distance = FactorDistance(closeRatio, candidate.PriceRatio());
            if (distance < nearestDistance) {
                nearest = candidate;
                nearestDistance = distance;
            }
        }
    }
    return nearest;
}

} // namespace mvr
