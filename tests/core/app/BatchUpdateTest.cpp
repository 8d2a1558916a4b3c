// A batch switch without a window: what the job is given, and what happens
// to the configuration afterwards.

#include "core/app/BatchUpdate.h"

#include "AppFixtures.h"
#include "core/app/Session.h"
#include "core/update/UpdateJob.h"
#include "core/update/UpdateJobRunner.h"
#include "server/TestPriceServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

// Records the job it is handed instead of running it.
class RecordingRunner : public CUpdateJobRunner {
public:
    explicit RecordingRunner(bool answer) : answer_(answer) {}

    bool RunJob(CUpdateJob& job) override {
        ++runs;
        directories = job.AddedDirectories();
        mode = job.Mode();
        realtime = job.Realtime();
        unattended = job.Unattended();
        return answer_;
    }

    int runs = 0;
    std::vector<std::int32_t> directories;
    int mode = -1;
    bool realtime = false;
    bool unattended = false;

private:
    bool answer_;
};

class BatchUpdateTest : public ::testing::Test {
protected:
    BatchUpdateTest() : configDir_("MVRKRSEXP_CONFIG_DIR", dir_.File("config")) {
        CreateFolders(dir_.File("config"));
        EXPECT_TRUE(session_.LoadConfig());
        // After the load, which takes the endpoint of the (missing) ini file.
        server_.BecomeServer();
        for (const char* name : {"a", "b", "c"}) {
            test::MakeIndex(dir_.File(name), kFormatAsciiComma, 2);
            session_.Directories().push_back(test::Record(dir_.File(name), kFormatAsciiComma));
        }
        session_.Lists().push_back({"Evening", {dir_.File("c/"), dir_.File("a/")}});
        session_.User().account = "valid1";
        session_.User().password = "pw";
    }

    test::TempDir dir_;
    test::ScopedEnvironment configDir_;
    test::TestPriceServer server_;
    CMVRKrsExpSession session_;
};

TEST_F(BatchUpdateTest, AListSwitchHandsItsDirectoriesInArrayOrder) {
    RecordingRunner runner(true);
    const BatchUpdateResult result = RunBatchUpdate(session_, "-ListUpdateRT", "evening", runner);
    EXPECT_EQ(result.outcome, BatchUpdateOutcome::Finished);
    ASSERT_EQ(runner.runs, 1);
    EXPECT_EQ(runner.directories, (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(runner.mode, CUpdateJob::kModeActiveList);
    EXPECT_TRUE(runner.realtime);
    EXPECT_TRUE(runner.unattended);
}

TEST_F(BatchUpdateTest, AFinishedJobStoresTheConfigurationACancelledOneDoesNot) {
    RecordingRunner cancelled(false);
    EXPECT_EQ(
        RunBatchUpdate(session_, "-dirupdate", "\"" + dir_.File("b") + "\"", cancelled).outcome,
        BatchUpdateOutcome::Cancelled);
    EXPECT_EQ(cancelled.directories, (std::vector<std::int32_t>{1}));
    EXPECT_FALSE(EntryExists(dir_.File("config/MVRExpDir.cfg")));

    RecordingRunner finished(true);
    EXPECT_EQ(RunBatchUpdate(session_, "-updateall", "", finished).outcome,
              BatchUpdateOutcome::Finished);
    EXPECT_EQ(finished.directories, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(finished.mode, CUpdateJob::kModeFull);
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories().size(), 3u);
}

TEST_F(BatchUpdateTest, NothingToRunNeverReachesTheRunner) {
    RecordingRunner runner(true);
    EXPECT_EQ(RunBatchUpdate(session_, "", "", runner).outcome, BatchUpdateOutcome::NoSwitch);
    EXPECT_EQ(RunBatchUpdate(session_, "-update", "", runner).outcome,
              BatchUpdateOutcome::NothingSelected);
    EXPECT_EQ(RunBatchUpdate(session_, "-dirupdate", dir_.File("missing"), runner).outcome,
              BatchUpdateOutcome::NothingSelected);
    session_.User().password.clear();
    EXPECT_EQ(RunBatchUpdate(session_, "-updateall", "", runner).outcome,
              BatchUpdateOutcome::NoAccount);
    EXPECT_EQ(runner.runs, 0);
}

TEST_F(BatchUpdateTest, ARefusedLoginCarriesTheServersMessage) {
    RecordingRunner runner(true);
    session_.User().account = "message";
    const BatchUpdateResult result = RunBatchUpdate(session_, "-updateall", "", runner);
    EXPECT_EQ(result.outcome, BatchUpdateOutcome::LoginFailed);
    EXPECT_NE(result.message.find("Please call us, today"), std::string::npos);
    EXPECT_EQ(runner.runs, 0);
}

} // namespace
} // namespace mvr
