// The update job end to end against the reference server: what it asks for,
// what it writes, what it reports, and how it ends.

#include "core/update/UpdateJob.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/IOException.h"
#include "core/net/ServerRequest.h"
#include "core/net/SymbolLookup.h"
#include "core/net/UserRequests.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "UpdateJobFixture.h"

#include <algorithm>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <thread>

namespace mvr {
namespace {

using test::RecordingSink;
using test::StoredBar;
using test::SymbolSpec;

const std::vector<std::string> kDailyPhases = {
    "initializing ...",          "Connecting ...",   "Sync Katalog Entries ...",
    "Sending Update Request...", "Loading Data ...", "Updating local Datafiles..."};

double OleDay(std::int32_t day) {
    return DayNumberToOleDate(day).date;
}

class UpdateJobTest : public test::UpdateJobServerTest {};

TEST_F(UpdateJobTest, TwoDirectoriesOfThreeAndTwoSymbols) {
    // MetaStock keeps no instrument numbers: the job looks them up by symbol.
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("ascii"), kFormatAsciiComma,
                                    {{"SAPX", 1001}, {"APLX", 1002}, {"IDX", 1004}}, StartDate()),
        test::CreateExportDirectory(Folder("ms"), kFormatMetaStock,
                                    {{"SAPX", 1001}, {"BUND30", 1003}}, StartDate())};
    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    EXPECT_EQ(job.DirectoryCount(), 2);
    EXPECT_EQ(job.SymbolCount(), 5);
    EXPECT_STREQ(job.ModeText(), "Full update: All directories are loaded.");

    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(sink.Phases(), kDailyPhases);
    EXPECT_EQ(sink.ThreadName(), "MVR Update");
    EXPECT_EQ(sink.Range(), std::make_pair(0, 10));
    const std::vector<std::int32_t> positions = sink.Positions();
    ASSERT_FALSE(positions.empty());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back(), 10);

    EXPECT_EQ(summary.directories, 2);
    EXPECT_EQ(summary.symbolsRequested, 5);
    EXPECT_EQ(summary.symbolsWritten, 5);
    EXPECT_EQ(summary.barsAdded, 5 * 20);
    EXPECT_EQ(summary.barsChanged, 0);
    EXPECT_EQ(summary.symbolsWithoutAnswer, 0);
    EXPECT_EQ(summary.accountCheckResult, 70);
    EXPECT_FALSE(summary.communicationFailed);
    EXPECT_FALSE(summary.stopped);
    EXPECT_TRUE(summary.closeWithOk);

    // The looked-up number fetched the right instrument's bars.
    const PriceHistory bund = test::StoredBars(directories[1], "BUND30");
    ASSERT_EQ(bund.size(), 20u);
    EXPECT_EQ(bund.front().dayNumber, Today() - 20);
    EXPECT_EQ(bund.back().dayNumber, Today() - 1);
    EXPECT_FLOAT_EQ(bund[3].close, test::ServedDailyBar(1003, Today() - 17).close);
    EXPECT_EQ(bund[3].volume, test::ServedDailyBar(1003, Today() - 17).volume);

    CExportDirectory ascii(kFormatAsciiComma);
    ASSERT_TRUE(ascii.Open(directories[0].path, kFormatAsciiComma));
    const ExportSymbolInfo& idx =
        ascii.GetSymbol(static_cast<std::size_t>(ascii.FindSymbol("IDX")));
    EXPECT_DOUBLE_EQ(idx.firstDate, OleDay(Today() - 20));
    EXPECT_DOUBLE_EQ(idx.lastDate, OleDay(Today() - 1));

    // The same job started again asks from five days before the last bar:
    // the overlap merges without duplicates and changes nothing.
    EXPECT_EQ(job.State(), UpdateJobState::Ended);
    RecordingSink sink2;
    const UpdateSummary second = test::RunJob(job, sink2);
    EXPECT_EQ(sink2.Phases(), kDailyPhases);
    EXPECT_EQ(second.symbolsRequested, 5);
    EXPECT_EQ(second.barsAdded, 0);
    EXPECT_EQ(second.barsChanged, 0);
    EXPECT_EQ(test::StoredBars(directories[1], "BUND30"), bund);
}

