#include "core/lists/ListObserver.h"

#include "support/RecordingListObserver.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::RecordingListObserver;

TEST(ListNotifierTest, ChangedRowsAreToldAsRunsOfNeighbours) {
    RecordingListObserver observer;
    CListNotifier notifier;
    notifier.SetObserver(&observer);
    notifier.ChangedRuns({true, true, false, true, false, false, true, true});
    notifier.ChangedRuns({false, false});
    notifier.ChangedRuns({});
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"changed 0-1", "changed 3-3", "changed 6-7"}));
}

TEST(ListNotifierTest, AResetIsAnnouncedWhenItBeginsAndToldWhenItEnds) {
    RecordingListObserver observer;
    CListNotifier notifier;
    notifier.SetObserver(&observer);
    {
        const auto reset = notifier.Reset();
        EXPECT_EQ(observer.calls, (std::vector<std::string>{"about to reset"}));
    }
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"about to reset", "reset"}));

    // Without an observer nothing is called, and an observer set later is
    // not told of what went before.
    notifier.SetObserver(nullptr);
    {
        const auto reset = notifier.Reset();
        notifier.Changed(0, 1);
        notifier.SelectionChanged();
    }
    EXPECT_TRUE(observer.calls.empty());
}

} // namespace
} // namespace mvr
