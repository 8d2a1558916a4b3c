// What the update job records per directory and symbol for the run report:
// figures that add up to the summary's, the dates the index keeps, and the
// reason of every symbol whose file was left as it was.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/UserRequests.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/update/UpdateJob.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "UpdateJobFixture.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::RecordingSink;
using test::StoredBar;

class UpdateOutcomeTest : public test::UpdateJobServerTest {
protected:
    UpdateSummary Run(const std::vector<MVRKrsExportInfo>& directories) {
        CUpdateJob job(directories);
        test::AddAll(job, directories.size());
        RecordingSink sink;
        return test::RunJob(job, sink);
    }
};

TEST_F(UpdateOutcomeTest, EverySymbolHasItsFiguresAndTheyAddUpToTheSummary) {
    // Two stored days of SAPX hold other prices than the server's.
    const PriceHistory stored = {StoredBar(Today() - 20, 1.0f), StoredBar(Today() - 19, 2.0f)};
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("ascii"), kFormatAsciiComma,
                                    {{"SAPX", 1001, stored}, {"APLX", 1002}}, StartDate()),
        test::CreateExportDirectory(Folder("ms"), kFormatMetaStock, {{"BUND30", 1003}},
                                    StartDate())};
    const UpdateSummary summary = Run(directories);

    ASSERT_EQ(summary.directoryOutcomes.size(), 2u);
    std::int64_t added = 0;
    std::int64_t changed = 0;
    for (std::size_t d = 0; d < directories.size(); ++d) {
        const DirectoryOutcome& outcome = summary.directoryOutcomes[d];
        EXPECT_EQ(outcome.path, directories[d].path);
        EXPECT_EQ(outcome.formatType, directories[d].formatType);
        EXPECT_EQ(outcome.error, "");
        CExportDirectory index(directories[d].formatType);
        ASSERT_TRUE(index.Open(directories[d].path, directories[d].formatType));
        ASSERT_EQ(outcome.symbols.size(), index.SymbolCount());
        for (std::size_t s = 0; s < outcome.symbols.size(); ++s) {
            const SymbolOutcome& symbol = outcome.symbols[s];
            EXPECT_EQ(symbol.symbol, index.GetSymbol(s).symbol);
            EXPECT_EQ(symbol.error, "") << symbol.symbol;
            EXPECT_DOUBLE_EQ(symbol.firstDate, index.GetSymbol(s).firstDate) << symbol.symbol;
            EXPECT_DOUBLE_EQ(symbol.lastDate, index.GetSymbol(s).lastDate) << symbol.symbol;
            added += symbol.barsAdded;
            changed += symbol.barsChanged;
        }
    }
    // SAPX is asked for from five days before its last stored day on: 24 days.
    const SymbolOutcome& sapx = summary.directoryOutcomes[0].symbols[0];
    EXPECT_EQ(sapx.barsAdded, 22);
    EXPECT_EQ(sapx.barsChanged, 2);
    EXPECT_DOUBLE_EQ(sapx.lastDate, DayNumberToOleDate(Today() - 1).date);
    EXPECT_EQ(summary.directoryOutcomes[1].symbols[0].barsAdded, 20);
    EXPECT_EQ(added, summary.barsAdded);
    EXPECT_EQ(changed, summary.barsChanged);
}

TEST_F(UpdateOutcomeTest, SymbolsWithoutAnAnswerSaySoAndKeepTheirDates) {
    ServeOptions cut = test::TestServeOptions();
    cut.faults.closeAfterBytes = 300;
    test::TestPriceServer cutServer(folder_.Path(), cut);
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001}, {"APLX", 1002}, {"IDX", 1004}}, StartDate())};
    const UpdateSummary summary = Run(directories);
    ASSERT_GE(summary.symbolsWithoutAnswer, 1);
    const std::vector<SymbolOutcome>& symbols = summary.directoryOutcomes.at(0).symbols;
    ASSERT_EQ(symbols.size(), 3u);
    int withoutAnswer = 0;
    for (const SymbolOutcome& symbol : symbols) {
        if (symbol.error.empty()) {
            EXPECT_EQ(symbol.barsAdded, 20) << symbol.symbol;
            continue;
        }
        ++withoutAnswer;
        EXPECT_EQ(symbol.error, "no answer from the server");
        EXPECT_EQ(symbol.barsAdded, 0);
        EXPECT_DOUBLE_EQ(symbol.lastDate, 0.0);
    }
    EXPECT_EQ(withoutAnswer, summary.symbolsWithoutAnswer);
    EXPECT_EQ(symbols.back().error, "no answer from the server");
}

TEST_F(UpdateOutcomeTest, AFileThatCouldNotBeReplacedIsItsSymbolsAndItsFoldersError) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001}, {"APLX", 1002}, {"IDX", 1004}}, StartDate())};
    int replacements = 0;
    const UpdateSummary summary = [&] {
        // The second data file's replacement fails as a full disk would fail it.
        const CScopedAtomicWriteInterruption secondFails(
            [&](const std::string&) { return ++replacements != 2; });
        return Run(directories);
    }();
    const DirectoryOutcome& directory = summary.directoryOutcomes.at(0);
    EXPECT_EQ(directory.error, FolderNotWrittenText(summary.foldersNotWritten.at(0)));
    ASSERT_EQ(directory.symbols.size(), 3u);
    EXPECT_EQ(directory.symbols[0].error, "");
    EXPECT_EQ(directory.symbols[1].error,
              "the data file could not be written (" +
                  std::make_error_code(std::errc::operation_canceled).message() + ")");
    EXPECT_EQ(directory.symbols[1].barsAdded, 0);
    EXPECT_DOUBLE_EQ(directory.symbols[1].lastDate, 0.0);
    EXPECT_EQ(directory.symbols[2].error, "");
    EXPECT_EQ(directory.symbols[0].barsAdded + directory.symbols[2].barsAdded, summary.barsAdded);
}

TEST_F(UpdateOutcomeTest, AFileThatCannotBeWrittenAtAllSaysSo) {
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("ms"), kFormatMetaStock, {{"SAPX", 1001}, {"BUND30", 1003}}, StartDate())};
    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatMetaStock));
    CExportDataFile blocked;
    blocked.BuildFileName(directories[0].path, index.GetSymbol(1), kFormatMetaStock);
    // A folder where the data file belongs.
    RemoveFile(blocked.FilePath());
    ASSERT_TRUE(CreateFolders(blocked.FilePath()));
    const UpdateSummary summary = Run(directories);
    const std::vector<SymbolOutcome>& symbols = summary.directoryOutcomes.at(0).symbols;
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_EQ(symbols[0].error, "");
    EXPECT_TRUE(symbols[1].error.starts_with("the data file could not be written"))
        << symbols[1].error;
    EXPECT_EQ(symbols[1].barsAdded, 0);
}

} // namespace
} // namespace mvr
