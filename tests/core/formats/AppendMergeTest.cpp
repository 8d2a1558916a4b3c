// Merging by appending: for every writable format, a download that only adds
// bars after the stored ones leaves the file exactly as reading, merging and
// writing it whole does; every other download is left to the whole-file path
// without touching the file.

#include "core/formats/ExportDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/Paths.h"
#include "FolderFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;

struct SeriesKind {
    int formatType;
    int fieldCount; // MetaStock only
    bool intraday;
};

std::string NameOf(const testing::TestParamInfo<SeriesKind>& info) {
    return "Type" + std::to_string(info.param.formatType) + "Fields" +
           std::to_string(info.param.fieldCount) + (info.param.intraday ? "Intraday" : "");
}

ExportSymbolInfo SymbolOf(const SeriesKind& kind) {
    ExportSymbolInfo symbol = test::NewSymbol("KAVO", 4711, "Kavolo AG");
    symbol.fileNumber = 7;
    symbol.fieldCount = kind.fieldCount;
    if (kind.intraday) {
        symbol.period = kPeriodIntraday;
        symbol.interval = 10;
    }
    return symbol;
}

// `count` bars, one every `step` days (or every 10 minutes, 24 to a day, for
// an intraday series), with prices every format keeps exactly.
PriceHistory Bars(const SeriesKind& kind, int count, int step = 1) {
    PriceHistory bars;
    const std::int32_t first = DatumToDayNumber(DATUM{4, 1, 2016});
    for (int k = 0; k < count; ++k) {
        PERIODE bar;
        bar.dayNumber = kind.intraday ? first + k / 24 : first + k * step;
        bar.secondsOfDay = kind.intraday ? 9 * 3600 + (k % 24) * 600 : 0;
        bar.close = 50.0f + 0.25f * static_cast<float>(k % 97);
        bar.open = bar.close - 0.5f;
        bar.high = bar.close + 1.0f;
        bar.low = bar.open - 1.0f;
        bar.volume = 1000 + 10 * k;
        bar.isNew = 1;
        bars.push_back(bar);
    }
    return bars;
}

struct Outcome {
    std::vector<std::uint8_t> bytes;
    double firstDate = 0;
    double lastDate = 0;
    HistoryChanges changes;
};

class AppendMergeTest : public testing::TestWithParam<SeriesKind> {
protected:
    // The stored file in both folders.
    void Store(const PriceHistory& history) {
        for (const TempDir* dir : {&appended_, &whole_}) {
            CExportDataFile file;
            file.BuildFileName(dir->Path(), symbol_, Kind().formatType);
            file.History() = history;
            ASSERT_TRUE(file.Write(true));
            path_ = file.FilePath();
        }
    }

    const SeriesKind& Kind() const { return GetParam(); }
    std::string FileIn(const TempDir& dir) const { return dir.File(FileNamePart(path_)); }

    Outcome Whole(const PriceHistory& downloaded) {
        CExportDataFile file;
        EXPECT_TRUE(file.Read(whole_.Path(), symbol_, Kind().formatType));
        Outcome outcome;
        outcome.changes = file.Merge(downloaded);
        file.SetSymbolDatesFromHistory();
        EXPECT_TRUE(file.Write(false));
        outcome.bytes = test::ReadBytes(FileIn(whole_));
        outcome.firstDate = file.Symbol().firstDate;
        outcome.lastDate = file.Symbol().lastDate;
        return outcome;
    }

    AppendResult Append(const PriceHistory& downloaded, Outcome& outcome) {
        CExportDataFile file;
        file.BuildFileName(appended_.Path(), symbol_, Kind().formatType);
        CFileAppendGroup group(appended_.Path());
        const AppendResult result = file.MergeByAppending(downloaded, group, outcome.changes);
        const std::size_t staged = result == AppendResult::Staged ? 1u : 0u;
        EXPECT_EQ(group.StagedCount(), staged);
        EXPECT_EQ(group.Commit(), std::vector<bool>(staged, true));
        EXPECT_FALSE(file.Write(true)) << "the object holds only the file's tail";
        outcome.bytes = test::ReadBytes(FileIn(appended_));
        outcome.firstDate = file.Symbol().firstDate;
        outcome.lastDate = file.Symbol().lastDate;
        return result;
    }

