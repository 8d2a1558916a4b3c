// What each scheduler is given: the times, the unit files, the crontab
// entry and the schtasks arguments, and the reading back of each, with the
// paths and values that break naive quoting.

#include "core/schedule/CrontabText.h"
#include "core/schedule/DailyTime.h"
#include "core/schedule/SystemdUnits.h"
#include "core/schedule/WindowsTaskText.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

// Every character that a shell, systemd or cron would take for something else.
ScheduledRun AwkwardRun() {
    ScheduledRun run;
    run.time = {6, 5};
    run.program = "/opt/Marvane Kavolo/bin/mvrkrsexp-batch";
    run.arguments = {"-listupdate", "50% \"Gold\" & 'Silber' $HOME\\x; `y` *"};
    run.configFolder = "/home/ann/my config %h $USER";
    return run;
}

ScheduledRun PlainRun() {
    ScheduledRun run;
    run.time = {7, 30};
    run.program = "/usr/bin/mvrkrsexp-batch";
    run.arguments = {"-updateall"};
    return run;
}

TEST(DailyTimeTest, OnlyTwoDigitHoursAndMinutesOfTheDay) {
    EXPECT_EQ(ParseDailyTime("00:00"), (DailyTime{0, 0}));
    EXPECT_EQ(ParseDailyTime("07:30"), (DailyTime{7, 30}));
    EXPECT_EQ(ParseDailyTime("23:59"), (DailyTime{23, 59}));
    for (const char* wrong : {"24:00", "23:60", "7:30", "07:3", "0730", "07.30", " 07:30", "07:30 ",
                              "-1:00", "0a:00", "", "07:30:00"}) {
        EXPECT_FALSE(ParseDailyTime(wrong).has_value()) << wrong;
    }
    EXPECT_EQ(DailyTimeText({7, 5}), "07:05");
    EXPECT_FALSE(IsValidDailyTime({24, 0}));
    EXPECT_FALSE(IsValidDailyTime({0, -1}));
}

TEST(SystemdUnitsTest, TheTimerFiresDailyAndCatchesUpAndTheServiceRunsOnce) {
    EXPECT_EQ(SystemdTimerText({7, 30}),
              "# Written by mvrkrsexp-batch --schedule, which replaces and removes it.\n"
              "[Unit]\n"
              "Description=Marvane Kavolo daily price update\n"
              "\n"
              "[Timer]\n"
              "OnCalendar=*-*-* 07:30:00\n"
              "Persistent=true\n"
              "\n"
              "[Install]\n"
              "WantedBy=timers.target\n");
    EXPECT_EQ(SystemdServiceText(PlainRun()),
              "# Written by mvrkrsexp-batch --schedule, which replaces and removes it.\n"
              "[Unit]\n"
              "Description=Marvane Kavolo daily price update\n"
              "\n"
              "[Service]\n"
              "Type=oneshot\n"
              "ExecStart=/usr/bin/mvrkrsexp-batch -updateall\n");
}

TEST(SystemdUnitsTest, QuotesSpecifiersAndVariablesSurviveTheRoundTrip) {
    const ScheduledRun run = AwkwardRun();
    const std::string service = SystemdServiceText(run);
    EXPECT_NE(service.find("Environment=\"MVRKRSEXP_CONFIG_DIR=/home/ann/my config %%h $USER\"\n"),
              std::string::npos)
        << service;
    EXPECT_NE(service.find("ExecStart=\"/opt/Marvane Kavolo/bin/mvrkrsexp-batch\" -listupdate "
                           "\"50%% \\\"Gold\\\" & 'Silber' $$HOME\\\\x; `y` *\"\n"),
              std::string::npos)
        << service;
    EXPECT_EQ(ParseSystemdUnits(service, SystemdTimerText(run.time)), run);
}

TEST(SystemdUnitsTest, UnitsThatDescribeNoDailyRunAreNotTakenForOne) {
    const std::string service = SystemdServiceText(PlainRun());
    const std::string timer = SystemdTimerText({7, 30});
    EXPECT_FALSE(ParseSystemdUnits(service, "[Timer]\nOnCalendar=weekly\n").has_value());
    EXPECT_FALSE(ParseSystemdUnits(service, "[Timer]\nOnCalendar=*-*-* 25:00:00\n").has_value());
    EXPECT_FALSE(ParseSystemdUnits("[Service]\nType=oneshot\n", timer).has_value());
    EXPECT_FALSE(ParseSystemdUnits("[Service]\nExecStart=\n", timer).has_value());
}

TEST(CrontabTextTest, TheEntryIsADailyLineForTheShellThatCronStarts) {
    EXPECT_EQ(CrontabEntry(PlainRun()), "30 7 * * * /usr/bin/mvrkrsexp-batch -updateall");
    // cron makes a line break of a bare "%"; the shell takes quotes, "$" and ";" as its own.
    EXPECT_EQ(CrontabEntry(AwkwardRun()),
              "5 6 * * * MVRKRSEXP_CONFIG_DIR='/home/ann/my config \\%h $USER' "
              "'/opt/Marvane Kavolo/bin/mvrkrsexp-batch' -listupdate "
              "'50\\% \"Gold\" & '\\''Silber'\\'' $HOME\\x; `y` *'");
    EXPECT_EQ(FindRunInCrontab(CrontabWithRun("", AwkwardRun())), AwkwardRun());
}

