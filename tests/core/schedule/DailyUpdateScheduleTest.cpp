// The daily update through the schedule's interface, as the batch tool and
// the window use it, on POSIX systems: a systemd user timer where the user's
// service manager answers, a crontab entry otherwise. The tools are fakes
// that keep their state in the test; the unit files go to a temporary
// configuration home.

#include "core/schedule/DailyUpdateSchedule.h"

#include "core/platform/FileSystem.h"
#include "core/schedule/CrontabText.h"
#include "core/schedule/SystemdUnits.h"
#include "support/ChildProcess.h"
#include "support/RecordingRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <optional>

namespace mvr {
namespace {

using test::FailedWith;
using test::Succeeded;

constexpr const char* kProgram = "/opt/Marvane Kavolo/bin/mvrkrsexp-batch";
constexpr const char* kUsersOwnLines = "MAILTO=ann@example.org\n0 2 * * * /usr/local/bin/backup\n";

class DailyUpdateScheduleTest : public ::testing::Test {
protected:
    DailyUpdateScheduleTest()
        : configHome_("XDG_CONFIG_HOME", dir_.File("config-home")),
          configFolder_("MVRKRSEXP_CONFIG_DIR", "") {
        runner_.Handle("systemctl", [this](const std::vector<std::string>& arguments,
                                           std::string_view) {
            if (arguments.at(1) == "show-environment" && !managerAnswers_) {
                return FailedWith(1, "Failed to connect to bus: No medium found\n");
            }
            return arguments.at(1) == failingSystemctl_ ? FailedWith(1, "Failed to enable unit\n")
                                                        : Succeeded();
        });
        runner_.Handle(
            "crontab", [this](const std::vector<std::string>& arguments, std::string_view input) {
                if (arguments.at(0) == "-") {
                    crontab_ = std::string(input);
                    return Succeeded();
                }
                if (crontabUnreadable_) {
                    return FailedWith(1, "crontab: cannot open your crontab: Permission denied\n");
                }
                return crontab_ ? Succeeded(*crontab_) : FailedWith(1, "no crontab for ann\n");
            });
    }

    CDailyUpdateSchedule Schedule() {
        return CDailyUpdateSchedule(CurrentScheduleHost(kProgram), runner_);
    }
    std::string UnitFile(const char* name) const {
        return test::FileText(dir_.File("config-home/systemd/user/") + name);
    }
    std::string Described() {
        const auto current = Schedule().Current();
        return current ? ScheduleDescriptionText(*current) : "none";
    }

