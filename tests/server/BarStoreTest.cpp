#include "server/BarStore.h"

#include "core/platform/FileSystem.h"
#include "server/BarFiles.h"
#include "server/DataFolderLayout.h"
#include "server/DemoRandom.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"

#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <stdexcept>
#include <thread>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteDataFile;

using IntCache = CSharedLoadCache<int, int>;

IntCache::Loaded Value(int value, std::size_t bytes, bool keep = true) {
    return {std::make_shared<const int>(value), bytes, keep};
}

TEST(SharedLoadCacheTest, KeepsValuesAndEvictsTheLeastRecentlyUsed) {
    IntCache cache(20);
    int loads = 0;
    auto get = [&](int key) {
        return *cache.Get(key, [&] {
            ++loads;
            return Value(key * 10, 10);
        });
    };
    EXPECT_EQ(get(1), 10);
    EXPECT_EQ(get(2), 20);
    EXPECT_EQ(get(1), 10); // 1 is now the most recent
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(get(3), 30); // evicts 2
    EXPECT_EQ(cache.Statistics().bytes, 20u);
    EXPECT_EQ(get(1), 10);
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(get(2), 20);
    EXPECT_EQ(loads, 4);
    const CacheStatistics statistics = cache.Statistics();
    EXPECT_EQ(statistics.loads, 4u);
    EXPECT_EQ(statistics.hits, 2u);
    EXPECT_EQ(statistics.entries, 2u);
}

TEST(SharedLoadCacheTest, OversizedFailedAndThrowingLoadsAreNotKept) {
    IntCache cache(20);
    int loads = 0;
    EXPECT_EQ(*cache.Get(1, [&] { return ++loads, Value(1, 21); }), 1);
    EXPECT_EQ(*cache.Get(1, [&] { return ++loads, Value(1, 21); }), 1);
    EXPECT_EQ(*cache.Get(2, [&] { return ++loads, Value(2, 1, false); }), 2);
    EXPECT_EQ(*cache.Get(2, [&] { return ++loads, Value(2, 1, false); }), 2);
    EXPECT_EQ(loads, 4);
    EXPECT_THROW(cache.Get(3, []() -> IntCache::Loaded { throw std::runtime_error("disk"); }),
                 std::runtime_error);
    EXPECT_EQ(*cache.Get(3, [] { return Value(3, 1); }), 3);
    EXPECT_EQ(cache.Statistics().entries, 1u);
}

TEST(SharedLoadCacheTest, ThreadsAskingForOneKeyShareOneLoad) {
    IntCache cache(1000);
    constexpr int kThreads = 8;
    std::atomic<int> loads{0};
    std::latch ready(kThreads);
    std::vector<std::jthread> threads;
    std::atomic<int> correct{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            ready.arrive_and_wait();
            const auto value = cache.Get(7, [&] {
                ++loads;
                return Value(70, 1);
            });
            correct += *value == 70;
        });
    }
    threads.clear();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(correct, kThreads);
    const CacheStatistics statistics = cache.Statistics();
    EXPECT_EQ(statistics.loads + statistics.hits + statistics.joins, std::uint64_t{kThreads});
}

class BarStoreTest : public ::testing::Test {
protected:
    static constexpr int kInstruments = 30;

    void SetUp() override {
        CreateFolders(DataFilePath(folder.Path(), kDailyFolder));
        CreateFolders(DataFilePath(folder.Path(), kIntradayFolder));
        for (int i = 0; i < kInstruments; ++i) {
            std::vector<DailyBar> bars;
            for (int d = 0; d < 200 + i; ++d) {
                bars.push_back({730000 + d, 100 + i, 110 + i, 90, 100 + i, d});
            }
            WriteDataFile(folder.Path(), BarFileName(BarKind::Daily, 1 + i),
                          FormatDailyBars(bars, 2));
            expected.push_back(bars);
        }
    }