TEST_F(UpdateJobTest, DirectoriesThatCannotBeOpenedAreLeftOut) {
    std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma, {{"SAPX", 1001}}, StartDate())};
    MVRKrsExportInfo missing = directories[0];
    missing.path = Folder("nothing-here/");
    directories.push_back(missing);
    CUpdateJob job(directories);
    EXPECT_FALSE(job.AddDirectory(1));
    EXPECT_FALSE(job.AddDirectory(2));
    EXPECT_FALSE(job.AddDirectory(-1));
    EXPECT_TRUE(job.AddDirectory(0));
    EXPECT_TRUE(job.AddDirectory(0)); // once only
    EXPECT_EQ(job.DirectoryCount(), 1);
    EXPECT_EQ(job.SymbolCount(), 1);
    EXPECT_EQ(job.AddedDirectories(), std::vector<std::int32_t>{0});
    EXPECT_EQ(job.State(), UpdateJobState::Ready);

    job.SetAccount("valid1", "pw");
    RecordingSink sink;
    test::RunJob(job, sink);
    // One worker per job: a second start while it runs is refused.
    job.SetInitialWait(std::chrono::minutes(1));
    RecordingSink again;
    ASSERT_TRUE(job.Start({}, again));
    EXPECT_FALSE(job.Start({}, again));
    job.RequestStop();
    job.Wait();
}

TEST_F(UpdateJobTest, LinkedDirectoryFollowsItsCatalogue) {
    const double start = StartDate();
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("linked"), kFormatAsciiComma,
                                    {{"SAPX", 1001, {StoredBar(Today() - 25, 5.0f)}},
                                     {"BUND30", 1003, {StoredBar(Today() - 25, 6.0f)}}},
                                    start, test::kSmallCatalogue),
        test::CreateExportDirectory(Folder("other"), kFormatAsciiComma,
                                    {{"BUND30", 1003, {StoredBar(Today() - 25, 6.0f)}}}, start)};
    const std::string dropped = directories[0].path + "BUND30.prn";
    ASSERT_TRUE(EntryExists(dropped));

    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    // SAPX, the two new instruments and the other directory's BUND30, each once.
    EXPECT_EQ(summary.symbolsRequested, 4);
    EXPECT_EQ(summary.symbolsWritten, 4);
    EXPECT_EQ(sink.Range(), std::make_pair(0, 8));

    CExportDirectory linked(kFormatAsciiComma);
    ASSERT_TRUE(linked.Open(directories[0].path, kFormatAsciiComma));
    ASSERT_EQ(linked.SymbolCount(), 3u);
    EXPECT_LT(linked.FindSymbol("BUND30"), 0);
    EXPECT_FALSE(EntryExists(dropped));
    // A new symbol comes with the catalogue's texts, its symbol cut to 8 characters.
    const int added = linked.FindSymbol("LONGSYMB");
    ASSERT_GE(added, 0);
    const ExportSymbolInfo& longSymbol = linked.GetSymbol(static_cast<std::size_t>(added));
    EXPECT_EQ(longSymbol.sinCode, test::kLongSymbolSinCode);
    EXPECT_EQ(longSymbol.name, "Long Symbol Holding");
    EXPECT_EQ(longSymbol.interval, directories[0].interval);
    // Its first and last date are the directory's start date, so that its
    // history begins five days before it.
    const PriceHistory aplx = test::StoredBars(directories[0], "APLX");
    ASSERT_EQ(aplx.size(), 25u);
    EXPECT_EQ(aplx.front().dayNumber, Today() - 25);
    EXPECT_EQ(test::StoredBars(directories[0], "LONGSYMB").size(), 25u);
    // The download starts five days before the stored bar, which it replaces.
    const PriceHistory sapx = test::StoredBars(directories[0], "SAPX");
    ASSERT_EQ(sapx.size(), 30u);
    EXPECT_EQ(sapx.front().dayNumber, Today() - 30);

    // The other directory keeps the same instrument.
    EXPECT_EQ(test::StoredBars(directories[1], "BUND30").size(), 30u);
}

