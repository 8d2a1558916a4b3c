// A folder that turns read-only between two price files of an update: the
// file before stays new, the ones after stay old, the index keeps dates that
// its files hold, the summary names the folder with the system's reason, and
// the next run, with the folder writable again, completes the update.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/UserRequests.h"
#include "core/platform/AtomicFile.h"
#include "core/update/UpdateJob.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "support/SmallFileSystem.h"
#include "UpdateJobFixture.h"

#include <gtest/gtest.h>
#include <map>

namespace mvr {
namespace {

constexpr std::size_t kDiskBytes = 16 * 1024 * 1024;

TEST(UnwritableFolderTest, AFolderTurnedReadOnlyBetweenTwoFilesIsNamedAndTheNextRunCompletes) {
    test::SmallFileSystem disk(kDiskBytes);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    test::UpdateServerFolder data;
    test::TestPriceServer server{data.Path(), test::TestServeOptions()};
    std::string message;
    ASSERT_GT(Login("valid1", "pw", message, test::Running()), 0) << message;
    const double start = DayNumberToOleDate(data.Today() - 20).date;
    const std::vector<MVRKrsExportInfo> directories = {test::CreateExportDirectory(
        disk.File("ascii") + "/", kFormatAsciiComma, {{"SAPX", 1001}, {"APLX", 1002}, {"IDX", 1004}},
        start)};
    const std::string folder = directories[0].path;

    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    test::RecordingSink sink;
    int replacements = 0;
    const UpdateSummary summary = [&] {
        const CScopedAtomicWriteInterruption readOnlyAfterTheFirst([&](const std::string&) {
            if (++replacements == 2) {
                EXPECT_TRUE(disk.SetReadOnly(true));
            }
            return true;
        });
        return test::RunJob(job, sink);
    }();
    ASSERT_EQ(summary.foldersNotWritten,
              (std::vector<FolderNotWritten>{{folder, "Read-only file system"}}));
    EXPECT_EQ(summary.symbolsWritten, 1);
    EXPECT_EQ(summary.indexesNotSaved, 1);
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(folder, kFormatAsciiComma));
    std::map<std::string, std::vector<std::uint8_t>> written;
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        // The index was not saved: no entry describes the bars now on disk.
        EXPECT_LE(symbol.lastDate, symbol.firstDate) << symbol.symbol;
        if (!test::StoredBars(directories[0], symbol.symbol).empty()) {
            CExportDataFile file;
            file.BuildFileName(folder, symbol, kFormatAsciiComma);
            written[file.FilePath()] = test::ReadBytes(file.FilePath());
        }
    }
    EXPECT_EQ(written.size(), 1u);

    ASSERT_TRUE(disk.SetReadOnly(false));
    CUpdateJob again(directories);
    test::AddAll(again, directories.size());
    test::RecordingSink sink2;
    const UpdateSummary completed = test::RunJob(again, sink2);
    EXPECT_TRUE(completed.foldersNotWritten.empty());
    EXPECT_EQ(completed.symbolsWritten, 3);
    // The file written before the folder turned read-only was complete.
    for (const auto& [path, bytes] : written) {
        EXPECT_EQ(test::ReadBytes(path), bytes) << path;
    }
    ASSERT_TRUE(index.Open(folder, kFormatAsciiComma));
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        CExportDataFile file;
        ASSERT_TRUE(file.Read(folder, symbol, kFormatAsciiComma)) << symbol.symbol;
        ASSERT_FALSE(file.History().empty()) << symbol.symbol;
        EXPECT_EQ(file.GetFirstDate(), symbol.firstDate) << symbol.symbol;
        EXPECT_EQ(file.GetLastDate(), symbol.lastDate) << symbol.symbol;
    }
}

} // namespace
} // namespace mvr