    // The append's file, dates and counts are the whole path's.
    void ExpectAppendedAsWhole(const PriceHistory& downloaded, AppendResult expected) {
        Outcome appended;
        ASSERT_EQ(Append(downloaded, appended), expected);
        const Outcome whole = Whole(downloaded);
        EXPECT_TRUE(test::SameBytes(appended.bytes, whole.bytes));
        EXPECT_EQ(appended.firstDate, whole.firstDate);
        EXPECT_EQ(appended.lastDate, whole.lastDate);
        EXPECT_EQ(appended.changes, whole.changes);
    }

    void ExpectLeftToTheWholePath(const PriceHistory& downloaded) {
        const auto before = test::ReadBytes(FileIn(appended_));
        Outcome appended;
        EXPECT_EQ(Append(downloaded, appended), AppendResult::NeedsWholeFile);
        EXPECT_EQ(appended.bytes, before);
    }

    TempDir appended_;
    TempDir whole_;
    ExportSymbolInfo symbol_ = SymbolOf(GetParam());
    std::string path_;
};

// The stored bars from `from` on as a download brings them again, then `added`.
PriceHistory Download(const PriceHistory& stored, std::size_t from, const PriceHistory& added) {
    PriceHistory downloaded(stored.begin() + static_cast<std::ptrdiff_t>(from), stored.end());
    downloaded.insert(downloaded.end(), added.begin(), added.end());
    return downloaded;
}

TEST_P(AppendMergeTest, DownloadsThatOnlyAddBarsAppendWhatTheWholeFileWriteWouldWrite) {
    const PriceHistory all = Bars(Kind(), 3000);
    const auto stored = [&](std::size_t n) { return PriceHistory(all.begin(), all.begin() + n); };
    const auto after = [&](std::size_t n, std::size_t count) {
        return PriceHistory(all.begin() + n, all.begin() + n + count);
    };
    struct Step {
        const char* what;
        PriceHistory downloaded;
        AppendResult result;
    };
    // Each step's download goes on top of the file as the steps before left it.
    Store(stored(100));
    PERIODE emptyAfter = all[120];
    emptyAfter.open = emptyAfter.high = emptyAfter.low = emptyAfter.close = 0.0f;
    emptyAfter.volume = 0;
    PriceHistory newWithEmpty = after(110, 5);
    newWithEmpty.push_back(emptyAfter);
    const Step steps[] = {
        {"three days again and five new", Download(stored(100), 97, after(100, 5)),
         AppendResult::Staged},
        {"only new bars", after(105, 5), AppendResult::Staged},
        {"nothing new", Download(stored(110), 105, {}), AppendResult::NothingNew},
        {"new bars and an empty one after them", newWithEmpty, AppendResult::Staged},
        {"a long overlap reaching far into the file", Download(stored(115), 15, after(115, 2000)),
         AppendResult::Staged},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ExpectAppendedAsWhole(step.downloaded, step.result);
    }
}

TEST_P(AppendMergeTest, DownloadsThatChangeDeleteOrInsertStoredBarsNeedTheWholeFile) {
    const PriceHistory all = Bars(Kind(), 60, 2);
    const PriceHistory stored(all.begin(), all.begin() + 50);
    Store(stored);
    const PriceHistory added(all.begin() + 50, all.end());

    PriceHistory changed = Download(stored, 47, added);
    changed[1].close += 1.0f;
    PriceHistory deleted = Download(stored, 47, added);
    deleted[1].open = deleted[1].high = deleted[1].low = deleted[1].close = 0.0f;
    deleted[1].volume = 0;
    PriceHistory inserted = Download(stored, 47, added);
    PERIODE between = inserted[1];
    // Daily series are stored every other day; intraday ones every 10 minutes.
    (Kind().intraday ? between.secondsOfDay : between.dayNumber) += 1;
    inserted.insert(inserted.begin() + 2, between);
    PriceHistory earlier = stored;
    earlier.front().dayNumber -= 1;
    earlier.insert(earlier.end(), added.begin(), added.end());

    for (const auto& [what, downloaded] :
         {std::pair{"a stored bar changed", changed}, std::pair{"a stored bar deleted", deleted},
          std::pair{"a bar between stored ones", inserted},
          std::pair{"a bar before the first stored one", earlier}}) {
        SCOPED_TRACE(what);
        ExpectLeftToTheWholePath(downloaded);
    }
}

