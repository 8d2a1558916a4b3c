#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "support/CalendarDay.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace mvr {
namespace {

using test::Day;

// A bar as read from a file: its place in the file and not new.
PERIODE Stored(std::int32_t day, float close, std::int32_t sourcePos, std::int32_t seconds = 0) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.secondsOfDay = seconds;
    bar.open = close - 0.5f;
    bar.high = close + 1.0f;
    bar.low = close - 1.0f;
    bar.close = close;
    bar.volume = 1000 + sourcePos;
    bar.sourcePos = sourcePos;
    bar.isNew = 0;
    return bar;
}

// The same values as downloaded: no place in a file, new.
PERIODE Downloaded(const PERIODE& stored) {
    PERIODE bar = stored;
    bar.sourcePos = -1;
    bar.isNew = 1;
    return bar;
}

PERIODE Downloaded(std::int32_t day, float close, std::int32_t seconds = 0) {
    return Downloaded(Stored(day, close, 0, seconds));
}

PERIODE EmptyBar(std::int32_t day, std::int32_t seconds = 0) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.secondsOfDay = seconds;
    bar.isNew = 1;
    return bar;
}

std::vector<std::int32_t> DaysOf(const PriceHistory& history) {
    std::vector<std::int32_t> days;
    for (const PERIODE& bar : history) {
        days.push_back(bar.dayNumber);
    }
    return days;
}

PriceHistory Merged(const PriceHistory& stored, const PriceHistory& downloaded) {
    CExportDataFile file;
    file.History() = stored;
    file.Merge(downloaded);
    return file.History();
}

const std::int32_t kMarch1 = Day(1, 3, 2005);

// Stored 1..10 March 2005 at file positions 0..9.
PriceHistory TenStoredDays() {
    PriceHistory history;
    for (int k = 0; k < 10; ++k) {
        history.push_back(Stored(kMarch1 + k, 20.0f + static_cast<float>(k), k));
    }
    return history;
}

TEST(HistoryMergeTest, OverlappingDaysMergeWithoutDuplicates) {
    // A normal update after 10 March asks again from 5 March: the overlap is
    // 5..10 March, of which the server corrected 8 March; 11 and 14 March are new.
    const PriceHistory stored = TenStoredDays();
    PriceHistory downloaded;
    for (int k = 4; k < 10; ++k) {
        downloaded.push_back(Downloaded(stored[static_cast<std::size_t>(k)]));
    }
    downloaded[3].close = 99.0f;
    downloaded.push_back(Downloaded(kMarch1 + 10, 31.0f));
    downloaded.push_back(Downloaded(kMarch1 + 13, 32.0f));

    const PriceHistory merged = Merged(stored, downloaded);
    ASSERT_EQ(merged.size(), 12u);
    for (int k = 0; k < 10; ++k) {
        const PERIODE& bar = merged[static_cast<std::size_t>(k)];
        EXPECT_EQ(bar.dayNumber, kMarch1 + k);
        EXPECT_EQ(bar.sourcePos, k) << "a bar of the overlap keeps its place in the file";
        if (k == 7) {
            EXPECT_EQ(bar.close, 99.0f);
            EXPECT_EQ(bar.isNew, 1);
        } else {
            EXPECT_EQ(bar, stored[static_cast<std::size_t>(k)]) << "equal bars stay as stored";
        }
    }
    EXPECT_EQ(merged[10].dayNumber, kMarch1 + 10);
    EXPECT_EQ(merged[10].sourcePos, -1);
    EXPECT_EQ(merged[10].isNew, 1);
    EXPECT_EQ(merged[11].dayNumber, kMarch1 + 13);
}

TEST(HistoryMergeTest, AVolumeChangeAloneReplacesTheBar) {
    const PriceHistory stored = TenStoredDays();
    PERIODE changed = Downloaded(stored[2]);
    changed.volume += 1;
    const PriceHistory merged = Merged(stored, {changed});
    EXPECT_EQ(merged[2].volume, changed.volume);
    EXPECT_EQ(merged[2].isNew, 1);
    EXPECT_EQ(merged[2].sourcePos, 2);
}

