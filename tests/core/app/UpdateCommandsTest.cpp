// The update commands and the batch switch, with a job dialog that records
// what each job was given and, where the check needs real files, runs it
// against the reference server.

#include "core/app/UpdateCommands.h"

#include "AppFixtures.h"
#include "core/app/Session.h"
#include "core/platform/ConfigFolder.h"
#include "server/TestPriceServer.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::MakeIndex;
using test::Record;

class CIgnoringSink final : public CUpdateProgressSink {
public:
    void PhaseChanged(const std::string&) override {}
    void ProgressRange(std::int32_t, std::int32_t) override {}
    void ProgressPosition(std::int32_t) override {}
    void Notice(const std::string&) override {}
    void JobEnded(const UpdateSummary&) override {}
};

// What a job was handed when its dialog would have been shown.
struct SeenJob {
    std::vector<std::int32_t> directories;
    int mode = -1;
    bool unattended = false;
    bool realtime = false;

    bool operator==(const SeenJob&) const = default;
};

// The job's dialog as the user of a test sees it: announced once per job.
class CJobRecorder {
public:
    explicit CJobRecorder(test::CScriptedInteraction& user) : user_(user) {}

    // The next job's dialog ends with OK or Cancel; `run` runs the job first.
    void ExpectJob(bool ok = true, bool run = false) {
        user_.ExpectUpdateJob([this, ok, run](CUpdateJob& job) {
            seen.push_back({job.AddedDirectories(), job.Mode(), job.Unattended(), job.Realtime()});
            if (run) {
                CIgnoringSink sink;
                job.SetInitialWait(std::chrono::milliseconds{0});
                EXPECT_TRUE(job.Start(job.UnattendedSettings(), sink));
                job.Wait();
            }
            return ok;
        });
    }

    std::vector<SeenJob> seen;

private:
    test::CScriptedInteraction& user_;
};

class UpdateCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.BecomeServer();
        session.User().account = "valid1";
        session.User().password = "pw";
    }

    // Directories a (MetaStock), b (ASCII), c (MetaStock), d (ASCII), each
    // with an index that the job can open.
    void MakeFourDirectories() {
        int i = 0;
        for (const char* name : {"a", "b", "c", "d"}) {
            const int format = i++ % 2 == 0 ? kFormatMetaStock : kFormatAsciiComma;
            MakeIndex(data.File(name), format, 1);
            session.Directories().push_back(Record(data.File(name), format));
        }
        session.RefillDirectoryList();
    }

    CMVRDirListInfo ListOf(std::initializer_list<int> directories) const {
        CMVRDirListInfo list;
        list.name = "Chosen";
        for (const int index : directories) {
            list.paths.push_back(session.Directories()[static_cast<std::size_t>(index)].path);
        }
        return list;
    }

    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    test::TempDir data;
    test::TestPriceServer server;
    CMVRKrsExpSession session;
    test::CScriptedInteraction user;
    CJobRecorder jobs{user};
    CUpdateCommands commands{session, user};
};

TEST_F(UpdateCommandsTest, UpdWithoutAnActiveListIsUpdateAllDirectories) {
    MakeFourDirectories();
    jobs.ExpectJob();
    jobs.ExpectJob();
    ASSERT_TRUE(commands.UpdateAll());
    ASSERT_TRUE(commands.UpdateActiveList());
    ASSERT_EQ(jobs.seen.size(), 2u);
    EXPECT_EQ(jobs.seen[0], (SeenJob{{0, 1, 2, 3}, CUpdateJob::kModeFull, false, false}));
    EXPECT_EQ(jobs.seen[1], jobs.seen[0]);
}

TEST_F(UpdateCommandsTest, UpdWithAFormatFilterUpdatesOnlyTheShownListMembers) {
    MakeFourDirectories();
    session.Lists() = {ListOf({3, 2, 1})};
    session.User().activeListEntry = 1;
    session.User().formatFilter = kFormatMetaStock;
    session.RefillDirectoryList();
    jobs.ExpectJob();
    ASSERT_TRUE(commands.UpdateActiveList());
    ASSERT_EQ(jobs.seen.size(), 1u);
    EXPECT_EQ(jobs.seen[0], (SeenJob{{2}, CUpdateJob::kModeActiveList, false, false}));

    session.User().formatFilter = -1;
    session.RefillDirectoryList();
    session.DirectoryList().SortByColumn(0); // descending: d c b a
    jobs.ExpectJob();
    ASSERT_TRUE(commands.UpdateActiveList());
    EXPECT_EQ(jobs.seen[1].directories, (std::vector<std::int32_t>{3, 2, 1}));
}

TEST_F(UpdateCommandsTest, USendsTheSelectedRowsInRowOrder) {
    MakeFourDirectories();
    session.DirectoryList().SortByColumn(0);       // descending
    session.DirectoryList().Selection().Select(0); // d
    session.DirectoryList().Selection().Select(2); // b
    jobs.ExpectJob();
    ASSERT_TRUE(commands.UpdateSelected());
    ASSERT_EQ(jobs.seen.size(), 1u);
    EXPECT_EQ(jobs.seen[0], (SeenJob{{3, 1}, CUpdateJob::kModeMarked, false, false}));
}