    test::TempDir dir_;
    test::ScopedEnvironment configHome_;
    test::ScopedEnvironment configFolder_;
    test::RecordingRunner runner_;
    bool managerAnswers_ = true;
    std::string failingSystemctl_;
    std::optional<std::string> crontab_;
    bool crontabUnreadable_ = false;
};

TEST_F(DailyUpdateScheduleTest, WithAServiceManagerTheTimerIsWrittenEnabledAndReplaced) {
    const ScheduleResult first = Schedule().Install({7, 30}, "-listupdate", "Evening list");
    ASSERT_TRUE(first.done) << first.message;
    EXPECT_EQ(first.message, "Scheduled -listupdate \"Evening list\" daily at 07:30 (systemd "
                             "user timer mvrkrsexp-update.timer).");
    EXPECT_EQ(UnitFile(kSystemdTimerName), SystemdTimerText({7, 30}));
    EXPECT_NE(UnitFile(kSystemdServiceName)
                  .find("ExecStart=\"/opt/Marvane Kavolo/bin/mvrkrsexp-batch\" -listupdate "
                        "\"Evening list\"\n"),
              std::string::npos);
    EXPECT_EQ(runner_.CommandLinesOf("systemctl"),
              (std::vector<std::string>{"systemctl --user show-environment",
                                        "systemctl --user daemon-reload",
                                        "systemctl --user enable --now mvrkrsexp-update.timer"}));
    EXPECT_TRUE(runner_.CommandLinesOf("crontab -").empty());

    ASSERT_TRUE(Schedule().Install({18, 5}, "-updateallrt", "").done);
    EXPECT_EQ(UnitFile(kSystemdTimerName), SystemdTimerText({18, 5}));
    EXPECT_EQ(Described(),
              "-updateallrt daily at 18:05 (systemd user timer mvrkrsexp-update.timer)");
}

TEST_F(DailyUpdateScheduleTest, RemovingDisablesTheTimerBeforeItsUnitsGo) {
    ASSERT_TRUE(Schedule().Install({7, 30}, "-updateall", "").done);
    runner_.Forget();
    const ScheduleResult removed = Schedule().Remove();
    ASSERT_TRUE(removed.done) << removed.message;
    EXPECT_EQ(removed.message, "Removed the schedule of -updateall daily at 07:30 (systemd user "
                               "timer mvrkrsexp-update.timer).");
    EXPECT_EQ(runner_.CommandLinesOf("systemctl"),
              (std::vector<std::string>{"systemctl --user disable --now mvrkrsexp-update.timer",
                                        "systemctl --user daemon-reload"}));
    EXPECT_FALSE(EntryExists(dir_.File("config-home/systemd/user/") + kSystemdTimerName));
    EXPECT_FALSE(EntryExists(dir_.File("config-home/systemd/user/") + kSystemdServiceName));
    EXPECT_EQ(Described(), "none");

    runner_.Forget();
    const ScheduleResult nothing = Schedule().Remove();
    EXPECT_TRUE(nothing.done);
    EXPECT_EQ(nothing.message, "No daily update was scheduled.");
    EXPECT_TRUE(runner_.CommandLinesOf("systemctl").empty());
    EXPECT_TRUE(runner_.CommandLinesOf("crontab -").empty());
}

TEST_F(DailyUpdateScheduleTest, AFailingSystemctlNamesItsCommandAndKeepsTheUnits) {
    failingSystemctl_ = "enable";
    const ScheduleResult failed = Schedule().Install({7, 30}, "-updateall", "");
    EXPECT_FALSE(failed.done);
    EXPECT_EQ(failed.message, "The daily update could not be installed: systemctl --user enable "
                              "--now mvrkrsexp-update.timer failed (exit status 1: Failed to "
                              "enable unit)");
    failingSystemctl_ = "";
    ASSERT_TRUE(Schedule().Install({7, 30}, "-updateall", "").done);
    failingSystemctl_ = "disable";
    EXPECT_FALSE(Schedule().Remove().done);
    EXPECT_TRUE(EntryExists(dir_.File("config-home/systemd/user/") + kSystemdTimerName));
}

TEST_F(DailyUpdateScheduleTest, WithoutAServiceManagerTheCrontabGetsOneMarkedEntry) {
    managerAnswers_ = false;
    crontab_ = kUsersOwnLines;
    ASSERT_TRUE(Schedule().Install({6, 5}, "-dirupdate", "/data/my kurse/").done);
    ASSERT_TRUE(Schedule().Install({6, 10}, "-updateall", "").done);
    EXPECT_EQ(*crontab_, std::string(kUsersOwnLines) + std::string(kCrontabMarker) +
                             "\n10 6 * * * '/opt/Marvane Kavolo/bin/mvrkrsexp-batch' -updateall\n");
    EXPECT_EQ(Described(), "-updateall daily at 06:10 (crontab)");
    EXPECT_FALSE(EntryExists(dir_.File("config-home/systemd/user/") + kSystemdTimerName));

    ASSERT_TRUE(Schedule().Remove().done);
    EXPECT_EQ(*crontab_, kUsersOwnLines);
}

TEST_F(DailyUpdateScheduleTest, AUserWithoutACrontabGetsOneAndAnUnreadableOneIsNeverReplaced) {
    managerAnswers_ = false;
    ASSERT_TRUE(Schedule().Install({0, 0}, "-updateall", "").done);
    EXPECT_EQ(*crontab_, std::string(kCrontabMarker) +
                             "\n0 0 * * * '/opt/Marvane Kavolo/bin/mvrkrsexp-batch' -updateall\n");

    crontabUnreadable_ = true;
    runner_.Forget();
    const ScheduleResult failed = Schedule().Install({1, 0}, "-updateall", "");
    EXPECT_FALSE(failed.done);
    EXPECT_NE(failed.message.find("crontab -l failed (exit status 1: crontab: cannot open your "
                                  "crontab: Permission denied)"),
              std::string::npos)
        << failed.message;
    EXPECT_TRUE(runner_.CommandLinesOf("crontab -").empty());
}

TEST_F(DailyUpdateScheduleTest, ASwitchToTheServiceManagerTakesTheEntryOutOfTheCrontab) {
    managerAnswers_ = false;
    crontab_ = kUsersOwnLines;
    ASSERT_TRUE(Schedule().Install({6, 5}, "-updateall", "").done);
    managerAnswers_ = true;
    ASSERT_TRUE(Schedule().Install({6, 5}, "-updateall", "").done);
    EXPECT_EQ(*crontab_, kUsersOwnLines);
    EXPECT_EQ(Described(), "-updateall daily at 06:05 (systemd user timer mvrkrsexp-update.timer)");
}

TEST_F(DailyUpdateScheduleTest, TheRunKeepsAConfigurationFolderGivenByTheEnvironment) {
    test::ScopedEnvironment folder("MVRKRSEXP_CONFIG_DIR", dir_.File("my config"));
    ASSERT_TRUE(Schedule().Install({7, 30}, "-updateall", "").done);
    EXPECT_NE(UnitFile(kSystemdServiceName)
                  .find("Environment=\"MVRKRSEXP_CONFIG_DIR=" + dir_.File("my config") + "\"\n"),
              std::string::npos)
        << UnitFile(kSystemdServiceName);
}

TEST_F(DailyUpdateScheduleTest, WhatNoSchedulerCanRunIsRefusedBeforeAnyToolRuns) {
    const std::pair<DailyTime, std::string> wrong[] = {
        {{24, 0}, "-updateall"}, {{7, -1}, "-updateall"}, {{7, 30}, ""}, {{7, 30}, "-updateall\n"}};
    for (const auto& [time, updateSwitch] : wrong) {
        EXPECT_FALSE(Schedule().Install(time, updateSwitch, "").done) << updateSwitch;
    }
    EXPECT_FALSE(Schedule().Install({7, 30}, "-listupdate", "two\nlines").done);
    EXPECT_TRUE(runner_.CommandLines().empty());

    managerAnswers_ = false;
    const ScheduleResult percent = Schedule().Install({7, 30}, "-dirupdate", "C:\\50\\%");
    EXPECT_FALSE(percent.done);
    EXPECT_NE(percent.message.find("backslash right before a \"%\""), std::string::npos);
    EXPECT_FALSE(crontab_.has_value());
}

TEST(ScheduleHostTest, TheUnitFolderFollowsTheBaseDirectoryRules) {
    test::ScopedEnvironment home("HOME", "/home/ann");
    {
        test::ScopedEnvironment config("XDG_CONFIG_HOME", "/etc/ann");
        EXPECT_EQ(CurrentScheduleHost(kProgram).systemdUnitFolder, "/etc/ann/systemd/user");
    }
    test::ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(CurrentScheduleHost(kProgram).systemdUnitFolder, "/home/ann/.config/systemd/user");
    test::ScopedEnvironment folder("MVRKRSEXP_CONFIG_DIR", "portable/config");
    EXPECT_EQ(CurrentScheduleHost(kProgram).configFolder.front(), '/');
}

} // namespace
} // namespace mvr
