#include "UpdateJobFixture.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/net/UserRequests.h"
#include "core/platform/Paths.h"
#include "core/platform/ThreadName.h"
#include "server/DataFolderWriter.h"
#include "server/SmallDataFolder.h"
#include "support/Running.h"

#include <cmath>
#include <gtest/gtest.h>

namespace mvr::test {

namespace {

// Only a guard against a hanging job; no test waits this long.
constexpr std::chrono::seconds kWatchdog{60};
constexpr std::int32_t kSessionStart = 9 * 3600;

DailyBar ServerDailyBar(std::int32_t sinCode, std::int32_t day) {
    // Prices vary with instrument and day, so that a bar of the wrong one shows.
    const std::int32_t close = 1000 + (sinCode % 100) * 10 + day % 17;
    return Daily(day, close - 3, close + 5, close - 7, close, sinCode + day % 1000);
}

} // namespace

ServerTables UpdateTables() {
    ServerTables tables = SmallTables();
    tables.instruments.push_back(
        {kLongSymbolSinCode, 0, 1, 1, "LONGSYMBOL77", "", "Long Symbol Holding", "EUR", 2});
    tables.catalogues.push_back(
        {kSmallCatalogue, "SMALL", "Three instruments", {1001, 1002, kLongSymbolSinCode}});
    tables.catalogueTree.push_back({kSmallCatalogue, 10, 1, 0});
    return tables;
}

PERIODE ServedDailyBar(std::int32_t sinCode, std::int32_t day) {
    const DailyBar served = ServerDailyBar(sinCode, day);
    int decimals = 2;
    for (const ServerInstrument& instrument : UpdateTables().instruments) {
        if (instrument.sinCode == sinCode) {
            decimals = instrument.decimals;
        }
    }
    const float unit = static_cast<float>(std::pow(10.0, -decimals));
    PERIODE bar;
    bar.dayNumber = day;
    bar.open = static_cast<float>(served.open) * unit;
    bar.high = static_cast<float>(served.high) * unit;
    bar.low = static_cast<float>(served.low) * unit;
    bar.close = static_cast<float>(served.close) * unit;
    bar.volume = served.volume;
    return bar;
}

UpdateServerFolder::UpdateServerFolder(const ServerTables& tables) : today_(TodayDayNumber()) {
    WriteDataFolder(dir_.Path(), tables);
    const CDataFolderWriter writer(dir_.Path());
    for (const ServerInstrument& instrument : tables.instruments) {
        std::vector<DailyBar> bars;
        for (std::int32_t day = today_ - kServedDays; day < today_; ++day) {
            bars.push_back(ServerDailyBar(instrument.sinCode, day));
        }
        EXPECT_TRUE(writer.WriteDailyBars(instrument.sinCode, instrument.decimals, bars));
    }
    for (const std::int32_t sinCode : {1001, 1002}) {
        std::vector<IntradayBar> minutes;
        for (std::int32_t minute = 0; minute < kServedMinutes; ++minute) {
            const std::int32_t close = 2000 + sinCode % 10 * 100 + minute;
            minutes.push_back({today_ - 1, kSessionStart + 60 * minute, close - 1, close + 2,
                               close - 2, close, 100 + minute});
        }
        EXPECT_TRUE(writer.WriteIntradayBars(sinCode, 2, minutes));
    }
}

void RecordingSink::PhaseChanged(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        phases_.push_back(text);
        threadName_ = CurrentThreadName();
    }
    if (onPhase) {
        onPhase(text);
    }
}

void RecordingSink::ProgressRange(std::int32_t low, std::int32_t high) {
    std::lock_guard lock(mutex_);
    range_ = {low, high};
    ++rangeCalls_;
}

void RecordingSink::ProgressPosition(std::int32_t position) {
    {
        std::lock_guard lock(mutex_);
        positions_.push_back(position);
    }
    if (onPosition) {
        onPosition(position);
    }
}

void RecordingSink::Notice(const std::string& text) {
    std::lock_guard lock(mutex_);
    notices_.push_back(text);
}