TEST_F(UpdateJobTest, ADroppedSymbolWhoseIndexCannotBeSavedKeepsItsPriceFile) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("linked"), kFormatAsciiComma,
                                    {{"SAPX", 1001, {StoredBar(Today() - 25, 5.0f)}},
                                     {"BUND30", 1003, {StoredBar(Today() - 25, 6.0f)}}},
                                    StartDate(), test::kSmallCatalogue)};
    const std::string index = directories[0].path + "mvrexp.mas";
    const std::string dropped = directories[0].path + "BUND30.prn";
    ASSERT_TRUE(EntryExists(dropped));

    // The worker's index writes fail as a full disk would make them fail.
    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    RecordingSink sink;
    const UpdateSummary summary = [&] {
        const CScopedAtomicWriteInterruption indexWritesFail(
            [index](const std::string& target) { return target != index; });
        return test::RunJob(job, sink);
    }();

    // The synchronisation's save and the writing pass's.
    EXPECT_EQ(summary.indexesNotSaved, 2);
    // Still a symbol of the directory, so it was updated like the others.
    ASSERT_TRUE(EntryExists(dropped));
    EXPECT_FALSE(test::StoredBars(directories[0], "BUND30").empty());
    CExportDirectory linked(kFormatAsciiComma);
    ASSERT_TRUE(linked.Open(directories[0].path, kFormatAsciiComma));
    EXPECT_GE(linked.FindSymbol("BUND30"), 0);

    // The next update can save: the symbol goes, and only then its file.
    CUpdateJob again(directories);
    test::AddAll(again, directories.size());
    RecordingSink sink2;
    EXPECT_EQ(test::RunJob(again, sink2).indexesNotSaved, 0);
    ASSERT_TRUE(linked.Open(directories[0].path, kFormatAsciiComma));
    EXPECT_LT(linked.FindSymbol("BUND30"), 0);
    EXPECT_FALSE(EntryExists(dropped));
}

TEST_F(UpdateJobTest, LinkedMetaStockDirectoryGainsDataFilesOfItsOwn) {
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("ms"), kFormatMetaStock, {{"BUND30", 1003}, {"SAPX", 1001}}, StartDate(),
        test::kSmallCatalogue)};
    ASSERT_TRUE(FindFileIgnoringCase(directories[0].path, "F1.DAT"));
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(summary.symbolsRequested, 3);
    EXPECT_EQ(summary.symbolsWritten, 3);

    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatMetaStock));
    ASSERT_EQ(index.SymbolCount(), 3u);
    EXPECT_LT(index.FindSymbol("BUND30"), 0);
    std::vector<std::int32_t> fileNumbers;
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        fileNumbers.push_back(symbol.fileNumber);
        EXPECT_DOUBLE_EQ(symbol.lastDate, OleDay(Today() - 1)) << symbol.symbol;
    }
    // New symbols are added before the dropped one's file goes.
    std::sort(fileNumbers.begin(), fileNumbers.end());
    EXPECT_EQ(fileNumbers, (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_FALSE(FindFileIgnoringCase(directories[0].path, "F1.DAT"));
    EXPECT_EQ(test::StoredBars(directories[0], "APLX").size(), 25u);
    EXPECT_EQ(test::StoredBars(directories[0], "SAPX").size(), 20u);
}

TEST_F(UpdateJobTest, CatalogueWithADatabaseErrorChangesNoSymbols) {
    ServeOptions failing = test::TestServeOptions();
    failing.faults.sectionMarker = -1;
    test::TestPriceServer failingServer(folder_.Path(), failing);
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("linked"), kFormatAsciiComma, {{"BUND30", 1003}},
                                    StartDate(), test::kSmallCatalogue)};
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_FALSE(summary.communicationFailed);
    EXPECT_EQ(summary.symbolsRequested, 1);
    CExportDirectory linked(kFormatAsciiComma);
    ASSERT_TRUE(linked.Open(directories[0].path, kFormatAsciiComma));
    ASSERT_EQ(linked.SymbolCount(), 1u);
    EXPECT_EQ(test::StoredBars(directories[0], "BUND30").size(), 20u);
}

