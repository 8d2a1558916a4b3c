#include "batch/BatchSchedule.h"

#include "core/app/RunEnd.h"
#include "core/platform/ProcessRunner.h"
#include "core/platform/ProgramPath.h"
#include "core/schedule/DailyUpdateSchedule.h"

namespace mvr::batch {

namespace {

// The scheduled run starts this very program, wherever it was installed.
CDailyUpdateSchedule ThisProgramsSchedule(CCommandRunner& runner) {
    return CDailyUpdateSchedule(CurrentScheduleHost(CurrentProgramPath().value_or("")), runner);
}

} // namespace

int ChangeSchedule(const BatchCommand& command, std::FILE* out, std::FILE* err) {
    CProcessRunner runner;
    CDailyUpdateSchedule schedule = ThisProgramsSchedule(runner);
    const ScheduleResult result =
        command.action == BatchAction::Schedule
            ? schedule.Install(command.scheduleTime, command.startup.firstArgument,
                               command.startup.secondArgument)
            : schedule.Remove();
    if (!result.done) {
        std::fprintf(err, "mvrkrsexp-batch: %s\n", result.message.c_str());
        return kExitFailed;
    }
    std::fprintf(out, "%s\n", result.message.c_str());
    return kExitDone;
}

void ShowSchedule(std::FILE* out) {
    CProcessRunner runner;
    const auto current = ThisProgramsSchedule(runner).Current();
    std::fprintf(out, "Schedule: %s\n",
                 current ? ScheduleDescriptionText(*current).c_str() : "none");
}

} // namespace mvr::batch