TEST(CrontabTextTest, EveryOtherLineStaysExactlyAndTheEntryKeepsItsPlace) {
    const std::string before = "MAILTO=ann@example.org\n"
                               "\n"
                               "# nightly backup\r\n"
                               "0 2 * * * /usr/local/bin/backup --all\n";
    const std::string after = "*/5 * * * * /usr/bin/true";
    const std::string installed = CrontabWithRun(before + after, PlainRun());
    EXPECT_EQ(installed, before + after + "\n" + std::string(kCrontabMarker) + "\n" +
                             CrontabEntry(PlainRun()) + "\n");

    // A reinstall replaces the pair where it stands.
    const std::string moved = CrontabWithRun(std::string(kCrontabMarker) + "\n" +
                                                 CrontabEntry(PlainRun()) + "\n" + before,
                                             AwkwardRun());
    EXPECT_EQ(moved,
              std::string(kCrontabMarker) + "\n" + CrontabEntry(AwkwardRun()) + "\n" + before);
    EXPECT_EQ(FindRunInCrontab(moved), AwkwardRun());
    EXPECT_EQ(CrontabWithoutRun(moved), before);
    EXPECT_EQ(CrontabWithoutRun(before), before);
}

TEST(CrontabTextTest, OnlyAMarkedEntryIsOurs) {
    const std::string marker(kCrontabMarker);
    const std::string entry = CrontabEntry(PlainRun());
    // The same command without the marker is the user's own.
    EXPECT_FALSE(FindRunInCrontab(entry + "\n").has_value());
    EXPECT_EQ(CrontabWithoutRun(entry + "\n"), entry + "\n");
    // Two marked pairs (edited by hand) become one.
    const std::string twice =
        marker + "\n" + entry + "\n" + "# mine\n" + marker + "\n" + entry + "\n";
    EXPECT_EQ(CrontabWithRun(twice, PlainRun()), marker + "\n" + entry + "\n# mine\n");
    // A marker whose line is gone or is no daily entry gives no run.
    EXPECT_FALSE(FindRunInCrontab(marker + "\n").has_value());
    EXPECT_EQ(CrontabWithoutRun("x\n" + marker), "x\n");
    for (const char* other :
         {"30 7 * * 1-5 /usr/bin/mvrkrsexp-batch -updateall",
          "30 24 * * * /usr/bin/mvrkrsexp-batch", "@daily /usr/bin/x", "30 7 * * *"}) {
        EXPECT_FALSE(FindRunInCrontab(marker + "\n" + other + "\n").has_value()) << other;
    }
}

TEST(WindowsTaskTextTest, TheTaskRunsTheCommandLineDaily) {
    ScheduledRun run;
    run.time = {18, 45};
    run.program = "C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe";
    run.arguments = {"-dirupdate", "D:\\My Kurse\\"};
    EXPECT_EQ(
        SchtasksCreateArguments(run),
        (std::vector<std::string>{
            "/Create", "/SC", "DAILY", "/ST", "18:45", "/TN", "Marvane Kavolo daily update", "/TR",
            "\"C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe\" -dirupdate "
            "\"D:\\My Kurse\\\\\"",
            "/F"}));
    EXPECT_EQ(SchtasksDeleteArguments(),
              (std::vector<std::string>{"/Delete", "/TN", "Marvane Kavolo daily update", "/F"}));
    EXPECT_EQ(SchtasksQueryArguments(),
              (std::vector<std::string>{"/Query", "/TN", "Marvane Kavolo daily update", "/XML"}));
}

// A task definition as the Task Scheduler gives it back for the task above.
std::string TaskXml(const std::string& trigger) {
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           "<Task version=\"1.2\" "
           "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           "  <Triggers>\r\n"
           "    <CalendarTrigger>\r\n"
           "      <StartBoundary>2025-12-10T18:45:00</StartBoundary>\r\n"
           "      <Enabled>true</Enabled>\r\n" +
           trigger +
           "    </CalendarTrigger>\r\n"
           "  </Triggers>\r\n"
           "  <Actions Context=\"Author\">\r\n"
           "    <Exec>\r\n"
           "      <Command>\"C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe\"</Command>\r\n"
           "      <Arguments>-dirupdate &quot;D:\\My Kurse &amp; Co\\\\&quot;</Arguments>\r\n"
           "    </Exec>\r\n"
           "  </Actions>\r\n"
           "</Task>\r\n";
}

std::string Utf16WithByteOrderMark(const std::string& text) {
    std::string wide = "\xff\xfe";
    for (const char c : text) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

TEST(WindowsTaskTextTest, TheTaskDefinitionGivesBackTimeProgramAndArguments) {
    const std::string daily =
        TaskXml("      <ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>\r\n");
    ScheduledRun expected;
    expected.time = {18, 45};
    expected.program = "C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe";
    expected.arguments = {"-dirupdate", "D:\\My Kurse & Co\\"};
    EXPECT_EQ(ParseTaskXml(daily), expected);
    EXPECT_EQ(ParseTaskXml(Utf16WithByteOrderMark(daily)), expected);
    EXPECT_FALSE(ParseTaskXml(TaskXml("      <ScheduleByWeek/>\r\n")).has_value());
    EXPECT_FALSE(ParseTaskXml("ERROR: The system cannot find the file specified.\r\n").has_value());
}

} // namespace
} // namespace mvr
