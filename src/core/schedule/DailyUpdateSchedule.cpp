#include "core/schedule/DailyUpdateSchedule.h"

#include "core/platform/ConfigFolder.h"
#include "core/platform/NativePath.h"
#include "core/platform/Paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "core/schedule/WindowsTaskSchedule.h"
#else
#include "core/schedule/CrontabSchedule.h"
#include "core/schedule/SystemdTimerSchedule.h"
#endif

namespace mvr {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(NativePath(path), error);
    return error ? path : SystemPath(absolute).value_or(path);
}

std::string SystemdUnitFolder() {
    // By the XDG base directory rules a relative XDG_CONFIG_HOME counts as unset.
    if (const auto config = EnvironmentValue("XDG_CONFIG_HOME");
        config && config->starts_with('/')) {
        return JoinPath(WithTrailingSeparator(*config), "systemd/user");
    }
    if (const auto home = EnvironmentValue("HOME")) {
        return JoinPath(WithTrailingSeparator(*home), ".config/systemd/user");
    }
    return {};
}

// A line break would end a unit file's line or the crontab entry early.
bool HoldsControlCharacter(const ScheduledRun& run) {
    std::vector<std::string_view> texts{run.program, run.configFolder};
    texts.insert(texts.end(), run.arguments.begin(), run.arguments.end());
    return std::any_of(texts.begin(), texts.end(), [](std::string_view text) {
        return std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
    });
}

std::string QuotedWhereBlank(const std::string& word) {
    return word.find_first_of(" \t") == std::string::npos ? word : "\"" + word + "\"";
}

ScheduleResult Done(std::string message) {
    return {true, std::move(message)};
}

ScheduleResult Failed(std::string message) {
    return {false, std::move(message)};
}

} // namespace

ScheduleHost CurrentScheduleHost(std::string batchProgram) {
    ScheduleHost host;
    host.batchProgram = std::move(batchProgram);
    if (const auto folder = EnvironmentValue(kConfigFolderVariable)) {
        host.configFolder = AbsolutePath(*folder);
    }
    host.systemdUnitFolder = SystemdUnitFolder();
    return host;
}

std::string ScheduleDescriptionText(const ScheduleDescription& description) {
    std::string text;
    for (const std::string& argument : description.arguments) {
        text += QuotedWhereBlank(argument) + " ";
    }
    return text + "daily at " + DailyTimeText(description.time) + " (" + description.mechanism +
           ")";
}

CDailyUpdateSchedule::CDailyUpdateSchedule(ScheduleHost host, CCommandRunner& runner)
    : host_(std::move(host)) {
#ifdef _WIN32
    mechanisms_.push_back(std::make_unique<CWindowsTaskSchedule>(runner));
#else
    mechanisms_.push_back(std::make_unique<CSystemdTimerSchedule>(runner, host_.systemdUnitFolder));
    mechanisms_.push_back(std::make_unique<CCrontabSchedule>(runner));
#endif
}

CDailyUpdateSchedule::~CDailyUpdateSchedule() = default;

ScheduleResult CDailyUpdateSchedule::Install(DailyTime time, const std::string& updateSwitch,
                                             const std::string& value) {
    if (!IsValidDailyTime(time)) {
        return Failed("The time of a daily update lies between 00:00 and 23:59.");
    }
    if (host_.batchProgram.empty() || updateSwitch.empty()) {
        return Failed("The daily update needs the batch tool's path and an update switch.");
    }
    ScheduledRun run{time, host_.batchProgram, {updateSwitch}, host_.configFolder};
    if (!value.empty()) {
        run.arguments.push_back(value);
    }
    if (HoldsControlCharacter(run)) {
        return Failed("A daily update cannot run a path or value with a line break or another "
                      "control character.");
    }
    CScheduleMechanism& chosen = Preferred();
    std::string error;
    // The new one first: when it fails, the earlier schedule still runs.
    if (!chosen.Install(run, error)) {
        return Failed("The daily update could not be installed: " + error);
    }
    const std::string scheduled =
        "Scheduled " + ScheduleDescriptionText({time, run.arguments, chosen.Name()}) + ".";
    for (const InstalledRun& earlier : InstalledRuns()) {
        if (earlier.mechanism != &chosen && !earlier.mechanism->Remove(error)) {
            return Failed(scheduled + " The earlier daily update in " + earlier.mechanism->Name() +
                          " could not be removed: " + error);
        }
    }
    return Done(scheduled);
}

ScheduleResult CDailyUpdateSchedule::Remove() {
    const std::vector<InstalledRun> installed = InstalledRuns();
    if (installed.empty()) {
        return Done("No daily update was scheduled.");
    }
    std::string error;
    for (const InstalledRun& entry : installed) {
        if (!entry.mechanism->Remove(error)) {
            return Failed("The daily update could not be removed: " + error);
        }
    }
    const InstalledRun& first = installed.front();
    return Done(
        "Removed the schedule of " +
        ScheduleDescriptionText({first.run.time, first.run.arguments, first.mechanism->Name()}) +
        ".");
}

std::optional<ScheduleDescription> CDailyUpdateSchedule::Current() {
    const std::vector<InstalledRun> installed = InstalledRuns();
    if (installed.empty()) {
        return std::nullopt;
    }
    const InstalledRun& first = installed.front();
    return ScheduleDescription{first.run.time, first.run.arguments, first.mechanism->Name()};
}

std::vector<CDailyUpdateSchedule::InstalledRun> CDailyUpdateSchedule::InstalledRuns() {
    std::vector<InstalledRun> installed;
    for (const auto& mechanism : mechanisms_) {
        if (auto run = mechanism->Installed()) {
            installed.push_back({mechanism.get(), std::move(*run)});
        }
    }
    return installed;
}

CScheduleMechanism& CDailyUpdateSchedule::Preferred() {
    for (const auto& mechanism : mechanisms_) {
        if (mechanism->Available()) {
            return *mechanism;
        }
    }
    return *mechanisms_.back();
}

} // namespace mvr
