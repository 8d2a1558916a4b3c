// The batch tool killed at every step of appending new days to its price
// files: once the next open of each directory has rolled back what the kill
// left, every file is as it was before the update or as the update writes it,
// every file reads, and no index describes bars its file does not hold.

#include "BatchToolFixture.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"

namespace mvr {
namespace {

constexpr int kDemoCatalogue = 1; // the 100 members of the demo data

using FolderBytes = std::map<std::string, std::vector<std::uint8_t>>;

class AppendKillTest : public test::BatchToolFixture {
protected:
    struct Directory {
        std::string path;
        int formatType;
        FolderBytes before;
        FolderBytes after;
    };

    // Two directories synchronised up to ten days ago, and what an
    // uninterrupted update of the last ten days makes of them.
    void SetUp() override {
        directories_ = {{Folder("ms/"), kFormatMetaStock, {}, {}},
                        {Folder("ascii/"), kFormatAsciiComma, {}, {}}};
        ServeOptions older = test::TestServeOptions();
        older.dataUntilDay = TodayDayNumber() - 10;
        StartServer(older);
        for (const Directory& directory : directories_) {
            Configure({{directory.path, std::to_string(directory.formatType),
                        std::to_string(kDemoCatalogue)}});
        }
        ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
        for (Directory& directory : directories_) {
            directory.before = test::FolderImage(directory.path);
        }
        StartServer();
        const test::ToolRun update = RunTool({"-updateall"});
        ASSERT_EQ(update.exitCode, 0) << update.err;
        ASSERT_NE(update.out.find("  Bars changed:           0\n"), std::string::npos);
        for (Directory& directory : directories_) {
            directory.after = test::FolderImage(directory.path);
            ASSERT_NE(directory.after, directory.before);
        }
    }

    void RestoreBefore() {
        for (const Directory& directory : directories_) {
            for (const auto& [name, bytes] : test::FolderImage(directory.path)) {
                if (!directory.before.contains(name)) {
                    ASSERT_TRUE(RemoveFile(directory.path + name)) << name;
                }
            }
            for (const auto& [name, bytes] : directory.before) {
                ASSERT_TRUE(WriteFileAtomically(directory.path + name, bytes));
            }
        }
    }

    // The update killed at the `occurrence`-th time it reaches `step`; true
    // when a journal was left behind.
    bool KillAt(AppendStep step, int occurrence) {
        const test::ScopedEnvironment at("MVR_KILL_AT_APPEND_STEP",
                                         std::to_string(static_cast<int>(step)) + ":" +
                                             std::to_string(occurrence));
        test::ChildProcess tool(MVR_KILLING_BATCH_PATH, {"-updateall"}, Dir().File("killed.txt"));
        tool.ReadAll();
        EXPECT_EQ(tool.Wait(), -1) << "the tool did not reach the step";
        bool journal = false;
        for (const Directory& directory : directories_) {
            journal = EntryExists(directory.path + kAppendJournalName) || journal;
        }
        return journal;
    }

    // Opening the directory rolls back; then every file reads, every index
    // date lies within its file, and every file is old or new.
    void ExpectOldOrNewOnceOpened() {
        for (const Directory& directory : directories_) {
            CExportDirectory index(directory.formatType);
            ASSERT_TRUE(index.Open(directory.path, directory.formatType)) << index.Problem();
            for (const ExportSymbolInfo& symbol : index.Symbols()) {
                CExportDataFile file;
                ASSERT_TRUE(file.Read(directory.path, symbol, directory.formatType))
                    << symbol.symbol;
                EXPECT_LE(symbol.lastDate, file.GetLastDate()) << symbol.symbol;
            }
            for (const auto& [name, bytes] : test::FolderImage(directory.path)) {
                const auto was = directory.before.find(name);
                const auto will = directory.after.find(name);
                const bool old = was != directory.before.end() && was->second == bytes;
                const bool complete = will != directory.after.end() && will->second == bytes;
                EXPECT_TRUE(old || complete) << directory.path << name;
            }
        }
    }

    std::vector<Directory> directories_;
};

TEST_F(AppendKillTest, AKillAtEveryStepOfTheAppendLeavesEveryFileOldOrNewOnceRolledBack) {
    // One group per directory: the second occurrence of a group's step is the
    // ASCII directory's, after the MetaStock directory is complete.
    const std::pair<AppendStep, int> kills[] = {
        {AppendStep::JournalWritten, 0}, {AppendStep::JournalWritten, 1},
        {AppendStep::JournalFlushed, 0}, {AppendStep::FileAppended, 0},
        {AppendStep::FileAppended, 57},  {AppendStep::FileAppended, 160},
        {AppendStep::FilesFlushed, 0},   {AppendStep::FilesFlushed, 1},
    };
    for (const auto& [step, occurrence] : kills) {
        SCOPED_TRACE(testing::Message()
                     << "step " << static_cast<int>(step) << ", occurrence " << occurrence);
        RestoreBefore();
        EXPECT_TRUE(KillAt(step, occurrence)) << "no journal left by the kill";
        ExpectOldOrNewOnceOpened();
        for (const Directory& directory : directories_) {
            EXPECT_FALSE(EntryExists(directory.path + kAppendJournalName));
        }
    }
    // After the rollbacks, an update completes the folders as if none had been killed.
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    for (const Directory& directory : directories_) {
        EXPECT_EQ(test::FolderImage(directory.path), directory.after) << directory.path;
    }
}

} // namespace
} // namespace mvr
