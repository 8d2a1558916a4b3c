#include "core/health/SplitRatio.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(SplitRatioTest, NearestCommonRatioOfAClosingJump) {
    struct Case {
        double closeRatio;
        SplitRatio expected;
    };
    for (const Case& c :
         {Case{0.498, {2, 1}}, Case{0.667, {3, 2}}, Case{0.34, {3, 1}}, Case{0.26, {4, 1}},
          Case{0.2, {5, 1}}, Case{0.098, {10, 1}}, Case{0.05, {20, 1}}, Case{0.01, {20, 1}},
          Case{2.02, {1, 2}}, Case{1.49, {2, 3}}, Case{4.9, {1, 5}}, Case{10.03, {1, 10}},
          Case{100.0, {1, 20}}}) {
        EXPECT_EQ(NearestSplitRatio(c.closeRatio), c.expected) << c.closeRatio;
    }
}

TEST(SplitRatioTest, NearnessIsMeasuredAsAFactor) {
    // 0.41 lies nearer 1/3 than 0.5 by difference, but nearer 0.5 as a factor
    // (0.5 / 0.41 < 0.41 / (1/3)).
    EXPECT_EQ(NearestSplitRatio(0.41), (SplitRatio{2, 1}));
    EXPECT_EQ(NearestSplitRatio(0.40), (SplitRatio{3, 1}));
}

TEST(SplitRatioTest, TextAndTheSplitDialogFactor) {
    EXPECT_EQ((SplitRatio{2, 1}).Text(), "2:1");
    EXPECT_EQ((SplitRatio{1, 10}).Text(), "1:10");
    // The split multiplies the older prices by the factor.
    EXPECT_FLOAT_EQ((SplitRatio{2, 1}).SplitFactor(), 0.5f);
    EXPECT_FLOAT_EQ((SplitRatio{3, 2}).SplitFactor(), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ((SplitRatio{1, 10}).SplitFactor(), 10.0f);
}

} // namespace
} // namespace mvr
