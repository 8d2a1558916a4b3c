// A linked directory never gives two instruments one price file: the
// catalogue synchronisation refuses an instrument whose file would be a
// listed symbol's, names it in the job's notices and summary, and leaves
// what is stored as it was, update after update.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/UserRequests.h"
#include "core/update/UpdateJob.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "UpdateJobFixture.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::RecordingSink;

constexpr std::int32_t kTwinCatalogue = 60;
constexpr std::int32_t kXetra = 2041;     // TWINLIST
constexpr std::int32_t kFrankfurt = 2042; // TWINLISTF: stored as TWINLIST
constexpr std::int32_t kLowerCase = 2043; // sapx: SAPX's file where case is ignored

ServerTables TwinTables() {
    ServerTables tables = test::UpdateTables();
    tables.instruments.push_back({kXetra, 0, 1, 1, "TWINLIST", "", "Twin Xetra", "EUR", 2});
    tables.instruments.push_back(
        {kFrankfurt, 0, 1, 2, "TWINLISTF", "", "Twin Frankfurt", "EUR", 2});
    tables.instruments.push_back({kLowerCase, 0, 1, 1, "sapx", "", "Lower Namesake", "EUR", 2});
    tables.catalogues.push_back(
        {kTwinCatalogue, "TWIN", "Twins", {1001, kXetra, kFrankfurt, kLowerCase}});
    tables.catalogueTree.push_back({kTwinCatalogue, 10, 1, 0});
    return tables;
}

class SharedPriceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string message;
        ASSERT_GT(Login("valid1", "pw", message, test::Running()), 0) << message;
    }

    UpdateSummary Update(const MVRKrsExportInfo& directory, RecordingSink& sink) {
        CUpdateJob job({directory});
        test::AddAll(job, 1);
        return test::RunJob(job, sink);
    }

    // The stored bars are the server's bars of `sinCode` and nobody else's.
    void ExpectBarsOf(const MVRKrsExportInfo& directory, const std::string& symbol,
                      std::int32_t sinCode) {
        const PriceHistory bars = test::StoredBars(directory, symbol);
        ASSERT_EQ(bars.size(), static_cast<std::size_t>(test::kServedDays)) << symbol;
        for (const PERIODE& bar : bars) {
            const PERIODE served = test::ServedDailyBar(sinCode, bar.dayNumber);
            EXPECT_FLOAT_EQ(bar.close, served.close) << symbol;
            EXPECT_EQ(bar.volume, served.volume) << symbol;
        }
    }

    static std::vector<std::string> RefusedOf(const UpdateSummary& summary) {
        std::vector<std::string> refused;
        for (const RefusedSymbol& symbol : summary.refusedSymbols) {
            refused.push_back(symbol.symbol + "->" + symbol.holder);
        }
        return refused;
    }

    double StartDate() const {
        return DayNumberToOleDate(folder_.Today() - test::kServedDays).date;
    }

    test::UpdateServerFolder folder_{TwinTables()};
    test::TestPriceServer server_{folder_.Path(), test::TestServeOptions()};
    test::TempDir root_;
};

TEST_F(SharedPriceFileTest, AsciiDirectoryRefusesTheTwinAndTheNameThatDiffersInCaseOnly) {
    const MVRKrsExportInfo directory = test::CreateExportDirectory(
        root_.Path() + "ascii", kFormatAsciiComma, {{"SAPX", 1001}}, StartDate(), kTwinCatalogue);
    for (int run = 1; run <= 2; ++run) {
        RecordingSink sink;
        const UpdateSummary summary = Update(directory, sink);
        EXPECT_EQ(RefusedOf(summary),
                  (std::vector<std::string>{"TWINLISTF->TWINLIST", "sapx->SAPX"}))
            << "run " << run;
        ASSERT_EQ(sink.Notices().size(), 2u);
        EXPECT_EQ(sink.Notices()[0], "TWINLISTF (Twin Frankfurt, 2042) not added to " +
                                         directory.path +
                                         ": its price file would be that of TWINLIST");
        EXPECT_EQ(summary.symbolsRequested, 2);
        if (run == 2) {
            EXPECT_EQ(summary.barsChanged, 0);
        }
    }
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(directory.path, kFormatAsciiComma));
    ASSERT_EQ(index.SymbolCount(), 2u);
    EXPECT_EQ(index.GetSymbol(1).sinCode, kXetra);
    std::vector<std::string> files;
    for (const auto& [name, bytes] : test::FolderContents(directory.path)) {
        files.push_back(name);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"SAPX.prn", "TWINLIST.prn", "mvrexp.mas"}));
    ExpectBarsOf(directory, "SAPX", 1001);
    ExpectBarsOf(directory, "TWINLIST", kXetra);
}

TEST_F(SharedPriceFileTest, MetaStockDirectoryRefusesTheTwinAndKeepsItsFileNumbers) {
    const MVRKrsExportInfo directory = test::CreateExportDirectory(
        root_.Path() + "ms", kFormatMetaStock, {}, StartDate(), kTwinCatalogue);
    for (int run = 1; run <= 2; ++run) {
        RecordingSink sink;
        const UpdateSummary summary = Update(directory, sink);
        // Numbered files never clash by name, but the instrument numbers are
        // looked up by the exact symbol text, which the twin would share.
        EXPECT_EQ(RefusedOf(summary), (std::vector<std::string>{"TWINLISTF->TWINLIST"}))
            << "run " << run;
        EXPECT_EQ(summary.symbolsRequested, 3);
        if (run == 2) {
            EXPECT_EQ(summary.barsChanged, 0);
            EXPECT_EQ(summary.barsAdded, 0);
        }
    }
    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(directory.path, kFormatMetaStock));
    ASSERT_EQ(index.SymbolCount(), 3u);
    EXPECT_EQ(index.GetSymbol(2).fileNumber, 3);
    ExpectBarsOf(directory, "SAPX", 1001);
    ExpectBarsOf(directory, "TWINLIST", kXetra);
    ExpectBarsOf(directory, "sapx", kLowerCase);
}

} // namespace
} // namespace mvr
