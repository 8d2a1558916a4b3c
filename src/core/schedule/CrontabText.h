#pragma once

// The daily update's entry in the user's crontab: a comment line that marks
// it, then the entry. Every other line of the crontab stays exactly as it is.

#include "core/schedule/ScheduledRun.h"

#include <optional>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr std::string_view kCrontabMarker =
    "# Marvane Kavolo daily update (written by mvrkrsexp-batch --schedule)";

// Whether an entry can carry the run: cron hands "\%" on as "%" and ends the
// command at any other "%", so a backslash right before a "%" has no form.
bool CrontabCanHold(const ScheduledRun& run);

// "30 7 * * * '/opt/mvr/mvrkrsexp-batch' -updateall", the command as the
// shell that cron starts reads it.
std::string CrontabEntry(const ScheduledRun& run);

// The crontab with the run's marker and entry in place of an earlier pair
// (or at its end).
std::string CrontabWithRun(std::string_view crontab, const ScheduledRun& run);
std::string CrontabWithoutRun(std::string_view crontab);

// The run whose marker the crontab holds; nothing when it holds none, or the
// line after the marker is no daily entry of ours.
std::optional<ScheduledRun> FindRunInCrontab(std::string_view crontab);

} // namespace mvr
