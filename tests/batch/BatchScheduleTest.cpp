// mvrkrsexp-batch --schedule, --unschedule and --show as a program, with
// stand-ins for crontab and systemctl as the only programs on its PATH, so
// that the machine's own scheduler is never reached.

#include "BatchToolFixture.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/schedule/CrontabText.h"

#include <sys/stat.h>

namespace mvr {
namespace {

using test::ToolRun;

constexpr const char* kUsersOwnLines = "MAILTO=ann@example.org\n0 2 * * * /usr/local/bin/backup\n";

class BatchScheduleTest : public test::BatchToolFixture {
protected:
    BatchScheduleTest()
        : path_("PATH", Folder("tools")), home_("HOME", Folder("home")),
          configHome_("XDG_CONFIG_HOME", Folder("home/.config")) {
        CreateFolders(Folder("tools"));
        // Shell built-ins only: the PATH holds nothing else.
        WriteTool("crontab",
                  "echo \"crontab $*\" >> '" + Calls() +
                      "'\n"
                      "case \"$1\" in\n"
                      "-l) [ -f '" +
                      Crontab() +
                      "' ] || { echo 'no crontab for ann' >&2; exit 1; }\n"
                      "    while IFS= read -r line; do printf '%s\\n' \"$line\"; done < '" +
                      Crontab() +
                      "' ;;\n"
                      "-) : > '" +
                      Crontab() +
                      "'\n"
                      "   while IFS= read -r line; do printf '%s\\n' \"$line\" >> '" +
                      Crontab() +
                      "'; done ;;\n"
                      "esac\n");
        ServiceManagerAnswers(false);
    }

    void WriteTool(const std::string& name, const std::string& script) {
        const std::string text = "#!/bin/sh\n" + script;
        const std::string path = Folder("tools/" + name);
        ASSERT_TRUE(WriteFileAtomically(
            path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
        chmod(path.c_str(), 0755);
    }
    void ServiceManagerAnswers(bool answers) {
        WriteTool("systemctl", "echo \"systemctl $*\" >> '" + Calls() + "'\nexit " +
                                   (answers ? "0" : "1") + "\n");
    }
    std::string Calls() const { return Folder("tools-calls.log"); }
    std::string Crontab() const { return Folder("crontab.txt"); }
    std::string UnitFile(const std::string& name) const {
        return test::FileText(Folder("home/.config/systemd/user/" + name));
    }

private:
    test::ScopedEnvironment path_;
    test::ScopedEnvironment home_;
    test::ScopedEnvironment configHome_;
};

TEST_F(BatchScheduleTest, WrongTimesAndSwitchesAreUsageErrorsThatRunNoTool) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--schedule"},
        {"--schedule", "24:00"},
        {"--schedule", "7:30", "-updateall"},
        {"--schedule", "07:30", "-frobnicate"},
        {"--schedule", "07:30", "-listupdate"},
        {"--unschedule", "all"},
    };
    for (const auto& arguments : wrong) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.back() << ": " << run.err;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << run.err;
    }
    EXPECT_NE(
        RunTool({"--schedule", "07:30", "-frobnicate"}).err.find("unknown switch -frobnicate"),
        std::string::npos);
    EXPECT_FALSE(EntryExists(Calls()));
}

TEST_F(BatchScheduleTest, WithoutAServiceManagerTheCrontabCarriesTheRun) {
    const std::string_view ownLines = kUsersOwnLines;
    test::WriteBytes(Crontab(), std::vector<std::uint8_t>(ownLines.begin(), ownLines.end()));
    const ToolRun scheduled = RunTool({"--schedule", "06:30", "-listupdate", "Evening list"});
    ASSERT_EQ(scheduled.exitCode, 0) << scheduled.err;
    EXPECT_EQ(scheduled.out, "Scheduled -listupdate \"Evening list\" daily at 06:30 (crontab).\n");
    EXPECT_EQ(test::FileText(Crontab()), std::string(kUsersOwnLines) + std::string(kCrontabMarker) +
                                             "\n30 6 * * * MVRKRSEXP_CONFIG_DIR=" + ConfigFolder() +
                                             " " + MVR_BATCH_PATH +
                                             " -listupdate 'Evening list'\n");

    const ToolRun shown = RunTool({"--show"});
    EXPECT_NE(shown.out.find("Schedule: -listupdate \"Evening list\" daily at 06:30 (crontab)\n"),
              std::string::npos)
        << shown.out;

    const ToolRun removed = RunTool({"--unschedule"});
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(removed.out,
              "Removed the schedule of -listupdate \"Evening list\" daily at 06:30 (crontab).\n");
    EXPECT_EQ(test::FileText(Crontab()), kUsersOwnLines);
    EXPECT_EQ(RunTool({"--unschedule"}).out, "No daily update was scheduled.\n");
    EXPECT_NE(RunTool({"--show"}).out.find("Schedule: none\n"), std::string::npos);
}

TEST_F(BatchScheduleTest, WithAServiceManagerTheTimerIsInstalledInTheUsersConfigHome) {
    ServiceManagerAnswers(true);
    const ToolRun scheduled = RunTool({"--schedule", "21:15"});
    ASSERT_EQ(scheduled.exitCode, 0) << scheduled.err;
    EXPECT_NE(UnitFile("mvrkrsexp-update.timer").find("OnCalendar=*-*-* 21:15:00\n"),
              std::string::npos);
    EXPECT_NE(UnitFile("mvrkrsexp-update.service")
                  .find("ExecStart=" + std::string(MVR_BATCH_PATH) + " -updateall\n"),
              std::string::npos)
        << UnitFile("mvrkrsexp-update.service");
    const std::string calls = test::FileText(Calls());
    EXPECT_NE(calls.find("systemctl --user daemon-reload\n"
                         "systemctl --user enable --now mvrkrsexp-update.timer\n"),
              std::string::npos)
        << calls;
    EXPECT_EQ(calls.find("crontab -\n"), std::string::npos) << calls;
    EXPECT_NE(
        RunTool({"--show"})
            .out.find(
                "Schedule: -updateall daily at 21:15 (systemd user timer mvrkrsexp-update.timer)"),
        std::string::npos);
}

TEST_F(BatchScheduleTest, AFailingSchedulerFailsTheCommandWithItsReason) {
    WriteTool("crontab", "echo 'crontab: your crontab file is locked' >&2\nexit 1\n");
    const ToolRun failed = RunTool({"--schedule", "06:30"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("The daily update could not be installed: crontab -l failed (exit "
                              "status 1: crontab: your crontab file is locked)"),
              std::string::npos)
        << failed.err;
}

} // namespace
} // namespace mvr
