#pragma once

// The batch tool's daily update: --schedule, --unschedule and the schedule
// line of --show, through the core's schedule with the system's own
// scheduler tools.

#include "batch/BatchArguments.h"

#include <cstdio>

namespace mvr::batch {

// --schedule or --unschedule: the outcome's message on `out` (done) or on
// `err` (failed); the exit code.
int ChangeSchedule(const BatchCommand& command, std::FILE* out, std::FILE* err);

// "Schedule: -updateall daily at 07:30 (crontab)", or "Schedule: none".
void ShowSchedule(std::FILE* out);

} // namespace mvr::batch
