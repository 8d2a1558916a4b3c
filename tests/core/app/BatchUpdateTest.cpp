// A batch switch without a window: what the job is given, and what happens
// to the configuration afterwards.

#include "core/app/BatchUpdate.h"

#include "AppFixtures.h"
#include "core/app/Session.h"
#include "core/update/UpdateJob.h"
#include "server/TestPriceServer.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

// What the job's dialog was handed; the job itself is not run.
struct JobSeen {
    int runs = 0;
    std::vector<std::int32_t> directories;
    int mode = -1;
    bool realtime = false;
    bool unattended = false;
};

test::CScriptedInteraction::UpdateJobAnswer Record(JobSeen& seen, bool ok) {
    return [&seen, ok](CUpdateJob& job) {
        ++seen.runs;
        seen.directories = job.AddedDirectories();
        seen.mode = job.Mode();
        seen.realtime = job.Realtime();
        seen.unattended = job.Unattended();
        return ok;
    };
}

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
    JobSeen seen;
    test::CScriptedInteraction user;
    user.ExpectUpdateJob(Record(seen, true));
    const BatchUpdateResult result = RunBatchUpdate(session_, "-ListUpdateRT", "evening", user);
    EXPECT_EQ(result.outcome, BatchUpdateOutcome::Finished);
    ASSERT_EQ(seen.runs, 1);
    EXPECT_EQ(seen.directories, (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(seen.mode, CUpdateJob::kModeActiveList);
    EXPECT_TRUE(seen.realtime);
    EXPECT_TRUE(seen.unattended);
}

TEST_F(BatchUpdateTest, AFinishedJobStoresTheConfigurationACancelledOneDoesNot) {
    JobSeen cancelled;
    JobSeen finished;
    test::CScriptedInteraction user;
    user.ExpectUpdateJob(Record(cancelled, false)).ExpectUpdateJob(Record(finished, true));
    EXPECT_EQ(RunBatchUpdate(session_, "-dirupdate", "\"" + dir_.File("b") + "\"", user).outcome,
              BatchUpdateOutcome::Cancelled);
    EXPECT_EQ(cancelled.directories, (std::vector<std::int32_t>{1}));
    EXPECT_FALSE(EntryExists(dir_.File("config/MVRExpDir.cfg")));

    EXPECT_EQ(RunBatchUpdate(session_, "-updateall", "", user).outcome,
              BatchUpdateOutcome::Finished);
    EXPECT_EQ(finished.directories, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(finished.mode, CUpdateJob::kModeFull);
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories().size(), 3u);
}

TEST_F(BatchUpdateTest, NothingToRunNeverReachesTheJobsDialog) {
    test::CScriptedInteraction user;
    EXPECT_EQ(RunBatchUpdate(session_, "", "", user).outcome, BatchUpdateOutcome::NoSwitch);
    EXPECT_EQ(RunBatchUpdate(session_, "-update", "", user).outcome,
              BatchUpdateOutcome::NothingSelected);
    EXPECT_EQ(RunBatchUpdate(session_, "-dirupdate", dir_.File("missing"), user).outcome,
              BatchUpdateOutcome::NothingSelected);
    session_.User().password.clear();
    EXPECT_EQ(RunBatchUpdate(session_, "-updateall", "", user).outcome,
              BatchUpdateOutcome::NoAccount);
}

TEST_F(BatchUpdateTest, ARefusedLoginCarriesTheServersMessage) {
    test::CScriptedInteraction user;
    session_.User().account = "message";
    const BatchUpdateResult result = RunBatchUpdate(session_, "-updateall", "", user);
    EXPECT_EQ(result.outcome, BatchUpdateOutcome::LoginFailed);
    EXPECT_NE(result.message.find("Please call us, today"), std::string::npos);
}

} // namespace
} // namespace mvr
