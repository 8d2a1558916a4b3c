#include "core/schedule/WindowsTaskSchedule.h"

#include "core/schedule/WindowsTaskText.h"

namespace mvr {

namespace {

constexpr const char* kSchtasks = "schtasks";

} // namespace

std::string CWindowsTaskSchedule::Name() const {
    return std::string("Windows task \"") + kWindowsTaskName + "\"";
}

std::optional<ScheduledRun> CWindowsTaskSchedule::Installed() {
    const CommandOutput output = runner_.Run(kSchtasks, SchtasksQueryArguments());
    return output.Succeeded() ? ParseTaskXml(output.out) : std::nullopt;
}

bool CWindowsTaskSchedule::Install(const ScheduledRun& run, std::string& error) {
    return RunTool(runner_, kSchtasks, SchtasksCreateArguments(run), error);
}

bool CWindowsTaskSchedule::Remove(std::string& error) {
    return RunTool(runner_, kSchtasks, SchtasksDeleteArguments(), error);
}

} // namespace mvr
