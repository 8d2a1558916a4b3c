// The Windows task through schtasks, with a fake schtasks: what would be run.

#include "core/schedule/WindowsTaskSchedule.h"

#include "support/RecordingRunner.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::FailedWith;
using test::RecordingRunner;
using test::Succeeded;

constexpr const char* kTaskXml =
    "<Task><Triggers><CalendarTrigger><StartBoundary>2025-12-10T06:00:00</StartBoundary>"
    "<ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay></CalendarTrigger></Triggers>"
    "<Actions><Exec><Command>C:\\mvr\\mvrkrsexp-batch.exe</Command>"
    "<Arguments>-listupdate Abend</Arguments></Exec></Actions></Task>";

TEST(WindowsTaskScheduleTest, CreatesQueriesAndDeletesTheNamedTask) {
    RecordingRunner runner;
    CWindowsTaskSchedule task(runner);
    ScheduledRun run;
    run.time = {6, 0};
    run.program = "C:\\mvr\\mvrkrsexp-batch.exe";
    run.arguments = {"-listupdate", "Abend"};
    std::string error;
    ASSERT_TRUE(task.Install(run, error)) << error;
    runner.Handle("schtasks", [](const std::vector<std::string>& arguments, std::string_view) {
        return arguments.front() == "/Query" ? Succeeded(kTaskXml) : Succeeded();
    });
    EXPECT_EQ(task.Installed(), run);
    ASSERT_TRUE(task.Remove(error)) << error;
    EXPECT_EQ(runner.CommandLines(),
              (std::vector<std::string>{
                  "schtasks /Create /SC DAILY /ST 06:00 /TN Marvane Kavolo daily update /TR "
                  "C:\\mvr\\mvrkrsexp-batch.exe -listupdate Abend /F",
                  "schtasks /Query /TN Marvane Kavolo daily update /XML",
                  "schtasks /Delete /TN Marvane Kavolo daily update /F"}));
}

TEST(WindowsTaskScheduleTest, ATaskThatCannotBeQueriedIsNone) {
    RecordingRunner runner;
    runner.Handle("schtasks", [](const std::vector<std::string>&, std::string_view) {
        return FailedWith(1, "ERROR: The system cannot find the file specified.\r\n");
    });
    EXPECT_FALSE(CWindowsTaskSchedule(runner).Installed().has_value());
}

} // namespace
} // namespace mvr