TEST_F(UpdateJobTest, FailedNumberLookupLeavesALinkedDirectoryAsItIs) {
    // MetaStock keeps no numbers: without the lookup every symbol would look
    // dropped from the catalogue.
    test::TestPriceServer brokenLookup(
        test::UpdateTables(), test::TestServeOptions(), [](CRequestDispatcher& dispatcher) {
            dispatcher.Register(kRequestSymbolLookup, kSearchRequestKind, HeaderNumber::LoginNumber,
                                [](CRequestContext&) { throw CIOException("lookup broken"); });
        });
    std::string message;
    ASSERT_GT(Login("valid1", "pw", message, test::Running()), 0);
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("ms"), kFormatMetaStock,
        {{"SAPX", 1001, {StoredBar(Today() - 9, 5.0f)}}, {"BUND30", 1003}}, StartDate(),
        test::kSmallCatalogue)};
    const auto before = test::FolderContents(directories[0].path);
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(summary.symbolsRequested, 2);
    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatMetaStock));
    ASSERT_EQ(index.SymbolCount(), 2u);
    EXPECT_EQ(index.GetSymbol(0).symbol, "SAPX");
    EXPECT_EQ(index.GetSymbol(1).symbol, "BUND30");
    auto after = test::FolderContents(directories[0].path);
    for (const auto& [name, bytes] : before) {
        if (name.find("MASTER") == std::string::npos) {
            EXPECT_EQ(after[name], bytes) << name;
        }
    }
}

TEST_F(UpdateJobTest, DataFileThatCannotBeWrittenKeepsItsRecord) {
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("ms"), kFormatMetaStock, {{"SAPX", 1001}, {"BUND30", 1003}}, StartDate())};
    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatMetaStock));
    CExportDataFile blocked;
    blocked.BuildFileName(directories[0].path, index.GetSymbol(1), kFormatMetaStock);
    // A folder where the data file belongs: nothing can be written there.
    RemoveFile(blocked.FilePath());
    ASSERT_TRUE(CreateFolders(blocked.FilePath()));

    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(summary.symbolsRequested, 2);
    EXPECT_EQ(summary.symbolsWritten, 1);
    EXPECT_EQ(summary.barsAdded, 20);
    EXPECT_TRUE(IsDirectory(blocked.FilePath()));
    ASSERT_TRUE(index.Open(directories[0].path, kFormatMetaStock));
    EXPECT_DOUBLE_EQ(index.GetSymbol(0).lastDate, OleDay(Today() - 1));
    EXPECT_DOUBLE_EQ(index.GetSymbol(1).lastDate, 0.0);
}

TEST_F(UpdateJobTest, BrokenAnswerWritesTheEntriesAnsweredBeforeIt) {
    // Every answer breaks after 300 bytes: the account check's is shorter,
    // the price answer for three symbols of 20 bars is not.
    ServeOptions cut = test::TestServeOptions();
    cut.faults.closeAfterBytes = 300;
    test::TestPriceServer cutServer(folder_.Path(), cut);
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001}, {"APLX", 1002}, {"IDX", 1004}}, StartDate())};
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_GT(summary.accountCheckResult, 0);
    EXPECT_TRUE(summary.communicationFailed);
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(summary.symbolsRequested, 3);
    ASSERT_GE(summary.symbolsWithoutAnswer, 1);
    ASSERT_LE(summary.symbolsWithoutAnswer, 2);
    EXPECT_EQ(summary.symbolsWritten, 3 - summary.symbolsWithoutAnswer);
    EXPECT_EQ(sink.Phases(), kDailyPhases);
    EXPECT_EQ(sink.Positions().back(), 6);
    EXPECT_EQ(test::StoredBars(directories[0], "SAPX").size(), 20u);
    EXPECT_TRUE(test::StoredBars(directories[0], "IDX").empty());
}