TEST(HistoryMergeTest, EmptyDownloadedBarsDeleteStoredDaysAndAreIgnoredElsewhere) {
    const PriceHistory stored = TenStoredDays();
    const std::int32_t notStored = kMarch1 - 3;
    const PriceHistory downloaded = {EmptyBar(notStored), EmptyBar(kMarch1 + 2),
                                     Downloaded(stored[5]), EmptyBar(kMarch1 + 7),
                                     EmptyBar(kMarch1 + 20)};
    const PriceHistory merged = Merged(stored, downloaded);
    std::vector<std::int32_t> expected;
    for (int k = 0; k < 10; ++k) {
        if (k != 2 && k != 7) {
            expected.push_back(kMarch1 + k);
        }
    }
    EXPECT_EQ(DaysOf(merged), expected);
}

TEST(HistoryMergeTest, ABarWithOnlyAVolumeIsNotEmpty) {
    PERIODE volumeOnly = EmptyBar(kMarch1 + 1);
    volumeOnly.volume = 5;
    const PriceHistory merged = Merged(TenStoredDays(), {volumeOnly});
    ASSERT_EQ(merged.size(), 10u);
    EXPECT_EQ(merged[1].volume, 5);
    EXPECT_EQ(merged[1].close, 0.0f);
}

TEST(HistoryMergeTest, StoredBarsAfterTheLastDownloadedBarAreKept) {
    const PriceHistory stored = TenStoredDays();
    const PriceHistory downloaded = {Downloaded(kMarch1 - 2, 5.0f), Downloaded(stored[1])};
    const PriceHistory merged = Merged(stored, downloaded);
    ASSERT_EQ(merged.size(), 11u);
    EXPECT_EQ(merged.front().dayNumber, kMarch1 - 2);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(merged[static_cast<std::size_t>(k) + 1], stored[static_cast<std::size_t>(k)]);
    }
}

TEST(HistoryMergeTest, StoredBarsNotAboveTheLastMergedDayAreDroppedAfterTheDownload) {
    // Intraday: the download ends at 10:00 of 3 March; the stored bars of that
    // day after 10:00 go, the next day's bar stays. Before the download is
    // exhausted, a stored bar of the same day (09:00) is kept.
    const std::int32_t day = kMarch1 + 2;
    const PriceHistory stored = {Stored(day, 10.0f, 0, 9 * 3600), Stored(day, 11.0f, 1, 11 * 3600),
                                 Stored(day, 12.0f, 2, 12 * 3600),
                                 Stored(day + 1, 13.0f, 3, 9 * 3600)};
    const PriceHistory downloaded = {Downloaded(day, 15.0f, 10 * 3600)};
    const PriceHistory merged = Merged(stored, downloaded);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0], stored[0]);
    EXPECT_EQ(merged[1].secondsOfDay, 10 * 3600);
    EXPECT_EQ(merged[1].isNew, 1);
    EXPECT_EQ(merged[2], stored[3]);
}

TEST(HistoryMergeTest, OrderComparesTheTimeWithinADay) {
    const std::int32_t day = kMarch1;
    const PriceHistory stored = {Stored(day, 10.0f, 0, 9 * 3600), Stored(day, 11.0f, 1, 10 * 3600),
                                 Stored(day + 1, 12.0f, 2, 9 * 3600)};
    const PriceHistory downloaded = {Downloaded(day, 20.0f, 9 * 3600 + 1800), Downloaded(stored[1]),
                                     Downloaded(day, 21.0f, 16 * 3600)};
    const PriceHistory merged = Merged(stored, downloaded);
    ASSERT_EQ(merged.size(), 5u);
    EXPECT_EQ(merged[0], stored[0]);
    EXPECT_EQ(merged[1].secondsOfDay, 9 * 3600 + 1800);
    EXPECT_EQ(merged[2], stored[1]);
    EXPECT_EQ(merged[3].secondsOfDay, 16 * 3600);
    EXPECT_EQ(merged[4], stored[2]);
}