TEST_F(UpdateCommandsTest, AJobWithoutDirectoriesIsShownAllTheSame) {
    session.Directories().push_back(Record(data.File("missing"), kFormatMetaStock));
    jobs.ExpectJob(false);
    EXPECT_FALSE(commands.UpdateAll());
    ASSERT_EQ(jobs.seen.size(), 1u);
    EXPECT_TRUE(jobs.seen[0].directories.empty());
}

TEST_F(UpdateCommandsTest, ARunWithASwitchStartsUpdateAllWithoutWaiting) {
    MakeFourDirectories();
    session.SetCommandLine("-updateall", "");
    jobs.ExpectJob();
    ASSERT_TRUE(commands.UpdateAll());
    EXPECT_TRUE(jobs.seen[0].unattended);
}

TEST_F(UpdateCommandsTest, AFailedLoginShowsItsTextAndStartsNoJob) {
    MakeFourDirectories();
    session.User().account = "message";
    user.ExpectMessage("Please call us, today");
    EXPECT_FALSE(commands.UpdateSelected());
    user.ExpectMessage("Please call us, today");
    session.SetCommandLine("-updateall", "");
    const CommandLineResult result = commands.ProcessCommandLine();
    EXPECT_EQ(result.outcome, CommandLineOutcome::LoginFailed);
    EXPECT_FALSE(result.EndsRun());
    EXPECT_TRUE(jobs.seen.empty());
}

TEST_F(UpdateCommandsTest, TheCommandLineSelectsItsDirectoriesAndEndsTheRun) {
    MakeFourDirectories();
    session.Lists() = {ListOf({3, 0})};
    session.SetCommandLine("-ListUpdateRT", "\"chosen\"");
    jobs.ExpectJob();
    const CommandLineResult result = commands.ProcessCommandLine();
    EXPECT_EQ(result.outcome, CommandLineOutcome::Finished);
    EXPECT_TRUE(result.EndsRun());
    ASSERT_EQ(jobs.seen.size(), 1u);
    EXPECT_EQ(jobs.seen[0], (SeenJob{{0, 3}, CUpdateJob::kModeActiveList, true, true}));
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories().size(), 4u);

    session.SetCommandLine("-dirupdate", WithoutTrailingSeparator(data.File("b")));
    jobs.ExpectJob();
    EXPECT_EQ(commands.ProcessCommandLine().outcome, CommandLineOutcome::Finished);
    EXPECT_EQ(jobs.seen[1], (SeenJob{{1}, CUpdateJob::kModeFull, true, false}));
}

TEST_F(UpdateCommandsTest, TheCommandLineWithoutAMatchEndsTheRunWithoutAJob) {
    MakeFourDirectories();
    EXPECT_EQ(commands.ProcessCommandLine().outcome, CommandLineOutcome::NoSwitch);
    session.SetCommandLine("-definitionfile", "a.txt");
    const CommandLineResult unknown = commands.ProcessCommandLine();
    EXPECT_EQ(unknown.outcome, CommandLineOutcome::NothingSelected);
    EXPECT_TRUE(unknown.EndsRun());
    session.SetCommandLine("-listupdate", "nobody");
    EXPECT_EQ(commands.ProcessCommandLine().outcome, CommandLineOutcome::NothingSelected);
    EXPECT_TRUE(jobs.seen.empty());
    // The Exit step stored the configuration.
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories().size(), 4u);
}

TEST_F(UpdateCommandsTest, ACancelledBatchJobKeepsTheRunGoing) {
    MakeFourDirectories();
    jobs.ExpectJob(false);
    session.SetCommandLine("-updateall", "");
    const CommandLineResult result = commands.ProcessCommandLine();
    EXPECT_EQ(result.outcome, CommandLineOutcome::Cancelled);
    EXPECT_FALSE(result.EndsRun());
    // Nothing was stored: the run goes on and stores when it ends.
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_TRUE(stored.Directories().empty());
}

TEST_F(UpdateCommandsTest, AfterOkTheCountsAndTheShownSymbolsFollowWhatTheJobWrote) {
    // A linked directory without symbols: the job fills it from catalogue 1.
    MakeIndex(data.File("linked"), kFormatAsciiComma, 0);
    session.Directories().push_back(
        Record(data.File("linked"), kFormatAsciiComma, "All instruments", 1));
    session.RefillDirectoryList();
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    EXPECT_EQ(session.SymbolList().RowCount(), 0u);

    jobs.ExpectJob(true, true);
    ASSERT_TRUE(commands.UpdateAll());
    EXPECT_EQ(session.DirectoryList().RowSymbolCount(0), 6);
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 6u);
    EXPECT_EQ(session.SymbolList().RowCount(), 6u);
}

} // namespace
} // namespace mvr