TEST_F(UpdateJobTest, WrongPasswordEndsAfterConnectingAndWritesNothing) {
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("a"), kFormatAsciiComma, {{"SAPX", 1001, {StoredBar(Today() - 9, 5.0f)}}},
        StartDate(), test::kSmallCatalogue)};
    const auto before = test::FolderContents(directories[0].path);
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    job.SetAccount("valid1", "wrong");
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(sink.Phases(), (std::vector<std::string>{"initializing ...", "Connecting ..."}));
    EXPECT_EQ(sink.RangeCalls(), 0);
    EXPECT_LE(summary.accountCheckResult, 0);
    EXPECT_EQ(summary.symbolsRequested, 0);
    EXPECT_TRUE(summary.closeWithOk);
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(test::FolderContents(directories[0].path), before);
}

TEST_F(UpdateJobTest, ModeThreeMergesIntoTheEditorAndWritesNoFile) {
    test::TempDir editorFolder;
    CExportDataFile editor;
    ExportSymbolInfo symbol;
    symbol.symbol = "APLX"; // sinCode 0: looked up first
    editor.BuildFileName(editorFolder.Path(), symbol, kFormatAsciiComma);
    // A stored bar that differs from the server's.
    editor.History() = {StoredBar(Today() - 12, 1.0f)};
    editor.SetSymbolDatesFromHistory();

    CUpdateJob job({});
    job.SetAccount("valid1", "pw");
    job.AddEditorSymbol(editor, test::Running());
    EXPECT_EQ(editor.Symbol().sinCode, 1002);
    EXPECT_EQ(job.Mode(), CUpdateJob::kModeEditor);
    EXPECT_STREQ(job.ModeText(), "Load Data for Symbol in Data Editor.");
    EXPECT_EQ(job.SymbolCount(), 1);

    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_EQ(summary.symbolsRequested, 1);
    EXPECT_EQ(summary.symbolsWritten, 1);
    // From five days before the stored bar to yesterday.
    ASSERT_EQ(editor.History().size(), 17u);
    EXPECT_EQ(summary.barsAdded, 16);
    EXPECT_EQ(summary.barsChanged, 1);
    EXPECT_FLOAT_EQ(editor.History()[5].close, test::ServedDailyBar(1002, Today() - 12).close);
    EXPECT_DOUBLE_EQ(editor.Symbol().firstDate, OleDay(Today() - 17));
    EXPECT_DOUBLE_EQ(editor.Symbol().lastDate, OleDay(Today() - 1));
    EXPECT_TRUE(test::FolderContents(editorFolder.Path()).empty());
}

TEST_F(UpdateJobTest, ReplaceModeKeepsOnlyTheDownloadedRange) {
    const PriceHistory stored = {StoredBar(Today() - 40, 5.0f), StoredBar(Today() - 3, 6.0f)};
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("replace"), kFormatAsciiComma, {{"SAPX", 1001, stored}},
                                    StartDate()),
        test::CreateExportDirectory(Folder("merge"), kFormatAsciiComma, {{"SAPX", 1001, stored}},
                                    StartDate())};
    UpdateSettings range;
    range.kind = UpdateKind::DateRange;
    range.startDay = Today() - 5;
    range.endDay = Today() - 2;

    for (const bool replace : {true, false}) {
        CUpdateJob job({directories[replace ? 0 : 1]});
        test::AddAll(job, 1);
        range.replace = replace;
        RecordingSink sink;
        const UpdateSummary summary = test::RunJob(job, sink, range);
        EXPECT_EQ(summary.barsChanged, 1) << replace;
        EXPECT_EQ(summary.barsAdded, 3) << replace;
    }
    const PriceHistory replaced = test::StoredBars(directories[0], "SAPX");
    ASSERT_EQ(replaced.size(), 4u);
    EXPECT_EQ(replaced.front().dayNumber, Today() - 5);
    EXPECT_EQ(replaced.back().dayNumber, Today() - 2);
    const PriceHistory merged = test::StoredBars(directories[1], "SAPX");
    ASSERT_EQ(merged.size(), 5u);
    EXPECT_EQ(merged.front().dayNumber, Today() - 40);
    EXPECT_FLOAT_EQ(merged[3].close, test::ServedDailyBar(1001, Today() - 3).close);

    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatAsciiComma));
    EXPECT_DOUBLE_EQ(index.GetSymbol(0).firstDate, OleDay(Today() - 5));
    EXPECT_DOUBLE_EQ(index.GetSymbol(0).lastDate, OleDay(Today() - 2));
}