TEST(HistoryMergeTest, EmptyHistoriesOnEitherSide) {
    const PriceHistory downloaded = {Downloaded(kMarch1, 1.0f), EmptyBar(kMarch1 + 1),
                                     Downloaded(kMarch1 + 2, 2.0f)};
    EXPECT_EQ(Merged({}, downloaded), downloaded) << "copied unchanged, empty bars included";
    EXPECT_EQ(Merged(TenStoredDays(), {}), TenStoredDays());
    EXPECT_TRUE(Merged({}, {}).empty());
}

TEST(HistoryMergeTest, ReplaceTakesTheDownloadedBarsAllNew) {
    PriceHistory downloaded = {Downloaded(kMarch1 + 30, 1.0f), EmptyBar(kMarch1 + 31)};
    downloaded[0].isNew = 0;
    CExportDataFile file;
    file.History() = TenStoredDays();
    file.ReplaceHistory(downloaded);
    ASSERT_EQ(file.History().size(), 2u);
    EXPECT_EQ(file.History()[0].dayNumber, kMarch1 + 30);
    EXPECT_EQ(file.History()[1], EmptyBar(kMarch1 + 31));
    for (const PERIODE& bar : file.History()) {
        EXPECT_EQ(bar.isNew, 1);
    }
}

TEST(HistoryMergeTest, SymbolDatesComeFromTheFirstAndLastBar) {
    CExportDataFile file;
    file.Symbol().firstDate = 123.0;
    file.Symbol().lastDate = 456.0;
    file.SetSymbolDatesFromHistory();
    EXPECT_EQ(file.Symbol().firstDate, 0.0);
    EXPECT_EQ(file.Symbol().lastDate, 0.0);

    const std::int32_t day = Day(1, 1, 2000); // OLE date 36526
    file.History() = {Stored(day, 1.0f, 0), Stored(day + 3, 2.0f, 1, 18 * 3600)};
    file.SetSymbolDatesFromHistory();
    EXPECT_DOUBLE_EQ(file.Symbol().firstDate, 36526.0);
    EXPECT_DOUBLE_EQ(file.Symbol().lastDate, 36529.75);
}

} // namespace
} // namespace mvr

namespace mvr {
namespace {

// Merge counts what it adds and changes as it goes; the count must be the one
// a comparison of the histories before and after gives, for stored and
// downloaded days that overlap, interleave, repeat values or delete bars.
TEST(HistoryMergeCountTest, TheCountsAreThoseOfTheHistoriesBeforeAndAfter) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> step(0, 3), kind(0, 9);
    for (int round = 0; round < 300; ++round) {
        PriceHistory stored;
        PriceHistory downloaded;
        std::int32_t storedDay = Day(1, 3, 2021) + step(random);
        std::int32_t downloadedDay = Day(1, 3, 2021) + 4 * step(random);
        for (int i = 0; i < 30; ++i) {
            stored.push_back(
                Stored(storedDay += 1 + step(random), 10.0f + static_cast<float>(i), i));
        }
        for (int i = 0; i < 20; ++i) {
            downloadedDay += 1 + step(random);
            const auto same = std::find_if(stored.begin(), stored.end(), [&](const PERIODE& bar) {
                return bar.dayNumber == downloadedDay;
            });
            const int choice = kind(random);
            if (choice == 0) {
                downloaded.push_back(EmptyBar(downloadedDay));
            } else if (same != stored.end() && choice < 5) {
                downloaded.push_back(Downloaded(*same)); // the stored values again
            } else {
                downloaded.push_back(Downloaded(downloadedDay, 50.0f + static_cast<float>(i)));
            }
        }
        for (const bool replace : {false, true}) {
            CExportDataFile file;
            file.History() = stored;
            const HistoryChanges counted =
                replace ? file.ReplaceHistory(downloaded) : file.Merge(downloaded);
            const HistoryChanges expected = CountHistoryChanges(
                stored, file.History(), [&file](const PERIODE& bar, const PERIODE& before) {
                    return file.KeepsSameValues(bar, before);
                });
            ASSERT_EQ(counted.added, expected.added) << "round " << round << " replace " << replace;
            ASSERT_EQ(counted.changed, expected.changed)
                << "round " << round << " replace " << replace;
        }
    }
}

} // namespace
} // namespace mvr
