// The worker thread under every background request: its name and run flag,
// one piece of work at a time, and a failure that ends only the work.

#include "core/net/RequestWorker.h"

#include "core/platform/ThreadName.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>

namespace mvr {
namespace {

TEST(RequestWorkerTest, WorkRunsOnANamedThreadWithItsRunFlagSet) {
    CRequestWorker worker;
    std::string name;
    int flag = -1;
    ASSERT_TRUE(worker.Start("LoaderThread", [&](const RunFlag& run) {
        name = CurrentThreadName();
        flag = run.load();
    }));
    worker.Wait();
    EXPECT_EQ(name, "LoaderThread");
    EXPECT_EQ(flag, 1);
    EXPECT_FALSE(worker.IsRunning());
}

TEST(RequestWorkerTest, OnePieceOfWorkAtATimeAndAStoppedWorkerStartsAfresh) {
    CRequestWorker worker;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    int seenAfterStop = -1;
    ASSERT_TRUE(worker.Start("First", [&](const RunFlag& run) {
        released.wait();
        seenAfterStop = run.load();
    }));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Start("Second", [](const RunFlag&) {}));
    worker.Stop();
    release.set_value();
    worker.Wait();
    EXPECT_EQ(seenAfterStop, 0);

    int flagOfNext = -1;
    ASSERT_TRUE(worker.Start("Second", [&](const RunFlag& run) { flagOfNext = run.load(); }));
    worker.Wait();
    EXPECT_EQ(flagOfNext, 1);
}

TEST(RequestWorkerTest, WorkThatThrowsEndsOnlyItself) {
    CRequestWorker worker;
    ASSERT_TRUE(worker.Start("Failing", [](const RunFlag&) { throw std::runtime_error("lost"); }));
    worker.Wait();
    EXPECT_FALSE(worker.IsRunning());
    ASSERT_TRUE(worker.Start("Unknown", [](const RunFlag&) { throw 42; }));
    worker.Wait();
    bool ran = false;
    ASSERT_TRUE(worker.Start("After", [&](const RunFlag&) { ran = true; }));
    worker.Wait();
    EXPECT_TRUE(ran);
}

TEST(RequestWorkerTest, DestroyingAWorkerStopsAndWaitsForItsWork) {
    std::atomic<bool> ended{false};
    {
        CRequestWorker worker;
        ASSERT_TRUE(worker.Start("Waiting", [&](const RunFlag& run) {
            while (run.load() != 0) {
                std::this_thread::yield();
            }
            ended = true;
        }));
    }
    EXPECT_TRUE(ended);
}

} // namespace
} // namespace mvr
