#pragma once

// The systemd user units of the daily update: a timer that fires at the time
// every day, and catches up a run that the machine missed while it was off,
// and the one-shot service that it starts.

#include "core/schedule/ScheduledRun.h"

#include <optional>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr const char* kSystemdServiceName = "mvrkrsexp-update.service";
inline constexpr const char* kSystemdTimerName = "mvrkrsexp-update.timer";

std::string SystemdServiceText(const ScheduledRun& run);
std::string SystemdTimerText(DailyTime time);

// The run that the two unit files describe; nothing when they do not describe
// one (damaged, or edited beyond recognition).
std::optional<ScheduledRun> ParseSystemdUnits(std::string_view service, std::string_view timer);

} // namespace mvr