TEST_F(UpdateJobTest, IntradayDirectoriesTravelInASecondRequest) {
    const double start = OleDay(Today() - 3);
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("daily"), kFormatAsciiComma, {{"APLX", 1002}}, start),
        test::CreateExportDirectory(Folder("intraday"), kFormatAsciiIntraday, {{"SAPX", 1001}},
                                    start),
        // SAPX again, right after the other directory's SAPX: the answer to
        // the intraday request tells its entries apart only by a change of
        // instrument, so this entry travels in a request of its own.
        test::CreateExportDirectory(Folder("msintraday"), kFormatMetaStockIntraday,
                                    {{"SAPX", 1001}, {"APLX", 1002}}, start)};
    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    EXPECT_EQ(job.SymbolCount(), 4);
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    std::vector<std::string> phases = kDailyPhases;
    for (int request = 0; request < 2; ++request) {
        phases.push_back("Loading Data ...");
        phases.push_back("Updating local Datafiles...");
    }
    EXPECT_EQ(sink.Phases(), phases);
    EXPECT_EQ(sink.Range(), std::make_pair(0, 8));
    EXPECT_EQ(sink.Positions().back(), 8);
    EXPECT_EQ(summary.symbolsRequested, 4);
    EXPECT_EQ(summary.symbolsWritten, 4);

    // An hour of 1-minute bars in bars of the directory's 10 minutes, in
    // either intraday format.
    const PriceHistory bars = test::StoredBars(directories[1], "SAPX");
    ASSERT_EQ(bars.size(), 6u);
    EXPECT_EQ(bars.front().dayNumber, Today() - 1);
    EXPECT_EQ(bars.front().secondsOfDay, 9 * 3600);
    EXPECT_EQ(bars.back().secondsOfDay, 9 * 3600 + 50 * 60);
    PriceHistory metaStock = test::StoredBars(directories[2], "SAPX");
    ASSERT_EQ(metaStock.size(), bars.size());
    for (std::size_t i = 0; i < bars.size(); ++i) {
        metaStock[i].sourcePos = bars[i].sourcePos; // a record index, not a byte offset
        EXPECT_EQ(metaStock[i], bars[i]) << i;
    }
    EXPECT_EQ(test::StoredBars(directories[0], "APLX").size(), 3u);

    // The index tells chart programs that the series is intraday, and in which interval.
    CExportDirectory index;
    ASSERT_TRUE(index.Open(directories[2].path, kFormatMetaStock));
    const ExportSymbolInfo& sap =
        index.GetSymbol(static_cast<std::size_t>(index.FindSymbol("SAPX")));
    EXPECT_EQ(sap.period, kPeriodIntraday);
    EXPECT_EQ(sap.interval, 10);
    EXPECT_DOUBLE_EQ(sap.lastDate, OleDay(Today() - 1));

    EXPECT_EQ(test::StoredBars(directories[2], "APLX").size(), 6u);

    const auto lines = server_.WaitForLogLines(5);
    EXPECT_EQ(test::CountLines(lines, "code=4 "), 1u);
    EXPECT_EQ(test::CountLines(lines, "code=7 "), 2u);
}

