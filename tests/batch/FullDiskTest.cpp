// An update that fills the disk under its directories, run as the batch tool
// against the demo data: it names the folder and ends with its own status,
// every price file it leaves is whole, the index describes no bars a file
// does not hold, and the next run, with room again, completes the update.

#include "BatchToolFixture.h"
#include "core/app/RunEnd.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/Paths.h"
#include "support/SmallFileSystem.h"

#include <gtest/gtest.h>
#include <map>

namespace mvr::test {
namespace {

constexpr std::size_t kTooSmall = 384 * 1024;
constexpr std::size_t kRoomy = 64 * 1024 * 1024;

struct PriceFolder {
    std::string path;
    int formatType;
};

// Each symbol's file holds at least the bars its index entry describes; an
// entry whose dates describe no bars yet (first and last the same) may
// stand for a file of any content.
void ExpectIndexWithinFiles(const PriceFolder& folder) {
    CExportDirectory index(folder.formatType);
    ASSERT_TRUE(index.Open(folder.path, folder.formatType)) << folder.path;
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        if (symbol.lastDate <= symbol.firstDate) {
            continue;
        }
        CExportDataFile file;
        ASSERT_TRUE(file.Read(folder.path, symbol, folder.formatType)) << symbol.symbol;
        EXPECT_LE(file.GetFirstDate(), symbol.firstDate) << folder.path << symbol.symbol;
        EXPECT_GE(file.GetLastDate(), symbol.lastDate) << folder.path << symbol.symbol;
    }
}

// The index names exactly the dates its files hold.
void ExpectIndexAgreesWithFiles(const PriceFolder& folder) {
    CExportDirectory index(folder.formatType);
    ASSERT_TRUE(index.Open(folder.path, folder.formatType)) << folder.path;
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        CExportDataFile file;
        ASSERT_TRUE(file.Read(folder.path, symbol, folder.formatType)) << symbol.symbol;
        EXPECT_EQ(file.GetFirstDate(), symbol.firstDate) << folder.path << symbol.symbol;
        EXPECT_EQ(file.GetLastDate(), symbol.lastDate) << folder.path << symbol.symbol;
    }
}

bool IsIndexFile(const std::string& name) {
    return name == "MASTER" || name == "EMASTER" || name == "XMASTER" || name == "mvrexp.mas";
}

class FullDiskTest : public BatchToolFixture {};

TEST_F(FullDiskTest, AnUpdateThatFillsTheDiskNamesTheFolderAndTheNextRunCompletesIt) {
    SmallFileSystem disk(kTooSmall);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    StartServer();
    const PriceFolder metaStock{WithTrailingSeparator(disk.File("ms")), kFormatMetaStock};
    const PriceFolder ascii{WithTrailingSeparator(disk.File("ascii")), kFormatAsciiComma};
    Configure({{metaStock.path, "4", "1"}, {ascii.path, "5", "1"}});

    const ToolRun full = RunTool({"-updateall"});
    EXPECT_EQ(full.exitCode, kExitNotWritten) << full.out << full.err;
    // The summary and the message name each folder with the system's reason.
    for (const PriceFolder& folder : {metaStock, ascii}) {
        EXPECT_NE(full.out.find("Not written:            " + folder.path +
                                " (No space left on device)"),
                  std::string::npos)
            << full.out;
        EXPECT_NE(full.err.find("Files in " + folder.path +
                                " could not be written (No space left on device)"),
                  std::string::npos)
            << full.err;
    }
    std::map<std::string, std::vector<std::uint8_t>> written;
    for (const PriceFolder& folder : {metaStock, ascii}) {
        ExpectIndexWithinFiles(folder);
        for (auto& [name, bytes] : FolderContents(folder.path)) {
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << "left behind: " << name;
            // An empty file is a symbol added without bars yet.
            if (!IsIndexFile(name) && !bytes.empty()) {
                written[JoinPath(folder.path, name)] = std::move(bytes);
            }
        }
    }
    ASSERT_FALSE(written.empty()) << "the disk was too small for a single price file";

    ASSERT_TRUE(disk.Resize(kRoomy));
    const ToolRun next = RunTool({"-updateall"});
    EXPECT_EQ(next.exitCode, kExitDone) << next.out << next.err;
    EXPECT_EQ(next.out.find("Not written"), std::string::npos) << next.out;
    for (const PriceFolder& folder : {metaStock, ascii}) {
        ExpectIndexAgreesWithFiles(folder);
    }
    // What the first run wrote was complete: the second run left it as it was.
    for (const auto& [path, bytes] : written) {
        EXPECT_EQ(ReadBytes(path), bytes) << path;
    }
}

} // namespace
} // namespace mvr::test