std::vector<std::string> RecordingSink::Notices() const {
    std::lock_guard lock(mutex_);
    return notices_;
}

void RecordingSink::JobEnded(const UpdateSummary&) {
    std::lock_guard lock(mutex_);
    ++endCalls_;
}

std::vector<std::string> RecordingSink::Phases() const {
    std::lock_guard lock(mutex_);
    return phases_;
}

std::vector<std::int32_t> RecordingSink::Positions() const {
    std::lock_guard lock(mutex_);
    return positions_;
}

std::pair<std::int32_t, std::int32_t> RecordingSink::Range() const {
    std::lock_guard lock(mutex_);
    return range_;
}

int RecordingSink::RangeCalls() const {
    std::lock_guard lock(mutex_);
    return rangeCalls_;
}

int RecordingSink::EndCalls() const {
    std::lock_guard lock(mutex_);
    return endCalls_;
}

std::string RecordingSink::ThreadName() const {
    std::lock_guard lock(mutex_);
    return threadName_;
}

MVRKrsExportInfo CreateExportDirectory(const std::string& folder, int formatType,
                                       const std::vector<SymbolSpec>& symbols, double startDate,
                                       std::int32_t catalogue) {
    MVRKrsExportInfo info;
    info.path = WithTrailingSeparator(folder);
    info.formatType = formatType;
    info.startDate = startDate;
    info.catalogueId = catalogue;
    EXPECT_TRUE(CreateFolders(info.path));
    CExportDirectory directory(formatType);
    EXPECT_TRUE(directory.Create(info.path, startDate, formatType)) << directory.Problem();
    for (const SymbolSpec& wanted : symbols) {
        ExportSymbolInfo symbol;
        symbol.symbol = wanted.text;
        symbol.sinCode = wanted.sinCode;
        symbol.interval = info.interval;
        symbol.firstDate = startDate;
        EXPECT_TRUE(directory.AddSymbol(symbol));
        CExportDataFile file;
        file.BuildFileName(info.path, symbol, formatType);
        file.History() = wanted.stored;
        file.SetSymbolDatesFromHistory();
        EXPECT_TRUE(file.Write(true)) << wanted.text;
        if (!wanted.stored.empty()) {
            directory.Symbols().back().firstDate = file.Symbol().firstDate;
            directory.Symbols().back().lastDate = file.Symbol().lastDate;
        }
    }
    EXPECT_TRUE(directory.Save()) << directory.Problem();
    return info;
}

UpdateSummary RunJob(CUpdateJob& job, RecordingSink& sink, const UpdateSettings& settings) {
    job.SetInitialWait(std::chrono::milliseconds(0));
    EXPECT_TRUE(job.Start(settings, sink));
    EXPECT_TRUE(job.WaitFor(kWatchdog));
    EXPECT_EQ(job.State(), UpdateJobState::Ended);
    EXPECT_EQ(sink.EndCalls(), 1);
    return job.Summary();
}

void AddAll(CUpdateJob& job, std::size_t count) {
    job.SetAccount("valid1", "pw");
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(job.AddDirectory(static_cast<std::int32_t>(i))) << i;
    }
}

PriceHistory StoredBars(const MVRKrsExportInfo& directory, const std::string& symbol) {
    CExportDirectory index(directory.formatType);
    if (!index.Open(directory.path, directory.formatType)) {
        return {};
    }
    const int position = index.FindSymbol(symbol);
    if (position < 0) {
        return {};
    }
    CExportDataFile file;
    if (!file.Read(directory.path, index.GetSymbol(static_cast<std::size_t>(position)),
                   directory.formatType)) {
        return {};
    }
    return file.History();
}

PERIODE StoredBar(std::int32_t day, float close, std::int32_t volume) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.open = bar.high = bar.low = bar.close = close;
    bar.volume = volume;
    return bar;
}

void UpdateJobServerTest::SetUp() {
    std::string message;
    ASSERT_GT(Login("valid1", "pw", message, Running()), 0) << message;
}

double UpdateJobServerTest::StartDate() const {
    return DayNumberToOleDate(Today() - 20).date;
}

} // namespace mvr::test
