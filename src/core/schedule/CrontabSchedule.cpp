#include "core/schedule/CrontabSchedule.h"

#include "core/schedule/CrontabText.h"

namespace mvr {

std::optional<ScheduledRun> CCrontabSchedule::Installed() {
    std::string error;
    const auto crontab = Read(error);
    return crontab ? FindRunInCrontab(*crontab) : std::nullopt;
}

bool CCrontabSchedule::Install(const ScheduledRun& run, std::string& error) {
    if (!CrontabCanHold(run)) {
        error = "cron cannot run a path or value with a backslash right before a \"%\"";
        return false;
    }
    const auto crontab = Read(error);
    return crontab && Write(CrontabWithRun(*crontab, run), error);
}

bool CCrontabSchedule::Remove(std::string& error) {
    const auto crontab = Read(error);
    return crontab && Write(CrontabWithoutRun(*crontab), error);
}

std::optional<std::string> CCrontabSchedule::Read(std::string& error) {
    const std::vector<std::string> arguments{"-l"};
    CommandOutput output = runner_.Run("crontab", arguments);
    if (output.Succeeded()) {
        return std::move(output.out);
    }
    // Every cron says so in these words ("no crontab for alice"); any other
    // failure might hide lines that a write would then lose.
    if (output.started && output.err.find("no crontab for") != std::string::npos) {
        return std::string();
    }
    error = ToolFailureText("crontab", arguments, output);
    return std::nullopt;
}

bool CCrontabSchedule::Write(const std::string& crontab, std::string& error) {
    return RunTool(runner_, "crontab", {"-"}, error, crontab);
}

} // namespace mvr