// A stop while the answer arrives: the worker stops at its next test and
// writes nothing.
TEST_F(UpdateJobTest, StopDuringTheDownloadWritesNothing) {
    // A slow server, so that the answer is still arriving at the stop.
    ServeOptions slow = test::TestServeOptions();
    slow.faults.blockDelay = std::chrono::milliseconds(5);
    test::TestPriceServer slowServer(folder_.Path(), slow);
    std::string message;
    ASSERT_GT(Login("valid1", "pw", message, test::Running()), 0);

    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("a"), kFormatAsciiComma,
        {{"SAPX", 1001, {StoredBar(Today() - 9, 5.0f)}}, {"APLX", 1002}}, StartDate())};
    const auto before = test::FolderContents(directories[0].path);
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    // The front end's stop question, answered Yes.
    sink.onPhase = [&](const std::string& text) {
        if (text == "Loading Data ...") {
            job.SetStopAsked(true);
            job.RequestStop();
            EXPECT_EQ(job.State(), UpdateJobState::Stopping);
        }
    };
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_TRUE(summary.stopped);
    EXPECT_FALSE(summary.closeWithOk);
    EXPECT_EQ(summary.symbolsWritten, 0);
    EXPECT_EQ(summary.symbolsWithoutAnswer, 2);
    const std::vector<std::string> phases = sink.Phases();
    ASSERT_GE(phases.size(), 2u);
    EXPECT_EQ(phases[phases.size() - 2], "Loading Data ...");
    EXPECT_EQ(phases.back(), "Update finished");
    EXPECT_EQ(test::FolderContents(directories[0].path), before);
}

TEST_F(UpdateJobTest, StopBeforeTheCatalogueSynchronisationChangesNothing) {
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        Folder("linked"), kFormatAsciiComma, {{"BUND30", 1003, {StoredBar(Today() - 9, 5.0f)}}},
        StartDate(), test::kSmallCatalogue)};
    const auto before = test::FolderContents(directories[0].path);
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    RecordingSink sink;
    sink.onPhase = [&](const std::string& text) {
        if (text == "Sync Katalog Entries ...") {
            job.RequestStop();
        }
    };
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.symbolsRequested, 0);
    EXPECT_EQ(sink.RangeCalls(), 0);
    EXPECT_EQ(sink.Phases().back(), "Sync Katalog Entries ...");
    EXPECT_EQ(test::FolderContents(directories[0].path), before);
}

TEST_F(UpdateJobTest, DestroyingARunningJobStopsAndJoinsIt) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001, {StoredBar(Today() - 9, 5.0f)}}}, StartDate())};
    const auto before = test::FolderContents(directories[0].path);
    RecordingSink sink;
    std::promise<void> loading;
    const CUpdateJob* running = nullptr;
    // The answer is read only once the destructor has cleared the run flag.
    sink.onPhase = [&](const std::string& text) {
        if (text == "Loading Data ...") {
            loading.set_value();
            while (running->State() != UpdateJobState::Stopping) {
                std::this_thread::yield();
            }
        }
    };
    {
        CUpdateJob job(directories);
        running = &job;
        test::AddAll(job, 1);
        job.SetInitialWait(std::chrono::milliseconds(0));
        ASSERT_TRUE(job.Start({}, sink));
        loading.get_future().wait();
        EXPECT_NE(job.State(), UpdateJobState::Ended);
    }
    EXPECT_EQ(sink.EndCalls(), 1);
    EXPECT_EQ(test::FolderContents(directories[0].path), before);
}

TEST_F(UpdateJobTest, WhateverTheWorkerThrowsEndsOnlyTheJob) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001, {StoredBar(Today() - 9, 5.0f)}}}, StartDate())};
    const auto before = test::FolderContents(directories[0].path);
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[] { throw std::bad_alloc(); }, "out of memory"},
        {[] { std::vector<int>().at(3); }, ""}, // the library words its own text
        {[] { throw std::runtime_error("sink gone"); }, "sink gone"},
        {[] { throw 42; }, "unknown exception"},
    };
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    for (const auto& [fail, text] : failures) {
        RecordingSink sink;
        sink.onPhase = [&](const std::string& phase) {
            if (phase == "Loading Data ...") {
                fail();
            }
        };
        const UpdateSummary summary = test::RunJob(job, sink);
        EXPECT_TRUE(summary.failed) << text;
        EXPECT_TRUE(summary.stopped) << text;
        if (text.empty()) {
            EXPECT_FALSE(summary.failure.empty());
        } else {
            EXPECT_EQ(summary.failure, text);
        }
        EXPECT_EQ(summary.symbolsWritten, 0);
        EXPECT_EQ(test::FolderContents(directories[0].path), before);
    }
    // The same job runs through afterwards, and its summary forgets the failure.
    RecordingSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_FALSE(summary.failed);
    EXPECT_TRUE(summary.failure.empty());
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(summary.symbolsWritten, 1);
}

