#pragma once

// What the update job's tests share: a price server data folder whose bars
// lie just before today, export directories built from a few lines, a sink
// that records every report of the worker, and folder snapshots to tell
// untouched files from written ones.

#include "core/config/ExportInfo.h"
#include "core/formats/Periode.h"
#include "core/platform/FileSystem.h"
#include "core/update/UpdateJob.h"
#include "server/ServerModel.h"
#include "server/TestPriceServer.h"
#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace mvr::test {

// Every instrument of the tables has a daily bar on each of the last
// kServedDays days before today; 1001 and 1002 also have 1-minute bars of
// yesterday from 09:00 for kServedMinutes minutes.
inline constexpr std::int32_t kServedDays = 30;
inline constexpr std::int32_t kServedMinutes = 60;
// A catalogue of three instruments, and an instrument with a long symbol in it.
inline constexpr std::int32_t kSmallCatalogue = 4;
inline constexpr std::int32_t kLongSymbolSinCode = 1007;

ServerTables UpdateTables();

// The server's daily bar of `sinCode` on `day`, as the client receives it.
PERIODE ServedDailyBar(std::int32_t sinCode, std::int32_t day);

class UpdateServerFolder {
public:
    explicit UpdateServerFolder(const ServerTables& tables = UpdateTables());
    const std::string& Path() const { return dir_.Path(); }
    std::int32_t Today() const { return today_; }

private:
    TempDir dir_;
    std::int32_t today_;
};

class RecordingSink : public CUpdateProgressSink {
public:
    void PhaseChanged(const std::string& text) override;
    void ProgressRange(std::int32_t low, std::int32_t high) override;
    void ProgressPosition(std::int32_t position) override;
    void Notice(const std::string& text) override;
    void JobEnded(const UpdateSummary& summary) override;

    // Called on the worker thread after the report was recorded.
    std::function<void(const std::string&)> onPhase;
    std::function<void(std::int32_t)> onPosition;

    std::vector<std::string> Phases() const;
    std::vector<std::string> Notices() const;
    std::vector<std::int32_t> Positions() const;
    std::pair<std::int32_t, std::int32_t> Range() const;
    int RangeCalls() const;
    int EndCalls() const;
    std::string ThreadName() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> phases_;
    std::vector<std::string> notices_;
    std::vector<std::int32_t> positions_;
    std::pair<std::int32_t, std::int32_t> range_{-1, -1};
    int rangeCalls_ = 0;
    int endCalls_ = 0;
    std::string threadName_;
};

struct SymbolSpec {
    SymbolSpec(std::string symbolText, std::int32_t number, PriceHistory storedBars = {})
        : text(std::move(symbolText)), sinCode(number), stored(std::move(storedBars)) {}

    std::string text;
    std::int32_t sinCode = 0;
    PriceHistory stored; // written into the symbol's data file when not empty
};

// Creates an export directory of `formatType` in `folder` with the symbols;
// `startDate` is the directory's start date (also each symbol's first date).
MVRKrsExportInfo CreateExportDirectory(const std::string& folder, int formatType,
                                       const std::vector<SymbolSpec>& symbols, double startDate,
                                       std::int32_t catalogue = 0);

// Runs the job without the initial pause and waits for its end.
UpdateSummary RunJob(CUpdateJob& job, RecordingSink& sink, const UpdateSettings& settings = {});

// A job over `directories` with every one of them added, logged in as valid1.
void AddAll(CUpdateJob& job, std::size_t count);

// The bars of a symbol's data file (empty when it cannot be read).
PriceHistory StoredBars(const MVRKrsExportInfo& directory, const std::string& symbol);

// A bar to store: all four prices `close`.
PERIODE StoredBar(std::int32_t day, float close, std::int32_t volume = 1);

// Jobs against the reference server on the update folder, logged in as
// valid1 (the number lookup of MetaStock and Hermes directories needs the
// login), with directories in a folder of the test's own.
class UpdateJobServerTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::int32_t Today() const { return folder_.Today(); }
    // The start date of the test's directories: 20 days before today.
    double StartDate() const;
    std::string Folder(const std::string& name) const { return root_.Path() + name; }

    UpdateServerFolder folder_;
    TestPriceServer server_{folder_.Path(), TestServeOptions()};
    TempDir root_;
};

} // namespace mvr::test