    TempDir folder;
    std::vector<std::vector<DailyBar>> expected;
};

TEST_F(BarStoreTest, FilesAreReadOnFirstUseOnly) {
    CBarStore store(folder.Path(), 1 << 20);
    EXPECT_EQ(store.Statistics().loads, 0u);
    const auto first = store.Get(BarKind::Daily, 3, 2);
    EXPECT_FALSE(first->error);
    EXPECT_EQ(first->daily, expected[2]);
    EXPECT_TRUE(first->minutes.empty());
    EXPECT_EQ(store.Get(BarKind::Daily, 3, 2), first);
    EXPECT_EQ(store.Statistics().loads, 1u);
    EXPECT_EQ(store.Statistics().hits, 1u);
    // No file: no bars, no error.
    const auto none = store.Get(BarKind::Intraday, 3, 2);
    EXPECT_FALSE(none->error);
    EXPECT_TRUE(none->minutes.empty());
}

TEST_F(BarStoreTest, BrokenFilesReportTheirFaultUntilRepaired) {
    CBarStore store(folder.Path(), 1 << 20);
    WriteDataFile(folder.Path(), "intraday/5.csv",
                  "date,time,open,high,low,close,volume\n2024-01-02,09:00,1,2,3,1,0\n");
    const auto broken = store.Get(BarKind::Intraday, 5, 0);
    ASSERT_TRUE(broken->error);
    EXPECT_EQ(broken->error->Text(),
              "intraday/5.csv:2: the prices break low <= open, close <= high");
    EXPECT_TRUE(broken->minutes.empty());
    WriteDataFile(folder.Path(), "intraday/5.csv",
                  "date,time,open,high,low,close,volume\n2024-01-02,09:00,1,3,1,2,0\n");
    const auto repaired = store.Get(BarKind::Intraday, 5, 0);
    EXPECT_FALSE(repaired->error);
    EXPECT_EQ(repaired->minutes.size(), 1u);
}

// Many threads reading the bars of many instruments in random order, once
// with room for everything and once with room for a few files: every answer
// is right, with room every file is read once, and the cache stays in bounds.
TEST_F(BarStoreTest, ConcurrentReadersGetTheRightBarsWithinTheBound) {
    for (const std::size_t capacity : {std::size_t{8} << 20, std::size_t{16} << 10}) {
        CBarStore store(folder.Path(), capacity);
        constexpr int kThreads = 8;
        std::latch ready(kThreads);
        std::atomic<int> wrong{0};
        std::atomic<std::size_t> largestBytes{0};
        {
            std::vector<std::jthread> threads;
            for (int t = 0; t < kThreads; ++t) {
                threads.emplace_back([&, t] {
                    CDemoRandom random(static_cast<std::uint64_t>(t));
                    ready.arrive_and_wait();
                    for (int request = 0; request < 300; ++request) {
                        const int i = static_cast<int>(random.Below(kInstruments));
                        const auto series = store.Get(BarKind::Daily, 1 + i, 2);
                        if (series->error || series->daily != expected[i]) {
                            ++wrong;
                        }
                        const std::size_t bytes = store.Statistics().bytes;
                        std::size_t seen = largestBytes;
                        while (bytes > seen && !largestBytes.compare_exchange_weak(seen, bytes)) {
                        }
                    }
                });
            }
        }
        const CacheStatistics statistics = store.Statistics();
        EXPECT_EQ(wrong, 0);
        EXPECT_LE(largestBytes.load(), capacity);
        EXPECT_EQ(statistics.loads + statistics.hits + statistics.joins,
                  std::uint64_t{kThreads * 300});
        if (capacity > (std::size_t{1} << 20)) {
            EXPECT_EQ(statistics.loads, std::uint64_t{kInstruments});
        } else {
            EXPECT_GT(statistics.loads, std::uint64_t{kInstruments});
        }
    }
}

} // namespace
} // namespace mvr