const SeriesKind kKinds[] = {
    {kFormatMetaStock, 7, false},        {kFormatMetaStock, 5, false},
    {kFormatMetaStock, 8, false},        {kFormatMetaStockIntraday, 7, true},
    {kFormatMetaStockIntraday, 6, true}, {kFormatAsciiComma, 7, false},
    {kFormatAsciiTab, 7, false},         {kFormatAsciiExcelComma, 7, false},
    {kFormatAsciiExcelPoint, 7, false},  {kFormatAsciiCommaLongYear, 7, false},
    {kFormatAsciiIntraday, 7, true},
};
INSTANTIATE_TEST_SUITE_P(WritableFormats, AppendMergeTest, testing::ValuesIn(kKinds), NameOf);

// Files an append may not extend, though the download only adds bars.
class AppendRefusalTest : public testing::Test {
protected:
    AppendResult AppendTo(const SeriesKind& kind, const std::vector<std::uint8_t>& bytes) {
        const ExportSymbolInfo symbol = SymbolOf(kind);
        CExportDataFile file;
        file.BuildFileName(dir_.Path(), symbol, kind.formatType);
        test::WriteBytes(file.FilePath(), bytes);
        CFileAppendGroup group(dir_.Path());
        HistoryChanges changes;
        const PriceHistory all = Bars(kind, 20);
        const AppendResult result =
            file.MergeByAppending(PriceHistory(all.begin() + 10, all.end()), group, changes);
        EXPECT_EQ(test::ReadBytes(file.FilePath()), bytes);
        return result;
    }

    std::vector<std::uint8_t> Encoded(const SeriesKind& kind, int bars) {
        CExportDataFile file;
        file.BuildFileName(dir_.Path(), SymbolOf(kind), kind.formatType);
        file.History() = Bars(kind, bars);
        EXPECT_TRUE(file.Write(true));
        return test::ReadBytes(file.FilePath());
    }

    TempDir dir_;
};

TEST_F(AppendRefusalTest, ShapesAnAppendWouldNotExtendCorrectlyAreLeftToTheWholeFile) {
    const SeriesKind metaStock{kFormatMetaStock, 7, false};
    const SeriesKind ascii{kFormatAsciiComma, 7, false};
    std::vector<std::uint8_t> miscounted = Encoded(metaStock, 10);
    miscounted[2] = 9;
    std::vector<std::uint8_t> partialRecord = Encoded(metaStock, 10);
    partialRecord.resize(partialRecord.size() + 5, 0);
    std::vector<std::uint8_t> noLineEnd = Encoded(ascii, 10);
    noLineEnd.resize(noLineEnd.size() - 2);
    const std::string foreign = "Date,Open,High,Low,Close,Volume\n";

    EXPECT_EQ(AppendTo(metaStock, Encoded(metaStock, 10)), AppendResult::Staged);
    EXPECT_EQ(AppendTo(metaStock, miscounted), AppendResult::NeedsWholeFile);
    EXPECT_EQ(AppendTo(metaStock, partialRecord), AppendResult::NeedsWholeFile);
    EXPECT_EQ(AppendTo(metaStock, {}), AppendResult::NeedsWholeFile);
    EXPECT_EQ(AppendTo(ascii, Encoded(ascii, 10)), AppendResult::Staged);
    EXPECT_EQ(AppendTo(ascii, noLineEnd), AppendResult::NeedsWholeFile);
    EXPECT_EQ(AppendTo(ascii, {foreign.begin(), foreign.end()}), AppendResult::NeedsWholeFile);
}

} // namespace
} // namespace mvr
