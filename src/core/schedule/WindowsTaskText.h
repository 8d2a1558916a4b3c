#pragma once

// The daily update as a task of the Windows Task Scheduler, through
// schtasks.exe: the arguments that create, delete and query it, and the
// reading of the task's XML definition that the query gives.

#include "core/schedule/ScheduledRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

inline constexpr const char* kWindowsTaskName = "Marvane Kavolo daily update";

// /Create /SC DAILY /ST HH:MM /TN <name> /TR <command line> /F: /F replaces
// an earlier task of the name. The command line holds the program and its
// arguments as the program's runtime splits them again.
std::vector<std::string> SchtasksCreateArguments(const ScheduledRun& run);
std::vector<std::string> SchtasksDeleteArguments();
// /Query ... /XML: the definition, whose element names do not depend on the
// language of Windows as the list output's labels do.
std::vector<std::string> SchtasksQueryArguments();

// The run of the task's definition; nothing when it holds no daily start of
// a program. The configuration folder is not part of a task.
std::optional<ScheduledRun> ParseTaskXml(std::string_view xml);

} // namespace mvr