// A front end whose last reports fail.
class ThrowingEndSink : public RecordingSink {
public:
    void JobEnded(const UpdateSummary& summary) override {
        RecordingSink::JobEnded(summary);
        throw std::runtime_error("view gone");
    }
};

TEST_F(UpdateJobTest, AJobWhoseEndReportFailsStillEnds) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma, {{"SAPX", 1001}}, StartDate())};
    CUpdateJob job(directories);
    test::AddAll(job, 1);
    ThrowingEndSink sink;
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_FALSE(summary.failed);
    EXPECT_EQ(summary.symbolsWritten, 1);
}

TEST_F(UpdateJobTest, StopDuringTheWritingPassFinishesTheFileInHand) {
    const std::vector<MVRKrsExportInfo> directories = {
        test::CreateExportDirectory(Folder("a"), kFormatAsciiComma,
                                    {{"SAPX", 1001}, {"APLX", 1002}}, StartDate()),
        test::CreateExportDirectory(Folder("b"), kFormatAsciiComma, {{"IDX", 1004}}, StartDate())};
    const auto beforeA = test::FolderContents(directories[0].path);
    const auto beforeB = test::FolderContents(directories[1].path);
    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    job.SetUnattended(true);
    RecordingSink sink;
    bool writing = false;
    sink.onPhase = [&](const std::string& text) {
        writing = text == "Updating local Datafiles...";
    };
    // Stop once the first file has been written.
    sink.onPosition = [&](std::int32_t position) {
        if (writing && position == 3 + 1) {
            job.RequestStop();
        }
    };
    const UpdateSummary summary = test::RunJob(job, sink);
    EXPECT_TRUE(summary.stopped);
    EXPECT_TRUE(summary.closeWithOk); // unattended
    EXPECT_EQ(summary.symbolsWritten, 1);

    EXPECT_EQ(test::StoredBars(directories[0], "SAPX").size(), 20u);
    EXPECT_TRUE(test::StoredBars(directories[0], "APLX").empty());
    const auto afterA = test::FolderContents(directories[0].path);
    EXPECT_EQ(afterA.at("APLX.prn"), beforeA.at("APLX.prn"));
    EXPECT_NE(afterA.at("SAPX.prn"), beforeA.at("SAPX.prn"));
    EXPECT_EQ(test::FolderContents(directories[1].path), beforeB);
    // The index of the directory in hand was saved with the written symbol's dates.
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(directories[0].path, kFormatAsciiComma));
    EXPECT_DOUBLE_EQ(index.GetSymbol(0).lastDate, OleDay(Today() - 1));
    EXPECT_DOUBLE_EQ(index.GetSymbol(1).lastDate, 0.0);
}

TEST(UpdateJobSettingsTest, UnattendedRealtimePreselectsNormalAndRealtime) {
    CUpdateJob job({});
    EXPECT_EQ(job.Mode(), CUpdateJob::kModeFull);
    EXPECT_FALSE(job.Unattended());
    EXPECT_EQ(job.UnattendedSettings().kind, UpdateKind::Normal);
    job.SetUnattended(true);
    job.SetRealtime(true);
    EXPECT_EQ(job.UnattendedSettings().kind, UpdateKind::NormalAndRealtime);
    job.SetMode(CUpdateJob::kModeActiveList);
    EXPECT_STREQ(job.ModeText(), "Load the directories of the active list.");
    job.SetMode(CUpdateJob::kModeMarked);
    EXPECT_STREQ(job.ModeText(), "Download the marked directories.");
    job.SetMode(7);
    EXPECT_STREQ(job.ModeText(), "");
}

} // namespace
} // namespace mvr
